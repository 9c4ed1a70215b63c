// Texts cross the host boundary as ANSI (the system's code page) and travel
// inside COM as UTF-16; these convert between the two.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>

namespace tarvik {

// A null text converts to the empty text.
std::wstring WideFromAnsi(const char* text);
std::string AnsiFromWide(const wchar_t* text, size_t length);
// A null BSTR reads as the empty text.
std::string AnsiFromBstr(BSTR text);

}  // namespace tarvik
