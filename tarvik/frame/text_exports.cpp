// The host's own text helpers: it reads a BSTR that a server left in its
// by-reference variable, and makes a BSTR to pass by reference.
#include <windows.h>

#include <oleauto.h>

#include "tarvik/frame/conversions.h"

extern "C" char* WINAPI GetStringFromBstr(BSTR text) {
  try {
    // A null BSTR is the empty text elsewhere, but here the host asks about the
    // variable itself: null tells it that there is nothing to read.
    if (!text) return nullptr;
    return tarvik::HostStringFromBstr(text);
  } catch (...) {
    return nullptr;
  }
}

extern "C" BSTR WINAPI GetBstrFromString(const char* text) {
  try {
    return tarvik::BstrFromHostString(text);
  } catch (...) {
    return nullptr;
  }
}
