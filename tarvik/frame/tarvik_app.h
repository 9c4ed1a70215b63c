// The library's application object: library start-up and shutdown, and the one
// list of clients that turns the host's integer handles into objects.
#pragma once

#include <windows.h>

#include <memory>

#include "tarvik/frame/client_list.h"

namespace tarvik {

class SAutoClient;

// Registered by QvOleInit; 0 before the first initialisation. The control
// container sends them to host windows.
extern UINT g_msgOcxEvent;
extern UINT g_msgOcxNotifyEvent;

class CTarvikApp {
 public:
  using ClientFactory = std::unique_ptr<SAutoClient> (*)(int handle);

  CTarvikApp() = default;
  CTarvikApp(const CTarvikApp&) = delete;
  CTarvikApp& operator=(const CTarvikApp&) = delete;
  ~CTarvikApp();

  SAutoClient* FindClient(int handle) const;
  // The new client's handle, or 0 when the library is not initialised.
  int AddAutomationClient();
  // The same for a client that hosts an ActiveX control.
  int AddOcxClient();
  // 1 when a client had the handle and was destroyed, else 0.
  int RemoveClient(int handle);
  int InitLibrary();
  int TermLibrary();

  bool Initialised() const { return clients_ != nullptr; }

 private:
  int AddClient(ClientFactory make);

  int nextHandle_ = 0;
  std::unique_ptr<ClientList> clients_;
  bool apartmentOpened_ = false;
};

CTarvikApp& TheApp();

}  // namespace tarvik
