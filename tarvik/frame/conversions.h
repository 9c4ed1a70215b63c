// How each host type family crosses the boundary to COM and back. The property,
// method and event exports apply these and add nothing of their own.
//
// Host to VARIANT functions write a complete VARIANT into `out` without clearing
// what was there (pass an empty or fresh VARIANT). VARIANT to host functions read
// the field of their family without looking at the VARTYPE: a caller that wants a
// coercion makes it first.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstdint>
#include <string>

#include "tarvik/frame/host_date.h"
#include "tarvik/frame/host_variant.h"

namespace tarvik {

// --- Decimal separator -------------------------------------------------------

// The first character of the user's LOCALE_SDECIMAL, read anew on every call;
// '.' when the value is empty or cannot be read.
char UserDecimalSeparator();
// Replaces the first '.' by the user's separator. Null text: nothing happens.
void LocalizeDecimalPoint(char* text);
// Replaces the first occurrence of the user's separator by '.'. Null text:
// nothing happens.
void NormalizeDecimalPoint(char* text);

// --- Real text ---------------------------------------------------------------

// "%f" (six decimals, no thousands separators) with the user's separator.
std::string RealText(double value);
// The real text cut to fit `capacity` bytes with its terminator without changing
// the value's magnitude: fewer decimals first, then exponent notation.
std::string FittedRealText(double value, std::size_t capacity);
// The longest valid prefix in neutral notation (white space, sign, digits, one
// '.', exponent); 0.0 when there is none. Beyond the range of double: infinity
// with the sign, or zero for underflow. Null text gives 0.0.
double ParseNeutralReal(const char* text);
// Normalises the host's text in place, then parses it.
double ParseRealText(char* text);
// A double narrowed to float; values beyond the float range become infinity
// with their sign instead of undefined behaviour.
float NarrowToFloat(double value);

// The two-call length protocol: with a null buffer, the length of the real text
// without terminator; otherwise the text and terminator are written and 1 is
// the result.
std::int32_t DeliverRealText(double value, char* buffer);

// --- Currency text -----------------------------------------------------------

// The platform's currency text in the user's default locale, as ANSI; empty
// when it cannot be made.
std::string CurrencyText(const CY& value);
// Writes the currency text and terminator into the host's buffer (the host
// provides room for the longest text). Null buffer: nothing is written.
void DeliverCurrencyText(const CY& value, char* buffer);
// The platform's text-to-currency conversion in the user's default locale:
// S_OK, DISP_E_TYPEMISMATCH (not a number, or null text), DISP_E_OVERFLOW, or
// E_OUTOFMEMORY. `out` is written only on success.
HRESULT ParseCurrencyText(const char* text, CY* out);

// --- Strings -----------------------------------------------------------------

// A new zero-filled block of the process heap holding the BSTR's ANSI text and a
// terminator (a null BSTR is the empty text); null when it cannot be allocated.
char* HostStringFromBstr(BSTR text);
// A new BSTR with the ANSI text; null text gives null, as does exhaustion.
BSTR BstrFromHostString(const char* text);

// --- VARIANT to host ---------------------------------------------------------

std::int32_t HostBoolFromVariant(const VARIANT& value);
std::int32_t HostShortFromVariant(const VARIANT& value);
std::int32_t HostIntegerFromVariant(const VARIANT& value);
HostDate HostDateFromVariant(const VARIANT& value);
// The pointer as it is: whoever held the reference passes it on.
IDispatch* HostDispatchFromVariant(const VARIANT& value);
double HostRealFromVariant(const VARIANT& value);
double HostShortRealFromVariant(const VARIANT& value);
CY HostCurrencyFromVariant(const VARIANT& value);

// --- Host to VARIANT ---------------------------------------------------------

// The low 16 bits unchanged (1 stays 1).
void BoolToVariant(std::int32_t host, VARIANT* out);
void ShortToVariant(std::int32_t host, VARIANT* out);
void IntegerToVariant(std::int32_t host, VARIANT* out);
void DateToVariant(HostDate host, VARIANT* out);
// No reference is taken: the VARIANT must not be cleared by its holder.
void DispatchToVariant(IDispatch* host, VARIANT* out);
// The host's text is normalised in place.
void RealTextToVariant(char* text, VARIANT* out);
void ShortRealTextToVariant(char* text, VARIANT* out);
// Failures as ParseCurrencyText; `out` is then left alone.
HRESULT CurrencyTextToVariant(const char* text, VARIANT* out);
// A null text gives the empty BSTR. E_OUTOFMEMORY leaves `out` alone.
HRESULT StringToVariant(const char* text, VARIANT* out);
// VT_BYREF | VT_BSTR pointing at the host's variable, which stays the host's.
void BstrPtrToVariant(BSTR* variable, VARIANT* out);

// --- HostVariant -------------------------------------------------------------

// Fills the record from the VARIANT: the type field, and the one field of the
// type; every other byte stays as it was. Interface pointers are copied without
// a reference of their own (see MoveVariantToHostVariant); a BSTR becomes a new
// heap block for the host. A null record: nothing happens.
void VariantToHostVariant(const VARIANT& value, HostVariant* record);
// As VariantToHostVariant, for a VARIANT the library owns (a call's result): an
// interface reference passes to the host, everything else in `value` is freed,
// and `value` is left empty.
void MoveVariantToHostVariant(VARIANT* value, HostVariant* record);
// Makes a new VARIANT from the record. The caller owns it; an interface pointer
// in it carries no reference of its own, so only a VT_BSTR value may be cleared.
// A string block in the record passes to the library, which frees it and nulls
// the record's pointer. Types with no field keep their code and a zero value,
// except by-reference, array and record types, which become VT_EMPTY (their zero
// pointer would be followed by the server). Result: S_OK; E_POINTER for a null
// record (`out` then VT_EMPTY); E_OUTOFMEMORY when a BSTR cannot be made (`out`
// then VT_EMPTY; the host's block is freed all the same, as the host expects).
HRESULT HostVariantToVariant(HostVariant* record, VARIANT* out);

}  // namespace tarvik
