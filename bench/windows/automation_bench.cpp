// What a property read through a client handle costs the host, against the
// same IDispatch::Invoke made directly, on an in-process object of our own.
// Runs under Wine; prints per-call times and the ratio in the format of the
// native benchmark report.
#include <oaidl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "host/loaded_library.h"
#include "host/tarvik_exports.h"
#include "tests/windows/tarvik_automation_tests/recording_dispatch.h"

namespace {

using GetIntegerPropertyFn = int(WINAPI*)(int handle, int dispid);

// The probe the Automation tests use: it records every call (DISPID, flags,
// each argument's type and value, the named arguments) and answers with a copy
// of a prepared result. Its log is emptied between rounds.
using Probe = automation_tests::RecordingDispatch;

// The cheapest server there can be: it answers and records nothing. Against it
// the ratio shows the library's own cost per call at its most visible.
class BareServer : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references_); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references_); }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (result) {
      result->vt = VT_I4;
      result->lVal = 42;
    }
    return S_OK;
  }

 private:
  long references_ = 1;
};

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of several rounds, in nanoseconds per call: the least disturbed measure.
template <class Call, class Reset>
double NanosecondsPerCall(Call call, Reset reset) {
  constexpr int kCalls = 200000, kRounds = 7;
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    reset();
    const double start = Seconds();
    for (int i = 0; i < kCalls; ++i) call();
    best = std::min(best, (Seconds() - start) / kCalls * 1e9);
  }
  return best;
}
template <class Call>
double NanosecondsPerCall(Call call) {
  return NanosecondsPerCall(call, [] {});
}

}  // namespace

int main() {
  quorvan::host::LoadedLibrary tarvik("Tarvik.dll");
  quorvan::host::TarvikExports exports(tarvik);
  auto getInteger = tarvik.Export<GetIntegerPropertyFn>("GetAutoClientIntegerProperty");
  if (!exports.Complete() || !getInteger) {
    std::printf("Tarvik.dll lacks the exports this benchmark needs\n");
    return 1;
  }
  auto* probe = new Probe;
  probe->Answer(VT_I4, [](VARIANT& v) { v.lVal = 42; });
  BareServer bare;
  exports.qvOleInit();
  const int client = exports.createAutomationClient();
  exports.attachAutoClientDispatch(client, probe, 1);
  const int bareClient = exports.createAutomationClient();
  exports.attachAutoClientDispatch(bareClient, &bare, 1);

  volatile int sink = 0;
  auto directRead = [&](IDispatch* object, DISPID dispid) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    object->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, &exception,
                   &argumentError);
    sink = result.lVal;
    VariantClear(&result);
  };
  auto emptyLog = [&] { probe->calls.clear(); };
  const double throughLibrary = NanosecondsPerCall([&] { sink = getInteger(client, 7); }, emptyLog);
  const double direct = NanosecondsPerCall([&] { directRead(probe, 7); }, emptyLog);
  bool answered = sink == 42 && !probe->calls.empty();
  const double bareThroughLibrary = NanosecondsPerCall([&] { sink = getInteger(bareClient, 7); });
  const double bareDirect = NanosecondsPerCall([&] { directRead(&bare, 7); });
  answered = answered && sink == 42;

  // The same read of a server the platform ships, whose own work is that of a
  // typical server: Scripting.Dictionary's Count.
  const int dictionary = exports.createAutomationClient();
  double dictionaryThroughLibrary = 0, dictionaryDirect = 0;
  if (exports.createAutoClientDispatch(dictionary, "Scripting.Dictionary") == 1) {
    IDispatch* object = exports.getAutoClientDispatch(dictionary);
    OLECHAR countName[] = L"Count";
    LPOLESTR names[] = {countName};
    DISPID count = DISPID_UNKNOWN;
    object->GetIDsOfNames(IID_NULL, names, 1, 0, &count);
    dictionaryThroughLibrary = NanosecondsPerCall([&] { sink = getInteger(dictionary, count); });
    dictionaryDirect = NanosecondsPerCall([&] { directRead(object, count); });
  }
  exports.destroyAutomationClient(dictionary);
  exports.destroyAutomationClient(client);
  exports.destroyAutomationClient(bareClient);
  probe->Release();
  exports.qvOleUninit();

  std::printf("%-48s %12.1f ns\n", "BM_GetAutoClientIntegerProperty", throughLibrary);
  std::printf("%-48s %12.1f ns\n", "BM_GetAutoClientIntegerProperty_Baseline", direct);
  std::printf("%-48s %12.1f ns\n", "BM_BareServerInteger", bareThroughLibrary);
  std::printf("%-48s %12.1f ns\n", "BM_BareServerInteger_Baseline", bareDirect);
  std::printf("%-48s %12.1f ns\n", "BM_DictionaryCount", dictionaryThroughLibrary);
  std::printf("%-48s %12.1f ns\n", "BM_DictionaryCount_Baseline", dictionaryDirect);
  std::printf("\n%-48s %12s\n", "benchmark / its baseline", "ratio");
  std::printf("%-48s %12.2f\n", "BM_GetAutoClientIntegerProperty", throughLibrary / direct);
  std::printf("%-48s %12.2f\n", "BM_BareServerInteger", bareThroughLibrary / bareDirect);
  if (dictionaryDirect > 0)
    std::printf("%-48s %12.2f\n", "BM_DictionaryCount",
                dictionaryThroughLibrary / dictionaryDirect);
  return answered ? 0 : 2;
}
