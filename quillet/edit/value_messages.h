// The handlers of the control's own messages about its value, text, mask and
// bounds, and of the clock field.
#pragma once

#include <windows.h>

#include "quillet/edit/hedit_info.h"

namespace quillet {

// The clock field's timer.
inline constexpr UINT kClockTimer = 1;
void StartClock(HEditInfo* info);

LRESULT HandleSetText(HEditInfo* info, const char* text);
LRESULT HandleGetText(HEditInfo* info, int capacity, char* buffer);
LRESULT HandleGetTextLength(HEditInfo* info);
LRESULT HandleSetMask(HEditInfo* info, bool rerender, const char* text);
LRESULT HandleGetMask(HEditInfo* info, int capacity, char* buffer);
LRESULT HandleSetBound(HEditInfo* info, WORD which, const void* value);
LRESULT HandleGetBound(HEditInfo* info, WORD which, void* buffer);
LRESULT HandleLimitText(HEditInfo* info, int limit);
LRESULT HandleBindValue(HEditInfo* info, WPARAM direction, void* buffer);
LRESULT HandleClear(HEditInfo* info);
void HandleClockTick(HEditInfo* info);

}  // namespace quillet
