// The host's view of a client's error channel.
#include <windows.h>

#include "tarvik/frame/export_boundary.h"

using tarvik::SAutoClient;
using tarvik::WithClient;

extern "C" int WINAPI SetSilentErrorMode(int handle, int mode) {
  return WithClient(handle, 0, [mode](SAutoClient& client) {
    client.Errors().SetSilentMode(mode);
    return 1;
  });
}

extern "C" int WINAPI GetQuorvanLastError(int handle, char* buffer, int size) {
  return WithClient(handle, 0, [&](SAutoClient& client) {
    return client.Errors().CopyLastError(buffer, size) ? 1 : 0;
  });
}
