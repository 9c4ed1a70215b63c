// Captures the message boxes a test provokes instead of letting them block it:
// a CBT hook on the current thread records each box's caption and text and
// dismisses it as soon as it is activated.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorvan::testing {

struct CapturedBox {
  std::string caption;
  std::string text;
};

class MessageBoxCapture {
 public:
  // answer: the command the box is dismissed with (IDOK suits every MB_OK box).
  explicit MessageBoxCapture(int answer = IDOK);
  ~MessageBoxCapture();
  MessageBoxCapture(const MessageBoxCapture&) = delete;
  MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

  const std::vector<CapturedBox>& boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  void Capture(HWND box);

  HHOOK hook_ = nullptr;
  int answer_;
  MessageBoxCapture* outer_ = nullptr;
  std::vector<CapturedBox> boxes_;
};

}  // namespace quorvan::testing
