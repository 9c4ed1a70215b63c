// The exports with which the host reads the arguments of a control event and
// writes back those the control passed by reference. The host calls them from
// its handler of WM_QVOCXEVENT with the lParam it received; they show no
// message and record no error, the result alone tells a failure.
#include <windows.h>

#include <oaidl.h>

#include <cstdint>

#include "tarvik/container/event_params.h"
#include "tarvik/frame/com_handles.h"
#include "tarvik/frame/conversions.h"
#include "tarvik/frame/export_boundary.h"

using tarvik::CoerceEventArgument;
using tarvik::ExportBoundary;
using tarvik::HostDate;
using tarvik::HostVariant;
using tarvik::UniqueVariant;

extern "C" int WINAPI GetOCXEventBoolParam(DISPPARAMS* params, int position) {
  return ExportBoundary(0, [&]() -> int {
    UniqueVariant value;
    if (!CoerceEventArgument(params, position, VT_BOOL, value)) return 0;
    return tarvik::HostBoolFromVariant(*value.Get());
  });
}

extern "C" int WINAPI GetOCXEventShortParam(DISPPARAMS* params, int position) {
  return ExportBoundary(0, [&]() -> int {
    UniqueVariant value;
    if (!CoerceEventArgument(params, position, VT_I2, value)) return 0;
    return tarvik::HostShortFromVariant(*value.Get());
  });
}

extern "C" int WINAPI GetOCXEventIntegerParam(DISPPARAMS* params, int position) {
  return ExportBoundary(0, [&]() -> int {
    UniqueVariant value;
    if (CoerceEventArgument(params, position, VT_I4, value)) {
      return tarvik::HostIntegerFromVariant(*value.Get());
    }
    // An object without a default value: the host gets the pointer itself,
    // valid while the event lasts (the control holds the reference).
    if (!CoerceEventArgument(params, position, VT_DISPATCH, value)) return 0;
    return static_cast<int>(
        reinterpret_cast<std::intptr_t>(tarvik::HostDispatchFromVariant(*value.Get())));
  });
}

extern "C" int WINAPI GetOCXEventRealParam(DISPPARAMS* params, int position, char* text) {
  return ExportBoundary(0, [&]() -> int {
    UniqueVariant value;
    if (!CoerceEventArgument(params, position, VT_R8, value)) return 0;
    return tarvik::DeliverRealText(tarvik::HostRealFromVariant(*value.Get()), text);
  });
}

extern "C" int WINAPI GetOCXEventShortRealParam(DISPPARAMS* params, int position, char* text) {
  return ExportBoundary(0, [&]() -> int {
    UniqueVariant value;
    if (!CoerceEventArgument(params, position, VT_R4, value)) return 0;
    return tarvik::DeliverRealText(tarvik::HostShortRealFromVariant(*value.Get()), text);
  });
}

extern "C" int WINAPI GetOCXEventCurrencyParam(DISPPARAMS* params, int position, char* text) {
  return ExportBoundary(0, [&]() -> int {
    UniqueVariant value;
    if (!CoerceEventArgument(params, position, VT_CY, value)) return 0;
    tarvik::DeliverCurrencyText(tarvik::HostCurrencyFromVariant(*value.Get()), text);
    return 1;
  });
}

extern "C" HostDate WINAPI GetOCXEventDateParam(DISPPARAMS* params, int position) {
  return ExportBoundary(HostDate{0}, [&]() -> HostDate {
    UniqueVariant value;
    if (!CoerceEventArgument(params, position, VT_DATE, value)) return 0;
    return tarvik::HostDateFromVariant(*value.Get());
  });
}

// The third argument has no use; hosts pass it, so it stays.
extern "C" char* WINAPI GetOCXEventStringParam(DISPPARAMS* params, int position, int /*unused*/) {
  return ExportBoundary(static_cast<char*>(nullptr), [&]() -> char* {
    UniqueVariant value;
    if (!CoerceEventArgument(params, position, VT_BSTR, value)) return nullptr;
    return tarvik::HostStringFromBstr(value->bstrVal);
  });
}

// The argument as it stands, without coercion: a by-reference argument gives
// its type tag only. Without a record there is nowhere to deliver it.
extern "C" int WINAPI GetOCXEventOLEVariantParam(DISPPARAMS* params, int position,
                                                 HostVariant* record) {
  return ExportBoundary(0, [&]() -> int {
    const VARIANTARG* argument = tarvik::EventArgument(params, position);
    if (!argument || !record) return 0;
    tarvik::VariantToHostVariant(*argument, record);
    return 1;
  });
}

// The record comes by value, as the host pushes it; its string block, if any,
// is the library's once the argument is found to be by reference.
extern "C" int WINAPI AlterOCXEventParam(DISPPARAMS* params, int position, HostVariant value) {
  return ExportBoundary(
      0, [&]() -> int { return tarvik::AlterEventArgument(params, position, value); });
}
