// The control site proper: focus reports to the host, coordinate transforms and
// the requests the library refuses.
#include "tarvik/container/control_site.h"
#include "tarvik/container/control_wnd.h"
#include "tarvik/container/ocx_control.h"
#include "tarvik/container/parent_wnd.h"
#include "tarvik/frame/tarvik_app.h"

namespace tarvik {

int g_inFocusNotify = 0;

using XControlSite = CQuorvanControlSite::XQuorvanControlSite;

HRESULT XControlSite::QueryInterface(REFIID iid, void** object) {
  return site_->QueryInterface(iid, object);
}
ULONG XControlSite::AddRef() { return site_->AddRef(); }
ULONG XControlSite::Release() { return site_->Release(); }

HRESULT XControlSite::OnControlInfoChanged() {
  site_->GetControlInfo();
  return S_OK;
}

HRESULT XControlSite::LockInPlaceActive(BOOL) { return E_NOTIMPL; }

HRESULT XControlSite::GetExtendedControl(IDispatch** control) {
  if (control) *control = nullptr;
  return E_NOTIMPL;
}

HRESULT XControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
  if (!himetric || !container) return E_POINTER;
  HWND window = site_->ControlWindow();
  HDC dc = GetDC(window);
  if (!dc) return E_FAIL;
  SetMapMode(dc, MM_HIMETRIC);
  POINT p0 = {0, 0};
  HRESULT status = S_OK;
  if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
    POINT p1 = {himetric->x, himetric->y};
    LPtoDP(dc, &p0, 1);
    LPtoDP(dc, &p1, 1);
    if (flags & XFORMCOORDS_SIZE) {
      container->x = static_cast<float>(p1.x - p0.x);
      container->y = static_cast<float>(p0.y - p1.y);
    } else if (flags & XFORMCOORDS_POSITION) {
      container->x = static_cast<float>(p1.x);
      container->y = static_cast<float>(p1.y);
    } else {
      status = E_INVALIDARG;
    }
  } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
    POINT p1 = {static_cast<LONG>(container->x), static_cast<LONG>(container->y)};
    DPtoLP(dc, &p0, 1);
    DPtoLP(dc, &p1, 1);
    if (flags & XFORMCOORDS_SIZE) {
      himetric->x = p1.x - p0.x;
      himetric->y = p0.y - p1.y;
    } else if (flags & XFORMCOORDS_POSITION) {
      himetric->x = p1.x;
      himetric->y = p1.y;
    } else {
      status = E_INVALIDARG;
    }
  } else {
    status = E_INVALIDARG;
  }
  ReleaseDC(window, dc);
  return status;
}

HRESULT XControlSite::TranslateAccelerator(MSG*, DWORD) { return E_NOTIMPL; }

HRESULT XControlSite::OnFocus(BOOL gotFocus) {
  // A focus change the host makes while it handles a report is not reported again.
  if (g_inFocusNotify) return S_OK;
  const HWND window = site_->ContainerWindow();
  if (SOCXParentWnd* parent = SOCXParentWnd::FromHandle(window)) {
    if (gotFocus) g_inFocusNotify = 1;
    SOCXWnd* controlWnd = parent->controlWnd;
    if (controlWnd && controlWnd->owner && controlWnd->owner->created) {
      SendMessageA(window, g_msgOcxNotifyEvent, 1, gotFocus);
    }
  }
  g_inFocusNotify = 0;
  return S_OK;
}

HRESULT XControlSite::ShowPropertyFrame() { return E_NOTIMPL; }

}  // namespace tarvik
