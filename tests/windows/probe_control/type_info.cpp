// Type information made in memory with CreateTypeLib2, so that no type library
// file has to be built or shipped: the control's dispatch interface, its event
// interface, and a coclass per control class naming the events as default source.
#include <windows.h>

#include <oaidl.h>
#include <oleauto.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/windows/probe_control/probe_module.h"

namespace probe {
namespace {

struct Parameter {
  const wchar_t* name;
  VARTYPE type;
  bool byReference;
};

struct Member {
  DISPID dispid;
  const wchar_t* name;
  INVOKEKIND kind;
  VARTYPE result;
  std::vector<Parameter> parameters;
};

class TypeBuilder {
 public:
  HRESULT Build() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    std::wstring file = std::wstring(folder) + L"QuorvanProbeControl.tlb";
    HRESULT hr = CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, file.c_str(),
                                library_.Receive());
    if (FAILED(hr)) return hr;
    library_->SetGuid(LIBID_ProbeControl);
    library_->SetName(const_cast<LPOLESTR>(L"QuorvanProbeControlLib"));
    library_->SetVersion(1, 0);
    library_->SetLcid(LOCALE_NEUTRAL);

    Ref<ITypeLib> standard;
    hr = LoadTypeLib(L"stdole2.tlb", standard.Receive());
    if (FAILED(hr)) return hr;
    hr = standard->GetTypeInfoOfGuid(IID_IDispatch, dispatchInfo_.Receive());
    if (FAILED(hr)) return hr;

    Ref<ITypeInfo> control, events;
    hr = AddDispinterface(L"DProbeControl", DIID_DProbeControl, ControlMembers(), control);
    if (FAILED(hr)) return hr;
    hr = AddDispinterface(L"DProbeControlEvents", DIID_DProbeControlEvents, EventMembers(), events);
    if (FAILED(hr)) return hr;
    hr = AddCoclass(L"ProbeControl", CLSID_ProbeControl, control, events);
    if (FAILED(hr)) return hr;
    hr = AddCoclass(L"ProbeControlNoPages", CLSID_ProbeControlNoPages, control, events);
    if (FAILED(hr)) return hr;
    return library_->QueryInterface(IID_ITypeLib, reinterpret_cast<void**>(built_.Receive()));
  }

  Ref<ITypeLib> Result() const { return built_; }

