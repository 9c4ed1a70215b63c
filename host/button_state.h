// What the host's button classes keep per window, in the first window extra
// bytes. A button's report to its parent may end with the button destroyed (the
// host tears the whole field down from its handler); the state then outlives the
// window until the report returns, and the button stops there.
#pragma once

#include <windows.h>

namespace quorvan::host {

struct ButtonStateBase {
  int reporting = 0;
  bool gone = false;
};

template <class State>
State* ButtonStateOf(HWND window) {
  return reinterpret_cast<State*>(GetWindowLongPtrA(window, 0));
}

template <class State>
void AttachButtonState(HWND window, State* state) {
  SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(state));
}

// At WM_NCDESTROY.
template <class State>
void ReleaseButtonState(HWND window, State* state) {
  SetWindowLongPtrA(window, 0, 0);
  if (!state) return;
  if (state->reporting > 0) {
    state->gone = true;
  } else {
    delete state;
  }
}

// Sends a report to the parent. False when the button did not survive it: the
// caller must then leave both the window and the state alone.
template <class State>
bool ReportToParent(HWND window, State* state, UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT* answer = nullptr) {
  ++state->reporting;
  const LRESULT result = SendMessageA(GetParent(window), message, wParam, lParam);
  --state->reporting;
  if (state->gone) {
    if (state->reporting == 0) delete state;
    return false;
  }
  if (answer) *answer = result;
  return true;
}

// A disabled parent forwards its WM_ENABLE; the button's own style follows, so that
// the system stops routing the mouse to it as well.
inline void FollowEnable(HWND window, bool enabled, bool* syncing) {
  if (*syncing || (IsWindowEnabled(window) != FALSE) == enabled) return;
  *syncing = true;
  EnableWindow(window, enabled ? TRUE : FALSE);
  *syncing = false;
}

}  // namespace quorvan::host
