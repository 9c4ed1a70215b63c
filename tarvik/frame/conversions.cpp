#include "tarvik/frame/conversions.h"

#include "tarvik/frame/ansi_text.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include "tarvik/frame/com_handles.h"

namespace tarvik {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The neutral notation's white space, independent of the C locale the host may
// have set.
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string FixedText(double value, int decimals) {
  const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
  if (length < 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, value);
  return text;
}

std::string ExponentText(double value, int digits) {
  const int length = std::snprintf(nullptr, 0, "%.*e", digits, value);
  if (length < 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, "%.*e", digits, value);
  return text;
}

std::string Localized(std::string text) {
  LocalizeDecimalPoint(text.data());
  return text;
}

// Field texts are written whole: the terminator, and zeros after it.
template <std::size_t Size>
void WriteField(char (&field)[Size], const std::string& text) {
  std::memset(field, 0, Size);
  std::memcpy(field, text.data(), text.size() < Size ? text.size() : Size - 1);
}

// A field text the host wrote need not be terminated inside its field: the copy
// stops at the field's end, and normalising it leaves the host's record alone.
template <std::size_t Size>
std::string ReadField(const char (&field)[Size]) {
  std::size_t length = 0;
  while (length < Size && field[length] != '\0') ++length;
  return std::string(field, length);
}

// The host may hand over a pointer that is no live block of the process heap
// (a literal, a block already freed): freeing it would corrupt the heap, so only
// a block the heap recognises is freed.
void FreeHostBlock(char* block) {
  HANDLE heap = GetProcessHeap();
  if (block && HeapValidate(heap, 0, block)) HeapFree(heap, 0, block);
}

// Types whose all-zero value is a value a server can read safely. A zero pointer
// behind a by-reference, array or record type would be followed.
bool ZeroValueIsSafe(VARTYPE type) {
  switch (type) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_DECIMAL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

// Decides, for a text that from_chars found out of range, whether it is too
// large (true) or too small (false), from the decimal exponent of its first
// significant digit.
bool IsOverflow(const char* digits, const char* mantissaEnd, const char* end) {
  long long magnitude = 0;  // that exponent, plus one
  bool afterPoint = false;
  const char* p = digits;
  for (; p < mantissaEnd && (*p == '0' || *p == '.'); ++p) {
    if (*p == '.') {
      afterPoint = true;
    } else if (afterPoint) {
      --magnitude;
    }
  }
  if (!afterPoint) {
    for (; p < mantissaEnd && *p != '.'; ++p) ++magnitude;
  }
  long long exponent = 0;
  p = mantissaEnd;
  if (p < end) {
    ++p;  // 'e' or 'E'
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    for (; p < end; ++p) {
      if (exponent < 100000000) exponent = exponent * 10 + (*p - '0');
    }
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent > 0;
}

}  // namespace

// --- Decimal separator -------------------------------------------------------

char UserDecimalSeparator() {
  char buffer[10] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 0)
    return buffer[0] != '\0' ? buffer[0] : '.';
  // A value too long for the buffer still has a first character, and that is
  // the separator; without this the user's setting would be silently ignored.
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return '.';
  const int needed = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, nullptr, 0);
  if (needed <= 0) return '.';
  std::string whole(static_cast<std::size_t>(needed), '\0');
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, whole.data(), needed) <= 0) return '.';
  return whole[0] != '\0' ? whole[0] : '.';
}

void LocalizeDecimalPoint(char* text) {
  if (!text) return;
  const char separator = UserDecimalSeparator();
  if (separator == '.') return;
  if (char* point = std::strchr(text, '.')) *point = separator;
}

void NormalizeDecimalPoint(char* text) {
  if (!text) return;
  const char separator = UserDecimalSeparator();
  if (separator == '.') return;
  if (char* found = std::strchr(text, separator)) *found = '.';
}

// --- Real text ---------------------------------------------------------------

std::string RealText(double value) { return Localized(FixedText(value, 6)); }

std::string FittedRealText(double value, std::size_t capacity) {
  if (capacity == 0) return {};
  for (int decimals = 6; decimals >= 0; --decimals) {
    std::string text = FixedText(value, decimals);
    if (text.size() < capacity) return Localized(std::move(text));
  }
  for (int digits = static_cast<int>(capacity); digits >= 0; --digits) {
    std::string text = ExponentText(value, digits);
    if (text.size() < capacity) return Localized(std::move(text));
  }
  return {};
}

