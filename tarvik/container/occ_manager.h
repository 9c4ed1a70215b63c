// The control-container manager: the one place the containment layer asks for
// the container of a window and the site of a new control, so that every control
// is sited by the library's own site.
#pragma once

#include <windows.h>

namespace tarvik {

class CQuorvanControlContainer;
class CQuorvanControlSite;

class CQuorvanOccManager {
 public:
  CQuorvanOccManager() = default;
  CQuorvanOccManager(const CQuorvanOccManager&) = delete;
  CQuorvanOccManager& operator=(const CQuorvanOccManager&) = delete;
  virtual ~CQuorvanOccManager() = default;

  // A new container for `window`, with one reference for the caller.
  virtual CQuorvanControlContainer* CreateContainer(HWND window);
  // A new site with one reference for the caller; null when it cannot be had.
  virtual CQuorvanControlSite* CreateSite(CQuorvanControlContainer* container);
};

// The process's manager, made on first use and kept until the library unloads.
CQuorvanOccManager* QuorvanOccManager();
// Makes `manager` the one that control creation uses.
void EnableControlContainer(CQuorvanOccManager* manager);
// The installed manager; null before the first initialisation.
CQuorvanOccManager* ControlContainerManager();

}  // namespace tarvik
