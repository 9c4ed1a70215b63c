// What the dispatch driver throws when a server refuses a call: the status and,
// for a server exception, the server's own description.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace tarvik {

class DispatchException : public std::exception {
 public:
  // The host reads at most this many characters of an exception's text.
  static constexpr size_t kMaxMessageLength = 254;

  DispatchException(HRESULT status, std::string description)
      : status_(status), description_(std::move(description)) {}

  HRESULT Status() const { return status_; }
  const std::string& Description() const { return description_; }
  // The server's description for a server exception, otherwise the system's
  // text for the status; at most kMaxMessageLength characters.
  std::string MessageText() const;
  const char* what() const noexcept override { return "dispatch call failed"; }

 private:
  HRESULT status_;
  std::string description_;
};

}  // namespace tarvik
