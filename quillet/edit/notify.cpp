#include "quillet/edit/edit_core.h"

namespace quillet {

int NotifyParent(HEditInfo* info, WORD code) {
  if (!info->parent || HasState(info, HES_QUIET) || info->destroyed) return 0;
  ClearState(info, HES_ANSWERED);
  SendMessageA(info->parent, WM_COMMAND, MAKEWPARAM(info->id, code),
               reinterpret_cast<LPARAM>(info->hwnd));
  // The parent may have destroyed the control meanwhile; the record is still there
  // (it is freed when the outermost message returns) and says so.
  if (info->destroyed) return 1;
  const bool answered = HasState(info, HES_ANSWERED);
  ClearState(info, HES_ANSWERED);
  return answered ? 1 : 0;
}

}  // namespace quillet
