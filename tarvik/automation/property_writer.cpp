#include "tarvik/automation/property_writer.h"

#include "tarvik/automation/argument_value.h"
#include "tarvik/automation/auto_client.h"
#include "tarvik/automation/dispatch_call.h"
#include "tarvik/frame/dispatch_exception.h"

namespace tarvik {
namespace {

int WritePlain(SAutoClient& client, const char* operation, DISPID dispid, ArgumentValue& value,
               WORD flags) {
  const int handle = client.Handle();
  try {
    client.Driver().SetProperty(dispid, flags, *value.Get());
  } catch (const DispatchException& exception) {
    if (ClientSurvived(handle, &client))
      client.ReportFrameworkException(operation, dispid, exception);
    return 0;
  }
  return 1;
}

int WriteIndexed(SAutoClient& client, const char* operation, DISPID dispid, ArgumentValue& value) {
  ArgumentList& arguments = client.Arguments();
  if (!arguments.Define(*value.Get())) {
    arguments.Clear();
    return 0;
  }
  value.Disown();
  arguments.NamePropertyPutValue();
  CallWithPendingArguments(client, operation, dispid, DISPATCH_PROPERTYPUT, nullptr);
  return 1;
}

}  // namespace

int WriteProperty(SAutoClient& client, const char* operation, DISPID dispid, ArgumentValue& value,
                  WORD plainFlags) {
  if (!BeginClientCall(client)) return 0;
  if (client.Arguments().Empty()) return WritePlain(client, operation, dispid, value, plainFlags);
  return WriteIndexed(client, operation, dispid, value);
}

}  // namespace tarvik
