#include "quillet/edit/edit_core.h"
#include "quillet/edit/text_view.h"

namespace quillet {
namespace {

char g_pendingKeypadDecimal = 0;

constexpr int kEndOfText = 0x7FFF;

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Letters, digits and punctuation make words; white space separates them.
bool IsWordCharacter(char character) {
  const auto c = static_cast<unsigned char>(character);
  return c > 0x20 && c != 0x7F;
}

void MoveTo(HEditInfo* info, int target, bool extend) {
  const int length = TextLength(info);
  if (target < 0) target = 0;
  if (target > length) target = length;
  if (extend) {
    SetSelection(info, kSelectCaret, info->anchor, target);
  } else {
    SetSelection(info, kSelectBoth, target, target);
  }
}

void Revert(HEditInfo* info) {
  RenderCurrentForm(info);
  SetSelection(info, kSelectBoth, 0, -1);
}

char SystemDecimalSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) <= 0 ||
      !separator[0]) {
    return '.';
  }
  return separator[0];
}

}  // namespace

char TakePendingKeypadDecimal() {
  const char pending = g_pendingKeypadDecimal;
  g_pendingKeypadDecimal = 0;
  return pending;
}

int NextWordStart(const HEditInfo* info, int position) {
  const int length = TextLength(info);
  if (position < 0) position = 0;
  while (position < length && IsWordCharacter(info->text[position])) ++position;
  while (position < length && !IsWordCharacter(info->text[position])) ++position;
  return position;
}

int PreviousWordStart(const HEditInfo* info, int position) {
  const int length = TextLength(info);
  if (position > length) position = length;
  while (position > 0 && !IsWordCharacter(info->text[position - 1])) --position;
  while (position > 0 && IsWordCharacter(info->text[position - 1])) --position;
  return position;
}

void HandleKeyDown(HEditInfo* info, WPARAM key) {
  if (HasState(info, HES_DISPLAY)) return;
  g_pendingKeypadDecimal = 0;
  const bool shift = KeyDown(VK_SHIFT);
  const bool control = KeyDown(VK_CONTROL);
  switch (key) {
    case VK_TAB:
      SendMessageA(GetParent(info->hwnd), WM_NEXTDLGCTL, shift ? 1 : 0, 0);
      if (!info->destroyed) NotifyParent(info, shift ? HEN_BACKTAB : HEN_TAB);
      return;
    case VK_RETURN:
      NotifyParent(info, HEN_ENTER);
      return;
    case VK_ESCAPE:
      NotifyParent(info, HEN_ESCAPE);
      return;
    case VK_F1:
      NotifyParent(info, HEN_HELP);
      if (!info->destroyed) NotifyParent(info, HEN_ESCAPE);
      return;
    case VK_F2:
      HideCaret(info->hwnd);
      Commit(info);
      if (!info->destroyed) Render(info, false);
      return;
    case VK_HOME:
      MoveTo(info, 0, shift);
      return;
    case VK_END:
      MoveTo(info, kEndOfText, shift);
      return;
    case VK_LEFT:
    case VK_UP:
      MoveTo(info, control ? PreviousWordStart(info, info->caret) : info->caret - 1, shift);
      return;
    case VK_RIGHT:
    case VK_DOWN:
      MoveTo(info, control ? NextWordStart(info, info->caret) : info->caret + 1, shift);
      return;
    case VK_INSERT:
      if (shift) {
        SendMessageA(info->hwnd, WM_PASTE, 0, 0);
      } else if (control) {
        SendMessageA(info->hwnd, WM_COPY, 0, 0);
      } else {
        SetOverwriteMode(!OverwriteMode());
        CreateEditCaret(info);
        PlaceCaret(info, info->caret);
      }
      return;
    case VK_DELETE:
      if (shift) {
        SendMessageA(info->hwnd, WM_CUT, 0, 0);
      } else if (!(info->style & HS_READONLY)) {
        DeleteAtCaret(info, true);
      }
      return;
    case VK_DECIMAL:
      g_pendingKeypadDecimal = SystemDecimalSeparator();
      return;
    default:
      break;
  }
  if (!control) return;
  switch (key) {
    case 'C':
      SetState(info, HES_SKIPCHAR);
      SendMessageA(info->hwnd, WM_COPY, 0, 0);
      return;
    case 'V':
      SendMessageA(info->hwnd, WM_PASTE, 0, 0);
      return;
    case 'X':
      SendMessageA(info->hwnd, WM_CUT, 0, 0);
      return;
    case 'Z':
      Revert(info);
      return;
    default:
      return;
  }
}

void HandleKeyUp(HEditInfo* info, WPARAM key) {
  if (key != VK_F2 || !HasState(info, HES_DISPLAY) || !HasState(info, HES_FOCUS)) return;
  ShowCaret(info->hwnd);
  const int anchor = info->anchor;
  const int caret = info->caret;
  RenderCurrentForm(info);
  SetSelection(info, kSelectBoth, anchor, caret);
}

void HandleSysKeyDown(HEditInfo* info, WPARAM key) {
  if (key == VK_BACK && !HasState(info, HES_DISPLAY)) Revert(info);
}

}  // namespace quillet
