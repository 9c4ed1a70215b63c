#include "tarvik/frame/ansi_text.h"

#include <climits>

namespace tarvik {

std::wstring WideFromAnsi(const char* text) {
  if (!text || !*text) return std::wstring();
  int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (needed <= 1) return std::wstring();
  std::wstring result(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, result.data(), needed);
  result.resize(static_cast<size_t>(needed) - 1);
  return result;
}

std::string AnsiFromWide(const wchar_t* text, size_t length) {
  if (!text || length == 0 || length > INT_MAX) return std::string();
  const int count = static_cast<int>(length);
  int needed = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string result(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, count, result.data(), needed, nullptr, nullptr);
  return result;
}

std::string AnsiFromBstr(BSTR text) { return AnsiFromWide(text, text ? SysStringLen(text) : 0); }

}  // namespace tarvik
