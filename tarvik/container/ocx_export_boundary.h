// The boundary of every export that takes an OCX client's handle.
#pragma once

#include "tarvik/container/ocx_control.h"
#include "tarvik/frame/export_boundary.h"

namespace tarvik {

// A handle of any other kind of client is not found: `notFound`, silently.
template <class Result, class Body>
Result WithOcxClient(int handle, Result notFound, Body&& body) noexcept {
  return WithClient(handle, notFound, [&](SAutoClient& client) -> Result {
    auto* control = dynamic_cast<SOCXControl*>(&client);
    return control ? static_cast<Result>(body(*control)) : notFound;
  });
}

}  // namespace tarvik
