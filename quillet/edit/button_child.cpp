#include "quillet/edit/button_child.h"

#include <commctrl.h>
#include <windowsx.h>

namespace quillet {
namespace {

// The host registers these classes; the control only names them.
constexpr char kPromptButtonClass[] = "HPromptBtn";
constexpr char kSpinButtonClass[] = "HSpinBtn";

constexpr WPARAM kNoButton = 0;
constexpr WPARAM kPromptButton = 1;
constexpr WPARAM kSpinButton = 2;
constexpr WPARAM kSpinButtonVariant = 3;

constexpr DWORD kButtonBaseStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPromptStyle = 0x4000;
constexpr DWORD kSpinVariantStyle = 0x0001;
constexpr DWORD kImageStyle = 0x0080;

// A DC of the child with the control's font in it, released on every path.
class ChildFontDc {
 public:
  ChildFontDc(HWND window, HFONT font) : window_(window), dc_(GetDC(window)) {
    if (dc_ && font) old_ = SelectObject(dc_, font);
  }
  ~ChildFontDc() {
    if (!dc_) return;
    if (old_) SelectObject(dc_, old_);
    ReleaseDC(window_, dc_);
  }
  ChildFontDc(const ChildFontDc&) = delete;
  ChildFontDc& operator=(const ChildFontDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// The caption is drawn in the font just handed to the child, so it is measured
// in that font; without one the child draws, and is measured, in the DC's own.
int ButtonWidth(HWND child, HFONT font, const char* caption) {
  // An empty caption would give a button no one can click.
  if (!caption || !*caption) return GetSystemMetrics(SM_CXVSCROLL);
  SIZE size{};
  ChildFontDc dc(child, font);
  if (!dc.get() || !GetTextExtentPoint32A(dc.get(), caption, lstrlenA(caption), &size)) {
    return GetSystemMetrics(SM_CXVSCROLL);
  }
  return size.cx + size.cx / 2;
}

void CreateButton(HEditInfo* info, WPARAM kind, const char* caption) {
  const bool prompt = kind == kPromptButton;
  DWORD style = kButtonBaseStyle;
  if (prompt) style |= kPromptStyle;
  if (kind == kSpinButtonVariant) style |= kSpinVariantStyle;
  if (info->buttonImage) style |= kImageStyle;
  HWND child =
      CreateWindowExA(0, prompt ? kPromptButtonClass : kSpinButtonClass, prompt ? caption : "",
                      style, 0, 0, 0, 0, info->hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
  // The host may have torn the control down while hearing of its new child; the
  // child went with it.
  if (info->destroyed || !child) return;
  info->button = child;
  if (prompt && info->buttonImage) {
    SendMessageA(child, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(info->buttonImage));
  }
  if (GetWindowLongA(info->hwnd, GWL_STYLE) & WS_DISABLED) EnableWindow(child, FALSE);
}

}  // namespace

void SetButton(HEditInfo* info, WPARAM kind, const char* caption) {
  switch (kind) {
    case kNoButton:
      DestroyButton(info);
      break;
    case kPromptButton:
    case kSpinButton:
    case kSpinButtonVariant:
      // A different kind needs kind 0 first: the child there stays.
      if (!info->button) CreateButton(info, kind, caption);
      break;
    default:
      break;
  }
  if (info->destroyed) return;
  LayoutButton(info);
}

void LayoutButton(HEditInfo* info) {
  if (!info->button) return;
  // Asked of the window rather than the record: a host subclass may answer.
  const auto font = reinterpret_cast<HFONT>(SendMessageA(info->hwnd, WM_GETFONT, 0, 0));
  if (info->destroyed || !info->button) return;
  if (font) SendMessageA(info->button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (info->destroyed || !info->button) return;
  const int width = ButtonWidth(info->button, font, info->buttonCaption);
  RECT client{};
  GetClientRect(info->hwnd, &client);
  info->buttonLeft = client.right - width;
  info->buttonWidth = width;
  SetWindowPos(info->button, info->hwnd, info->buttonLeft, 0, width, client.bottom, SWP_NOZORDER);
}

void DestroyButton(HEditInfo* info) {
  HWND child = info->button;
  // Cleared first: destroying the child tells the control, which may ask again.
  info->button = nullptr;
  if (child) DestroyWindow(child);
}

void EnableButton(HEditInfo* info, WPARAM wParam, LPARAM lParam) {
  if (info->button) SendMessageA(info->button, WM_ENABLE, wParam, lParam);
}

bool IsOverButton(HEditInfo* info, LPARAM screenPoint) {
  if (!info->button) return false;
  POINT point{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  ScreenToClient(info->hwnd, &point);
  return point.x >= info->buttonLeft;
}

bool RouteSpinNotify(HEditInfo* info, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || !info->button || header->hwndFrom != info->button) return false;
  if (header->code != static_cast<UINT>(UDN_DELTAPOS)) return false;
  const auto* step = reinterpret_cast<const NMUPDOWN*>(lParam);
  // The record may be gone once the host has answered: only the answer is used.
  *result = SendMessageA(info->hwnd, HEM_SPINDELTA, header->idFrom,
                         MAKELONG(LOWORD(step->iPos), LOWORD(step->iDelta)));
  return true;
}

bool RouteButtonCommand(HEditInfo* info, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const WORD code = HIWORD(wParam);
  if (code == BN_SETFOCUS && lParam) {
    *result = 1;
    return true;
  }
  if (code != BN_CLICKED || !info->button || reinterpret_cast<HWND>(lParam) != info->button) {
    return false;
  }
  SendMessageA(info->hwnd, HEM_BUTTONCLICK, wParam, lParam);
  if (info->destroyed) {
    // Nothing is left for the default processing to act on.
    *result = 0;
    return true;
  }
  return false;
}

}  // namespace quillet
