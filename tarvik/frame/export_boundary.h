// Every export runs its body inside one boundary: no exception reaches the
// host, which gets the export family's failure value instead.
#pragma once

#include "tarvik/automation/auto_client.h"
#include "tarvik/frame/tarvik_app.h"

namespace tarvik {

template <class Result, class Body>
Result ExportBoundary(Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

// For exports that take a client handle: an unknown handle gives `notFound`
// silently, without running the body.
template <class Result, class Body>
Result WithClient(int handle, Result notFound, Body&& body) noexcept {
  return ExportBoundary(notFound, [&]() -> Result {
    SAutoClient* client = TheApp().FindClient(handle);
    return client ? static_cast<Result>(body(*client)) : notFound;
  });
}

}  // namespace tarvik
