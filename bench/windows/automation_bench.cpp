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

namespace {

using GetIntegerPropertyFn = int(WINAPI*)(int handle, int dispid);

// A server of our own that does what the test probe does on every call: it
// records the call (DISPID, flags, the arguments' types, the named arguments)
// and answers with a copy of its prepared result, as servers hand out results.
class RecordingServer : public IDispatch {
 public:
  RecordingServer() {
    VariantInit(&answer_);
    answer_.vt = VT_I4;
    answer_.lVal = 42;
  }
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
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    Call& call = calls_[next_++ % kKept];
    call.dispid = dispid;
    call.flags = flags;
    call.count = params ? params->cArgs : 0;
    for (UINT i = 0; i < call.count && i < kArguments; ++i) call.types[i] = params->rgvarg[i].vt;
    call.named = params && params->cNamedArgs ? params->rgdispidNamedArgs[0] : DISPID_UNKNOWN;
    return result ? VariantCopy(result, &answer_) : S_OK;
  }

 private:
  static constexpr unsigned kKept = 64, kArguments = 8;
  struct Call {
    DISPID dispid;
    WORD flags;
    UINT count;
    VARTYPE types[kArguments];
    DISPID named;
  };
  Call calls_[kKept] = {};
  unsigned next_ = 0;
  long references_ = 1;
  VARIANT answer_;
};
double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of several rounds, in nanoseconds per call: the least disturbed measure.
template <class Call>
double NanosecondsPerCall(Call call) {
  constexpr int kCalls = 200000, kRounds = 7;
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    const double start = Seconds();
    for (int i = 0; i < kCalls; ++i) call();
    best = std::min(best, (Seconds() - start) / kCalls * 1e9);
  }
  return best;
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
  RecordingServer server;
  exports.qvOleInit();
  const int client = exports.createAutomationClient();
  exports.attachAutoClientDispatch(client, &server, 1);

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
  const double throughLibrary = NanosecondsPerCall([&] { sink = getInteger(client, 7); });
  const double direct = NanosecondsPerCall([&] { directRead(&server, 7); });
  const bool answered = sink == 42;

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
  exports.qvOleUninit();

  std::printf("%-48s %12.1f ns\n", "BM_GetAutoClientIntegerProperty", throughLibrary);
  std::printf("%-48s %12.1f ns\n", "BM_GetAutoClientIntegerProperty_Baseline", direct);
  std::printf("%-48s %12.1f ns\n", "BM_DictionaryCount", dictionaryThroughLibrary);
  std::printf("%-48s %12.1f ns\n", "BM_DictionaryCount_Baseline", dictionaryDirect);
  std::printf("\n%-48s %12s\n", "benchmark / its baseline", "ratio");
  std::printf("%-48s %12.2f\n", "BM_GetAutoClientIntegerProperty", throughLibrary / direct);
  if (dictionaryDirect > 0)
    std::printf("%-48s %12.2f\n", "BM_DictionaryCount",
                dictionaryThroughLibrary / dictionaryDirect);
  return answered ? 0 : 2;
}
