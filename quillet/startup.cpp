#include "quillet/startup.h"

#include "quillet/edit/hedit_classes.h"
#include "quillet/format/intl_settings.h"

namespace quillet {
namespace {

ModuleHandles g_module;
bool g_started = false;

}  // namespace

const ModuleHandles& Module() { return g_module; }

BOOL LibraryStartup(HINSTANCE instance, DWORD reason) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  g_module.instance = instance;
  if (g_started) return TRUE;
  g_module.ibeamCursor = LoadCursorA(nullptr, IDC_IBEAM);
  g_module.arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
  LoadIntlSettings();
  RegisterHEditClasses();
  g_started = true;
  return TRUE;
}

}  // namespace quillet

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  // Windows keeps a DLL's classes after FreeLibrary. Left registered, they would
  // point into unloaded code, and a later load at another address could not
  // register its own: a dynamic unload takes them away. At process exit
  // (reserved set) there is nothing to tidy.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) quillet::UnregisterHEditClasses();
  return quillet::LibraryStartup(instance, reason);
}
