#include "host/demo_transcript.h"

#include <cstdio>

namespace quorvan::host {

void Transcript::Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  // The transcript goes to a file under Wine; a run cut short keeps what it said.
  std::fflush(stdout);
}

bool Transcript::Check(bool ok, const std::string& step) {
  ++checks_;
  if (!ok) ++failures_;
  Say(std::string(ok ? "    ok     " : "    FAILED ") + step);
  return ok;
}

bool Transcript::Expect(const std::string& what, const std::string& actual,
                        const std::string& expected) {
  if (actual == expected) return Check(true, what + " \"" + actual + "\"");
  return Check(false, what + " \"" + actual + "\", expected \"" + expected + "\"");
}

}  // namespace quorvan::host
