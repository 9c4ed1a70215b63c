// The button an HEdit field carries at its right edge, with the host's own button
// classes: which child each kind makes, where it lies, what it hides from the
// text, how the field passes on enabling and hit-testing, and real mouse input
// from the button through the field to the host's subclass procedure, including
// a host that tears the field down while hearing of a step or a click.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/host_buttons.h"
#include "host/spin_button.h"
#include "tests/support/gui_objects.h"
#include "tests/windows/hedit_tests/hedit_fixture.h"

namespace hedit_tests {
namespace {

using quillet::HEM_BUTTONCLICK;
using quillet::HEM_GETBUTTON;
using quillet::HEM_SETBUTTON;
using quillet::HEM_SETBUTTONIMAGE;
using quillet::HEM_SPINDELTA;
using quorvan::testing::GdiObjects;
using quorvan::testing::UserObjects;

constexpr WPARAM kNone = 0;
constexpr WPARAM kPrompt = 1;
constexpr WPARAM kSpin = 2;
constexpr WPARAM kSpinVariant = 3;

struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

Bitmap MakeBitmap() {
  HDC screen = GetDC(nullptr);
  Bitmap bitmap(CreateCompatibleBitmap(screen, 10, 8));
  ReleaseDC(nullptr, screen);
  return bitmap;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string WindowText(HWND window) {
  char text[128] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

RECT ClientRect(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client;
}

// Where a child lies in its parent's client coordinates.
RECT RectInParent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int ChildCount(HWND parent) {
  int count = 0;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    ++count;
  }
  return count;
}

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD limit = 2000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limit) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

// A window procedure put in front of a window's own, as the 4GL host subclasses
// the fields it owns: every message passes the hook first, which may answer it.
class Subclass {
 public:
  using Hook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

  Subclass(HWND window, Hook hook) : window_(window), hook_(std::move(hook)) {
    SetPropA(window_, kProperty, this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
  }
  ~Subclass() {
    if (!window_) return;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(window_, kProperty);
  }
  Subclass(const Subclass&) = delete;
  Subclass& operator=(const Subclass&) = delete;

 private:
  static constexpr const char* kProperty = "QuorvanTestSubclass";

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Subclass*>(GetPropA(window, kProperty));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    const WNDPROC previous = self->previous_;
    if (message == WM_NCDESTROY) {
      RemovePropA(window, kProperty);
      self->window_ = nullptr;
    } else if (self->hook_) {
      if (const std::optional<LRESULT> answer = self->hook_(window, message, wParam, lParam)) {
        return *answer;
      }
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
  }

  HWND window_;
  Hook hook_;
  WNDPROC previous_ = nullptr;
};

// What the host's subclass of a field hears from the field's button.
struct SpinStep {
  WPARAM id;
  short position;
  short delta;
  bool operator==(const SpinStep& o) const {
    return id == o.id && position == o.position && delta == o.delta;
  }
};
std::ostream& operator<<(std::ostream& out, const SpinStep& s) {
  return out << "{id " << s.id << ", position " << s.position << ", delta " << s.delta << "}";
}

struct Click {
  WPARAM wParam;
  LPARAM lParam;
};

class HostField {
 public:
  explicit HostField(HWND field)
      : subclass_(field,
                  [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Hear(w, m, wp, lp); }) {}

  std::vector<SpinStep> steps;
  std::vector<Click> clicks;
  LRESULT spinAnswer = 0;
  bool destroyOnStep = false;
  bool destroyOnClick = false;

