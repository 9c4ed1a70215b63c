// Servers that fail in every way a status can say, and servers that fault or
// throw when their last reference goes: each refusal is reported with its text
// and the reader gives its failure value; a faulting release costs the host
// nothing but the server; the library goes on working as if nothing had
// happened.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/windows/tarvik_automation_tests/automation_fixture.h"

namespace automation_tests {
namespace {

using Faults = AutomationTest;

TEST_F(Faults, EveryFailureStatusIsReportedAndTheClientStaysUsable) {
  struct Case {
    HRESULT status;
    const char* text;
  };
  const Case cases[] = {
      {DISP_E_UNKNOWNINTERFACE, "Internal error - REFIID is not IID_NULL"},
      {DISP_E_MEMBERNOTFOUND, "Invalid function call or function not found"},
      {DISP_E_PARAMNOTFOUND, "Invalid parameter"},
      {DISP_E_TYPEMISMATCH, "Type mismatch"},
      {DISP_E_NONAMEDARGS, "Named arguments not supported"},
      {DISP_E_BADVARTYPE, "One or more of the parameters is not a valid VARIANT type"},
      {DISP_E_EXCEPTION, "The server raised exception:\nout of paper"},
      {DISP_E_OVERFLOW, "Overflow error"},
      {DISP_E_UNKNOWNLCID, "Internal error - Function requires a specified locale ID"},
      {DISP_E_BADPARAMCOUNT, "Wrong number of parameters"},
      {DISP_E_PARAMNOTOPTIONAL, "Parameter is required but was omitted"},
      // Statuses without a text of their own, in and outside the dispatch range.
      {DISP_E_UNKNOWNNAME, "Unknown error"},
      {DISP_E_NOTACOLLECTION, "Unknown error"},
      {DISP_E_ARRAYISLOCKED, "Unknown error"},
      {DISP_E_BADINDEX, "Unknown error"},
      {E_FAIL, "Unknown error"},
      {E_OUTOFMEMORY, "Unknown error"},
      {E_UNEXPECTED, "Unknown error"},
      {RPC_E_DISCONNECTED, "Unknown error"},
      {RPC_E_SERVERFAULT, "Unknown error"},
      {static_cast<HRESULT>(0x80020010), "Unknown error"},
      {static_cast<HRESULT>(0xC0000005), "Unknown error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    probe_->Refuse(c.status, L"out of paper");
    EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, 12), 0);
    EXPECT_TRUE(ShowedOneBox(std::string("GetLongProperty\nDISPID 12 : ") + c.text));
    // Pending arguments went with the refused call, not into the next one.
    ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
    ASSERT_EQ(calls_.defineAutoClientStringParam(handle_, "lost"), 1);
    EXPECT_EQ(TakeHostText(calls_.invokeAutoClientStringFunction(handle_, 13)), "");
    boxes_.Clear();

    probe_->status = S_OK;
    probe_->Answer(VT_I4, [](VARIANT& v) { v.lVal = 77; });
    EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, 12), 77);
    EXPECT_TRUE(LastCall().arguments.empty());
    EXPECT_TRUE(boxes_.boxes().empty());
  }
}

// A server whose Release breaks down when asked to: with a processor fault, with
// a fault raised as an exception of the system, or with a language exception.
class BrokenRelease : public IDispatch {
 public:
  enum class Failure { kNone, kFault, kRaised, kThrown };
  explicit BrokenRelease(Failure failure) : failure_(failure) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IDispatch) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references_); }
  STDMETHODIMP_(ULONG) Release() override {
    ++releases;
    if (--references_ > 0 || failure_ == Failure::kNone) return static_cast<ULONG>(references_);
    switch (failure_) {
      case Failure::kFault:
        *static_cast<volatile int*>(nullptr) = 1;
        break;
      case Failure::kRaised:
        RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
        break;
      case Failure::kThrown:
        throw std::runtime_error("release");
      default:
        break;
    }
    return 0;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (result) {
      V_VT(result) = VT_I4;
      V_I4(result) = 5;
    }
    return S_OK;
  }

  int releases = 0;

 private:
  Failure failure_;
  long references_ = 1;
};

TEST_F(Faults, AServerThatBreaksDownInItsLastReleaseCostsTheHostNothing) {
  using Failure = BrokenRelease::Failure;
  std::vector<Failure> failures = {Failure::kFault, Failure::kRaised};
#ifdef _WIN64
  // A language exception crosses from module to module only where the system
  // unwinds the stack; the 32-bit runtime unwinds each module's frames alone.
  failures.push_back(Failure::kThrown);
#endif
  for (Failure failure : failures) {
    SCOPED_TRACE(static_cast<int>(failure));
    // Let go through each way the library gives a server up.
    BrokenRelease byRelease(failure), byDestroy(failure), byShutdown(failure);
    const int first = api_.createAutomationClient();
    const int second = api_.createAutomationClient();
    const int third = api_.createAutomationClient();
    ASSERT_EQ(api_.attachAutoClientDispatch(first, &byRelease, 0), 1);
    ASSERT_EQ(api_.attachAutoClientDispatch(second, &byDestroy, 0), 1);
    ASSERT_EQ(api_.attachAutoClientDispatch(third, &byShutdown, 0), 1);
    EXPECT_EQ(calls_.getAutoClientIntegerProperty(first, 1), 5);

    EXPECT_EQ(api_.releaseAutoClientDispatch(first), 1);
    EXPECT_EQ(byRelease.releases, 1);
    EXPECT_EQ(api_.getAutoClientDispatch(first), nullptr);
    EXPECT_EQ(api_.destroyAutomationClient(second), 0);
    EXPECT_EQ(byDestroy.releases, 1);
    EXPECT_EQ(api_.qvOleUninit(), 1);
    EXPECT_EQ(byShutdown.releases, 1);
    Init();

    // The library is whole: a new client of the fixture's probe works.
    const int client = api_.createAutomationClient();
    ASSERT_EQ(api_.attachAutoClientDispatch(client, probe_, 1), 1);
    probe_->Answer(VT_I4, [](VARIANT& v) { v.lVal = 8; });
    EXPECT_EQ(calls_.getAutoClientIntegerProperty(client, 1), 8);
    EXPECT_EQ(api_.destroyAutomationClient(client), 0);
    EXPECT_TRUE(boxes_.boxes().empty());
  }
  // The fixture's own client went with the first shutdown.
  EXPECT_EQ(probe_->References(), 1);
}

}  // namespace
}  // namespace automation_tests
