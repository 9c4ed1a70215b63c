/* Quillet.dll for hosts written in C or C++: the four exports, the type and
 * storage codes of stored values, and the HEdit window classes with their
 * private messages, notifications, styles and state flags. Plain C89; a C++ host
 * includes it as it is.
 *
 * Link with the import library (libquillet.a), or load the library yourself:
 * its exports carry the names "@FormatData@32", "@ParseData@24",
 * "@GetClosestChar@24" and "@SendEpochToQuillet@8" on both widths.
 *
 * Loading the library registers the window classes; it shows no messages.
 */
#ifndef QUORVAN_QUILLET_H
#define QUORVAN_QUILLET_H

#include <stddef.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef QUILLET_IMPORT
#define QUILLET_IMPORT __declspec(dllimport)
#endif

/* On i686 the exports take their first two arguments in ECX and EDX; x86_64
 * has one calling convention. */
#if defined(_M_IX86) || defined(__i386__)
#define QUILLET_CALL __fastcall
#else
#define QUILLET_CALL
#endif

/* ---------------------------------------------------------------------------
 * Type codes: what a stored value means. Only the low byte of a code argument
 * counts.
 */
#define QUILLET_TYPE_DATETIME 'a' /* date and time */
#define QUILLET_TYPE_TIMET 'k'    /* date and time held as a time_t */
#define QUILLET_TYPE_DATE 'd'     /* date only */
#define QUILLET_TYPE_TIME 't'     /* time only */
#define QUILLET_TYPE_BOOL 'b'     /* truth value, mask "TRUE;FALSE" */
#define QUILLET_TYPE_NUMBER 'n'   /* number */
#define QUILLET_TYPE_NUMBER_C 'c' /* number, the same as QUILLET_TYPE_NUMBER */
#define QUILLET_TYPE_REAL 'z'     /* number held as a real */
#define QUILLET_TYPE_CHAR 'h'     /* one character */
#define QUILLET_TYPE_MASKED 'm'   /* masked text */
#define QUILLET_TYPE_TEXT 's'     /* plain text */

/* Storage codes: how a value lies in memory. A letter means something different
 * in each family of types; the names say the family.
 *
 * Truth values and numbers (types b, c, n, z; b takes no f, d or M, z only f
 * and d): */
#define QUILLET_STORE_UINT8 'b'
#define QUILLET_STORE_INT8 'h'
#define QUILLET_STORE_INT16 's'
#define QUILLET_STORE_UINT16 'w'
#define QUILLET_STORE_INT32 'i'
#define QUILLET_STORE_LONG 'l' /* signed 32 bits, as QUILLET_STORE_INT32 */
#define QUILLET_STORE_UINT32 'u'
#define QUILLET_STORE_DWORD 'W' /* unsigned 32 bits, as QUILLET_STORE_UINT32 */
#define QUILLET_STORE_FLOAT 'f'
#define QUILLET_STORE_DOUBLE 'd'
#define QUILLET_STORE_RAW8 'M' /* 8 bytes the engine does not convert */
/* Dates (type d): */
#define QUILLET_STORE_DATE_PACKED 'A' /* 16 bits: year-1980 (0-6), month (7-10), day (11-15) */
#define QUILLET_STORE_DATE_DMY 'a'    /* day, month bytes, 16-bit year, 2 spare bytes */
#define QUILLET_STORE_DATE_WORDS 'd'  /* 16-bit year, month, day */
#define QUILLET_STORE_DATE_LONG 'l'   /* 32 bits: year * 10000 + month * 100 + day */
/* Times (type t): */
#define QUILLET_STORE_TIME_PACKED 'I' /* 16 bits: hour (0-4), minute (5-10), second/2 (11-15) */
#define QUILLET_STORE_TIME_BYTES 'i'  /* hour, minute, second, hundredths bytes */
#define QUILLET_STORE_TIME_WORDS 't'  /* 16-bit hour, minute, second */
/* Dates and times (type a; type k takes QUILLET_STORE_TIMET only): */
#define QUILLET_STORE_PARTS 'D'       /* a QuilletDateTimeParts record */
#define QUILLET_STORE_DAY_MS 'Q'      /* 32-bit day from 1 Jan 1900, 32-bit ms since midnight */
#define QUILLET_STORE_DAY_MINUTES 'q' /* 16-bit day from 1 Jan 1900, 16-bit minutes */
#define QUILLET_STORE_OLE_DATE 'u'    /* double: days since 30 Dec 1899 and the day's fraction */
#define QUILLET_STORE_TIMET 'T'       /* 32-bit time_t, through local time */
#define QUILLET_STORE_TM 'm'          /* the run-time's struct tm, nine 32-bit fields */
#define QUILLET_STORE_SYSTEMTIME 's'  /* 16-bit Y M D h m s, then 32-bit milliseconds */
/* One character (type h) and text (types m, s): */
#define QUILLET_STORE_CHAR 'h'
#define QUILLET_STORE_STRING 's' /* zero-terminated */

