/* Tarvik.dll for hosts written in C or C++: every export with its calling
 * convention, the registered window messages, the HostVariant record and the
 * HostDate word. Plain C89; a C++ host includes it as it is.
 *
 * Link with the import library (libtarvik.a), or load the library yourself and
 * take the addresses with GetProcAddress under the undecorated names below.
 *
 * Conventions that hold for every export:
 *   - Texts are zero-terminated ANSI in the system code page. A text or record
 *     string the library returns is a block of the process heap that the caller
 *     frees with HeapFree(GetProcessHeap(), 0, block).
 *   - An interface pointer the library returns carries one reference for the
 *     caller, given back with ReleaseComPtr (or the pointer's own Release);
 *     GetAutoClientDispatch is the one exception.
 *   - A client handle is a positive integer from CreateAutomationClient or
 *     CreateOCXClient; an export given an unknown handle returns its failure
 *     value without a message.
 *   - Real numbers travel as real text: six decimals and the user's decimal
 *     separator. An export that writes real text into the caller's buffer
 *     returns, for a null buffer, the text's length without the terminator;
 *     given a buffer (length + 1 bytes), it writes the text and returns 1. Each
 *     call does the whole work again (asking for the length reads a property
 *     twice).
 */
#ifndef QUORVAN_TARVIK_H
#define QUORVAN_TARVIK_H

#include <stddef.h>
#include <windows.h>

#include <ole2.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A host that defines TARVIK_IMPORT itself (for example as nothing, to bind by
 * thunk) chooses how the exports are imported. */
#ifndef TARVIK_IMPORT
#define TARVIK_IMPORT __declspec(dllimport)
#endif

/* The standard calling convention on i686, where the callee pops its arguments;
 * x86_64 has one convention, on which these words have no effect. */
#define TARVIK_API TARVIK_IMPORT int __stdcall
#define TARVIK_CDECL __cdecl

/* ---------------------------------------------------------------------------
 * Registered window messages. QvOleInit registers both; the host obtains the
 * same numbers with RegisterWindowMessageA(TARVIK_MSG_OCXEVENT) and
 * RegisterWindowMessageA(TARVIK_MSG_OCXNOTIFYEVENT).
 *
 * "WM_QVOCXEVENT" is sent to the host window of a control that fired an event:
 *   wParam  the event's DISPID
 *   lParam  the event's DISPPARAMS* (0 for an event without arguments); valid
 *           only until the window procedure returns, and the first argument of
 *           every GetOCXEvent...Param reader and of AlterOCXEventParam.
 * "WM_QVOCXNOTIFYEVENT" is sent to the host window of a control whose focus
 * changed:
 *   wParam  TARVIK_NOTIFY_FOCUS
 *   lParam  non-zero when the control gained the focus, 0 when it lost it.
 */
#define TARVIK_MSG_OCXEVENT "WM_QVOCXEVENT"
#define TARVIK_MSG_OCXNOTIFYEVENT "WM_QVOCXNOTIFYEVENT"
#define TARVIK_NOTIFY_FOCUS 1

/* QvOleInit's result. */
#define TARVIK_OLEINIT_RESULT 1600

/* SetSilentErrorMode's modes. */
#define TARVIK_ERRORS_SHOWN 0
#define TARVIK_ERRORS_SILENT 1

/* ---------------------------------------------------------------------------
 * HostDate: a day number in the low three bytes of a 32-bit word, without a time
 * of day; day 693974 is OLE date 0.0 (30 December 1899). Readers ignore the top
 * byte; the library writes it as 0.
 */
typedef unsigned int HostDate;
#define HOSTDATE_DAY_MASK 0x00FFFFFFUL
#define HOSTDATE_DAY_OF_OLE_ZERO 693974L

/* ---------------------------------------------------------------------------
 * HostVariant: a value of any VARTYPE. `type` holds the VARTYPE in its low 16
 * bits; only the field belonging to that type is meaningful. The record is
 * packed, little-endian: 95 bytes on i686, 107 on x86_64, where the three
 * pointers widen to 8 bytes.
 *
 *   VT_I2 shortValue, VT_I4 integerValue, VT_R4 shortRealText, VT_R8 realText,
 *   VT_CY currencyText, VT_DATE date, VT_BSTR string (ANSI text in a block of
 *   the process heap), VT_DISPATCH dispatch, VT_ERROR error (the SCODE),
 *   VT_BOOL boolValue, VT_UNKNOWN unknown, VT_UI1 byteValue.
 *
 * A record the library fills carries in `string` a new block the host frees; a
 * record the host passes in hands its block over to the library, which frees
 * it. Interface pointers the host passes in are used without the library taking
 * a reference of its own.
 */
