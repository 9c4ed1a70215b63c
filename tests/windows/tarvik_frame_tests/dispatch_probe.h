// IDispatch probes for Tarvik's tests: objects of our own whose every reference
// is counted, answering Invoke with a status and description the test chooses.
#pragma once

#include <windows.h>

#include <objidl.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "tests/support/counted_object.h"

namespace tarvik_tests {

struct RecordedInvoke {
  DISPID dispid = 0;
  WORD flags = 0;
  std::vector<VARTYPE> argumentTypes;
  std::vector<DISPID> namedArguments;
  LONG firstIntegerArgument = 0;
};

template <class... More>
class DispatchProbeOf : public quorvan::testing::CountedObject<IDispatch, More...> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                      EXCEPINFO* exception, UINT*) override {
    RecordedInvoke call;
    call.dispid = dispid;
    call.flags = flags;
    for (UINT i = 0; params && i < params->cArgs; ++i) {
      call.argumentTypes.push_back(V_VT(&params->rgvarg[i]));
    }
    for (UINT i = 0; params && i < params->cNamedArgs; ++i) {
      call.namedArguments.push_back(params->rgdispidNamedArgs[i]);
    }
    if (params && params->cArgs > 0 && V_VT(&params->rgvarg[0]) == VT_I4) {
      call.firstIntegerArgument = V_I4(&params->rgvarg[0]);
    }
    calls.push_back(call);
    if (answer == DISP_E_EXCEPTION && exception) {
      exception->bstrDescription = SysAllocString(description.c_str());
      exception->bstrSource = SysAllocString(L"Probe");
    }
    return answer;
  }

  HRESULT answer = S_OK;
  std::wstring description;
  std::vector<RecordedInvoke> calls;
};

using DispatchProbe = DispatchProbeOf<>;

// Answers QueryInterface for IPersist as well.
class PersistingDispatchProbe : public DispatchProbeOf<IPersist> {
 public:
  STDMETHODIMP GetClassID(CLSID* id) override {
    if (!id) return E_POINTER;
    *id = CLSID_NULL;
    return S_OK;
  }
};

// An object without IDispatch.
class PersistProbe : public quorvan::testing::CountedObject<IPersist> {
 public:
  STDMETHODIMP GetClassID(CLSID* id) override {
    if (!id) return E_POINTER;
    *id = CLSID_NULL;
    return S_OK;
  }
};

}  // namespace tarvik_tests
