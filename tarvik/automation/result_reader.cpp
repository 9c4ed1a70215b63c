#include "tarvik/automation/result_reader.h"

#include "tarvik/automation/auto_client.h"
#include "tarvik/automation/dispatch_call.h"
#include "tarvik/frame/com_handles.h"
#include "tarvik/frame/conversions.h"

namespace tarvik {
namespace {

// Asks for the result as the server gives it, whatever its type.
constexpr VARTYPE kAsReturned = VT_ILLEGAL;

void ZeroResult(VARIANT* result) {
  VariantClear(result);
  *result = VARIANT{};
}

// Brings the result to `wanted`, or to the empty result when it does not
// convert. An object is not asked for its default value: that would be a call
// on the server the host never made.
void CoerceResult(VARIANT* result, VARTYPE wanted) {
  if (V_VT(result) == wanted) return;
  VARIANT converted;
  VariantInit(&converted);
  const HRESULT status = VariantChangeType(&converted, result, VARIANT_NOVALUEPROP, wanted);
  ZeroResult(result);
  if (SUCCEEDED(status)) *result = converted;
}

// Leaves in `result` what the host is to receive: the server's answer as
// `wanted`, or the empty result.
void Call(SAutoClient& client, const ServerCall& call, VARTYPE wanted, UniqueVariant& result) {
  if (!BeginClientCall(client)) return;
  VARIANT* answer = result.Get();
  if (FAILED(CallWithPendingArguments(client, call.operation, call.dispid, call.flags, answer))) {
    // What a refusing server left in the result is undefined: it is not freed.
    *answer = VARIANT{};
    return;
  }
  if (wanted != kAsReturned) CoerceResult(answer, wanted);
}

}  // namespace

std::int32_t ReadBool(SAutoClient& client, const ServerCall& call) {
  UniqueVariant result;
  Call(client, call, VT_BOOL, result);
  return HostBoolFromVariant(*result.Get());
}

std::int32_t ReadCurrency(SAutoClient& client, const ServerCall& call, char* buffer) {
  UniqueVariant result;
  Call(client, call, VT_CY, result);
  DeliverCurrencyText(HostCurrencyFromVariant(*result.Get()), buffer);
  return 1;
}

HostDate ReadDate(SAutoClient& client, const ServerCall& call) {
  UniqueVariant result;
  Call(client, call, VT_DATE, result);
  return HostDateFromVariant(*result.Get());
}

IDispatch* ReadDispatch(SAutoClient& client, const ServerCall& call) {
  UniqueVariant result;
  Call(client, call, VT_DISPATCH, result);
  IDispatch* dispatch = HostDispatchFromVariant(*result.Get());
  // The server's reference goes to the host.
  VariantInit(result.Get());
  return dispatch;
}

std::int32_t ReadReal(SAutoClient& client, const ServerCall& call, char* buffer) {
  UniqueVariant result;
  Call(client, call, VT_R8, result);
  return DeliverRealText(HostRealFromVariant(*result.Get()), buffer);
}

std::int32_t ReadShortReal(SAutoClient& client, const ServerCall& call, char* buffer) {
  UniqueVariant result;
  Call(client, call, VT_R4, result);
  return DeliverRealText(HostShortRealFromVariant(*result.Get()), buffer);
}

std::int32_t ReadInteger(SAutoClient& client, const ServerCall& call) {
  UniqueVariant result;
  Call(client, call, VT_I4, result);
  return HostIntegerFromVariant(*result.Get());
}

std::int32_t ReadShort(SAutoClient& client, const ServerCall& call) {
  UniqueVariant result;
  Call(client, call, VT_I2, result);
  return HostShortFromVariant(*result.Get());
}

char* ReadString(SAutoClient& client, const ServerCall& call) {
  UniqueVariant result;
  Call(client, call, VT_BSTR, result);
  return HostStringFromBstr(V_VT(result.Get()) == VT_BSTR ? V_BSTR(result.Get()) : nullptr);
}

HostVariant* ReadVariant(SAutoClient& client, const ServerCall& call, HostVariant* record) {
  UniqueVariant result;
  Call(client, call, kAsReturned, result);
  MoveVariantToHostVariant(result.Get(), record);
  return record;
}

}  // namespace tarvik
