// The in-place site: a control placed in a container window the host owns.
#include "tarvik/container/control_container.h"
#include "tarvik/container/control_site.h"
#include "tarvik/container/parent_wnd.h"

namespace tarvik {

using XIPSite = CQuorvanControlSite::XQuorvanIPSite;

HRESULT XIPSite::QueryInterface(REFIID iid, void** object) {
  return site_->QueryInterface(iid, object);
}
ULONG XIPSite::AddRef() { return site_->AddRef(); }
ULONG XIPSite::Release() { return site_->Release(); }

HRESULT XIPSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = site_->ContainerWindow();
  return *window ? S_OK : E_FAIL;
}

HRESULT XIPSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
HRESULT XIPSite::CanInPlaceActivate() { return S_OK; }
HRESULT XIPSite::OnInPlaceActivate() { return S_OK; }

HRESULT XIPSite::OnUIActivate() {
  if (auto* container = site_->Container()) container->OnUIActivate(site_);
  return S_OK;
}

HRESULT XIPSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (doc) *doc = nullptr;
  if (!frame) return E_POINTER;
  *frame = nullptr;
  auto* container = site_->Container();
  if (!container ||
      FAILED(container->QueryInterface(IID_IOleInPlaceFrame, reinterpret_cast<void**>(frame)))) {
    return E_FAIL;
  }
  const HWND window = site_->ContainerWindow();
  if (pos) *pos = site_->PositionRect();
  if (clip) {
    *clip = RECT{};
    if (window) GetClientRect(window, clip);
  }
  if (info) {
    info->fMDIApp = FALSE;
    info->hwndFrame = window;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

HRESULT XIPSite::Scroll(SIZE) { return S_FALSE; }

HRESULT XIPSite::OnUIDeactivate(BOOL) {
  if (auto* container = site_->Container()) container->OnUIDeactivate(site_);
  return S_OK;
}

HRESULT XIPSite::OnInPlaceDeactivate() {
  site_->DetachWindow();
  return S_OK;
}

HRESULT XIPSite::DiscardUndoState() { return S_OK; }

HRESULT XIPSite::DeactivateAndUndo() {
  if (auto* inPlace = site_->InPlaceObject()) inPlace->UIDeactivate();
  return S_OK;
}

HRESULT XIPSite::OnPosRectChange(LPCRECT rect) {
  if (!rect) return E_POINTER;
  // The site may be let go of by whatever the host does while its window moves.
  site_->AddRef();
  const HWND window = site_->ContainerWindow();
  if (SOCXParentWnd* parent = SOCXParentWnd::FromHandle(window)) {
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    MapWindowPoints(window, GetParent(window), corners, 2);
    const auto alive = parent->Liveness();
    parent->inSizeSync = 1;
    MoveWindow(window, corners[0].x, corners[0].y, corners[1].x - corners[0].x,
               corners[1].y - corners[0].y, TRUE);
    if (!alive.expired()) parent->inSizeSync = 0;
  }
  RECT clip = {};
  if (IsWindow(window)) GetClientRect(window, &clip);
  site_->rect_ = *rect;
  HRESULT status = E_UNEXPECTED;
  if (auto* inPlace = site_->InPlaceObject()) status = inPlace->SetObjectRects(rect, &clip);
  site_->Release();
  return status;
}

}  // namespace tarvik
