#include "tarvik/frame/deferred_release.h"

#include <utility>
#include <vector>

#include "tarvik/frame/fault_guard.h"

namespace tarvik {
namespace {

// Everything runs on the host's window thread, one call at a time.
int g_callDepth = 0;

// The last release of a server object is the host's: a server that faults or
// throws in it must not take the host's process with it. What it held is lost.
void ReleaseGuarded(IUnknown* object) {
  RunFaultGuarded([object] {
    try {
      object->Release();
    } catch (...) {
    }
  });
}
std::vector<IUnknown*>& Deferred() {
  static std::vector<IUnknown*> deferred;
  return deferred;
}

void ReleaseDeferred() {
  // A release may call back into the host, which may start new calls and defer
  // new releases: take the list first.
  while (!Deferred().empty()) {
    std::vector<IUnknown*> pending = std::exchange(Deferred(), {});
    for (IUnknown* object : pending) ReleaseGuarded(object);
  }
}

}  // namespace

ServerCallScope::ServerCallScope() { ++g_callDepth; }

ServerCallScope::~ServerCallScope() {
  if (--g_callDepth == 0 && !Deferred().empty()) ReleaseDeferred();
}

void ReleaseWhenIdle(IUnknown* object) {
  if (!object) return;
  if (g_callDepth == 0) {
    ReleaseGuarded(object);
    return;
  }
  try {
    Deferred().push_back(object);
  } catch (...) {
    // Without memory to wait, releasing now is better than leaking the object.
    ReleaseGuarded(object);
  }
}

}  // namespace tarvik
