#include "quillet/edit/hedit_classes.h"

#include "quillet/edit/hedit_info.h"
#include "quillet/startup.h"

namespace quillet {
namespace {

int g_recordIndex = 0;

}  // namespace

int HEditRecordIndex() { return g_recordIndex; }

void RegisterHEditClasses() {
  WNDCLASSA edit{};
  GetClassInfoA(nullptr, "edit", &edit);
  g_recordIndex = edit.cbWndExtra;

  WNDCLASSA hedit{};
  hedit.style = kHEditClassStyle;
  hedit.lpfnWndProc = HEditWndProc;
  hedit.cbWndExtra = g_recordIndex + static_cast<int>(sizeof(void*));
  hedit.hInstance = Module().instance;
  hedit.lpszClassName = kHEditSSClass;
  RegisterClassA(&hedit);
  hedit.lpszClassName = kHEditClass;
  RegisterClassA(&hedit);
}

void UnregisterHEditClasses() {
  UnregisterClassA(kHEditClass, Module().instance);
  UnregisterClassA(kHEditSSClass, Module().instance);
}

namespace {

HEditInfo* RecordOf(HWND hwnd) {
  return reinterpret_cast<HEditInfo*>(GetWindowLongPtrA(hwnd, g_recordIndex));
}

// Keeps the record alive while a message is handled: a window destroyed from a
// notification or the validator is torn down at once, but its record is freed only
// when the outermost message on it returns.
class RecordUse {
 public:
  explicit RecordUse(HEditInfo* info) : info_(info) {
    if (info_) ++info_->nesting;
  }
  ~RecordUse() {
    if (info_ && --info_->nesting == 0 && info_->destroyed) DestroyHEditInfo(info_);
  }
  RecordUse(const RecordUse&) = delete;
  RecordUse& operator=(const RecordUse&) = delete;

 private:
  HEditInfo* info_;
};

}  // namespace

LRESULT HCommonMsgProc(HEditInfo* info, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT* result) {
  if (!info) return 0;
  switch (message) {
    case WM_GETFONT:
      *result = reinterpret_cast<LRESULT>(info->font);
      return 1;
    case HEM_GETMODIFY:
      *result = HasState(info, HES_MODIFIED) ? 1 : 0;
      return 1;
    case HEM_SETQUIET:
      PutState(info, HES_QUIET, wParam != 0);
      *result = 1;
      return 1;
    case HEM_GETQUIET:
      *result = HasState(info, HES_QUIET) ? 1 : 0;
      return 1;
    case HEM_GETNOTIFYWND:
      *result = reinterpret_cast<LRESULT>(info->parent);
      return 1;
    case HEM_SETNOTIFYWND: {
      HWND previous = info->parent;
      info->parent = reinterpret_cast<HWND>(wParam);
      *result = reinterpret_cast<LRESULT>(previous);
      return 1;
    }
    case HEM_GETSTYLE:
      *result = static_cast<LRESULT>(info->style);
      return 1;
    case HEM_SETSTYLE:
      info->style = static_cast<DWORD>(lParam);
      SetWindowLongA(info->hwnd, GWL_STYLE, static_cast<LONG>(lParam));
      *result = 1;
      return 1;
    case HEM_ANSWER:
      SetState(info, HES_ANSWERED);
      *result = 1;
      return 1;
    case HEM_GETEMPTY:
      *result = HasState(info, HES_EMPTY) ? 1 : 0;
      return 1;
    default:
      return 0;
  }
}

LRESULT CALLBACK HEditWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  HEditInfo* info = RecordOf(hwnd);
  if (message == HEM_GETINFO) return reinterpret_cast<LRESULT>(info);
  if (message == HEM_SETINFO) {
    SetWindowLongPtrA(hwnd, g_recordIndex, lParam);
    return 0;
  }
  // A record being torn down answers nothing more.
  if (info && info->destroyed) info = nullptr;
  RecordUse use(info);
  try {
    if (info || message == WM_NCCREATE) {
      int passOn = 0;
      const LRESULT handled = HEditMsgProc(hwnd, message, wParam, lParam, &passOn, info);
      if (!passOn) return handled;
    }
    LRESULT result = 0;
    if (HCommonMsgProc(info && !info->destroyed ? info : nullptr, message, wParam, lParam,
                       &result)) {
      return result;
    }
  } catch (...) {
    // Nothing thrown may unwind into the host's message loop.
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace quillet
