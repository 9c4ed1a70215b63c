// Keystrokes and deletions on the edit form of a field: each type code knows the
// structure of its text (date fields and separators, the two sides of a number,
// the placeholders of a text mask) and changes the text in place.
#pragma once

namespace quillet {

// count that asks for the whole field to be redrawn.
inline constexpr int kRedrawAll = 1000;

// Applies one typed character at position (0-based) of the NUL-terminated text.
// Returns 0 when the keystroke was accepted, nonzero when it was refused (the
// caller sounds the refusal). advance receives how far the caret moves and count
// how many characters from position must be redrawn; both are 0 on refusal and
// either may be null. advance is negative when the text closed up in front of the
// caret (a fixed-point '+' taking the sign away). From a position inside the text,
// position + advance lies inside the text as the keystroke left it, except for a
// truth value, whose text is written anew. A keystroke grows the text by at most
// one character, so text must have room for strlen(text) + 2 bytes; nothing beyond
// that is written, whatever the mask. Plain text ('s') is not handled here and is
// refused.
int ApplyKeystroke(char typeCode, char storageCode, char* text, const char* mask, int position,
                   char character, int* advance, int* count);

// Removes or blanks the character at position as the type allows. Returns 1 when
// the caret is to step over the position (the character was blanked or kept), 0
// otherwise; a deletion the type refuses sounds BeepRefusal() and returns 0. The
// same room as for ApplyKeystroke is needed.
int DeleteCharAt(char typeCode, char storageCode, char* text, const char* mask, int position);

}  // namespace quillet
