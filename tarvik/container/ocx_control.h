// An OCX client: an Automation client whose object is an ActiveX control the
// library hosts in a window of the host.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "tarvik/automation/auto_client.h"
#include "tarvik/container/control_event.h"

namespace tarvik {

class SOCXParentWnd;
class SOCXWnd;

class SOCXControl : public SAutoClient {
 public:
  explicit SOCXControl(int handle);
  ~SOCXControl() override;

  void ReportError(std::string text) override;
  // An OCX client gets its object only by creating a control.
  int CreateFromProgId(const char* text) override;

  // 1 when the control was created in `hostWnd`, else 0.
  int CreateOCXControlEx(HWND hostWnd, const char* classText, const char* caption, DWORD style,
                         const char* creationKey, const char* persistFile, BOOL designMode);
  int CreateHostedControl(HWND hostWnd, const char* classText, const char* caption, DWORD style,
                          const char* creationKey, IStorage* persisted, BOOL designMode);
  void DestroyHostedControl();
  // Sends a control's event to the host window; other notifications stay here.
  void ForwardEvent(const ControlEvent& record);

  int designMode = 0;
  int created = 0;
  std::unique_ptr<SOCXParentWnd> parentWnd;
  std::unique_ptr<SOCXWnd> controlWnd;
};

}  // namespace tarvik
