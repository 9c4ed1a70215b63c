#include "tarvik/frame/system_message.h"

#include <vector>

namespace tarvik {

std::string SystemMessageText(HRESULT status, size_t maxLength) {
  std::vector<char> buffer(maxLength + 1, '\0');
  DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(status), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                     buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
  if (length == 0) return std::string();
  return std::string(buffer.data(), length < maxLength ? length : maxLength);
}

}  // namespace tarvik
