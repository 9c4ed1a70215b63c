// The demo host: plays the part of the 4GL runtime on the built DLLs and prints
// a transcript of what it does. Usage: demo_host [--screenshot FILE.png]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/demo_form.h"
#include "host/loaded_library.h"
#include "host/quillet_exports.h"
#include "host/tarvik_exports.h"
#include "host/window_capture.h"
#include "quillet/edit/hedit_constants.h"
#include "quillet/format/date_time_parts.h"

namespace {

using quorvan::host::LoadedLibrary;

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// What Quillet shows with the international settings it read at load: each
// value formatted without a mask takes the layout of those settings.
std::vector<std::string> DescribeIntlSettings(const quorvan::host::QuilletExports& quillet) {
  std::vector<std::string> lines;
  if (!quillet.formatData) return {"(Quillet exports no FormatData)"};
  char text[64];
  auto shown = [&](const char* what, const void* value, char type, char storage, const char* mask) {
    quillet.formatData(value, type, storage, mask, text, sizeof text, nullptr, 0);
    lines.push_back(std::string(what) + ": " + text);
  };
  const double amount = 1234567.891;
  const std::int32_t date = 20241225;
  const std::uint16_t time[3] = {17, 45, 30};
  shown("number \"#,##0.00\"", &amount, 'n', 'd', "#,##0.00");
  shown("short date", &date, 'd', 'l', nullptr);
  shown("time", time, 't', 't', nullptr);
  shown("long date \"dddd, mmmm d, yyyy\"", &date, 'd', 'l', "dddd, mmmm d, yyyy");
  return lines;
}

void PumpMessages(DWORD milliseconds) {
  DWORD end = GetTickCount() + milliseconds;
  MSG message;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  }
}

bool ClassRegistered(HMODULE quillet, const char* className) {
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  return GetClassInfoExA(quillet, className, &info) != 0;
}

// The host's compiler knows member names; the library takes DISPIDs only.
DISPID MemberId(IDispatch* object, const wchar_t* name) {
  std::wstring text(name);
  LPOLESTR names[] = {text.data()};
  DISPID dispid = DISPID_UNKNOWN;
  if (!object || FAILED(object->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid)))
    return DISPID_UNKNOWN;
  return dispid;
}

std::string TakeText(char* block) {
  if (!block) return "(none)";
  std::string text(block);
  HeapFree(GetProcessHeap(), 0, block);
  return text;
}

// A 4GL script's use of an Automation server: create it by ProgID, call methods
// with declared arguments, read a plain and an indexed property.
void WalkDictionary(const quorvan::host::TarvikExports& api,
                    const quorvan::host::TarvikCallExports& calls) {
  const int client = api.createAutomationClient();
  Say("CreateAutomationClient() = " + std::to_string(client));
  const int created = api.createAutoClientDispatch(client, "Scripting.Dictionary");
  Say("CreateAutoClientDispatch(" + std::to_string(client) +
      ", \"Scripting.Dictionary\") = " + std::to_string(created));
  if (created != 1) return;
  IDispatch* dictionary = api.getAutoClientDispatch(client);
  const DISPID add = MemberId(dictionary, L"Add"), count = MemberId(dictionary, L"Count"),
               item = MemberId(dictionary, L"Item");
  const std::pair<const char*, const char*> entries[] = {{"SE", "Sweden"}, {"NO", "Norway"}};
  for (const auto& [key, value] : entries) {
    calls.declareAutoClientInvokeParams(client, 2);
    calls.defineAutoClientStringParam(client, key);
    calls.defineAutoClientStringParam(client, value);
    Say(std::string("  Add(\"") + key + "\", \"" + value +
        "\") = " + std::to_string(calls.invokeAutoClientVoidFunction(client, add)));
  }
  Say("  Count = " + std::to_string(calls.getAutoClientIntegerProperty(client, count)));
  calls.declareAutoClientInvokeParams(client, 1);
  calls.defineAutoClientStringParam(client, "NO");
  Say("  Item(\"NO\") = \"" + TakeText(calls.getAutoClientStringProperty(client, item)) + "\"");
  Say("DestroyAutomationClient(" + std::to_string(client) +
      ") = " + std::to_string(api.destroyAutomationClient(client)));
}

template <class T>
void SetFieldValue(HWND field, const T& value) {
  SendMessageA(field, quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&value));
}

