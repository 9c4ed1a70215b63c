#include "tarvik/frame/client_list.h"

#include <algorithm>

#include "tarvik/automation/auto_client.h"

namespace tarvik {

void ClientList::Append(std::unique_ptr<SAutoClient> client) {
  clients_.push_back(std::move(client));
}

SAutoClient* ClientList::Find(int handle) const {
  if (handle <= 0) return nullptr;
  auto found = std::find_if(clients_.begin(), clients_.end(),
                            [handle](const auto& client) { return client->Handle() == handle; });
  return found == clients_.end() ? nullptr : found->get();
}

bool ClientList::Remove(int handle) {
  if (handle <= 0) return false;
  auto found = std::find_if(clients_.begin(), clients_.end(),
                            [handle](const auto& client) { return client->Handle() == handle; });
  if (found == clients_.end()) return false;
  // Unlinked before it is destroyed: releasing its server may call back into
  // the host, which must not find a half-destroyed client.
  std::unique_ptr<SAutoClient> client = std::move(*found);
  clients_.erase(found);
  client.reset();
  return true;
}

void ClientList::DestroyAll() {
  while (!clients_.empty()) {
    std::unique_ptr<SAutoClient> client = std::move(clients_.front());
    clients_.pop_front();
    client.reset();
  }
}

}  // namespace tarvik
