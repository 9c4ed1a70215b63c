#include "tarvik/container/ocx_control.h"

#include "tarvik/container/control_wnd.h"
#include "tarvik/container/parent_wnd.h"
#include "tarvik/frame/tarvik_app.h"

namespace tarvik {

SOCXControl::SOCXControl(int handle) : SAutoClient(handle), controlWnd(new SOCXWnd(this)) {}

SOCXControl::~SOCXControl() {
  // The control first, while its container window is still subclassed; then
  // the host window gets its own procedure back. The dispatch goes last.
  controlWnd.reset();
  parentWnd.reset();
  created = 0;
}

void SOCXControl::ReportError(std::string text) {
  ShowClientError("Quorvan Error - OCX Client %d", text);
}

int SOCXControl::CreateFromProgId(const char*) { return 0; }

void SOCXControl::ForwardEvent(const ControlEvent& record) {
  if (!parentWnd || !created) return;
  if (record.kind != ControlEvent::event) return;
  const HWND host = parentWnd->Handle();
  if (!host) return;
  SendMessageA(
      host, g_msgOcxEvent, static_cast<WPARAM>(record.dispid),
      record.params && record.params->cArgs > 0 ? reinterpret_cast<LPARAM>(record.params) : 0);
  // The host may have destroyed this client in its handler: nothing follows.
}

}  // namespace tarvik
