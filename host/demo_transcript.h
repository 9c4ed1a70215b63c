// The demo's transcript: every line it prints, and the verdict of every step it
// checks. A failed step is marked where it happens, so a reader of the
// transcript sees what went wrong next to what led to it.
#pragma once

#include <string>

namespace quorvan::host {

class Transcript {
 public:
  void Say(const std::string& line);
  // Prints the step with its verdict; returns ok so callers can stop a walk
  // that cannot go on.
  bool Check(bool ok, const std::string& step);
  // A check of a shown or read text against the one expected; `what` reads
  // before the text ("Amount shows").
  bool Expect(const std::string& what, const std::string& actual, const std::string& expected);
  int failures() const { return failures_; }
  int checks() const { return checks_; }

 private:
  int failures_ = 0;
  int checks_ = 0;
};

}  // namespace quorvan::host
