// The demo host: plays the part of the 4GL runtime on the built DLLs and prints
// a transcript of what it does. Usage: demo_host [--screenshot FILE.png]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/loaded_library.h"
#include "host/quillet_exports.h"
#include "host/tarvik_exports.h"
#include "host/window_capture.h"

namespace {

using quorvan::host::LoadedLibrary;

constexpr char kFormClass[] = "QuorvanDemoForm";

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

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateForm(HINSTANCE instance) {
  WNDCLASSA form{};
  form.lpfnWndProc = FormProc;
  form.hInstance = instance;
  form.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  form.lpszClassName = kFormClass;
  RegisterClassA(&form);
  return CreateWindowExA(0, kFormClass, "Quorvan demo host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                         40, 520, 360, nullptr, nullptr, instance, nullptr);
}

HWND AddLabel(HWND form, const std::string& text, int x, int y, int width, int height) {
  return CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, x, y, width, height,
                         form, nullptr, nullptr, nullptr);
}

HWND AddField(HWND form, const char* className, const char* fieldSpec, int id, int y) {
  HWND field = CreateWindowExA(WS_EX_CLIENTEDGE, className, fieldSpec,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP, 160, y, 200, 24, form,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  Say(std::string("created ") + className + " field \"" + fieldSpec +
      "\": " + (field ? "ok" : "failed (error " + std::to_string(GetLastError()) + ")"));
  return field;
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
  HWND form = CreateForm(instance);
  AddLabel(form, "Name (HEdit_SS):", 16, 20, 140, 20);
  AddField(form, "HEdit_SS", "%ss", 101, 18);
  AddLabel(form, "Amount (HEdit):", 16, 56, 140, 20);
  AddField(form, "HEdit", "%nd#,##0.00", 102, 54);
  std::string summary = "International settings, as Quillet formats with them:\n";
  for (const std::string& line : intl) summary += "  " + line + "\n";
  AddLabel(form, summary, 16, 100, 480, 200);
  PumpMessages(500);

  if (!screenshot.empty()) {
    bool saved = quorvan::host::WritePng(screenshot, quorvan::host::CaptureWindow(form));
    Say((saved ? "saved screenshot " : "could not save screenshot ") + screenshot);
  }
  DestroyWindow(form);
  PumpMessages(50);
  Say("QvOleUninit() = " + std::to_string(tarvikApi.qvOleUninit()));
  Say("done");
  return 0;
}
