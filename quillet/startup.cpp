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
