// The wrapper of a hosted control's window and site: what the library creates
// the control on, what receives its events, and what draws it in design mode.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include "tarvik/container/control_site.h"
#include "tarvik/container/window_subclass.h"

namespace tarvik {

class SOCXControl;
class SOCXParentWnd;

class SOCXWnd : public WindowSubclass {
 public:
  explicit SOCXWnd(SOCXControl* owner);
  ~SOCXWnd() override;

  // Creates the control sited in `parent`; false when it cannot be had, the
  // wrapper then being as before.
  bool CreateControl(const ControlCreation& creation, SOCXParentWnd* parent);
  // Destroys the control through its site; the wrapper can create another.
  void DestroyWindow();
  // The control's IUnknown, without a reference; null when there is none.
  IUnknown* GetControlUnknown() const;
  CQuorvanControlSite* Site() const { return site_; }

  // Called by the site when the control's window appears or goes away.
  void AttachControlWindow(HWND window);
  void DetachControlWindow();
  // Resizes the control through its site.
  void SetControlSize(int cx, int cy);

  // Control notifications arrive under CN_EVENT; true when handled.
  BOOL OnCmdMsg(UINT id, int code, void* extra);
  void DrawDesignImage(HDC dc, const RECT& rect);

  IUnknown* designUnknown = nullptr;
  SOCXControl* owner;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  CQuorvanControlSite* site_ = nullptr;
};

}  // namespace tarvik
