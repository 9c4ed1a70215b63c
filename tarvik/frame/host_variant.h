// The record in which the host passes a value of any VARTYPE to Tarvik and gets
// one back. Hosts include this header to lay out the record themselves.
//
// The first field holds the VARTYPE (low 16 bits); exactly one other field, the
// one that belongs to that type, is meaningful. The record is packed: no field is
// aligned, and all integers are little-endian.
//
// i686 (the shipping layout), 95 bytes:
//
//   offset width field           meaning
//        0     4 type            VARTYPE in the low 16 bits, upper 16 bits 0 when written
//        4     4 shortValue      VT_I2, sign-extended when written, low 16 bits read
//        8     4 integerValue    VT_I4
//       12    10 shortRealText   VT_R4, real text, zero-terminated
//       22    20 realText        VT_R8, real text, zero-terminated
//       42    25 currencyText    VT_CY, currency text, zero-terminated
//       67     4 date            VT_DATE, a HostDate (host_date.h)
//       71     4 string          VT_BSTR, ANSI text in a block of the process heap
//       75     4 dispatch        VT_DISPATCH
//       79     4 error           VT_ERROR, the SCODE
//       83     4 boolValue       VT_BOOL, sign-extended when written, low 16 bits read
//       87     4 unknown         VT_UNKNOWN
//       91     4 byteValue       VT_UI1, zero-extended when written, low 8 bits read
//
// x86_64: the same fields in the same order, still packed; only the three
// pointers (string, dispatch, unknown) widen to 8 bytes, which moves every field
// after the first of them. 107 bytes:
//
//   type 0, shortValue 4, integerValue 8, shortRealText 12, realText 22,
//   currencyText 42, date 67, string 71 (8), dispatch 79 (8), error 87,
//   boolValue 91, unknown 95 (8), byteValue 103.
//
// Ownership: a record that Tarvik fills carries in `string` a new block that the
// host owns and frees with HeapFree(GetProcessHeap(), ...); a record that the
// host passes in carries a block that Tarvik takes over and frees. Interface
// pointers handed to the host carry one reference for the host; those the host
// passes in are used without Tarvik taking a reference of its own.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstddef>
#include <cstdint>

namespace tarvik {

#pragma pack(push, 1)
struct HostVariant {
  std::uint32_t type;
  std::int32_t shortValue;
  std::int32_t integerValue;
  char shortRealText[10];
  char realText[20];
  char currencyText[25];
  std::uint32_t date;
  char* string;
  IDispatch* dispatch;
  std::int32_t error;
  std::int32_t boolValue;
  IUnknown* unknown;
  std::uint32_t byteValue;
};
#pragma pack(pop)

// The host compiles against these numbers: a change to the record breaks every
// host, so each offset is pinned.
static_assert(offsetof(HostVariant, type) == 0);
static_assert(offsetof(HostVariant, shortValue) == 4);
static_assert(offsetof(HostVariant, integerValue) == 8);
static_assert(offsetof(HostVariant, shortRealText) == 12);
static_assert(offsetof(HostVariant, realText) == 22);
static_assert(offsetof(HostVariant, currencyText) == 42);
static_assert(offsetof(HostVariant, date) == 67);
static_assert(offsetof(HostVariant, string) == 71);
#if defined(_WIN64)
static_assert(offsetof(HostVariant, dispatch) == 79);
static_assert(offsetof(HostVariant, error) == 87);
static_assert(offsetof(HostVariant, boolValue) == 91);
static_assert(offsetof(HostVariant, unknown) == 95);
static_assert(offsetof(HostVariant, byteValue) == 103);
static_assert(sizeof(HostVariant) == 107);
#else
static_assert(offsetof(HostVariant, dispatch) == 75);
static_assert(offsetof(HostVariant, error) == 79);
static_assert(offsetof(HostVariant, boolValue) == 83);
static_assert(offsetof(HostVariant, unknown) == 87);
static_assert(offsetof(HostVariant, byteValue) == 91);
static_assert(sizeof(HostVariant) == 95);
#endif
static_assert(sizeof(HostVariant::shortRealText) == 10);
static_assert(sizeof(HostVariant::realText) == 20);
static_assert(sizeof(HostVariant::currencyText) == 25);

}  // namespace tarvik
