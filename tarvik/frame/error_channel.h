// A client's last-error text and silent-mode switch, and the rule that decides
// whether a failed dispatch call is shown or kept.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <optional>
#include <string>

namespace tarvik {

class ErrorChannel {
 public:
  const std::string& LastError() const { return lastError_; }
  void ClearLastError() { lastError_.clear(); }
  bool Silent() const { return silentMode_ != 0; }
  void SetSilentMode(int mode) { silentMode_ = mode; }

  // The message to show for a failed call, or nothing when silent mode keeps a
  // server exception's description as the last error instead.
  std::optional<std::string> Route(HRESULT status, const char* operation, DISPID dispid,
                                   int argumentNumber, const EXCEPINFO* exception);

  // Writes exactly `size` bytes: the text, zero-filled to `size`, or its first
  // `size` bytes with no terminator when it does not fit. False, with nothing
  // written, for a negative size or a null buffer that should hold bytes.
  bool CopyLastError(char* buffer, int size) const;

 private:
  std::string lastError_;
  int silentMode_ = 0;
};

}  // namespace tarvik
