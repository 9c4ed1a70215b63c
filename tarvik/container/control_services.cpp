#include "tarvik/container/control_services.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "tarvik/container/control_wnd.h"
#include "tarvik/container/ocx_control.h"
#include "tarvik/container/parent_wnd.h"
#include "tarvik/frame/ansi_text.h"
#include "tarvik/frame/com_handles.h"
#include "tarvik/frame/fault_guard.h"

namespace tarvik {
namespace {

constexpr char kPagesCaption[] = "Quorvan";
constexpr char kSaveCaption[] = "Error - Failed to save properties";

HWND HostWindow(const SOCXControl& client) {
  return client.parentWnd ? client.parentWnd->Handle() : nullptr;
}

void ShowPagesBox(const SOCXControl& client, const char* text) {
  MessageBoxA(HostWindow(client), text, kPagesCaption, MB_OK | MB_ICONINFORMATION);
}

void ShowSaveBox(const SOCXControl& client, const char* text) {
  MessageBoxA(HostWindow(client), text, kSaveCaption, MB_OK | MB_ICONERROR);
}

// The control's dispatch as its site knows it; null when there is no control.
ComPtr<IDispatch> ControlDispatch(const SOCXControl& client) {
  if (!client.created || !client.controlWnd) return {};
  return ComPtr<IUnknown>::Share(client.controlWnd->GetControlUnknown())
      .Query<IDispatch>(IID_IDispatch);
}

HRESULT PutProperty(IDispatch* dispatch, DISPID dispid, VARIANT& value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&value, &named, 1, 1};
  return dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                          nullptr, nullptr, nullptr);
}

HRESULT GetProperty(IDispatch* dispatch, DISPID dispid, VARTYPE type, VARIANT* value) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  UniqueVariant answer;
  HRESULT status = dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                    &none, answer.Get(), nullptr, nullptr);
  if (FAILED(status)) return status;
  return VariantChangeType(value, answer.Get(), 0, type);
}

// Reads and writes the caption the way a site-hosted control shows one: its
// Caption property, or for a control without one, its Text property.
constexpr DISPID kCaptionDispids[] = {DISPID_CAPTION, DISPID_TEXT};

}  // namespace

void EnableControl(SOCXControl& client, BOOL enable) {
  if (!client.created) return;
  if (ComPtr<IDispatch> dispatch = ControlDispatch(client)) {
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_BOOL;
    V_BOOL(&value) = enable ? VARIANT_TRUE : VARIANT_FALSE;
    PutProperty(dispatch.Get(), DISPID_ENABLED, value);
  }
  // A control without an Enabled property still stops taking input; one that
  // has it may have done this already, which is harmless.
  if (client.controlWnd) {
    if (HWND window = client.controlWnd->Handle()) EnableWindow(window, enable ? TRUE : FALSE);
  }
}

void SetControlCaption(SOCXControl& client, const char* caption) {
  if (!client.created) return;
  ComPtr<IDispatch> dispatch = ControlDispatch(client);
  if (!dispatch) {
    if (client.controlWnd && client.controlWnd->Handle()) {
      SetWindowTextA(client.controlWnd->Handle(), caption ? caption : "");
    }
    return;
  }
  const std::wstring wide = WideFromAnsi(caption);
  for (DISPID dispid : kCaptionDispids) {
    UniqueVariant value;
    V_VT(value.Get()) = VT_BSTR;
    V_BSTR(value.Get()) = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (SUCCEEDED(PutProperty(dispatch.Get(), dispid, *value.Get()))) return;
  }
}

std::string GetControlCaption(SOCXControl& client) {
  if (!client.created) return {};
  ComPtr<IDispatch> dispatch = ControlDispatch(client);
  if (!dispatch) {
    HWND window = client.controlWnd ? client.controlWnd->Handle() : nullptr;
    if (!window) return {};
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  for (DISPID dispid : kCaptionDispids) {
    UniqueVariant value;
    if (SUCCEEDED(GetProperty(dispatch.Get(), dispid, VT_BSTR, value.Get()))) {
      return AnsiFromBstr(V_BSTR(value.Get()));
    }
  }
  return {};
}

void CopyCaption(const std::string& caption, char* buffer) {
  const size_t length = caption.size() < kCaptionLimit ? caption.size() : kCaptionLimit;
  std::memcpy(buffer, caption.data(), length);
  buffer[length] = '\0';
}

void ShowPropertyPages(SOCXControl& client) {
  if (!client.designMode || !client.created) return;
  IUnknown* control = client.controlWnd ? client.controlWnd->designUnknown : nullptr;
  if (!control) {
    ShowPagesBox(client, "No properties available");
    return;
  }
  // The control's first answer is the one call here whose failure must not be
  // the host's: anything it raises counts as an unexpected failure.
  ComPtr<ISpecifyPropertyPages> specify;
  HRESULT status = E_UNEXPECTED;
  const bool answered = RunFaultGuarded([&] {
    try {
      status = control->QueryInterface(IID_ISpecifyPropertyPages, specify.ReceiveVoid());
    } catch (...) {
      status = E_UNEXPECTED;
    }
  });
  if (!answered) {
    // Whatever the abandoned call may have stored is not a reference of ours.
    specify.Detach();
    status = E_UNEXPECTED;
  }
  if (FAILED(status) || !specify) {
    ShowPagesBox(client, "No properties available");
    return;
  }
  CAUUID pages = {0, nullptr};
  status = specify->GetPages(&pages);
  specify.Reset();
  if (FAILED(status) || pages.cElems == 0) {
    CoTaskMemFree(pages.pElems);
    ShowPagesBox(client, "No properties available");
    return;
  }
  ComPtr<IOleObject> object = ComPtr<IUnknown>::Share(control).Query<IOleObject>(IID_IOleObject);
  if (!object) {
    ShowPagesBox(client, "Failed to view control properties");
    CoTaskMemFree(pages.pElems);
    return;
  }
  LPOLESTR typeName = nullptr;
  object->GetUserType(USERCLASSTYPE_FULL, &typeName);
  IUnknown* objects[] = {control};
  OleCreatePropertyFrame(HostWindow(client), 0, 0, typeName, 1, objects, pages.cElems, pages.pElems,
                         0, 0, nullptr);
  CoTaskMemFree(typeName);
  CoTaskMemFree(pages.pElems);
}

void SaveProperties(SOCXControl& client, const char* fileName) {
  if (!client.designMode || !client.created) return;
  const std::wstring name = WideFromAnsi(fileName);
  ComPtr<IStorage> storage;
  // Without a name the system would make a temporary file that nobody finds.
  if (name.empty() ||
      FAILED(StgCreateDocfile(name.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0,
                              storage.Receive())) ||
      !storage) {
    ShowSaveBox(client, "No IStorage object");
    return;
  }
  IUnknown* control = client.controlWnd ? client.controlWnd->designUnknown : nullptr;
  ComPtr<IPersistStorage> persist =
      ComPtr<IUnknown>::Share(control).Query<IPersistStorage>(IID_IPersistStorage);
  if (!persist) {
    ShowSaveBox(client, "No IPersistStorage object");
    return;
  }
  if (FAILED(persist->Save(storage.Get(), FALSE))) ShowSaveBox(client, "Error during save");
}

}  // namespace tarvik
