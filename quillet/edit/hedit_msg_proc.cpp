#include <cstring>

#include "quillet/edit/button_child.h"
#include "quillet/edit/clipboard.h"
#include "quillet/edit/edit_core.h"
#include "quillet/edit/hedit_classes.h"
#include "quillet/edit/hedit_info.h"
#include "quillet/edit/sub_alloc.h"
#include "quillet/edit/text_view.h"
#include "quillet/edit/value_messages.h"
#include "quillet/format/field_types.h"
#include "quillet/startup.h"

namespace quillet {
namespace {

// The older numbering: WM_USER + n stood for the edit message 0x00B0 + n.
constexpr UINT kLegacyFirst = WM_USER;
constexpr UINT kLegacyLast = WM_USER + 29;
constexpr UINT kEditMessageBase = 0x00B0;

LRESULT HandleNcCreate(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  if (!create) return 0;
  HEditInfo* info = CreateHEditInfo(hwnd, *create);
  if (!info) return 0;
  const LRESULT result = DefWindowProcA(hwnd, WM_NCCREATE, wParam, lParam);
  SendMessageA(hwnd, HEM_SETINFO, 0, reinterpret_cast<LPARAM>(info));
  if (info->typeCode == 'k') StartClock(info);
  SendMessageA(hwnd, WM_SETFONT, 0, 0);
  Render(info, false);
  return result;
}

void HandleNcDestroy(HWND hwnd, HEditInfo* info) {
  info->validator = nullptr;
  if (HasState(info, HES_FOCUS)) {
    // Torn down from inside one of its own notifications, the control keeps what
    // was typed but tells the parent nothing more.
    const bool nested = info->nesting > 1;
    if (nested) SetState(info, HES_QUIET);
    ClearState(info, HES_FOCUS);
    Commit(info);
  }
  if (info->typeCode == 'k') KillTimer(hwnd, kClockTimer);
  SendMessageA(hwnd, HEM_SETINFO, 0, 0);
  // The record goes when the outermost message on it returns.
  info->destroyed = true;
}

LRESULT HandleSetFont(HEditInfo* info, WPARAM wParam, LPARAM lParam) {
  DefWindowProcA(info->hwnd, WM_SETFONT, wParam, lParam);
  int averageWidth = 0;
  MeasureFont(reinterpret_cast<HFONT>(wParam), &info->charHeight, &averageWidth);
  info->font = reinterpret_cast<HFONT>(wParam);
  SetTextRect(info, nullptr);
  SendMessageA(info->hwnd, WM_SIZE, 0, 0);
  if (info->destroyed) return 1;
  LayoutButton(info);
  if (LOWORD(lParam)) InvalidateRect(info->hwnd, nullptr, TRUE);
  return 1;
}

LRESULT HandleSetCursor(HEditInfo* info, WPARAM wParam, LPARAM lParam, int* passOn) {
  const UINT hit = LOWORD(lParam);
  const UINT mouseMessage = HIWORD(lParam);
  if (reinterpret_cast<HWND>(wParam) != info->hwnd || mouseMessage == 0) return 0;
  if (hit == HTHSCROLL || hit == HTVSCROLL) {
    *passOn = 1;
    return 0;
  }
  SetCursor(Module().ibeamCursor);
  return 1;
}

LRESULT HandleGetSel(HEditInfo* info, WPARAM wParam, LPARAM lParam) {
  const int start = info->anchor < info->caret ? info->anchor : info->caret;
  const int end = info->anchor < info->caret ? info->caret : info->anchor;
  if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
  if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
  return MAKELONG(start, end);
}

// The system edit control's meaning: start and end of the selection, the caret at
// the end; -1 as start removes the selection, -1 as end means the end of the text.
LRESULT HandleSetSel(HEditInfo* info, WPARAM wParam, LPARAM lParam) {
  const int start = static_cast<int>(static_cast<INT_PTR>(wParam));
  const int end = static_cast<int>(lParam);
  if (start == -1) {
    SetSelection(info, kSelectBoth, info->caret, info->caret);
  } else {
    SetSelection(info, kSelectBoth, start, end);
  }
  return 1;
}

LRESULT HandleSetSelection(HEditInfo* info, WPARAM wParam, LPARAM lParam) {
  if ((info->style & ES_NOHIDESEL) && wParam == 0 && lParam == 0xFFFE) return 0;
  const int length = TextLength(info);
  int anchor = static_cast<short>(LOWORD(wParam));
  int caret = static_cast<int>(lParam);
  if (anchor < 0) anchor = 0;
  if (anchor > length) anchor = length;
  if (caret < 0 || caret > length) caret = length;
  SetSelection(info, kSelectBoth, anchor, caret);
  return 1;
}

LRESULT HandleGetValue(HEditInfo* info, WPARAM wParam, LPARAM lParam) {
  if (HasState(info, HES_FOCUS)) {
    Commit(info);
    if (info->destroyed) return 0;
  }
  if (!lParam || HasState(info, HES_EMPTY)) return 0;
  // Text values fill at most the caller's capacity; fixed values their own size.
  const int capacity = ValueSize(info->typeCode, info->storageCode) < 0
                           ? static_cast<int>(static_cast<INT_PTR>(wParam))
                           : info->valueSize;
  return CopyValue(reinterpret_cast<void*>(lParam), info->value, info->typeCode, info->storageCode,
                   capacity);
}

LRESULT HandleCommitMessage(HEditInfo* info, WPARAM wParam, LPARAM lParam) {
  int error = 0;
  if (wParam) {
    error = Commit(info);
    if (info->destroyed) return error;
  }
  if (!wParam || lParam) RenderCurrentForm(info);
  return error;
}

}  // namespace

LRESULT HEditMsgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, int* passOn,
                     HEditInfo* info) {
  if (message == WM_NCCREATE) return HandleNcCreate(hwnd, wParam, lParam);
  if (!info) {
    *passOn = 1;
    return 0;
  }
  if (message >= kLegacyFirst && message <= kLegacyLast) {
    if (message == kLegacyFirst) {
      // Its parameters were the selection's two words packed into lParam, never
      // pointers: the answer is the selection itself.
      return HandleGetSel(info, 0, 0);
    }
    return HEditMsgProc(hwnd, kEditMessageBase + (message - kLegacyFirst), wParam, lParam, passOn,
                        info);
  }
  switch (message) {
    case WM_NCDESTROY:
      HandleNcDestroy(hwnd, info);
      *passOn = 1;
      return 0;
    case WM_DESTROY:
      DestroyButton(info);
      *passOn = 1;
      return 0;
    case WM_SIZE:
      LayoutButton(info);
      SetTextRect(info, nullptr);
      *passOn = 1;
      return 0;
    case WM_ENABLE:
      EnableButton(info, wParam, lParam);
      *passOn = 1;
      return 0;
    case WM_NCHITTEST:
      if (IsOverButton(info, lParam)) return HTTRANSPARENT;
      *passOn = 1;
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (RouteSpinNotify(info, lParam, &result)) return result;
      *passOn = 1;
      return 0;
    }
    case WM_COMMAND: {
      LRESULT result = 0;
      if (RouteButtonCommand(info, wParam, lParam, &result)) return result;
      *passOn = 1;
      return 0;
    }
    case WM_SETTEXT:
      return HandleSetText(info, reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT:
      return HandleGetText(info, static_cast<short>(LOWORD(wParam)),
                           reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
      return HandleGetTextLength(info);
    case WM_TIMER:
      if (wParam == kClockTimer) HandleClockTick(info);
      return 0;
    case WM_CLEAR:
      return HandleClear(info);
    case EM_LIMITTEXT:
      return HandleLimitText(info, static_cast<int>(static_cast<INT_PTR>(wParam)));
    case HEM_GETFILLCHAR:
      return static_cast<signed char>(info->fillChar);
    case HEM_SETFILLCHAR:
      if (static_cast<char>(wParam) == 0) return -3;
      info->fillChar = static_cast<char>(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 1;
    case HEM_GETMASK:
      return HandleGetMask(info, static_cast<short>(LOWORD(wParam)),
                           reinterpret_cast<char*>(lParam));
    case HEM_SETMASK:
      return HandleSetMask(info, wParam != 0, reinterpret_cast<const char*>(lParam));
    case HEM_GETMAX:
      return HandleGetBound(info, kMaximumSet, reinterpret_cast<void*>(lParam));
    case HEM_SETMAX:
      return HandleSetBound(info, kMaximumSet, reinterpret_cast<const void*>(lParam));
    case HEM_GETMIN:
      return HandleGetBound(info, kMinimumSet, reinterpret_cast<void*>(lParam));
    case HEM_SETMIN:
      return HandleSetBound(info, kMinimumSet, reinterpret_cast<const void*>(lParam));
    case HEM_BINDVALUE:
      return HandleBindValue(info, wParam, reinterpret_cast<void*>(lParam));
    case WM_CUT:
      return CutToClipboard(info);
    case WM_COPY:
      return CopyToClipboard(info);
    case WM_PASTE:
      return PasteFromClipboard(info);
    case HEM_COPYSELECTION:
      return CopySelection(info, static_cast<int>(static_cast<INT_PTR>(wParam)),
                           reinterpret_cast<char*>(lParam));
    case HEM_INSERTTEXT:
      InsertTextAsTyped(info, reinterpret_cast<const char*>(lParam));
      return 1;
    case HEM_SETBUTTON:
      info->buttonCaption = reinterpret_cast<char*>(lParam);
      SetButton(info, wParam, reinterpret_cast<const char*>(lParam));
      if (!info->destroyed) SetTextRect(info, nullptr);
      return 0;
    case HEM_GETBUTTON:
      return reinterpret_cast<LRESULT>(info->button);
    case HEM_SETBUTTONIMAGE:
      info->buttonImage = reinterpret_cast<HANDLE>(lParam);
      *passOn = 1;
      return 0;
    case WM_SETFOCUS:
      FocusEntry(info);
      return 1;
    case WM_KILLFOCUS:
      FocusExit(info, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_PAINT:
      return PaintControl(info);
    case WM_ERASEBKGND:
      return EraseControlBackground(info, reinterpret_cast<HDC>(wParam));
    case WM_SETCURSOR:
      return HandleSetCursor(info, wParam, lParam, passOn);
    case WM_SETFONT:
      return HandleSetFont(info, wParam, lParam);
    case WM_GETDLGCODE:
      return (info->style & ES_WANTRETURN) ? 0x0C : 0x89;
    case WM_KEYDOWN:
      HandleKeyDown(info, wParam);
      *passOn = 1;
      return 0;
    case WM_KEYUP:
      HandleKeyUp(info, wParam);
      *passOn = 1;
      return 0;
    case WM_SYSKEYDOWN:
      HandleSysKeyDown(info, wParam);
      *passOn = 1;
      return 0;
    case WM_CHAR:
      TypeCharacter(info, static_cast<char>(wParam));
      *passOn = 1;
      return 0;
    case WM_HSCROLL:
      HandleHScroll(info, wParam);
      *passOn = 1;
      return 0;
    case WM_MOUSEMOVE:
      return HandleMouseMove(info, static_cast<short>(LOWORD(lParam)));
    case WM_LBUTTONDOWN:
      return HandleLButtonDown(info, wParam, static_cast<short>(LOWORD(lParam)));
    case WM_LBUTTONUP:
      return HandleLButtonUp(info);
    case WM_LBUTTONDBLCLK:
      return HandleLButtonDblClk(info, wParam, lParam);
    case WM_UNDO:
    case EM_UNDO:
      return Undo(info);
    case EM_CANUNDO:
      return 1;
    case EM_GETSEL:
      return HandleGetSel(info, wParam, lParam);
    case EM_SETSEL:
      return HandleSetSel(info, wParam, lParam);
    case EM_SETRECT:
    case EM_SETRECTNP:
      // The text rectangle follows the window; the answer is what hosts expect.
      return reinterpret_cast<LRESULT>(info->focusBrush);
    case EM_GETMODIFY:
      return SendMessageA(hwnd, HEM_GETMODIFY, 0, 0);
    case EM_SETMODIFY:
      PutState(info, HES_MODIFIED, wParam != 0);
      return 1;
    case HEM_GETVALUE:
      return HandleGetValue(info, wParam, lParam);
    case HEM_SETVALUE:
      return SetValue(info, reinterpret_cast<const void*>(lParam));
    case EM_GETRECT:
    case HEM_GETTEXTRECT:
      if (!lParam) return -2;
      *reinterpret_cast<RECT*>(lParam) = info->textRect;
      return 1;
    case HEM_SETTEXTRECT:
      SetTextRect(info, reinterpret_cast<const RECT*>(lParam));
      if (wParam) RenderCurrentForm(info);
      return 1;
    case HEM_GETMAXLENGTH:
      return info->maxLength;
    case HEM_GETOVERWRITE:
      return OverwriteMode();
    case HEM_SETOVERWRITE:
      SetOverwriteMode(static_cast<int>(wParam));
      if (HasState(info, HES_FOCUS)) {
        CreateEditCaret(info);
        PlaceCaret(info, info->caret);
      }
      return 1;
    case HEM_GETSCROLLPOS:
      return info->scrollPos;
    case HEM_SETSCROLLPOS:
      ScrollBy(info, static_cast<int>(wParam) - info->scrollPos);
      return 1;
    case HEM_SETSELECTION:
      return HandleSetSelection(info, wParam, lParam);
    case HEM_COMMIT:
      return HandleCommitMessage(info, wParam, lParam);
    case HEM_GETVALIDATOR:
      return reinterpret_cast<LRESULT>(info->validator);
    case HEM_SETVALIDATOR:
      info->validator = reinterpret_cast<FieldValidator>(lParam);
      return 1;
    case HEM_VALIDATE:
      if (!info->validator) return -1;
      return info->validator(hwnd, static_cast<UINT>(GetWindowLongA(hwnd, GWL_ID)), info->value);
    case HEM_REFOCUS:
      SetFocus(nullptr);
      SetFocus(hwnd);
      return 1;
    case HEM_GETTEXTPTR:
    case HEM_GETTEXTBUFFER:
      return reinterpret_cast<LRESULT>(info->text);
    case HEM_GETMASKPTR:
      return reinterpret_cast<LRESULT>(info->mask);
    case HEM_GETBKBRUSH:
      return reinterpret_cast<LRESULT>(info->bkBrush);
    case HEM_SETBKBRUSH: {
      HBRUSH previous = info->bkBrush;
      info->bkBrush = reinterpret_cast<HBRUSH>(wParam);
      return reinterpret_cast<LRESULT>(previous);
    }
    case HEM_GETFOCUSBRUSH:
      return reinterpret_cast<LRESULT>(info->focusBrush);
    case HEM_SETFOCUSBRUSH: {
      HBRUSH previous = info->focusBrush;
      info->focusBrush = reinterpret_cast<HBRUSH>(wParam);
      return reinterpret_cast<LRESULT>(previous);
    }
    case HEM_GETCOLOR:
      return wParam ? info->altTextColor : info->textColor;
    case HEM_SETCOLOR:
      (wParam ? info->altTextColor : info->textColor) = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 1;
    case HEM_GETTYPE:
      return static_cast<signed char>(info->typeCode);
    case HEM_GETVALUESIZE:
      return info->valueSize;
    case HEM_GETSTORAGE:
      return static_cast<signed char>(info->storageCode);
    case HEM_GETMODIFY:
      if (HasState(info, HES_FOCUS) && HasState(info, HES_DIRTY) && !HasState(info, HES_MODIFIED)) {
        Commit(info);
      }
      *passOn = 1;
      return 0;
    case HEM_SETMODIFY:
      PutState(info, HES_MODIFIED, wParam != 0);
      return 1;
    case HEM_GETSTATE:
      return info->state;
    case HEM_SETSTATE:
      if (lParam) {
        SetState(info, static_cast<WORD>(wParam));
      } else {
        ClearState(info, static_cast<WORD>(wParam));
      }
      return 1;
    default:
      *passOn = 1;
      return 0;
  }
}

}  // namespace quillet
