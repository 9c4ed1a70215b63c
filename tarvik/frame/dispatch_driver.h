// Holds a client's IDispatch pointer. With auto-release on, the driver owns one
// reference and gives it back when it lets the pointer go.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace tarvik {

class DispatchDriver {
 public:
  DispatchDriver() = default;
  DispatchDriver(const DispatchDriver&) = delete;
  DispatchDriver& operator=(const DispatchDriver&) = delete;
  ~DispatchDriver() { ReleaseDispatch(); }

  // Takes `dispatch` over; a pointer held before is let go first.
  void AttachDispatch(IDispatch* dispatch, bool autoRelease = true);
  // Lets the pointer go, releasing it when auto-release is on.
  void ReleaseDispatch();
  // Forgets the pointer without releasing it, for a pointer that proved dead.
  IDispatch* DetachDispatch();

  IDispatch* Get() const { return dispatch_; }

  // Writes one property value with DISPATCH_PROPERTYPUT or DISPATCH_PROPERTYPUTREF.
  // Throws DispatchException when the server refuses.
  void SetProperty(DISPID dispid, WORD flags, VARIANT& value);

 private:
  IDispatch* dispatch_ = nullptr;
  bool autoRelease_ = true;
};

}  // namespace tarvik
