#include "tarvik/frame/deferred_release.h"

#include <utility>
#include <vector>

namespace tarvik {
namespace {

// Everything runs on the host's window thread, one call at a time.
int g_callDepth = 0;
std::vector<IUnknown*>& Deferred() {
  static std::vector<IUnknown*> deferred;
  return deferred;
}

void ReleaseDeferred() {
  // A release may call back into the host, which may start new calls and defer
  // new releases: take the list first.
  while (!Deferred().empty()) {
    std::vector<IUnknown*> pending = std::exchange(Deferred(), {});
    for (IUnknown* object : pending) object->Release();
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
    object->Release();
    return;
  }
  try {
    Deferred().push_back(object);
  } catch (...) {
    // Without memory to wait, releasing now is better than leaking the object.
    object->Release();
  }
}

}  // namespace tarvik