 private:
  std::optional<LRESULT> Hear(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == HEM_SPINDELTA) {
      steps.push_back(
          {wParam, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      if (destroyOnStep) DestroyWindow(window);
      return spinAnswer;
    }
    if (message == HEM_BUTTONCLICK) {
      clicks.push_back({wParam, lParam});
      if (destroyOnClick) {
        DestroyWindow(window);
        return 0;
      }
    }
    return std::nullopt;
  }

  Subclass subclass_;
};

// Real input, as a user's mouse gives it.
void MoveMouseTo(HWND window, POINT client) {
  ClientToScreen(window, &client);
  SetCursorPos(client.x, client.y);
  PumpMessages();
}

void MouseButton(bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
  PumpFor(30);
}

void ClickAt(HWND window, POINT client) {
  MoveMouseTo(window, client);
  MouseButton(true);
  MouseButton(false);
}

POINT UpperHalf(HWND spin) {
  const RECT c = ClientRect(spin);
  return {c.right / 2, c.bottom / 4};
}
POINT LowerHalf(HWND spin) {
  const RECT c = ClientRect(spin);
  return {c.right / 2, c.bottom * 3 / 4};
}
POINT LeftHalf(HWND spin) {
  const RECT c = ClientRect(spin);
  return {c.right / 4, c.bottom / 2};
}
POINT RightHalf(HWND spin) {
  const RECT c = ClientRect(spin);
  return {c.right * 3 / 4, c.bottom / 2};
}
POINT Middle(HWND window) {
  const RECT c = ClientRect(window);
  return {c.right / 2, c.bottom / 2};
}

class HEditButtonTest : public HEditTest {
 protected:
  void SetUp() override {
    HEditTest::SetUp();
    static const bool registered =
        quorvan::host::RegisterHostButtonClasses(GetModuleHandleA(nullptr));
    ASSERT_TRUE(registered);
  }
  void TearDown() override {
    // A test that failed half-way must not leave the mouse button held.
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) MouseButton(false);
    // Nor the pointer where the next test puts its fields.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    HEditTest::TearDown();
  }

  static HWND SetButton(HWND field, WPARAM kind, const char* caption = nullptr) {
    EXPECT_EQ(SendMessageA(field, HEM_SETBUTTON, kind, reinterpret_cast<LPARAM>(caption)), 0);
    PumpMessages();
    return Button(field);
  }
  static HWND Button(HWND field) {
    return reinterpret_cast<HWND>(SendMessageA(field, HEM_GETBUTTON, 0, 0));
  }
  int CaptionWidth(const char* caption, HFONT font) {
    FontDc dc(font);
    const int width = dc.Width(caption);
    return width + width / 2;
  }
};

// ---------------------------------------------------------------------------
// The child each kind makes.

struct KindCase {
  const char* name;
  WPARAM kind;
  const char* caption;
  bool withImage;
  const char* className;
  const char* text;
  DWORD style;
};

const KindCase kKindCases[] = {
    {"prompt", kPrompt, "...", false, "HPromptBtn", "...", 0x50004000},
    {"prompt with image", kPrompt, "Find", true, "HPromptBtn", "Find", 0x50004080},
    {"prompt without caption", kPrompt, nullptr, false, "HPromptBtn", "", 0x50004000},
    {"spin", kSpin, nullptr, false, "HSpinBtn", "", 0x50000000},
    {"spin given a caption", kSpin, "Up", false, "HSpinBtn", "", 0x50000000},
    {"spin with image", kSpin, nullptr, true, "HSpinBtn", "", 0x50000080},
    {"spin variant", kSpinVariant, nullptr, false, "HSpinBtn", "", 0x50000001},
    {"spin variant with image", kSpinVariant, nullptr, true, "HSpinBtn", "", 0x50000081},
};

TEST_F(HEditButtonTest, EachKindMakesItsChildOfTheHostClass) {
  const Bitmap image = MakeBitmap();
  ASSERT_TRUE(image);
  for (const KindCase& c : kKindCases) {
    SCOPED_TRACE(c.name);
    HWND field = CreateField("%ssText");
    ASSERT_TRUE(field);
    if (c.withImage) SendMessageA(field, HEM_SETBUTTONIMAGE, 0, LPARAM(image.get()));
    HWND button = SetButton(field, c.kind, c.caption);
    ASSERT_TRUE(button);
    EXPECT_TRUE(IsWindow(button));
    EXPECT_EQ(GetParent(button), field);
    EXPECT_EQ(ClassOf(button), c.className);
    EXPECT_EQ(WindowText(button), c.text);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(button, GWL_STYLE)), c.style);
    EXPECT_EQ(GetWindowLongA(button, GWL_EXSTYLE), 0);
    EXPECT_EQ(GetDlgCtrlID(button), 0);
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(button, GWLP_HINSTANCE)),
              GetModuleHandleA(nullptr));
    EXPECT_TRUE(IsWindowVisible(button));
    EXPECT_TRUE(IsWindowEnabled(button));
    if (c.kind == kPrompt) {
      // Only a prompt button is handed the image.
      EXPECT_EQ(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0),
                c.withImage ? LRESULT(image.get()) : 0);
    }
    DestroyWindow(field);
    EXPECT_FALSE(IsWindow(button)) << "the button outlived its field";
  }
}

