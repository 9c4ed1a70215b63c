// The property page that the first control class names: one edit field for the
// Caption property of the objects it is given, written back on Apply.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <cstring>
#include <new>
#include <vector>

#include "tests/windows/probe_control/probe_module.h"

namespace probe {
namespace {

const wchar_t kPageTitle[] = L"Probe";
constexpr SIZE kPageSize{240, 60};

class PropertyPage : public IPropertyPage, private Counted {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPropertyPage) return E_NOINTERFACE;
    *out = static_cast<IPropertyPage*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return TakeReference(); }
  STDMETHODIMP_(ULONG) Release() override { return DropReference(); }

  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override {
    site_ = Ref<IPropertyPageSite>::Share(site);
    return S_OK;
  }
  STDMETHODIMP Activate(HWND parent, LPCRECT area, BOOL) override {
    if (!area) return E_POINTER;
    if (window_) return E_UNEXPECTED;
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, area->left, area->top,
                              area->right - area->left, area->bottom - area->top, parent, nullptr,
                              g_module, nullptr);
    if (!window_) return E_FAIL;
    edit_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 8,
                        8, area->right - area->left - 16, 22, window_, nullptr, g_module, nullptr);
    Bstr caption;
    if (!objects_.empty() && SUCCEEDED(ReadCaption(objects_.front().Get(), caption)) && edit_) {
      SetWindowTextW(edit_, caption.Get() ? caption.Get() : L"");
    }
    return S_OK;
  }
  STDMETHODIMP Deactivate() override {
    if (window_) DestroyWindow(window_);
    window_ = edit_ = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override {
    if (!info) return E_POINTER;
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof(kPageTitle)));
    if (!info->pszTitle) return E_OUTOFMEMORY;
    std::memcpy(info->pszTitle, kPageTitle, sizeof(kPageTitle));
    info->size = kPageSize;
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
  }
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override {
    if (count && !objects) return E_POINTER;
    std::vector<Ref<IDispatch>> given;
    for (ULONG i = 0; i < count; ++i) {
      Ref<IDispatch> dispatch;
      if (objects[i] &&
          SUCCEEDED(objects[i]->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid())))
        given.push_back(std::move(dispatch));
    }
    objects_.swap(given);
    return S_OK;
  }
  STDMETHODIMP Show(UINT command) override {
    if (window_) ShowWindow(window_, command);
    return S_OK;
  }
  STDMETHODIMP Move(LPCRECT area) override {
    if (!area) return E_POINTER;
    if (window_)
      MoveWindow(window_, area->left, area->top, area->right - area->left, area->bottom - area->top,
                 TRUE);
    return S_OK;
  }
  STDMETHODIMP IsPageDirty() override {
    return edit_ && SendMessageW(edit_, EM_GETMODIFY, 0, 0) ? S_OK : S_FALSE;
  }
  STDMETHODIMP Apply() override {
    if (!edit_) return S_OK;
    const int length = GetWindowTextLengthW(edit_);
    std::vector<wchar_t> text(length + 1);
    GetWindowTextW(edit_, text.data(), length + 1);
    Bstr caption(text.data());
    for (const Ref<IDispatch>& object : objects_) {
      VARIANTARG value;
      value.vt = VT_BSTR;
      value.bstrVal = caption.Get();
      DISPID named = DISPID_PROPERTYPUT;
      DISPPARAMS params{&value, &named, 1, 1};
      object->Invoke(kDispidCaption, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                     nullptr, nullptr, nullptr);
    }
    SendMessageW(edit_, EM_SETMODIFY, FALSE, 0);
    return S_OK;
  }
  STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }

 protected:
  ~PropertyPage() override {
    if (window_) DestroyWindow(window_);
  }

 private:
  static HRESULT ReadCaption(IDispatch* object, Bstr& caption) {
    DISPPARAMS none{};
    VARIANT answer;
    VariantInit(&answer);
    const HRESULT hr = object->Invoke(kDispidCaption, IID_NULL, LOCALE_USER_DEFAULT,
                                      DISPATCH_PROPERTYGET, &none, &answer, nullptr, nullptr);
    if (SUCCEEDED(hr) && answer.vt == VT_BSTR) caption.Assign(answer.bstrVal);
    VariantClear(&answer);
    return hr;
  }

  Ref<IPropertyPageSite> site_;
  std::vector<Ref<IDispatch>> objects_;
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

}  // namespace

HRESULT CreatePropertyPage(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  auto* page = new (std::nothrow) PropertyPage;
  if (!page) return E_OUTOFMEMORY;
  return HandOut(page, iid, out);
}

}  // namespace probe
