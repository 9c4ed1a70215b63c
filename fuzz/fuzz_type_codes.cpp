// Field specifications come from window texts; settings from the user's profile.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "quillet/format/field_types.h"
#include "quillet/format/intl_settings.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// A profile and locale whose every answer is a slice of the fuzz input.
class SliceSource final : public quillet::IntlSource {
 public:
  explicit SliceSource(const std::string& input) : input_(input) {}
  std::string ProfileString(const char* key, const char* /*defaultValue*/,
                            unsigned /*bufferSize*/) const override {
    return Slice(std::strlen(key));
  }
  int ProfileInt(const char* key, int /*defaultValue*/) const override {
    return static_cast<int>(Slice(std::strlen(key)).size()) - 3;
  }
  std::string DayName(int index) const override { return Slice(static_cast<std::size_t>(index)); }
  std::string MonthName(int index) const override {
    return Slice(static_cast<std::size_t>(index) * 7);
  }

 private:
  std::string Slice(std::size_t start) const {
    if (input_.empty()) return std::string();
    return input_.substr(start % input_.size(), 300);
  }
  const std::string& input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<char> buffer(data, data + size);
  buffer.push_back('\0');
  const char* text = buffer.data();

  char type = 0, storage = 0, type2 = 0, storage2 = 0;
  const char* rest = quillet::ParseTypeSpec(text, &type, &storage, &type2, &storage2);
  Check(rest == text || rest == text + 3 || rest == text + 6);
  if (rest == text) Check(type == 's' && storage == 's' && type2 == 0 && storage2 == 0);
  if (rest != text) Check(quillet::IsValidTypePair(type, storage));
  if (rest == text + 6) Check(quillet::IsValidTypePair(type2, storage2));
  if (quillet::IsValidTypePair(type, storage)) Check(quillet::ValueSize(type, storage) != 0);
  Check(quillet::ParseTypeSpec(text, nullptr, nullptr, nullptr, nullptr) == rest);

  // Text copies stay inside their capacity and copy a prefix.
  const int capacity = size > 0 ? data[0] % 40 : 0;
  std::vector<char> copy(static_cast<std::size_t>(capacity) + 1, 'X');
  const int copied = quillet::CopyValue(copy.data(), text, 's', 's', capacity);
  Check(copied >= 0 && copied <= (capacity > 0 ? capacity - 1 : 0));
  Check(std::strncmp(copy.data(), text, static_cast<std::size_t>(copied)) == 0);
  Check(copy[static_cast<std::size_t>(capacity)] == 'X');

  char pattern[quillet::kIntlPatternSize];
  quillet::NormaliseShortDate(text, size > 1 ? static_cast<char>(data[1]) : '/', pattern);
  Check(std::strlen(pattern) < quillet::kIntlPatternSize);

  const std::string input(text);
  const quillet::IntlSettings settings = quillet::ReadIntlSettings(SliceSource(input));
  Check(std::strlen(settings.shortDatePattern) < quillet::kIntlPatternSize);
  Check(std::strlen(settings.timePattern) < quillet::kIntlPatternSize);
  for (const auto& name : settings.dayNames) Check(std::strlen(name) < quillet::kIntlNameSize);
  for (const auto& name : settings.monthNames) Check(std::strlen(name) < quillet::kIntlNameSize);
  return 0;
}
