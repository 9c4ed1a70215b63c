#include "quillet/format/keystroke_rules.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "quillet/format/date_time_mask.h"
#include "quillet/format/format_data.h"
#include "quillet/format/intl_settings.h"
#include "quillet/format/number_format.h"
#include "quillet/format/parse_data.h"
#include "quillet/format/platform.h"
#include "quillet/format/text_mask.h"

namespace quillet {
namespace {

constexpr char kDefaultNumberMask[] = "*0.*";
constexpr char kDefaultTruthMask[] = "TRUE;FALSE";

struct Outcome {
  bool accepted = false;
  int advance = 0;
  int count = 0;
};

constexpr Outcome kRefused{};
Outcome Accept(int advance = 1, int count = 1) { return {true, advance, count}; }

int Length(const char* text) { return static_cast<int>(std::strlen(text)); }
bool IsPunctuation(char c) { return std::ispunct(static_cast<unsigned char>(c)) != 0; }

void InsertAt(char* text, int position, char c) {
  std::memmove(text + position + 1, text + position,
               static_cast<std::size_t>(Length(text + position)) + 1);
  text[position] = c;
}

void RemoveAt(char* text, int position) {
  std::memmove(text + position, text + position + 1, std::strlen(text + position + 1) + 1);
}

int IndexOf(const char* text, char c) {
  const char* found = std::strchr(text, c);
  return found && c != '\0' ? static_cast<int>(found - text) : -1;
}

// ---------------------------------------------------------------------------
// Dates and times

bool IsFieldLetter(char c) { return c == 'd' || c == 'm' || c == 'h'; }

// The effective mask writes one letter for a field that the text may show with one
// or two digits, so mask and text have to be walked side by side up to the caret.
class AlignedMask {
 public:
  AlignedMask(const char* mask, const char* text, int position)
      : mask_(mask), length_(Length(mask)) {
    const IntlSettings& intl = Intl();
    for (int i = 0; i < position && index_ < length_;) {
      const char m = mask_[index_];
      if (m == '[') {
        const char* close = std::strchr(mask_ + index_, ']');
        index_ = close ? static_cast<int>(close - mask_) + 1 : length_;
        continue;
      }
      if (m == '\\') {
        index_ += mask_[index_ + 1] ? 2 : 1;
        ++i;
        continue;
      }
      if (m == ' ' && text[i] != ' ') {
        ++i;
        continue;
      }
      if ((m == '/' && text[i] != intl.dateSeparator) ||
          (m == ':' && text[i] != intl.timeSeparator))
        ++i;
      ++i;
      ++index_;
    }
  }

  // The mask character offset places from the one at the caret; NUL outside.
  char At(int offset) const {
    const int i = index_ + offset;
    return i >= 0 && i < length_ ? mask_[i] : '\0';
  }

  // A d, m or h that stands alone, so its field may hold one or two digits.
  bool IsSingleField(int offset) const {
    const char c = At(offset);
    return IsFieldLetter(c) && At(offset - 1) != c && At(offset + 1) != c;
  }

