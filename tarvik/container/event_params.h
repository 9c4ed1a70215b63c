// The arguments of a control event, as the host reads and writes them while it
// handles WM_QVOCXEVENT. The argument block belongs to the control and is valid
// only during that message; nothing here keeps or frees any part of it.
//
// Positions count the event's declared parameters from 0; the control's block
// lists them last to first, so position p lies at rgvarg[cArgs - 1 - p]. A null
// block (an event without arguments), a negative position or one at or above
// cArgs finds nothing.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstdint>

#include "tarvik/frame/com_handles.h"
#include "tarvik/frame/host_variant.h"

namespace tarvik {

// The argument at `position` as the control passed it; null when there is none.
VARIANTARG* EventArgument(DISPPARAMS* params, int position);

// The argument coerced to `type` through DispGetParam into `out`; false when
// there is no such argument or it does not convert.
bool CoerceEventArgument(DISPPARAMS* params, int position, VARTYPE type, UniqueVariant& out);

// Replaces the variable that a by-reference argument points to with the host's
// value, converted to the variable's type. Once the argument is found to be by
// reference, a string block in `value` passes to the library whatever the
// outcome; otherwise it stays the host's. Result 1 when the variable was
// written, 0 when it was left as it was.
std::int32_t AlterEventArgument(DISPPARAMS* params, int position, HostVariant& value);

}  // namespace tarvik
