#include "tests/support/message_box_capture.h"

namespace quorvan::testing {
namespace {

thread_local MessageBoxCapture* t_active = nullptr;

// The static control that carries a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

bool IsDialog(HWND window) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  return lstrcmpA(className, "#32770") == 0;
}

}  // namespace

MessageBoxCapture::MessageBoxCapture(int answer) : answer_(answer), outer_(t_active) {
  hook_ = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
  t_active = this;
}

MessageBoxCapture::~MessageBoxCapture() {
  if (hook_) UnhookWindowsHookEx(hook_);
  t_active = outer_;
}

LRESULT CALLBACK MessageBoxCapture::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && t_active) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (IsDialog(window) && GetDlgItem(window, kMessageBoxTextId)) t_active->Capture(window);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCapture::Capture(HWND box) {
  // A box is activated more than once (e.g. after focus moves); record it once.
  if (GetPropA(box, "QuorvanCaptured")) return;
  SetPropA(box, "QuorvanCaptured", reinterpret_cast<HANDLE>(1));
  boxes_.push_back({WindowText(box), WindowText(GetDlgItem(box, kMessageBoxTextId))});
  // Posted, so the box ends through its own message loop exactly as if clicked.
  // Without the chosen button, the box's default button answers, as Enter would.
  int command = answer_;
  if (!GetDlgItem(box, command)) {
    LRESULT defaultId = SendMessageA(box, DM_GETDEFID, 0, 0);
    command = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDCANCEL;
  }
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
}

}  // namespace quorvan::testing
