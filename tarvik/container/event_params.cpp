#include "tarvik/container/event_params.h"

#include <oleauto.h>

#include "tarvik/frame/conversions.h"

namespace tarvik {

namespace {

// A block whose counts disagree with its arrays would make DispGetParam index
// outside them; the host gets a failure instead of a crash in the control's
// memory.
bool WellFormed(const DISPPARAMS* params) {
  if (!params) return false;
  if (params->cNamedArgs > params->cArgs) return false;
  if (params->cArgs > 0 && !params->rgvarg) return false;
  if (params->cNamedArgs > 0 && !params->rgdispidNamedArgs) return false;
  return true;
}

// The variable types a by-reference argument can receive a value into.
bool Writable(VARTYPE target) {
  switch (target) {
    case VT_I2:
    case VT_BOOL:
    case VT_I4:
    case VT_ERROR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_CY:
    case VT_BSTR:
    case VT_UI1:
      return true;
    default:
      return false;
  }
}

// Moves the coerced value into the variable that `argument` points to.
void StoreThrough(VARIANTARG& argument, VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_I2:
      *argument.piVal = value.iVal;
      break;
    case VT_BOOL:
      *argument.pboolVal = value.boolVal;
      break;
    case VT_I4:
      *argument.plVal = value.lVal;
      break;
    case VT_ERROR:
      *argument.pscode = value.scode;
      break;
    // The variable's previous interface is not released: the control that
    // put it there may hold it without a reference for this call.
    case VT_DISPATCH:
      *argument.ppdispVal = value.pdispVal;
      break;
    case VT_UNKNOWN:
      *argument.ppunkVal = value.punkVal;
      break;
    case VT_R4:
      *argument.pfltVal = value.fltVal;
      break;
    case VT_R8:
      *argument.pdblVal = value.dblVal;
      break;
    case VT_DATE:
      *argument.pdate = value.date;
      break;
    case VT_CY:
      *argument.pcyVal = value.cyVal;
      break;
    case VT_BSTR:
      SysFreeString(*argument.pbstrVal);
      *argument.pbstrVal = value.bstrVal;
      break;
    case VT_UI1:
      *argument.pbVal = value.bVal;
      break;
    default:
      break;
  }
}

}  // namespace

VARIANTARG* EventArgument(DISPPARAMS* params, int position) {
  if (!WellFormed(params) || position < 0) return nullptr;
  const auto index = static_cast<UINT>(position);
  if (index >= params->cArgs) return nullptr;
  return &params->rgvarg[params->cArgs - 1 - index];
}

bool CoerceEventArgument(DISPPARAMS* params, int position, VARTYPE type, UniqueVariant& out) {
  // A negative position would reach DispGetParam as a huge unsigned one, and
  // could match a named argument's DISPID instead of failing.
  if (!WellFormed(params) || position < 0) return false;
  UINT argumentInError = 0;
  return SUCCEEDED(
      DispGetParam(params, static_cast<UINT>(position), type, out.Receive(), &argumentInError));
}

std::int32_t AlterEventArgument(DISPPARAMS* params, int position, HostVariant& value) {
  VARIANTARG* argument = EventArgument(params, position);
  if (!argument || !(V_VT(argument) & VT_BYREF)) return 0;

  // From here on what the record carries is the library's: the host's string
  // block, and the host's reference on an interface pointer, which moves into
  // the variable on success and is given back on failure.
  UniqueVariant made;
  if (FAILED(HostVariantToVariant(&value, made.Get()))) return 0;

  const auto target = static_cast<VARTYPE>(V_VT(argument) & ~VT_BYREF);
  if (!Writable(target) || !argument->byref) return 0;
  if (FAILED(VariantChangeType(made.Get(), made.Get(), 0, target))) return 0;

  StoreThrough(*argument, *made.Get());
  // The value now belongs to the variable.
  V_VT(made.Get()) = VT_EMPTY;
  return 1;
}

}  // namespace tarvik
