#include "tarvik/container/occ_manager.h"

#include <memory>
#include <new>

#include "tarvik/container/control_container.h"
#include "tarvik/container/control_site.h"

namespace tarvik {
namespace {

CQuorvanOccManager* g_installedManager = nullptr;

}  // namespace

CQuorvanControlContainer* CQuorvanOccManager::CreateContainer(HWND window) {
  return new (std::nothrow) CQuorvanControlContainer(window);
}

CQuorvanControlSite* CQuorvanOccManager::CreateSite(CQuorvanControlContainer* container) {
  return new (std::nothrow) CQuorvanControlSite(container);
}

CQuorvanOccManager* QuorvanOccManager() {
  static std::unique_ptr<CQuorvanOccManager> manager = std::make_unique<CQuorvanOccManager>();
  return manager.get();
}

void EnableControlContainer(CQuorvanOccManager* manager) { g_installedManager = manager; }

CQuorvanOccManager* ControlContainerManager() { return g_installedManager; }

}  // namespace tarvik
