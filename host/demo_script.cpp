#include "host/demo_script.h"

#include <cstdint>
#include <string>

#include "host/demo_input.h"
#include "host/window_capture.h"
#include "quillet/edit/hedit_constants.h"
#include "quillet/format/date_time_parts.h"

namespace quorvan::host {
namespace {

template <class T>
void SetFieldValue(HWND field, const T& value) {
  SendMessageA(field, quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&value));
}

void SetFieldText(HWND field, const char* text) {
  SendMessageA(field, quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(text));
}

// Whether some pixel of the window, as it is on screen, has about this colour:
// the colour a user sees, not the one the control says it uses.
bool Draws(HWND window, COLORREF colour) {
  const RgbImage image = CaptureWindow(window);
  auto alike = [](int a, int b) { return a - b < 60 && b - a < 60; };
  for (size_t pixel = 0; pixel + 2 < image.rgb.size(); pixel += 3) {
    if (alike(image.rgb[pixel], GetRValue(colour)) &&
        alike(image.rgb[pixel + 1], GetGValue(colour)) &&
        alike(image.rgb[pixel + 2], GetBValue(colour)))
      return true;
  }
  return false;
}

class Demo {
 public:
  Demo(DemoForm& form, DemoControl& control, const QuilletExports& quillet, Transcript& transcript,
       std::string screenshots)
      : form_(form),
        control_(control),
        quillet_(quillet),
        transcript_(transcript),
        screenshots_(std::move(screenshots)),
        input_(form.window()) {}

  void Run();

 private:
  HWND Field(const char* label) const { return form_.Field(label); }
  std::string Shown(const char* label) const { return DemoForm::Shown(Field(label)); }
  void Step(const std::string& what) { transcript_.Say("- " + what); }
  // The notifications that the step's input produced, as the form heard them.
  void Heard() {
    const std::string heard = form_.TakeNotifications();
    transcript_.Say("    notifications: " + (heard.empty() ? std::string("(none)") : heard));
  }
  void Expect(const char* label, const std::string& expected) {
    transcript_.Expect(std::string(label) + " shows", Shown(label), expected);
  }
  bool Focused(const char* label) const { return GetFocus() == Field(label); }
  WORD State(const char* label) const {
    return static_cast<WORD>(SendMessageA(Field(label), quillet::HEM_GETSTATE, 0, 0));
  }
  void Screenshot(const char* name, HWND window, const std::string& what);
  // Clicks a field that does not have the focus: the click only focuses it.
  void ClickInto(const char* label) { input_.ClickCentre(Field(label)); }
  void ShowDisplayForms();
  void EditName();
  void EditAmount();
  void EditQuantity();
  void UseSpinButtons();
  void UsePromptButton();
  void EditOtherTypes();
  void ShowEpoch();
  void UseControl();

