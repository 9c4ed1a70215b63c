// The published C headers against the libraries' own definitions. Hosts compile
// against tarvik.h and quillet.h, the libraries against their internal headers:
// every number, layout and signature the two restate must be the same, or a host
// built from the headers misreads the libraries. The compile-time checks fail
// the build; the code tables are checked against the engine at run time.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// The libraries' headers first: quillet.h defines its numbers as macros, which
// would rewrite the library's constants of the same names.
#include "host/quillet_exports.h"
#include "host/tarvik_exports.h"
#include "quillet/edit/hedit_classes.h"
#include "quillet/edit/hedit_constants.h"
#include "quillet/format/date_time_parts.h"
#include "quillet/format/field_types.h"
#include "tarvik/frame/host_date.h"
#include "tarvik/frame/host_variant.h"

// Every number quillet.h restates from the edit control.
#define QUILLET_SHARED_NUMBERS(X) \
  X(HEM_GETVALUE)                 \
  X(HEM_SETVALUE)                 \
  X(HEM_GETTEXTRECT)              \
  X(HEM_SETTEXTRECT)              \
  X(HEM_GETMAXLENGTH)             \
  X(HEM_GETOVERWRITE)             \
  X(HEM_SETOVERWRITE)             \
  X(HEM_GETFILLCHAR)              \
  X(HEM_SETFILLCHAR)              \
  X(HEM_GETSCROLLPOS)             \
  X(HEM_SETSCROLLPOS)             \
  X(HEM_SETSELECTION)             \
  X(HEM_COMMIT)                   \
  X(HEM_GETVALIDATOR)             \
  X(HEM_SETVALIDATOR)             \
  X(HEM_VALIDATE)                 \
  X(HEM_COPYSELECTION)            \
  X(HEM_INSERTTEXT)               \
  X(HEM_GETMAX)                   \
  X(HEM_SETMAX)                   \
  X(HEM_GETMIN)                   \
  X(HEM_SETMIN)                   \
  X(HEM_REFOCUS)                  \
  X(HEM_SETBUTTON)                \
  X(HEM_GETTEXTPTR)               \
  X(HEM_BUTTONCLICK)              \
  X(HEM_GETBUTTON)                \
  X(HEM_SETBUTTONIMAGE)           \
  X(HEM_SPINDELTA)                \
  X(HEM_GETBKBRUSH)               \
  X(HEM_SETBKBRUSH)               \
  X(HEM_GETMASK)                  \
  X(HEM_SETMASK)                  \
  X(HEM_GETFOCUSBRUSH)            \
  X(HEM_SETFOCUSBRUSH)            \
  X(HEM_GETCOLOR)                 \
  X(HEM_SETCOLOR)                 \
  X(HEM_GETTYPE)                  \
  X(HEM_GETVALUESIZE)             \
  X(HEM_GETSTORAGE)               \
  X(HEM_BINDVALUE)                \
  X(HEM_GETMODIFY)                \
  X(HEM_SETMODIFY)                \
  X(HEM_GETSTATE)                 \
  X(HEM_SETSTATE)                 \
  X(HEM_SETQUIET)                 \
  X(HEM_GETQUIET)                 \
  X(HEM_GETINFO)                  \
  X(HEM_SETINFO)                  \
  X(HEM_GETNOTIFYWND)             \
  X(HEM_SETNOTIFYWND)             \
  X(HEM_GETSTYLE)                 \
  X(HEM_SETSTYLE)                 \
  X(HEM_GETTEXTBUFFER)            \
  X(HEM_GETMASKPTR)               \
  X(HEM_ANSWER)                   \
  X(HEM_GETEMPTY)                 \
  X(HEN_ENTER)                    \
  X(HEN_ESCAPE)                   \
  X(HEN_TAB)                      \
  X(HEN_BACKTAB)                  \
  X(HEN_DBLCLK)                   \
  X(HEN_HELP)                     \
  X(HEN_INVALID)                  \
  X(HEN_BELOWMIN)                 \
  X(HEN_ABOVEMAX)                 \
  X(HS_FRAME3D)                   \
  X(HS_FOCUSHILITE)               \
  X(HS_EDITRIGHT)                 \
  X(HS_READONLY)                  \
  X(HES_DISPLAY)                  \
  X(HES_RIGHT)                    \
  X(HES_CENTER)                   \
  X(HES_TYPING)                   \
  X(HES_LIMITSET)                 \
  X(HES_DIRTY)                    \
  X(HES_ALTCOLOR)                 \
  X(HES_SKIPCHAR)                 \
  X(HES_THUMBTRACK)               \
  X(HES_FOCUS)                    \
  X(HES_QUIET)                    \
  X(HES_ANSWERED)                 \
  X(HES_MODIFIED)                 \
  X(HES_EMPTY)