double ParseNeutralReal(const char* text) {
  if (!text) return 0.0;
  const char* p = text;
  while (IsSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  const char* digits = p;
  std::size_t mantissaDigits = 0;
  for (; IsDigit(*p); ++p) ++mantissaDigits;
  if (*p == '.') {
    for (++p; IsDigit(*p); ++p) ++mantissaDigits;
  }
  if (mantissaDigits == 0) return 0.0;
  const char* mantissaEnd = p;
  const char* end = p;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (IsDigit(*q)) {
      while (IsDigit(*q)) ++q;
      end = q;
    }
  }
  double value = 0.0;
  const std::errc error = std::from_chars(digits, end, value, std::chars_format::general).ec;
  if (error == std::errc::result_out_of_range) {
    value = IsOverflow(digits, mantissaEnd, end) ? HUGE_VAL : 0.0;
  } else if (error != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

double ParseRealText(char* text) {
  NormalizeDecimalPoint(text);
  return ParseNeutralReal(text);
}

float NarrowToFloat(double value) {
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

std::int32_t DeliverRealText(double value, char* buffer) {
  const std::string text = RealText(value);
  if (!buffer) return static_cast<std::int32_t>(text.size());
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return 1;
}

// --- Currency text -----------------------------------------------------------

std::string CurrencyText(const CY& value) {
  UniqueBstr text;
  if (FAILED(VarBstrFromCy(value, LOCALE_USER_DEFAULT, 0, text.Receive()))) return {};
  return AnsiFromWide(text.Get(), text.Length());
}

void DeliverCurrencyText(const CY& value, char* buffer) {
  if (!buffer) return;
  const std::string text = CurrencyText(value);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
}

HRESULT ParseCurrencyText(const char* text, CY* out) {
  if (!text) return DISP_E_TYPEMISMATCH;
  std::wstring wide = WideFromAnsi(text);
  CY value{};
  const HRESULT result = VarCyFromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value);
  if (SUCCEEDED(result) && out) *out = value;
  return result;
}

// --- Strings -----------------------------------------------------------------

char* HostStringFromBstr(BSTR text) {
  const std::string ansi = AnsiFromWide(text, text ? SysStringLen(text) : 0);
  auto* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, ansi.size() + 1));
  if (block) std::memcpy(block, ansi.data(), ansi.size());
  return block;
}