  DemoForm& form_;
  DemoControl& control_;
  const QuilletExports& quillet_;
  Transcript& transcript_;
  std::string screenshots_;
  InputScript input_;
};

void Demo::Screenshot(const char* name, HWND window, const std::string& what) {
  if (screenshots_.empty()) return;
  PumpMessages(300);
  const std::string path = screenshots_ + "\\" + name;
  const bool saved = WritePng(path, CaptureWindow(window));
  transcript_.Check(saved, "screenshot " + std::string(name) + ": " + what);
}

void Demo::ShowDisplayForms() {
  Step("the form as the record shows it (display forms)");
  for (const DemoField& field : form_.fields())
    transcript_.Say(std::string("    ") + field.label + " \"" + field.spec + "\" shows \"" +
                    DemoForm::Shown(field.window) + "\"");
  Expect("Name (prompt)", "Margaret Hamilton");
  Expect("Amount (spin)", "1,234.50");
  Expect("Quantity (spin)", "12");
  Expect("Unit price", "$1,999.95");
  Expect("Due date (spin)", "Dec 8, 2026");
  Expect("Start time", "09:30");
  Expect("Logged at", "12/08/2026 14:05");
  Expect("Approved", "No");
  transcript_.Check(
      (State("Approved") & quillet::HES_ALTCOLOR) != 0 && Draws(Field("Approved"), RGB(255, 0, 0)),
      "Approved draws in its false colour, red, while it shows false");
  Expect("Phone", "(555) 123-4567");
  Expect("Rate", "4.25");
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char hourMinute[8];
  wsprintfA(hourMinute, "%02u:%02u", now.wHour, now.wMinute);
  // Compared to the minute only: the clock ticks on its own between the two readings.
  transcript_.Check(Shown("Clock").compare(0, 5, hourMinute) == 0,
                    "Clock runs: it shows the time of day (" + Shown("Clock") + ")");
  Expect("Grade", "A");
  transcript_.Check(SendMessageA(Field("Born"), quillet::HEM_GETEMPTY, 0, 0) == 1, "Born is empty");
  Expect("Born", "(not given)");
  Expect("Closed on", "(still open)");
  Screenshot("demo-display.png", form_.window(),
             "every field in its display form, the false colour, the empty texts, the buttons "
             "and the hosted control");
  Heard();
}

void Demo::EditName() {
  Step("click into Name, then drag over \"Hamilton\" to select it");
  HWND name = Field("Name (prompt)");
  ClickInto("Name (prompt)");
  transcript_.Check(Focused("Name (prompt)"), "Name has the focus");
  // The text starts 1 pixel in (the border is the window's); the drag runs from
  // behind "Margaret " to past the end of the text.
  RECT client{};
  GetClientRect(name, &client);
  const int middle = client.bottom / 2;
  const int start = 2 + TextWidth(name, "Margaret ");
  const int end = 2 + TextWidth(name, "Margaret Hamilton") + 10;
  input_.Drag(name, POINT{start, middle}, POINT{end, middle});
  char selected[64] = {};
  SendMessageA(name, quillet::HEM_COPYSELECTION, sizeof selected,
               reinterpret_cast<LPARAM>(selected));
  transcript_.Expect("the selection is", selected, "Hamilton");
  Screenshot("demo-selection.png", form_.window(), "a selection made by dragging the mouse");
  Step("type \"Johnson\" over the selection, Backspace twice, type \"on\", Tab");
  input_.Type("Johnson");
  Expect("Name (prompt)", "Margaret Johnson");
  input_.Keys(VK_BACK, 2);
  Expect("Name (prompt)", "Margaret Johns");
  input_.Type("on");
  input_.Key(VK_TAB);
  Expect("Name (prompt)", "Margaret Johnson");
  transcript_.Check(Focused("Amount (spin)"), "Tab moved the focus to Amount");
  Heard();
}

void Demo::EditAmount() {
  Step("Amount has the focus: its edit form, all selected");
  Expect("Amount (spin)", "1234.50");
  Screenshot("demo-edit-form.png", form_.window(),
             "Amount in its edit form with the whole text selected on focus");
  Step("Home, Delete twice, type \"9\" (a digit at the caret is overwritten), Tab");
  input_.Key(VK_HOME);
  input_.Keys(VK_DELETE, 2);
  Expect("Amount (spin)", "34.50");
  input_.Type("9");
  Expect("Amount (spin)", "94.50");
  input_.Key(VK_TAB);
  transcript_.Check(!Focused("Amount (spin)"), "Amount lost the focus");
  Expect("Amount (spin)", "94.50");
  Heard();
}

void Demo::EditQuantity() {
  Step("Quantity has the focus: type \"1500\" over it (above its maximum 999), Tab");
  input_.Type("1500");
  input_.Key(VK_TAB);
  Expect("Quantity (spin)", "999");
  const std::string heard = form_.TakeNotifications();
  transcript_.Say("    notifications: " + heard);
  transcript_.Check(heard.find("Quantity HEN_ABOVEMAX") != std::string::npos,
                    "the form heard HEN_ABOVEMAX and the value became the maximum");
  Step("Shift+Tab back to Quantity, shift+Left to select the last digit, type \"7\", Tab");
  input_.Key(VK_TAB, true);
  transcript_.Check(Focused("Quantity (spin)"), "Shift+Tab moved the focus back to Quantity");
  input_.Key(VK_END);
  input_.Key(VK_LEFT, true);
  input_.Type("7");
  input_.Key(VK_TAB);
  Expect("Quantity (spin)", "997");
  Heard();
}

void Demo::UseSpinButtons() {
  Step("click Quantity's spin button: up three times (the maximum stops it), down once");
  HWND spin = form_.Button("Quantity (spin)");
  if (!transcript_.Check(spin != nullptr, "Quantity has a spin button")) return;
  RECT area{};
  GetClientRect(spin, &area);
  for (int i = 0; i < 3; ++i) input_.Click(spin, area.right / 2, area.bottom / 4);
  Expect("Quantity (spin)", "999");
  input_.Click(spin, area.right / 2, area.bottom * 3 / 4);
  Expect("Quantity (spin)", "998");
  Heard();

  Step("set Quantity to 1, then click its spin button down twice: the minimum 0 holds");
  SetFieldValue(Field("Quantity (spin)"), std::int32_t{1});
  for (int i = 0; i < 2; ++i) input_.Click(spin, area.right / 2, area.bottom * 3 / 4);
  Expect("Quantity (spin)", "0");
  std::int32_t quantity = -1;
  SendMessageA(Field("Quantity (spin)"), quillet::HEM_GETVALUE, sizeof quantity,
               reinterpret_cast<LPARAM>(&quantity));
  transcript_.Check(quantity == 0, "Quantity holds 0, not -1");

  Step(
      "click Amount's spin button up, Due date's spin button up twice (the focus stays in Unit "
      "price)");
  HWND amountSpin = form_.Button("Amount (spin)");
  GetClientRect(amountSpin, &area);
  input_.Click(amountSpin, area.right / 2, area.bottom / 4);
  Expect("Amount (spin)", "95.50");
  HWND dueSpin = form_.Button("Due date (spin)");
  GetClientRect(dueSpin, &area);
  for (int i = 0; i < 2; ++i) input_.Click(dueSpin, area.right / 2, area.bottom / 4);
  Expect("Due date (spin)", "Dec 10, 2026");
  transcript_.Check(Focused("Unit price"), "clicking spin buttons left the focus where it was");
  Heard();
}

void Demo::UsePromptButton() {
  Step("click Name's prompt button, double-click \"Grace Hopper\" in the lookup");
  HWND prompt = form_.Button("Name (prompt)");
  if (!transcript_.Check(prompt != nullptr, "Name has a prompt button")) return;
  input_.ClickCentre(prompt);
  HWND lookup = form_.Lookup();
  if (!transcript_.Check(lookup != nullptr, "the click opened the lookup")) return;
  Screenshot("demo-lookup.png", form_.window(), "the lookup opened by the prompt button");
  const LRESULT itemHeight = SendMessageA(lookup, LB_GETITEMHEIGHT, 0, 0);
  input_.DoubleClick(lookup, 20, static_cast<int>(itemHeight + itemHeight / 2));
  PumpMessages(100);
  Expect("Name (prompt)", "Grace Hopper");
  transcript_.Check(form_.Lookup() == nullptr, "the lookup closed");
  Heard();
}

void Demo::EditOtherTypes() {
  Step("click into Approved, type \"y\", Tab: true, in its true colour");
  ClickInto("Approved");
  input_.Type("y");
  input_.Key(VK_TAB);
  Expect("Approved", "Yes");
  transcript_.Check((State("Approved") & quillet::HES_ALTCOLOR) == 0 &&
                        Draws(Field("Approved"), RGB(0, 255, 0)) &&
                        !Draws(Field("Approved"), RGB(255, 0, 0)),
                    "Approved draws in its true colour, green, no longer in red");
  Step("Phone has the focus: Home, type \"8005550199\", Tab");
  transcript_.Check(Focused("Phone"), "Tab moved the focus to Phone");
  input_.Key(VK_HOME);
  input_.Type("8005550199");
  input_.Key(VK_TAB);
  Expect("Phone", "(800) 555-0199");
  Step("Rate has the focus: type \"573\" (digits enter from the right), Tab");
  input_.Type("573");
  transcript_.Say("    Rate while typing: \"" + Shown("Rate") + "\"");
  input_.Key(VK_TAB);
  Expect("Rate", "5.73");
  Step("click into Grade, type \"B\", Tab");
  ClickInto("Grade");
  input_.Type("B");
  input_.Key(VK_TAB);
  Expect("Grade", "B");
  Heard();
}

void Demo::ShowEpoch() {
  Step("Born has the focus: type the two-digit year \"1/2/29\" with the epoch off, Tab");
  transcript_.Check(Focused("Born"), "Tab moved the focus to Born");
  input_.Type("1/2/29");
  input_.Key(VK_TAB);
  std::int32_t born = 0;
  SendMessageA(Field("Born"), quillet::HEM_GETVALUE, sizeof born, reinterpret_cast<LPARAM>(&born));
  transcript_.Say("    Born holds " + std::to_string(born));
  Expect("Born", "01/02/0029");
  Heard();

  Step("the host sets the epoch: SendEpochToQuillet(1, 50)");
  quillet_.sendEpochToQuillet(1, 50);
  Step("Shift+Tab back to Born, type \"1/2/29\" again, Tab; then \"7/4/76\"");
  input_.Key(VK_TAB, true);
  transcript_.Check(Focused("Born"), "Shift+Tab moved the focus back to Born");
  input_.Type("1/2/29");
  input_.Key(VK_TAB);
  Expect("Born", "01/02/2029");
  input_.Key(VK_TAB, true);
  input_.Type("7/4/76");
  input_.Key(VK_TAB);
  Expect("Born", "07/04/1976");
  transcript_.Check(
      Focused("Closed on") && SendMessageA(Field("Closed on"), quillet::HEM_GETEMPTY, 0, 0) == 1,
      "Closed on has the focus and is still empty (edit form \"" + Shown("Closed on") + "\")");
  Heard();
}

void Demo::UseControl() {
  Step("click into the hosted control and type \"ok\"");
  const int keysBefore = control_.KeyMessages();
  input_.ClickCentre(control_.host());
  input_.Type("ok");
  control_.CheckFocusAndKeys(keysBefore);
  Step("the host calls the control's firing methods; each event reaches the form");
  control_.FireEvents();
  Screenshot("demo-control.png", form_.window(),
             "the hosted control and the events the form received");
}

void Demo::Run() {
  ShowDisplayForms();
  EditName();
  EditAmount();
  EditQuantity();
  UseSpinButtons();
  UsePromptButton();
  EditOtherTypes();
  ShowEpoch();
  UseControl();
  Step("the form after use");
  for (const DemoField& field : form_.fields())
    transcript_.Say(std::string("    ") + field.label + " shows \"" +
                    DemoForm::Shown(field.window) + "\"");
  SetFocus(Field("Name (prompt)"));
  Expect("Due date (spin)", "Dec 10, 2026");
  Expect("Closed on", "(still open)");
  Screenshot("demo-host.png", form_.window(), "the form after use");
}

}  // namespace

