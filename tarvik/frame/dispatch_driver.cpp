#include "tarvik/frame/dispatch_driver.h"

#include <utility>

#include "tarvik/frame/ansi_text.h"
#include "tarvik/frame/com_handles.h"
#include "tarvik/frame/deferred_release.h"
#include "tarvik/frame/dispatch_exception.h"

namespace tarvik {

void DispatchDriver::AttachDispatch(IDispatch* dispatch, bool autoRelease) {
  ReleaseDispatch();
  dispatch_ = dispatch;
  autoRelease_ = autoRelease;
}

void DispatchDriver::ReleaseDispatch() {
  IDispatch* old = std::exchange(dispatch_, nullptr);
  if (old && autoRelease_) ReleaseWhenIdle(old);
}

IDispatch* DispatchDriver::DetachDispatch() { return std::exchange(dispatch_, nullptr); }

void DispatchDriver::SetProperty(DISPID dispid, WORD flags, VARIANT& value) {
  if (!dispatch_) throw DispatchException(E_POINTER, std::string());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&value, &named, 1, 1};
  EXCEPINFO exception = {};
  UINT argumentError = static_cast<UINT>(-1);
  ServerCallScope call;
  HRESULT status =
      dispatch_->Invoke(dispid, IID_NULL, 0, flags, &params, nullptr, &exception, &argumentError);
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  UniqueBstr source(exception.bstrSource), description(exception.bstrDescription),
      helpFile(exception.bstrHelpFile);
  if (FAILED(status)) throw DispatchException(status, AnsiFromBstr(description.Get()));
}

}  // namespace tarvik
