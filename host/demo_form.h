// The demo's data-entry form: an HEdit field of every type code, as a 4GL form
// lays them out, with spin buttons that step numbers and dates and a prompt
// button that opens a small lookup. The host subclasses each field to act on the
// field's button messages, as the 4GL runtime does, and keeps a log of the
// notifications the fields send.
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
  HFONT font() const { return font_; }
  std::vector<DemoField>& fields() { return fields_; }
  HWND Field(const char* label) const;
  // The field's attached spin or prompt button; null when it has none.
  HWND Button(const char* label) const;
  // The lookup list the prompt button opened; null when none is open.
  HWND Lookup() const { return lookup_; }
  // The free part of the form, right of the fields, for the hosted control.
  RECT SpareArea() const;

  // The notifications the fields sent since the last call, in order, with runs
  // of one notification from one field counted ("Name EN_CHANGE x7").
  std::string TakeNotifications();

  // The field's text, as the user sees it now (display or edit form).
  static std::string Shown(HWND field);

 private:
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
  const DemoField* FieldOf(HWND window) const;
  void StepField(HWND field, int delta);
  void OpenLookup(HWND field);
  void Note(HWND field, WORD code);

  std::function<void(const std::string&)> say_;
  HWND form_ = nullptr;
  HWND lookup_ = nullptr;
  HWND lookupField_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<DemoField> fields_;
  struct Notification {
    std::string text;
    int count;
  };
  std::vector<Notification> notifications_;
};

}  // namespace quorvan::host
