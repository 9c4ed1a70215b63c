// Colour groups of masks: "[red]", "[255,128,0]". The edit control takes them out of
// a mask and paints with them; the formatter only skips them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

// A Windows COLORREF: 0x00BBGGRR.
using ColorRef = std::uint32_t;

// Characters of one group (brackets included) that are read; the rest of a longer
// group is still removed from the mask but not looked at.
inline constexpr std::size_t kColorGroupCapacity = 127;

// Reads one colour group, the leading '[' optional: a colour word, recognised by its
// number of letters and first letter, or up to three decimal numbers r, g, b (each
// taken modulo 256, missing ones 0). On success stores the colour (when outColor is
// not null) and returns true; otherwise leaves outColor alone and returns false.
bool ParseColorSpec(const char* groupText, ColorRef* outColor);

// Removes every colour group from mask in place. A colour in the first section sets
// *positiveColor and bit 1 of the result, one in the second section sets
// *negativeColor (when not null) and bit 2; groups in later sections are dropped
// unread. Returns 0 without touching anything when mask or positiveColor is null.
int ExtractMaskColors(ColorRef* positiveColor, ColorRef* negativeColor, char* mask);

}  // namespace quillet
