// AddRef on an interface pointer that the host handed over and that may be
// dead by now.
#pragma once

#include <unknwn.h>

namespace tarvik {

// True when the reference was taken; false, without any call, when the object,
// its function table or AddRef's code is not in accessible memory, and false
// when AddRef throws.
bool GuardedAddRef(IUnknown* object) noexcept;

}  // namespace tarvik
