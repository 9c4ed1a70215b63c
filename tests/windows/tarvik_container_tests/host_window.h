// A host window as the 4GL runtime would give one to an OCX client: a borderless
// child of a frame window, with a window procedure that records the control
// messages it receives and lets a test act while it handles one.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <functional>
#include <vector>

namespace container_tests {

struct HostMessage {
  UINT message;  // WM_QVOCXEVENT or WM_QVOCXNOTIFYEVENT (as registered)
  WPARAM wParam;
  LPARAM lParam;
  UINT argumentCount;  // cArgs of the block, read while the message lasted
};

class HostWindow {
 public:
  // A child at (10, 20) of a new frame window, `cx` x `cy` outside, with `style`
  // added to WS_CHILD | WS_VISIBLE.
  HostWindow(int cx = 200, int cy = 100, DWORD style = 0) {
    static const ATOM frameClass = Register("QvContainerTestFrame");
    static const ATOM hostClass = Register("QvContainerTestHost");
    (void)frameClass;
    (void)hostClass;
    ocxEvent_ = RegisterWindowMessageA("WM_QVOCXEVENT");
    ocxNotify_ = RegisterWindowMessageA("WM_QVOCXNOTIFYEVENT");
    frame_ = CreateWindowExA(0, "QvContainerTestFrame", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             50, 50, 500, 400, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    window_ = CreateWindowExA(0, "QvContainerTestHost", "host", WS_CHILD | WS_VISIBLE | style, 10,
                              20, cx, cy, frame_, nullptr, GetModuleHandleA(nullptr), this);
    original_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC));
  }
  ~HostWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
    if (IsWindow(frame_)) DestroyWindow(frame_);
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND Handle() const { return window_; }
  HWND Frame() const { return frame_; }
  WNDPROC OriginalProcedure() const { return original_; }
  UINT OcxEvent() const { return ocxEvent_; }
  UINT OcxNotify() const { return ocxNotify_; }

  std::vector<HostMessage> messages;
  // Runs inside the host's handling of either control message.
  std::function<void(const HostMessage&)> onMessage;
  int paints = 0;
  std::vector<UINT> keys;  // key messages that reached the host's own procedure

  RECT Outer() const {
    RECT outer = {};
    GetWindowRect(window_, &outer);
    MapWindowPoints(nullptr, frame_, reinterpret_cast<POINT*>(&outer), 2);
    return outer;
  }
  SIZE OuterSize() const {
    const RECT outer = Outer();
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
  }

  std::vector<HostMessage> EventsOnly() const {
    std::vector<HostMessage> events;
    for (const auto& message : messages) {
      if (message.message == ocxEvent_) events.push_back(message);
    }
    return events;
  }

 private:
  static ATOM Register(const char* name) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    return RegisterClassA(&windowClass);
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && window == self->window_) {
      if (message == self->ocxEvent_ || message == self->ocxNotify_) {
        HostMessage seen{message, wParam, lParam, 0};
        if (message == self->ocxEvent_ && lParam) {
          seen.argumentCount = reinterpret_cast<DISPPARAMS*>(lParam)->cArgs;
        }
        self->messages.push_back(seen);
        if (self->onMessage) self->onMessage(seen);
        return 0;
      }
      if (message == WM_PAINT) ++self->paints;
      if (message == WM_KEYDOWN || message == WM_CHAR || message == WM_KEYUP) {
        self->keys.push_back(message);
      }
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND frame_ = nullptr;
  HWND window_ = nullptr;
  WNDPROC original_ = nullptr;
  UINT ocxEvent_ = 0;
  UINT ocxNotify_ = 0;
};

// Lets the window thread run what is posted to it.
inline void Pump() {
  MSG message;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  }
}

}  // namespace container_tests
