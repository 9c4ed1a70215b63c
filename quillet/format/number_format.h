// Numbers by mask: "#,##0.00", "0.0;(0.0)", "[red]#,##0;[blue]-#,##0", "*0.*".
#pragma once

#include <string>

namespace quillet {

// Counts are capped at 254; 255 stands for unlimited.
inline constexpr int kUnlimitedDigits = 255;

// What one section of a number mask asks for.
struct NumberMaskInfo {
  int sectionLength = 0;
  int intLength = 0;
  int intPositions = 0;
  int forcedIntZeros = 0;
  int maxIntDigits = 0;
  int intLiterals = 0;
  int fracLength = 0;
  int fracPositions = 0;
  int forcedFracZeros = 0;
  int maxFracDigits = 0;
  int fracLiterals = 0;
  bool grouping = false;
  bool leadingMinus = false;
};

// Chooses the section of mask that applies (the one after the first ';' for a
// negative number, when there is one; a leading colour group is passed over) and
// describes it. Returns the start of the section inside mask.
const char* AnalyseNumberMask(const char* mask, bool negative, bool editForm, NumberMaskInfo* info);

// The stored number, read in the layout of storageCode; 0 for any other code or
// a null value.
double LoadNumber(const void* value, char storageCode);

// The decimal digits of |number| rounded to fractionDigits after the point (the
// shortest digits that identify the double, when those are fewer), without sign
// or point and without leading zeros, and the position of the point relative to
// the first digit (negative for small numbers). A number that rounds to zero
// gives no digits and position 0.
struct DecimalDigits {
  std::string digits;
  int pointPosition = 0;
};
DecimalDigits ToDecimalDigits(double number, int fractionDigits);

// Formats number by mask (null or empty: "*0.*"). editForm leaves out grouping
// and literals so that the text can be edited. Returns the length written; a
// number that does not fit fills the output with '#' and returns 0.
int FormatNumber(double number, const char* mask, char* output, int outputSize, bool editForm);

}  // namespace quillet
