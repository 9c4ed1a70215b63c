#include "tests/support/child_process.h"

#include <memory>

namespace quorvan::testing {
namespace {

constexpr char kInternationalKey[] = "Control Panel\\International";
constexpr char kChildMarker[] = "QUORVAN_TEST_CHILD";

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

UniqueKey OpenInternational() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kInternationalKey, 0, nullptr, 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return UniqueKey(key);
}

std::optional<std::string> ReadValue(HKEY key, const std::string& name) {
  char buffer[512];
  DWORD size = sizeof buffer, type = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::string(buffer, size > 0 ? strnlen(buffer, size) : 0);
}

void WriteValue(HKEY key, const std::string& name, const std::optional<std::string>& value) {
  if (value) {
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>(value->size() + 1));
  } else {
    RegDeleteValueA(key, name.c_str());
  }
}

}  // namespace

ScopedIntlSettings::ScopedIntlSettings(const IntlValues& values) {
  UniqueKey key = OpenInternational();
  if (!key) return;
  for (const auto& [name, value] : values) {
    previous_.emplace_back(name, ReadValue(key.get(), name));
    WriteValue(key.get(), name, value);
  }
}

ScopedIntlSettings::~ScopedIntlSettings() {
  UniqueKey key = OpenInternational();
  if (!key) return;
  for (auto it = previous_.rbegin(); it != previous_.rend(); ++it)
    WriteValue(key.get(), it->first, it->second);
}

bool ChildResult::Passed() const {
  return exitCode == 0 && output.find("[  PASSED  ]") != std::string::npos &&
         output.find("[  PASSED  ] 0 tests") == std::string::npos &&
         output.find("[  SKIPPED ]") == std::string::npos;
}

bool InChildProcess() { return GetEnvironmentVariableA(kChildMarker, nullptr, 0) > 0; }

ChildResult RunTestsInChild(const std::string& gtestFilter, DWORD timeoutMs) {
  ChildResult result;
  char exePath[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, exePath, MAX_PATH)) return result;

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
  UniqueHandle reader(readEnd), writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  std::string commandLine = std::string("\"") + exePath + "\" --gtest_filter=" + gtestFilter;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};

  SetEnvironmentVariableA(kChildMarker, "1");
  BOOL started = CreateProcessA(exePath, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                nullptr, &startup, &process);
  SetEnvironmentVariableA(kChildMarker, nullptr);
  if (!started) return result;
  UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
  writer.reset();  // the child holds the only write end now: EOF when it ends

  // A process the child starts may inherit the pipe and keep it open after the
  // child has gone (Wine starts its desktop process from the first process that
  // makes a window): read while the child runs, then what is left, never waiting
  // for the end of the pipe.
  char buffer[4096];
  auto drain = [&] {
    DWORD available = 0, got = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      result.output.append(buffer, got);
    }
  };
  const DWORD start = GetTickCount();
  DWORD waited = WAIT_TIMEOUT;
  while ((waited = WaitForSingleObject(process.hProcess, 20)) == WAIT_TIMEOUT &&
         GetTickCount() - start < timeoutMs) {
    drain();
  }
  drain();
  if (waited != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    result.output += "\n(child timed out)\n";
    return result;
  }
  GetExitCodeProcess(process.hProcess, &result.exitCode);
  return result;
}

}  // namespace quorvan::testing
