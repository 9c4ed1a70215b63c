// The container tests' own control, registered from the DLL beside the test
// program, with its test hook: what the control saw of its container.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/windows/probe_control/probe_control_ids.h"
#include "tests/windows/tarvik_container_tests/container_fixture.h"

namespace container_tests {

class ProbeLibrary {
 public:
  static ProbeLibrary& Get() {
    static ProbeLibrary library;
    return library;
  }
  bool Ready() const { return registered_ && stats_ && reset_ && fireDuringCreation_ && size_; }
  ProbeStats Stats() const {
    ProbeStats stats = {};
    stats.size = sizeof stats;
    if (!stats_ || !stats_(&stats)) ADD_FAILURE() << "probe statistics not available";
    return stats;
  }
  void Reset() const { reset_(); }
  void FireDuringCreation(bool enable) const { fireDuringCreation_(enable ? 1 : 0); }
  void PreferredSize(int cx, int cy, bool fixed) const { size_(cx, cy, fixed ? 1 : 0); }

 private:
  ProbeLibrary() {
    // Kept loaded for the whole program: COM finds the same module by its path.
    module_ = LoadLibraryA("ProbeControl.dll");
    if (!module_) return;
    using RegisterFn = HRESULT(WINAPI*)();
    auto registerServer = Find<RegisterFn>("DllRegisterServer");
    registered_ = registerServer && SUCCEEDED(registerServer());
    stats_ = Find<ProbeControlStatsFn>("ProbeControlStats");
    reset_ = Find<ProbeControlResetStatsFn>("ProbeControlResetStats");
    fireDuringCreation_ =
        Find<ProbeControlSetFireDuringCreationFn>("ProbeControlSetFireDuringCreation");
    size_ = Find<ProbeControlSetPreferredSizeFn>("ProbeControlSetPreferredSize");
  }

  template <class Function>
  Function Find(const char* name) const {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  HMODULE module_ = nullptr;
  bool registered_ = false;
  ProbeControlStatsFn stats_ = nullptr;
  ProbeControlResetStatsFn reset_ = nullptr;
  ProbeControlSetFireDuringCreationFn fireDuringCreation_ = nullptr;
  ProbeControlSetPreferredSizeFn size_ = nullptr;
};

class ProbeTest : public ContainerTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(probe().Ready());
    probe().FireDuringCreation(false);
    probe().PreferredSize(0, 0, false);
    ContainerTest::SetUp();
    probe().Reset();
  }
  void TearDown() override {
    ContainerTest::TearDown();
    // Whatever a test did, the library let go of every object of the control.
    const ProbeStats stats = probe().Stats();
    EXPECT_EQ(stats.liveControls, 0);
    EXPECT_EQ(stats.liveObjects, 0);
    probe().FireDuringCreation(false);
    probe().PreferredSize(0, 0, false);
  }

  static ProbeLibrary& probe() { return ProbeLibrary::Get(); }
  ProbeStats Stats() const { return probe().Stats(); }

  int Create(HostWindow& host, DWORD style = WS_CHILD | WS_VISIBLE, BOOL design = FALSE,
             const char* classText = kProbeControlProgId, const char* key = nullptr,
             const char* persist = nullptr, const char* caption = "") {
    return ocx_.createOCXControlEx(handle_, host.Handle(), classText, caption, style, key, persist,
                                   design);
  }

  // Calls a method of the control through the client's exports; its result.
  int Call(DISPID dispid, std::initializer_list<int> arguments = {}) {
    if (arguments.size()) {
      calls_.declareAutoClientInvokeParams(handle_, static_cast<int>(arguments.size()));
      for (int value : arguments) calls_.defineAutoClientIntegerParam(handle_, value);
    }
    return calls_.invokeAutoClientIntegerFunction(handle_, dispid);
  }
  int CallBool(DISPID dispid, bool value) {
    calls_.declareAutoClientInvokeParams(handle_, 1);
    calls_.defineAutoClientBoolParam(handle_, value ? 1 : 0);
    return calls_.invokeAutoClientIntegerFunction(handle_, dispid);
  }
};

inline SIZE WindowSize(HWND window) {
  RECT outer = {};
  GetWindowRect(window, &outer);
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

inline WNDPROC ProcedureOf(HWND window) {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

}  // namespace container_tests
