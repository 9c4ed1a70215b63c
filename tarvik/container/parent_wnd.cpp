#include "tarvik/container/parent_wnd.h"

#include <olectl.h>

#include "tarvik/container/control_container.h"
#include "tarvik/container/control_site.h"
#include "tarvik/container/control_wnd.h"
#include "tarvik/container/occ_manager.h"
#include "tarvik/container/ocx_control.h"

namespace tarvik {
namespace {

SIZE OuterSize(HWND window) {
  RECT outer = {};
  GetWindowRect(window, &outer);
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

}  // namespace

SOCXParentWnd::SOCXParentWnd(HWND hostWnd, SOCXWnd* controlWndArg) : controlWnd(controlWndArg) {
  Subclass(hostWnd);
  inSizeSync = 0;
}

SOCXParentWnd::~SOCXParentWnd() {
  if (container_) {
    container_->ClearWindow();
    container_->Release();
  }
  // The host window stays; it only gets its own procedure back.
  Unsubclass();
}

SOCXParentWnd* SOCXParentWnd::FromHandle(HWND window) {
  if (!window) return nullptr;
  return dynamic_cast<SOCXParentWnd*>(WindowSubclass::FromHandle(window));
}

CQuorvanControlContainer* SOCXParentWnd::Container() {
  if (!container_ && Handle()) {
    if (CQuorvanOccManager* manager = ControlContainerManager()) {
      container_ = manager->CreateContainer(Handle());
    }
  }
  return container_;
}

bool SOCXParentWnd::OnAmbientProperty(CQuorvanControlSite*, DISPID dispid, VARIANT* value) {
  switch (dispid) {
    case DISPID_AMBIENT_AUTOCLIP:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
      V_VT(value) = VT_BOOL;
      V_BOOL(value) = VARIANT_TRUE;
      return true;
    case DISPID_AMBIENT_USERMODE: {
      const bool design = controlWnd && controlWnd->owner && controlWnd->owner->designMode;
      V_VT(value) = VT_BOOL;
      V_BOOL(value) = design ? VARIANT_FALSE : VARIANT_TRUE;
      return true;
    }
    default:
      return false;
  }
}

LRESULT SOCXParentWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      return OnSetFocus(wParam, lParam);
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSDEADCHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return OnKey(message, wParam, lParam);
    case WM_SIZE:
      return OnSize(wParam, lParam);
    case WM_PAINT:
      return OnPaint(wParam, lParam);
    default:
      return Default(message, wParam, lParam);
  }
}

// After each call out of the library (to the host's procedure, to the control)
// the wrapper may be gone: the host can destroy the client on any message.
LRESULT SOCXParentWnd::OnSetFocus(WPARAM wParam, LPARAM lParam) {
  const auto alive = Liveness();
  const LRESULT result = Default(WM_SETFOCUS, wParam, lParam);
  if (alive.expired()) return result;
  if (controlWnd && controlWnd->owner && controlWnd->owner->created) {
    if (CQuorvanControlSite* site = controlWnd->Site()) {
      site->AddRef();
      site->SetFocus();
      site->Release();
    }
  }
  return result;
}

LRESULT SOCXParentWnd::OnKey(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto alive = Liveness();
  if (controlWnd && controlWnd->Handle())
    SendMessageA(controlWnd->Handle(), message, wParam, lParam);
  if (alive.expired()) return 0;
  return Default(message, wParam, lParam);
}

LRESULT SOCXParentWnd::OnSize(WPARAM wParam, LPARAM lParam) {
  const auto alive = Liveness();
  const LRESULT result = Default(WM_SIZE, wParam, lParam);
  if (alive.expired()) return result;
  const int cx = LOWORD(lParam);
  const int cy = HIWORD(lParam);
  if (!inSizeSync && controlWnd && IsWindow(controlWnd->Handle())) {
    controlWnd->SetControlSize(cx, cy);
    if (alive.expired()) return result;
    inSizeSync = 1;
    if (controlWnd && IsWindow(controlWnd->Handle())) {
      const SIZE control = OuterSize(controlWnd->Handle());
      if (control.cx != cx || control.cy != cy) {
        SetWindowPos(Handle(), nullptr, 0, 0, control.cx, control.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (alive.expired()) return result;
      }
    }
  }
  inSizeSync = 0;
  return result;
}

LRESULT SOCXParentWnd::OnPaint(WPARAM wParam, LPARAM lParam) {
  const auto alive = Liveness();
  const LRESULT result = Default(WM_PAINT, wParam, lParam);
  if (alive.expired()) return result;
  if (controlWnd && controlWnd->owner && controlWnd->owner->designMode && Handle()) {
    RECT client = {};
    GetClientRect(Handle(), &client);
    HWND window = Handle();
    if (HDC dc = GetDC(window)) {
      controlWnd->DrawDesignImage(dc, client);
      ReleaseDC(window, dc);
    }
  }
  return result;
}

}  // namespace tarvik