// Taken while the names still mean the library's constants. The pasted names
// are not macros, so they survive quillet.h.
namespace library_numbers {
#define QV_TAKE_LIBRARY_NUMBER(name) constexpr long long name##_value = quillet::name;
QUILLET_SHARED_NUMBERS(QV_TAKE_LIBRARY_NUMBER)
#undef QV_TAKE_LIBRARY_NUMBER
}  // namespace library_numbers

#include "quillet/quillet.h"
#include "tarvik/tarvik.h"

namespace {

// --- Quillet's numbers ------------------------------------------------------

#define QV_SAME_NUMBER(name)                                                   \
  static_assert(library_numbers::name##_value == static_cast<long long>(name), \
                #name " differs from the library's");
QUILLET_SHARED_NUMBERS(QV_SAME_NUMBER)
#undef QV_SAME_NUMBER

static_assert(std::string_view(HEDIT_CLASS) == quillet::kHEditClass);
static_assert(std::string_view(HEDIT_SS_CLASS) == quillet::kHEditSSClass);
static_assert(std::is_same_v<FieldValidator, quillet::FieldValidator>);

// --- Records ------------------------------------------------------------------

#define QV_SAME_FIELD(published, library, field)                        \
  static_assert(offsetof(published, field) == offsetof(library, field), \
                #field " lies elsewhere in " #published);               \
  static_assert(sizeof(published::field) == sizeof(library::field),     \
                #field " has another width in " #published);

QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, type)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, shortValue)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, integerValue)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, shortRealText)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, realText)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, currencyText)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, date)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, string)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, dispatch)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, error)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, boolValue)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, unknown)
QV_SAME_FIELD(::HostVariant, tarvik::HostVariant, byteValue)
static_assert(sizeof(::HostVariant) == sizeof(tarvik::HostVariant));
static_assert(alignof(::HostVariant) == alignof(tarvik::HostVariant));

QV_SAME_FIELD(QuilletDateTimeParts, quillet::DateTimeParts, year)
QV_SAME_FIELD(QuilletDateTimeParts, quillet::DateTimeParts, month)
QV_SAME_FIELD(QuilletDateTimeParts, quillet::DateTimeParts, day)
QV_SAME_FIELD(QuilletDateTimeParts, quillet::DateTimeParts, hour)
QV_SAME_FIELD(QuilletDateTimeParts, quillet::DateTimeParts, minute)
QV_SAME_FIELD(QuilletDateTimeParts, quillet::DateTimeParts, second)
QV_SAME_FIELD(QuilletDateTimeParts, quillet::DateTimeParts, reserved)
QV_SAME_FIELD(QuilletDateTimeParts, quillet::DateTimeParts, milliseconds)
static_assert(sizeof(QuilletDateTimeParts) == sizeof(quillet::DateTimeParts));
#undef QV_SAME_FIELD

static_assert(std::is_same_v<::HostDate, tarvik::HostDate>);
static_assert(HOSTDATE_DAY_OF_OLE_ZERO == tarvik::kHostDayOfOleDateZero);

// --- Signatures -------------------------------------------------------------
// The demo host calls every export through pointers of the exact types the
// libraries define; the header's declarations must have those types, calling
// convention included. Its record is its own type, so records are mapped to the
// library's before comparing.

