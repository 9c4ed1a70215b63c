// The exports that connect a client to a server object and disconnect it.
#include <windows.h>

#include <oaidl.h>

#include "tarvik/frame/export_boundary.h"

using tarvik::SAutoClient;
using tarvik::WithClient;

extern "C" int WINAPI CreateAutoClientDispatch(int handle, const char* progId) {
  return WithClient(handle, 0,
                    [&](SAutoClient& client) { return client.CreateFromProgId(progId); });
}

extern "C" int WINAPI AttachAutoClientDispatch(int handle, IDispatch* dispatch, int addRef) {
  return WithClient(handle, 0,
                    [&](SAutoClient& client) { return client.AttachToDispatch(dispatch, addRef); });
}

extern "C" int WINAPI AttachAutoClientActiveObject(int handle, const char* clsid) {
  return WithClient(handle, 0,
                    [&](SAutoClient& client) { return client.AttachActiveObject(clsid); });
}

extern "C" int WINAPI ReleaseAutoClientDispatch(int handle) {
  return WithClient(handle, 0, [](SAutoClient& client) { return client.DetachDispatch(); });
}

extern "C" IDispatch* WINAPI GetAutoClientDispatch(int handle) {
  return WithClient(handle, static_cast<IDispatch*>(nullptr),
                    [](SAutoClient& client) { return client.ProbeDispatch(); });
}

extern "C" int WINAPI IsInterfaceSupported(int handle, const char* iid) {
  return WithClient(handle, 0, [&](SAutoClient& client) { return client.SupportsInterface(iid); });
}
