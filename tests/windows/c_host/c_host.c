/* A host written in C, built only from the published headers and import
 * libraries, as an integrator would build one. Every family of exports is called
 * once through the declarations of tarvik.h and quillet.h: a wrong calling
 * convention, argument order, record layout or import name shows up here as a
 * link failure, a wrong result or a crash. Prints one line per check; the exit
 * code is the number of failed checks. */
#include <stdio.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "quillet.h"
#include "tarvik.h"

/* Defined in thunk_calls.c, which binds through the import thunks instead. */
int CallThroughThunks(void);

static int g_failures;

static void Check(int passed, const char* what) {
  printf("%s %s\n", passed ? "ok  " : "FAIL", what);
  if (!passed) ++g_failures;
}

/* Tarvik reports some failures in modal message boxes; a host that shows them
 * would block the run, so each box is recorded and answered as it opens. */
static int g_boxCount;
static HWND g_lastBox;
static char g_boxCaption[128];
static char g_boxText[256];

static LRESULT CALLBACK AnswerMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = (HWND)wParam;
    char className[16] = "";
    GetClassNameA(box, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && box != g_lastBox) {
      g_lastBox = box;
      ++g_boxCount;
      GetWindowTextA(box, g_boxCaption, sizeof g_boxCaption);
      GetDlgItemTextA(box, 0xFFFF, g_boxText, sizeof g_boxText);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(NULL, code, wParam, lParam);
}

static void CheckClientsAndErrors(void) {
  char lastError[12];
  char expectedCaption[64];
  int handle;

  Check(QvOleInit() == TARVIK_OLEINIT_RESULT, "QvOleInit returns its fixed result");
  handle = CreateAutomationClient();
  Check(handle == 1, "the first client after QvOleInit has handle 1");

  Check(SetSilentErrorMode(handle, TARVIK_ERRORS_SILENT) == 1, "SetSilentErrorMode on the client");
  Check(SetSilentErrorMode(handle + 100, TARVIK_ERRORS_SILENT) == 0,
        "SetSilentErrorMode on an unknown handle");

  /* Exactly `size` bytes are written: the bytes behind them keep their marks. */
  memset(lastError, 'x', sizeof lastError);
  Check(GetQuorvanLastError(handle, lastError, 8) == 1, "GetQuorvanLastError on the client");
  Check(memcmp(lastError, "\0\0\0\0\0\0\0\0xxxx", sizeof lastError) == 0,
        "GetQuorvanLastError fills exactly its size with the empty text");

  /* A property read on a client without IDispatch fails with 0 and one box
   * whose caption names the client: the handle reached the library intact. */
  g_boxCount = 0;
  g_boxText[0] = '\0';
  Check(GetAutoClientIntegerProperty(handle, 5) == 0, "property read without IDispatch gives 0");
  sprintf(expectedCaption, "Quorvan Error - Automation Client %d", handle);
  Check(g_boxCount == 1 && strcmp(g_boxCaption, expectedCaption) == 0,
        "the failure is reported in one box captioned with the client");
  Check(strstr(g_boxText, "No IDispatch interface") != NULL, "the box names the missing IDispatch");
  Check(GetAutoClientDispatch(handle) == NULL, "GetAutoClientDispatch without IDispatch is NULL");

  Check(DeclareAutoClientInvokeParams(handle, 2) == 1, "two arguments declared");
  Check(DefineAutoClientIntegerParam(handle, 5) == 1, "an integer argument defined");
  Check(DefineAutoClientStringParam(handle, "five") == 1, "a string argument defined");
  Check(DeclareAutoClientInvokeParams(handle, 1) == 0,
        "a new declaration is refused while arguments are pending");

  Check(DestroyAutomationClient(handle) == 0, "DestroyAutomationClient succeeds with 0");
  Check(DestroyAutomationClient(handle) == handle,
        "DestroyAutomationClient of a gone client returns the handle");
  Check(QvOleUninit() == 1, "QvOleUninit");
}

