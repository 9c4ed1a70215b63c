// International settings for one test: a profile holding what the test gives,
// English day and month names, and the machine's settings back afterwards.
#pragma once

#include <map>
#include <string>

#include "quillet/format/intl_settings.h"
#include "quillet/format/platform.h"

namespace quillet::testing {

class ScopedSettings {
 public:
  explicit ScopedSettings(std::map<std::string, std::string> strings = {},
                          std::map<std::string, int> ints = {}) {
    source_.strings = std::move(strings);
    source_.ints = std::move(ints);
    LoadIntlSettingsFrom(source_);
  }
  ~ScopedSettings() { LoadIntlSettings(); }
  ScopedSettings(const ScopedSettings&) = delete;
  ScopedSettings& operator=(const ScopedSettings&) = delete;

 private:
  struct Source : IntlSource {
    std::map<std::string, std::string> strings;
    std::map<std::string, int> ints;
    std::string ProfileString(const char* key, const char* fallback, unsigned size) const override {
      std::string value = strings.count(key) ? strings.at(key) : fallback;
      if (value.size() >= size) value.resize(size - 1);
      return value;
    }
    int ProfileInt(const char* key, int fallback) const override {
      return ints.count(key) ? ints.at(key) : fallback;
    }
    std::string DayName(int i) const override {
      static const char* const names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
      return names[i];
    }
    std::string MonthName(int i) const override {
      static const char* const names[] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
      return names[i];
    }
  } source_;
};

}  // namespace quillet::testing
