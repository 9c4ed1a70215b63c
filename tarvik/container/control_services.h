// What a form designer and a running form do with a hosted control beyond its
// properties, methods and events: enabling it, its caption, its own property
// pages and saving its state.
#pragma once

#include <windows.h>

#include <string>

namespace tarvik {

class SOCXControl;

// The longest caption handed back; the host's buffer holds it and a terminator.
constexpr size_t kCaptionLimit = 254;

// Each does nothing when the client has no control.
void EnableControl(SOCXControl& client, BOOL enable);
void SetControlCaption(SOCXControl& client, const char* caption);
// Empty when there is no control or it has neither a caption nor a text.
std::string GetControlCaption(SOCXControl& client);
// Copies at most kCaptionLimit characters of `caption` and a terminator.
void CopyCaption(const std::string& caption, char* buffer);

// Design-mode services; a running control gets neither.
void ShowPropertyPages(SOCXControl& client);
void SaveProperties(SOCXControl& client, const char* fileName);

}  // namespace tarvik