/* The 10-byte record of QUILLET_STORE_PARTS. A month or day of 0 means no
 * date. */
#pragma pack(push, 1)
typedef struct QuilletDateTimeParts {
  short year;
  unsigned char month;
  unsigned char day;
  unsigned char hour;
  unsigned char minute;
  unsigned char second;
  unsigned char reserved;
  unsigned short milliseconds;
} QuilletDateTimeParts;
#pragma pack(pop)

#if defined(__cplusplus) && __cplusplus >= 201103L
#define QUILLET_LAYOUT_CHECK(condition, name) static_assert(condition, #name)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define QUILLET_LAYOUT_CHECK(condition, name) _Static_assert(condition, #name)
#else
#define QUILLET_LAYOUT_CHECK(condition, name) \
  typedef char quillet_layout_check_##name[(condition) ? 1 : -1]
#endif

QUILLET_LAYOUT_CHECK(sizeof(QuilletDateTimeParts) == 10, parts_are_10_bytes);
QUILLET_LAYOUT_CHECK(offsetof(QuilletDateTimeParts, second) == 6, second_at_6);
QUILLET_LAYOUT_CHECK(offsetof(QuilletDateTimeParts, milliseconds) == 8, milliseconds_at_8);

/* ---------------------------------------------------------------------------
 * Exports.
 *
 * FormatData formats the value stored at `value` (laid out as typeCode and
 * storageCode say) by mask into output; editForm non-zero gives the form shown
 * while editing. Returns the length written, or 0 for a null value or output,
 * outputSize below 2 or an unknown type. isFalse (may be null) is set for a false
 * truth value and cleared otherwise.
 *
 * ParseData reads text back into destination. Returns 0 when stored (or for a
 * null destination or text) and 1 for invalid text, which for dates and times
 * still stores the corrected value; noValidate non-zero skips those checks.
 * Types m and s need strlen(text) + 1 bytes at destination.
 *
 * GetClosestChar gives the position in text (length characters, drawn in rect
 * with the font selected into dc) closest to x, as an HEdit control hit-tests;
 * fromRight non-zero for right-aligned text. 0 without dc, rect or text, or for
 * a negative length.
 *
 * SendEpochToQuillet: with enabled non-zero, two-digit years read from then on
 * below pivotYear fall into the 2000s, the others into the 1900s; enabled 0
 * keeps them as typed (the state at load). Process-wide.
 */
QUILLET_IMPORT int QUILLET_CALL FormatData(const void* value, int typeCode, int storageCode,
                                           const char* mask, char* output, int outputSize,
                                           int* isFalse, int editForm);
QUILLET_IMPORT int QUILLET_CALL ParseData(void* destination, int typeCode, int storageCode,
                                          const char* mask, const char* text, int noValidate);
QUILLET_IMPORT int QUILLET_CALL GetClosestChar(HDC dc, const RECT* rect, const char* text,
                                               int length, int x, int fromRight);
QUILLET_IMPORT void QUILLET_CALL SendEpochToQuillet(int enabled, int pivotYear);

/* ---------------------------------------------------------------------------
 * The HEdit window classes. Both are single-line edit controls; the window text
 * at creation is the field specification:
 *   "%" typeCode storageCode ["|" minimum ";" maximum "|"] mask
 * for example "%nd|0;100|#,##0.00", or for plain text "%ss" [maximum length]
 * initial text. A text without a valid "%" pair is the initial text of a plain
 * text field.
 */
#define HEDIT_CLASS "HEdit"
#define HEDIT_SS_CLASS "HEdit_SS"

/* Results of private messages that fail. */
#define HEDIT_NOT_APPLICABLE (-1)
#define HEDIT_MISSING_POINTER (-2)
#define HEDIT_REFUSED (-3)
#define HEDIT_OUT_OF_MEMORY (-5)

