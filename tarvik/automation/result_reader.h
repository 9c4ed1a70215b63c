// Property readers and method invocations with a result: one call that consumes
// the pending arguments, then the result converted for the host's type family.
//
// The host relies on the error report, not on the value, when a call fails, so
// a detached client, a refused call and a result that cannot be brought to the
// family's type all give the value of an empty result (0, the date of OLE date
// 0.0, the empty text). A result of another type is coerced to the family's
// type first; its raw bytes would be a pointer read as a number, or a number
// followed as a pointer.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstdint>

#include "tarvik/frame/host_date.h"
#include "tarvik/frame/host_variant.h"

namespace tarvik {

class SAutoClient;

// Names the operation for error messages and chooses how the server is asked.
struct ServerCall {
  const char* operation;
  DISPID dispid;
  WORD flags;  // DISPATCH_METHOD or DISPATCH_PROPERTYGET
};

std::int32_t ReadBool(SAutoClient& client, const ServerCall& call);
// Writes the currency text into `buffer` (null: nothing is written); 1.
std::int32_t ReadCurrency(SAutoClient& client, const ServerCall& call, char* buffer);
HostDate ReadDate(SAutoClient& client, const ServerCall& call);
// The pointer with the reference the server gave.
IDispatch* ReadDispatch(SAutoClient& client, const ServerCall& call);
// The two-call protocol of real texts.
std::int32_t ReadReal(SAutoClient& client, const ServerCall& call, char* buffer);
std::int32_t ReadShortReal(SAutoClient& client, const ServerCall& call, char* buffer);
std::int32_t ReadInteger(SAutoClient& client, const ServerCall& call);
std::int32_t ReadShort(SAutoClient& client, const ServerCall& call);
// A new process-heap block for the host; null when it cannot be allocated.
char* ReadString(SAutoClient& client, const ServerCall& call);
// The result as the server returned it, in `record`; returns `record`.
HostVariant* ReadVariant(SAutoClient& client, const ServerCall& call, HostVariant* record);

}  // namespace tarvik