BSTR BstrFromHostString(const char* text) {
  if (!text) return nullptr;
  const std::wstring wide = WideFromAnsi(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// --- VARIANT to host ---------------------------------------------------------

std::int32_t HostBoolFromVariant(const VARIANT& value) { return value.boolVal; }
std::int32_t HostShortFromVariant(const VARIANT& value) { return value.iVal; }
std::int32_t HostIntegerFromVariant(const VARIANT& value) { return value.lVal; }
HostDate HostDateFromVariant(const VARIANT& value) { return HostDateFromOleDate(value.date); }
IDispatch* HostDispatchFromVariant(const VARIANT& value) { return value.pdispVal; }
double HostRealFromVariant(const VARIANT& value) { return value.dblVal; }
double HostShortRealFromVariant(const VARIANT& value) { return value.fltVal; }
CY HostCurrencyFromVariant(const VARIANT& value) { return value.cyVal; }

// --- Host to VARIANT ---------------------------------------------------------

void BoolToVariant(std::int32_t host, VARIANT* out) {
  *out = VARIANT{};
  out->vt = VT_BOOL;
  out->boolVal = static_cast<VARIANT_BOOL>(static_cast<std::uint16_t>(host));
}

void ShortToVariant(std::int32_t host, VARIANT* out) {
  *out = VARIANT{};
  out->vt = VT_I2;
  out->iVal = static_cast<SHORT>(static_cast<std::uint16_t>(host));
}

void IntegerToVariant(std::int32_t host, VARIANT* out) {
  *out = VARIANT{};
  out->vt = VT_I4;
  out->lVal = host;
}

void DateToVariant(HostDate host, VARIANT* out) {
  *out = VARIANT{};
  out->vt = VT_DATE;
  out->date = OleDateFromHostDate(host);
}

void DispatchToVariant(IDispatch* host, VARIANT* out) {
  *out = VARIANT{};
  out->vt = VT_DISPATCH;
  out->pdispVal = host;
}

void RealTextToVariant(char* text, VARIANT* out) {
  *out = VARIANT{};
  out->vt = VT_R8;
  out->dblVal = ParseRealText(text);
}

void ShortRealTextToVariant(char* text, VARIANT* out) {
  *out = VARIANT{};
  out->vt = VT_R4;
  out->fltVal = NarrowToFloat(ParseRealText(text));
}

HRESULT CurrencyTextToVariant(const char* text, VARIANT* out) {
  CY value{};
  const HRESULT result = ParseCurrencyText(text, &value);
  if (FAILED(result)) return result;
  *out = VARIANT{};
  out->vt = VT_CY;
  out->cyVal = value;
  return S_OK;
}

HRESULT StringToVariant(const char* text, VARIANT* out) {
  BSTR made = BstrFromHostString(text ? text : "");
  if (!made) return E_OUTOFMEMORY;
  *out = VARIANT{};
  out->vt = VT_BSTR;
  out->bstrVal = made;
  return S_OK;
}

void BstrPtrToVariant(BSTR* variable, VARIANT* out) {
  *out = VARIANT{};
  out->vt = VT_BYREF | VT_BSTR;
  out->pbstrVal = variable;
}

// --- HostVariant -------------------------------------------------------------

void VariantToHostVariant(const VARIANT& value, HostVariant* record) {
  if (!record) return;
  record->type = static_cast<std::uint16_t>(value.vt);
  switch (value.vt) {
    case VT_I2:
      record->shortValue = value.iVal;
      break;
    case VT_I4:
      record->integerValue = value.lVal;
      break;
    case VT_ERROR:
      record->error = value.scode;
      break;
    case VT_BOOL:
      record->boolValue = value.boolVal;
      break;
    case VT_DISPATCH:
      record->dispatch = value.pdispVal;
      break;
    case VT_UNKNOWN:
      record->unknown = value.punkVal;
      break;
    case VT_UI1:
      record->byteValue = value.bVal;
      break;
    case VT_R4:
      WriteField(record->shortRealText, FittedRealText(value.fltVal, sizeof record->shortRealText));
      break;
    case VT_R8:
      WriteField(record->realText, FittedRealText(value.dblVal, sizeof record->realText));
      break;
    case VT_CY:
      WriteField(record->currencyText, CurrencyText(value.cyVal));
      break;
    case VT_DATE:
      record->date = HostDateFromOleDate(value.date);
      break;
    case VT_BSTR:
      record->string = nullptr;
      record->string = HostStringFromBstr(value.bstrVal);
      break;
    default:
      break;
  }
}

void MoveVariantToHostVariant(VARIANT* value, HostVariant* record) {
  if (!value) return;
  if (record) {
    VariantToHostVariant(*value, record);
    if (value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN) {
      // The reference now belongs to the host.
      value->vt = VT_EMPTY;
      return;
    }
  }
  VariantClear(value);
  value->vt = VT_EMPTY;
}

HRESULT HostVariantToVariant(HostVariant* record, VARIANT* out) {
  if (!out) return E_POINTER;
  *out = VARIANT{};
  if (!record) return E_POINTER;
  const std::uint32_t type = record->type;
  const auto vartype = static_cast<VARTYPE>(type & 0xFFFF);
  switch (type) {
    case VT_I2:
      out->iVal = static_cast<SHORT>(static_cast<std::uint16_t>(record->shortValue));
      break;
    case VT_I4:
      out->lVal = record->integerValue;
      break;
    case VT_ERROR:
      out->scode = record->error;
      break;
    case VT_DISPATCH:
      out->pdispVal = record->dispatch;
      break;
    case VT_UNKNOWN:
      out->punkVal = record->unknown;
      break;
    case VT_BOOL:
      out->boolVal = static_cast<VARIANT_BOOL>(static_cast<std::uint16_t>(record->boolValue));
      break;
    case VT_UI1:
      out->bVal = static_cast<BYTE>(record->byteValue);
      break;
    case VT_R4: {
      std::string text = ReadField(record->shortRealText);
      out->fltVal = NarrowToFloat(ParseRealText(text.data()));
      break;
    }
    case VT_R8: {
      std::string text = ReadField(record->realText);
      out->dblVal = ParseRealText(text.data());
      break;
    }
    case VT_CY: {
      const std::string text = ReadField(record->currencyText);
      const HRESULT parsed = ParseCurrencyText(text.c_str(), &out->cyVal);
      if (parsed == DISP_E_OVERFLOW) {
        out->cyVal.int64 = std::numeric_limits<LONGLONG>::min();
      } else if (FAILED(parsed)) {
        out->cyVal.int64 = 0;
      }
      break;
    }
    case VT_DATE:
      out->date = OleDateFromHostDate(record->date);
      break;
    case VT_BSTR: {
      char* block = record->string;
      BSTR made = BstrFromHostString(block ? block : "");
      if (block) {
        record->string = nullptr;
        FreeHostBlock(block);
      }
      if (!made) return E_OUTOFMEMORY;
      out->bstrVal = made;
      break;
    }
    default:
      if (!ZeroValueIsSafe(vartype)) return S_OK;
      break;
  }
  out->vt = vartype;
  return S_OK;
}

}  // namespace tarvik
