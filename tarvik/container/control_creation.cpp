// Creating a control in a host window and tearing it down again.
#include <ole2.h>

#include <memory>
#include <string>
#include <utility>

#include "tarvik/container/control_wnd.h"
#include "tarvik/container/ocx_control.h"
#include "tarvik/container/parent_wnd.h"
#include "tarvik/frame/ansi_text.h"
#include "tarvik/frame/com_handles.h"

namespace tarvik {
namespace {

bool HasText(const char* text) { return text && *text; }

bool ClassFromText(const char* text, CLSID* clsid) {
  if (!HasText(text)) return false;
  const std::wstring wide = WideFromAnsi(text);
  const HRESULT status =
      text[0] == '{' ? CLSIDFromString(wide.c_str(), clsid) : CLSIDFromProgID(wide.c_str(), clsid);
  return SUCCEEDED(status);
}

struct FileHandle {
  HANDLE handle;
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

// The persist file read whole into memory and opened there as a compound file,
// so the control's storage does not hold the file open.
ComPtr<IStorage> OpenPersistFile(const char* path) {
  FileHandle file{CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.handle, &size) || size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) {
    return {};
  }
  const DWORD length = static_cast<DWORD>(size.QuadPart);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length);
  if (!memory) return {};
  DWORD read = 0;
  void* bytes = GlobalLock(memory);
  const bool complete =
      bytes && ReadFile(file.handle, bytes, length, &read, nullptr) && read == length;
  if (bytes) GlobalUnlock(memory);
  if (!complete) {
    GlobalFree(memory);
    return {};
  }
  ComPtr<ILockBytes> lockBytes;
  if (FAILED(CreateILockBytesOnHGlobal(memory, TRUE, lockBytes.Receive()))) {
    GlobalFree(memory);
    return {};
  }
  ComPtr<IStorage> storage;
  if (FAILED(StgOpenStorageOnILockBytes(lockBytes.Get(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                        nullptr, 0, storage.Receive()))) {
    return {};
  }
  return storage;
}

SIZE OuterSize(HWND window) {
  RECT outer = {};
  GetWindowRect(window, &outer);
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

}  // namespace

int SOCXControl::CreateOCXControlEx(HWND hostWnd, const char* classText, const char* caption,
                                    DWORD style, const char* creationKey, const char* persistFile,
                                    BOOL designModeArg) {
  ComPtr<IStorage> persisted;
  if (HasText(persistFile)) persisted = OpenPersistFile(persistFile);
  return CreateHostedControl(hostWnd, classText, caption, style, creationKey, persisted.Get(),
                             designModeArg);
}

int SOCXControl::CreateHostedControl(HWND hostWnd, const char* classText, const char* caption,
                                     DWORD style, const char* creationKey, IStorage* persisted,
                                     BOOL designModeArg) {
  if (Attached()) {
    ReportError("Allready attached to an IDispatch interface");
    return 0;
  }
  // A control that outlived its dispatch (released by the host) goes first, and
  // so does the picture source of an earlier design-mode control.
  if (created) DestroyHostedControl();
  if (IUnknown* previous = std::exchange(controlWnd->designUnknown, nullptr)) previous->Release();
  parentWnd = std::make_unique<SOCXParentWnd>(hostWnd, controlWnd.get());
  if (!parentWnd->Handle()) {
    parentWnd.reset();
    return 0;
  }
  const SIZE hostSize = OuterSize(hostWnd);
  const RECT rect{0, 0, hostSize.cx, hostSize.cy};

  designMode = designModeArg ? 1 : 0;
  if (designMode && (style & WS_TABSTOP)) {
    SetWindowLongPtrA(hostWnd, GWL_STYLE, GetWindowLongPtrA(hostWnd, GWL_STYLE) | WS_TABSTOP);
    style &= ~static_cast<DWORD>(WS_TABSTOP);
  }
  UniqueBstr key;
  if (HasText(creationKey)) {
    const std::wstring wide = WideFromAnsi(creationKey);
    key.Reset(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
  }
  const std::wstring captionText = HasText(caption) ? WideFromAnsi(caption) : std::wstring();

  ControlCreation creation = {};
  const bool known = ClassFromText(classText, &creation.clsid);
  creation.caption = HasText(caption) ? captionText.c_str() : nullptr;
  creation.style = style;
  creation.rect = rect;
  creation.id = static_cast<UINT>(Handle());
  creation.storage = persisted;
  creation.licenceKey = key.Get();

  const auto alive = controlWnd->Liveness();
  const bool made = known && controlWnd->CreateControl(creation, parentWnd.get());
  if (alive.expired()) return 0;
  key.Reset();
  if (!made) {
    parentWnd.reset();
    return 0;
  }

  SetWindowLongPtrA(hostWnd, GWL_STYLE,
                    GetWindowLongPtrA(hostWnd, GWL_STYLE) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  if (IUnknown* unknown = controlWnd->GetControlUnknown()) {
    ComPtr<IDispatch> dispatch = ComPtr<IUnknown>::Share(unknown).Query<IDispatch>(IID_IDispatch);
    if (dispatch) AttachToDispatch(dispatch.Detach(), 0);
  }
  if (HWND control = controlWnd->Handle()) {
    const SIZE controlSize = OuterSize(control);
    if (controlSize.cx != hostSize.cx || controlSize.cy != hostSize.cy) {
      parentWnd->inSizeSync = 1;
      SetWindowPos(hostWnd, nullptr, 0, 0, controlSize.cx, controlSize.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      if (parentWnd) parentWnd->inSizeSync = 0;
    }
  }
  if (designMode) {
    if (IUnknown* unknown = controlWnd->GetControlUnknown()) {
      unknown->AddRef();
      controlWnd->designUnknown = unknown;
      ComPtr<IUnknown> control = ComPtr<IUnknown>::Share(unknown);
      if (auto oleControl = control.Query<IOleControl>(IID_IOleControl)) {
        oleControl->FreezeEvents(TRUE);
      }
      if (auto inPlace = control.Query<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
        inPlace->InPlaceDeactivate();
      }
    }
  }
  created = 1;
  return 1;
}

void SOCXControl::DestroyHostedControl() {
  if (!created) return;
  DetachDispatch();
  controlWnd->DestroyWindow();
  parentWnd.reset();
  created = 0;
}

}  // namespace tarvik
