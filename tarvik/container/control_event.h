// What a control's site hands to the control-window wrapper for every
// notification of the control: its events, and its property notifications.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace tarvik {

// The command code under which control notifications reach OnCmdMsg.
constexpr int CN_EVENT = -2;

struct ControlEvent {
  enum Kind { event, propChanged, propRequest };
  Kind kind;
  DISPID dispid;
  // The control's own block; it lives only as long as the notification.
  DISPPARAMS* params;
};

}  // namespace tarvik
