// Tarvik's exports as the host calls them: by name, through pointers of their
// exact types. All are standard-call functions.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "host/loaded_library.h"

namespace quorvan::host {

using QvOleInitFn = int(WINAPI*)();
using QvOleUninitFn = int(WINAPI*)();
using CreateAutomationClientFn = int(WINAPI*)();
using DestroyAutomationClientFn = int(WINAPI*)(int handle);
using SetSilentErrorModeFn = int(WINAPI*)(int handle, int mode);
using GetQuorvanLastErrorFn = int(WINAPI*)(int handle, char* buffer, int size);
using CreateAutoClientDispatchFn = int(WINAPI*)(int handle, const char* progId);
using AttachAutoClientDispatchFn = int(WINAPI*)(int handle, IDispatch* dispatch, int addRef);
using AttachAutoClientActiveObjectFn = int(WINAPI*)(int handle, const char* clsid);
using ReleaseAutoClientDispatchFn = int(WINAPI*)(int handle);
using GetAutoClientDispatchFn = IDispatch*(WINAPI*)(int handle);
using IsInterfaceSupportedFn = int(WINAPI*)(int handle, const char* iid);

// Text helpers: the BSTR is not freed; the block is the host's (process heap).
using GetStringFromBstrFn = char*(WINAPI*)(BSTR text);
using GetBstrFromStringFn = BSTR(WINAPI*)(const char* text);

struct TarvikExports {
  QvOleInitFn qvOleInit = nullptr;
  QvOleUninitFn qvOleUninit = nullptr;
  CreateAutomationClientFn createAutomationClient = nullptr;
  DestroyAutomationClientFn destroyAutomationClient = nullptr;
  SetSilentErrorModeFn setSilentErrorMode = nullptr;
  GetQuorvanLastErrorFn getQuorvanLastError = nullptr;
  CreateAutoClientDispatchFn createAutoClientDispatch = nullptr;
  AttachAutoClientDispatchFn attachAutoClientDispatch = nullptr;
  AttachAutoClientActiveObjectFn attachAutoClientActiveObject = nullptr;
  ReleaseAutoClientDispatchFn releaseAutoClientDispatch = nullptr;
  GetAutoClientDispatchFn getAutoClientDispatch = nullptr;
  IsInterfaceSupportedFn isInterfaceSupported = nullptr;

  explicit TarvikExports(const LoadedLibrary& tarvik)
      : qvOleInit(tarvik.Export<QvOleInitFn>("QvOleInit")),
        qvOleUninit(tarvik.Export<QvOleUninitFn>("QvOleUninit")),
        createAutomationClient(tarvik.Export<CreateAutomationClientFn>("CreateAutomationClient")),
        destroyAutomationClient(
            tarvik.Export<DestroyAutomationClientFn>("DestroyAutomationClient")),
        setSilentErrorMode(tarvik.Export<SetSilentErrorModeFn>("SetSilentErrorMode")),
        getQuorvanLastError(tarvik.Export<GetQuorvanLastErrorFn>("GetQuorvanLastError")),
        createAutoClientDispatch(
            tarvik.Export<CreateAutoClientDispatchFn>("CreateAutoClientDispatch")),
        attachAutoClientDispatch(
            tarvik.Export<AttachAutoClientDispatchFn>("AttachAutoClientDispatch")),
        attachAutoClientActiveObject(
            tarvik.Export<AttachAutoClientActiveObjectFn>("AttachAutoClientActiveObject")),
        releaseAutoClientDispatch(
            tarvik.Export<ReleaseAutoClientDispatchFn>("ReleaseAutoClientDispatch")),
        getAutoClientDispatch(tarvik.Export<GetAutoClientDispatchFn>("GetAutoClientDispatch")),
        isInterfaceSupported(tarvik.Export<IsInterfaceSupportedFn>("IsInterfaceSupported")) {}

  bool Complete() const {
    return qvOleInit && qvOleUninit && createAutomationClient && destroyAutomationClient &&
           setSilentErrorMode && getQuorvanLastError && createAutoClientDispatch &&
           attachAutoClientDispatch && attachAutoClientActiveObject && releaseAutoClientDispatch &&
           getAutoClientDispatch && isInterfaceSupported;
  }
};

}  // namespace quorvan::host
