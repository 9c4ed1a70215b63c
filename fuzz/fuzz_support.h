// Shared by the fuzz targets: reading an input byte by byte, buffers sized exactly so
// that the address sanitizer sees any read past their end, and international
// settings taken from the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "quillet/format/intl_settings.h"
#include "quillet/format/platform.h"

namespace fuzzsupport {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

// Hands out the input front to back; past the end every read gives zeros or "".
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return used_ < size_ ? data_[used_++] : 0; }

  // Exactly count bytes, zero-filled beyond the input.
  std::vector<std::uint8_t> Bytes(std::size_t count) {
    std::vector<std::uint8_t> out(count, 0);
    for (std::size_t i = 0; i < count && used_ < size_; ++i) out[i] = data_[used_++];
    return out;
  }

  // Up to the next NUL (consumed) or the end of the input.
  std::string Text() {
    std::string out;
    while (used_ < size_) {
      const char c = static_cast<char>(data_[used_++]);
      if (c == '\0') break;
      out.push_back(c);
    }
    return out;
  }

  std::size_t Remaining() const { return size_ - used_; }

  // Whatever is left, embedded NULs included.
  std::string Rest() {
    std::string out(reinterpret_cast<const char*>(data_) + used_, size_ - used_);
    used_ = size_;
    return out;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t used_ = 0;
};

// A heap copy of a C string, allocated to the byte so that reading past its NUL is a
// sanitizer report. The string stops at its first NUL.
class ExactText {
 public:
  explicit ExactText(const std::string& text) {
    const std::size_t length = std::strlen(text.c_str());
    bytes_.reset(new char[length + 1]);
    std::memcpy(bytes_.get(), text.c_str(), length + 1);
  }
  const char* get() const { return bytes_.get(); }

 private:
  std::unique_ptr<char[]> bytes_;
};

// An area with guard bytes on both sides, to catch writes that stay inside the heap
// block and so escape the sanitizer.
class GuardedArea {
 public:
  static constexpr std::size_t kGuard = 32;
  static constexpr unsigned char kGuardByte = 0xA5;
  static constexpr unsigned char kFillByte = 0x5A;

  explicit GuardedArea(std::size_t size)
      : size_(size), block_(new unsigned char[size + 2 * kGuard]) {
    std::memset(block_.get(), kGuardByte, kGuard);
    std::memset(block_.get() + kGuard, kFillByte, size);
    std::memset(block_.get() + kGuard + size, kGuardByte, kGuard);
  }
  char* data() { return reinterpret_cast<char*>(block_.get() + kGuard); }
  std::size_t size() const { return size_; }

  bool GuardsIntact() const {
    for (std::size_t i = 0; i < kGuard; ++i) {
      if (block_[i] != kGuardByte || block_[kGuard + size_ + i] != kGuardByte) return false;
    }
    return true;
  }
  bool Untouched() const {
    for (std::size_t i = 0; i < size_; ++i) {
      if (block_[kGuard + i] != kFillByte) return false;
    }
    return true;
  }
  // Length of the text at the start, or -1 when there is no NUL inside the area.
  long TerminatedLength() const {
    const void* nul = std::memchr(block_.get() + kGuard, '\0', size_);
    if (nul == nullptr) return -1;
    return static_cast<const unsigned char*>(nul) - (block_.get() + kGuard);
  }

 private:
  std::size_t size_;
  std::unique_ptr<unsigned char[]> block_;
};

// International settings read from a block of the input:
//   4 bytes   thousands, decimal, date and time separators (0: key absent, default)
//   1 byte    iTLZero
//   1 byte    iTime
//   text\0    short date pattern ("" : key absent)
//   text\0    up to 19 names separated by '|': Sunday..Saturday, January..December
class InputIntlSource final : public quillet::IntlSource {
 public:
  explicit InputIntlSource(Reader& in) {
    for (char& separator : separators_) separator = static_cast<char>(in.Byte());
    leadingZero_ = in.Byte();
    clock24_ = in.Byte();
    shortDate_ = in.Text();
    const std::string names = in.Text();
    std::size_t start = 0;
    while (names_.size() < 19 && start <= names.size()) {
      std::size_t bar = names.find('|', start);
      if (bar == std::string::npos) bar = names.size();
      names_.push_back(names.substr(start, bar - start));
      start = bar + 1;
    }
    names_.resize(19);
  }

  std::string ProfileString(const char* key, const char* defaultValue,
                            unsigned bufferSize) const override {
    std::string value = defaultValue != nullptr ? defaultValue : "";
    if (std::strcmp(key, "sShortDate") == 0) {
      if (!shortDate_.empty()) value = shortDate_;
    } else if (const char* separator = SeparatorFor(key); separator != nullptr && *separator) {
      value.assign(1, *separator);
    }
    if (bufferSize == 0) return std::string();
    if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
    return value;
  }
  int ProfileInt(const char* key, int defaultValue) const override {
    if (std::strcmp(key, "iTLZero") == 0) return leadingZero_ & 1;
    if (std::strcmp(key, "iTime") == 0) return clock24_ & 1;
    return defaultValue;
  }
  std::string DayName(int index) const override { return Name(index, 7, 0); }
  std::string MonthName(int index) const override { return Name(index, 12, 7); }

 private:
  const char* SeparatorFor(const char* key) const {
    static const char* const kKeys[4] = {"sThousand", "sDecimal", "sDate", "sTime"};
    for (int i = 0; i < 4; ++i) {
      if (std::strcmp(key, kKeys[i]) == 0) return &separators_[i];
    }
    return nullptr;
  }
  std::string Name(int index, int count, int first) const {
    if (index < 0 || index >= count) return std::string();
    return names_[static_cast<std::size_t>(first + index)];
  }

  char separators_[4] = {};
  int leadingZero_ = 0;
  int clock24_ = 0;
  std::string shortDate_;
  std::vector<std::string> names_;
};

// Settings from the input for one run; the machine's own settings come back after it,
// since every later run (and every other target) starts from those.
class ScopedIntl {
 public:
  ScopedIntl(bool fromInput, Reader& in) : active_(fromInput) {
    if (active_) quillet::LoadIntlSettingsFrom(InputIntlSource(in));
  }
  ~ScopedIntl() {
    if (active_) quillet::LoadIntlSettings();
  }
  ScopedIntl(const ScopedIntl&) = delete;
  ScopedIntl& operator=(const ScopedIntl&) = delete;

 private:
  bool active_;
};

}  // namespace fuzzsupport
