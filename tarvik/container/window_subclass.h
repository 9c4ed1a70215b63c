// A window procedure put in front of a window that belongs to someone else (the
// host's window, a control's window) for as long as the library needs to see
// its messages. The wrappers are found by window handle, which is also how the
// container tells what kind of window a control sits in.
#pragma once

#include <windows.h>

#include <memory>

namespace tarvik {

class WindowSubclass {
 public:
  WindowSubclass();
  WindowSubclass(const WindowSubclass&) = delete;
  WindowSubclass& operator=(const WindowSubclass&) = delete;
  virtual ~WindowSubclass();

  // False when `window` is not a window or already has a wrapper of the library.
  bool Subclass(HWND window);
  // Gives the window its own procedure back if it still exists.
  void Unsubclass();

  HWND Handle() const { return window_; }
  static WindowSubclass* FromHandle(HWND window);

  // Expires when the wrapper is deleted: a handler that called out (into the
  // host, into a control) checks it before touching the wrapper again.
  std::weak_ptr<char> Liveness() const { return life_; }

 protected:
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The window's procedure from before the subclassing.
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  // The last window subclassed, for default processing that runs on after the
  // window let go of the wrapper (its destruction nested in a handler).
  HWND known_ = nullptr;
  WNDPROC original_ = nullptr;
  bool unicode_ = false;
  std::shared_ptr<char> life_;
};

}  // namespace tarvik
