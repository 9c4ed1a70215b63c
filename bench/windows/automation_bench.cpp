// What a property read through a client handle costs the host, against the
// same IDispatch::Invoke made directly, on an in-process object of our own.
// Runs under Wine; prints per-call times and the ratio in the format of the
// native benchmark report.
#include <windows.h>
#include <oaidl.h>

#include <algorithm>
#include <cstdio>

#include "host/loaded_library.h"
#include "host/tarvik_exports.h"

namespace {

using GetIntegerPropertyFn = int(WINAPI*)(int handle, int dispid);

// Answers every property read with the integer 42 and counts nothing: the
// cheapest server there can be, so that the library's own cost shows.
class FortyTwo : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (result) {
      result->vt = VT_I4;
      result->lVal = 42;
    }
    return S_OK;
  }
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
  FortyTwo server;
  exports.qvOleInit();
  const int client = exports.createAutomationClient();
  exports.attachAutoClientDispatch(client, &server, 1);

  volatile int sink = 0;
  const double throughLibrary = NanosecondsPerCall([&] { sink = getInteger(client, 7); });
  IDispatch* dispatch = &server;
  const double direct = NanosecondsPerCall([&] {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    dispatch->Invoke(7, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, &exception,
                     &argumentError);
    sink = result.lVal;
    VariantClear(&result);
  });
  exports.destroyAutomationClient(client);
  exports.qvOleUninit();

  std::printf("%-48s %12.1f ns\n", "BM_GetAutoClientIntegerProperty", throughLibrary);
  std::printf("%-48s %12.1f ns\n", "BM_GetAutoClientIntegerProperty_Baseline", direct);
  std::printf("\n%-48s %12s\n", "benchmark / its baseline", "ratio");
  std::printf("%-48s %12.2f\n", "BM_GetAutoClientIntegerProperty", throughLibrary / direct);
  return sink == 42 ? 0 : 2;
}
