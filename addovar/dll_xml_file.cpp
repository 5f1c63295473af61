// dll.xml on disk.
#include "dll_xml_file.h"

#include <platform/files.h>

namespace addovar {

StepResult ReadDllXml(const std::string& path, DllXmlLines& lines) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return common::Fail("cannot read " + path);
  if (HasDataAfterNul(bytes))
    return common::Fail(
        path + " holds NUL bytes followed by more text (not single-byte text, UTF-16 perhaps); left unchanged");
  lines = SplitDllXmlLines(bytes);
  return StepResult();
}

StepResult WriteDllXml(const std::string& path, const DllXmlLines& lines) {
  const uint32_t attributes = platform::GetFileAttributesU8(path);
  const bool known = attributes != platform::kInvalidFileAttributes;
  const bool readOnly = known && (attributes & platform::kFileAttributeReadOnly);
  if (readOnly && !platform::SetFileAttributesU8(path, attributes & ~platform::kFileAttributeReadOnly))
    return common::Fail("cannot clear the read-only attribute of " + path);
  const bool written = platform::WriteFileAtomically(path, JoinDllXmlLines(lines));
  if (known && !platform::SetFileAttributesU8(path, attributes) && written)
    return common::Fail("wrote " + path + " but cannot set its attributes again");
  if (!written) return common::Fail("cannot write " + path);
  return StepResult();
}

}  // namespace addovar
