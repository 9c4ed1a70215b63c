// The system's own wording for a status code.
#pragma once

#include <windows.h>

#include <string>

namespace tarvik {

// The system message table's text for `status` in the default language, cut to
// at most `maxLength` characters; empty when the system has none.
std::string SystemMessageText(HRESULT status, size_t maxLength);

}  // namespace tarvik