#pragma pack(push, 1)
typedef struct HostVariant {
  DWORD type;
  LONG shortValue;
  LONG integerValue;
  char shortRealText[10];
  char realText[20];
  char currencyText[25];
  HostDate date;
  char* string;
  IDispatch* dispatch;
  LONG error;
  LONG boolValue;
  IUnknown* unknown;
  DWORD byteValue;
} HostVariant;
#pragma pack(pop)

/* Compile-time checks of the record: the library reads it at exactly these
 * offsets, so a host whose compiler laid it out differently must not build. */
#if defined(__cplusplus) && __cplusplus >= 201103L
#define TARVIK_LAYOUT_CHECK(condition, name) static_assert(condition, #name)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define TARVIK_LAYOUT_CHECK(condition, name) _Static_assert(condition, #name)
#else
#define TARVIK_LAYOUT_CHECK(condition, name) \
  typedef char tarvik_layout_check_##name[(condition) ? 1 : -1]
#endif

TARVIK_LAYOUT_CHECK(offsetof(HostVariant, type) == 0, type_at_0);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, shortValue) == 4, shortValue_at_4);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, integerValue) == 8, integerValue_at_8);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, shortRealText) == 12, shortRealText_at_12);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, realText) == 22, realText_at_22);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, currencyText) == 42, currencyText_at_42);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, date) == 67, date_at_67);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, string) == 71, string_at_71);
TARVIK_LAYOUT_CHECK(sizeof(HostDate) == 4, HostDate_is_4_bytes);
#if defined(_WIN64)
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, dispatch) == 79, dispatch_at_79);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, error) == 87, error_at_87);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, boolValue) == 91, boolValue_at_91);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, unknown) == 95, unknown_at_95);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, byteValue) == 103, byteValue_at_103);
TARVIK_LAYOUT_CHECK(sizeof(HostVariant) == 107, HostVariant_is_107_bytes);
#else
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, dispatch) == 75, dispatch_at_75);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, error) == 79, error_at_79);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, boolValue) == 83, boolValue_at_83);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, unknown) == 87, unknown_at_87);
TARVIK_LAYOUT_CHECK(offsetof(HostVariant, byteValue) == 91, byteValue_at_91);
TARVIK_LAYOUT_CHECK(sizeof(HostVariant) == 95, HostVariant_is_95_bytes);
#endif

/* ---------------------------------------------------------------------------
 * Library and clients. QvOleInit opens the COM apartment of the calling thread
 * and returns TARVIK_OLEINIT_RESULT; QvOleUninit destroys every client. The
 * creating exports return a new handle, or 0. DestroyAutomationClient destroys
 * a client of either kind and returns 0, or the unchanged handle when there is
 * no such client.
 */
TARVIK_API QvOleInit(void);
TARVIK_API QvOleUninit(void);
TARVIK_API CreateAutomationClient(void);
TARVIK_API DestroyAutomationClient(int handle);

/* Errors. A client in silent mode (any mode but TARVIK_ERRORS_SHOWN) keeps a
 * server's exception text instead of showing it. GetQuorvanLastError writes
 * exactly size bytes: the text padded with zero bytes, or, for a text of size
 * bytes or more, its first size bytes without a terminating zero. Both return 1,
 * or 0 for an unknown handle. */
TARVIK_API SetSilentErrorMode(int handle, int mode);
TARVIK_API GetQuorvanLastError(int handle, char* buffer, int size);

/* Text helpers. GetStringFromBstr does not free the BSTR and returns a
 * process-heap block; GetBstrFromString returns a BSTR the caller frees with
 * SysFreeString. */
TARVIK_IMPORT char* __stdcall GetStringFromBstr(BSTR text);
TARVIK_IMPORT BSTR __stdcall GetBstrFromString(const char* text);

