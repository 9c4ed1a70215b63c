#include "quillet/format/mask_colors.h"

#include "quillet/format/platform.h"

namespace quillet {
namespace {

struct ColorWord {
  int letters;
  char firstLetter;
  ColorRef color;
};

// Words are told apart only by length and first letter, so "Rot" is red as well.
constexpr ColorWord kColorWords[] = {
    {3, 'r', 0x0000FF},  // red
    {4, 'b', 0xFF0000},  // blue
    {4, 'c', 0xFFFF00},  // cyan
    {4, 'd', 0x7F7F00},  // dark cyan
    {4, 'g', 0x7F7F7F},  // gray
    {5, 'b', 0x000000},  // black
    {5, 'd', 0x00007F},  // dark red
    {5, 'g', 0x00FF00},  // green
    {5, 'l', 0xC0C0C0},  // light gray
    {5, 'o', 0x007F7F},  // olive
    {5, 'w', 0xFFFFFF},  // white
    {6, 'd', 0x7F0000},  // dark blue
    {6, 'p', 0x7F007F},  // purple
    {6, 'y', 0x00FFFF},  // yellow
    {7, 'd', 0x007F00},  // dark green
    {7, 'm', 0xFF00FF},  // magenta
};

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// The numbers follow atoi, but only their low 8 bits matter; accumulating modulo
// 256 gives those bits for runs of any length without overflowing.
ColorRef ReadNumericColor(const char* p) {
  ColorRef parts[3] = {0, 0, 0};
  for (ColorRef& part : parts) {
    while (*p != '\0' && !IsAsciiDigit(*p)) ++p;
    if (*p == '\0') break;
    ColorRef value = 0;
    for (; IsAsciiDigit(*p); ++p) value = (value * 10 + static_cast<ColorRef>(*p - '0')) & 0xFF;
    part = value;
  }
  return parts[0] | (parts[1] << 8) | (parts[2] << 16);
}

bool LookUpColorWord(const char* p, ColorRef* color) {
  int letters = 0;
  while (IsAlphaChar(p[letters])) ++letters;
  if (letters == 0) return false;
  const char first = ToLowerChar(p[0]);
  for (const ColorWord& word : kColorWords) {
    if (word.letters == letters && word.firstLetter == first) {
      *color = word.color;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseColorSpec(const char* groupText, ColorRef* outColor) {
  if (groupText == nullptr) return false;
  const char* p = groupText;
  if (*p == '[') ++p;

  ColorRef color = 0;
  if (IsDigitChar(*p)) {
    color = ReadNumericColor(p);
  } else if (!LookUpColorWord(p, &color)) {
    return false;
  }
  if (outColor != nullptr) *outColor = color;
  return true;
}

int ExtractMaskColors(ColorRef* positiveColor, ColorRef* negativeColor, char* mask) {
  if (mask == nullptr || positiveColor == nullptr) return 0;

  int result = 0;
  int section = 0;  // only 0, 1 and "later" matter, so it stops at 2
  bool inGroup = false;
  char group[kColorGroupCapacity + 1];
  std::size_t groupLength = 0;

  // The output never runs ahead of the input, so the mask is rewritten in place.
  char* out = mask;
  for (const char* in = mask; *in != '\0'; ++in) {
    // The backslash goes, but the character behind it is still taken as it is.
    if (*in == '\\' && (in[1] == ';' || in[1] == '[')) ++in;
    const char c = *in;

    if (inGroup) {
      if (groupLength < kColorGroupCapacity) group[groupLength++] = c;
      if (c != ']') continue;
      inGroup = false;
      group[groupLength] = '\0';
      if (section == 0) {
        result = ParseColorSpec(group, positiveColor) ? 1 : 0;
      } else if (section == 1 && negativeColor != nullptr && ParseColorSpec(group, negativeColor)) {
        result |= 2;
      }
      continue;
    }

    if (c == '[') {
      inGroup = true;
      group[0] = c;
      groupLength = 1;
      continue;
    }
    if (c == ';' && section < 2) ++section;
    *out++ = c;
  }
  *out = '\0';
  return result;
}

}  // namespace quillet
