// FormatData: one stored value of any field type to display or edit text.
#pragma once

#include "quillet/format/date_time_parts.h"

namespace quillet {

// Formats the stored value (layout by typeCode/storageCode) by mask into output.
// Returns the formatter's result, as a rule the length written; 0 for a null
// value or output, outputSize below 2, an unknown type code or a date that cannot
// be converted. isFalse (may be null) is cleared, and set for a false truth value.
int FormatData(const void* value, char typeCode, char storageCode, const char* mask, char* output,
               int outputSize, int* isFalse, bool editForm);

// Copies the true or false word of a "TRUE;FALSE" mask (null or empty: that
// one); a mask without ';' serves for both.
int FormatBoolean(bool truth, const char* mask, char* output, int outputSize);

// Date and time fields by mask; with editForm, or without a mask, the layout of
// the international settings for the fields the mask names.
int FormatDateTime(const DateTimeParts& parts, const char* mask, char* output, int outputSize,
                   bool editForm, bool hasDate, bool hasTime);

}  // namespace quillet
