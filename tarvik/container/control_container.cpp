#include "tarvik/container/control_container.h"

#include "tarvik/container/control_site.h"

namespace tarvik {

CQuorvanControlContainer::CQuorvanControlContainer(HWND window) : window_(window) {}

CQuorvanControlContainer::~CQuorvanControlContainer() {
  if (activeObject_) activeObject_->Release();
}

void CQuorvanControlContainer::OnUIActivate(CQuorvanControlSite* site) {
  // One control of a container is UI-active at a time: the one active before
  // is told to step down.
  if (uiActive_ && uiActive_ != site) uiActive_->UIDeactivateControl();
  uiActive_ = site;
}

void CQuorvanControlContainer::OnUIDeactivate(CQuorvanControlSite* site) {
  if (uiActive_ == site) uiActive_ = nullptr;
}

HRESULT CQuorvanControlContainer::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow ||
      iid == IID_IOleInPlaceFrame) {
    *object = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CQuorvanControlContainer::AddRef() { return InterlockedIncrement(&references_); }

ULONG CQuorvanControlContainer::Release() {
  const ULONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return left;
}

HRESULT CQuorvanControlContainer::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return window_ ? S_OK : E_FAIL;
}

HRESULT CQuorvanControlContainer::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// The container window is the host's: there is no room for tools of a control.
HRESULT CQuorvanControlContainer::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
HRESULT CQuorvanControlContainer::RequestBorderSpace(LPCBORDERWIDTHS) {
  return INPLACE_E_NOTOOLSPACE;
}
HRESULT CQuorvanControlContainer::SetBorderSpace(LPCBORDERWIDTHS widths) {
  return widths ? INPLACE_E_NOTOOLSPACE : S_OK;
}

HRESULT CQuorvanControlContainer::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  if (object) object->AddRef();
  if (activeObject_) activeObject_->Release();
  activeObject_ = object;
  return S_OK;
}

// The host owns the menus; a control merges none into them.
HRESULT CQuorvanControlContainer::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
HRESULT CQuorvanControlContainer::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
HRESULT CQuorvanControlContainer::RemoveMenus(HMENU) { return E_NOTIMPL; }
HRESULT CQuorvanControlContainer::SetStatusText(LPCOLESTR) { return S_OK; }
HRESULT CQuorvanControlContainer::EnableModeless(BOOL) { return S_OK; }
HRESULT CQuorvanControlContainer::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

}  // namespace tarvik
