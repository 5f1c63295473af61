// ini-probe: runs a case file of private-profile operations and prints each
// result in one fixed format. Built for Linux against platform/ (the profile
// functions the unit uses) and, by run_probe.sh, for Windows with mingw
// against kernel32, so that the two outputs can be compared line by line.
//
// A case file holds one operation a line, fields separated by tabs. In every
// field \r \n \t \\ \xNN are escapes and @null stands for a null pointer.
//   file  <content>                  writes probe.ini with these exact bytes
//   rm                               deletes probe.ini
//   use   <name>                     operations that follow act on <name>
//   get   <section> <key> <default> <size>
//   int   <section> <key> <default>
//   write <section> <key> <value>    then prints the file as it now is
//   dump                             prints the file
// Lines starting with '#' and empty lines are skipped.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
static const char kSeparator = '\\';
static unsigned ReadString(const char* s, const char* k, const char* d, char* b, unsigned n, const char* p) {
  return GetPrivateProfileStringA(s, k, d, b, n, p);
}
static int ReadInt(const char* s, const char* k, int d, const char* p) {
  return static_cast<int>(GetPrivateProfileIntA(s, k, d, p));
}
static int Write(const char* s, const char* k, const char* v, const char* p) {
  return WritePrivateProfileStringA(s, k, v, p) ? 1 : 0;
}
// The system's error code after the call, on a line the comparison skips:
// the Linux functions have none.
static void ResetError() { SetLastError(0xDEAD); }
static void PrintError() { std::printf("  # err=%lu\n", static_cast<unsigned long>(GetLastError())); }
#else
#include "platform/ini_file.h"
static const char kSeparator = '/';
static unsigned ReadString(const char* s, const char* k, const char* d, char* b, unsigned n, const char* p) {
  return platform::GetPrivateProfileStringU8(s, k, d, b, n, p);
}
static int ReadInt(const char* s, const char* k, int d, const char* p) {
  return platform::GetPrivateProfileIntU8(s, k, d, p);
}
static int Write(const char* s, const char* k, const char* v, const char* p) {
  return platform::WritePrivateProfileStringU8(s, k, v, p) ? 1 : 0;
}
static void ResetError() {}
static void PrintError() {}
#endif

namespace {

struct Field {
  bool null = false;
  std::string text;
  const char* get() const { return null ? nullptr : text.c_str(); }
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

Field Decode(const std::string& raw) {
  Field f;
  if (raw == "@null") {
    f.null = true;
    return f;
  }
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c != '\\' || i + 1 == raw.size()) {
      f.text += c;
      continue;
    }
    char e = raw[++i];
    if (e == 'r') f.text += '\r';
    else if (e == 'n') f.text += '\n';
    else if (e == 't') f.text += '\t';
    else if (e == 'x' && i + 2 < raw.size() + 0 && HexDigit(raw[i + 1]) >= 0 && HexDigit(raw[i + 2]) >= 0) {
      f.text += static_cast<char>(HexDigit(raw[i + 1]) * 16 + HexDigit(raw[i + 2]));
      i += 2;
    } else f.text += e;
  }
  return f;
}

std::string Escape(const char* data, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(data[i]);
    char tmp[8];
    if (c == '\\') out += "\\\\";
    else if (c == '"') out += "\\\"";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == 0) out += "\\0";
    else if (c < 0x20 || c >= 0x7f) {
      std::snprintf(tmp, sizeof tmp, "\\x%02x", c);
      out += tmp;
    } else out += static_cast<char>(c);
  }
  return out;
}

std::string Show(const Field& f) { return f.null ? "@null" : "\"" + Escape(f.text.data(), f.text.size()) + "\""; }

void PrintFile(const std::string& path) {
  FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    std::printf("  file: missing\n");
    return;
  }
  std::string bytes;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, n);
  std::fclose(in);
  std::printf("  file: \"%s\"\n", Escape(bytes.data(), bytes.size()).c_str());
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    parts.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return parts;
    start = tab + 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ini-probe CASE-FILE (runs in the current folder)\n");
    return 2;
  }
  FILE* in = std::fopen(argv[1], "rb");
  if (!in) {
    std::fprintf(stderr, "ini-probe: cannot open %s\n", argv[1]);
    return 2;
  }
  std::string name = "probe.ini";
  std::string path = std::string(".") + kSeparator + name;
  char raw[70000];
  int lineNumber = 0;
  while (std::fgets(raw, sizeof raw, in)) {
    ++lineNumber;
    std::string line(raw);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> parts = SplitTabs(line);
    const std::string& op = parts[0];
    std::vector<Field> a;
    for (size_t i = 1; i < parts.size(); ++i) a.push_back(Decode(parts[i]));
    auto need = [&](size_t n) {
      if (a.size() == n) return true;
      std::printf("line %d: %s needs %zu fields\n", lineNumber, op.c_str(), n);
      return false;
    };
    if (op == "file" && need(1)) {
      FILE* out = std::fopen(path.c_str(), "wb");
      if (out) {
        std::fwrite(a[0].text.data(), 1, a[0].text.size(), out);
        std::fclose(out);
      }
      std::printf("file %s\n", Show(a[0]).c_str());
    } else if (op == "rm") {
      std::remove(path.c_str());
      std::printf("rm\n");
    } else if (op == "use" && need(1)) {
      path = std::string(".") + kSeparator + a[0].text;
      std::printf("use %s\n", a[0].text.c_str());
    } else if (op == "get" && need(4)) {
      unsigned size = static_cast<unsigned>(std::strtoul(a[3].text.c_str(), nullptr, 10));
      std::vector<char> buffer(size + 8, '@');
      ResetError();
      unsigned ret = ReadString(a[0].get(), a[1].get(), a[2].get(), buffer.data(), size, path.c_str());
      // What the call left in the buffer: up to two bytes past the count,
      // never past the size given.
      size_t shown = std::min<size_t>(size, static_cast<size_t>(ret) + 2);
      std::printf("get %s %s %s size=%u -> ret=%u buf=\"%s\"\n", Show(a[0]).c_str(), Show(a[1]).c_str(),
                  Show(a[2]).c_str(), size, ret, Escape(buffer.data(), shown).c_str());
      PrintError();
    } else if (op == "int" && need(3)) {
      ResetError();
      int ret = ReadInt(a[0].get(), a[1].get(), std::atoi(a[2].text.c_str()), path.c_str());
      std::printf("int %s %s def=%s -> ret=%d\n", Show(a[0]).c_str(), Show(a[1]).c_str(), a[2].text.c_str(), ret);
      PrintError();
    } else if (op == "write" && need(3)) {
      ResetError();
      int ret = Write(a[0].get(), a[1].get(), a[2].get(), path.c_str());
      std::printf("write %s %s %s -> ret=%d\n", Show(a[0]).c_str(), Show(a[1]).c_str(), Show(a[2]).c_str(), ret);
      PrintError();
      PrintFile(path);
    } else if (op == "dump") {
      PrintFile(path);
    } else if (op != "file" && op != "use" && op != "get" && op != "int" && op != "write") {
      std::printf("line %d: unknown operation %s\n", lineNumber, op.c_str());
    }
  }
  std::fclose(in);
  return 0;
}
