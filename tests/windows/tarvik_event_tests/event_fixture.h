// What the event tests share: Tarvik loaded and initialised as the host has it
// when a control fires, argument blocks laid out as a control fires them, a
// probe object that can have a default value, and the readers rendered as text
// so that tables can state what each one gives.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <oaidl.h>
#include <oleauto.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/tarvik_exports.h"
#include "tarvik/frame/host_variant.h"
#include "tests/support/counted_object.h"
#include "tests/windows/tarvik_frame_tests/tarvik_fixture.h"

namespace event_tests {

using tarvik::HostVariant;

// --- Argument values as a control puts them in its block ----------------------

inline VARIANT Empty() {
  VARIANT value;
  VariantInit(&value);
  return value;
}
inline VARIANT Null() {
  VARIANT value = Empty();
  value.vt = VT_NULL;
  return value;
}
inline VARIANT I2(SHORT v) {
  VARIANT value = Empty();
  value.vt = VT_I2;
  value.iVal = v;
  return value;
}
inline VARIANT I4(LONG v) {
  VARIANT value = Empty();
  value.vt = VT_I4;
  value.lVal = v;
  return value;
}
inline VARIANT R4(float v) {
  VARIANT value = Empty();
  value.vt = VT_R4;
  value.fltVal = v;
  return value;
}
inline VARIANT R8(double v) {
  VARIANT value = Empty();
  value.vt = VT_R8;
  value.dblVal = v;
  return value;
}
inline VARIANT Cy(LONGLONG tenThousandths) {
  VARIANT value = Empty();
  value.vt = VT_CY;
  value.cyVal.int64 = tenThousandths;
  return value;
}
inline VARIANT Date(double oleDate) {
  VARIANT value = Empty();
  value.vt = VT_DATE;
  value.date = oleDate;
  return value;
}
inline VARIANT Bool(bool v) {
  VARIANT value = Empty();
  value.vt = VT_BOOL;
  value.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
  return value;
}
inline VARIANT UI1(BYTE v) {
  VARIANT value = Empty();
  value.vt = VT_UI1;
  value.bVal = v;
  return value;
}
inline VARIANT Error(SCODE v) {
  VARIANT value = Empty();
  value.vt = VT_ERROR;
  value.scode = v;
  return value;
}
// The block owns the string and frees it with the block.
inline VARIANT Bstr(const wchar_t* text) {
  VARIANT value = Empty();
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(text);
  return value;
}
// The block takes a reference of its own and gives it back with the block.
inline VARIANT Object(IDispatch* object) {
  VARIANT value = Empty();
  value.vt = VT_DISPATCH;
  value.pdispVal = object;
  if (object) object->AddRef();
  return value;
}
// A by-reference argument: the control's variable is the data part of
// `variable`, whose type tag says what it holds.
inline VARIANT RefTo(VARIANT& variable) {
  VARIANT value = Empty();
  value.vt = static_cast<VARTYPE>(variable.vt | VT_BYREF);
  value.byref = &variable.lVal;
  return value;
}
inline VARIANT RefTo(VARTYPE type, void* variable) {
  VARIANT value = Empty();
  value.vt = static_cast<VARTYPE>(type | VT_BYREF);
  value.byref = variable;
  return value;
}

// The argument block of one event. Arguments are given in declared order
// (position 0 first); the block lists them last to first, as controls fire
// them. By-value contents are freed with the block; referenced variables are
// their owners'.
class EventBlock {
 public:
  explicit EventBlock(std::vector<VARIANT> declared)
      : arguments_(declared.rbegin(), declared.rend()) {
    params_.rgvarg = arguments_.empty() ? nullptr : arguments_.data();
    params_.cArgs = static_cast<UINT>(arguments_.size());
  }
  EventBlock(const EventBlock&) = delete;
  EventBlock& operator=(const EventBlock&) = delete;
  ~EventBlock() {
    for (VARIANT& argument : arguments_) VariantClear(&argument);
  }

  DISPPARAMS* Params() { return &params_; }
  // The argument at a declared position.
  VARIANT& At(int position) { return arguments_[arguments_.size() - 1 - position]; }
  int Count() const { return static_cast<int>(arguments_.size()); }

 private:
  std::vector<VARIANT> arguments_;
  DISPPARAMS params_{};
};

// --- A probe object ------------------------------------------------------------

// An IDispatch that answers a read of its default value (DISPID_VALUE) with
// the number it was given, or has no default value at all.
class ValueObject : public quorvan::testing::CountedObject<IDispatch> {
 public:
  explicit ValueObject(std::optional<LONG> defaultValue = std::nullopt)
      : defaultValue_(defaultValue) {}

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
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    if (dispid != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET) || !defaultValue_) {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (result) {
      VariantInit(result);
      result->vt = VT_I4;
      result->lVal = *defaultValue_;
    }
    return S_OK;
  }

 private:
  std::optional<LONG> defaultValue_;
};

// --- Host side -----------------------------------------------------------------

// A text block as the host gets it from the library, taken over and freed.
inline std::string TakeHostText(char* block) {
  if (!block) return "<null>";
  std::string text(block);
  HeapFree(GetProcessHeap(), 0, block);
  return text;
}

