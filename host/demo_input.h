// The demo's hands: real keyboard and mouse input through SendInput, so that every
// key and click reaches the form the way a person's would (through the system's
// input queue, hit-testing, focus and TranslateMessage), not as messages posted
// to a chosen window.
#pragma once

#include <windows.h>

#include <string>

namespace quorvan::host {

// Dispatches the thread's messages for about this long; input sent with
// SendInput is only seen by windows once the queue is pumped.
void PumpMessages(DWORD milliseconds);

class InputScript {
 public:
  // Brings the window to the foreground, where keyboard input goes.
  explicit InputScript(HWND topLevel);

  // Left click at a point of a window's client area.
  void Click(HWND window, int x, int y);
  void DoubleClick(HWND window, int x, int y);
  // Left click in the middle of a window.
  void ClickCentre(HWND window);
  // Presses the left button at one client point, moves to another, releases.
  void Drag(HWND window, POINT from, POINT to);
  // One key, pressed and released, with Shift and Ctrl held as asked.
  void Key(WORD virtualKey, bool shift = false, bool control = false);
  void Keys(WORD virtualKey, int times, bool shift = false);
  // Types the characters with the keys of the current keyboard layout.
  void Type(const std::string& text);

 private:
  void MoveTo(HWND window, int x, int y);
  void Button(DWORD flags);
  HWND topLevel_;
};

// The width of a text in the window's font: where to end a drag that selects it.
int TextWidth(HWND window, const std::string& text);

}  // namespace quorvan::host
