// One call on a client's server object that consumes the pending argument list:
// what every property reader, indexed property writer and method invocation
// shares.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace tarvik {

class SAutoClient;

// Starts a property or method operation: empties the last error and, on a
// client that holds no IDispatch, reports "No IDispatch interface". True when
// the client is attached; the pending arguments are kept otherwise.
bool BeginClientCall(SAutoClient& client);

// Calls IDispatch::Invoke on the attached client's object with the pending
// arguments, which are gone afterwards whatever the outcome, and reports a
// refusal through the client's error channel. `result` may be null. Returns the
// server's status.
HRESULT CallWithPendingArguments(SAutoClient& client, const char* operation, DISPID dispid,
                                 WORD flags, VARIANT* result);

// True while the client is still in the library's list: a server may let the
// host destroy it while a call is under way.
bool ClientSurvived(int handle, const SAutoClient* client);

}  // namespace tarvik
