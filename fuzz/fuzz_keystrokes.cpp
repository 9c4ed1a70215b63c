// Typing sessions on any field: random keystrokes and deletions applied one
// after another to the edit text of every type code, with any mask.
//
// Input: type selector, storage code, flags (1: a settings block follows),
// [settings block], mask up to a NUL, start text up to a NUL, then pairs of
// bytes (position, key), a key of 0 being a deletion. Each step runs on a block
// of exactly the text's length + 2 bytes, guarded on both sides.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "quillet/format/keystroke_rules.h"

namespace {

using fuzzsupport::Check;
using fuzzsupport::ExactText;
using fuzzsupport::GuardedArea;
using fuzzsupport::Reader;
using fuzzsupport::ScopedIntl;

constexpr char kTypeCodes[] = "akdtbcnzhms";
constexpr int kMostSteps = 64;

// The text of a field as the edit window keeps it: its length plus the one
// character a keystroke may add plus the NUL, and no more.
struct Step {
  std::string before, after;
  int result = 0, advance = -1, count = -1;
};

Step RunStep(char type, char storage, const char* mask, const std::string& text, int position,
             char key) {
  Step step;
  step.before = text;
  GuardedArea area(text.size() + 2);
  std::memcpy(area.data(), text.c_str(), text.size() + 1);
  if (key != '\0') {
    step.result = quillet::ApplyKeystroke(type, storage, area.data(), mask, position, key,
                                          &step.advance, &step.count);
  } else {
    step.result = quillet::DeleteCharAt(type, storage, area.data(), mask, position);
  }
  Check(area.GuardsIntact());
  const void* end = std::memchr(area.data(), '\0', area.size());
  Check(end != nullptr);  // still terminated inside its block
  step.after.assign(area.data());
  Check(step.after.size() <= text.size() + 1);
  return step;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  quillet::LoadIntlSettings();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t selector = in.Byte();
  const char type = selector < 0xF0 ? kTypeCodes[selector % (sizeof kTypeCodes - 1)]
                                    : static_cast<char>(selector);
  const char storage = static_cast<char>(in.Byte());
  const std::uint8_t flags = in.Byte();
  ScopedIntl intl((flags & 1) != 0, in);
  const ExactText mask(in.Text());
  std::string text = in.Text();

  for (int steps = 0; steps < kMostSteps && in.Remaining() >= 2; ++steps) {
    const int position = static_cast<int>(in.Byte() % (text.size() + 3)) - 1;
    const char key = static_cast<char>(in.Byte());
    const Step step = RunStep(type, storage, mask.get(), text, position, key);
    if (key != '\0') {
      if (step.result != 0) {
        // A refused keystroke changes nothing and moves nothing.
        Check(step.after == step.before);
        Check(step.advance == 0 && step.count == 0);
      } else {
        // What is redrawn may reach over the text as it was (a shorter text leaves
        // characters on screen to clear) and over what a rule removed on its way.
        const int both = static_cast<int>(step.before.size() + step.after.size());
        // The caret lands inside the text as the keystroke left it.
        const int caret = position + step.advance;
        Check(type == 'b' || position < 0 || position > static_cast<int>(step.before.size()) ||
              (caret >= 0 && caret <= static_cast<int>(step.after.size())));
        Check(step.advance <= static_cast<int>(step.after.size()) + 1);
        Check(step.count >= 0 && (step.count <= both + 2 || step.count == quillet::kRedrawAll));
      }
    } else {
      Check(step.result == 0 || step.result == 1);
    }
    text = step.after;
  }
  return 0;
}