/* The client's IDispatch. progId is a ProgID or a class identifier text;
 * clsid and iid are identifiers in braces. AttachAutoClientDispatch takes a
 * reference of its own when addRef is non-zero. GetAutoClientDispatch lends the
 * held pointer without a reference for the caller (not to be released), or
 * returns NULL; the others return 1 on success, else 0. */
TARVIK_API CreateAutoClientDispatch(int handle, const char* progId);
TARVIK_API AttachAutoClientDispatch(int handle, IDispatch* dispatch, int addRef);
TARVIK_API AttachAutoClientActiveObject(int handle, const char* clsid);
TARVIK_API ReleaseAutoClientDispatch(int handle);
TARVIK_IMPORT IDispatch* __stdcall GetAutoClientDispatch(int handle);
TARVIK_API IsInterfaceSupported(int handle, const char* iid);

/* Method arguments: declare how many, then define each in order; the next
 * invocation or property access takes them. */
TARVIK_API DeclareAutoClientInvokeParams(int handle, int count);
TARVIK_API DefineAutoClientBoolParam(int handle, int value);
TARVIK_API DefineAutoClientCurrencyParam(int handle, const char* text);
TARVIK_API DefineAutoClientDateParam(int handle, HostDate date);
TARVIK_API DefineAutoClientRealParam(int handle, char* text);
TARVIK_API DefineAutoClientShortRealParam(int handle, char* text);
TARVIK_API DefineAutoClientIntegerParam(int handle, int value);
TARVIK_API DefineAutoClientShortParam(int handle, int value);
TARVIK_API DefineAutoClientLPDispatchParam(int handle, IDispatch* value);
TARVIK_API DefineAutoClientStringParam(int handle, const char* text);
TARVIK_API DefineAutoClientOLEVariantParam(int handle, HostVariant* record);
TARVIK_API DefineAutoClientBstrPtrParam(int handle, BSTR* variable);

/* Method calls. */
TARVIK_API InvokeAutoClientVoidFunction(int handle, DISPID dispid);
TARVIK_API InvokeAutoClientBoolFunction(int handle, DISPID dispid);
TARVIK_API InvokeAutoClientCurrencyFunction(int handle, DISPID dispid, char* buffer);
TARVIK_IMPORT HostDate __stdcall InvokeAutoClientDateFunction(int handle, DISPID dispid);
TARVIK_IMPORT IDispatch* __stdcall InvokeAutoClientLPDispatchFunction(int handle, DISPID dispid);
TARVIK_API InvokeAutoClientRealFunction(int handle, DISPID dispid, char* buffer);
TARVIK_API InvokeAutoClientShortRealFunction(int handle, DISPID dispid, char* buffer);
TARVIK_API InvokeAutoClientIntegerFunction(int handle, DISPID dispid);
TARVIK_API InvokeAutoClientShortFunction(int handle, DISPID dispid);
TARVIK_IMPORT char* __stdcall InvokeAutoClientStringFunction(int handle, DISPID dispid);
TARVIK_IMPORT HostVariant* __stdcall InvokeAutoClientOLEVariantFunction(int handle, DISPID dispid,
                                                                        HostVariant* record);

/* Property reads. */
TARVIK_API GetAutoClientBoolProperty(int handle, DISPID dispid);
TARVIK_API GetAutoClientCurrencyProperty(int handle, DISPID dispid, char* buffer);
TARVIK_IMPORT HostDate __stdcall GetAutoClientDateProperty(int handle, DISPID dispid);
TARVIK_IMPORT IDispatch* __stdcall GetAutoClientLPDispatchProperty(int handle, DISPID dispid);
TARVIK_API GetAutoClientRealProperty(int handle, DISPID dispid, char* buffer);
TARVIK_API GetAutoClientShortRealProperty(int handle, DISPID dispid, char* buffer);
TARVIK_API GetAutoClientIntegerProperty(int handle, DISPID dispid);
TARVIK_API GetAutoClientShortProperty(int handle, DISPID dispid);
TARVIK_IMPORT char* __stdcall GetAutoClientStringProperty(int handle, DISPID dispid);
TARVIK_IMPORT HostVariant* __stdcall GetAutoClientOLEVariantProperty(int handle, DISPID dispid,
                                                                     HostVariant* record);

