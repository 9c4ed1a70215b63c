// A client site of our own for the probe: client, in-place and control site with
// ambient properties, in a top-level window of its own. It records what the
// control asks of it and answers as a test sets it up.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/counted_object.h"

namespace probe_tests {

class TestSite : public quorvan::testing::CountedObject<IOleClientSite, IOleInPlaceSite,
                                                        IOleControlSite, IDispatch> {
 public:
  explicit TestSite(HWND window) : window_(window) {}

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = window_;
    return window_ ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return canActivate; }
  STDMETHODIMP OnInPlaceActivate() override {
    calls.push_back(L"OnInPlaceActivate");
    return S_OK;
  }
  STDMETHODIMP OnUIActivate() override {
    calls.push_back(L"OnUIActivate");
    return S_OK;
  }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    calls.push_back(L"GetWindowContext");
    *frame = nullptr;
    *document = nullptr;
    *position = positionRect;
    GetClientRect(window_, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return S_FALSE; }
  STDMETHODIMP OnUIDeactivate(BOOL) override {
    calls.push_back(L"OnUIDeactivate");
    return S_OK;
  }
  STDMETHODIMP OnInPlaceDeactivate() override {
    calls.push_back(L"OnInPlaceDeactivate");
    return S_OK;
  }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT rect) override {
    askedRects.push_back(*rect);
    return posRectAnswer;
  }

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtendedControl(IDispatch** control) override {
    if (control) *control = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override {
    transformFlags.push_back(flags);
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
      container->x = static_cast<float>(himetric->x) / 2;
      container->y = static_cast<float>(himetric->y) / 2;
      return S_OK;
    }
    return E_INVALIDARG;
  }
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP OnFocus(BOOL gotFocus) override {
    focus.push_back(gotFocus);
    return S_OK;
  }
  STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

  // IDispatch: the ambient properties in `ambients`; others are not found.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    auto found = ambients.find(dispid);
    if (found == ambients.end()) return DISP_E_MEMBERNOTFOUND;
    const VARTYPE type = found->second.first;
    const std::wstring& text = found->second.second;
    VariantInit(result);
    if (type == VT_BSTR) {
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(text.c_str());
    } else if (type == VT_BOOL) {
      result->vt = VT_BOOL;
      result->boolVal = std::stol(text) ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
      result->vt = VT_I4;
      result->lVal = std::stol(text);
    }
    return S_OK;
  }

  HRESULT canActivate = S_OK;
  HRESULT posRectAnswer = S_OK;
  RECT positionRect{10, 20, 110, 70};
  std::vector<std::wstring> calls;
  std::vector<RECT> askedRects;
  std::vector<DWORD> transformFlags;
  std::vector<BOOL> focus;
  // DISPID -> (type, value as text: a number for VT_BOOL and VT_I4).
  std::map<DISPID, std::pair<VARTYPE, std::wstring>> ambients;

 private:
  HWND window_;
};

// A visible top-level window that is destroyed once.
class HostWindow {
 public:
  HostWindow() {
    window_ = CreateWindowExW(0, L"STATIC", L"probe host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                              50, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  ~HostWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  HWND Get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

}  // namespace probe_tests
