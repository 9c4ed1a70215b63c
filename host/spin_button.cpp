#include "host/spin_button.h"

#include <commctrl.h>
#include <windowsx.h>

#include <new>

#include "host/button_state.h"
#include "host/gdi_scope.h"

namespace quorvan::host {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;

enum class Half { kNone, kDown, kUp };

struct SpinState : ButtonStateBase {
  HFONT font = nullptr;
  bool enabled = true;
  bool syncingEnable = false;
  Half pressed = Half::kNone;
  // The pointer is over the pressed half: steps repeat only then.
  bool over = false;
  bool repeating = false;
  // Counts the steps the parent let through; reported as iPos.
  int position = 0;
};

void Halves(HWND window, RECT* down, RECT* up) {
  RECT client{};
  GetClientRect(window, &client);
  *down = *up = client;
  if (GetWindowLongA(window, GWL_STYLE) & kSpinHorizontal) {
    const int middle = (client.left + client.right) / 2;
    down->right = middle;
    up->left = middle;
  } else {
    const int middle = (client.top + client.bottom) / 2;
    up->bottom = middle;
    down->top = middle;
  }
}

Half HalfAt(HWND window, POINT point) {
  RECT down{}, up{};
  Halves(window, &down, &up);
  if (PtInRect(&up, point)) return Half::kUp;
  if (PtInRect(&down, point)) return Half::kDown;
  return Half::kNone;
}

// False when the parent destroyed the button while hearing of the step.
bool Step(HWND window, SpinState* state) {
  NMUPDOWN step{};
  step.hdr.hwndFrom = window;
  step.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
  step.hdr.code = static_cast<UINT>(UDN_DELTAPOS);
  step.iPos = state->position;
  step.iDelta = state->pressed == Half::kUp ? 1 : -1;
  LRESULT refused = 0;
  if (!ReportToParent(window, state, WM_NOTIFY, step.hdr.idFrom, reinterpret_cast<LPARAM>(&step),
                      &refused)) {
    return false;
  }
  // As with the system's up-down control, a non-zero answer refuses the step and
  // the parent may have changed the delta.
  if (!refused) state->position += step.iDelta;
  return true;
}

void EndPress(HWND window, SpinState* state, bool releaseCapture) {
  if (state->pressed == Half::kNone) return;
  state->pressed = Half::kNone;
  state->over = false;
  KillTimer(window, kRepeatTimer);
  InvalidateRect(window, nullptr, FALSE);
  if (releaseCapture && GetCapture() == window) ReleaseCapture();
}

void Press(HWND window, SpinState* state, POINT point) {
  if (!state->enabled || state->pressed != Half::kNone) return;
  const Half half = HalfAt(window, point);
  if (half == Half::kNone) return;
  SetCapture(window);
  state->pressed = half;
  state->over = true;
  state->repeating = false;
  SetTimer(window, kRepeatTimer, kSpinFirstRepeatMs, nullptr);
  InvalidateRect(window, nullptr, FALSE);
  Step(window, state);
}

void Repeat(HWND window, SpinState* state) {
  if (state->pressed == Half::kNone) {
    KillTimer(window, kRepeatTimer);
    return;
  }
  if (!state->repeating) {
    state->repeating = true;
    SetTimer(window, kRepeatTimer, kSpinRepeatMs, nullptr);
  }
  if (state->over && state->enabled) Step(window, state);
}

void Paint(HWND window, const SpinState* state) {
  PaintScope paint(window);
  const bool horizontal = (GetWindowLongA(window, GWL_STYLE) & kSpinHorizontal) != 0;
  RECT down{}, up{};
  Halves(window, &down, &up);
  const UINT inactive = state->enabled ? 0 : DFCS_INACTIVE;
  const auto pushed = [state](Half half) {
    return state->pressed == half && state->over ? DFCS_PUSHED : 0u;
  };
  DrawFrameControl(paint.dc(), &up, DFC_SCROLL,
                   (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLUP) | inactive | pushed(Half::kUp));
  DrawFrameControl(
      paint.dc(), &down, DFC_SCROLL,
      (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLDOWN) | inactive | pushed(Half::kDown));
}

LRESULT CALLBACK SpinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* state = new (std::nothrow) SpinState;
    if (!state) return FALSE;
    state->enabled = (reinterpret_cast<const CREATESTRUCTA*>(lParam)->style & WS_DISABLED) == 0;
    AttachButtonState(window, state);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  SpinState* state = ButtonStateOf<SpinState>(window);
  if (!state) return DefWindowProcA(window, message, wParam, lParam);
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_NCDESTROY:
      ReleaseButtonState(window, state);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      Press(window, state, point);
      return 0;
    case WM_MOUSEMOVE:
      if (state->pressed != Half::kNone) {
        const bool over = HalfAt(window, point) == state->pressed;
        if (over != state->over) {
          state->over = over;
          InvalidateRect(window, nullptr, FALSE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      EndPress(window, state, true);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) EndPress(window, state, false);
      return 0;
    case WM_CANCELMODE:
      EndPress(window, state, true);
      break;
    case WM_TIMER:
      if (wParam == kRepeatTimer) {
        Repeat(window, state);
        return 0;
      }
      break;
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

bool RegisterSpinButtonClass(HINSTANCE instance) {
  WNDCLASSA type{};
  type.style = CS_HREDRAW | CS_VREDRAW;
  type.lpfnWndProc = SpinProc;
  type.cbWndExtra = sizeof(void*);
  type.hInstance = instance;
  type.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  type.lpszClassName = kSpinButtonClass;
  return RegisterClassA(&type) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void UnregisterSpinButtonClass(HINSTANCE instance) { UnregisterClassA(kSpinButtonClass, instance); }

}  // namespace quorvan::host
