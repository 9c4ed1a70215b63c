#include "tarvik/automation/auto_client.h"

#include <ole2.h>

#include <cstdio>

#include "tarvik/automation/guarded_add_ref.h"
#include "tarvik/frame/ansi_text.h"
#include "tarvik/frame/com_handles.h"
#include "tarvik/frame/dispatch_exception.h"
#include "tarvik/frame/warning_box.h"

namespace tarvik {
namespace {

std::string FormatWithHandle(const char* format, int handle) {
  char text[160];
  std::snprintf(text, sizeof text, format, handle);
  return text;
}

// Every context a server may live in; some systems refuse the remote one.
constexpr DWORD kAnyServer =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
constexpr DWORD kLocalServers = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

bool ClassFromText(const char* text, CLSID* clsid) {
  std::wstring wide = WideFromAnsi(text);
  HRESULT status =
      text[0] == '{' ? CLSIDFromString(wide.c_str(), clsid) : CLSIDFromProgID(wide.c_str(), clsid);
  return SUCCEEDED(status);
}

}  // namespace

SAutoClient::SAutoClient(int handle) : handle_(handle) {}

SAutoClient::~SAutoClient() {
  ClearParams();
  DetachDispatch();
}

void SAutoClient::ShowClientError(const char* captionFormat, const std::string& text) {
  ShowWarningBox(GetMessageOwner(), FormatWithHandle(captionFormat, handle_), text);
}

void SAutoClient::ReportError(std::string text) {
  ShowClientError("Quorvan Error - Automation Client %d", text);
}

void SAutoClient::ReportAlreadyAttached(const char* exportName) const {
  ShowWarningBox(
      nullptr, std::string("Quorvan Error - ") + exportName,
      FormatWithHandle("Automation Client %d is already attached to an IDispatch interface",
                       handle_));
}

HWND SAutoClient::GetMessageOwner() const {
  // The library has no main window of its own, so boxes have no owner.
  return nullptr;
}

void SAutoClient::StoreDispatch(IDispatch* dispatch) {
  dispatchDriver_.AttachDispatch(dispatch, true);
  attached_ = 1;
}

int SAutoClient::CreateFromProgId(const char* text) {
  if (attached_) {
    ReportAlreadyAttached("CreateAutoClientDispatch");
    return 0;
  }
  CLSID clsid;
  if (!text || !ClassFromText(text, &clsid)) return 0;
  ComPtr<IUnknown> object;
  HRESULT status = CoCreateInstance(clsid, nullptr, kAnyServer, IID_IUnknown, object.ReceiveVoid());
  if (status == E_INVALIDARG) {
    status = CoCreateInstance(clsid, nullptr, kLocalServers, IID_IUnknown, object.ReceiveVoid());
  }
  if (FAILED(status) || !object) return 0;
  if (FAILED(OleRun(object.Get()))) return 0;
  ComPtr<IDispatch> dispatch = object.Query<IDispatch>(IID_IDispatch);
  if (!dispatch) return 0;
  StoreDispatch(dispatch.Detach());
  return 1;
}

int SAutoClient::AttachToDispatch(IDispatch* dispatch, int addRef) {
  if (attached_) {
    ReportAlreadyAttached("AttachAutoClientDispatch");
    return 0;
  }
  // A null pointer would leave the client attached to nothing.
  if (!dispatch) return 0;
  if (addRef && !GuardedAddRef(dispatch)) return 0;
  StoreDispatch(dispatch);
  return 1;
}

int SAutoClient::AttachActiveObject(const char* clsidText) {
  if (attached_) {
    ReportAlreadyAttached("AttachAutoClientDispatch");
    return 0;
  }
  if (!clsidText) return 0;
  CLSID clsid;
  if (FAILED(CLSIDFromString(WideFromAnsi(clsidText).c_str(), &clsid))) return 0;
  ComPtr<IUnknown> object;
  if (FAILED(GetActiveObject(clsid, nullptr, object.Receive())) || !object) return 0;
  ComPtr<IDispatch> dispatch = object.Query<IDispatch>(IID_IDispatch);
  if (!dispatch) return 0;
  StoreDispatch(dispatch.Detach());
  return 1;
}

int SAutoClient::DetachDispatch() {
  if (!attached_) return 0;
  dispatchDriver_.ReleaseDispatch();
  attached_ = 0;
  return 1;
}

IDispatch* SAutoClient::ProbeDispatch() {
  if (!attached_) return nullptr;
  IDispatch* dispatch = dispatchDriver_.Get();
  if (!GuardedAddRef(dispatch)) {
    // Releasing a dead object would fault: forget it instead.
    dispatchDriver_.DetachDispatch();
    attached_ = 0;
    return nullptr;
  }
  dispatch->Release();
  return dispatch;
}

int SAutoClient::SupportsInterface(const char* iidText) {
  if (!attached_) {
    ReportError("No IDispatch interface");
    return 0;
  }
  if (!iidText) return 0;
  IID iid;
  if (FAILED(IIDFromString(WideFromAnsi(iidText).c_str(), &iid))) return 0;
  void* answer = nullptr;
  HRESULT status = dispatchDriver_.Get()->QueryInterface(iid, &answer);
  // A refusal carries no reference even if the object wrote a pointer; any
  // success does, and the reference is given back.
  if (SUCCEEDED(status) && answer) static_cast<IUnknown*>(answer)->Release();
  return status == S_OK ? 1 : 0;
}

void SAutoClient::ReportDispatchError(HRESULT status, const char* operation, DISPID dispid,
                                      int argumentNumber, const EXCEPINFO* exception) {
  if (auto message = errors_.Route(status, operation, dispid, argumentNumber, exception)) {
    ReportError(std::move(*message));
  }
}

void SAutoClient::ReportFrameworkException(const char* operation, DISPID dispid,
                                           const DispatchException& exception) {
  std::wstring text = WideFromAnsi(exception.MessageText().c_str());
  UniqueBstr description(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
  EXCEPINFO info = {};
  info.bstrDescription = description.Get();
  ReportDispatchError(DISP_E_EXCEPTION, operation, dispid, 0, &info);
}

}  // namespace tarvik
