// What a control event costs on its way to the host: the test control fires an
// event with one long, the client's event sink sends WM_QVOCXEVENT to the host
// window and the host's procedure returns. Against it, the same message with the
// same kind of argument block sent straight to a window of the same class, and
// sent to the host window the client has subclassed. Runs under Wine; prints
// per-event times and the ratios in the format of the native benchmark report.
#include <oaidl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "host/loaded_library.h"
#include "host/tarvik_exports.h"
#include "tests/windows/probe_control/probe_control_ids.h"

namespace {

// Small enough that a round stays short under the 32-bit emulation, large
// enough that the one call starting a round of firings does not count.
constexpr LONG kEventsPerRound = 20000;
constexpr int kRounds = 7;

// What the host's procedure saw of the events: their number and the sum of
// their arguments, which tells that each event carried its own value.
struct Received {
  LONG events = 0;
  LONGLONG sum = 0;
};

UINT g_ocxEvent = 0;
Received g_received;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == g_ocxEvent && message != 0) {
    const auto* params = reinterpret_cast<const DISPPARAMS*>(lParam);
    if (wParam == static_cast<WPARAM>(kEventCounted) && params && params->cArgs == 1 &&
        V_VT(&params->rgvarg[0]) == VT_I4) {
      ++g_received.events;
      g_received.sum += V_I4(&params->rgvarg[0]);
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class Window {
 public:
  Window(const char* windowClass, DWORD style, int x, int y, int cx, int cy, HWND parent)
      : handle_(CreateWindowExA(0, windowClass, "", style, x, y, cx, cy, parent, nullptr,
                                GetModuleHandleA(nullptr), nullptr)) {}
  ~Window() {
    if (IsWindow(handle_)) DestroyWindow(handle_);
  }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  HWND Handle() const { return handle_; }

 private:
  HWND handle_;
};

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One round: nanoseconds per event, and whether the host saw exactly the
// round's events with their values.
template <class Round>
double NanosecondsPerEvent(Round round, bool& delivered) {
  g_received = Received{};
  const double start = Seconds();
  round();
  const double elapsed = Seconds() - start;
  constexpr LONGLONG kExpectedSum =
      static_cast<LONGLONG>(kEventsPerRound) * (kEventsPerRound - 1) / 2;
  delivered = delivered && g_received.events == kEventsPerRound && g_received.sum == kExpectedSum;
  Pump();
  return elapsed / kEventsPerRound * 1e9;
}

// The block as a control builds it for one long by value, sent as the library
// sends it.
void SendDirectly(HWND target) {
  VARIANTARG index;
  VariantInit(&index);
  V_VT(&index) = VT_I4;
  for (LONG i = 0; i < kEventsPerRound; ++i) {
    V_I4(&index) = i;
    DISPPARAMS params{&index, nullptr, 1, 0};
    SendMessageA(target, g_ocxEvent, static_cast<WPARAM>(kEventCounted),
                 reinterpret_cast<LPARAM>(&params));
  }
}

}  // namespace

int main() {
  quorvan::host::LoadedLibrary probe("ProbeControl.dll");
  using RegisterFn = HRESULT(WINAPI*)();
  auto registerServer = probe.Export<RegisterFn>("DllRegisterServer");
  if (!registerServer || FAILED(registerServer())) {
    std::printf("ProbeControl.dll is missing or could not be registered\n");
    return 1;
  }
  quorvan::host::LoadedLibrary tarvik("Tarvik.dll");
  quorvan::host::TarvikExports exports(tarvik);
  quorvan::host::TarvikOcxExports ocx(tarvik);
  if (!exports.Complete() || !ocx.Complete()) {
    std::printf("Tarvik.dll lacks the exports this benchmark needs\n");
    return 1;
  }

  g_ocxEvent = RegisterWindowMessageA("WM_QVOCXEVENT");
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = &HostProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "QvEventBenchWindow";
  if (!RegisterClassA(&windowClass)) return 1;
  Window frame("QvEventBenchWindow", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500, 400, nullptr);
  Window host("QvEventBenchWindow", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100, frame.Handle());
  Window bare("QvEventBenchWindow", WS_CHILD | WS_VISIBLE, 10, 150, 200, 100, frame.Handle());

  exports.qvOleInit();
  const int client = ocx.createOCXClient();
  bool delivered =
      client > 0 && ocx.createOCXControl(client, host.Handle(), kProbeControlProgId, "",
                                         WS_CHILD | WS_VISIBLE, nullptr, nullptr) == 1;
  IDispatch* control = delivered ? exports.getAutoClientDispatch(client) : nullptr;
  delivered = delivered && control;
  Pump();

  double throughContainer = 1e30, direct = 1e30, subclassed = 1e30;
  if (delivered) {
    auto fire = [control] {
      VARIANTARG count;
      VariantInit(&count);
      V_VT(&count) = VT_I4;
      V_I4(&count) = kEventsPerRound;
      DISPPARAMS params{&count, nullptr, 1, 0};
      control->Invoke(kDispidFireRepeated, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                      nullptr);
    };
    // The three are measured in turn in each round, so that whatever else the
    // machine does falls on all of them alike; the best round of each counts.
    for (int round = 0; round < kRounds; ++round) {
      throughContainer = std::min(throughContainer, NanosecondsPerEvent(fire, delivered));
      direct =
          std::min(direct, NanosecondsPerEvent([&] { SendDirectly(bare.Handle()); }, delivered));
      subclassed = std::min(subclassed,
                            NanosecondsPerEvent([&] { SendDirectly(host.Handle()); }, delivered));
    }
  }
  if (client > 0) {
    ocx.destroyOCXControl(client);
    exports.destroyAutomationClient(client);
  }
  exports.qvOleUninit();
  if (!delivered) {
    std::printf("the host did not receive every event with its value\n");
    return 2;
  }

  std::printf("%-48s %12.1f ns %14.0f events/s\n", "BM_ControlEventToHost", throughContainer,
              1e9 / throughContainer);
  std::printf("%-48s %12.1f ns %14.0f events/s\n", "BM_ControlEventToHost_Baseline", direct,
              1e9 / direct);
  std::printf("%-48s %12.1f ns %14.0f events/s\n", "BM_SendMessageToSubclassedHost", subclassed,
              1e9 / subclassed);
  std::printf("%-48s %12.1f ns %14.0f events/s\n", "BM_SendMessageToSubclassedHost_Baseline",
              direct, 1e9 / direct);
  std::printf("\n%-48s %12s\n", "benchmark / its baseline", "ratio");
  std::printf("%-48s %12.2f\n", "BM_ControlEventToHost", throughContainer / direct);
  std::printf("%-48s %12.2f\n", "BM_SendMessageToSubclassedHost", subclassed / direct);
  return 0;
}
