#include "tests/windows/probe_control_tests/probe_fixture.h"

#include <algorithm>

namespace probe_tests {

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

namespace {

class Key {
 public:
  explicit Key(const std::wstring& path) {
    const std::wstring full = L"Software\\Classes\\" + path;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, full.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS)
      key_ = nullptr;
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

SeenArgument Record(const VARIANT& value) {
  SeenArgument seen;
  seen.type = value.vt;
  const bool byReference = (value.vt & VT_BYREF) != 0;
  switch (value.vt & ~VT_BYREF) {
    case VT_I2:
      seen.integer = byReference ? *value.piVal : value.iVal;
      break;
    case VT_BOOL:
      seen.integer = byReference ? *value.pboolVal : value.boolVal;
      break;
    case VT_I4:
      seen.integer = byReference ? *value.plVal : value.lVal;
      break;
    case VT_CY:
      seen.integer = byReference ? value.pcyVal->int64 : value.cyVal.int64;
      break;
    case VT_R4:
      seen.real = byReference ? *value.pfltVal : value.fltVal;
      break;
    case VT_R8:
      seen.real = byReference ? *value.pdblVal : value.dblVal;
      break;
    case VT_DATE:
      seen.real = byReference ? *value.pdate : value.date;
      break;
    case VT_BSTR: {
      const BSTR text = byReference ? *value.pbstrVal : value.bstrVal;
      seen.text.assign(text ? text : L"", SysStringLen(text));
      break;
    }
    case VT_DISPATCH: {
      IDispatch* object = byReference ? *value.ppdispVal : value.pdispVal;
      seen.object = object != nullptr;
      if (object) {
        DISPPARAMS none{};
        Variant answer;
        seen.objectHasValue = SUCCEEDED(object->Invoke(
            DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &answer, nullptr, nullptr));
      }
      break;
    }
    default:
      break;
  }
  return seen;
}

void WriteBack(VARIANT& value) {
  switch (value.vt) {
    case VT_BYREF | VT_I2:
      *value.piVal = kWrittenShort;
      break;
    case VT_BYREF | VT_BOOL:
      *value.pboolVal = kWrittenBool;
      break;
    case VT_BYREF | VT_I4:
      *value.plVal = kWrittenLong;
      break;
    case VT_BYREF | VT_R8:
      *value.pdblVal = kWrittenDouble;
      break;
    case VT_BYREF | VT_BSTR:
      SysFreeString(*value.pbstrVal);
      *value.pbstrVal = SysAllocString(kWrittenText);
      break;
    case VT_BYREF | VT_CY:
      value.pcyVal->int64 = kWrittenCurrency;
      break;
    case VT_BYREF | VT_DATE:
      *value.pdate = kWrittenDate;
      break;
    default:
      break;
  }
}

}  // namespace

bool ClassesKeyExists(const std::wstring& path) { return Key(path).Get() != nullptr; }

std::wstring ClassesValue(const std::wstring& path, const wchar_t* name) {
  Key key(path);
  if (!key.Get()) return L"<no key>";
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return L"<no value>";
  }
  return value;
}

STDMETHODIMP RecordingSink::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return count ? S_OK : E_POINTER;
}
STDMETHODIMP RecordingSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP RecordingSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}
STDMETHODIMP RecordingSink::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT*, EXCEPINFO*, UINT*) {
  SeenEvent event;
  event.dispid = dispid;
  event.flags = flags;
  event.namedCount = params->cNamedArgs;
  event.argumentsNull = params->rgvarg == nullptr;
  for (UINT i = params->cArgs; i-- > 0;) event.arguments.push_back(Record(params->rgvarg[i]));
  events.push_back(event);
  for (UINT i = 0; writeBack && i < params->cArgs; ++i) WriteBack(params->rgvarg[i]);
  if (duringInvoke) duringInvoke();
  return S_OK;
}

