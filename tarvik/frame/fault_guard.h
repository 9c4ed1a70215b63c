// Calls into objects the library cannot vouch for (a pointer the host hands back,
// a control's first answer) run under a guard: a processor fault inside the call
// ends the call instead of the host's process.
#pragma once

#include <type_traits>

namespace tarvik {

// Runs body(context) on this thread. False when the call ended in a processor
// fault (access violation, illegal instruction and the like): execution then
// resumes here, the rest of the call and whatever it held abandoned. A fault is
// taken where it first happens, before handlers of the called code: a callee that
// means to catch its own faults cannot while it runs under the guard. Language
// exceptions are the body's to catch; none may leave it.
bool RunFaultGuarded(void (*body)(void*), void* context) noexcept;

template <class Body>
bool RunFaultGuarded(Body&& body) noexcept {
  using Callable = std::remove_reference_t<Body>;
  return RunFaultGuarded([](void* context) { (*static_cast<Callable*>(context))(); },
                         const_cast<void*>(static_cast<const void*>(&body)));
}

}  // namespace tarvik
