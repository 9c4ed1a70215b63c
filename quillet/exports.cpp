// Quillet's exported functions. The host calls them with the register-passing
// convention (first two arguments in ECX and EDX) on i686; x86_64 has one
// convention only. Nothing thrown inside may reach the host.
#include <windows.h>

#include "quillet/edit/text_view.h"
#include "quillet/format/date_time.h"
#include "quillet/format/format_data.h"
#include "quillet/format/parse_data.h"

#if defined(__i386__)
#define QUILLET_FASTCALL __fastcall
#else
#define QUILLET_FASTCALL
#endif

namespace {

char CodeLetter(int code) { return static_cast<char>(code & 0xFF); }

}  // namespace

extern "C" {

int QUILLET_FASTCALL FormatData(const void* value, int typeCode, int storageCode, const char* mask,
                                char* output, int outputSize, int* isFalse, int editForm) {
  try {
    return quillet::FormatData(value, CodeLetter(typeCode), CodeLetter(storageCode), mask, output,
                               outputSize, isFalse, editForm != 0);
  } catch (...) {
    return 0;
  }
}

int QUILLET_FASTCALL ParseData(void* destination, int typeCode, int storageCode, const char* mask,
                               const char* text, int noValidate) {
  try {
    return quillet::ParseData(destination, CodeLetter(typeCode), CodeLetter(storageCode), mask,
                              text, noValidate != 0);
  } catch (...) {
    return 1;
  }
}

// The host hit-tests its own text with the control's rule. Without a device
// context, rectangle or text there is nothing to measure: position 0.
int QUILLET_FASTCALL GetClosestChar(HDC dc, const RECT* rect, const char* text, int length, int x,
                                    int fromRight) {
  try {
    if (!dc || !rect || !text) return 0;
    return quillet::ClosestChar(dc, rect, text, length, x, fromRight != 0);
  } catch (...) {
    return 0;
  }
}

void QUILLET_FASTCALL SendEpochToQuillet(int enabled, int pivotYear) {
  quillet::SetEpoch(enabled, pivotYear);
}

}  // extern "C"
