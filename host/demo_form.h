// The demo's data-entry form: an HEdit field of every type code, as a 4GL form
// lays them out, with spin buttons that step numbers and dates and a prompt
// button that opens a small lookup. The host subclasses each field to act on the
// field's button messages, as the 4GL runtime does.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quorvan::host {

struct DemoField {
  const char* label;
  const char* className;
  const char* spec;
  int button;  // HEM_SETBUTTON kind: 0 none, 1 prompt, 2 spin
  HWND window = nullptr;
};

class DemoForm {
 public:
  // Say receives one transcript line per event of interest.
  DemoForm(HINSTANCE instance, std::function<void(const std::string&)> say);
  ~DemoForm();
  DemoForm(const DemoForm&) = delete;
  DemoForm& operator=(const DemoForm&) = delete;

  HWND window() const { return form_; }
  std::vector<DemoField>& fields() { return fields_; }
  HWND Field(const char* label) const;

  // Presses a field's attached button with the mouse, as a user would: the spin
  // button's upper or lower half, or the prompt button.
  void PressSpin(const char* label, bool up);
  void PressPrompt(const char* label);
  // The open lookup, if any, takes its entry at index and closes.
  void ChooseFromLookup(int index);

  // The field's display text, as the user sees it.
  static std::string Shown(HWND field);

 private:
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
  void StepField(HWND field, int delta);
  void OpenLookup(HWND field);

  std::function<void(const std::string&)> say_;
  HWND form_ = nullptr;
  HWND lookup_ = nullptr;
  HWND lookupField_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<DemoField> fields_;
};

}  // namespace quorvan::host
