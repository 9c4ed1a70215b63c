// Server objects stay alive while the library is inside a call on them. A server
// may call back into the host in the middle of Invoke, and the host may then
// release or destroy the very client whose call is running; the object's last
// reference must not go before that call has returned. Rather than taking a
// reference for every call, releases that happen during a call wait until the
// outermost call is over.
#pragma once

#include <unknwn.h>

namespace tarvik {

// Marks the span of a call into a server object.
class ServerCallScope {
 public:
  ServerCallScope();
  ~ServerCallScope();
  ServerCallScope(const ServerCallScope&) = delete;
  ServerCallScope& operator=(const ServerCallScope&) = delete;
};

// Releases `object` now, or when the outermost ServerCallScope ends.
void ReleaseWhenIdle(IUnknown* object);

}  // namespace tarvik
