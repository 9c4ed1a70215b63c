// The HEdit and HEdit_SS window classes.
#pragma once

#include <windows.h>

namespace quillet {

inline constexpr char kHEditClass[] = "HEdit";
inline constexpr char kHEditSSClass[] = "HEdit_SS";
inline constexpr UINT kHEditClassStyle = CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;

// Registers both classes with Quillet's module instance. The control's record
// pointer lives in the window extra bytes right after those of the system "edit"
// class, whose count is read here.
void RegisterHEditClasses();

// Undoes RegisterHEditClasses when the library is unloaded from a running process.
void UnregisterHEditClasses();

// Byte index of the record pointer in a control's window extra bytes.
int HEditRecordIndex();

struct HEditInfo;

// The control's own message handler; sets *passOn to let a message go on to
// HCommonMsgProc and DefWindowProcA. info is null only for WM_NCCREATE.
LRESULT HEditMsgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, int* passOn,
                     HEditInfo* info);

// Messages every control answers from its record alone. Returns nonzero with
// *result set when it answered.
LRESULT HCommonMsgProc(HEditInfo* info, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT* result);

LRESULT CALLBACK HEditWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quillet