/* Property writes. */
TARVIK_API SetAutoClientBoolProperty(int handle, DISPID dispid, int value);
TARVIK_API SetAutoClientCurrencyProperty(int handle, DISPID dispid, const char* text);
TARVIK_API SetAutoClientDateProperty(int handle, DISPID dispid, HostDate date);
TARVIK_API SetAutoClientLPDispatchProperty(int handle, DISPID dispid, IDispatch* value);
TARVIK_API SetAutoClientRealProperty(int handle, DISPID dispid, char* text);
TARVIK_API SetAutoClientShortRealProperty(int handle, DISPID dispid, char* text);
TARVIK_API SetAutoClientIntegerProperty(int handle, DISPID dispid, int value);
TARVIK_API SetAutoClientShortProperty(int handle, DISPID dispid, int value);
TARVIK_API SetAutoClientStringProperty(int handle, DISPID dispid, const char* text);
TARVIK_API SetAutoClientOLEVariantProperty(int handle, DISPID dispid, HostVariant* record);

/* OCX clients: an ActiveX control hosted in a window of the host. classText is
 * a ProgID or a class identifier text; creationKey is the licence key or null;
 * persistFile names a file written by SaveOCXControlProperties, or is null. Once
 * the control exists, every property and method export works on it through the
 * same handle. */
TARVIK_API CreateOCXClient(void);
TARVIK_API CreateOCXControlEx(int handle, HWND hostWnd, const char* classText, const char* caption,
                              DWORD style, const char* creationKey, const char* persistFile,
                              BOOL designMode);
TARVIK_API CreateOCXControl(int handle, HWND hostWnd, const char* classText, const char* caption,
                            DWORD style, const char* creationKey, const char* persistFile);
TARVIK_API DestroyOCXControl(int handle);

/* Control events, called while handling WM_QVOCXEVENT: params is the message's
 * lParam, position 0 the event's first declared argument. AlterOCXEventParam
 * writes a by-reference argument back and takes the record by value. */
TARVIK_API GetOCXEventBoolParam(DISPPARAMS* params, int position);
TARVIK_API GetOCXEventShortParam(DISPPARAMS* params, int position);
TARVIK_API GetOCXEventIntegerParam(DISPPARAMS* params, int position);
TARVIK_API GetOCXEventRealParam(DISPPARAMS* params, int position, char* text);
TARVIK_API GetOCXEventShortRealParam(DISPPARAMS* params, int position, char* text);
TARVIK_API GetOCXEventCurrencyParam(DISPPARAMS* params, int position, char* text);
TARVIK_IMPORT HostDate __stdcall GetOCXEventDateParam(DISPPARAMS* params, int position);
TARVIK_IMPORT char* __stdcall GetOCXEventStringParam(DISPPARAMS* params, int position, int unused);
TARVIK_API GetOCXEventOLEVariantParam(DISPPARAMS* params, int position, HostVariant* record);
TARVIK_API AlterOCXEventParam(DISPPARAMS* params, int position, HostVariant value);

/* Services around a hosted control. The handle-based ones return 0 for an
 * unknown handle or a client that is not an OCX client, else 1.
 * GetOCXControlCaption's buffer holds 255 bytes. LoadOlePicture makes a picture
 * object of a .BMP file and returns its IDispatch*, or 0. ReleaseComPtr (the
 * one export where the caller pops the arguments) releases a pointer the library
 * handed out: 1, or 0 for a null pointer or a failed call.
 * ExtractToolboxBitmap32 writes a control class's 32 x 32 toolbox picture as a
 * .BMP file: 1, or 0 when the file cannot be created. */
TARVIK_API EnableOCXControl(int handle, BOOL enable);
TARVIK_API SetOCXControlCaption(int handle, const char* caption);
TARVIK_API GetOCXControlCaption(int handle, char* buffer);
TARVIK_API DisplayOCXControlProperties(int handle);
TARVIK_API SaveOCXControlProperties(int handle, const char* fileName);
TARVIK_IMPORT IDispatch* __stdcall LoadOlePicture(const char* fileName);
TARVIK_IMPORT int TARVIK_CDECL ReleaseComPtr(IUnknown* pointer);
TARVIK_API ExtractToolboxBitmap32(const char* outputFile, const char* classText);

#ifdef __cplusplus
}
#endif

#endif /* QUORVAN_TARVIK_H */
