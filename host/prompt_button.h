// HPromptBtn: the host's prompt button, showing its caption or a bitmap given with
// BM_SETIMAGE, and reporting a click to the parent as WM_COMMAND/BN_CLICKED.
#pragma once

#include <windows.h>

namespace quorvan::host {

inline constexpr char kPromptButtonClass[] = "HPromptBtn";

bool RegisterPromptButtonClass(HINSTANCE instance);
void UnregisterPromptButtonClass(HINSTANCE instance);

}  // namespace quorvan::host
