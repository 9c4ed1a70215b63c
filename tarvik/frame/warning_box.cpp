#include "tarvik/frame/warning_box.h"

namespace tarvik {

void ShowWarningBox(HWND owner, const std::string& caption, const std::string& text) {
  MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace tarvik
