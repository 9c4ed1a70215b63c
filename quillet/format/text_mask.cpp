#include "quillet/format/text_mask.h"

#include <cctype>
#include <cstring>

#include "quillet/format/platform.h"

namespace quillet {
namespace {

bool IsPunctuation(char c) { return std::ispunct(static_cast<unsigned char>(c)) != 0; }

bool FitsLetter(char c) { return IsAnsiLetter(c); }
bool FitsDigit(char c) { return IsDigitChar(c); }
bool FitsPunctuation(char c) { return IsPunctuation(c); }
bool FitsLetterOrDigit(char c) { return IsAnsiLetterOrDigit(c); }
bool FitsPrintable(char c) {
  return IsAnsiLetter(c) || IsDigitChar(c) || IsPunctuation(c) || c == ' ';
}

}  // namespace

const Placeholder* PlaceholderFor(char maskChar) {
  static const Placeholder letter{FitsLetter, ' '}, digit{FitsDigit, '_'},
      punctuation{FitsPunctuation, '-'}, letterOrDigit{FitsLetterOrDigit, ' '},
      printable{FitsPrintable, ' '};
  switch (maskChar) {
    case '@':
      return &letter;
    case '#':
      return &digit;
    case '!':
      return &punctuation;
    case '&':
      return &letterOrDigit;
    case '*':
      return &printable;
    default:
      return nullptr;
  }
}

int ApplyTextMask(const char* text, const char* mask, char* output, int outputSize, bool strip) {
  if (!text || !output || outputSize <= 0) return 0;
  const int room = outputSize - 1;
  int length = 0;
  if (!mask || !*mask) {
    while (length < room && text[length]) {
      output[length] = text[length];
      ++length;
    }
    output[length] = '\0';
    return length;
  }

  const char* in = text;
  for (const char* m = mask; *m && length < room; ++m) {
    if (*m == '[') {
      const char* close = std::strchr(m, ']');
      if (!close) break;
      m = close;
      continue;
    }
    if (const Placeholder* placeholder = PlaceholderFor(*m)) {
      if (strip) {
        if (*in && !placeholder->fits(*in)) {
          output[length] = '\0';
          return length + 1;
        }
        output[length++] = *in ? *in++ : placeholder->filler;
      } else {
        while (*in && !placeholder->fits(*in)) ++in;
        output[length++] = *in ? *in++ : placeholder->filler;
      }
      continue;
    }
    char literal = *m;
    if (literal == '\\') {
      if (!m[1]) break;
      literal = *++m;
    }
    if (strip) {
      if (*in == literal) ++in;
    } else {
      output[length++] = literal;
      if (!IsAnsiLetterOrDigit(literal) && *in == literal) ++in;
    }
  }
  output[length] = '\0';
  return length;
}

}  // namespace quillet
