#include "tarvik/container/window_subclass.h"

#include <map>
#include <utility>

namespace tarvik {
namespace {

struct Forward {
  WNDPROC procedure;
  bool unicode;
};

std::map<HWND, WindowSubclass*>& Wrappers() {
  static std::map<HWND, WindowSubclass*> wrappers;
  return wrappers;
}

// Windows whose procedure could not be given back because someone subclassed
// them after the library did: their messages still pass through here and go on
// to the procedure the library had replaced.
std::map<HWND, Forward>& Orphans() {
  static std::map<HWND, Forward> orphans;
  return orphans;
}

LRESULT CallProcedure(const Forward& to, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!to.procedure) {
    return to.unicode ? DefWindowProcW(window, message, wParam, lParam)
                      : DefWindowProcA(window, message, wParam, lParam);
  }
  return to.unicode ? CallWindowProcW(to.procedure, window, message, wParam, lParam)
                    : CallWindowProcA(to.procedure, window, message, wParam, lParam);
}

WNDPROC CurrentProcedure(HWND window, bool unicode) {
  return reinterpret_cast<WNDPROC>(unicode ? GetWindowLongPtrW(window, GWLP_WNDPROC)
                                           : GetWindowLongPtrA(window, GWLP_WNDPROC));
}

}  // namespace

WindowSubclass::WindowSubclass() : life_(std::make_shared<char>(0)) {}

WindowSubclass::~WindowSubclass() { Unsubclass(); }

WindowSubclass* WindowSubclass::FromHandle(HWND window) {
  auto found = Wrappers().find(window);
  return found == Wrappers().end() ? nullptr : found->second;
}

bool WindowSubclass::Subclass(HWND window) {
  if (window_ || !IsWindow(window) || FromHandle(window)) return false;
  unicode_ = IsWindowUnicode(window) != FALSE;
  auto ours = reinterpret_cast<LONG_PTR>(&WindowSubclass::Procedure);
  // A window the library let go of earlier and could not restore already runs
  // through our procedure: take its forward over instead of chaining again.
  auto orphan = Orphans().find(window);
  if (orphan != Orphans().end() && CurrentProcedure(window, unicode_) == &Procedure) {
    original_ = orphan->second.procedure;
    unicode_ = orphan->second.unicode;
    Orphans().erase(orphan);
  } else {
    SetLastError(0);
    LONG_PTR previous = unicode_ ? SetWindowLongPtrW(window, GWLP_WNDPROC, ours)
                                 : SetWindowLongPtrA(window, GWLP_WNDPROC, ours);
    if (!previous && GetLastError() != 0) return false;
    original_ = reinterpret_cast<WNDPROC>(previous);
  }
  window_ = window;
  known_ = window;
  Wrappers()[window] = this;
  return true;
}

void WindowSubclass::Unsubclass() {
  if (!window_) return;
  HWND window = std::exchange(window_, nullptr);
  Wrappers().erase(window);
  if (!IsWindow(window)) return;
  if (CurrentProcedure(window, unicode_) == &Procedure) {
    if (unicode_) {
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    } else {
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    }
  } else {
    Orphans()[window] = Forward{original_, unicode_};
  }
}

LRESULT WindowSubclass::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return Default(message, wParam, lParam);
}

LRESULT WindowSubclass::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallProcedure(Forward{original_, unicode_}, known_, message, wParam, lParam);
}

LRESULT CALLBACK WindowSubclass::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  // Nothing may unwind into the system's message dispatch.
  try {
    return Dispatch(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT WindowSubclass::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (WindowSubclass* wrapper = FromHandle(window)) {
    if (message == WM_NCDESTROY) {
      // The window goes away with its own procedure in place; the wrapper
      // stays, holding no window.
      const Forward to{wrapper->original_, wrapper->unicode_};
      wrapper->Unsubclass();
      return CallProcedure(to, window, message, wParam, lParam);
    }
    return wrapper->WindowProc(message, wParam, lParam);
  }
  auto orphan = Orphans().find(window);
  if (orphan != Orphans().end()) {
    const Forward to = orphan->second;
    if (message == WM_NCDESTROY) Orphans().erase(orphan);
    return CallProcedure(to, window, message, wParam, lParam);
  }
  return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                 : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tarvik
