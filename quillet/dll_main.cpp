#include <windows.h>

#include "quillet/edit/hedit_classes.h"
#include "quillet/startup.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  // Windows keeps a DLL's classes after FreeLibrary. Left registered, they would
  // point into unloaded code, and a later load at another address could not
  // register its own: a dynamic unload takes them away. At process exit
  // (reserved set) there is nothing to tidy.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) quillet::UnregisterHEditClasses();
  return quillet::LibraryStartup(instance, reason);
}
