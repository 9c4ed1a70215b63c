// The exports that create OCX clients and the controls inside them.
#include <windows.h>

#include "tarvik/container/ocx_export_boundary.h"

using tarvik::ExportBoundary;
using tarvik::SOCXControl;
using tarvik::TheApp;
using tarvik::WithClient;

namespace {

template <class Body>
int WithOcxClient(int handle, Body&& body) noexcept {
  return tarvik::WithOcxClient(handle, 0, body);
}

}  // namespace

extern "C" int WINAPI CreateOCXClient() {
  return ExportBoundary(0, [] { return TheApp().AddOcxClient(); });
}

extern "C" int WINAPI CreateOCXControlEx(int handle, HWND hostWnd, const char* classText,
                                         const char* caption, DWORD style, const char* creationKey,
                                         const char* persistFile, BOOL designMode) {
  return WithOcxClient(handle, [&](SOCXControl& client) {
    return client.CreateOCXControlEx(hostWnd, classText, caption, style, creationKey, persistFile,
                                     designMode);
  });
}

extern "C" int WINAPI CreateOCXControl(int handle, HWND hostWnd, const char* classText,
                                       const char* caption, DWORD style, const char* creationKey,
                                       const char* persistFile) {
  return WithOcxClient(handle, [&](SOCXControl& client) {
    return client.CreateOCXControlEx(hostWnd, classText, caption, style, creationKey, persistFile,
                                     FALSE);
  });
}

extern "C" int WINAPI DestroyOCXControl(int handle) {
  return WithOcxClient(handle, [](SOCXControl& client) {
    client.DestroyHostedControl();
    return 1;
  });
}
