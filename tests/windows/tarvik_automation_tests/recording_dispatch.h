// An IDispatch of our own that records what each Invoke received (DISPID,
// flags, every argument's type and value, the named arguments) and answers with
// the result, status, exception text and faulty-argument index a test chooses.
// Its references are counted exactly (tests/support/counted_object.h).
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <oleauto.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/counted_object.h"

namespace automation_tests {

// One argument as the server saw it. Values are copied out, never referenced,
// so that recording changes no reference count and keeps no BSTR.
struct SeenArgument {
  VARTYPE type = VT_EMPTY;
  LONG integer = 0;   // VT_I2, VT_I4, VT_BOOL, VT_UI1 (sign-extended)
  double real = 0.0;  // VT_R4, VT_R8, VT_DATE
  LONGLONG currency = 0;
  std::wstring text;              // VT_BSTR
  const void* pointer = nullptr;  // VT_DISPATCH and by-reference pointers
};

struct SeenCall {
  DISPID dispid = 0;
  WORD flags = 0;
  bool resultWanted = false;
  std::vector<SeenArgument> arguments;  // in rgvarg order: the last is the first defined
  std::vector<DISPID> named;
};

class RecordingDispatch : public quorvan::testing::CountedObject<IDispatch> {
 public:
  RecordingDispatch() { VariantInit(&answer_); }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return count ? S_OK : E_POINTER;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }

  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override {
    SeenCall call{dispid, flags, result != nullptr, {}, {}};
    for (UINT i = 0; i < params->cArgs; ++i) call.arguments.push_back(Record(params->rgvarg[i]));
    call.named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
    calls.push_back(call);
    for (UINT i = 0; replacement && i < params->cArgs; ++i) {
      VARIANT& argument = params->rgvarg[i];
      if (argument.vt != (VT_BYREF | VT_BSTR)) continue;
      SysFreeString(*argument.pbstrVal);
      *argument.pbstrVal = SysAllocString(replacement);
    }
    if (duringInvoke) duringInvoke();
    if (SUCCEEDED(status)) return result ? VariantCopy(result, &answer_) : S_OK;
    if (faultyArgument) *argumentError = *faultyArgument;
    if (status == DISP_E_EXCEPTION) {
      *exception = EXCEPINFO{};
      exception->bstrSource = SysAllocString(L"Recording probe");
      if (description) exception->bstrDescription = SysAllocString(description->c_str());
    }
    return status;
  }

  // The result of the following successful calls; an object in it gets a
  // reference of its own, and so does each caller it is given to.
  template <class Fill>
  void Answer(VARTYPE type, Fill fill) {
    VariantClear(&answer_);
    answer_.vt = type;
    fill(answer_);
    if (type == VT_DISPATCH) answer_.pdispVal->AddRef();
  }
  void AnswerText(const wchar_t* text) {
    Answer(VT_BSTR, [&](VARIANT& v) { v.bstrVal = SysAllocString(text); });
  }
  void AnswerNothing() { VariantClear(&answer_); }

  // A refusal: the status, the description of a server exception (none: no
  // text) and the faulty argument's index in rgvarg (none: left alone).
  void Refuse(HRESULT refusal, const wchar_t* text = nullptr,
              std::optional<UINT> argument = std::nullopt) {
    status = refusal;
    description = text ? std::optional<std::wstring>(text) : std::nullopt;
    faultyArgument = argument;
  }

  std::vector<SeenCall> calls;
  HRESULT status = S_OK;
  std::optional<std::wstring> description;
  std::optional<UINT> faultyArgument;
  // The new text of every by-reference string argument; the old BSTR is freed.
  const wchar_t* replacement = nullptr;
  // Runs inside Invoke, where a server may call back into its client.
  std::function<void()> duringInvoke;

 protected:
  ~RecordingDispatch() override { VariantClear(&answer_); }

 private:
  static SeenArgument Record(const VARIANT& value) {
    SeenArgument seen;
    seen.type = value.vt;
    switch (value.vt) {
      case VT_I2:
        seen.integer = value.iVal;
        break;
      case VT_I4:
        seen.integer = value.lVal;
        break;
      case VT_BOOL:
        seen.integer = value.boolVal;
        break;
      case VT_UI1:
        seen.integer = value.bVal;
        break;
      case VT_R4:
        seen.real = value.fltVal;
        break;
      case VT_R8:
      case VT_DATE:
        seen.real = value.dblVal;
        break;
      case VT_CY:
        seen.currency = value.cyVal.int64;
        break;
      case VT_BSTR:
        if (value.bstrVal) seen.text.assign(value.bstrVal, SysStringLen(value.bstrVal));
        break;
      case VT_DISPATCH:
        seen.pointer = value.pdispVal;
        break;
      default:
        if (value.vt & VT_BYREF) seen.pointer = value.byref;
        break;
    }
    return seen;
  }

  VARIANT answer_;
};

}  // namespace automation_tests
