// A form for HEdit controls as the host builds one: a visible top-level parent
// window that hears every notification, HEdit children made from field
// specifications, a font whose pixels are exact, and pictures of what is on screen.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/loaded_library.h"
#include "host/png_writer.h"
#include "host/quillet_exports.h"
#include "quillet/edit/hedit_constants.h"

namespace hedit_tests {

struct Notification {
  WORD code;
  WORD id;
  HWND control;
};

// The parent of the fields: records WM_COMMAND notifications in order, and can
// be told to answer a code with HEM_ANSWER or to destroy the control on a code.
class FormWindow {
 public:
  explicit FormWindow(int width = 480, int height = 160) {
    static const ATOM kClass = Register();
    (void)kClass;
    window_ = CreateWindowExA(0, kClassName, "HEdit form", WS_POPUP | WS_VISIBLE, 20, 20, width,
                              height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  }
  ~FormWindow() {
    if (window_) DestroyWindow(window_);
  }
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  HWND hwnd() const { return window_; }

  const std::vector<Notification>& notifications() const { return notifications_; }
  std::vector<WORD> Codes() const {
    std::vector<WORD> codes;
    for (const Notification& n : notifications_) codes.push_back(n.code);
    return codes;
  }
  int CountOf(WORD code) const {
    int count = 0;
    for (const Notification& n : notifications_) count += n.code == code;
    return count;
  }
  void ClearNotifications() { notifications_.clear(); }

  // Every later notification with this code is answered with HEM_ANSWER.
  void AnswerCode(WORD code) { answered_.insert(code); }
  // The control sending this code is destroyed while the notification runs.
  void DestroyOnCode(WORD code) { destroyOn_.insert(code); }
  // WM_CTLCOLOREDIT answered with this brush (null: the system's default answer).
  void SetControlBrush(HBRUSH brush) { controlBrush_ = brush; }
  int controlColorRequests() const { return controlColorRequests_; }

 private:
  static constexpr const char* kClassName = "QuorvanHEditForm";

  static ATOM Register() {
    WNDCLASSA type{};
    type.lpfnWndProc = Procedure;
    type.hInstance = GetModuleHandleA(nullptr);
    type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    type.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    type.lpszClassName = kClassName;
    return RegisterClassA(&type);
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
      switch (message) {
        case WM_COMMAND: {
          const WORD code = HIWORD(wParam);
          HWND control = reinterpret_cast<HWND>(lParam);
          self->notifications_.push_back({code, LOWORD(wParam), control});
          if (self->answered_.count(code)) SendMessageA(control, quillet::HEM_ANSWER, 0, 0);
          if (self->destroyOn_.count(code)) DestroyWindow(control);
          return 0;
        }
        case WM_CTLCOLOREDIT:
          ++self->controlColorRequests_;
          if (self->controlBrush_) return reinterpret_cast<LRESULT>(self->controlBrush_);
          break;
        case WM_NCDESTROY:
          self->window_ = nullptr;
          break;
      }
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  std::vector<Notification> notifications_;
  std::set<WORD> answered_;
  std::set<WORD> destroyOn_;
  HBRUSH controlBrush_ = nullptr;
  int controlColorRequests_ = 0;
};

// A proportional TrueType font, the first of a few faces that exist. By default
// drawn without smoothing, so that text pixels have exactly the text colour.
class TestFont {
 public:
  explicit TestFont(int height = -16, BYTE quality = NONANTIALIASED_QUALITY) {
    for (const char* face : {"Arial", "Tahoma", "Liberation Sans", "DejaVu Sans"}) {
      if (FaceExists(face)) {
        face_ = face;
        break;
      }
    }
    LOGFONTA spec{};
    spec.lfHeight = height;
    spec.lfWeight = FW_NORMAL;
    spec.lfCharSet = DEFAULT_CHARSET;
    spec.lfQuality = quality;
    spec.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynA(spec.lfFaceName, face_.c_str(), LF_FACESIZE);
    font_ = CreateFontIndirectA(&spec);
  }
  ~TestFont() {
    if (font_) DeleteObject(font_);
  }
  TestFont(const TestFont&) = delete;
  TestFont& operator=(const TestFont&) = delete;

  HFONT get() const { return font_; }
  const std::string& face() const { return face_; }

  static bool FaceExists(const char* face) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &wanted, NoteTrueType, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
  }

 private:
  static int CALLBACK NoteTrueType(const LOGFONTA*, const TEXTMETRICA*, DWORD type, LPARAM found) {
    if (type & TRUETYPE_FONTTYPE) *reinterpret_cast<bool*>(found) = true;
    return 1;
  }

  std::string face_ = "Arial";
  HFONT font_ = nullptr;
};

// A screen DC with a font selected, for measuring as the control measures.
class FontDc {
 public:
  explicit FontDc(HFONT font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font)) {}
  ~FontDc() {
    SelectObject(dc_, old_);
    ReleaseDC(nullptr, dc_);
  }
  FontDc(const FontDc&) = delete;
  FontDc& operator=(const FontDc&) = delete;