 private:
  static std::vector<Member> ControlMembers() {
    const auto get = INVOKE_PROPERTYGET;
    const auto put = INVOKE_PROPERTYPUT;
    const auto method = INVOKE_FUNC;
    return {
        {kDispidValue, L"Value", get, VT_I4, {}},
        {kDispidValue, L"Value", put, VT_EMPTY, {{L"value", VT_I4, false}}},
        {kDispidCaption, L"Caption", get, VT_BSTR, {}},
        {kDispidCaption, L"Caption", put, VT_EMPTY, {{L"value", VT_BSTR, false}}},
        {kDispidText, L"Text", get, VT_BSTR, {}},
        {kDispidText, L"Text", put, VT_EMPTY, {{L"value", VT_BSTR, false}}},
        {kDispidEnabled, L"Enabled", get, VT_BOOL, {}},
        {kDispidEnabled, L"Enabled", put, VT_EMPTY, {{L"value", VT_BOOL, false}}},
        {kDispidColor, L"Color", get, VT_I4, {}},
        {kDispidColor, L"Color", put, VT_EMPTY, {{L"value", VT_I4, false}}},
        {kDispidPicture, L"Picture", get, VT_DISPATCH, {}},
        {kDispidPicture, L"Picture", put, VT_EMPTY, {{L"value", VT_DISPATCH, false}}},
        {kDispidFireAll, L"FireAll", method, VT_EMPTY, {}},
        {kDispidFireNoArgs, L"FireNoArgs", method, VT_EMPTY, {}},
        {kDispidFireTwo,
         L"FireTwo",
         method,
         VT_EMPTY,
         {{L"first", VT_I4, false}, {L"second", VT_BSTR, false}}},
        {kDispidAskAmbients, L"AskAmbients", method, VT_EMPTY, {}},
        {kDispidRequestRect,
         L"RequestRect",
         method,
         VT_I4,
         {{L"left", VT_I4, false},
          {L"top", VT_I4, false},
          {L"right", VT_I4, false},
          {L"bottom", VT_I4, false}}},
        {kDispidRequestFocus, L"RequestFocus", method, VT_I4, {{L"gotFocus", VT_BOOL, false}}},
        {kDispidTransform,
         L"Transform",
         method,
         VT_I4,
         {{L"x", VT_I4, false}, {L"y", VT_I4, false}, {L"flags", VT_I4, false}}},
        {kDispidFireDuringCreation, L"FireDuringCreation", get, VT_BOOL, {}},
        {kDispidFireDuringCreation,
         L"FireDuringCreation",
         put,
         VT_EMPTY,
         {{L"value", VT_BOOL, false}}},
        {kDispidPreferredWidth, L"PreferredWidth", get, VT_I4, {}},
        {kDispidPreferredWidth, L"PreferredWidth", put, VT_EMPTY, {{L"value", VT_I4, false}}},
        {kDispidPreferredHeight, L"PreferredHeight", get, VT_I4, {}},
        {kDispidPreferredHeight, L"PreferredHeight", put, VT_EMPTY, {{L"value", VT_I4, false}}},
        {kDispidFreezeCount, L"FreezeCount", get, VT_I4, {}},
        {kDispidByRefText, L"ByRefText", get, VT_BSTR, {}},
        {kDispidByRefLong, L"ByRefLong", get, VT_I4, {}},
        {kDispidDrawFails, L"DrawFails", get, VT_BOOL, {}},
        {kDispidDrawFails, L"DrawFails", put, VT_EMPTY, {{L"value", VT_BOOL, false}}},
        {kDispidFireRepeated, L"FireRepeated", method, VT_EMPTY, {{L"count", VT_I4, false}}},
    };
  }

  static std::vector<Member> EventMembers() {
    const auto method = INVOKE_FUNC;
    return {
        {kEventValueArguments,
         L"ValueArguments",
         method,
         VT_EMPTY,
         {{L"flag", VT_BOOL, false},
          {L"small", VT_I2, false},
          {L"whole", VT_I4, false},
          {L"single", VT_R4, false},
          {L"real", VT_R8, false},
          {L"money", VT_CY, false},
          {L"when", VT_DATE, false},
          {L"text", VT_BSTR, false},
          {L"object", VT_DISPATCH, false}}},
        {kEventReferenceArguments,
         L"ReferenceArguments",
         method,
         VT_EMPTY,
         {{L"small", VT_I2, true},
          {L"flag", VT_BOOL, true},
          {L"whole", VT_I4, true},
          {L"real", VT_R8, true},
          {L"text", VT_BSTR, true},
          {L"money", VT_CY, true},
          {L"when", VT_DATE, true}}},
        {kEventNoArguments, L"NoArguments", method, VT_EMPTY, {}},
        {kEventCreating, L"Creating", method, VT_EMPTY, {{L"stage", VT_I4, false}}},
        {kEventTwoArguments,
         L"TwoArguments",
         method,
         VT_EMPTY,
         {{L"first", VT_I4, false}, {L"second", VT_BSTR, false}}},
        {kEventCounted, L"Counted", method, VT_EMPTY, {{L"index", VT_I4, false}}},
    };
  }

