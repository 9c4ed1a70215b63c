// The library's one way of showing a message: modal, warning icon, OK button.
#pragma once

#include <windows.h>

#include <string>

namespace tarvik {

// A box that cannot be shown is ignored; what the user clicks changes nothing.
void ShowWarningBox(HWND owner, const std::string& caption, const std::string& text);

}  // namespace tarvik