// The values a record brings to the form when it is shown. "Born" and "Closed
// on" have no value yet: they show their empty texts.
void FillForm(DemoForm& form) {
  SetFieldText(form.Field("Name (prompt)"), "Margaret Hamilton");
  SetFieldValue(form.Field("Amount (spin)"), 1234.5);
  SetFieldValue(form.Field("Quantity (spin)"), std::int32_t{12});
  SetFieldValue(form.Field("Unit price"), 1999.95);
  SetFieldValue(form.Field("Due date (spin)"), std::int32_t{20261208});
  const std::uint16_t start[3] = {9, 30, 0};
  SendMessageA(form.Field("Start time"), quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(start));
  quillet::DateTimeParts logged;
  logged.year = 2026;
  logged.month = 12;
  logged.day = 8;
  logged.hour = 14;
  logged.minute = 5;
  SetFieldValue(form.Field("Logged at"), logged);
  SetFieldValue(form.Field("Approved"), std::uint16_t{0});
  SetFieldText(form.Field("Phone"), "5551234567");
  SetFieldValue(form.Field("Rate"), 4.25);
  SetFieldText(form.Field("Grade"), "A");
  // The empty text is a section after the mask.
  SendMessageA(form.Field("Born"), quillet::HEM_SETMASK, 1,
               reinterpret_cast<LPARAM>("mm/dd/yyyy;(not given)"));
  SendMessageA(form.Field("Born"), quillet::HEM_SETVALUE, 0, 0);
  SendMessageA(form.Field("Closed on"), quillet::HEM_SETMASK, 1,
               reinterpret_cast<LPARAM>("mmm d, yyyy;(still open)"));
  SendMessageA(form.Field("Closed on"), quillet::HEM_SETVALUE, 0, 0);
}

void RunDemoScript(DemoForm& form, DemoControl& control, const QuilletExports& quillet,
                   Transcript& transcript, const std::string& screenshots) {
  Demo demo(form, control, quillet, transcript, screenshots);
  demo.Run();
}

}  // namespace quorvan::host