TEST_F(HEditButtonTest, KindZeroDestroysTheChildAndGivesTheTextItsWidthBack) {
  for (WPARAM kind : {kPrompt, kSpin, kSpinVariant}) {
    SCOPED_TRACE(kind);
    HWND field = CreateField("%ssText");
    HWND button = SetButton(field, kind, "...");
    ASSERT_TRUE(button);
    EXPECT_LT(TextRect(field).right, ClientRect(field).right - 3);
    EXPECT_EQ(SetButton(field, kNone), nullptr);
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(ChildCount(field), 0);
    EXPECT_EQ(TextRect(field).right, ClientRect(field).right - 3);
    // Again, with nothing left to destroy.
    EXPECT_EQ(SetButton(field, kNone), nullptr);
    // And a new one can be had.
    HWND again = SetButton(field, kind, "...");
    EXPECT_TRUE(again);
    EXPECT_EQ(ChildCount(field), 1);
    DestroyWindow(field);
  }
}

TEST_F(HEditButtonTest, AnotherKindWhileAButtonExistsKeepsTheButton) {
  struct Case {
    WPARAM first, second;
    const char* className;
  };
  const Case cases[] = {
      {kPrompt, kSpin, "HPromptBtn"},   {kPrompt, kSpinVariant, "HPromptBtn"},
      {kSpin, kPrompt, "HSpinBtn"},     {kSpinVariant, kSpin, "HSpinBtn"},
      {kPrompt, kPrompt, "HPromptBtn"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << " then " << c.second);
    HWND field = CreateField("%ssText");
    HWND first = SetButton(field, c.first, "...");
    ASSERT_TRUE(first);
    const RECT before = RectInParent(first);
    HWND second = SetButton(field, c.second, "Longer caption");
    EXPECT_EQ(second, first);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_EQ(ClassOf(second), c.className);
    EXPECT_EQ(ChildCount(field), 1);
    // The kept button is laid out anew for the new caption, as the text is.
    const RECT after = RectInParent(second);
    if (c.first == kPrompt) {
      EXPECT_EQ(after.right - after.left, CaptionWidth("Longer caption", font_.get()));
      EXPECT_LT(after.left, before.left);
    }
    EXPECT_EQ(TextRect(field).right, after.left - 3);
    DestroyWindow(field);
  }
}

TEST_F(HEditButtonTest, AButtonOfAnUnregisteredClassLeavesNoButton) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  quorvan::host::UnregisterHostButtonClasses(instance);
  struct Reregister {
    HINSTANCE instance;
    ~Reregister() { quorvan::host::RegisterHostButtonClasses(instance); }
  } reregister{instance};
  for (WPARAM kind : {kPrompt, kSpin, kSpinVariant}) {
    SCOPED_TRACE(kind);
    HWND field = CreateField("%ssText");
    EXPECT_EQ(SetButton(field, kind, "..."), nullptr);
    EXPECT_EQ(ChildCount(field), 0);
    EXPECT_EQ(TextRect(field).right, ClientRect(field).right - 3);
    // The layout that follows a size or font change has nothing to place.
    SetWindowPos(field, nullptr, 0, 0, 260, 30, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(TextRect(field).right, ClientRect(field).right - 3);
    DestroyWindow(field);
  }
}

// ---------------------------------------------------------------------------
// Layout.

struct LayoutCase {
  const char* name;
  WPARAM kind;
  const char* caption;
  DWORD style;
  int width, height;
};

