// Text masks of masked-text fields: "(###) ###-####" and the like.
#pragma once

namespace quillet {

// A placeholder of a text mask ('@' letter, '#' digit, '!' punctuation, '&'
// letter or digit, '*' printable): whether a character fits it, and what stands
// in its place while the text has none.
struct Placeholder {
  bool (*fits)(char);
  char filler;
};

// The placeholder a mask character stands for; null for a literal.
const Placeholder* PlaceholderFor(char maskChar);

// Merges text into mask (strip = false: placeholders take matching characters,
// literals are written) or strips a masked text back to what was typed
// (strip = true: literals are dropped, the first character a placeholder refuses
// ends the text). Writes at most outputSize - 1 characters and the NUL. Returns
// the length written (stripping that was cut short by a refused character
// returns that length + 1); 0 when text or output is null or outputSize <= 0.
int ApplyTextMask(const char* text, const char* mask, char* output, int outputSize, bool strip);

}  // namespace quillet
