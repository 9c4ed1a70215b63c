#include "host/prompt_button.h"

#include <windowsx.h>

#include <new>
#include <string>

#include "host/button_state.h"
#include "host/gdi_scope.h"

namespace quorvan::host {
namespace {

struct PromptState : ButtonStateBase {
  HFONT font = nullptr;
  HBITMAP image = nullptr;  // the caller's; never deleted here
  bool enabled = true;
  bool syncingEnable = false;
  bool pressed = false;
  bool over = false;
};

bool Inside(HWND window, POINT point) {
  RECT client{};
  GetClientRect(window, &client);
  return PtInRect(&client, point) != FALSE;
}

// False when the parent destroyed the button while hearing of it.
bool Notify(HWND window, PromptState* state, WORD code) {
  const WORD id = static_cast<WORD>(GetDlgCtrlID(window));
  return ReportToParent(window, state, WM_COMMAND, MAKEWPARAM(id, code),
                        reinterpret_cast<LPARAM>(window));
}

void EndPress(HWND window, PromptState* state, bool releaseCapture) {
  if (!state->pressed) return;
  state->pressed = false;
  state->over = false;
  InvalidateRect(window, nullptr, FALSE);
  if (releaseCapture && GetCapture() == window) ReleaseCapture();
}

void Release(HWND window, PromptState* state) {
  if (!state->pressed) return;
  const bool clicked = state->over && state->enabled;
  EndPress(window, state, true);
  if (clicked) Notify(window, state, BN_CLICKED);
}

void PaintContent(HWND window, const PromptState* state, HDC dc, RECT area) {
  if (state->image) {
    BITMAP bitmap{};
    if (!GetObjectA(state->image, sizeof bitmap, &bitmap)) return;
    const int x = area.left + (area.right - area.left - bitmap.bmWidth) / 2;
    const int y = area.top + (area.bottom - area.top - bitmap.bmHeight) / 2;
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(state->image), 0, x, y,
               bitmap.bmWidth, bitmap.bmHeight,
               DST_BITMAP | (state->enabled ? DSS_NORMAL : DSS_DISABLED));
    return;
  }
  std::string caption(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  caption.resize(static_cast<size_t>(
      GetWindowTextA(window, caption.data(), static_cast<int>(caption.size()))));
  SelectScope font(dc, state->font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(state->enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void Paint(HWND window, const PromptState* state) {
  PaintScope paint(window);
  RECT client{};
  GetClientRect(window, &client);
  const bool pushed = state->pressed && state->over;
  RECT frame = client;
  DrawFrameControl(
      paint.dc(), &frame, DFC_BUTTON,
      DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0u) | (state->enabled ? 0u : DFCS_INACTIVE));
  RECT content = client;
  InflateRect(&content, -2, -2);
  if (pushed) OffsetRect(&content, 1, 1);
  PaintContent(window, state, paint.dc(), content);
  if (GetFocus() == window) DrawFocusRect(paint.dc(), &content);
}

LRESULT CALLBACK PromptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* state = new (std::nothrow) PromptState;
    if (!state) return FALSE;
    state->enabled = (reinterpret_cast<const CREATESTRUCTA*>(lParam)->style & WS_DISABLED) == 0;
    AttachButtonState(window, state);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  PromptState* state = ButtonStateOf<PromptState>(window);
  if (!state) return DefWindowProcA(window, message, wParam, lParam);
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_NCDESTROY:
      ReleaseButtonState(window, state);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The field keeps the focus: a prompt is a tool for the field, not a stop.
      if (!state->enabled) return 0;
      SetCapture(window);
      state->pressed = true;
      state->over = true;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE:
      if (state->pressed && Inside(window, point) != state->over) {
        state->over = !state->over;
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      Release(window, state);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) EndPress(window, state, false);
      return 0;
    case WM_CANCELMODE:
      EndPress(window, state, true);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(window, nullptr, FALSE);
      // BS_NOTIFY, as the system's buttons have it.
      if (GetWindowLongA(window, GWL_STYLE) & BS_NOTIFY) {
        Notify(window, state, message == WM_SETFOCUS ? BN_SETFOCUS : BN_KILLFOCUS);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && state->enabled) {
        Notify(window, state, BN_CLICKED);
        return 0;
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_BUTTON;
    case WM_ENABLE:
      state->enabled = wParam != 0;
      if (!state->enabled) EndPress(window, state, true);
      FollowEnable(window, state->enabled, &state->syncingEnable);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_SETFONT:
      state->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state->font);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, FALSE);
      return result;
    }
    case BM_SETIMAGE: {
      if (wParam != IMAGE_BITMAP) return 0;
      HBITMAP previous = state->image;
      state->image = reinterpret_cast<HBITMAP>(lParam);
      InvalidateRect(window, nullptr, FALSE);
      return reinterpret_cast<LRESULT>(previous);
    }
    case BM_GETIMAGE:
      return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(state->image) : 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(window, state);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterPromptButtonClass(HINSTANCE instance) {
  WNDCLASSA type{};
  type.style = CS_HREDRAW | CS_VREDRAW;
  type.lpfnWndProc = PromptProc;
  type.cbWndExtra = sizeof(void*);
  type.hInstance = instance;
  type.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  type.lpszClassName = kPromptButtonClass;
  return RegisterClassA(&type) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void UnregisterPromptButtonClass(HINSTANCE instance) {
  UnregisterClassA(kPromptButtonClass, instance);
}

}  // namespace quorvan::host