// The values a record brings to the form when it is shown.
void FillForm(quorvan::host::DemoForm& form) {
  SendMessageA(form.Field("Name (prompt)"), quillet::HEM_SETVALUE, 0,
               reinterpret_cast<LPARAM>("Margaret Hamilton"));
  SetFieldValue(form.Field("Amount (spin)"), 1234.5);
  SetFieldValue(form.Field("Quantity (spin)"), std::int32_t{12});
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
  SendMessageA(form.Field("Phone"), quillet::HEM_SETVALUE, 0,
               reinterpret_cast<LPARAM>("5551234567"));
  SetFieldValue(form.Field("Rate"), 4.25);
  SendMessageA(form.Field("Grade"), quillet::HEM_SETVALUE, 0, reinterpret_cast<LPARAM>("A"));
}

// What a user does on the form: steps values with the spin buttons, picks a name
// from the lookup, types into a field and leaves it with its text selected.
void UseForm(quorvan::host::DemoForm& form) {
  form.PressSpin("Amount (spin)", true);
  form.PressSpin("Quantity (spin)", false);
  form.PressSpin("Due date (spin)", true);
  form.PressPrompt("Name (prompt)");
  form.ChooseFromLookup(1);
  HWND quantity = form.Field("Quantity (spin)");
  SetFocus(quantity);
  SendMessageA(quantity, quillet::HEM_SETSELECTION, 0, -1);
  for (char c : std::string("250")) SendMessageA(quantity, WM_CHAR, static_cast<WPARAM>(c), 0);
  Say("  typed \"250\" into Quantity: \"" + quorvan::host::DemoForm::Shown(quantity) + "\"");
  HWND amount = form.Field("Amount (spin)");
  SetFocus(amount);
  SendMessageA(amount, quillet::HEM_SETSELECTION, 0, 4);
  Say("  Amount has the focus, edit form \"" + quorvan::host::DemoForm::Shown(amount) +
      "\" with its first four characters selected");
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--screenshot") screenshot = argv[++i];

  Say("Quorvan demo host (" + std::to_string(sizeof(void*) * 8) + "-bit)");
  LoadedLibrary tarvik("Tarvik.dll");
  LoadedLibrary quillet("Quillet.dll");
  for (const LoadedLibrary* library : {&tarvik, &quillet}) {
    if (!library->Loaded()) {
      Say("cannot load the library (error " + std::to_string(GetLastError()) + ")");
      return 1;
    }
    Say("loaded " + library->Path() + ": " + library->VersionText());
  }

  quorvan::host::TarvikExports tarvikApi(tarvik);
  quorvan::host::TarvikCallExports tarvikCalls(tarvik);
  if (!tarvikApi.Complete() || !tarvikCalls.Complete()) {
    Say("Tarvik.dll lacks exports the host calls");
    return 1;
  }
  Say("QvOleInit() = " + std::to_string(tarvikApi.qvOleInit()));
  WalkDictionary(tarvikApi, tarvikCalls);

  quorvan::host::QuilletExports quilletExports(quillet);
  Say("international settings Quillet read at load, as its formatting shows them:");
  std::vector<std::string> intl = DescribeIntlSettings(quilletExports);
  for (const std::string& line : intl) Say("  " + line);
  for (const char* name : {"HEdit", "HEdit_SS"})
    Say(std::string("window class ") + name + ": " +
        (ClassRegistered(quillet.Handle(), name) ? "registered" : "missing"));

  HINSTANCE instance = GetModuleHandleA(nullptr);
  Say("data-entry form:");
  quorvan::host::DemoForm form(instance, Say);
  FillForm(form);
  PumpMessages(300);
  for (const quorvan::host::DemoField& field : form.fields())
    Say(std::string("  ") + field.label + " \"" + field.spec + "\" shows \"" +
        quorvan::host::DemoForm::Shown(field.window) + "\"");
  UseForm(form);
  // Long enough for the clock field's first tick.
  PumpMessages(1200);
  Say("the form after use:");
  for (const quorvan::host::DemoField& field : form.fields())
    Say(std::string("  ") + field.label + " shows \"" +
        quorvan::host::DemoForm::Shown(field.window) + "\"");

  if (!screenshot.empty()) {
    bool saved = quorvan::host::WritePng(screenshot, quorvan::host::CaptureWindow(form.window()));
    Say((saved ? "saved screenshot " : "could not save screenshot ") + screenshot);
  }
  PumpMessages(50);
  Say("QvOleUninit() = " + std::to_string(tarvikApi.qvOleUninit()));
  Say("done");
  return 0;
}
