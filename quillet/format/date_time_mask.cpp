#include "quillet/format/date_time_mask.h"

#include <cstring>

#include "quillet/format/intl_settings.h"
#include "quillet/format/platform.h"

namespace quillet {
namespace {

char g_maskBuffer[kDateTimeMaskSize];

// The settings' patterns spell their separators as these two, whatever the machine
// prints for them; the caller's mask uses the same spelling. Comparing against the
// printed separators instead would leave dangling separators under any locale whose
// separators differ.
constexpr char kDateSeparator = '/';
constexpr char kTimeSeparator = ':';

// Appends to the scratch buffer, dropping what no longer fits.
class MaskWriter {
 public:
  MaskWriter() { g_maskBuffer[0] = '\0'; }
  void Put(char c) {
    if (used_ + 1 >= kDateTimeMaskSize) return;
    g_maskBuffer[used_++] = c;
    g_maskBuffer[used_] = '\0';
  }
  void PutText(const char* text) {
    while (*text != '\0') Put(*text++);
  }
  char Last() const { return used_ != 0 ? g_maskBuffer[used_ - 1] : '\0'; }
  void ReplaceLast(char c) { g_maskBuffer[used_ - 1] = c; }
  void DropLast() { g_maskBuffer[--used_] = '\0'; }
  bool Empty() const { return used_ == 0; }

 private:
  std::size_t used_ = 0;
};

struct FieldChoice {
  char letters[3];
  bool wanted[3];
};

// Copies the wanted field letters of pattern. A dropped field leaves a gap; the
// separator on one side of the gap goes with it, so that "m/d/yyyy" without the day
// reads "m/yyyy", and "h:mm:ss" without seconds reads "h:mm". Literals outside gaps
// are copied when copyLiterals is set, the separator always.
void WalkPattern(const char* pattern, const FieldChoice& fields, char separator, bool copyLiterals,
                 MaskWriter& out) {
  bool gap = false;
  for (const char* p = pattern; *p != '\0'; ++p) {
    const char c = *p;
    const char* letter = static_cast<const char*>(std::memchr(fields.letters, c, 3));
    if (letter != nullptr) {
      if (fields.wanted[letter - fields.letters]) {
        out.Put(c);
        gap = false;
      } else {
        gap = true;
      }
      continue;
    }
    if (gap) {
      if (!out.Empty() && out.Last() == separator) {
        out.ReplaceLast(c);
      } else if (c != separator) {
        out.Put(c);
      }
      gap = false;
    } else if (copyLiterals || c == separator) {
      out.Put(c);
    }
  }
  if (gap && !out.Empty() && out.Last() == separator) out.DropLast();
}

}  // namespace

const char* BuildDateTimeMask(const char* mask, bool hasDate, bool hasTime) {
  const IntlSettings& intl = Intl();
  MaskWriter out;

  if (mask == nullptr || mask[0] == '\0') {
    if (hasDate) out.PutText(intl.shortDatePattern);
    if (hasTime) {
      if (!out.Empty()) out.Put(' ');
      out.PutText(intl.timePattern);
    }
    return g_maskBuffer;
  }

  char lower[kDateTimeMaskExamined + 1];
  std::size_t length = 0;
  while (length < kDateTimeMaskExamined && mask[length] != '\0') {
    lower[length] = ToLowerChar(mask[length]);
    ++length;
  }
  lower[length] = '\0';

  FieldChoice date = {{'d', 'm', 'y'}, {false, false, false}};
  if (hasDate) {
    const char* firstM = std::strchr(lower, 'm');
    const char* firstH = std::strchr(lower, 'h');
    // An "hh:mm" mask names minutes, not a month.
    const bool mIsMinutes = hasTime && firstM != nullptr && firstH != nullptr && firstH <= firstM;
    date.wanted[0] = std::strchr(lower, 'd') != nullptr;
    date.wanted[1] = firstM != nullptr && !mIsMinutes;
    date.wanted[2] = std::strchr(lower, 'y') != nullptr;
    hasDate = date.wanted[0] || date.wanted[1] || date.wanted[2];
  }

  FieldChoice time = {{'h', 'm', 's'}, {false, false, false}};
  if (hasTime) {
    // Next to a date, "mm" is minutes only once the time has begun.
    const char* timeStart = lower;
    if (hasDate) timeStart = std::strchr(lower, kTimeSeparator);
    time.wanted[0] = std::strchr(lower, 'h') != nullptr;
    time.wanted[1] = timeStart != nullptr && std::strstr(timeStart, "mm") != nullptr;
    time.wanted[2] = std::strstr(lower, "ss") != nullptr;
    hasTime = time.wanted[0] || time.wanted[1] || time.wanted[2];
  }

  if (hasDate) {
    WalkPattern(intl.shortDatePattern, date, kDateSeparator, true, out);
    if (hasTime && !out.Empty()) out.Put(' ');
  }
  if (hasTime) WalkPattern(intl.timePattern, time, kTimeSeparator, time.wanted[0], out);
  return g_maskBuffer;
}

}  // namespace quillet