void ProbeTest::SetUp() {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  oleStarted_ = true;
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  modulePath_ = path;
  modulePath_ = modulePath_.substr(0, modulePath_.find_last_of(L"\\/") + 1) + L"ProbeControl.dll";
  module_ = LoadLibraryW(modulePath_.c_str());
  ASSERT_NE(module_, nullptr);
  stats_ = Export<ProbeControlStatsFn>(module_, "ProbeControlStats");
  resetStats_ = Export<ProbeControlResetStatsFn>(module_, "ProbeControlResetStats");
  setFireDuringCreation_ =
      Export<ProbeControlSetFireDuringCreationFn>(module_, "ProbeControlSetFireDuringCreation");
  setPreferredSize_ =
      Export<ProbeControlSetPreferredSizeFn>(module_, "ProbeControlSetPreferredSize");
  ASSERT_TRUE(stats_ && resetStats_ && setFireDuringCreation_ && setPreferredSize_);
  using Register = HRESULT(STDAPICALLTYPE*)();
  auto registerServer = Export<Register>(module_, "DllRegisterServer");
  ASSERT_NE(registerServer, nullptr);
  ASSERT_EQ(registerServer(), S_OK);
  resetStats_();
  setFireDuringCreation_(0);
  setPreferredSize_(0, 0, 0);
}

void ProbeTest::TearDown() {
  if (module_) {
    // Whatever a test made is gone once it let go of it.
    ProbeStats stats = Stats();
    EXPECT_EQ(stats.liveObjects, 0);
    EXPECT_EQ(stats.referenceBalance, 0);
    using Register = HRESULT(STDAPICALLTYPE*)();
    auto unregisterServer = Export<Register>(module_, "DllUnregisterServer");
    ASSERT_NE(unregisterServer, nullptr);
    EXPECT_EQ(unregisterServer(), S_OK);
    for (const CLSID* clsid :
         {&CLSID_ProbeControl, &CLSID_ProbeControlNoPages, &CLSID_ProbePropertyPage}) {
      EXPECT_FALSE(ClassesKeyExists(L"CLSID\\" + GuidText(*clsid)));
    }
    EXPECT_FALSE(ClassesKeyExists(L"QuorvanTest.ProbeControl"));
    EXPECT_FALSE(ClassesKeyExists(L"QuorvanTest.ProbeControlNoPages"));
    setFireDuringCreation_(0);
    setPreferredSize_(0, 0, 0);
    FreeLibrary(module_);
  }
  if (oleStarted_) OleUninitialize();
  // The sinks and sites of this program are gone too (derived fixtures let go of
  // theirs before this runs).
  EXPECT_EQ(quorvan::testing::ProbeCounters::Live(), 0);
}

ProbeStats ProbeTest::Stats() const {
  ProbeStats stats{};
  stats.size = sizeof(stats);
  EXPECT_TRUE(stats_(&stats));
  return stats;
}

HRESULT Put(IDispatch* control, DISPID dispid, const VARIANT& given) {
  VARIANT value = given;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  return control->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                         nullptr, nullptr, nullptr);
}

HRESULT Get(IDispatch* control, DISPID dispid, VARIANT& value) {
  DISPPARAMS none{};
  VariantClear(&value);
  return control->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                         nullptr, nullptr);
}

HRESULT Call(IDispatch* control, DISPID dispid, std::vector<VARIANT> arguments, VARIANT* result) {
  std::reverse(arguments.begin(), arguments.end());
  DISPPARAMS params{arguments.empty() ? nullptr : arguments.data(), nullptr,
                    static_cast<UINT>(arguments.size()), 0};
  return control->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                         nullptr, nullptr);
}

VARIANT Long(LONG value) {
  VARIANT result;
  VariantInit(&result);
  result.vt = VT_I4;
  result.lVal = value;
  return result;
}

VARIANT Bool(bool value) {
  VARIANT result;
  VariantInit(&result);
  result.vt = VT_BOOL;
  result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

}  // namespace probe_tests
