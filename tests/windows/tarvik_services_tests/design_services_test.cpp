// Property pages and saving are for a control in design mode: the control's own
// frame with its pages, or the library's message; the saved file is what a later
// creation loads.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "tests/windows/tarvik_services_tests/services_fixture.h"

namespace services_tests {
namespace {

// Closes the property frame as soon as it is shown and remembers its caption.
// The frame is told apart from message boxes by its tab control; it is marked
// so that the message-box capture leaves it alone.
class PropertyFrameWatch {
 public:
  PropertyFrameWatch() {
    active_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    // Should the hook miss the frame, the test must still end.
    timer_ = SetTimer(nullptr, 0, 10000, &Rescue);
  }
  ~PropertyFrameWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (timer_) KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  PropertyFrameWatch(const PropertyFrameWatch&) = delete;
  PropertyFrameWatch& operator=(const PropertyFrameWatch&) = delete;

  int frames = 0;
  std::string caption;
  bool rescued = false;

 private:
  static bool IsFrame(HWND window) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0) return false;
    return FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr) != nullptr;
  }

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && active_) {
      HWND window = reinterpret_cast<HWND>(wParam);
      if (IsFrame(window) && !GetPropA(window, "QuorvanCaptured")) {
        SetPropA(window, "QuorvanCaptured", reinterpret_cast<HANDLE>(1));
        ++active_->frames;
        // The frame may still be setting itself up: it is looked at and closed
        // from its own message loop.
        active_->frame_ = window;
        SetTimer(nullptr, 0, 50, &Close);
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static void CALLBACK Close(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (!active_ || !IsWindow(active_->frame_)) return;
    char text[256] = {};
    GetWindowTextA(active_->frame_, text, sizeof text);
    active_->caption = text;
    PostMessageA(active_->frame_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }

  static BOOL CALLBACK CloseFrame(HWND window, LPARAM) {
    if (IsFrame(window)) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
  }

  static void CALLBACK Rescue(HWND, UINT, UINT_PTR, DWORD) {
    if (!active_) return;
    active_->rescued = true;
    EnumThreadWindows(GetCurrentThreadId(), &CloseFrame, 0);
  }

  static inline PropertyFrameWatch* active_ = nullptr;
  HHOOK hook_ = nullptr;
  UINT_PTR timer_ = 0;
  HWND frame_ = nullptr;
};

std::string ToAnsi(const wchar_t* text) {
  char buffer[256] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

TEST_F(ServicesTest, TheDesignModePropertyFrameIsTheControlsOwn) {
  HostWindow host;
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, TRUE), 1);
  PropertyFrameWatch watch;
  EXPECT_EQ(services_.displayOCXControlProperties(handle_), 1);
  EXPECT_FALSE(watch.rescued);
  EXPECT_EQ(watch.frames, 1);
  // The frame is captioned with the control's full type name, in the words the
  // system frames it with ("<name> Properties", "Properties for <name>").
  EXPECT_NE(watch.caption.find(ToAnsi(kProbeControlUserType)), std::string::npos) << watch.caption;
  EXPECT_EQ(Boxes(), "");
  // The frame and its pages let go of the control: once the window thread has
  // run what the frame left posted, removing the client (which drops the
  // design-mode reference too) ends it.
  container_tests::Pump();
  EXPECT_EQ(api_.destroyAutomationClient(handle_), 0);
  handle_ = 0;
  container_tests::Pump();
  EXPECT_EQ(Stats().liveControls, 0);
}

TEST_F(ServicesTest, PropertyPagesNeedADesignModeControlThatHasPages) {
  struct Case {
    const char* name;
    const char* classText;
    BOOL design;
    const char* boxes;
  } const cases[] = {
      {"running control", kProbeControlProgId, FALSE, ""},
      {"running control without pages", kProbeControlNoPagesProgId, FALSE, ""},
      {"design-mode control without pages", kProbeControlNoPagesProgId, TRUE,
       "Quorvan: No properties available\n"},
  };
  for (const Case& test : cases) {
    HostWindow host;
    ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, test.design, test.classText), 1) << test.name;
    PropertyFrameWatch watch;
    EXPECT_EQ(services_.displayOCXControlProperties(handle_), 1) << test.name;
    EXPECT_EQ(watch.frames, 0) << test.name;
    EXPECT_EQ(Boxes(), test.boxes) << test.name;
    ASSERT_EQ(ocx_.destroyOCXControl(handle_), 1);
  }
}

TEST_F(ServicesTest, SavedPropertiesAreWhatTheNextControlStartsWith) {
  ScratchFolder folder;
  const std::string file = folder.File("probe.stg");
  HostWindow host;
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, TRUE), 1);
  ASSERT_EQ(calls_.setAutoClientIntegerProperty(handle_, kDispidValue, 4242), 1);
  ASSERT_EQ(services_.setOCXControlCaption(handle_, "Saved caption"), 1);
  EXPECT_EQ(services_.saveOCXControlProperties(handle_, file.c_str()), 1);
  EXPECT_EQ(Boxes(), "");
  EXPECT_EQ(Stats().saves, 1);
  ASSERT_TRUE(FileExists(file));
  ASSERT_EQ(ocx_.destroyOCXControl(handle_), 1);

  // A running control made from the file has the saved state.
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, FALSE, kProbeControlProgId, nullptr, file.c_str()),
            1);
  EXPECT_EQ(Stats().loads, 1);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, kDispidValue), 4242);
  EXPECT_EQ(ReadCaption(handle_), "Saved caption");

  // A running control saves nothing: the file stays as it was.
  ASSERT_EQ(calls_.setAutoClientIntegerProperty(handle_, kDispidValue, 7), 1);
  EXPECT_EQ(services_.saveOCXControlProperties(handle_, file.c_str()), 1);
  EXPECT_EQ(Stats().saves, 1);
  ASSERT_EQ(ocx_.destroyOCXControl(handle_), 1);
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, TRUE, kProbeControlProgId, nullptr, file.c_str()),
            1);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, kDispidValue), 4242);

  // Saving again replaces the file.
  ASSERT_EQ(calls_.setAutoClientIntegerProperty(handle_, kDispidValue, 99), 1);
  EXPECT_EQ(services_.saveOCXControlProperties(handle_, file.c_str()), 1);
  ASSERT_EQ(ocx_.destroyOCXControl(handle_), 1);
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, FALSE, kProbeControlProgId, nullptr, file.c_str()),
            1);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, kDispidValue), 99);
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ServicesTest, SavingIntoAMissingFolderReportsNoStorage) {
  ScratchFolder folder;
  const std::string file = folder.File("missing\\probe.stg");
  HostWindow host;
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, TRUE), 1);
  EXPECT_EQ(services_.saveOCXControlProperties(handle_, file.c_str()), 1);
  EXPECT_EQ(Boxes(), "Error - Failed to save properties: No IStorage object\n");
  EXPECT_FALSE(FileExists(file));
  // No name at all is no better.
  EXPECT_EQ(services_.saveOCXControlProperties(handle_, ""), 1);
  EXPECT_EQ(services_.saveOCXControlProperties(handle_, nullptr), 1);
  EXPECT_EQ(Boxes(),
            "Error - Failed to save properties: No IStorage object\n"
            "Error - Failed to save properties: No IStorage object\n");
  EXPECT_EQ(Stats().saves, 0);
}

}  // namespace
}  // namespace services_tests
