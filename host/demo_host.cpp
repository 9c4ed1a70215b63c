// The demo host: plays the part of the 4GL runtime on the built DLLs. It shows a
// data-entry form of HEdit fields and a hosted ActiveX control, walks an
// Automation server, and then works the form with real keyboard and mouse input,
// printing a transcript in which every step is checked. Exits 1 when a step failed.
// Usage: demo_host [--screenshots DIRECTORY]
#include <windows.h>

#include <cstdint>
#include <string>

#include "host/demo_automation.h"
#include "host/demo_control.h"
#include "host/demo_form.h"
#include "host/demo_input.h"
#include "host/demo_script.h"
#include "host/demo_transcript.h"
#include "host/loaded_library.h"
#include "host/quillet_exports.h"
#include "host/tarvik_exports.h"

namespace {

using quorvan::host::DemoControl;
using quorvan::host::DemoForm;
using quorvan::host::LoadedLibrary;
using quorvan::host::PumpMessages;
using quorvan::host::Transcript;

// What Quillet shows with the international settings it read at load: each
// value formatted without a mask takes the layout of those settings.
void DescribeIntlSettings(const quorvan::host::QuilletExports& quillet, Transcript& transcript) {
  transcript.Say("international settings Quillet read at load, as its formatting shows them:");
  char text[64];
  auto shown = [&](const char* what, const void* value, char type, char storage, const char* mask) {
    quillet.formatData(value, type, storage, mask, text, sizeof text, nullptr, 0);
    transcript.Say(std::string("  ") + what + ": " + text);
  };
  const double amount = 1234567.891;
  const std::int32_t date = 20241225;
  const std::uint16_t time[3] = {17, 45, 30};
  shown("number \"#,##0.00\"", &amount, 'n', 'd', "#,##0.00");
  shown("short date", &date, 'd', 'l', nullptr);
  shown("time", time, 't', 't', nullptr);
  shown("long date \"dddd, mmmm d, yyyy\"", &date, 'd', 'l', "dddd, mmmm d, yyyy");
}

bool ClassRegistered(HMODULE quillet, const char* className) {
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  return GetClassInfoExA(quillet, className, &info) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshots;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--screenshots") screenshots = argv[++i];

  Transcript transcript;
  transcript.Say("Quorvan demo host (" + std::to_string(sizeof(void*) * 8) + "-bit)");
  LoadedLibrary tarvik("Tarvik.dll");
  LoadedLibrary quillet("Quillet.dll");
  for (const LoadedLibrary* library : {&tarvik, &quillet}) {
    if (!transcript.Check(library->Loaded(),
                          std::string(library == &tarvik ? "Tarvik" : "Quillet") + ".dll loads"))
      return 1;
    transcript.Say("loaded " + library->Path() + ": " + library->VersionText());
  }

  quorvan::host::TarvikExports tarvikApi(tarvik);
  quorvan::host::TarvikCallExports tarvikCalls(tarvik);
  quorvan::host::QuilletExports quilletExports(quillet);
  if (!transcript.Check(tarvikApi.Complete() && tarvikCalls.Complete() && quilletExports.Complete(),
                        "the libraries have every export the host calls"))
    return 1;
  const int initialised = tarvikApi.qvOleInit();
  transcript.Say("QvOleInit() = " + std::to_string(initialised));
  transcript.Check(initialised == 1600, "Tarvik is initialised");
  quorvan::host::WalkDictionary(tarvikApi, tarvikCalls, transcript);

  DescribeIntlSettings(quilletExports, transcript);
  for (const char* name : {"HEdit", "HEdit_SS"})
    transcript.Check(ClassRegistered(quillet.Handle(), name),
                     std::string("window class ") + name + " is registered");

  transcript.Say("data-entry form:");
  {
    DemoForm form(GetModuleHandleA(nullptr),
                  [&](const std::string& line) { transcript.Say(line); });
    DemoControl control(form.window(), form.SpareArea(), form.font(), tarvik, transcript);
    if (control.Create()) control.Recolour(RGB(255, 200, 0));
    quorvan::host::FillForm(form);
    // Long enough for the clock field's first tick.
    PumpMessages(1300);
    quorvan::host::RunDemoScript(form, control, quilletExports, transcript, screenshots);
    control.Destroy();
  }
  PumpMessages(50);
  transcript.Say("QvOleUninit() = " + std::to_string(tarvikApi.qvOleUninit()));
  transcript.Say(std::to_string(transcript.checks()) + " checks, " +
                 std::to_string(transcript.failures()) + " failed");
  return transcript.failures() == 0 ? 0 : 1;
}
