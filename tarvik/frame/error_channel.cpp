#include "tarvik/frame/error_channel.h"

#include <cstring>

#include "tarvik/frame/ansi_text.h"
#include "tarvik/frame/dispatch_error_text.h"

namespace tarvik {

std::optional<std::string> ErrorChannel::Route(HRESULT status, const char* operation, DISPID dispid,
                                               int argumentNumber, const EXCEPINFO* exception) {
  // Only a server's own exception may be silenced: anything else points at a
  // fault in the host's program, which the developer must see.
  if (Silent() && status == DISP_E_EXCEPTION) {
    lastError_ = AnsiFromBstr(exception ? exception->bstrDescription : nullptr);
    return std::nullopt;
  }
  return ComposeDispatchMessage(operation, dispid, argumentNumber,
                                DispatchErrorText(status, exception));
}

bool ErrorChannel::CopyLastError(char* buffer, int size) const {
  if (size < 0 || (!buffer && size > 0)) return false;
  if (size == 0) return true;  // exactly nothing to write
  const size_t room = static_cast<size_t>(size);
  const size_t copied = lastError_.size() < room ? lastError_.size() : room;
  std::memcpy(buffer, lastError_.data(), copied);
  std::memset(buffer + copied, 0, room - copied);
  return true;
}

}  // namespace tarvik
