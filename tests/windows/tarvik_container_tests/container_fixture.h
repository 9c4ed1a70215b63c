// Tarvik loaded and initialised, an OCX client made, message boxes captured, and
// the exports a host uses on it: creation, properties and methods.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "host/tarvik_exports.h"
#include "tests/support/message_box_capture.h"
#include "tests/windows/tarvik_container_tests/host_window.h"
#include "tests/windows/tarvik_frame_tests/tarvik_fixture.h"

namespace container_tests {

inline std::string TakeHostText(char* block) {
  if (!block) return "<null>";
  std::string text(block);
  HeapFree(GetProcessHeap(), 0, block);
  return text;
}

class ContainerTest : public tarvik_tests::TarvikTest {
 protected:
  void SetUp() override {
    TarvikTest::SetUp();
    ASSERT_TRUE(ocx_.Complete());
    ASSERT_TRUE(calls_.Complete());
    Init();
    handle_ = ocx_.createOCXClient();
    ASSERT_GT(handle_, 0);
  }

  void TearDown() override {
    if (handle_) api_.destroyAutomationClient(handle_);
    TarvikTest::TearDown();
    Pump();
  }

  // The boxes shown since the last look, as "caption: text" lines.
  std::string Boxes() {
    std::string shown;
    for (const auto& box : boxes_.boxes()) shown += box.caption + ": " + box.text + "\n";
    boxes_.Clear();
    return shown;
  }

  std::string Caption() const { return "Quorvan Error - OCX Client " + std::to_string(handle_); }

  // The control's DISPID for `name`, asked of the dispatch the client holds.
  DISPID DispidOf(const wchar_t* name) {
    IDispatch* dispatch = api_.getAutoClientDispatch(handle_);
    // The pointer comes without a reference of ours.
    if (!dispatch) return DISPID_UNKNOWN;
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    return dispid;
  }

  quorvan::host::TarvikOcxExports ocx_{tarvik_};
  quorvan::host::TarvikCallExports calls_{tarvik_};
  quorvan::testing::MessageBoxCapture boxes_;
  int handle_ = 0;
};

}  // namespace container_tests
