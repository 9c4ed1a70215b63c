#include "tarvik/container/control_wnd.h"

#include <utility>

#include "tarvik/container/control_event.h"
#include "tarvik/container/occ_manager.h"
#include "tarvik/container/ocx_control.h"
#include "tarvik/container/parent_wnd.h"

namespace tarvik {
namespace {

// Boxes of the design-time picture carry the library's own name.
constexpr char kApplicationName[] = "Tarvik";

}  // namespace

SOCXWnd::SOCXWnd(SOCXControl* ownerArg) : owner(ownerArg) {}

SOCXWnd::~SOCXWnd() {
  if (IUnknown* unknown = std::exchange(designUnknown, nullptr)) unknown->Release();
  DestroyWindow();
}

bool SOCXWnd::CreateControl(const ControlCreation& creation, SOCXParentWnd* parent) {
  DestroyWindow();
  CQuorvanOccManager* manager = ControlContainerManager();
  if (!manager || !parent) return false;
  CQuorvanControlContainer* container = parent->Container();
  if (!container) return false;
  CQuorvanControlSite* site = manager->CreateSite(container);
  if (!site) return false;
  site_ = site;
  if (FAILED(site->CreateOrLoad(creation, this))) {
    DestroyWindow();
    return false;
  }
  return true;
}

void SOCXWnd::DestroyWindow() {
  if (CQuorvanControlSite* site = std::exchange(site_, nullptr)) {
    site->DestroyControl();
    site->Release();
  }
  Unsubclass();
}

IUnknown* SOCXWnd::GetControlUnknown() const { return site_ ? site_->ControlUnknown() : nullptr; }

void SOCXWnd::AttachControlWindow(HWND window) {
  Unsubclass();
  Subclass(window);
}

void SOCXWnd::DetachControlWindow() { Unsubclass(); }

void SOCXWnd::SetControlSize(int cx, int cy) {
  if (site_) site_->SetControlSize(cx, cy);
}

BOOL SOCXWnd::OnCmdMsg(UINT, int code, void* extra) {
  if (code == CN_EVENT && extra && owner) {
    // Nothing of this wrapper is touched after the host has seen the event: it
    // may have destroyed the client meanwhile.
    owner->ForwardEvent(*static_cast<const ControlEvent*>(extra));
  }
  // No handler of the library's own: the event is delivered once, above.
  return FALSE;
}

LRESULT SOCXWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && site_) {
    MSG current = {};
    current.hwnd = Handle();
    current.message = message;
    current.wParam = wParam;
    current.lParam = lParam;
    current.time = static_cast<DWORD>(GetMessageTime());
    const DWORD position = GetMessagePos();
    current.pt = POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (site_->IsMatchingMnemonic(&current)) {
      const auto alive = Liveness();
      CQuorvanControlSite* site = site_;
      site->AddRef();
      site->SendMnemonic(&current);
      site->Release();
      if (alive.expired()) return 0;
    }
  }
  return Default(message, wParam, lParam);
}

void SOCXWnd::DrawDesignImage(HDC dc, const RECT& rect) {
  if (!designUnknown) return;
  IViewObject* view = nullptr;
  if (FAILED(designUnknown->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view))) ||
      !view) {
    MessageBoxA(Handle(), "No IView", kApplicationName, MB_OK);
    return;
  }
  const RECTL bounds{rect.left, rect.top, rect.right, rect.bottom};
  if (FAILED(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                        nullptr, 0))) {
    MessageBoxA(Handle(), "Draw failed", kApplicationName, MB_OK);
  }
  view->Release();
}

}  // namespace tarvik