  HRESULT AddDispinterface(const wchar_t* name, REFGUID guid, const std::vector<Member>& members,
                           Ref<ITypeInfo>& made) {
    Ref<ICreateTypeInfo> info;
    HRESULT hr =
        library_->CreateTypeInfo(const_cast<LPOLESTR>(name), TKIND_DISPATCH, info.Receive());
    if (FAILED(hr)) return hr;
    info->SetGuid(guid);
    HREFTYPE base = 0;
    hr = info->AddRefTypeInfo(dispatchInfo_.Get(), &base);
    if (FAILED(hr)) return hr;
    hr = info->AddImplType(0, base);
    if (FAILED(hr)) return hr;
    UINT index = 0;
    for (const Member& member : members) {
      hr = AddMember(info.Get(), index++, member);
      if (FAILED(hr)) return hr;
    }
    hr = info->LayOut();
    if (FAILED(hr)) return hr;
    return info->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(made.Receive()));
  }

  static HRESULT AddMember(ICreateTypeInfo* info, UINT index, const Member& member) {
    std::vector<ELEMDESC> parameters(member.parameters.size());
    std::vector<TYPEDESC> pointed(member.parameters.size());
    std::vector<LPOLESTR> names{const_cast<LPOLESTR>(member.name)};
    for (size_t i = 0; i < member.parameters.size(); ++i) {
      const Parameter& parameter = member.parameters[i];
      ELEMDESC& element = parameters[i];
      if (parameter.byReference) {
        pointed[i].vt = parameter.type;
        element.tdesc.vt = VT_PTR;
        element.tdesc.lptdesc = &pointed[i];
        element.paramdesc.wParamFlags = PARAMFLAG_FIN | PARAMFLAG_FOUT;
      } else {
        element.tdesc.vt = parameter.type;
        element.paramdesc.wParamFlags = PARAMFLAG_FIN;
      }
      // A property's new value is unnamed in the type information.
      if (member.kind != INVOKE_PROPERTYPUT) names.push_back(const_cast<LPOLESTR>(parameter.name));
    }
    FUNCDESC description{};
    description.memid = member.dispid;
    description.funckind = FUNC_DISPATCH;
    description.invkind = member.kind;
    description.callconv = CC_STDCALL;
    description.cParams = static_cast<SHORT>(parameters.size());
    description.lprgelemdescParam = parameters.empty() ? nullptr : parameters.data();
    description.elemdescFunc.tdesc.vt =
        member.result == VT_EMPTY ? static_cast<VARTYPE>(VT_VOID) : member.result;
    HRESULT hr = info->AddFuncDesc(index, &description);
    if (FAILED(hr)) return hr;
    return info->SetFuncAndParamNames(index, names.data(), static_cast<UINT>(names.size()));
  }

  HRESULT AddCoclass(const wchar_t* name, REFGUID guid, const Ref<ITypeInfo>& control,
                     const Ref<ITypeInfo>& events) {
    Ref<ICreateTypeInfo> info;
    HRESULT hr =
        library_->CreateTypeInfo(const_cast<LPOLESTR>(name), TKIND_COCLASS, info.Receive());
    if (FAILED(hr)) return hr;
    info->SetGuid(guid);
    info->SetTypeFlags(TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
    HREFTYPE controlRef = 0, eventsRef = 0;
    if (FAILED(hr = info->AddRefTypeInfo(control.Get(), &controlRef))) return hr;
    if (FAILED(hr = info->AddRefTypeInfo(events.Get(), &eventsRef))) return hr;
    if (FAILED(hr = info->AddImplType(0, controlRef))) return hr;
    if (FAILED(hr = info->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT))) return hr;
    if (FAILED(hr = info->AddImplType(1, eventsRef))) return hr;
    if (FAILED(hr = info->SetImplTypeFlags(1, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)))
      return hr;
    return info->LayOut();
  }

  Ref<ICreateTypeLib2> library_;
  Ref<ITypeInfo> dispatchInfo_;
  Ref<ITypeLib> built_;
};

}  // namespace

HRESULT ProbeTypeInfo(Ref<ITypeLib>& library, REFGUID guid, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!library) {
    TypeBuilder builder;
    const HRESULT hr = builder.Build();
    if (FAILED(hr)) return hr;
    library = builder.Result();
  }
  return library->GetTypeInfoOfGuid(guid, out);
}

}  // namespace probe
