#include "quillet/edit/hedit_classes.h"

#include "quillet/startup.h"

namespace quillet {
namespace {

int g_recordIndex = 0;

}  // namespace

int HEditRecordIndex() { return g_recordIndex; }

void RegisterHEditClasses() {
  WNDCLASSA edit{};
  GetClassInfoA(nullptr, "edit", &edit);
  g_recordIndex = edit.cbWndExtra;

  WNDCLASSA hedit{};
  hedit.style = kHEditClassStyle;
  hedit.lpfnWndProc = HEditWndProc;
  hedit.cbWndExtra = g_recordIndex + static_cast<int>(sizeof(void*));
  hedit.hInstance = Module().instance;
  hedit.lpszClassName = kHEditSSClass;
  RegisterClassA(&hedit);
  hedit.lpszClassName = kHEditClass;
  RegisterClassA(&hedit);
}

void UnregisterHEditClasses() {
  UnregisterClassA(kHEditClass, Module().instance);
  UnregisterClassA(kHEditSSClass, Module().instance);
}

// The control itself is built on the formatting engine; until then the classes
// behave as plain windows.
LRESULT CALLBACK HEditWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace quillet
