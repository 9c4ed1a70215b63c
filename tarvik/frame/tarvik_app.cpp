#include "tarvik/frame/tarvik_app.h"

#include <ole2.h>

#include <climits>

#include "tarvik/automation/auto_client.h"
#include "tarvik/container/occ_manager.h"
#include "tarvik/container/ocx_control.h"

namespace tarvik {

UINT g_msgOcxEvent = 0;
UINT g_msgOcxNotifyEvent = 0;

CTarvikApp::~CTarvikApp() {
  // At unload the servers' own modules may be gone and the loader lock is held:
  // calling Release on them now could crash the host. The host shuts down with
  // QvOleUninit first; whatever it left is abandoned, not released.
  if (clients_) static_cast<void>(clients_.release());
}

SAutoClient* CTarvikApp::FindClient(int handle) const {
  return clients_ ? clients_->Find(handle) : nullptr;
}

int CTarvikApp::AddClient(ClientFactory make) {
  // Handles are never reused; past the last one there are none left to give.
  if (!clients_ || nextHandle_ == INT_MAX) return 0;
  std::unique_ptr<SAutoClient> client = make(nextHandle_ + 1);
  ++nextHandle_;
  clients_->Append(std::move(client));
  return nextHandle_;
}

int CTarvikApp::AddAutomationClient() {
  return AddClient([](int handle) { return std::make_unique<SAutoClient>(handle); });
}

int CTarvikApp::AddOcxClient() {
  return AddClient([](int handle) -> std::unique_ptr<SAutoClient> {
    return std::make_unique<SOCXControl>(handle);
  });
}

int CTarvikApp::RemoveClient(int handle) { return clients_ && clients_->Remove(handle) ? 1 : 0; }

int CTarvikApp::InitLibrary() {
  // The apartment is opened once per pairing with TermLibrary, and closed only
  // when this library opened it, so the host's own COM use is never ended here.
  if (!apartmentOpened_) apartmentOpened_ = SUCCEEDED(OleInitialize(nullptr));
  // Controls created from now on are sited by the library's own site.
  EnableControlContainer(QuorvanOccManager());
  // A second initialisation without shutdown must not strand the earlier
  // clients with their server references: they are destroyed first.
  if (clients_) clients_->DestroyAll();
  clients_ = std::make_unique<ClientList>();
  nextHandle_ = 0;
  g_msgOcxEvent = RegisterWindowMessageA("WM_QVOCXEVENT");
  g_msgOcxNotifyEvent = RegisterWindowMessageA("WM_QVOCXNOTIFYEVENT");
  return 1;
}

int CTarvikApp::TermLibrary() {
  if (clients_) {
    clients_->DestroyAll();
    clients_.reset();
  }
  if (apartmentOpened_) {
    apartmentOpened_ = false;
    OleUninitialize();
  }
  return 1;
}

CTarvikApp& TheApp() {
  static CTarvikApp app;
  return app;
}

}  // namespace tarvik