const LayoutCase kLayoutCases[] = {
    {"prompt ...", kPrompt, "...", 0, 200, 24},
    {"prompt with a word", kPrompt, "Lookup", 0, 240, 30},
    {"prompt, bordered field", kPrompt, "Lookup", WS_BORDER, 240, 30},
    {"prompt without caption", kPrompt, nullptr, 0, 200, 24},
    {"spin", kSpin, nullptr, 0, 200, 24},
    {"spin variant, bordered", kSpinVariant, nullptr, WS_BORDER, 160, 40},
    // A spin measures a caption too: the width follows the caption, not the kind.
    {"spin with caption", kSpin, "Wide caption", 0, 220, 24},
};

TEST_F(HEditButtonTest, TheButtonSitsAtTheRightEdgeAndTheTextEndsBeforeIt) {
  for (const LayoutCase& c : kLayoutCases) {
    SCOPED_TRACE(c.name);
    HWND field = CreateField("%ssText", c.style, c.width, c.height);
    HWND button = SetButton(field, c.kind, c.caption);
    ASSERT_TRUE(button);
    const int width =
        c.caption ? CaptionWidth(c.caption, font_.get()) : GetSystemMetrics(SM_CXVSCROLL);
    ASSERT_GT(width, 0);
    const RECT client = ClientRect(field);
    const RECT at = RectInParent(button);
    EXPECT_EQ(at.left, client.right - width);
    EXPECT_EQ(at.top, 0);
    EXPECT_EQ(at.right, client.right);
    EXPECT_EQ(at.bottom, client.bottom);
    EXPECT_EQ(TextRect(field).right, at.left - 3);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)), font_.get());
    DestroyWindow(field);
  }
}

TEST_F(HEditButtonTest, TheButtonFollowsTheFieldsSizeAndFont) {
  HWND field = CreateField("%ssText", 0, 200, 24);
  HWND button = SetButton(field, kPrompt, "Lookup");
  ASSERT_TRUE(button);
  struct Step {
    const char* name;
    std::function<void()> change;
    std::function<HFONT()> font;
  };
  TestFont large(-24);
  const Step steps[] = {
      {"wider and taller",
       [&] { SetWindowPos(field, nullptr, 0, 0, 320, 36, SWP_NOMOVE | SWP_NOZORDER); },
       [&] { return font_.get(); }},
      {"narrower", [&] { SetWindowPos(field, nullptr, 0, 0, 150, 20, SWP_NOMOVE | SWP_NOZORDER); },
       [&] { return font_.get(); }},
      {"a larger font", [&] { SendMessageA(field, WM_SETFONT, WPARAM(large.get()), TRUE); },
       [&] { return large.get(); }},
      // Without a font the caption is measured in the font a DC starts with.
      {"no font", [&] { SendMessageA(field, WM_SETFONT, 0, TRUE); },
       [&] { return static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.change();
    PumpMessages();
    const int width = CaptionWidth("Lookup", step.font());
    const RECT client = ClientRect(field);
    const RECT at = RectInParent(button);
    EXPECT_EQ(at.left, client.right - width);
    EXPECT_EQ(at.right, client.right);
    EXPECT_EQ(at.bottom, client.bottom);
    EXPECT_EQ(TextRect(field).right, at.left - 3);
  }
  // The larger font was handed on; clearing the font hands nothing on.
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)), large.get());
  DestroyWindow(field);
}

