#include "host/demo_control.h"

#include <cstring>
#include <cwchar>

#include "tests/windows/probe_control/probe_control_ids.h"

namespace quorvan::host {
namespace {

constexpr char kHostClass[] = "QuorvanDemoControlHost";
constexpr int kHostHeight = 90;
constexpr int kCaptionHeight = 20;
constexpr int kRepeatCount = 5;
// The HostDate of an OLE date: day 693974 is OLE date 0.0.
constexpr std::uint32_t kOleDayZero = 693974;

std::string Narrow(const wchar_t* text) {
  char buffer[128] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
  return buffer;
}

// A text value for AlterOCXEventParam: a process-heap block that the library
// takes over once it has found the argument to be by reference.
char* HeapText(const char* text) {
  const size_t size = std::strlen(text) + 1;
  auto* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
  if (block) std::memcpy(block, text, size);
  return block;
}

}  // namespace

DemoControl::DemoControl(HWND parent, const RECT& area, HFONT font, const LoadedLibrary& tarvik,
                         Transcript& transcript)
    : transcript_(transcript),
      api_(tarvik),
      calls_(tarvik),
      events_(tarvik),
      ocx_(tarvik),
      probe_("ProbeControl.dll"),
      area_(area) {
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  WNDCLASSA hostClass{};
  hostClass.lpfnWndProc = HostProc;
  hostClass.hInstance = instance;
  hostClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  hostClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  hostClass.lpszClassName = kHostClass;
  RegisterClassA(&hostClass);
  const int width = area.right - area.left;
  HWND caption = CreateWindowExA(0, "STATIC", "Hosted control: QuorvanTest.ProbeControl",
                                 WS_CHILD | WS_VISIBLE, area.left, area.top, width, kCaptionHeight,
                                 parent, nullptr, instance, nullptr);
  SendMessageA(caption, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  host_ = CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE, area.left,
                          area.top + kCaptionHeight, width, kHostHeight, parent, nullptr, instance,
                          nullptr);
  SetWindowLongPtrA(host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  const int listTop = area.top + kCaptionHeight + kHostHeight + 8;
  HWND listCaption =
      CreateWindowExA(0, "STATIC", "Events the form received:", WS_CHILD | WS_VISIBLE, area.left,
                      listTop, width, kCaptionHeight, parent, nullptr, instance, nullptr);
  SendMessageA(listCaption, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  list_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, area.left,
                          listTop + kCaptionHeight, width, area.bottom - listTop - kCaptionHeight,
                          parent, nullptr, instance, nullptr);
  SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  eventMessage_ = RegisterWindowMessageA("WM_QVOCXEVENT");
  notifyMessage_ = RegisterWindowMessageA("WM_QVOCXNOTIFYEVENT");
}

DemoControl::~DemoControl() {
  Destroy();
  if (host_) DestroyWindow(host_);
}

bool DemoControl::Create() {
  transcript_.Say("ActiveX control: QuorvanTest.ProbeControl in a window of the form");
  if (!transcript_.Check(events_.Complete() && ocx_.Complete(), "Tarvik has the control exports"))
    return false;
  CLSID clsid{};
  const bool registered = SUCCEEDED(CLSIDFromProgID(L"QuorvanTest.ProbeControl", &clsid));
  if (!transcript_.Check(registered && IsEqualCLSID(clsid, CLSID_ProbeControl),
                         "the control's class is registered (regsvr32 ProbeControl.dll)"))
    return false;
  client_ = ocx_.createOCXClient();
  transcript_.Say("  CreateOCXClient() = " + std::to_string(client_));
  if (!transcript_.Check(client_ > 0, "an OCX client handle was given")) return false;
  api_.setSilentErrorMode(client_, 1);
  const int result = ocx_.createOCXControlEx(client_, host_, kProbeControlProgId, "",
                                             WS_CHILD | WS_VISIBLE, nullptr, nullptr, FALSE);
  transcript_.Say(
      "  CreateOCXControlEx(" + std::to_string(client_) +
      ", host window, \"QuorvanTest.ProbeControl\", running) = " + std::to_string(result));
  created_ = result == 1;
  if (!transcript_.Check(created_, "the control is created and active")) return false;
  auto stats = probe_.Export<ProbeControlStatsFn>("ProbeControlStats");
  ProbeStats seen{};
  seen.size = sizeof seen;
  transcript_.Check(stats && stats(&seen) && seen.window && IsChild(host_, seen.window),
                    "the control's window is a child of the host window");
  return true;
}

void DemoControl::Recolour(COLORREF colour) {
  if (!created_) return;
  const int set =
      calls_.setAutoClientIntegerProperty(client_, kDispidColor, static_cast<int>(colour));
  const int read = calls_.getAutoClientIntegerProperty(client_, kDispidColor);
  char text[96];
  wsprintfA(text, "  SetAutoClientIntegerProperty(Color, 0x%06x) = %d; read back 0x%06x",
            static_cast<unsigned>(colour), set, static_cast<unsigned>(read));
  transcript_.Say(text);
  transcript_.Check(set == 1 && static_cast<COLORREF>(read) == colour,
                    "the control's Color property took the host's colour");
  InvalidateRect(host_, nullptr, TRUE);
}

void DemoControl::FireEvents() {
  if (!created_) return;
  auto stats = probe_.Export<ProbeControlStatsFn>("ProbeControlStats");
  transcript_.Say(
      "  FireAll(): the control fires event 1 (nine arguments by value) and "
      "event 2 (seven by reference)");
  calls_.invokeAutoClientVoidFunction(client_, kDispidFireAll);
  transcript_.Check(valueEventChecked_, "event 1 reached the form");
  transcript_.Check(referenceEventAltered_, "event 2 reached the form and was written back");
  ProbeStats seen{};
  seen.size = sizeof seen;
  if (transcript_.Check(stats && stats(&seen), "the control's record of what it saw")) {
    char line[160];
    _snprintf(line, sizeof line,
              "  the control read back: short %d, bool %d, long %ld, double %.2f, text \"%s\"",
              seen.byRefShort, seen.byRefBool, static_cast<long>(seen.byRefLong), seen.byRefDouble,
              Narrow(seen.byRefText).c_str());
    transcript_.Say(line);
    transcript_.Check(seen.writeBacksRecorded == 1, "the control finished event 2 once");
    transcript_.Check(seen.byRefShort == 8 && seen.byRefLong == 80000 &&
                          seen.byRefBool == VARIANT_TRUE && seen.byRefDouble == 9.75 &&
                          std::wcscmp(seen.byRefText, L"after") == 0,
                      "the control sees the host's values in its by-reference variables");
    transcript_.Check(
        seen.byRefCurrency.int64 == kProbeRefCurrency && seen.byRefDate == kProbeRefDate,
        "arguments the host did not alter keep the control's values");
  }

  transcript_.Say("  FireNoArgs(): event 3");
  calls_.invokeAutoClientVoidFunction(client_, kDispidFireNoArgs);
  transcript_.Check(noArgumentEvents_ == 1, "event 3 arrived once, without arguments");

  transcript_.Say("  FireTwo(42, \"from the host\"): event 5");
  calls_.declareAutoClientInvokeParams(client_, 2);
  calls_.defineAutoClientIntegerParam(client_, 42);
  calls_.defineAutoClientStringParam(client_, "from the host");
  calls_.invokeAutoClientVoidFunction(client_, kDispidFireTwo);
  transcript_.Check(twoArgumentEvents_ == 1, "event 5 arrived once");

  transcript_.Say("  FireRepeated(" + std::to_string(kRepeatCount) + "): event 6, " +
                  std::to_string(kRepeatCount) + " times");
  calls_.declareAutoClientInvokeParams(client_, 1);
  calls_.defineAutoClientIntegerParam(client_, kRepeatCount);
  calls_.invokeAutoClientVoidFunction(client_, kDispidFireRepeated);
  transcript_.Check(repeatedSeen_ == kRepeatCount, "every repeated event arrived, in order");
}

int DemoControl::KeyMessages() const {
  auto stats = probe_.Export<ProbeControlStatsFn>("ProbeControlStats");
  ProbeStats seen{};
  seen.size = sizeof seen;
  return stats && stats(&seen) ? seen.keyMessages : 0;
}

void DemoControl::CheckFocusAndKeys(int keyMessagesBefore) {
  transcript_.Check(focusGained_ > 0, "the click gave the control the focus (WM_QVOCXNOTIFYEVENT)");
  const int keys = KeyMessages() - keyMessagesBefore;
  transcript_.Say("  the control's window received " + std::to_string(keys) + " key messages");
  transcript_.Check(keys > 0, "typed keys reached the control");
}

void DemoControl::Destroy() {
  if (client_ <= 0) return;
  const int destroyed = ocx_.destroyOCXControl(client_);
  const int removed = api_.destroyAutomationClient(client_);
  transcript_.Say("  DestroyOCXControl(" + std::to_string(client_) +
                  ") = " + std::to_string(destroyed) +
                  ", DestroyAutomationClient = " + std::to_string(removed));
  transcript_.Check(destroyed == 1 && removed == 0, "the control and its client are gone");
  client_ = 0;
  created_ = false;
}

void DemoControl::Show(const std::string& line) {
  transcript_.Say("    " + line);
  const LRESULT index =
      SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  // The newest line stays in sight, and the list never stops half a line in.
  RECT client{};
  GetClientRect(list_, &client);
  const LRESULT itemHeight = SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0);
  const LRESULT visible = itemHeight > 0 ? client.bottom / itemHeight : 1;
  if (index >= visible)
    SendMessageA(list_, LB_SETTOPINDEX, static_cast<WPARAM>(index - visible + 1), 0);
}

std::string DemoControl::ReadReal(DISPPARAMS* params, int position, bool shortReal) const {
  // The size first, then the text: the readers' two-call protocol.
  auto reader = shortReal ? events_.getOCXEventShortRealParam : events_.getOCXEventRealParam;
  const int length = reader(params, position, nullptr);
  if (length <= 0) return "(unreadable)";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  if (reader(params, position, text.data()) != 1) return "(unreadable)";
  text.resize(std::strlen(text.c_str()));
  return text;
}

std::string DemoControl::ReadText(DISPPARAMS* params, int position) const {
  char* block = events_.getOCXEventStringParam(params, position, 0);
  if (!block) return "(unreadable)";
  std::string text(block);
  HeapFree(GetProcessHeap(), 0, block);
  return text;
}

void DemoControl::OnValueArguments(DISPPARAMS* params) {
  const int flag = events_.getOCXEventBoolParam(params, 0);
  const int small = events_.getOCXEventShortParam(params, 1);
  const int whole = events_.getOCXEventIntegerParam(params, 2);
  const std::string single = ReadReal(params, 3, true);
  const std::string real = ReadReal(params, 4, false);
  char currency[64] = {};
  events_.getOCXEventCurrencyParam(params, 5, currency);
  const std::uint32_t date = events_.getOCXEventDateParam(params, 6);
  const std::string text = ReadText(params, 7);
  const int object = events_.getOCXEventIntegerParam(params, 8);
  tarvik::HostVariant record{};
  const int copied = events_.getOCXEventOLEVariantParam(params, 7, &record);
  const std::string recordText = record.string ? record.string : "";
  if (record.string) HeapFree(GetProcessHeap(), 0, record.string);

  Show("event 1: Bool " + std::to_string(flag) + ", Short " + std::to_string(small) + ", Integer " +
       std::to_string(whole));
  Show("  ShortReal " + single + ", Real " + real);
  Show(std::string("  Currency ") + currency + ", Date " + std::to_string(date));
  Show("  String \"" + text + "\", object " + (object ? "given" : "missing"));
  transcript_.Check(flag == -1 && small == kProbeValueShort && whole == kProbeValueLong,
                    "Bool, Short and Integer readers give -1, -12 and 123456");
  transcript_.Check(single == "2.500000" && real == "3.500000",
                    "the real readers give \"2.500000\" and \"3.500000\"");
  transcript_.Check(std::strcmp(currency, "12.3456") == 0, "the currency reader gives 12.3456");
  transcript_.Check(date == kOleDayZero + 45000, "the date reader gives the host date 738974");
  transcript_.Check(text == "probe text" && object != 0,
                    "the string reader gives \"probe text\"; the object comes as a pointer");
  transcript_.Check(copied == 1 && record.type == VT_BSTR && recordText == "probe text",
                    "the OLE-variant reader copies the string argument into the host record");
  valueEventChecked_ = true;
}

void DemoControl::OnReferenceArguments(DISPPARAMS* params) {
  const int small = events_.getOCXEventShortParam(params, 0);
  const int flag = events_.getOCXEventBoolParam(params, 1);
  const int whole = events_.getOCXEventIntegerParam(params, 2);
  const std::string real = ReadReal(params, 3, false);
  const std::string text = ReadText(params, 4);
  Show("event 2, by reference: Short " + std::to_string(small) + ", Bool " + std::to_string(flag) +
       ",");
  Show("  Integer " + std::to_string(whole) + ", Real " + real + ", String \"" + text + "\"");
  transcript_.Check(small == kProbeRefShort && flag == 0 && whole == kProbeRefLong &&
                        real == "7.250000" && text == "before",
                    "the readers see through the references: 7, 0, 70000, 7.25, \"before\"");

  tarvik::HostVariant value{};
  value.type = VT_I2;
  value.shortValue = 8;
  int altered = events_.alterOCXEventParam(params, 0, value);
  value = {};
  value.type = VT_BOOL;
  value.boolValue = -1;
  altered += events_.alterOCXEventParam(params, 1, value);
  value = {};
  value.type = VT_I4;
  value.integerValue = 80000;
  altered += events_.alterOCXEventParam(params, 2, value);
  value = {};
  value.type = VT_R8;
  std::strcpy(value.realText, "9.75");
  altered += events_.alterOCXEventParam(params, 3, value);
  value = {};
  value.type = VT_BSTR;
  value.string = HeapText("after");
  altered += events_.alterOCXEventParam(params, 4, value);
  Show("  the host wrote back: Short 8, Bool true,");
  Show("  Integer 80000, Real 9.75, String \"after\"");
  referenceEventAltered_ = transcript_.Check(altered == 5, "AlterOCXEventParam took all five");
  transcript_.Expect("the string argument, read again, is", ReadText(params, 4), "after");
}

void DemoControl::OnEvent(DISPID dispid, DISPPARAMS* params) {
  const int count = params ? static_cast<int>(params->cArgs) : 0;
  transcript_.Say("  WM_QVOCXEVENT: DISPID " + std::to_string(dispid) + ", " +
                  std::to_string(count) + " arguments" + (params ? "" : " (lParam 0)"));
  switch (dispid) {
    case kEventValueArguments:
      OnValueArguments(params);
      break;
    case kEventReferenceArguments:
      OnReferenceArguments(params);
      break;
    case kEventNoArguments:
      Show("event 3: no arguments");
      if (!params) ++noArgumentEvents_;
      break;
    case kEventTwoArguments: {
      const int first = events_.getOCXEventIntegerParam(params, 0);
      const std::string second = ReadText(params, 1);
      Show("event 5: Integer " + std::to_string(first) + ", String \"" + second + "\"");
      // An argument passed by value has no variable of the control to write to.
      tarvik::HostVariant value{};
      value.type = VT_I4;
      value.integerValue = 1;
      const int altered = events_.alterOCXEventParam(params, 0, value);
      transcript_.Check(first == 42 && second == "from the host" && altered == 0,
                        "event 5 carries 42 and \"from the host\"; its by-value argument "
                        "cannot be altered");
      ++twoArgumentEvents_;
      break;
    }
    case kEventCounted: {
      const int index = events_.getOCXEventIntegerParam(params, 0);
      Show("event 6: index " + std::to_string(index));
      if (index == repeatedSeen_) ++repeatedSeen_;
      break;
    }
    default:
      Show("event " + std::to_string(dispid));
      break;
  }
}

LRESULT CALLBACK DemoControl::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<DemoControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && message == self->eventMessage_ && self->eventMessage_) {
    self->OnEvent(static_cast<DISPID>(wParam), reinterpret_cast<DISPPARAMS*>(lParam));
    return 0;
  }
  if (self && message == self->notifyMessage_ && self->notifyMessage_) {
    const bool gained = lParam != 0;
    if (gained) ++self->focusGained_;
    self->Show(std::string("focus notification: the control ") + (gained ? "gained" : "lost") +
               " the focus");
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace quorvan::host