 private:
  const char* mask_;
  int length_;
  int index_ = 0;
};

Outcome DateTimeRule(char* text, const char* mask, bool hasDate, bool hasTime, int position,
                     char character) {
  const int length = Length(text);
  const AlignedMask aligned(BuildDateTimeMask(mask, hasDate, hasTime), text, position);
  const char maskChar = aligned.At(0);
  const char before = aligned.At(-1);
  const char current = text[position];

  const bool wideField =
      IsDigitChar(current) &&
      (aligned.IsSingleField(0) || (aligned.IsSingleField(-1) && before != maskChar)) &&
      (IsDigitChar(text[position + 1]) || (position > 0 && IsDigitChar(text[position - 1])));
  const bool growField =
      position > 0 && !IsDigitChar(current) && IsFieldLetter(before) && before != maskChar &&
      (position == 1 || (aligned.At(-2) != before && !IsDigitChar(text[position - 2])));

  if (position == length) {
    if (!IsDigitChar(character) || !growField) return kRefused;
    InsertAt(text, position, character);
    return Accept(1, 1);
  }

  if (IsPunctuation(character)) {
    if (IsPunctuation(current) || maskChar == ' ') return Accept();
    for (int i = position + 1; i < length; ++i)
      if (IsPunctuation(text[i])) return Accept(i - position + 1);
    return kRefused;
  }
  if (character == ' ') {
    if (wideField) {
      RemoveAt(text, position);
      return Accept(0);
    }
    if (IsDigitChar(current)) text[position] = ' ';
    return Accept();
  }
  if (IsDigitChar(character)) {
    if (IsDigitChar(current)) {
      text[position] = character;
      return Accept();
    }
    if (growField) {
      InsertAt(text, position, character);
      return Accept(1, length + 1 - position);
    }
    if (IsPunctuation(current) || (maskChar == ' ' && current == ' ')) {
      // The separator at the caret is kept and the digit goes behind it; past the
      // end there is nothing to overwrite.
      const char next = text[position + 1];
      if (next == '\0' || IsAlphaChar(next)) return kRefused;
      text[position + 1] = character;
      return Accept(2, 2);
    }
    if (current == ' ') {
      text[position] = character;
      return Accept();
    }
    return kRefused;
  }
  // The am/pm marker is laid out from the mask's "ap": its first letter says which
  // half of the day it is, its second is the 'm' both halves share. Only those
  // letters keep the text readable as a time.
  const char lowerMask = ToLowerChar(maskChar);
  if (IsAlphaChar(character) && (lowerMask == 'a' || lowerMask == 'p')) {
    const char letter = ToLowerChar(character);
    const bool fits = lowerMask == 'a' ? letter == 'a' || letter == 'p' : letter == 'm';
    if (!fits) return kRefused;
    text[position] = character;
    return Accept();
  }
  return kRefused;
}

// ---------------------------------------------------------------------------
// Numbers

const char* NumberMask(const char* mask) { return mask && *mask ? mask : kDefaultNumberMask; }

NumberMaskInfo AnalyseForEdit(const char* mask, bool negative) {
  NumberMaskInfo info;
  AnalyseNumberMask(NumberMask(mask), negative, true, &info);
  return info;
}

constexpr int kNumberRefuse = 0;
constexpr int kNumberRemove = 1;
constexpr int kNumberStepOver = 2;

// Decides what deleting the character at position does; a forced zero is written
// in place, a removal is left to the caller.
int NumberDeleteRule(char* text, const char* mask, int position) {
  const int length = Length(text);
  if (position < 0 || position >= length) return kNumberRefuse;
  const char separator = Intl().decimalSeparator;
  if (text[position] == separator) return kNumberStepOver;
  if (text[position] == '-') return kNumberRemove;
  const NumberMaskInfo info = AnalyseForEdit(mask, std::strchr(text, '-') != nullptr);
  const int found = IndexOf(text, separator);
  const int point = found < 0 ? length : found;
  if (position < point) {
    const int intLength = point - (text[0] == '-' ? 1 : 0);
    if (intLength > info.forcedIntZeros) return kNumberRemove;
  } else if (position - point > info.forcedFracZeros) {
    return kNumberRemove;
  }
  text[position] = '0';
  return kNumberStepOver;
}

Outcome NumberRule(char* text, const char* mask, int position, char character) {
  const char separator = Intl().decimalSeparator;
  if (text[position] == '-' && character != '-' &&
      NumberDeleteRule(text, mask, position) == kNumberRemove)
    RemoveAt(text, position);
  const int length = Length(text);

  if (character == '-') {
    if (position != 0) return kRefused;
    if (text[0] == '-') return Accept();
    InsertAt(text, 0, '-');
    return Accept(1, length + 1);
  }

  int point = IndexOf(text, separator);
  if (character == separator) {
    const bool hadPoint = point >= 0;
    // The mask language writes its decimal point as '.', whatever the settings.
    if (!hadPoint) {
      if (!std::strchr(NumberMask(mask), '.')) return kRefused;
      point = length;
    }
    if (position > point) return kRefused;
    int at = position, handled = 0, stepped = 0;
    while (at < point) {
      const int result = NumberDeleteRule(text, mask, at);
      if (result == kNumberRefuse) break;
      ++handled;
      if (result == kNumberRemove) {
        RemoveAt(text, at);
        --point;
      } else {
        ++at;
        ++stepped;
      }
    }
    if (!hadPoint) InsertAt(text, Length(text), separator);
    return Accept(1 + stepped, handled + Length(text + position));
  }

  if (character == ' ') {
    // Removal leaves the caret where it is; a forced zero is stepped over.
    switch (NumberDeleteRule(text, mask, position)) {
      case kNumberRemove:
        RemoveAt(text, position);
        return Accept(0);
      case kNumberStepOver:
        return Accept(1);
      default:
        return kRefused;
    }
  }

  if (!IsDigitChar(character)) return kRefused;
  if (IsDigitChar(text[position])) {
    text[position] = character;
    return Accept();
  }
  const NumberMaskInfo info = AnalyseForEdit(mask, std::strchr(text, '-') != nullptr);
  const int maxFrac = info.maxFracDigits == kUnlimitedDigits ? 64 : info.maxFracDigits;
  const int maxInt = info.maxIntDigits == kUnlimitedDigits ? 127 - maxFrac : info.maxIntDigits;
  const int sign = text[0] == '-' ? 1 : 0;
  const int intDigits = (point < 0 ? length : point) - sign;

  if (point >= 0 && position == point) {
    if (intDigits < maxInt) {
      InsertAt(text, position, character);
      return Accept(1, length + 1 - position);
    }
    if (maxFrac <= 0) return kRefused;
    if (text[point + 1] == '\0')
      InsertAt(text, point + 1, character);
    else
      text[point + 1] = character;
    return Accept(2, 2);
  }
  if (position == length) {
    if (point < 0 ? intDigits >= maxInt : position > point + maxFrac) return kRefused;
    InsertAt(text, position, character);
    return Accept(1, 1);
  }
  return kRefused;
}

// ---------------------------------------------------------------------------
// Fixed-point numbers

constexpr int kFixedRefuse = 0;
constexpr int kFixedRemoved = 1;
constexpr int kFixedStepOver = 2;
constexpr int kFixedRemovedHere = 3;

// Lays the digits out again with the mask's fixed decimals. The result never
// exceeds maxLength characters: with text that did not come from the formatter the
// padding zero, then the separator, give way. Returns whether a zero was padded.
bool RebuildFixed(char* text, const char* mask, int maxLength) {
  const char separator = Intl().decimalSeparator;
  const bool negative = text[0] == '-';
  const NumberMaskInfo info = AnalyseForEdit(mask, negative);
  std::string body;
  for (const char* p = text + (negative ? 1 : 0); *p; ++p)
    if (*p != separator) body += *p;

  const int room = maxLength - (negative ? 1 : 0);
  const bool wantsPoint = info.forcedFracZeros > 0;
  bool padded = false;
  if (static_cast<int>(body.size()) < info.forcedFracZeros + info.forcedIntZeros &&
      static_cast<int>(body.size()) + 1 + (wantsPoint ? 1 : 0) <= room) {
    body.insert(body.begin(), '0');
    padded = true;
  }
  if (wantsPoint && static_cast<int>(body.size()) + 1 <= room) {
    const int at = static_cast<int>(body.size()) - info.forcedFracZeros;
    body.insert(body.begin() + (at > 0 ? at : 0), separator);
  }
  if (negative) body.insert(body.begin(), '-');
  std::memcpy(text, body.c_str(), body.size() + 1);
  return padded;
}

// Unlike the number rule this one carries out removals itself, before the rebuild,
// so that the character removed is the one that was at position.
int FixedDeleteRule(char* text, const char* mask, int position) {
  const int length = Length(text);
  if (position < 0 || position >= length) return kFixedRefuse;
  const char c = text[position];
  int result = kFixedStepOver;
  if (c == '-') {
    RemoveAt(text, position);
    result = kFixedRemoved;
  } else if (c != Intl().decimalSeparator && IsDigitChar(c)) {
    RemoveAt(text, position);
    result = kFixedRemovedHere;
  }
  if (RebuildFixed(text, mask, length + 1)) result = kFixedStepOver;
  return result;
}

Outcome FixedDigit(char* text, const char* mask, int position, char character) {
  const char separator = Intl().decimalSeparator;
  InsertAt(text, position, character);
  int point = IndexOf(text, separator);
  if (point >= 0 && point < position && text[point + 1] != '\0') {
    text[point] = text[point + 1];
    text[++point] = separator;
  }
  int advance = 1;
  if (point >= 0) {
    const int lead = text[0] == '-' ? 1 : 0;
    const NumberMaskInfo info = AnalyseForEdit(mask, lead == 1);
    if (text[lead] == '0' && point - info.forcedIntZeros >= lead) {
      RemoveAt(text, lead);
      advance = point - 1 >= position ? 1 : 0;
    }
  }
  return Accept(advance);
}

Outcome FixedRule(char* text, const char* mask, int position, char character) {
  const char separator = Intl().decimalSeparator;
  const int length = Length(text);
  // A key that changes no character still must not carry the caret past the end.
  const Outcome stayInside = Accept(std::min(1, length - position));
  if (character == '-') {
    if (text[0] == '-') return stayInside;
    InsertAt(text, 0, '-');
    return Accept();
  }
  if (character == '+') {
    if (text[0] != '-') return stayInside;
    FixedDeleteRule(text, mask, 0);
    // Everything moved left under the caret; it stays on the character it was on,
    // and on the first one when it stood on the sign itself.
    const int shrunk = length - Length(text);
    const int target = std::max(0, std::min(position - shrunk, Length(text)));
    return Accept(target - position);
  }
  if (character == '.' || character == separator) return stayInside;
  if (!IsDigitChar(character)) return kRefused;

  // The sign stays in front: a digit typed on it goes in behind it, and the caret
  // ends behind that digit.
  if (position == 0 && text[0] == '-') {
    const Outcome behind = FixedDigit(text, mask, 1, character);
    return Accept(behind.advance + 1, behind.count + 1);
  }
  return FixedDigit(text, mask, position, character);
}

// ---------------------------------------------------------------------------
// Truth values and single characters

bool SameLetter(char a, char b) { return ToLowerChar(a) == ToLowerChar(b); }

Outcome TruthRule(char* text, const char* mask, char character) {
  if (!mask || !*mask) mask = kDefaultTruthMask;
  const char* semicolon = std::strchr(mask, ';');
  const char trueFirst = mask[0] == ';' ? '\0' : mask[0];
  const char falseFirst = semicolon ? semicolon[1] : trueFirst;

  bool truth = ParseBoolean(mask, text);
  if (trueFirst && SameLetter(character, trueFirst))
    truth = true;
  else if (falseFirst && SameLetter(character, falseFirst))
    truth = false;
  else if (character == ' ')
    truth = !truth;
  // The word may be longer than the text it replaces; the caller has room for one
  // more character and the rest of a longer word is cut.
  FormatBoolean(truth, mask, text, Length(text) + 2);
  return Accept(0, kRedrawAll);
}

Outcome CharacterRule(char* text, char character) {
  if (text[0] == '\0') text[1] = '\0';
  text[0] = character;
  return Accept(0, 1);
}

// ---------------------------------------------------------------------------
// Text masks

// One element of a text mask: one character of the merged text. Groups write
// nothing and are passed over; an unclosed group or a lone trailing backslash ends
// the mask, as in the merge.
class MaskElements {
 public:
  explicit MaskElements(const char* mask) : at_(mask ? mask : "") { SkipGroups(); }
  bool AtEnd() const { return *at_ == '\0'; }
  const Placeholder* placeholder() const { return PlaceholderFor(*at_); }
  char literal() const { return *at_ == '\\' ? at_[1] : *at_; }
  void Next() {
    at_ += *at_ == '\\' ? 2 : 1;
    SkipGroups();
  }

