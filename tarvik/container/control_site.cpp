#include "tarvik/container/control_site.h"

#include <utility>

#include "tarvik/container/control_container.h"
#include "tarvik/container/control_wnd.h"
#include "tarvik/frame/deferred_release.h"

namespace tarvik {
namespace {

template <class Interface>
void LetGo(Interface*& pointer) {
  // A control may be torn down from inside one of its own calls (an event the
  // host answers by destroying the client): its last reference waits for that
  // call to end.
  if (Interface* old = std::exchange(pointer, nullptr)) ReleaseWhenIdle(old);
}

int PixelsPerInch(bool vertical) {
  HDC screen = GetDC(nullptr);
  const int perInch = GetDeviceCaps(screen, vertical ? LOGPIXELSY : LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return perInch > 0 ? perInch : 96;
}

SIZEL HimetricFromPixels(int cx, int cy) {
  return SIZEL{MulDiv(cx, 2540, PixelsPerInch(false)), MulDiv(cy, 2540, PixelsPerInch(true))};
}

SIZE PixelsFromHimetric(const SIZEL& size) {
  return SIZE{MulDiv(size.cx, PixelsPerInch(false), 2540),
              MulDiv(size.cy, PixelsPerInch(true), 2540)};
}

}  // namespace

CQuorvanControlSite::CQuorvanControlSite(CQuorvanControlContainer* container)
    : container_(container),
      xQuorvanIPSite(this),
      xQuorvanControlSite(this),
      xAmbientProps(this),
      xPropertyNotifySink(this),
      xEventSink(this) {
  if (container_) container_->AddRef();
}

CQuorvanControlSite::~CQuorvanControlSite() {
  DestroyControl();
  if (container_) container_->Release();
}

HRESULT CQuorvanControlSite::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  IUnknown* answer = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    answer = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleInPlaceSite || iid == IID_IOleWindow) {
    answer = &xQuorvanIPSite;
  } else if (iid == IID_IOleControlSite) {
    answer = &xQuorvanControlSite;
  } else if (iid == IID_IDispatch) {
    answer = &xAmbientProps;
  } else if (iid == IID_IPropertyNotifySink) {
    answer = &xPropertyNotifySink;
  }
  *object = answer;
  if (!answer) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG CQuorvanControlSite::AddRef() { return InterlockedIncrement(&references_); }

ULONG CQuorvanControlSite::Release() {
  const ULONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return left;
}

HRESULT CQuorvanControlSite::SaveObject() { return E_NOTIMPL; }
HRESULT CQuorvanControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT CQuorvanControlSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}
HRESULT CQuorvanControlSite::ShowObject() { return S_OK; }
HRESULT CQuorvanControlSite::OnShowWindow(BOOL) { return S_OK; }
HRESULT CQuorvanControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

HWND CQuorvanControlSite::ContainerWindow() const {
  return container_ ? container_->Window() : nullptr;
}

HRESULT CQuorvanControlSite::InitialiseState(IStorage* saved) {
  if (saved) {
    IPersistStorage* persist = nullptr;
    if (SUCCEEDED(
            object_->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist)))) {
      const HRESULT loaded = persist->Load(saved);
      persist->Release();
      if (SUCCEEDED(loaded)) {
        // The control may read from its storage for as long as it lives.
        saved->AddRef();
        storage_ = saved;
        return loaded;
      }
    }
    // State that cannot be read leaves the control with its defaults.
  }
  IPersistStreamInit* streamInit = nullptr;
  if (SUCCEEDED(
          object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&streamInit)))) {
    const HRESULT status = streamInit->InitNew();
    streamInit->Release();
    return status;
  }
  IPersistStorage* persist = nullptr;
  if (SUCCEEDED(object_->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist)))) {
    ILockBytes* bytes = nullptr;
    HRESULT status = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
    if (SUCCEEDED(status)) {
      status = StgCreateDocfileOnILockBytes(
          bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage_);
      bytes->Release();
    }
    if (SUCCEEDED(status)) status = persist->InitNew(storage_);
    persist->Release();
    return status;
  }
  // A control with no persistence interface needs no initialisation.
  return S_OK;
}

