// A bounds-checked little-endian reader over a byte buffer. Every read that
// would pass the end fails and leaves the cursor failed, so a parser can read
// a whole record and test once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace orvante::xact {

class ByteCursor {
 public:
  ByteCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t position() const { return pos_; }
  size_t size() const { return size_; }
  size_t remaining() const { return failed_ ? 0 : size_ - pos_; }
  bool failed() const { return failed_; }
  bool AtEnd() const { return !failed_ && pos_ == size_; }

  // Moves to an absolute position; fails beyond the end.
  bool Seek(uint64_t position) {
    if (failed_ || position > size_) return Fail();
    pos_ = static_cast<size_t>(position);
    return true;
  }
  bool Skip(uint64_t count) {
    if (failed_ || count > size_ - pos_) return Fail();
    pos_ += static_cast<size_t>(count);
    return true;
  }

  uint8_t U8() { return static_cast<uint8_t>(Read(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Read(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Read(4)); }
  int16_t S16() { return static_cast<int16_t>(U16()); }
  int32_t S32() { return static_cast<int32_t>(U32()); }
  uint64_t U64() { return Read(8); }
  float F32() {
    uint32_t bits = U32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // A NUL-terminated string; fails when no NUL lies before the end.
  std::string CString() {
    if (failed_) return {};
    const void* nul = std::memchr(data_ + pos_, 0, size_ - pos_);
    if (!nul) {
      Fail();
      return {};
    }
    size_t length = static_cast<const uint8_t*>(nul) - (data_ + pos_);
    std::string text(reinterpret_cast<const char*>(data_ + pos_), length);
    pos_ += length + 1;
    return text;
  }

  // A fixed-size NUL-padded field; fails when the field holds no NUL (FACT
  // measures it with strlen and would run past the field).
  std::string FixedString(size_t fieldSize) {
    if (failed_ || fieldSize > size_ - pos_) {
      Fail();
      return {};
    }
    const void* nul = std::memchr(data_ + pos_, 0, fieldSize);
    if (!nul) {
      Fail();
      return {};
    }
    size_t length = static_cast<const uint8_t*>(nul) - (data_ + pos_);
    std::string text(reinterpret_cast<const char*>(data_ + pos_), length);
    pos_ += fieldSize;
    return text;
  }

 private:
  bool Fail() {
    failed_ = true;
    return false;
  }
  uint64_t Read(size_t bytes) {
    if (failed_ || bytes > size_ - pos_) {
      Fail();
      return 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(data_[pos_ + i]) << (8 * i);
    pos_ += bytes;
    return value;
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace orvante::xact
