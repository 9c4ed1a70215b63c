// Cut, copy and paste of an HEdit control, in the clipboard's CF_TEXT format,
// and text inserted as if typed.
#pragma once

#include <windows.h>

#include "quillet/edit/hedit_info.h"

namespace quillet {

LRESULT CutToClipboard(HEditInfo* info);
LRESULT CopyToClipboard(HEditInfo* info);
LRESULT PasteFromClipboard(HEditInfo* info);

// HEM_COPYSELECTION: the selected characters into a caller's buffer.
LRESULT CopySelection(HEditInfo* info, int capacity, char* buffer);

// Every character of text through the typing rules, a selection deleted first.
void InsertTextAsTyped(HEditInfo* info, const char* text);

}  // namespace quillet