// A text block the host makes for a record's string field.
inline char* NewHostText(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  auto* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
  if (block) std::memcpy(block, text, size);
  return block;
}

inline std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text) out += static_cast<char>(*text);
  return out;
}

// Records as the host fills them for AlterOCXEventParam: the type and the one
// field of the type; the rest is noise that must not matter.
inline HostVariant Record(VARTYPE type) {
  HostVariant record;
  std::memset(&record, 0x5A, sizeof record);
  record.type = type;
  return record;
}
inline HostVariant RecordI2(std::int32_t value) {
  HostVariant record = Record(VT_I2);
  record.shortValue = value;
  return record;
}
inline HostVariant RecordI4(std::int32_t value) {
  HostVariant record = Record(VT_I4);
  record.integerValue = value;
  return record;
}
inline HostVariant RecordR8(const char* text) {
  HostVariant record = Record(VT_R8);
  std::strncpy(record.realText, text, sizeof record.realText);
  return record;
}
inline HostVariant RecordR4(const char* text) {
  HostVariant record = Record(VT_R4);
  std::strncpy(record.shortRealText, text, sizeof record.shortRealText);
  return record;
}
inline HostVariant RecordCy(const char* text) {
  HostVariant record = Record(VT_CY);
  std::strncpy(record.currencyText, text, sizeof record.currencyText);
  return record;
}
inline HostVariant RecordDate(std::uint32_t day) {
  HostVariant record = Record(VT_DATE);
  record.date = day;
  return record;
}
inline HostVariant RecordBool(std::int32_t value) {
  HostVariant record = Record(VT_BOOL);
  record.boolValue = value;
  return record;
}
inline HostVariant RecordUI1(std::uint32_t value) {
  HostVariant record = Record(VT_UI1);
  record.byteValue = value;
  return record;
}
inline HostVariant RecordError(SCODE value) {
  HostVariant record = Record(VT_ERROR);
  record.error = value;
  return record;
}
inline HostVariant RecordDispatch(IDispatch* value) {
  HostVariant record = Record(VT_DISPATCH);
  record.dispatch = value;
  return record;
}
// The block in the record is the host's until the library takes it over.
inline HostVariant RecordString(const char* text) {
  HostVariant record = Record(VT_BSTR);
  record.string = NewHostText(text);
  return record;
}

// --- The fixture -----------------------------------------------------------------

class EventTest : public tarvik_tests::TarvikTest {
 protected:
  void SetUp() override {
    TarvikTest::SetUp();
    ASSERT_TRUE(events_.Complete());
    Init();
  }

  // Each reader's result as text: the number, the real or currency text (read
  // with the two-call protocol where it has one), the string; "fail" for a
  // reader whose failure is not a value of its own.
  std::string ReadBool(DISPPARAMS* params, int position) {
    return std::to_string(events_.getOCXEventBoolParam(params, position));
  }
  std::string ReadShort(DISPPARAMS* params, int position) {
    return std::to_string(events_.getOCXEventShortParam(params, position));
  }
  std::string ReadInteger(DISPPARAMS* params, int position) {
    return std::to_string(events_.getOCXEventIntegerParam(params, position));
  }
  std::string ReadRealText(quorvan::host::GetOCXEventRealParamFn reader, DISPPARAMS* params,
                           int position) {
    const int length = reader(params, position, nullptr);
    if (length == 0) return "fail";
    std::string buffer(static_cast<std::size_t>(length) + 8, 'x');
    const int delivered = reader(params, position, buffer.data());
    if (delivered != 1) return "second call gave " + std::to_string(delivered);
    const std::string text(buffer.c_str());
    if (text.size() != static_cast<std::size_t>(length)) {
      return "length " + std::to_string(length) + " for " + text;
    }
    return text;
  }
  std::string ReadReal(DISPPARAMS* params, int position) {
    return ReadRealText(events_.getOCXEventRealParam, params, position);
  }
  std::string ReadShortReal(DISPPARAMS* params, int position) {
    return ReadRealText(events_.getOCXEventShortRealParam, params, position);
  }
  std::string ReadCurrency(DISPPARAMS* params, int position) {
    char buffer[40];
    std::memset(buffer, 'x', sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    const int result = events_.getOCXEventCurrencyParam(params, position, buffer);
    if (result == 0) return std::strcmp(buffer, std::string(39, 'x').c_str()) ? "wrote" : "fail";
    return result == 1 ? std::string(buffer) : "result " + std::to_string(result);
  }
  std::string ReadDate(DISPPARAMS* params, int position) {
    return std::to_string(events_.getOCXEventDateParam(params, position));
  }
  std::string ReadString(DISPPARAMS* params, int position) {
    return TakeHostText(events_.getOCXEventStringParam(params, position, 0));
  }

  int Alter(DISPPARAMS* params, int position, const HostVariant& value) {
    return events_.alterOCXEventParam(params, position, value);
  }

  quorvan::host::TarvikEventExports events_{tarvik_};
};

}  // namespace event_tests
