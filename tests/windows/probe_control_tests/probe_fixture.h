// ProbeControl.dll loaded from beside the test program and registered for each
// test, with its test hook, a recording event sink and helpers for its
// dispatch members. Every test leaves HKLM as it found it and the DLL without
// live objects.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/counted_object.h"
#include "tests/windows/probe_control/probe_control_ids.h"

namespace probe_tests {

// An interface reference released once.
template <class Interface>
class Ref {
 public:
  Ref() = default;
  explicit Ref(Interface* adopted) : pointer_(adopted) {}
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() { Reset(); }
  void Reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }
  Interface** Receive() {
    Reset();
    return &pointer_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  Interface* pointer_ = nullptr;
};

struct Variant : VARIANT {
  Variant() { VariantInit(this); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(this); }
};

std::wstring GuidText(REFGUID guid);

// An export of a loaded module as the function type it has.
template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
bool ClassesKeyExists(const std::wstring& path);
std::wstring ClassesValue(const std::wstring& path, const wchar_t* name);

// One event argument as the sink saw it, copied out.
struct SeenArgument {
  VARTYPE type = VT_EMPTY;
  LONGLONG integer = 0;         // VT_I2, VT_I4, VT_BOOL, VT_CY (int64), through a reference too
  double real = 0.0;            // VT_R4, VT_R8, VT_DATE, through a reference too
  std::wstring text;            // VT_BSTR
  bool object = false;          // VT_DISPATCH not null
  bool objectHasValue = false;  // its DISPID_VALUE answered
};

struct SeenEvent {
  DISPID dispid = 0;
  WORD flags = 0;
  UINT namedCount = 0;
  bool argumentsNull = false;
  std::vector<SeenArgument> arguments;  // in declared order (rgvarg reversed)
};

// An event sink that records each event and writes new values into by-reference
// arguments: 99, VARIANT_TRUE, 99000, 9.75, "after", 9.9 (currency), 41000.0.
class RecordingSink : public quorvan::testing::CountedObject<IDispatch> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                      EXCEPINFO*, UINT*) override;

  std::vector<SeenEvent> events;
  bool writeBack = true;
  // Runs inside each Invoke, after the recording and the write-back.
  std::function<void()> duringInvoke;
};

inline constexpr SHORT kWrittenShort = 99;
inline constexpr VARIANT_BOOL kWrittenBool = VARIANT_TRUE;
inline constexpr LONG kWrittenLong = 99000;
inline constexpr double kWrittenDouble = 9.75;
inline constexpr wchar_t kWrittenText[] = L"after";
inline constexpr LONGLONG kWrittenCurrency = 99000;
inline constexpr DATE kWrittenDate = 41000.0;

class ProbeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  ProbeStats Stats() const;
  // Creates a control of the class through CoCreateInstance and asks it for iid.
  template <class Interface>
  HRESULT Create(REFCLSID clsid, Ref<Interface>& control, REFIID iid = __uuidof(Interface)) {
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, control.ReceiveVoid());
  }

  HMODULE module_ = nullptr;
  std::wstring modulePath_;
  ProbeControlStatsFn stats_ = nullptr;
  ProbeControlResetStatsFn resetStats_ = nullptr;
  ProbeControlSetFireDuringCreationFn setFireDuringCreation_ = nullptr;
  ProbeControlSetPreferredSizeFn setPreferredSize_ = nullptr;
  bool oleStarted_ = false;
};

HRESULT Put(IDispatch* control, DISPID dispid, const VARIANT& value);
HRESULT Get(IDispatch* control, DISPID dispid, VARIANT& value);
// A method call; arguments in declared order.
HRESULT Call(IDispatch* control, DISPID dispid, std::vector<VARIANT> arguments = {},
             VARIANT* result = nullptr);

VARIANT Long(LONG value);
VARIANT Bool(bool value);
struct TextVariant : Variant {
  explicit TextVariant(const wchar_t* text) {
    vt = VT_BSTR;
    bstrVal = SysAllocString(text);
  }
};

}  // namespace probe_tests
