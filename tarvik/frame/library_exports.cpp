// Library start-up and shutdown, and the creation and destruction of clients.
#include <windows.h>

#include "tarvik/frame/export_boundary.h"

using tarvik::ExportBoundary;
using tarvik::TheApp;

namespace {

// The host expects this value from initialisation, whatever the apartment said.
constexpr int kInitialisedVersion = 1600;

}  // namespace

extern "C" int WINAPI QvOleInit() {
  return ExportBoundary(kInitialisedVersion, [] {
    TheApp().InitLibrary();
    return kInitialisedVersion;
  });
}

extern "C" int WINAPI QvOleUninit() {
  return ExportBoundary(1, [] { return TheApp().TermLibrary(); });
}

extern "C" int WINAPI CreateAutomationClient() {
  return ExportBoundary(0, [] { return TheApp().AddAutomationClient(); });
}

// 0 once destroyed, so the host can assign the result back to its handle.
extern "C" int WINAPI DestroyAutomationClient(int handle) {
  return ExportBoundary(handle, [handle] { return TheApp().RemoveClient(handle) ? 0 : handle; });
}