static void CheckTextHelpers(void) {
  BSTR text = GetBstrFromString("Quorvan 42");
  char* back;
  Check(text != NULL && SysStringLen(text) == 10 && wcscmp(text, L"Quorvan 42") == 0,
        "GetBstrFromString converts the ANSI text");
  back = GetStringFromBstr(text);
  Check(back != NULL && strcmp(back, "Quorvan 42") == 0, "GetStringFromBstr converts it back");
  if (back) HeapFree(GetProcessHeap(), 0, back);
  SysFreeString(text);
}

static void CheckEventArguments(void) {
  /* An event's arguments as a control passes them: the first declared argument
   * is the last element. Position 0 is a plain integer, position 1 an integer
   * that the control lets the host change. */
  LONG changeable = 3;
  VARIANTARG arguments[2];
  DISPPARAMS params;
  HostVariant value;

  VariantInit(&arguments[0]);
  arguments[0].vt = VT_BYREF | VT_I4;
  arguments[0].plVal = &changeable;
  VariantInit(&arguments[1]);
  arguments[1].vt = VT_I4;
  arguments[1].lVal = 77;
  params.rgvarg = arguments;
  params.rgdispidNamedArgs = NULL;
  params.cArgs = 2;
  params.cNamedArgs = 0;

  Check(GetOCXEventIntegerParam(NULL, 0) == 0, "event reader without an argument block gives 0");
  Check(GetOCXEventIntegerParam(&params, 0) == 77, "event reader finds the first argument");
  Check(GetOCXEventIntegerParam(&params, 2) == 0, "event reader past the last argument gives 0");
  Check(GetOCXEventRealParam(&params, 0, NULL) == 9, "real reader asks for the size of 77.000000");

  /* The record travels by value (95 or 107 bytes on the stack). */
  memset(&value, 0, sizeof value);
  value.type = VT_I4;
  value.integerValue = 5;
  Check(AlterOCXEventParam(&params, 1, value) == 1 && changeable == 5,
        "AlterOCXEventParam writes the record's value through the reference");
  value.integerValue = 6;
  Check(AlterOCXEventParam(&params, 0, value) == 0 && arguments[1].lVal == 77,
        "AlterOCXEventParam refuses an argument passed by value");
}

static void CheckServices(void) {
#ifdef C_HOST_CALLS_SERVICES
  Check(ReleaseComPtr(NULL) == 0, "ReleaseComPtr(NULL) gives 0");
#else
  printf("skip ReleaseComPtr: the export list does not have it yet\n");
#endif
}

/* One value of every storage width the table uses. */
typedef union StoredValue {
  double real;
  float shortReal;
  short shortValue;
  LONG longValue;
} StoredValue;

typedef struct FormatCase {
  int typeCode;
  int storageCode;
  const char* mask;
  StoredValue value;
  int size;
  const char* text;
} FormatCase;

static void CheckFormatRoundTrip(void) {
  static const FormatCase cases[] = {
      {QUILLET_TYPE_NUMBER, QUILLET_STORE_DOUBLE, "#,##0.00", {.real = 1234.5}, 8, "1,234.50"},
      {QUILLET_TYPE_NUMBER, QUILLET_STORE_INT16, "0", {.shortValue = -42}, 2, "-42"},
      {QUILLET_TYPE_NUMBER_C, QUILLET_STORE_LONG, "#,##0", {.longValue = 1234567}, 4, "1,234,567"},
      {QUILLET_TYPE_REAL, QUILLET_STORE_FLOAT, "0.0", {.shortReal = 2.5f}, 4, "2.5"},
      {QUILLET_TYPE_DATE,
       QUILLET_STORE_DATE_LONG,
       "mm/dd/yyyy",
       {.longValue = 20240307},
       4,
       "03/07/2024"},
      {QUILLET_TYPE_BOOL, QUILLET_STORE_INT16, "Yes;No", {.shortValue = 0}, 2, "No"},
  };
  size_t i;
  for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const FormatCase* c = &cases[i];
    char output[32];
    char label[96];
    StoredValue parsed;
    int isFalse = -1;
    int length;
    memset(output, 0, sizeof output);
    length = FormatData(&c->value, c->typeCode, c->storageCode, c->mask, output, sizeof output,
                        &isFalse, 0);
    sprintf(label, "FormatData %%%c%c \"%s\" gives \"%s\" (got \"%s\")", c->typeCode,
            c->storageCode, c->mask, c->text, output);
    Check(strcmp(output, c->text) == 0 && length == (int)strlen(c->text), label);

    memset(&parsed, 0x5A, sizeof parsed);
    sprintf(label, "ParseData %%%c%c \"%s\" stores the value back", c->typeCode, c->storageCode,
            c->text);
    Check(ParseData(&parsed, c->typeCode, c->storageCode, c->mask, c->text, 0) == 0 &&
              memcmp(&parsed, &c->value, (size_t)c->size) == 0,
          label);
  }
  Check(FormatData(&cases[0].value, '?', QUILLET_STORE_DOUBLE, NULL, (char[8]){0}, 8, NULL, 0) == 0,
        "FormatData refuses an unknown type");
}