 private:
  void SkipGroups() {
    while (*at_ == '[') {
      const char* close = std::strchr(at_, ']');
      at_ = close ? close + 1 : "";
    }
    if (at_[0] == '\\' && at_[1] == '\0') at_ = "";
  }
  const char* at_;
};

MaskElements ElementAt(const char* mask, int position) {
  MaskElements elements(mask);
  for (int i = 0; i < position && !elements.AtEnd(); ++i) elements.Next();
  return elements;
}

Outcome TextMaskRule(char* text, const char* mask, int position, char character) {
  const int length = Length(text);
  // A text shorter than its mask (not made by the formatter) must not send the
  // caret past its end when nothing is written.
  const auto withinText = [&](int passed) {
    return std::max(0, std::min(passed, length - position));
  };
  MaskElements element = ElementAt(mask, position);
  for (int passed = 0;; element.Next()) {
    if (element.AtEnd()) return Accept(withinText(passed), withinText(passed));
    const int at = position + passed++;
    if (const Placeholder* placeholder = element.placeholder()) {
      // A text shorter than its mask takes a character at its end, never beyond.
      if (!placeholder->fits(character) || at > length) return kRefused;
      if (at == length) text[at + 1] = '\0';
      text[at] = character;
      return Accept(passed, passed);
    }
    if (element.literal() == character) return Accept(withinText(passed), withinText(passed));
  }
}

constexpr int kTextMaskRefuse = 0;
constexpr int kTextMaskStepOver = 2;

int TextMaskDeleteRule(char* text, const char* mask, int position) {
  const MaskElements element = ElementAt(mask, position);
  if (element.AtEnd() || position >= Length(text)) return kTextMaskRefuse;
  if (const Placeholder* placeholder = element.placeholder()) text[position] = placeholder->filler;
  return kTextMaskStepOver;
}

bool IsDateTimeType(char typeCode) {
  return typeCode == 'a' || typeCode == 'k' || typeCode == 'd' || typeCode == 't';
}

bool ValidPosition(const char* text, int position) {
  return text && position >= 0 && position <= Length(text);
}

int Refuse() {
  BeepRefusal();
  return 0;
}

}  // namespace

int ApplyKeystroke(char typeCode, char storageCode, char* text, const char* mask, int position,
                   char character, int* advance, int* count) {
  (void)storageCode;
  Outcome outcome = kRefused;
  // A refused keystroke leaves the text as it was, whatever a rule had begun
  // (the number rule, for one, first takes out a '-' under the caret).
  const std::string before = text ? text : "";
  // A NUL cannot be part of a NUL-terminated text.
  if (text && character != '\0') {
    const bool valid = ValidPosition(text, position);
    if (IsDateTimeType(typeCode)) {
      if (valid)
        outcome = DateTimeRule(text, mask, typeCode != 't', typeCode != 'd', position, character);
    } else {
      switch (typeCode) {
        case 'b':
          outcome = TruthRule(text, mask, character);
          break;
        case 'c':
        case 'n':
          if (valid) outcome = NumberRule(text, mask, position, character);
          break;
        case 'z':
          if (valid) outcome = FixedRule(text, mask, position, character);
          break;
        case 'h':
          outcome = CharacterRule(text, character);
          break;
        case 'm':
          if (valid) outcome = TextMaskRule(text, mask, position, character);
          break;
        default:
          break;
      }
    }
  }
  if (text && !outcome.accepted) std::memcpy(text, before.c_str(), before.size() + 1);
  if (advance) *advance = outcome.accepted ? outcome.advance : 0;
  if (count) *count = outcome.accepted ? outcome.count : 0;
  return outcome.accepted ? 0 : 1;
}

int DeleteCharAt(char typeCode, char storageCode, char* text, const char* mask, int position) {
  (void)storageCode;
  const bool valid = ValidPosition(text, position);
  if (IsDateTimeType(typeCode)) {
    if (!valid) return Refuse();
    const Outcome outcome =
        DateTimeRule(text, mask, typeCode != 't', typeCode != 'd', position, ' ');
    if (!outcome.accepted) return Refuse();
    return outcome.advance == 0 ? 0 : 1;
  }
  switch (typeCode) {
    case 'c':
    case 'n':
      if (!valid) return Refuse();
      switch (NumberDeleteRule(text, mask, position)) {
        case kNumberRemove:
          RemoveAt(text, position);
          return 0;
        case kNumberStepOver:
          return 1;
        default:
          return Refuse();
      }
    case 'z':
      if (!valid) return Refuse();
      switch (FixedDeleteRule(text, mask, position)) {
        case kFixedStepOver:
          return 1;
        case kFixedRemoved:
        case kFixedRemovedHere:
          return 0;
        default:
          return Refuse();
      }
    case 'm':
      if (!valid) return Refuse();
      return TextMaskDeleteRule(text, mask, position) == kTextMaskStepOver ? 1 : Refuse();
    case 'h':
      if (text) {
        if (text[0] == '\0') text[1] = '\0';
        text[0] = ' ';
      }
      return 0;
    case 's':
      if (valid && position < Length(text)) RemoveAt(text, position);
      return 0;
    default:
      return 0;
  }
}

}  // namespace quillet
