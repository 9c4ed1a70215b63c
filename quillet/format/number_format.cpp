#include "quillet/format/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "quillet/format/intl_settings.h"

namespace quillet {
namespace {

constexpr char kDefaultNumberMask[] = "*0.*";
// Fraction digits asked for when the mask sets no limit, or the number is so
// small that its digits would all lie beyond the mask's.
constexpr int kOpenFractionDigits = 64;

int Raise(int count) { return count >= kUnlimitedDigits - 1 ? count : count + 1; }

// One run of PlaceDigits: the output it writes into, moving left (integer side)
// or right (fraction side); writes outside the output are dropped.
class DigitWriter {
 public:
  DigitWriter(std::string& out, int position, int step) : out_(out), pos_(position), step_(step) {}
  void Put(char c) {
    if (pos_ >= 0 && pos_ < static_cast<int>(out_.size())) out_[static_cast<size_t>(pos_)] = c;
    pos_ += step_;
  }
  int Position() const { return pos_; }

 private:
  std::string& out_;
  int pos_;
  int step_;
};

// Writes digits into the positions of one part of a mask section. The integer
// side goes backwards from its last mask character and its last digit, the
// fraction side forwards from the '.'. Returns the output position after the last
// character written.
int PlaceDigits(std::string& out, int outPosition, const char* partBegin, const char* partEnd,
                const char* digits, int nDigits, int nPositions, int nZeros, int literalBudget,
                bool grouping, bool backwards) {
  const int step = backwards ? -1 : 1;
  DigitWriter writer(out, outPosition, step);
  const char* m = backwards ? partEnd - 1 : partBegin;
  auto inMask = [&] { return backwards ? m >= partBegin : m < partEnd; };
  int nextDigit = backwards ? nDigits - 1 : 0;
  int counter = 0;
  auto putDigit = [&] {
    writer.Put(digits[nextDigit]);
    nextDigit += step;
    --nDigits;
  };
  auto group = [&] {
    if (!grouping || (nDigits <= 0 && nZeros <= 0)) return;
    counter = (counter + 1) % 3;
    if (counter == 0) writer.Put(Intl().thousandsSeparator);
  };

  while (((nDigits > 0 && nPositions > 0) || nZeros > 0) && inMask()) {
    const char c = *m;
    if (c == '0' || c == '#' || c == '*') {
      bool wrote = false;
      if (c == '0' && nDigits == 0 && nZeros > 0) {
        writer.Put('0');
        --nZeros;
        wrote = true;
      }
      if (nDigits > 0) {
        putDigit();
        --nPositions;
        if (nZeros > 0) --nZeros;
        wrote = true;
      }
      if (wrote) group();
    } else if (c != ',' && literalBudget > 0) {
      writer.Put(c == '.' ? Intl().decimalSeparator : c);
      --literalBudget;
    }
    m += step;
  }
  // The integer part is never cut: digits beyond the mask's positions still show.
  while (nDigits > 0) {
    putDigit();
    group();
  }
  for (; literalBudget > 0 && inMask(); m += step) {
    if (*m == '#' || *m == '*' || *m == ',') continue;
    writer.Put(*m);
    --literalBudget;
  }
  return writer.Position();
}

int FillOverflow(char* output, int outputSize) {
  std::memset(output, '#', static_cast<size_t>(outputSize - 1));
  output[outputSize - 1] = '\0';
  return 0;
}

// Very large or very small numbers: d.dddde<exponent>, whatever the mask.
int FormatScientific(const DecimalDigits& decimal, bool negative, char* output, int outputSize) {
  std::string text = negative ? "-" : "";
  std::string digits = decimal.digits;
  digits.resize(std::max<size_t>(digits.size(), 5), '0');
  text += digits[0];
  text += Intl().decimalSeparator;
  text.append(digits, 1, 4);
  text += 'e';
  text += std::to_string(decimal.pointPosition - 1);
  // Cut short, "1.0000e25" would read as a small number ("1."): it is refused
  // like any other number that does not fit.
  const int length = static_cast<int>(text.size());
  if (length > outputSize - 1) return FillOverflow(output, outputSize);
  std::memcpy(output, text.data(), static_cast<size_t>(length));
  output[length] = '\0';
  return length;
}

}  // namespace

const char* AnalyseNumberMask(const char* mask, bool negative, bool editForm,
                              NumberMaskInfo* info) {
  *info = NumberMaskInfo{};
  const char* section = mask;
  if (negative) {
    if (const char* second = std::strchr(mask, ';'))
      section = second + 1;
    else
      info->leadingMinus = true;
  }
  if (*section == '[') {
    const char* close = std::strchr(section, ']');
    section = close ? close + 1 : section + std::strlen(section);
  }

  const char* p = section;
  bool zeroSeen = false;
  for (; *p && *p != '.' && *p != ';'; ++p) {
    switch (*p) {
      case '#':
        ++info->intPositions;
        if (info->maxIntDigits != kUnlimitedDigits) info->maxIntDigits = Raise(info->maxIntDigits);
        break;
      case '*':
        ++info->intPositions;
        info->maxIntDigits = kUnlimitedDigits;
        break;
      case ',':
        info->grouping = true;
        break;
      case '0':
        if (!editForm || !zeroSeen) {
          ++info->intPositions;
          ++info->forcedIntZeros;
        }
        zeroSeen = true;
        if (info->maxIntDigits != kUnlimitedDigits) info->maxIntDigits = Raise(info->maxIntDigits);
        break;
      default:
        ++info->intLiterals;
    }
  }
  info->intLength = static_cast<int>(p - section);
  if (*p == '.') {
    const char* fraction = p;
    for (; *p && *p != ';'; ++p) {
      switch (*p) {
        case '0':
          ++info->forcedFracZeros;
          [[fallthrough]];
        case '#':
          ++info->fracPositions;
          if (info->maxFracDigits != kUnlimitedDigits)
            info->maxFracDigits = Raise(info->maxFracDigits);
          break;
        case '*':
          ++info->fracPositions;
          info->maxFracDigits = kUnlimitedDigits;
          break;
        default:
          ++info->fracLiterals;
      }
    }
    info->fracLength = static_cast<int>(p - fraction);
  }
  info->sectionLength = info->intLength + info->fracLength;
  return section;
}

double LoadNumber(const void* value, char storageCode) {
  if (!value) return 0;
  auto read = [value](auto sample) {
    std::memcpy(&sample, value, sizeof sample);
    return static_cast<double>(sample);
  };
  switch (storageCode) {
    case 'b':
      return read(std::uint8_t{});
    case 'h':
      return read(std::int8_t{});
    case 's':
      return read(std::int16_t{});
    case 'w':
      return read(std::uint16_t{});
    case 'i':
    case 'l':
      return read(std::int32_t{});
    case 'u':
    case 'W':
      return read(std::uint32_t{});
    case 'f':
      return read(float{});
    case 'd':
      return read(double{});
    default:
      return 0;
  }
}

DecimalDigits ToDecimalDigits(double number, int fractionDigits) {
  DecimalDigits result;
  // Room for every finite double in fixed notation, shortest or with up to 254
  // fraction digits.
  char buffer[768];
  char* const last = buffer + sizeof buffer;
  const double magnitude = std::fabs(number);
  // The shortest digits that still read back as this double are the number the
  // user typed; when the mask asks for more, the digits past them would be binary
  // noise ("0.1" would show as 0.1000000000000000055…), so they are not made up.
  //
  // While a unit in the last place of the double is below the last asked-for
  // decimal, rounding it to that decimal already gives the shortest digits (with
  // zeros after them), and one conversion does.
  static constexpr double kPowersOfTen[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7, 1e8,
                                            1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
  const bool roundingSuffices =
      fractionDigits >= 0 && fractionDigits <= 16 &&
      magnitude * kPowersOfTen[fractionDigits] < 4503599627370496.0;  // 2^52
  auto [end, error] =
      roundingSuffices
          ? std::to_chars(buffer, last, magnitude, std::chars_format::fixed, fractionDigits)
          : std::to_chars(buffer, last, magnitude, std::chars_format::fixed);
  if (error != std::errc()) return result;
  char* point = std::find(buffer, end, '.');
  if (!roundingSuffices && point != end && end - point - 1 > fractionDigits) {
    auto rounded = std::to_chars(buffer, last, magnitude, std::chars_format::fixed, fractionDigits);
    if (rounded.ec != std::errc()) return result;
    end = rounded.ptr;
    point = std::find(buffer, end, '.');
  }
  // The digits without the point and without leading zeros.
  if (point != end) {
    std::memmove(point, point + 1, static_cast<size_t>(end - point - 1));
    --end;
  }
  const char* first = std::find_if(static_cast<const char*>(buffer), static_cast<const char*>(end),
                                   [](char c) { return c != '0'; });
  if (first == end) return result;
  result.digits.assign(first, static_cast<size_t>(end - first));
  result.pointPosition = static_cast<int>(point - first);
  return result;
}

int FormatNumber(double number, const char* mask, char* output, int outputSize, bool editForm) {
  if (!output || outputSize < 2) return 0;
  const bool negative = !(number >= 0);
  if (!mask || !*mask) mask = kDefaultNumberMask;
  // Infinities and NaN have no digits to show.
  if (!std::isfinite(number)) return FillOverflow(output, outputSize);

  NumberMaskInfo info;
  const char* section = AnalyseNumberMask(mask, negative, editForm, &info);
  if (editForm && negative) info.leadingMinus = true;

  const int wanted = info.maxFracDigits == kUnlimitedDigits || std::fabs(number) < 1e-15
                         ? kOpenFractionDigits
                         : info.maxFracDigits;
  DecimalDigits decimal = ToDecimalDigits(number, wanted);
  if (decimal.pointPosition > 19 || decimal.pointPosition < -14)
    return FormatScientific(decimal, negative, output, outputSize);

  std::string digits = std::move(decimal.digits);
  int intDigits = decimal.pointPosition;
  if (intDigits < 0) {
    digits.insert(0, static_cast<size_t>(-intDigits), '0');
    intDigits = 0;
  }
  digits.resize(std::max(static_cast<size_t>(intDigits), digits.size()), '0');
  size_t kept = digits.find_last_not_of('0');
  kept = kept == std::string::npos ? 0 : kept + 1;
  digits.resize(std::max(kept, static_cast<size_t>(intDigits)));
  const int fracDigits = static_cast<int>(digits.size()) - intDigits;

  if (fracDigits == 0 && info.forcedFracZeros == 0 && info.fracLiterals == 1)
    info.fracLiterals = 0;  // nothing after the point: no point either

  const int intShown = std::max(intDigits, info.forcedIntZeros);
  int intWidth = intShown + (info.leadingMinus ? 1 : 0);
  if (!editForm) {
    intWidth += info.intLiterals;
    if (info.grouping && intShown > 0) intWidth += (intShown - 1) / 3;
  }
  const int fracLiteralsShown = editForm ? (info.fracLiterals ? 1 : 0) : info.fracLiterals;
  const int total = intWidth + std::max(fracDigits, info.forcedFracZeros) + fracLiteralsShown;
  if (total >= outputSize) return FillOverflow(output, outputSize);

  std::string text(static_cast<size_t>(total), ' ');
  const char* intEnd = section + info.intLength;
  int left = PlaceDigits(text, intWidth - 1, section, intEnd, digits.data(), intDigits,
                         info.intPositions, info.forcedIntZeros, editForm ? 0 : info.intLiterals,
                         info.grouping && !editForm, true);
  if (info.leadingMinus && left >= 0) text[static_cast<size_t>(left)] = '-';
  PlaceDigits(text, intWidth, intEnd, intEnd + info.fracLength, digits.data() + intDigits,
              fracDigits, info.fracPositions, info.forcedFracZeros, fracLiteralsShown, false,
              false);
  std::memcpy(output, text.data(), static_cast<size_t>(total));
  output[total] = '\0';
  return total;
}

}  // namespace quillet
