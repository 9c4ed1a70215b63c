#include "tarvik/frame/dispatch_exception.h"

#include "tarvik/frame/system_message.h"

namespace tarvik {

std::string DispatchException::MessageText() const {
  if (status_ == DISP_E_EXCEPTION) return description_.substr(0, kMaxMessageLength);
  return SystemMessageText(status_, kMaxMessageLength);
}

}  // namespace tarvik
