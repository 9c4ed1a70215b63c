#include "host/demo_input.h"

#include "host/gdi_scope.h"

namespace quorvan::host {
namespace {

// Long enough for the window manager side of the input path (the X server under
// Wine) to deliver one event, short enough for a script of a few hundred keys.
constexpr DWORD kSettleMs = 25;

void Send(INPUT& input) {
  SendInput(1, &input, sizeof input);
  PumpMessages(kSettleMs);
}

INPUT KeyInput(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  // The cursor keys and their block share scan codes with the keypad; the flag
  // says they are the grey keys, as a keyboard's own prefix byte does.
  switch (virtualKey) {
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_DELETE:
    case VK_INSERT:
    case VK_PRIOR:
    case VK_NEXT:
      input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      break;
    default:
      break;
  }
  return input;
}

void KeyDown(WORD virtualKey) {
  INPUT input = KeyInput(virtualKey, false);
  Send(input);
}

void KeyUp(WORD virtualKey) {
  INPUT input = KeyInput(virtualKey, true);
  Send(input);
}

}  // namespace

void PumpMessages(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  MSG message;
  do {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

InputScript::InputScript(HWND topLevel) : topLevel_(topLevel) {
  ShowWindow(topLevel_, SW_SHOW);
  SetForegroundWindow(topLevel_);
  SetActiveWindow(topLevel_);
  PumpMessages(200);
}

void InputScript::MoveTo(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  // Absolute coordinates run from 0 to 65535 over the primary screen.
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((point.x * 65536LL + width / 2) / width);
  input.mi.dy = static_cast<LONG>((point.y * 65536LL + height / 2) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(input);
}

void InputScript::Button(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  Send(input);
}

void InputScript::Click(HWND window, int x, int y) {
  MoveTo(window, x, y);
  Button(MOUSEEVENTF_LEFTDOWN);
  Button(MOUSEEVENTF_LEFTUP);
  PumpMessages(50);
}

void InputScript::DoubleClick(HWND window, int x, int y) {
  MoveTo(window, x, y);
  for (int i = 0; i < 2; ++i) {
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
  }
  PumpMessages(50);
}

void InputScript::ClickCentre(HWND window) {
  RECT area{};
  GetClientRect(window, &area);
  Click(window, area.right / 2, area.bottom / 2);
}

void InputScript::Drag(HWND window, POINT from, POINT to) {
  MoveTo(window, from.x, from.y);
  Button(MOUSEEVENTF_LEFTDOWN);
  // In steps, as a hand moves: the control follows the mouse while captured.
  for (int step = 1; step <= 4; ++step)
    MoveTo(window, from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4);
  Button(MOUSEEVENTF_LEFTUP);
  PumpMessages(50);
}

void InputScript::Key(WORD virtualKey, bool shift, bool control) {
  if (control) KeyDown(VK_CONTROL);
  if (shift) KeyDown(VK_SHIFT);
  KeyDown(virtualKey);
  KeyUp(virtualKey);
  if (shift) KeyUp(VK_SHIFT);
  if (control) KeyUp(VK_CONTROL);
}

void InputScript::Keys(WORD virtualKey, int times, bool shift) {
  for (int i = 0; i < times; ++i) Key(virtualKey, shift);
}

void InputScript::Type(const std::string& text) {
  for (char c : text) {
    const SHORT scan = VkKeyScanA(c);
    if (scan == -1) continue;
    Key(LOBYTE(scan), (HIBYTE(scan) & 1) != 0, (HIBYTE(scan) & 2) != 0);
  }
  PumpMessages(50);
}

int TextWidth(HWND window, const std::string& text) {
  WindowDc dc(window);
  if (!dc.dc()) return 0;
  SelectScope font(dc.dc(), reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc.dc(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

}  // namespace quorvan::host