TEST_F(HEditButtonTest, HitTestingOverTheButtonIsTransparent) {
  HWND field = CreateField("%ssText", 0, 200, 24);
  const auto hit = [field](int x, int y) {
    POINT point{x, y};
    ClientToScreen(field, &point);
    return SendMessageA(field, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  };
  const RECT client = ClientRect(field);
  const int y = client.bottom / 2;
  EXPECT_EQ(hit(client.right - 5, y), HTCLIENT) << "without a button";
  for (WPARAM kind : {kPrompt, kSpin}) {
    SCOPED_TRACE(kind);
    HWND button = SetButton(field, kind, "Lookup");
    ASSERT_TRUE(button);
    const int left = RectInParent(button).left;
    EXPECT_EQ(hit(left, y), HTTRANSPARENT);
    EXPECT_EQ(hit(client.right - 1, y), HTTRANSPARENT);
    EXPECT_EQ(hit(left, 0), HTTRANSPARENT);
    EXPECT_EQ(hit(left - 1, y), HTCLIENT);
    EXPECT_EQ(hit(1, y), HTCLIENT);
    // The point under the mouse belongs to the button.
    POINT screen{left + 2, y};
    ClientToScreen(field, &screen);
    EXPECT_EQ(WindowFromPoint(screen), button);
    SetButton(field, kNone);
    EXPECT_EQ(hit(left, y), HTCLIENT) << "after the button went";
  }
  DestroyWindow(field);
}

// ---------------------------------------------------------------------------
// Enabling.

TEST_F(HEditButtonTest, ADisabledFieldMakesADisabledButton) {
  for (WPARAM kind : {kPrompt, kSpin, kSpinVariant}) {
    for (bool disabled : {true, false}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << (disabled ? ", disabled" : ""));
      HWND field = CreateField("%ssText", disabled ? WS_DISABLED : 0);
      HWND button = SetButton(field, kind, "...");
      ASSERT_TRUE(button);
      EXPECT_EQ(IsWindowEnabled(button) != FALSE, !disabled);
      DestroyWindow(field);
    }
  }
}

TEST_F(HEditButtonTest, TheFieldPassesWmEnableOnToItsButton) {
  for (WPARAM kind : {kPrompt, kSpin}) {
    SCOPED_TRACE(kind);
    HWND field = CreateField("%ssText");
    HWND button = SetButton(field, kind, "...");
    ASSERT_TRUE(button);
    std::vector<std::pair<WPARAM, LPARAM>> heard;
    {
      Subclass listen(button, [&](HWND, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
        if (m == WM_ENABLE) heard.emplace_back(wp, lp);
        return std::nullopt;
      });
      SendMessageA(field, WM_ENABLE, 0, 0x1234);
      ASSERT_FALSE(heard.empty());
      EXPECT_EQ(heard.front(), std::make_pair(WPARAM(0), LPARAM(0x1234))) << "passed on unchanged";
      heard.clear();
      EnableWindow(field, FALSE);
      ASSERT_FALSE(heard.empty());
      EXPECT_EQ(heard.front().first, WPARAM(FALSE));
      // The host's button takes the field's state for its own.
      EXPECT_FALSE(IsWindowEnabled(button));
      heard.clear();
      EnableWindow(field, TRUE);
      ASSERT_FALSE(heard.empty());
      EXPECT_EQ(heard.front().first, WPARAM(TRUE));
      EXPECT_TRUE(IsWindowEnabled(button));
    }
    DestroyWindow(field);
  }
}

// ---------------------------------------------------------------------------
// Notifications from the button, sent to the field as the button would send them.

TEST_F(HEditButtonTest, AStepFromTheSpinReachesTheHostWithItsAnswer) {
  HWND field = CreateField("%ssText");
  HWND spin = SetButton(field, kSpin);
  ASSERT_TRUE(spin);
  HostField host(field);
  struct Case {
    const char* name;
    HWND from;
    UINT code;
    UINT_PTR id;
    int position, delta;
    LRESULT answer;
    bool reachesHost;
  };
  const Case cases[] = {
      {"up", spin, UDN_DELTAPOS, 0, 4, 1, 0, true},
      {"down, refused by the host", spin, UDN_DELTAPOS, 7, -3, -1, 1, true},
      {"large numbers keep their low words", spin, UDN_DELTAPOS, 9, 0x12345, -0x10002, 5, true},
      {"another code", spin, NM_CLICK, 0, 1, 1, 0, false},
      {"from another window", form_->hwnd(), UDN_DELTAPOS, 0, 1, 1, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.steps.clear();
    host.spinAnswer = c.answer;
    NMUPDOWN step{};
    step.hdr.hwndFrom = c.from;
    step.hdr.idFrom = c.id;
    step.hdr.code = c.code;
    step.iPos = c.position;
    step.iDelta = c.delta;
    const LRESULT result = SendMessageA(field, WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&step));
    if (c.reachesHost) {
      ASSERT_EQ(host.steps.size(), 1u);
      EXPECT_EQ(host.steps[0], (SpinStep{c.id, static_cast<short>(LOWORD(c.position)),
                                         static_cast<short>(LOWORD(c.delta))}));
      EXPECT_EQ(result, c.answer);
    } else {
      EXPECT_TRUE(host.steps.empty());
      EXPECT_EQ(result, 0);
    }
  }
  DestroyWindow(field);
}

