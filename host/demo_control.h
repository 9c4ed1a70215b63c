// The form's ActiveX control: the project's probe control hosted in a window of
// the form through an OCX client, its events turned into transcript lines and a
// list on the form, and by-reference event arguments written back by the host.
#pragma once

#include <windows.h>

#include <string>

#include "host/demo_transcript.h"
#include "host/loaded_library.h"
#include "host/tarvik_exports.h"

namespace quorvan::host {

class DemoControl {
 public:
  // Makes the host window and the event list in the parent's client area at
  // the given rectangle; the control is created by Create.
  DemoControl(HWND parent, const RECT& area, HFONT font, const LoadedLibrary& tarvik,
              Transcript& transcript);
  ~DemoControl();
  DemoControl(const DemoControl&) = delete;
  DemoControl& operator=(const DemoControl&) = delete;

  bool Create();
  // Sets the control's fill colour through the property exports, and reads it back.
  void Recolour(COLORREF colour);
  // Calls the control's firing methods and checks what reached the host and what
  // the control read back from the host's write-backs.
  void FireEvents();
  // What the control saw of keys and focus since creation: for the input script.
  void CheckFocusAndKeys(int keyMessagesBefore);
  int KeyMessages() const;
  void Destroy();

  HWND host() const { return host_; }
  // The part of the form that shows the control and its event list.
  RECT Area() const { return area_; }

 private:
  static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnEvent(DISPID dispid, DISPPARAMS* params);
  void OnValueArguments(DISPPARAMS* params);
  void OnReferenceArguments(DISPPARAMS* params);
  void Show(const std::string& line);
  std::string ReadReal(DISPPARAMS* params, int position, bool shortReal) const;
  std::string ReadText(DISPPARAMS* params, int position) const;

  Transcript& transcript_;
  TarvikExports api_;
  TarvikCallExports calls_;
  TarvikEventExports events_;
  TarvikOcxExports ocx_;
  LoadedLibrary probe_;
  RECT area_{};
  HWND host_ = nullptr;
  HWND list_ = nullptr;
  int client_ = 0;
  bool created_ = false;
  UINT eventMessage_ = 0;
  UINT notifyMessage_ = 0;
  int repeatedSeen_ = 0;
  int focusGained_ = 0;
  int noArgumentEvents_ = 0;
  int twoArgumentEvents_ = 0;
  bool valueEventChecked_ = false;
  bool referenceEventAltered_ = false;
};

}  // namespace quorvan::host
