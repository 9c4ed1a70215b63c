#include "tarvik/automation/dispatch_call.h"

#include <utility>

#include "tarvik/automation/argument_list.h"
#include "tarvik/automation/auto_client.h"
#include "tarvik/frame/com_handles.h"
#include "tarvik/frame/deferred_release.h"
#include "tarvik/frame/tarvik_app.h"

namespace tarvik {
namespace {

constexpr UINT kNoArgumentError = static_cast<UINT>(-1);

// The faulty argument's place in the order in which the host defined the
// arguments (the array runs backwards); 0 when the server named none.
int ArgumentNumber(UINT argumentError, UINT count) {
  if (argumentError == kNoArgumentError) return 0;
  return static_cast<int>(count) - static_cast<int>(argumentError);
}

}  // namespace

bool BeginClientCall(SAutoClient& client) {
  client.Errors().ClearLastError();
  if (client.Attached()) return true;
  client.ReportError("No IDispatch interface");
  return false;
}

bool ClientSurvived(int handle, const SAutoClient* client) {
  return TheApp().FindClient(handle) == client;
}

HRESULT CallWithPendingArguments(SAutoClient& client, const char* operation, DISPID dispid,
                                 WORD flags, VARIANT* result) {
  // The list leaves the client before the call: a server that calls back into
  // the host (an event, a nested message loop) may let it declare and invoke on
  // this client again, which must not free the arguments this call still reads.
  ArgumentList arguments = std::move(client.Arguments());
  // The host may release the client's object while the server is busy with it;
  // the release then waits for the call to end.
  ServerCallScope call;
  IDispatch* object = client.Driver().Get();
  const int handle = client.Handle();

  EXCEPINFO exception = {};
  UINT argumentError = kNoArgumentError;
  const HRESULT status = object->Invoke(dispid, IID_NULL, 0, flags, &arguments.Params(), result,
                                        &exception, &argumentError);
  if (FAILED(status) && exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  UniqueBstr source(exception.bstrSource), description(exception.bstrDescription),
      helpFile(exception.bstrHelpFile);
  if (FAILED(status) && ClientSurvived(handle, &client)) {
    client.ReportDispatchError(status, operation, dispid,
                               ArgumentNumber(argumentError, arguments.Params().cArgs), &exception);
  }
  return status;
}

}  // namespace tarvik