TEST_F(HEditButtonTest, AClickFromThePromptReachesTheHost) {
  HWND field = CreateField("%ssText");
  HWND prompt = SetButton(field, kPrompt, "...");
  ASSERT_TRUE(prompt);
  HostField host(field);
  struct Case {
    const char* name;
    HWND from;
    WORD code;
    bool reachesHost;
    std::optional<LRESULT> result;
  };
  const Case cases[] = {
      {"click", prompt, BN_CLICKED, true, std::nullopt},
      {"click from another window", form_->hwnd(), BN_CLICKED, false, std::nullopt},
      {"focus", prompt, BN_SETFOCUS, false, 1},
      {"losing the focus", prompt, BN_KILLFOCUS, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.clicks.clear();
    const WPARAM wParam = MAKEWPARAM(0, c.code);
    const LRESULT result =
        SendMessageA(field, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(c.from));
    if (c.reachesHost) {
      ASSERT_EQ(host.clicks.size(), 1u);
      EXPECT_EQ(host.clicks[0].wParam, wParam);
      EXPECT_EQ(host.clicks[0].lParam, reinterpret_cast<LPARAM>(prompt));
    } else {
      EXPECT_TRUE(host.clicks.empty());
    }
    if (c.result) {
      EXPECT_EQ(result, *c.result);
    }
  }
  EXPECT_TRUE(form_->notifications().empty()) << "the form hears nothing of its field's button";
  DestroyWindow(field);
}

// ---------------------------------------------------------------------------
// Real mouse input.

TEST_F(HEditButtonTest, ClickingTheSpinHalvesStepsTheHost) {
  struct Case {
    const char* name;
    WPARAM kind;
    POINT (*up)(HWND);
    POINT (*down)(HWND);
  };
  const Case cases[] = {
      {"spin", kSpin, UpperHalf, LowerHalf},
      {"side-by-side spin", kSpinVariant, RightHalf, LeftHalf},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Wide enough that each half of the side-by-side arrows is easy to hit.
    HWND field = CreateField("%ssText", 0, 200, 30);
    HWND spin = SetButton(field, c.kind, c.kind == kSpinVariant ? "<  >" : nullptr);
    ASSERT_TRUE(spin);
    HostField host(field);
    ClickAt(spin, c.up(spin));
    ASSERT_TRUE(PumpUntil([&] { return host.steps.size() >= 1; }))
        << "a mouse click on the spin button reached nobody";
    ClickAt(spin, c.up(spin));
    ClickAt(spin, c.down(spin));
    PumpUntil([&] { return host.steps.size() >= 3; });
    const std::vector<SpinStep> expected = {{0, 0, 1}, {0, 1, 1}, {0, 2, -1}};
    EXPECT_EQ(host.steps, expected);
    // A refused step leaves the position where it was.
    host.steps.clear();
    host.spinAnswer = 1;
    ClickAt(spin, c.down(spin));
    ClickAt(spin, c.down(spin));
    PumpUntil([&] { return host.steps.size() >= 2; });
    const std::vector<SpinStep> refused = {{0, 1, -1}, {0, 1, -1}};
    EXPECT_EQ(host.steps, refused);
    EXPECT_TRUE(form_->notifications().empty());
    DestroyWindow(field);
  }
}

TEST_F(HEditButtonTest, ClickingThePromptReachesTheHost) {
  HWND field = CreateField("%ssText", 0, 200, 30);
  HWND prompt = SetButton(field, kPrompt, "...");
  ASSERT_TRUE(prompt);
  HostField host(field);
  ClickAt(prompt, Middle(prompt));
  ASSERT_TRUE(PumpUntil([&] { return host.clicks.size() >= 1; }))
      << "a mouse click on the prompt button reached nobody";
  ASSERT_EQ(host.clicks.size(), 1u);
  EXPECT_EQ(host.clicks[0].wParam, MAKEWPARAM(0, BN_CLICKED));
  EXPECT_EQ(host.clicks[0].lParam, reinterpret_cast<LPARAM>(prompt));
  EXPECT_TRUE(form_->notifications().empty());

  // Pressed on the button but let go beside it: no click.
  host.clicks.clear();
  MoveMouseTo(prompt, Middle(prompt));
  MouseButton(true);
  MoveMouseTo(field, POINT{5, ClientRect(field).bottom / 2});
  MouseButton(false);
  PumpFor(100);
  EXPECT_TRUE(host.clicks.empty());
  // The press on the button does not take the focus from where it was.
  EXPECT_NE(GetFocus(), prompt);
  DestroyWindow(field);
}

TEST_F(HEditButtonTest, HoldingTheSpinDownRepeatsTheStep) {
  HWND field = CreateField("%ssText", 0, 200, 30);
  HWND spin = SetButton(field, kSpin);
  ASSERT_TRUE(spin);
  HostField host(field);
  MoveMouseTo(spin, UpperHalf(spin));
  MouseButton(true);
  PumpFor(600);
  MouseButton(false);
  const size_t held = host.steps.size();
  // One step at the press, then one each repeat after the first delay.
  EXPECT_GE(held, 3u);
  // A runaway repeat would give several times more.
  EXPECT_LE(held, 1u + 700 / quorvan::host::kSpinRepeatMs);
  for (size_t i = 0; i < held; ++i) {
    EXPECT_EQ(host.steps[i], (SpinStep{0, static_cast<short>(i), 1})) << "step " << i;
  }
  PumpFor(250);
  EXPECT_EQ(host.steps.size(), held) << "the steps went on after the button was let go";

  // Held down over the lower half, then dragged off the button: the steps stop
  // while the mouse is away.
  host.steps.clear();
  MoveMouseTo(spin, LowerHalf(spin));
  MouseButton(true);
  MoveMouseTo(field, POINT{5, 5});
  PumpFor(500);
  MouseButton(false);
  ASSERT_EQ(host.steps.size(), 1u);
  EXPECT_EQ(host.steps[0].delta, -1);
  DestroyWindow(field);
}

TEST_F(HEditButtonTest, ADisabledButtonIgnoresTheMouse) {
  for (WPARAM kind : {kSpin, kPrompt}) {
    SCOPED_TRACE(kind);
    HWND field = CreateField("%ssText", WS_DISABLED, 200, 30);
    HWND button = SetButton(field, kind, "...");
    ASSERT_TRUE(button);
    HostField host(field);
    ClickAt(button, UpperHalf(button));
    // Even a press that is handed to the button directly.
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PumpFor(100);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(host.clicks.empty());
    // Enabled again, it answers.
    EnableWindow(field, TRUE);
    ClickAt(button, UpperHalf(button));
    PumpUntil([&] { return host.steps.size() + host.clicks.size() >= 1; });
    EXPECT_EQ(host.steps.size() + host.clicks.size(), 1u);
    DestroyWindow(field);
  }
}

TEST_F(HEditButtonTest, TheHostMayDestroyTheFieldWhileHearingOfItsButton) {
  struct Case {
    const char* name;
    WPARAM kind;
    DWORD hold;  // how long the mouse stays down
  };
  const Case cases[] = {
      {"a spin step", kSpin, 0},
      {"a held spin", kSpin, 500},
      {"a prompt click", kPrompt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND field = CreateField("%ssText", 0, 200, 30);
    HWND button = SetButton(field, c.kind, "...");
    ASSERT_TRUE(button);
    HostField host(field);
    host.destroyOnStep = true;
    host.destroyOnClick = true;
    MoveMouseTo(button, UpperHalf(button));
    MouseButton(true);
    PumpFor(c.hold);
    MouseButton(false);
    PumpFor(150);
    EXPECT_FALSE(IsWindow(field));
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(host.steps.size() + host.clicks.size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
  }
  // The notifications sent straight to a field that goes while answering them.
  for (WPARAM kind : {kSpin, kPrompt}) {
    SCOPED_TRACE(testing::Message() << "sent directly, kind " << kind);
    HWND field = CreateField("%ssText");
    HWND button = SetButton(field, kind, "...");
    HostField host(field);
    host.destroyOnStep = true;
    host.destroyOnClick = true;
    if (kind == kSpin) {
      NMUPDOWN step{};
      step.hdr.hwndFrom = button;
      step.hdr.code = static_cast<UINT>(UDN_DELTAPOS);
      step.iDelta = 1;
      SendMessageA(field, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&step));
    } else {
      SendMessageA(field, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
    EXPECT_FALSE(IsWindow(field));
    EXPECT_EQ(host.steps.size() + host.clicks.size(), 1u);
  }
}

// ---------------------------------------------------------------------------
// Handles.

TEST_F(HEditButtonTest, TwoHundredFieldsWithButtonsLeaveNoHandlesBehind) {
  // The counter must see objects come and go, or the check below proves nothing.
  {
    const long before = GdiObjects();
    ASSERT_GE(before, 0) << "no way to count GDI objects here";
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 20; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    EXPECT_EQ(GdiObjects(), before + 20);
    for (HBRUSH brush : brushes) DeleteObject(brush);
    EXPECT_EQ(GdiObjects(), before);
  }
  const Bitmap image = MakeBitmap();
  auto cycle = [&](int count) {
    for (int i = 0; i < count; ++i) {
      HWND field =
          CreateWindowExA(0, "HEdit", "%ssText", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10,
                          200, 26, form_->hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
      SendMessageA(field, WM_SETFONT, WPARAM(font_.get()), 0);
      if (i % 2) SendMessageA(field, HEM_SETBUTTONIMAGE, 0, LPARAM(image.get()));
      const WPARAM kind = static_cast<WPARAM>(i % 3 + 1);
      SendMessageA(field, HEM_SETBUTTON, kind, LPARAM("Lookup"));
      HWND button = Button(field);
      // Paint it, press it (capture and repeat timer), resize it, swap it.
      UpdateWindow(field);
      UpdateWindow(button);
      SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
      SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
      SetWindowPos(field, nullptr, 0, 0, 240, 30, SWP_NOMOVE | SWP_NOZORDER);
      if (i % 4 == 0) {
        SendMessageA(field, HEM_SETBUTTON, kNone, 0);
        SendMessageA(field, HEM_SETBUTTON, kind == kPrompt ? kSpin : kPrompt, LPARAM("..."));
        UpdateWindow(Button(field));
      }
      DestroyWindow(field);
    }
    PumpMessages();
  };
  cycle(20);
  const long gdiBefore = GdiObjects();
  const long userBefore = UserObjects();
  cycle(200);
  EXPECT_LE(GdiObjects(), gdiBefore) << "GDI objects left by 200 fields with buttons";
  EXPECT_LE(UserObjects(), userBefore) << "USER objects left by 200 fields with buttons";

  // A field that lives on: what its window's destruction would reclaim (a DC
  // never released) shows only here.
  HWND field = CreateField("%ssText", 0, 200, 26);
  HWND prompt = SetButton(field, kPrompt, "Lookup");
  ASSERT_TRUE(prompt);
  auto relayout = [&](int count) {
    for (int i = 0; i < count; ++i) {
      SetWindowPos(field, nullptr, 0, 0, 200 + i % 40, 26, SWP_NOMOVE | SWP_NOZORDER);
      UpdateWindow(prompt);
    }
    PumpMessages();
  };
  relayout(20);
  const long gdiLiving = GdiObjects();
  relayout(200);
  EXPECT_LE(GdiObjects(), gdiLiving) << "GDI objects left by 200 layouts of one field";
  DestroyWindow(field);
}

}  // namespace
}  // namespace hedit_tests
