// An Automation client: one conversation with one server object through its
// IDispatch, addressed by the host with an integer handle. An OCX client
// derives from it and replaces the virtual operations it must.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

#include "tarvik/automation/argument_list.h"
#include "tarvik/frame/dispatch_driver.h"
#include "tarvik/frame/error_channel.h"

namespace tarvik {

class DispatchException;

class SAutoClient {
 public:
  explicit SAutoClient(int handle);
  SAutoClient(const SAutoClient&) = delete;
  SAutoClient& operator=(const SAutoClient&) = delete;
  virtual ~SAutoClient();

  // Shows `text` in a message box captioned with this client; never silenced.
  virtual void ReportError(std::string text);
  // 1 when attached. With `addRef` 0 the client takes over the host's reference.
  virtual int AttachToDispatch(IDispatch* dispatch, int addRef);
  // Creates a server from a ProgID or a braced CLSID and attaches it; 1 on success.
  virtual int CreateFromProgId(const char* text);

  // Attaches the running object registered for a braced CLSID; 1 on success.
  int AttachActiveObject(const char* clsidText);
  // Releases the held IDispatch; 1 when one was held. Pending arguments stay.
  int DetachDispatch();
  // The held pointer, without a reference for the caller; null when none is
  // held or it proved dead (the client is then detached).
  IDispatch* ProbeDispatch();
  // 1 when the held object answers QueryInterface for the braced IID.
  int SupportsInterface(const char* iidText);

  void ReportDispatchError(HRESULT status, const char* operation, DISPID dispid, int argumentNumber,
                           const EXCEPINFO* exception);
  void ReportFrameworkException(const char* operation, DISPID dispid,
                                const DispatchException& exception);
  HWND GetMessageOwner() const;

  int Handle() const { return handle_; }
  bool Attached() const { return attached_ != 0; }
  ErrorChannel& Errors() { return errors_; }
  DispatchDriver& Driver() { return dispatchDriver_; }
  ArgumentList& Arguments() { return params_; }
  void ClearParams() { params_.Clear(); }

 protected:
  // The box every client error shows, with the caption the client's kind chooses.
  void ShowClientError(const char* captionFormat, const std::string& text);
  // The message of a connecting export on a client that is attached already.
  void ReportAlreadyAttached(const char* exportName) const;

 private:
  void StoreDispatch(IDispatch* dispatch);

  int attached_ = 0;
  DispatchDriver dispatchDriver_;
  int handle_;
  ErrorChannel errors_;
  ArgumentList params_;
};

}  // namespace tarvik