static void CheckEpoch(void) {
  static const struct {
    int enabled, pivot;
    const char* text;
    LONG expected;
  } cases[] = {
      {1, 30, "1/2/29", 20290102},
      {1, 30, "1/2/30", 19300102},
      {1, 50, "1/2/49", 20490102},
      {1, 50, "1/2/50", 19500102},
  };
  size_t i;
  for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    LONG date = 0;
    char label[80];
    SendEpochToQuillet(cases[i].enabled, cases[i].pivot);
    ParseData(&date, QUILLET_TYPE_DATE, QUILLET_STORE_DATE_LONG, NULL, cases[i].text, 0);
    sprintf(label, "epoch (%d, %d) reads %s as %ld (got %ld)", cases[i].enabled, cases[i].pivot,
            cases[i].text, (long)cases[i].expected, (long)date);
    Check(date == cases[i].expected, label);
  }
  SendEpochToQuillet(0, 0);
}

static void CheckClosestChar(void) {
  static const struct {
    int length, x, fromRight, expected;
  } cases[] = {
      {-1, 50, 0, 0}, /* a negative length counts as no text */
      {6, 5, 0, 0},   /* left of the rectangle */
      {6, 390, 0, 6}, /* beyond the end of the text */
      {6, 400, 1, 6}, /* right-aligned, at the right edge */
      {6, 10, 1, 0},  /* right-aligned, far left */
  };
  RECT rect = {10, 0, 400, 20};
  HDC dc = GetDC(NULL);
  size_t i;
  for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    char label[80];
    int position =
        GetClosestChar(dc, &rect, "abcdef", cases[i].length, cases[i].x, cases[i].fromRight);
    sprintf(label, "GetClosestChar(length %d, x %d, fromRight %d) is %d (got %d)", cases[i].length,
            cases[i].x, cases[i].fromRight, cases[i].expected, position);
    Check(position == cases[i].expected, label);
  }
  Check(GetClosestChar(NULL, &rect, "abcdef", 6, 390, 0) == 0, "GetClosestChar without a DC");
  ReleaseDC(NULL, dc);
}

