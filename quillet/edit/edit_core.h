// The editing core of an HEdit control: keys, typing, deletion, and the cycle of
// rendering the value into text and committing the text back into the value.
#pragma once

#include <windows.h>

#include "quillet/edit/hedit_info.h"

namespace quillet {

// Sends a WM_COMMAND notification to the parent. Returns 1 when the parent
// answered it with HEM_ANSWER, 0 otherwise (also when quiet or without parent).
// After it the caller checks info->destroyed: the parent may have destroyed the
// control.
int NotifyParent(HEditInfo* info, WORD code);

// Process-wide insert (0) or overwrite (1) mode.
int OverwriteMode();
void SetOverwriteMode(int mode);

// Word starts for Ctrl+arrows and double clicks.
int NextWordStart(const HEditInfo* info, int position);
int PreviousWordStart(const HEditInfo* info, int position);

// The decimal separator a numeric-keypad Decimal key left for the character that
// follows it (0: none); taking it clears it.
char TakePendingKeypadDecimal();

void HandleKeyDown(HEditInfo* info, WPARAM key);
void HandleKeyUp(HEditInfo* info, WPARAM key);
void HandleSysKeyDown(HEditInfo* info, WPARAM key);
void TypeCharacter(HEditInfo* info, char character);
void DeleteAtCaret(HEditInfo* info, bool advancing);
void DeleteSelection(HEditInfo* info);

// Rebuilds the text from the value: editing = the edit form, else the display form.
void Render(HEditInfo* info, bool editing);
inline void RenderCurrentForm(HEditInfo* info) { Render(info, HasState(info, HES_FOCUS)); }

// Parses text (the control's own when null) into the value. 0 = accepted.
int Commit(HEditInfo* info, const char* text = nullptr);

// Sets the value (null: empty). 1, or -5 when a string field cannot grow.
int SetValue(HEditInfo* info, const void* value);

void FocusEntry(HEditInfo* info);
void FocusExit(HEditInfo* info, HWND gaining);
int Undo(HEditInfo* info);

}  // namespace quillet
