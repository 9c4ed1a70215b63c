// Masked text both ways: text merged into a mask for display, and displayed text
// stripped back to what was typed.
//
// Input layout:
//   byte 0    flags: 1 strip, 2 null mask, 4 null text, 8 output size + 45,
//             16 negative output size
//   byte 1    output size (0-255; with flag 8, 45-300)
//   text\0    mask
//   text      the text, up to the next NUL
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "quillet/format/text_mask.h"

using fuzzsupport::Check;
using fuzzsupport::ExactText;
using fuzzsupport::GuardedArea;
using fuzzsupport::Reader;

namespace {

constexpr char kFillers[] = " _-";

int Apply(const char* text, const char* mask, GuardedArea& output, int outputSize, bool strip) {
  const int result = quillet::ApplyTextMask(text, mask, output.data(), outputSize, strip);
  Check(output.GuardsIntact());
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t flags = in.Byte();
  const bool strip = (flags & 1) != 0;
  int outputSize = in.Byte() + ((flags & 8) != 0 ? 45 : 0);
  const std::size_t areaSize = static_cast<std::size_t>(outputSize);
  if ((flags & 16) != 0) outputSize = -outputSize;
  const ExactText maskCopy(in.Text());
  const ExactText textCopy(in.Text());
  const char* mask = (flags & 2) != 0 ? nullptr : maskCopy.get();
  const char* text = (flags & 4) != 0 ? nullptr : textCopy.get();

  GuardedArea output(areaSize);
  const int result = Apply(text, mask, output, outputSize, strip);
  if (text == nullptr || outputSize <= 0) {
    Check(result == 0 && output.Untouched());
    return 0;
  }

  const long length = output.TerminatedLength();
  Check(length >= 0 && length <= outputSize - 1);
  Check(result >= 0 && result <= outputSize - 1);
  // Stripping that stops at a refused character reports one more than it wrote.
  Check(result == length || (strip && result == length + 1));
  if (!strip) Check(result == length);

  const std::string written(output.data(), static_cast<std::size_t>(length));
  const std::string typed = text;
  if (mask == nullptr || *mask == '\0') {
    Check(written == typed.substr(0, static_cast<std::size_t>(outputSize - 1)));
    return 0;
  }
  // Every character shown comes from the text, the mask or the fillers.
  const std::string sources = typed + mask + kFillers;
  for (const char c : written) Check(sources.find(c) != std::string::npos);

  // A larger output only lets more of the same text through.
  if (outputSize < 300) {
    GuardedArea wider(320);
    const int widerResult = Apply(text, mask, wider, 320, strip);
    Check(widerResult >= result);
    Check(std::memcmp(wider.data(), written.data(), written.size()) == 0);
  }
  return 0;
}
