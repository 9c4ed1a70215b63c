// The wording of a failed IDispatch call as the host's user reads it.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

namespace tarvik {

// The error text for `status`; a server exception quotes the description in
// `exception` (which may be null).
std::string DispatchErrorText(HRESULT status, const EXCEPINFO* exception);

// "operation\n[DISPID d ][parameter n ]: errorText"; a DISPID or argument
// number of 0 leaves its part out.
std::string ComposeDispatchMessage(const char* operation, DISPID dispid, int argumentNumber,
                                   const std::string& errorText);

}  // namespace tarvik
