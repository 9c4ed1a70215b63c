// A bare control made inside the test program: an IOleObject and, if asked, a
// view that fails to draw; nothing else (no dispatch, no persistence, no events,
// no window). Its class is registered for this process only, so the library
// finds it by its braced class id.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <string>
#include <vector>

namespace container_tests {

// {6F1D2A3C-9B84-4E57-A1C2-3D4E5F607182}
inline constexpr CLSID CLSID_BareControl = {
    0x6f1d2a3c, 0x9b84, 0x4e57, {0xa1, 0xc2, 0x3d, 0x4e, 0x5f, 0x60, 0x71, 0x82}};
inline constexpr char kBareControlClsidText[] = "{6F1D2A3C-9B84-4E57-A1C2-3D4E5F607182}";

struct BareRecord {
  std::vector<std::string> calls;
  bool withView = false;           // offer IViewObject (whose Draw fails)
  IOleClientSite* site = nullptr;  // the site while one is set, with a reference
  long live = 0;
};

inline BareRecord& Bare() {
  static BareRecord record;
  return record;
}

class BareControl : public IOleObject, public IViewObject {
 public:
  BareControl() { ++Bare().live; }
  virtual ~BareControl() { --Bare().live; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject) {
      *object = static_cast<IOleObject*>(this);
    } else if (iid == IID_IViewObject && Bare().withView) {
      *object = static_cast<IViewObject*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    Bare().calls.push_back(site ? "SetClientSite" : "SetClientSite(null)");
    if (site) site->AddRef();
    if (Bare().site) Bare().site->Release();
    Bare().site = site;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override {
    *site = Bare().site;
    if (*site) (*site)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD) override {
    Bare().calls.push_back("Close");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND,
                                   LPCRECT) override {
    Bare().calls.push_back("DoVerb " + std::to_string(verb));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override {
    *clsid = CLSID_BareControl;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
    *status = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IViewObject
  HRESULT STDMETHODCALLTYPE Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC, LPCRECTL, LPCRECTL,
                                 BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
    Bare().calls.push_back("Draw");
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                        LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }

 private:
  ULONG references_ = 1;
};

// A class factory that lives as long as the program and makes `Control`s.
template <class Control>
class StaticControlFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* control = new Control;
    const HRESULT status = control->QueryInterface(iid, object);
    control->Release();
    return status;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

using BareFactory = StaticControlFactory<BareControl>;

// Registers the class for the apartment that is open now, until destroyed.
class BareClassRegistration {
 public:
  BareClassRegistration() {
    static BareFactory factory;
    CoRegisterClassObject(CLSID_BareControl, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                          &cookie_);
  }
  ~BareClassRegistration() {
    if (cookie_) CoRevokeClassObject(cookie_);
  }
  bool Registered() const { return cookie_ != 0; }

 private:
  DWORD cookie_ = 0;
};

}  // namespace container_tests