template <typename T>
struct InLibraryTerms {
  using type = T;
};
template <>
struct InLibraryTerms<::HostVariant> {
  using type = tarvik::HostVariant;
};
template <typename T>
struct InLibraryTerms<T*> {
  using type = typename InLibraryTerms<T>::type*;
};
template <typename R, typename... A>
struct InLibraryTerms<R(WINAPI*)(A...)> {
  using type = typename InLibraryTerms<R>::type(WINAPI*)(typename InLibraryTerms<A>::type...);
};

template <typename Published, typename Library>
constexpr bool kSameSignature = std::is_same_v<typename InLibraryTerms<Published>::type, Library>;

// The comparison must see the calling convention, or it proves nothing on i686.
#if defined(__i386__)
static_assert(!std::is_same_v<int(__stdcall*)(int), int(__cdecl*)(int)>);
static_assert(!std::is_same_v<int(__fastcall*)(int), int(__stdcall*)(int)>);
#endif

#define QV_SAME_SIGNATURE(name)                                             \
  static_assert(kSameSignature<decltype(&::name), quorvan::host::name##Fn>, \
                #name " is declared otherwise than the library defines it");

QV_SAME_SIGNATURE(QvOleInit)
QV_SAME_SIGNATURE(QvOleUninit)
QV_SAME_SIGNATURE(CreateAutomationClient)
QV_SAME_SIGNATURE(DestroyAutomationClient)
QV_SAME_SIGNATURE(SetSilentErrorMode)
QV_SAME_SIGNATURE(GetQuorvanLastError)
QV_SAME_SIGNATURE(CreateAutoClientDispatch)
QV_SAME_SIGNATURE(AttachAutoClientDispatch)
QV_SAME_SIGNATURE(AttachAutoClientActiveObject)
QV_SAME_SIGNATURE(ReleaseAutoClientDispatch)
QV_SAME_SIGNATURE(GetAutoClientDispatch)
QV_SAME_SIGNATURE(IsInterfaceSupported)
QV_SAME_SIGNATURE(GetStringFromBstr)
QV_SAME_SIGNATURE(GetBstrFromString)
QV_SAME_SIGNATURE(DeclareAutoClientInvokeParams)
QV_SAME_SIGNATURE(DefineAutoClientBoolParam)
QV_SAME_SIGNATURE(DefineAutoClientCurrencyParam)
QV_SAME_SIGNATURE(DefineAutoClientDateParam)
QV_SAME_SIGNATURE(DefineAutoClientRealParam)
QV_SAME_SIGNATURE(DefineAutoClientShortRealParam)
QV_SAME_SIGNATURE(DefineAutoClientIntegerParam)
QV_SAME_SIGNATURE(DefineAutoClientShortParam)
QV_SAME_SIGNATURE(DefineAutoClientLPDispatchParam)
QV_SAME_SIGNATURE(DefineAutoClientStringParam)
QV_SAME_SIGNATURE(DefineAutoClientOLEVariantParam)
QV_SAME_SIGNATURE(DefineAutoClientBstrPtrParam)
QV_SAME_SIGNATURE(InvokeAutoClientVoidFunction)
QV_SAME_SIGNATURE(InvokeAutoClientBoolFunction)
QV_SAME_SIGNATURE(InvokeAutoClientCurrencyFunction)
QV_SAME_SIGNATURE(InvokeAutoClientDateFunction)
QV_SAME_SIGNATURE(InvokeAutoClientLPDispatchFunction)
QV_SAME_SIGNATURE(InvokeAutoClientRealFunction)
QV_SAME_SIGNATURE(InvokeAutoClientShortRealFunction)
QV_SAME_SIGNATURE(InvokeAutoClientIntegerFunction)
QV_SAME_SIGNATURE(InvokeAutoClientShortFunction)
QV_SAME_SIGNATURE(InvokeAutoClientStringFunction)
QV_SAME_SIGNATURE(InvokeAutoClientOLEVariantFunction)
QV_SAME_SIGNATURE(GetAutoClientBoolProperty)
QV_SAME_SIGNATURE(GetAutoClientCurrencyProperty)
QV_SAME_SIGNATURE(GetAutoClientDateProperty)
QV_SAME_SIGNATURE(GetAutoClientLPDispatchProperty)
QV_SAME_SIGNATURE(GetAutoClientRealProperty)
QV_SAME_SIGNATURE(GetAutoClientShortRealProperty)
QV_SAME_SIGNATURE(GetAutoClientIntegerProperty)
QV_SAME_SIGNATURE(GetAutoClientShortProperty)
QV_SAME_SIGNATURE(GetAutoClientStringProperty)
QV_SAME_SIGNATURE(GetAutoClientOLEVariantProperty)
QV_SAME_SIGNATURE(SetAutoClientBoolProperty)
QV_SAME_SIGNATURE(SetAutoClientCurrencyProperty)
QV_SAME_SIGNATURE(SetAutoClientDateProperty)
QV_SAME_SIGNATURE(SetAutoClientRealProperty)
QV_SAME_SIGNATURE(SetAutoClientShortRealProperty)
QV_SAME_SIGNATURE(SetAutoClientIntegerProperty)
QV_SAME_SIGNATURE(SetAutoClientShortProperty)
QV_SAME_SIGNATURE(SetAutoClientLPDispatchProperty)
QV_SAME_SIGNATURE(SetAutoClientStringProperty)
QV_SAME_SIGNATURE(SetAutoClientOLEVariantProperty)
QV_SAME_SIGNATURE(CreateOCXClient)
QV_SAME_SIGNATURE(CreateOCXControlEx)
QV_SAME_SIGNATURE(CreateOCXControl)
QV_SAME_SIGNATURE(DestroyOCXControl)
QV_SAME_SIGNATURE(GetOCXEventBoolParam)
QV_SAME_SIGNATURE(GetOCXEventShortParam)
QV_SAME_SIGNATURE(GetOCXEventIntegerParam)
QV_SAME_SIGNATURE(GetOCXEventRealParam)
QV_SAME_SIGNATURE(GetOCXEventShortRealParam)
QV_SAME_SIGNATURE(GetOCXEventCurrencyParam)
QV_SAME_SIGNATURE(GetOCXEventDateParam)
QV_SAME_SIGNATURE(GetOCXEventStringParam)
QV_SAME_SIGNATURE(GetOCXEventOLEVariantParam)
QV_SAME_SIGNATURE(AlterOCXEventParam)
QV_SAME_SIGNATURE(FormatData)
QV_SAME_SIGNATURE(ParseData)
QV_SAME_SIGNATURE(GetClosestChar)
QV_SAME_SIGNATURE(SendEpochToQuillet)
// The services arrived with their own export list entries; the build says
// whether this tree has them.
#ifdef C_HOST_CALLS_SERVICES
QV_SAME_SIGNATURE(EnableOCXControl)
QV_SAME_SIGNATURE(SetOCXControlCaption)
QV_SAME_SIGNATURE(GetOCXControlCaption)
QV_SAME_SIGNATURE(DisplayOCXControlProperties)
QV_SAME_SIGNATURE(SaveOCXControlProperties)
QV_SAME_SIGNATURE(LoadOlePicture)
QV_SAME_SIGNATURE(ReleaseComPtr)
QV_SAME_SIGNATURE(ExtractToolboxBitmap32)
#endif
#undef QV_SAME_SIGNATURE

// --- Type and storage codes -------------------------------------------------

// What quillet.h publishes for each type: the storage codes it names for the
// type's family (in its comments) and the C layout each one stands for.
struct PublishedStorage {
  int code;
  int size;  // -1: zero-terminated text
};

struct PublishedType {
  int typeCode;
  std::vector<PublishedStorage> storage;
};

const std::vector<PublishedStorage> kIntegers = {
    {QUILLET_STORE_UINT8, 1},  {QUILLET_STORE_INT8, 1},  {QUILLET_STORE_INT16, 2},
    {QUILLET_STORE_UINT16, 2}, {QUILLET_STORE_INT32, 4}, {QUILLET_STORE_LONG, 4},
    {QUILLET_STORE_UINT32, 4}, {QUILLET_STORE_DWORD, 4},
};

std::vector<PublishedStorage> Joined(std::vector<PublishedStorage> a,
                                     const std::vector<PublishedStorage>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<PublishedStorage> kReals = {{QUILLET_STORE_FLOAT, sizeof(float)},
                                              {QUILLET_STORE_DOUBLE, sizeof(double)}};
const std::vector<PublishedStorage> kNumbers =
    Joined(Joined(kIntegers, kReals), {{QUILLET_STORE_RAW8, 8}});
const std::vector<PublishedStorage> kDateTimes = {
    {QUILLET_STORE_PARTS, sizeof(QuilletDateTimeParts)},
    {QUILLET_STORE_DAY_MS, 8},
    {QUILLET_STORE_DAY_MINUTES, 4},
    {QUILLET_STORE_OLE_DATE, sizeof(double)},
    {QUILLET_STORE_TIMET, 4},
    {QUILLET_STORE_TM, 9 * 4},
    {QUILLET_STORE_SYSTEMTIME, 16},
};

const std::vector<PublishedType> kPublishedTypes = {
    {QUILLET_TYPE_DATETIME, kDateTimes},
    {QUILLET_TYPE_TIMET, {{QUILLET_STORE_TIMET, 4}}},
    {QUILLET_TYPE_DATE,
     {{QUILLET_STORE_DATE_PACKED, 2},
      {QUILLET_STORE_DATE_DMY, 6},
      {QUILLET_STORE_DATE_WORDS, 6},
      {QUILLET_STORE_DATE_LONG, 4}}},
    {QUILLET_TYPE_TIME,
     {{QUILLET_STORE_TIME_PACKED, 2},
      {QUILLET_STORE_TIME_BYTES, 4},
      {QUILLET_STORE_TIME_WORDS, 6}}},
    {QUILLET_TYPE_BOOL, kIntegers},
    {QUILLET_TYPE_NUMBER, kNumbers},
    {QUILLET_TYPE_NUMBER_C, kNumbers},
    {QUILLET_TYPE_REAL, kReals},
    {QUILLET_TYPE_CHAR, {{QUILLET_STORE_CHAR, 1}}},
    {QUILLET_TYPE_MASKED, {{QUILLET_STORE_STRING, -1}}},
    {QUILLET_TYPE_TEXT, {{QUILLET_STORE_STRING, -1}}},
};

TEST(PublishedCodes, TheTypeCodesAreExactlyTheEnginesTypes) {
  std::set<int> published;
  for (const PublishedType& type : kPublishedTypes) published.insert(type.typeCode);
  EXPECT_EQ(published.size(), kPublishedTypes.size()) << "a type code is published twice";
  for (int code = 1; code < 256; ++code) {
    EXPECT_EQ(quillet::IsKnownTypeCode(static_cast<char>(code)), published.count(code) == 1)
        << "type code '" << static_cast<char>(code) << "' (" << code << ")";
  }
}

TEST(PublishedCodes, EachTypeAcceptsExactlyItsPublishedStorageCodes) {
  for (const PublishedType& type : kPublishedTypes) {
    std::set<int> published;
    for (const PublishedStorage& storage : type.storage) published.insert(storage.code);
    for (int code = 1; code < 256; ++code) {
      EXPECT_EQ(quillet::IsValidTypePair(static_cast<char>(type.typeCode), static_cast<char>(code)),
                published.count(code) == 1)
          << "type '" << static_cast<char>(type.typeCode) << "', storage '"
          << static_cast<char>(code) << "'";
    }
  }
}

TEST(PublishedCodes, EachStorageCodeHasThePublishedLayoutsSize) {
  for (const PublishedType& type : kPublishedTypes) {
    for (const PublishedStorage& storage : type.storage) {
      EXPECT_EQ(
          quillet::ValueSize(static_cast<char>(type.typeCode), static_cast<char>(storage.code)),
          storage.size)
          << "type '" << static_cast<char>(type.typeCode) << "', storage '"
          << static_cast<char>(storage.code) << "'";
    }
  }
}

}  // namespace