/* Private messages: wParam / lParam. */
#define HEM_GETVALUE (WM_USER + 40)       /* capacity (text types) / buffer */
#define HEM_SETVALUE (WM_USER + 41)       /* - / value, or NULL for empty */
#define HEM_GETTEXTRECT (WM_USER + 42)    /* - / RECT* */
#define HEM_SETTEXTRECT (WM_USER + 43)    /* re-render / RECT* or NULL */
#define HEM_GETMAXLENGTH (WM_USER + 44)   /* */
#define HEM_GETOVERWRITE (WM_USER + 45)   /* */
#define HEM_SETOVERWRITE (WM_USER + 46)   /* mode */
#define HEM_GETFILLCHAR (WM_USER + 47)    /* */
#define HEM_SETFILLCHAR (WM_USER + 48)    /* character (not 0) */
#define HEM_GETSCROLLPOS (WM_USER + 49)   /* */
#define HEM_SETSCROLLPOS (WM_USER + 50)   /* position */
#define HEM_SETSELECTION (WM_USER + 51)   /* anchor / caret (negative: end) */
#define HEM_COMMIT (WM_USER + 53)         /* commit / re-render */
#define HEM_GETVALIDATOR (WM_USER + 54)   /* */
#define HEM_SETVALIDATOR (WM_USER + 55)   /* - / FieldValidator or NULL */
#define HEM_VALIDATE (WM_USER + 56)       /* */
#define HEM_COPYSELECTION (WM_USER + 57)  /* capacity / buffer */
#define HEM_INSERTTEXT (WM_USER + 58)     /* - / text, typed character by character */
#define HEM_GETMAX (WM_USER + 59)         /* - / buffer in storage form */
#define HEM_SETMAX (WM_USER + 60)         /* - / value in storage form, or NULL */
#define HEM_GETMIN (WM_USER + 61)         /* - / buffer in storage form */
#define HEM_SETMIN (WM_USER + 62)         /* - / value in storage form, or NULL */
#define HEM_REFOCUS (WM_USER + 63)        /* */
#define HEM_SETBUTTON (WM_USER + 64)      /* kind 0-3 / caption */
#define HEM_GETTEXTPTR (WM_USER + 65)     /* */
#define HEM_BUTTONCLICK (WM_USER + 66)    /* sent by the control to itself */
#define HEM_GETBUTTON (WM_USER + 67)      /* */
#define HEM_SETBUTTONIMAGE (WM_USER + 69) /* - / image */
#define HEM_SPINDELTA (WM_USER + 70)      /* sent by the control to itself */
#define HEM_GETBKBRUSH (WM_USER + 100)
#define HEM_SETBKBRUSH (WM_USER + 101)
#define HEM_GETMASK (WM_USER + 102)
#define HEM_SETMASK (WM_USER + 103)
#define HEM_GETFOCUSBRUSH (WM_USER + 104)
#define HEM_SETFOCUSBRUSH (WM_USER + 105)
#define HEM_GETCOLOR (WM_USER + 106)
#define HEM_SETCOLOR (WM_USER + 107)
#define HEM_GETTYPE (WM_USER + 108)
#define HEM_GETVALUESIZE (WM_USER + 109)
#define HEM_GETSTORAGE (WM_USER + 110)
#define HEM_BINDVALUE (WM_USER + 112)
#define HEM_GETMODIFY (WM_USER + 113)
#define HEM_SETMODIFY (WM_USER + 114)
#define HEM_GETSTATE (WM_USER + 117)
#define HEM_SETSTATE (WM_USER + 118)
#define HEM_SETQUIET (WM_USER + 119)
#define HEM_GETQUIET (WM_USER + 120)
#define HEM_GETINFO (WM_USER + 123)
#define HEM_SETINFO (WM_USER + 124)
#define HEM_GETNOTIFYWND (WM_USER + 125)
#define HEM_SETNOTIFYWND (WM_USER + 126)
#define HEM_GETSTYLE (WM_USER + 127)
#define HEM_SETSTYLE (WM_USER + 128)
#define HEM_GETTEXTBUFFER (WM_USER + 129)
#define HEM_GETMASKPTR (WM_USER + 130)
#define HEM_ANSWER (WM_USER + 131) /* the parent answers the notification in progress */
#define HEM_GETEMPTY (WM_USER + 132)

/* Notification codes, in the high word of WM_COMMAND's wParam (the low word is
 * the control's id, lParam its window). The control also sends the system edit
 * control's EN_SETFOCUS, EN_KILLFOCUS, EN_CHANGE, EN_UPDATE, EN_MAXTEXT and
 * EN_HSCROLL. */
#define HEN_ENTER 0x0101
#define HEN_ESCAPE 0x0102
#define HEN_TAB 0x0107
#define HEN_BACKTAB 0x0108
#define HEN_DBLCLK 0x010C
#define HEN_HELP 0x010D
#define HEN_INVALID 0x0602
#define HEN_BELOWMIN 0x0603
#define HEN_ABOVEMAX 0x0604

/* Style bits of the control, in the window style's low word beside the system
 * edit styles (ES_...) that it also honours. */
#define HS_FRAME3D 0x0200L
#define HS_FOCUSHILITE 0x0400L
#define HS_EDITRIGHT 0x0800L
#define HS_READONLY 0x2000L

/* State flags (HEM_GETSTATE, HEM_SETSTATE). */
#define HES_DISPLAY 0x0002
#define HES_RIGHT 0x0004
#define HES_CENTER 0x0008
#define HES_TYPING 0x0010
#define HES_LIMITSET 0x0020
#define HES_DIRTY 0x0040
#define HES_ALTCOLOR 0x0080
#define HES_SKIPCHAR 0x0100
#define HES_THUMBTRACK 0x0200
#define HES_FOCUS 0x0400
#define HES_QUIET 0x0800
#define HES_ANSWERED 0x1000
#define HES_MODIFIED 0x2000
#define HES_EMPTY 0x4000

/* The host's validation callback (HEM_SETVALIDATOR): 0 accepts the value. */
typedef int(WINAPI* FieldValidator)(HWND control, UINT id, void* value);

#ifdef __cplusplus
}
#endif

#endif /* QUORVAN_QUILLET_H */
