// Property writers: the value goes alone through the client's dispatch driver,
// or, when arguments are pending, into the last free slot of the list as the
// value of an indexed property.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace tarvik {

class ArgumentValue;
class SAutoClient;

// `value` is the host's value converted for a write with pending arguments (the
// Define rule); `plainFlags` is DISPATCH_PROPERTYPUT, or DISPATCH_PROPERTYPUTREF
// for an object written without arguments. 1 when a plain write succeeded and
// after every indexed write that reached the server (a refusal is reported); 0
// on a detached client, for a refused plain write, and for an indexed write
// that has no free slot for its value (the list is then emptied, unsent: the
// value would otherwise be lost and an index taken for it).
int WriteProperty(SAutoClient& client, const char* operation, DISPID dispid, ArgumentValue& value,
                  WORD plainFlags);

}  // namespace tarvik
