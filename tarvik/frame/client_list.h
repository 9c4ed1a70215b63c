// The live clients in the order of their creation, each owned by the list and
// found by the handle it stores itself.
#pragma once

#include <list>
#include <memory>

namespace tarvik {

class SAutoClient;

class ClientList {
 public:
  ClientList() = default;
  ClientList(const ClientList&) = delete;
  ClientList& operator=(const ClientList&) = delete;
  ~ClientList() { DestroyAll(); }

  void Append(std::unique_ptr<SAutoClient> client);
  // The first client with `handle`; null for a handle of 0 or less.
  SAutoClient* Find(int handle) const;
  // Unlinks and destroys the client with `handle`; false when there is none.
  bool Remove(int handle);
  // Destroys every client, head first.
  void DestroyAll();
  bool Empty() const { return clients_.empty(); }

 private:
  std::list<std::unique_ptr<SAutoClient>> clients_;
};

}  // namespace tarvik
