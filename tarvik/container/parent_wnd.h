// The host window while a control lives in it: subclassed so that focus, keys,
// sizes and (in design mode) painting reach the control, and asked for the
// ambient properties it decides.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "tarvik/container/window_subclass.h"

namespace tarvik {

class CQuorvanControlContainer;
class CQuorvanControlSite;
class SOCXWnd;

class SOCXParentWnd : public WindowSubclass {
 public:
  SOCXParentWnd(HWND hostWnd, SOCXWnd* controlWnd);
  ~SOCXParentWnd() override;

  // The wrapper of `window` if it is the host window of a control; the
  // container's test of what kind of window a control sits in.
  static SOCXParentWnd* FromHandle(HWND window);

  // True when the answer is this window's; false leaves it to the site.
  bool OnAmbientProperty(CQuorvanControlSite* site, DISPID dispid, VARIANT* value);
  // The container of the controls in this window, made on first use.
  CQuorvanControlContainer* Container();

  BYTE inSizeSync = 0;
  SOCXWnd* controlWnd;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnKey(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnPaint(WPARAM wParam, LPARAM lParam);

  CQuorvanControlContainer* container_ = nullptr;
};

}  // namespace tarvik
