// HSpinBtn: the host's spin button, an up half and a down half that report each
// step to the parent as WM_NOTIFY/UDN_DELTAPOS and repeat while held.
#pragma once

#include <windows.h>

namespace quorvan::host {

inline constexpr char kSpinButtonClass[] = "HSpinBtn";
// The arrows side by side: left steps down, right steps up.
inline constexpr DWORD kSpinHorizontal = 0x0001;
// Held down, the first repeat comes after this delay, the next ones this often.
inline constexpr UINT kSpinFirstRepeatMs = 300;
inline constexpr UINT kSpinRepeatMs = 60;

bool RegisterSpinButtonClass(HINSTANCE instance);
void UnregisterSpinButtonClass(HINSTANCE instance);

}  // namespace quorvan::host
