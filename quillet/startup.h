// Process-wide handles that Quillet's start-up keeps for the edit control.
#pragma once

#include <windows.h>

namespace quillet {

struct ModuleHandles {
  HINSTANCE instance = nullptr;  // the window classes are registered with it
  HCURSOR ibeamCursor = nullptr;
  HCURSOR arrowCursor = nullptr;
};

const ModuleHandles& Module();

// The library's process entry: once per process, at the first process attach,
// loads the two cursors, reads the international settings and registers the
// edit window classes. Always returns TRUE.
BOOL LibraryStartup(HINSTANCE instance, DWORD reason);

}  // namespace quillet
