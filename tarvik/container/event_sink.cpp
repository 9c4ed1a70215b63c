// The control's outgoing connections: its events on the default source
// interface and its property notifications, both handed to the control-window
// wrapper as they arrive.
#include "tarvik/container/control_site.h"
#include "tarvik/container/control_wnd.h"
#include "tarvik/frame/deferred_release.h"

namespace tarvik {
namespace {

// The coclass's [default, source] interface, from its type information.
bool DefaultSourceFromClassInfo(IUnknown* object, IID* iid) {
  IProvideClassInfo* provider = nullptr;
  if (FAILED(object->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&provider)))) {
    return false;
  }
  ITypeInfo* coclass = nullptr;
  bool found = false;
  if (SUCCEEDED(provider->GetClassInfo(&coclass)) && coclass) {
    TYPEATTR* attributes = nullptr;
    if (SUCCEEDED(coclass->GetTypeAttr(&attributes))) {
      for (UINT i = 0; i < attributes->cImplTypes && !found; ++i) {
        INT implFlags = 0;
        if (FAILED(coclass->GetImplTypeFlags(i, &implFlags))) continue;
        constexpr INT kWanted = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
        if ((implFlags & kWanted) != kWanted) continue;
        HREFTYPE reference = 0;
        ITypeInfo* source = nullptr;
        if (SUCCEEDED(coclass->GetRefTypeOfImplType(i, &reference)) &&
            SUCCEEDED(coclass->GetRefTypeInfo(reference, &source)) && source) {
          TYPEATTR* sourceAttributes = nullptr;
          if (SUCCEEDED(source->GetTypeAttr(&sourceAttributes))) {
            *iid = sourceAttributes->guid;
            found = true;
            source->ReleaseTypeAttr(sourceAttributes);
          }
          source->Release();
        }
      }
      coclass->ReleaseTypeAttr(attributes);
    }
    coclass->Release();
  }
  provider->Release();
  return found;
}

bool DefaultSource(IUnknown* object, IID* iid) {
  IProvideClassInfo2* provider = nullptr;
  if (SUCCEEDED(
          object->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&provider)))) {
    const HRESULT status = provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, iid);
    provider->Release();
    if (SUCCEEDED(status) && *iid != GUID_NULL) return true;
  }
  return DefaultSourceFromClassInfo(object, iid);
}

bool Connect(IUnknown* object, REFIID iid, IUnknown* sink, IConnectionPoint** point,
             DWORD* cookie) {
  IConnectionPointContainer* points = nullptr;
  if (FAILED(object->QueryInterface(IID_IConnectionPointContainer,
                                    reinterpret_cast<void**>(&points)))) {
    return false;
  }
  bool connected = false;
  if (SUCCEEDED(points->FindConnectionPoint(iid, point)) && *point) {
    if (SUCCEEDED((*point)->Advise(sink, cookie))) {
      connected = true;
    } else {
      (*point)->Release();
      *point = nullptr;
    }
  }
  points->Release();
  return connected;
}

void Disconnect(IConnectionPoint*& point, DWORD& cookie) {
  if (!point) return;
  point->Unadvise(cookie);
  ReleaseWhenIdle(point);
  point = nullptr;
  cookie = 0;
}

}  // namespace

void CQuorvanControlSite::ConnectSinks() {
  if (!object_) return;
  if (DefaultSource(object_, &eventIid_)) {
    Connect(object_, eventIid_, &xEventSink, &eventPoint_, &eventCookie_);
  }
  Connect(object_, IID_IPropertyNotifySink, &xPropertyNotifySink, &notifyPoint_, &notifyCookie_);
}

void CQuorvanControlSite::DisconnectSinks() {
  Disconnect(eventPoint_, eventCookie_);
  Disconnect(notifyPoint_, notifyCookie_);
}

void CQuorvanControlSite::RouteToWindow(ControlEvent::Kind kind, DISPID dispid,
                                        DISPPARAMS* params) {
  if (!wndCtrl_) return;
  // The host may destroy the client, and so this site's control, while it
  // handles the event: the site and the control's pointers outlive the call.
  AddRef();
  {
    ServerCallScope call;
    ControlEvent record{kind, dispid, params};
    wndCtrl_->OnCmdMsg(0, CN_EVENT, &record);
  }
  Release();
}

using XEvents = CQuorvanControlSite::XEventSink;

HRESULT XEvents::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch ||
      (iid == site_->eventIid_ && iid != GUID_NULL)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}
ULONG XEvents::AddRef() { return site_->AddRef(); }
ULONG XEvents::Release() { return site_->Release(); }

HRESULT XEvents::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT XEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT XEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* dispids) {
  for (UINT i = 0; dispids && i < count; ++i) dispids[i] = DISPID_UNKNOWN;
  return E_NOTIMPL;
}

HRESULT XEvents::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) {
  if (result) VariantInit(result);
  site_->RouteToWindow(ControlEvent::event, dispid, params);
  return S_OK;
}

using XNotify = CQuorvanControlSite::XPropertyNotifySink;

HRESULT XNotify::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPropertyNotifySink) {
    *object = static_cast<IPropertyNotifySink*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}
ULONG XNotify::AddRef() { return site_->AddRef(); }
ULONG XNotify::Release() { return site_->Release(); }

HRESULT XNotify::OnChanged(DISPID dispid) {
  site_->RouteToWindow(ControlEvent::propChanged, dispid, nullptr);
  return S_OK;
}

HRESULT XNotify::OnRequestEdit(DISPID dispid) {
  site_->RouteToWindow(ControlEvent::propRequest, dispid, nullptr);
  return S_OK;
}

}  // namespace tarvik
