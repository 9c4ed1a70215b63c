// The one child an HEdit control can carry at its right edge: a prompt button or
// a spin button of the host's classes, whose notifications the control turns
// into private messages to itself for the host's subclass to act on.
#pragma once

#include <windows.h>

#include "quillet/edit/hedit_info.h"

namespace quillet {

// HEM_SETBUTTON: kind 0 destroys the child, 1 makes a prompt button, 2 and 3
// spin buttons (only when there is no child yet).
void SetButton(HEditInfo* info, WPARAM kind, const char* caption);

// Lays the child out at the right edge (WM_SIZE, WM_SETFONT, HEM_SETBUTTON).
void LayoutButton(HEditInfo* info);

// WM_DESTROY of the control.
void DestroyButton(HEditInfo* info);

// WM_ENABLE, passed on unchanged.
void EnableButton(HEditInfo* info, WPARAM wParam, LPARAM lParam);

// WM_NCHITTEST: true over the child (the answer is then HTTRANSPARENT).
bool IsOverButton(HEditInfo* info, LPARAM screenPoint);

// WM_NOTIFY from the spin child: true when it was a step, with *result set.
bool RouteSpinNotify(HEditInfo* info, LPARAM lParam, LRESULT* result);

// WM_COMMAND from the child: true when handled, with *result set.
bool RouteButtonCommand(HEditInfo* info, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace quillet