static void CheckEditControls(void) {
  WNDCLASSA form = {0};
  HWND parent;
  HWND number;
  HWND text;
  double value = 42.5;
  double read = 0;
  char shown[32] = "";
  char canonical[32] = "";
  char buffer[32] = "";

  form.lpfnWndProc = DefWindowProcA;
  form.hInstance = GetModuleHandleA(NULL);
  form.lpszClassName = "CHostForm";
  RegisterClassA(&form);
  parent = CreateWindowExA(0, "CHostForm", "C host", WS_POPUP, 0, 0, 300, 100, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
  number = CreateWindowExA(0, HEDIT_CLASS, "%nd|0;100|0.00", WS_CHILD | WS_VISIBLE | HS_FRAME3D, 10,
                           10, 120, 24, parent, (HMENU)7, GetModuleHandleA(NULL), NULL);
  Check(number != NULL, "an HEdit window from the field specification %nd|0;100|0.00");
  if (number) {
    Check(SendMessageA(number, HEM_GETTYPE, 0, 0) == QUILLET_TYPE_NUMBER &&
              SendMessageA(number, HEM_GETSTORAGE, 0, 0) == QUILLET_STORE_DOUBLE &&
              SendMessageA(number, HEM_GETVALUESIZE, 0, 0) == sizeof(double),
          "HEM_GETTYPE, HEM_GETSTORAGE, HEM_GETVALUESIZE give n, d, 8");
    Check((SendMessageA(number, HEM_GETSTYLE, 0, 0) & HS_FRAME3D) != 0, "HS_FRAME3D is kept");
    Check(SendMessageA(number, HEM_SETVALUE, 0, (LPARAM)&value) == 1, "HEM_SETVALUE");
    Check(SendMessageA(number, HEM_GETVALUE, 0, (LPARAM)&read) == sizeof(double) && read == 42.5,
          "HEM_GETVALUE gives the value back");
    SendMessageA(number, WM_GETTEXT, sizeof shown, (LPARAM)shown);
    FormatData(&value, QUILLET_TYPE_NUMBER, QUILLET_STORE_DOUBLE, "#.##;-#.##", canonical,
               sizeof canonical, NULL, 0);
    Check(strcmp(shown, canonical) == 0 && shown[0] != '\0',
          "WM_GETTEXT gives the canonical text that FormatData makes");
    read = -1;
    Check(SendMessageA(number, HEM_GETMAX, 0, (LPARAM)&read) == 1 && read == 100.0,
          "HEM_GETMAX gives the specification's maximum");
    read = -1;
    Check(SendMessageA(number, HEM_GETMIN, 0, (LPARAM)&read) == 1 && read == 0.0,
          "HEM_GETMIN gives the specification's minimum");
    Check(SendMessageA(number, HEM_SETQUIET, 1, 0) == 1 &&
              (SendMessageA(number, HEM_GETSTATE, 0, 0) & HES_QUIET) != 0 &&
              SendMessageA(number, HEM_GETQUIET, 0, 0) == 1,
          "HEM_SETQUIET sets HES_QUIET");
    Check(SendMessageA(number, HEM_SETFILLCHAR, 0, 0) == HEDIT_REFUSED,
          "HEM_SETFILLCHAR refuses the character 0");
  }

  text = CreateWindowExA(0, HEDIT_SS_CLASS, "%ss20Hello", WS_CHILD | WS_VISIBLE, 10, 40, 120, 24,
                         parent, (HMENU)8, GetModuleHandleA(NULL), NULL);
  Check(text != NULL, "an HEdit_SS window for plain text");
  if (text) {
    SendMessageA(text, WM_GETTEXT, sizeof buffer, (LPARAM)buffer);
    Check(strcmp(buffer, "Hello") == 0 && SendMessageA(text, HEM_GETMAXLENGTH, 0, 0) == 20 &&
              (SendMessageA(text, HEM_GETSTATE, 0, 0) & HES_LIMITSET) != 0,
          "%ss20Hello holds Hello with a limit of 20 (HES_LIMITSET)");
  }
  if (parent) DestroyWindow(parent);
}

int main(void) {
  UINT eventMessage = RegisterWindowMessageA(TARVIK_MSG_OCXEVENT);
  UINT notifyMessage = RegisterWindowMessageA(TARVIK_MSG_OCXNOTIFYEVENT);
  HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerMessageBoxes, NULL, GetCurrentThreadId());

  printf("C host, %d-bit, HostVariant %d bytes\n", (int)(sizeof(void*) * 8),
         (int)sizeof(HostVariant));
  Check(eventMessage >= 0xC000 && notifyMessage >= 0xC000 && eventMessage != notifyMessage,
        "the two message names register as two messages");
  CheckClientsAndErrors();
  CheckTextHelpers();
  CheckEventArguments();
  CheckServices();
  CheckFormatRoundTrip();
  CheckEpoch();
  CheckClosestChar();
  CheckEditControls();
  Check(CallThroughThunks() == 0, "exports bound through import thunks (C89 unit)");

  if (hook) UnhookWindowsHookEx(hook);
  printf("%d check(s) failed\n", g_failures);
  return g_failures;
}
