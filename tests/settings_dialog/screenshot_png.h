// A photograph of the Windows screen for the desktop front end's tests, and a
// small PNG writer for it (stored deflate blocks: no compression library).
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testshot {

struct Screen {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel
};

// The whole screen as the display shows it now.
inline Screen CaptureScreen() {
  Screen screen;
  screen.width = GetSystemMetrics(SM_CXSCREEN);
  screen.height = GetSystemMetrics(SM_CYSCREEN);
  HDC source = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = screen.width;
  info.bmiHeader.biHeight = -screen.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr && bits != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, screen.width, screen.height, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    const auto* bgra = static_cast<const uint8_t*>(bits);
    screen.rgb.resize(static_cast<size_t>(screen.width) * screen.height * 3);
    for (size_t i = 0, n = static_cast<size_t>(screen.width) * screen.height; i < n; ++i) {
      screen.rgb[i * 3] = bgra[i * 4 + 2];
      screen.rgb[i * 3 + 1] = bgra[i * 4 + 1];
      screen.rgb[i * 3 + 2] = bgra[i * 4];
    }
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, source);
  return screen;
}

inline uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

inline void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBigEndian(out, Crc32(typed.data(), typed.size()));
}

// Writes the screen as an 8-bit RGB PNG; false when the file cannot be written.
inline bool WritePng(const std::string& path, const Screen& screen) {
  if (screen.width <= 0 || screen.height <= 0) return false;
  std::vector<uint8_t> raw;  // each row behind its filter byte (0: none)
  const size_t row = static_cast<size_t>(screen.width) * 3;
  for (int y = 0; y < screen.height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), screen.rgb.begin() + y * row, screen.rgb.begin() + (y + 1) * row);
  }
  std::vector<uint8_t> zlib = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0;) {
    const size_t size = std::min<size_t>(65535, raw.size() - at);
    const bool last = at + size >= raw.size();
    zlib.push_back(last ? 1 : 0);
    zlib.push_back(static_cast<uint8_t>(size & 0xFF));
    zlib.push_back(static_cast<uint8_t>(size >> 8));
    zlib.push_back(static_cast<uint8_t>(~size & 0xFF));
    zlib.push_back(static_cast<uint8_t>((~size >> 8) & 0xFF));
    zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + size);
    at += size;
    if (last) break;
  }
  PutBigEndian(zlib, (b << 16) | a);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBigEndian(header, static_cast<uint32_t>(screen.width));
  PutBigEndian(header, static_cast<uint32_t>(screen.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter method, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", zlib);
  PutChunk(png, "IEND", {});
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace testshot