  HDC get() const { return dc_; }
  int Width(const char* text, int count) const {
    SIZE size{};
    GetTextExtentPoint32A(dc_, text, count, &size);
    return size.cx;
  }
  int Width(const std::string& text) const { return Width(text.c_str(), int(text.size())); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// What a window shows on screen, addressed in its client coordinates.
struct Snapshot {
  quorvan::host::RgbImage image;
  POINT clientOrigin{};  // where client (0, 0) lies in the image

  bool Valid() const { return image.width > 0 && image.height > 0; }
  COLORREF At(int x, int y) const {
    const int column = x + clientOrigin.x, row = y + clientOrigin.y;
    if (column < 0 || row < 0 || column >= image.width || row >= image.height) return CLR_INVALID;
    const std::uint8_t* p = &image.rgb[(static_cast<size_t>(row) * image.width + column) * 3];
    return RGB(p[0], p[1], p[2]);
  }
  // Pixels of the client rectangle area for which the test holds.
  int Count(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) count += test(At(x, y)) ? 1 : 0;
    }
    return count;
  }
  int Count(const RECT& area, COLORREF color) const {
    return Count(area, [color](COLORREF c) { return c == color; });
  }
  // The leftmost and rightmost client x in area holding a pixel for which the test
  // holds; {-1, -1} when there is none.
  std::pair<int, int> Columns(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    std::pair<int, int> span{-1, -1};
    for (int x = area.left; x < area.right; ++x) {
      for (int y = area.top; y < area.bottom; ++y) {
        if (!test(At(x, y))) continue;
        if (span.first < 0) span.first = x;
        span.second = x;
        break;
      }
    }
    return span;
  }
};

// Delivers every message that is waiting (paints included).
inline void PumpMessages() {
  MSG message;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

// The pixels a window has drawn, read back from its own window DC (not from the
// screen, which may lag behind), without the caret; addressed from its client
// origin.
inline Snapshot ReadWindow(HWND window) {
  Snapshot shot;
  RECT outer{};
  if (!IsWindowVisible(window) || !GetWindowRect(window, &outer)) return shot;
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  shot.clientOrigin = {origin.x - outer.left, origin.y - outer.top};
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  if (width <= 0 || height <= 0) return shot;

  const BOOL hid = HideCaret(nullptr);
  HDC source = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (source && memory && dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    if (BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY)) {
      GdiFlush();
      shot.image.width = width;
      shot.image.height = height;
      shot.image.rgb.resize(static_cast<size_t>(width) * height * 3);
      const auto* bgrx = static_cast<const std::uint8_t*>(bits);
      for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
        shot.image.rgb[i * 3 + 0] = bgrx[i * 4 + 2];
        shot.image.rgb[i * 3 + 1] = bgrx[i * 4 + 1];
        shot.image.rgb[i * 3 + 2] = bgrx[i * 4 + 0];
      }
    }
    SelectObject(memory, old);
  }
  if (dib) DeleteObject(dib);
  if (memory) DeleteDC(memory);
  if (source) ReleaseDC(window, source);
  if (hid) ShowCaret(nullptr);
  return shot;
}

// The client area painted completely anew (background and text), then read.
inline Snapshot Capture(HWND window) {
  PumpMessages();
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return ReadWindow(window);
}

// The window as its own painting left it: only the paints it asked for are made.
inline Snapshot CaptureAsIs(HWND window) {
  PumpMessages();
  UpdateWindow(window);
  return ReadWindow(window);
}

// Client pixels of area that differ between two pictures of one window.
inline int DifferingPixels(const Snapshot& a, const Snapshot& b, const RECT& area) {
  int differing = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) differing += a.At(x, y) != b.At(x, y) ? 1 : 0;
  }
  return differing;
}

// A test with Quillet loaded and a visible form to put fields on.
class HEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(quillet_.Loaded()) << GetLastError();
    ASSERT_TRUE(exports_.Complete());
    form_ = std::make_unique<FormWindow>();
    ASSERT_TRUE(form_->hwnd());
  }
  void TearDown() override {
    form_.reset();
    PumpMessages();
  }

  // An HEdit child of the form made from a field specification, with the test
  // font set. The form's own notifications from creation are forgotten.
  HWND CreateField(const char* spec, DWORD style = 0, int width = 200, int height = 24,
                   int id = 100, int x = 10, int y = 10, const char* className = "HEdit") {
    HWND field = CreateWindowExA(0, className, spec, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                 height, form_->hwnd(), reinterpret_cast<HMENU>(INT_PTR(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(field) << "creating \"" << spec << "\": error " << GetLastError();
    if (field) SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    PumpMessages();
    form_->ClearNotifications();
    return field;
  }

  static RECT TextRect(HWND field) {
    RECT rect{};
    SendMessageA(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
  }
  static std::string Text(HWND field) {
    char text[512] = {};
    const char* buffer =
        reinterpret_cast<const char*>(SendMessageA(field, quillet::HEM_GETTEXTPTR, 0, 0));
    if (buffer) lstrcpynA(text, buffer, sizeof text);
    return text;
  }
  static std::pair<int, int> Selection(HWND field) {
    DWORD start = 0, end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
  }
  static void Type(HWND field, const std::string& text) {
    for (char c : text) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 0);
  }
  static void Press(HWND field, WPARAM key) {
    SendMessageA(field, WM_KEYDOWN, key, 0);
    SendMessageA(field, WM_KEYUP, key, 0);
  }
  static void Click(HWND field, int x, int y, WPARAM keys = 0) {
    SendMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
    SendMessageA(field, WM_LBUTTONUP, keys, MAKELPARAM(x, y));
  }

  quorvan::host::LoadedLibrary quillet_{"Quillet.dll"};
  quorvan::host::QuilletExports exports_{quillet_};
  TestFont font_;
  std::unique_ptr<FormWindow> form_;
};

}  // namespace hedit_tests
