// dll.xml on disk.
#include "dll_xml_file.h"

#include <platform/files.h>

namespace addovar {

StepResult ReadDllXml(const std::string& path, DllXmlLines& lines) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return StepResult::Failed("cannot read " + path);
  if (HasDataAfterNul(bytes))
    return StepResult::Failed(path + " holds NUL bytes followed by more text (not single-byte text, UTF-16 perhaps); left unchanged");
  lines = SplitDllXmlLines(bytes);
  return StepResult::Done();
}

StepResult WriteDllXml(const std::string& path, const DllXmlLines& lines) {
  const uint32_t attributes = platform::GetFileAttributes(path);
  const bool known = attributes != platform::INVALID_FILE_ATTRIBUTES;
  const bool readOnly = known && (attributes & platform::FILE_ATTRIBUTE_READONLY);
  if (readOnly && !platform::SetFileAttributes(path, attributes & ~platform::FILE_ATTRIBUTE_READONLY))
    return StepResult::Failed("cannot clear the read-only attribute of " + path);
  const bool written = platform::WriteFileAtomically(path, JoinDllXmlLines(lines));
  if (known && !platform::SetFileAttributes(path, attributes) && written)
    return StepResult::Failed("wrote " + path + " but cannot set its attributes again");
  if (!written) return StepResult::Failed("cannot write " + path);
  return StepResult::Done();
}

}  // namespace addovar