HRESULT CQuorvanControlSite::CreateOrLoad(const ControlCreation& creation, SOCXWnd* wndCtrl) {
  if (object_) return E_UNEXPECTED;
  wndCtrl_ = wndCtrl;
  rect_ = creation.rect;
  HRESULT status = E_FAIL;
  if (creation.licenceKey) {
    IClassFactory2* licensed = nullptr;
    status = CoGetClassObject(creation.clsid, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, nullptr,
                              IID_IClassFactory2, reinterpret_cast<void**>(&licensed));
    if (SUCCEEDED(status)) {
      status = licensed->CreateInstanceLic(nullptr, nullptr, IID_IOleObject, creation.licenceKey,
                                           reinterpret_cast<void**>(&object_));
      licensed->Release();
    } else {
      // A class without licensing has no use for a key.
      status = CoCreateInstance(creation.clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IOleObject, reinterpret_cast<void**>(&object_));
    }
  } else {
    status = CoCreateInstance(creation.clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IOleObject, reinterpret_cast<void**>(&object_));
  }
  if (FAILED(status) || !object_) {
    object_ = nullptr;
    return FAILED(status) ? status : E_FAIL;
  }

  object_->GetMiscStatus(DVASPECT_CONTENT, &miscStatus_);
  const bool siteFirst = (miscStatus_ & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (siteFirst) object_->SetClientSite(this);
  status = InitialiseState(creation.storage);
  if (SUCCEEDED(status) && !siteFirst) status = object_->SetClientSite(this);
  if (FAILED(status)) {
    DestroyControl();
    return status;
  }
  object_->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&oleControl_));
  // Held from the start: the control may ask for a new rectangle while it activates.
  object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlaceObject_));
  GetControlInfo();
  ConnectSinks();

  const SIZE pixels{rect_.right - rect_.left, rect_.bottom - rect_.top};
  SIZEL extent = HimetricFromPixels(pixels.cx, pixels.cy);
  object_->SetExtent(DVASPECT_CONTENT, &extent);

  HWND container = ContainerWindow();
  RECT position = rect_;
  status = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, container, &position);
  if (FAILED(status) || !object_) {
    DestroyControl();
    return FAILED(status) ? status : E_FAIL;
  }
  if (creation.style & WS_VISIBLE) {
    position = rect_;
    object_->DoVerb(OLEIVERB_SHOW, nullptr, this, 0, container, &position);
  }
  if (!object_) return E_FAIL;
  if (!inPlaceObject_) {
    object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlaceObject_));
  }
  AttachWindow();
  if (hwndCtrl_) {
    // The window takes the style bits a container decides on; the rest are the
    // control's own.
    constexpr DWORD kContainerBits = WS_TABSTOP | WS_GROUP;
    LONG_PTR style = GetWindowLongPtrA(hwndCtrl_, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(kContainerBits)) | (creation.style & kContainerBits);
    SetWindowLongPtrA(hwndCtrl_, GWL_STYLE, style);
    SetWindowLongPtrA(hwndCtrl_, GWLP_ID, static_cast<LONG_PTR>(creation.id));
    if (creation.style & WS_DISABLED) EnableWindow(hwndCtrl_, FALSE);
  }
  if (creation.caption) {
    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
      VARIANT text;
      VariantInit(&text);
      V_VT(&text) = VT_BSTR;
      V_BSTR(&text) = SysAllocString(creation.caption);
      DISPID named = DISPID_PROPERTYPUT;
      DISPPARAMS params = {&text, &named, 1, 1};
      // A control shows its caption, or failing that its text.
      if (FAILED(dispatch->Invoke(DISPID_CAPTION, IID_NULL, LOCALE_USER_DEFAULT,
                                  DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr))) {
        dispatch->Invoke(DISPID_TEXT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                         nullptr, nullptr, nullptr);
      }
      VariantClear(&text);
      dispatch->Release();
    }
  }
  return S_OK;
}

void CQuorvanControlSite::AttachWindow() {
  HWND window = nullptr;
  if (inPlaceObject_) inPlaceObject_->GetWindow(&window);
  if (!window || window == hwndCtrl_) return;
  DetachWindow();
  hwndCtrl_ = window;
  if (wndCtrl_) wndCtrl_->AttachControlWindow(window);
}

void CQuorvanControlSite::DetachWindow() {
  if (wndCtrl_ && hwndCtrl_) wndCtrl_->DetachControlWindow();
  hwndCtrl_ = nullptr;
}

void CQuorvanControlSite::DestroyControl() {
  // Held for the teardown: the control lets go of its references to the site.
  AddRef();
  if (object_) {
    if (inPlaceObject_) inPlaceObject_->InPlaceDeactivate();
    if (object_) object_->Close(OLECLOSE_NOSAVE);
    if (object_) object_->SetClientSite(nullptr);
  }
  DisconnectSinks();
  DetachWindow();
  LetGo(oleControl_);
  LetGo(inPlaceObject_);
  LetGo(object_);
  LetGo(storage_);
  // The mnemonic table belonged to the control.
  ctlInfo_ = CONTROLINFO{};
  wndCtrl_ = nullptr;
  // Not through Release: the destructor itself calls this.
  InterlockedDecrement(&references_);
}

void CQuorvanControlSite::GetControlInfo() {
  ctlInfo_ = CONTROLINFO{};
  ctlInfo_.cb = sizeof ctlInfo_;
  if (!oleControl_ || FAILED(oleControl_->GetControlInfo(&ctlInfo_))) {
    ctlInfo_ = CONTROLINFO{};
  }
}

bool CQuorvanControlSite::IsMatchingMnemonic(MSG* message) {
  if (!ctlInfo_.hAccel || ctlInfo_.cAccel == 0) return false;
  return IsAccelerator(ctlInfo_.hAccel, ctlInfo_.cAccel, message, nullptr) != FALSE;
}

void CQuorvanControlSite::SendMnemonic(MSG* message) {
  if (!(miscStatus_ & OLEMISC_NOUIACTIVATE)) SetFocus();
  if (oleControl_) oleControl_->OnMnemonic(message);
}

void CQuorvanControlSite::SetFocus() {
  if (!object_) return;
  if ((miscStatus_ & OLEMISC_NOUIACTIVATE) && hwndCtrl_) {
    ::SetFocus(hwndCtrl_);
    return;
  }
  RECT position = rect_;
  object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, ContainerWindow(), &position);
}

void CQuorvanControlSite::SetControlSize(int cx, int cy) {
  if (!object_) return;
  RECT wanted{rect_.left, rect_.top, rect_.left + cx, rect_.top + cy};
  SIZEL extent = HimetricFromPixels(cx, cy);
  object_->SetExtent(DVASPECT_CONTENT, &extent);
  // The control may keep a size of its own: it is placed at the size it took.
  if (object_ && SUCCEEDED(object_->GetExtent(DVASPECT_CONTENT, &extent))) {
    const SIZE taken = PixelsFromHimetric(extent);
    wanted.right = wanted.left + taken.cx;
    wanted.bottom = wanted.top + taken.cy;
  }
  rect_ = wanted;
  if (inPlaceObject_) inPlaceObject_->SetObjectRects(&wanted, &wanted);
}

void CQuorvanControlSite::UIDeactivateControl() {
  if (inPlaceObject_) inPlaceObject_->UIDeactivate();
}

}  // namespace tarvik
