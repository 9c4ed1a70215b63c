// Runs groups of a test program in child processes, for what must be in place
// before a DLL is loaded: the user's international settings are read once, when
// Quillet is loaded into a process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvan::testing {

// Values of HKCU\Control Panel\International, where the "Intl" section of the
// user's profile lives. nullopt removes the value.
using IntlValues = std::vector<std::pair<std::string, std::optional<std::string>>>;

// Writes the values for its lifetime and puts the previous ones back afterwards.
class ScopedIntlSettings {
 public:
  explicit ScopedIntlSettings(const IntlValues& values);
  ~ScopedIntlSettings();
  ScopedIntlSettings(const ScopedIntlSettings&) = delete;
  ScopedIntlSettings& operator=(const ScopedIntlSettings&) = delete;

 private:
  IntlValues previous_;
};

struct ChildResult {
  DWORD exitCode = ~0u;
  std::string output;
  // The child ran at least one test and all of them passed.
  bool Passed() const;
};

// Starts this program again, restricted to the tests that gtestFilter selects,
// and waits for it (at most timeoutMs). The child sees InChildProcess() == true.
ChildResult RunTestsInChild(const std::string& gtestFilter, DWORD timeoutMs = 60000);

// True in a process started by RunTestsInChild: tests meant only for a child
// skip themselves elsewhere.
bool InChildProcess();

}  // namespace quorvan::testing
