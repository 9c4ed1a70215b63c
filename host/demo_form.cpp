#include "host/demo_form.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "host/host_buttons.h"
#include "quillet/edit/hedit_constants.h"

namespace quorvan::host {
namespace {

constexpr char kFormClass[] = "QuorvanDemoDataForm";
constexpr int kFirstId = 200;
constexpr int kLabelWidth = 150;
constexpr int kFieldWidth = 220;
constexpr int kRowHeight = 30;
const char* const kLookupChoices[] = {"Ada Lovelace", "Grace Hopper", "Alan Turing"};

DemoForm* FormOf(HWND window) {
  return reinterpret_cast<DemoForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// A yyyymmdd date moved by whole days, through the system's calendar.
std::int32_t AddDays(std::int32_t date, int days) {
  SYSTEMTIME day{};
  day.wYear = static_cast<WORD>(date / 10000);
  day.wMonth = static_cast<WORD>(date / 100 % 100);
  day.wDay = static_cast<WORD>(date % 100);
  FILETIME time;
  if (!SystemTimeToFileTime(&day, &time)) return date;
  ULARGE_INTEGER ticks{};
  ticks.LowPart = time.dwLowDateTime;
  ticks.HighPart = time.dwHighDateTime;
  ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 864000000000LL);
  time.dwLowDateTime = ticks.LowPart;
  time.dwHighDateTime = ticks.HighPart;
  if (!FileTimeToSystemTime(&time, &day)) return date;
  return day.wYear * 10000 + day.wMonth * 100 + day.wDay;
}

// Clicks a child window at a point of its client area.
void ClickAt(HWND window, int x, int y) {
  const LPARAM where = MAKELPARAM(x, y);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
  SendMessageA(window, WM_LBUTTONUP, 0, where);
}

}  // namespace

DemoForm::DemoForm(HINSTANCE instance, std::function<void(const std::string&)> say)
    : say_(std::move(say)),
      fields_{
          {"Name (prompt)", "HEdit_SS", "%ss30", 1},
          {"Amount (spin)", "HEdit", "%nd|0;100000|[blue]#,##0.00;[red]-#,##0.00", 2},
          {"Quantity (spin)", "HEdit", "%nl|0;999|", 2},
          {"Due date (spin)", "HEdit", "%dlmmm d, yyyy", 2},
          {"Start time", "HEdit", "%tthh:mm", 0},
          {"Logged at", "HEdit", "%aDmm/dd/yyyy hh:mm", 0},
          {"Approved", "HEdit", "%bw[green]Yes;[red]No", 0},
          {"Phone", "HEdit", "%ms(###) ###-####", 0},
          {"Rate", "HEdit", "%zd0.00", 0},
          {"Clock", "HEdit", "%kThh:mm:ss", 0},
          {"Grade", "HEdit", "%hs", 0},
      } {
  RegisterHostButtonClasses(instance);
  WNDCLASSA form{};
  form.lpfnWndProc = FormProc;
  form.hInstance = instance;
  form.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  form.lpszClassName = kFormClass;
  RegisterClassA(&form);
  const int height = 60 + static_cast<int>(fields_.size()) * kRowHeight;
  form_ = CreateWindowExA(0, kFormClass, "Quorvan demo: data entry",
                          WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, kLabelWidth + kFieldWidth + 60,
                          height, nullptr, nullptr, instance, nullptr);
  SetWindowLongPtrA(form_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  font_ = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY,
                      VARIABLE_PITCH | FF_SWISS, "Tahoma");
  int y = 14;
  int id = kFirstId;
  for (DemoField& field : fields_) {
    HWND label = CreateWindowExA(0, "STATIC", field.label, WS_CHILD | WS_VISIBLE, 14, y + 3,
                                 kLabelWidth, 20, form_, nullptr, instance, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    field.window = CreateWindowExA(
        WS_EX_CLIENTEDGE, field.className, field.spec,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, kLabelWidth + 20, y, kFieldWidth, 24,
        form_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    if (!field.window) {
      say_(std::string("  ") + field.label + ": the field \"" + field.spec + "\" was not created");
      y += kRowHeight;
      continue;
    }
    SendMessageA(field.window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    SetWindowSubclass(field.window, FieldProc, 1, reinterpret_cast<DWORD_PTR>(this));
    if (field.button) {
      SendMessageA(field.window, quillet::HEM_SETBUTTON, field.button,
                   reinterpret_cast<LPARAM>(field.button == 1 ? "..." : nullptr));
    }
    y += kRowHeight;
  }
}

DemoForm::~DemoForm() {
  if (lookup_) DestroyWindow(lookup_);
  for (DemoField& field : fields_) {
    if (field.window) RemoveWindowSubclass(field.window, FieldProc, 1);
  }
  if (form_) DestroyWindow(form_);
  if (font_) DeleteObject(font_);
}

HWND DemoForm::Field(const char* label) const {
  for (const DemoField& field : fields_) {
    if (std::strcmp(field.label, label) == 0) return field.window;
  }
  return nullptr;
}

std::string DemoForm::Shown(HWND field) {
  const char* text =
      reinterpret_cast<const char*>(SendMessageA(field, quillet::HEM_GETTEXTPTR, 0, 0));
  return text ? text : "";
}

void DemoForm::PressSpin(const char* label, bool up) {
  HWND button = reinterpret_cast<HWND>(SendMessageA(Field(label), quillet::HEM_GETBUTTON, 0, 0));
  if (!button) return;
  RECT area{};
  GetClientRect(button, &area);
  // The upper half steps up, the lower half down.
  ClickAt(button, area.right / 2, up ? area.bottom / 4 : area.bottom * 3 / 4);
}

void DemoForm::PressPrompt(const char* label) {
  HWND button = reinterpret_cast<HWND>(SendMessageA(Field(label), quillet::HEM_GETBUTTON, 0, 0));
  if (!button) return;
  RECT area{};
  GetClientRect(button, &area);
  ClickAt(button, area.right / 2, area.bottom / 2);
}

void DemoForm::ChooseFromLookup(int index) {
  if (!lookup_) return;
  SendMessageA(lookup_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(form_, WM_COMMAND, MAKEWPARAM(0, LBN_DBLCLK), reinterpret_cast<LPARAM>(lookup_));
}

void DemoForm::StepField(HWND field, int delta) {
  const char type = static_cast<char>(SendMessageA(field, quillet::HEM_GETTYPE, 0, 0));
  const char storage = static_cast<char>(SendMessageA(field, quillet::HEM_GETSTORAGE, 0, 0));
  const std::string before = Shown(field);
  if (type == 'n' && storage == 'd') {
    double value = 0;
    SendMessageA(field, quillet::HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(&value));
    value += delta;
    SendMessageA(field, quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&value));
  } else if (type == 'n' && storage == 'l') {
    std::int32_t value = 0;
    SendMessageA(field, quillet::HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(&value));
    value += delta;
    SendMessageA(field, quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&value));
  } else if (type == 'd' && storage == 'l') {
    std::int32_t value = 0;
    SendMessageA(field, quillet::HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(&value));
    if (value == 0) value = 20261208;
    value = AddDays(value, delta);
    SendMessageA(field, quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&value));
  } else {
    return;
  }
  // A stepped value is committed at once, so that its bounds apply.
  SendMessageA(field, quillet::HEM_COMMIT, 1, 1);
  say_("  spin " + std::string(delta > 0 ? "up" : "down") + ": \"" + before + "\" -> \"" +
       Shown(field) + "\"");
}

void DemoForm::OpenLookup(HWND field) {
  if (lookup_) DestroyWindow(lookup_);
  RECT where{};
  GetWindowRect(field, &where);
  POINT corner{where.left, where.bottom};
  ScreenToClient(form_, &corner);
  lookup_ = CreateWindowExA(
      WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | WS_VSCROLL, corner.x,
      corner.y, where.right - where.left, 70, form_, nullptr,
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(form_, GWLP_HINSTANCE)), nullptr);
  SendMessageA(lookup_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  for (const char* choice : kLookupChoices) {
    SendMessageA(lookup_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
  }
  SetWindowPos(lookup_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  lookupField_ = field;
  say_("  prompt button: lookup opened with " + std::to_string(std::size(kLookupChoices)) +
       " names");
}

LRESULT CALLBACK DemoForm::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self) {
  auto* form = reinterpret_cast<DemoForm*>(self);
  if (message == quillet::HEM_SPINDELTA) {
    form->StepField(field, static_cast<short>(HIWORD(lParam)));
    return 0;
  }
  if (message == quillet::HEM_BUTTONCLICK) {
    form->OpenLookup(field);
    return 0;
  }
  return DefSubclassProc(field, message, wParam, lParam);
}

LRESULT CALLBACK DemoForm::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DemoForm* self = FormOf(window);
  if (self && message == WM_COMMAND && self->lookup_ &&
      reinterpret_cast<HWND>(lParam) == self->lookup_ && HIWORD(wParam) == LBN_DBLCLK) {
    const LRESULT chosen = SendMessageA(self->lookup_, LB_GETCURSEL, 0, 0);
    if (chosen >= 0 && chosen < static_cast<LRESULT>(std::size(kLookupChoices))) {
      SendMessageA(self->lookupField_, quillet::HEM_SETVALUE, 0,
                   reinterpret_cast<LPARAM>(kLookupChoices[chosen]));
      self->say_(std::string("  lookup: chose \"") + kLookupChoices[chosen] + "\"");
    }
    DestroyWindow(self->lookup_);
    self->lookup_ = nullptr;
    return 0;
  }
  if (message == WM_NCDESTROY && self) self->form_ = nullptr;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace quorvan::host
