#include "host/demo_form.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "host/host_buttons.h"
#include "quillet/edit/hedit_constants.h"

namespace quorvan::host {
namespace {

constexpr char kFormClass[] = "QuorvanDemoDataForm";
constexpr int kFirstId = 200;
constexpr int kLabelWidth = 150;
constexpr int kFieldWidth = 220;
constexpr int kRowHeight = 30;
constexpr int kSpareWidth = 330;
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

// A field keeps a bound it was never given as a zero value, indistinguishable
// from a real bound of zero, so only a definition that declares a range
// ("%nl|0;999|") is one whose bounds the host applies.
bool DeclaresRange(const char* spec) { return std::strlen(spec) > 3 && spec[3] == '|'; }

// HEM_SETVALUE stores what it is given, bounds or not, and a commit after it has
// no edited text to check: a host that steps a value keeps it within the field's
// bounds itself.
template <class Value>
Value WithinBounds(HWND field, Value value) {
  Value bound{};
  if (SendMessageA(field, quillet::HEM_GETMIN, 0, reinterpret_cast<LPARAM>(&bound)) == 1)
    value = std::max(value, bound);
  if (SendMessageA(field, quillet::HEM_GETMAX, 0, reinterpret_cast<LPARAM>(&bound)) == 1)
    value = std::min(value, bound);
  return value;
}

const char* NotificationName(WORD code) {
  switch (code) {
    case EN_SETFOCUS:
      return "EN_SETFOCUS";
    case EN_KILLFOCUS:
      return "EN_KILLFOCUS";
    case EN_CHANGE:
      return "EN_CHANGE";
    case EN_UPDATE:
      return "EN_UPDATE";
    case EN_MAXTEXT:
      return "EN_MAXTEXT";
    case EN_HSCROLL:
      return "EN_HSCROLL";
    case quillet::HEN_ENTER:
      return "HEN_ENTER";
    case quillet::HEN_ESCAPE:
      return "HEN_ESCAPE";
    case quillet::HEN_TAB:
      return "HEN_TAB";
    case quillet::HEN_BACKTAB:
      return "HEN_BACKTAB";
    case quillet::HEN_DBLCLK:
      return "HEN_DBLCLK";
    case quillet::HEN_HELP:
      return "HEN_HELP";
    case quillet::HEN_INVALID:
      return "HEN_INVALID";
    case quillet::HEN_BELOWMIN:
      return "HEN_BELOWMIN";
    case quillet::HEN_ABOVEMAX:
      return "HEN_ABOVEMAX";
    default:
      return nullptr;
  }
}

}  // namespace

DemoForm::DemoForm(HINSTANCE instance, std::function<void(const std::string&)> say)
    : say_(std::move(say)),
      fields_{
          {"Name (prompt)", "HEdit_SS", "%ss30", 1},
          {"Amount (spin)", "HEdit", "%nd|0;100000|[blue]#,##0.00;[red]-#,##0.00", 2},
          {"Quantity (spin)", "HEdit", "%nl|0;999|", 2},
          {"Unit price", "HEdit", "%cd$#,##0.00", 0},
          {"Due date (spin)", "HEdit", "%dl|1/1/2020;12/31/2030|mmm d, yyyy", 2},
          {"Start time", "HEdit", "%tthh:mm", 0},
          {"Logged at", "HEdit", "%aDmm/dd/yyyy hh:mm", 0},
          {"Approved", "HEdit", "%bw[green]Yes;[red]No", 0},
          {"Phone", "HEdit", "%ms(###) ###-####", 0},
          {"Rate", "HEdit", "%zd0.00", 0},
          {"Clock", "HEdit", "%kThh:mm:ss", 0},
          {"Grade", "HEdit", "%hh", 0},
          {"Born", "HEdit", "%dlmm/dd/yyyy", 0},
          {"Closed on", "HEdit", "%dlmmm d, yyyy", 0},
      } {
  RegisterHostButtonClasses(instance);
  WNDCLASSA form{};
  form.lpfnWndProc = FormProc;
  form.hInstance = instance;
  form.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  form.lpszClassName = kFormClass;
  RegisterClassA(&form);
  const int height = 110 + static_cast<int>(fields_.size()) * kRowHeight;
  form_ = CreateWindowExA(0, kFormClass, "Quorvan demo: data entry",
                          WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                          kLabelWidth + kFieldWidth + kSpareWidth + 70, height, nullptr, nullptr,
                          instance, nullptr);
  SetWindowLongPtrA(form_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  font_ = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY,
                      VARIABLE_PITCH | FF_SWISS, "Tahoma");
  int y = 14;
  int id = kFirstId;
  for (DemoField& field : fields_) {
    HWND label = CreateWindowExA(0, "STATIC", field.label, WS_CHILD | WS_VISIBLE, 14, y + 3,
                                 kLabelWidth, 20, form_, nullptr, instance, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // WS_CLIPSIBLINGS: the lookup list opens over the fields below its field.
    field.window =
        CreateWindowExA(WS_EX_CLIENTEDGE, field.className, field.spec,
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL |
                            quillet::HS_FOCUSHILITE,
                        kLabelWidth + 20, y, kFieldWidth, 24, form_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
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

HWND DemoForm::Button(const char* label) const {
  return reinterpret_cast<HWND>(SendMessageA(Field(label), quillet::HEM_GETBUTTON, 0, 0));
}

RECT DemoForm::SpareArea() const {
  RECT client{};
  GetClientRect(form_, &client);
  const int left = kLabelWidth + kFieldWidth + 50;
  return RECT{left, 14, client.right - 14, client.bottom - 14};
}

const DemoField* DemoForm::FieldOf(HWND window) const {
  for (const DemoField& field : fields_) {
    if (field.window && field.window == window) return &field;
  }
  return nullptr;
}

std::string DemoForm::Shown(HWND field) {
  const char* text =
      reinterpret_cast<const char*>(SendMessageA(field, quillet::HEM_GETTEXTPTR, 0, 0));
  return text ? text : "";
}

void DemoForm::Note(HWND field, WORD code) {
  const DemoField* source = FieldOf(field);
  const char* name = NotificationName(code);
  if (!source) return;
  std::string label(source->label);
  label = label.substr(0, label.find(" ("));
  std::string text =
      label + " " + (name ? name : ("code 0x" + std::to_string(static_cast<int>(code))));
  // Every accepted key sends EN_UPDATE then EN_CHANGE: the pair is one keystroke.
  if (code == EN_CHANGE && !notifications_.empty() && notifications_.back().count == 1 &&
      notifications_.back().text == label + " EN_UPDATE") {
    notifications_.pop_back();
    text = label + " EN_UPDATE+EN_CHANGE";
  }
  if (!notifications_.empty() && notifications_.back().text == text) {
    ++notifications_.back().count;
  } else {
    notifications_.push_back({text, 1});
  }
}

std::string DemoForm::TakeNotifications() {
  std::string line;
  for (const Notification& notification : notifications_) {
    if (!line.empty()) line += ", ";
    line += notification.text;
    if (notification.count > 1) line += " x" + std::to_string(notification.count);
  }
  notifications_.clear();
  return line;
}

void DemoForm::StepField(HWND field, int delta) {
  const DemoField* definition = FieldOf(field);
  const bool ranged = definition && DeclaresRange(definition->spec);
  const char type = static_cast<char>(SendMessageA(field, quillet::HEM_GETTYPE, 0, 0));
  const char storage = static_cast<char>(SendMessageA(field, quillet::HEM_GETSTORAGE, 0, 0));
  const std::string before = Shown(field);
  // HEM_GETVALUE first commits what the user typed, so a step starts from it.
  if (type == 'n' && storage == 'd') {
    double value = 0;
    SendMessageA(field, quillet::HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(&value));
    value += delta;
    if (ranged) value = WithinBounds(field, value);
    SendMessageA(field, quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&value));
  } else if (type == 'n' && storage == 'l') {
    std::int32_t value = 0;
    SendMessageA(field, quillet::HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(&value));
    value += delta;
    if (ranged) value = WithinBounds(field, value);
    SendMessageA(field, quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&value));
  } else if (type == 'd' && storage == 'l') {
    std::int32_t value = 0;
    SendMessageA(field, quillet::HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(&value));
    if (value == 0) value = 20261208;
    value = AddDays(value, delta);
    // yyyymmdd numbers order as the dates do.
    if (ranged) value = WithinBounds(field, value);
    SendMessageA(field, quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&value));
  } else {
    return;
  }
  say_("    spin " + std::string(delta > 0 ? "up" : "down") + ": \"" + before + "\" -> \"" +
       Shown(field) + "\"");
}

void DemoForm::OpenLookup(HWND field) {
  if (lookup_) DestroyWindow(lookup_);
  RECT where{};
  GetWindowRect(field, &where);
  POINT corner{where.left, where.bottom};
  ScreenToClient(form_, &corner);
  lookup_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                            WS_CHILD | WS_VISIBLE | LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                            corner.x, corner.y, where.right - where.left, 64, form_, nullptr,
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(form_, GWLP_HINSTANCE)),
                            nullptr);
  SendMessageA(lookup_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  for (const char* choice : kLookupChoices) {
    SendMessageA(lookup_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
  }
  SetWindowPos(lookup_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  lookupField_ = field;
  say_("    prompt button: lookup opened with " + std::to_string(std::size(kLookupChoices)) +
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
      reinterpret_cast<HWND>(lParam) == self->lookup_) {
    if (HIWORD(wParam) != LBN_DBLCLK) return 0;
    const LRESULT chosen = SendMessageA(self->lookup_, LB_GETCURSEL, 0, 0);
    if (chosen >= 0 && chosen < static_cast<LRESULT>(std::size(kLookupChoices))) {
      SendMessageA(self->lookupField_, quillet::HEM_SETVALUE, 0,
                   reinterpret_cast<LPARAM>(kLookupChoices[chosen]));
      self->say_(std::string("    lookup: chose \"") + kLookupChoices[chosen] + "\"");
    }
    // The list goes once the message that reported the choice is done with it.
    PostMessageA(window, WM_APP, 0, 0);
    return 0;
  }
  if (self && message == WM_APP && self->lookup_) {
    DestroyWindow(self->lookup_);
    self->lookup_ = nullptr;
    SetFocus(self->lookupField_);
    return 0;
  }
  if (self && message == WM_COMMAND && lParam) {
    const auto field = reinterpret_cast<HWND>(lParam);
    const WORD code = HIWORD(wParam);
    self->Note(field, code);
    // Tab reaches an ordinary window only as the field's request to move on,
    // which a dialog would carry out itself: the form does it here.
    if (code == quillet::HEN_TAB || code == quillet::HEN_BACKTAB) {
      HWND next = GetNextDlgTabItem(window, field, code == quillet::HEN_BACKTAB);
      if (next) SetFocus(next);
    }
    return 0;
  }
  if (message == WM_NCDESTROY && self) self->form_ = nullptr;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace quorvan::host
