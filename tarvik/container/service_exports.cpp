// The exports that serve a form designer and a running form around a hosted
// control.
#include <windows.h>

#include <string>

#include "tarvik/container/control_services.h"
#include "tarvik/container/ocx_export_boundary.h"
#include "tarvik/container/ole_picture.h"
#include "tarvik/container/toolbox_bitmap.h"
#include "tarvik/frame/export_boundary.h"
#include "tarvik/frame/fault_guard.h"

using tarvik::ExportBoundary;
using tarvik::SOCXControl;

namespace {

// A handle of any other kind of client is not found. Once the client is found
// the answer is 1 whatever the control did: what went wrong has been shown.
template <class Body>
int WithOcxClient(int handle, Body&& body) noexcept {
  return tarvik::WithOcxClient(handle, 0, [&](SOCXControl& control) {
    try {
      body(control);
    } catch (...) {
    }
    return 1;
  });
}

}  // namespace

extern "C" int WINAPI EnableOCXControl(int handle, BOOL enable) {
  return WithOcxClient(handle, [&](SOCXControl& client) { tarvik::EnableControl(client, enable); });
}

extern "C" int WINAPI SetOCXControlCaption(int handle, const char* caption) {
  return WithOcxClient(handle,
                       [&](SOCXControl& client) { tarvik::SetControlCaption(client, caption); });
}

extern "C" int WINAPI GetOCXControlCaption(int handle, char* buffer) {
  return WithOcxClient(handle, [&](SOCXControl& client) {
    const std::string caption = tarvik::GetControlCaption(client);
    if (buffer) tarvik::CopyCaption(caption, buffer);
  });
}

extern "C" int WINAPI DisplayOCXControlProperties(int handle) {
  return WithOcxClient(handle, [](SOCXControl& client) { tarvik::ShowPropertyPages(client); });
}

extern "C" int WINAPI SaveOCXControlProperties(int handle, const char* fileName) {
  return WithOcxClient(handle,
                       [&](SOCXControl& client) { tarvik::SaveProperties(client, fileName); });
}

extern "C" IDispatch* WINAPI LoadOlePicture(const char* fileName) {
  return ExportBoundary(static_cast<IDispatch*>(nullptr),
                        [&] { return tarvik::LoadOlePicture(fileName); });
}

// The one export the caller cleans up after: the host declares it so.
extern "C" int __cdecl ReleaseComPtr(IUnknown* pointer) {
  if (!pointer) return 0;
  bool thrown = false;
  const bool completed = tarvik::RunFaultGuarded([&] {
    try {
      pointer->Release();
    } catch (...) {
      thrown = true;
    }
  });
  return completed && !thrown ? 1 : 0;
}

extern "C" int WINAPI ExtractToolboxBitmap32(const char* outputFile, const char* classText) {
  return ExportBoundary(0, [&] { return tarvik::ExtractToolboxBitmap32(outputFile, classText); });
}
