// The numbers an HEdit control shares with its host: private messages, notification
// codes, style bits and state flags. Hosts rely on every value here.
#pragma once

#include <windows.h>

namespace quillet {

// Private messages.
inline constexpr UINT HEM_GETVALUE = WM_USER + 40;
inline constexpr UINT HEM_SETVALUE = WM_USER + 41;
inline constexpr UINT HEM_GETTEXTRECT = WM_USER + 42;
inline constexpr UINT HEM_SETTEXTRECT = WM_USER + 43;
inline constexpr UINT HEM_GETMAXLENGTH = WM_USER + 44;
inline constexpr UINT HEM_GETOVERWRITE = WM_USER + 45;
inline constexpr UINT HEM_SETOVERWRITE = WM_USER + 46;
inline constexpr UINT HEM_GETFILLCHAR = WM_USER + 47;
inline constexpr UINT HEM_SETFILLCHAR = WM_USER + 48;
inline constexpr UINT HEM_GETSCROLLPOS = WM_USER + 49;
inline constexpr UINT HEM_SETSCROLLPOS = WM_USER + 50;
inline constexpr UINT HEM_SETSELECTION = WM_USER + 51;
inline constexpr UINT HEM_COMMIT = WM_USER + 53;
inline constexpr UINT HEM_GETVALIDATOR = WM_USER + 54;
inline constexpr UINT HEM_SETVALIDATOR = WM_USER + 55;
inline constexpr UINT HEM_VALIDATE = WM_USER + 56;
inline constexpr UINT HEM_COPYSELECTION = WM_USER + 57;
inline constexpr UINT HEM_INSERTTEXT = WM_USER + 58;
inline constexpr UINT HEM_GETMAX = WM_USER + 59;
inline constexpr UINT HEM_SETMAX = WM_USER + 60;
inline constexpr UINT HEM_GETMIN = WM_USER + 61;
inline constexpr UINT HEM_SETMIN = WM_USER + 62;
inline constexpr UINT HEM_REFOCUS = WM_USER + 63;
inline constexpr UINT HEM_SETBUTTON = WM_USER + 64;
inline constexpr UINT HEM_GETTEXTPTR = WM_USER + 65;
inline constexpr UINT HEM_BUTTONCLICK = WM_USER + 66;
inline constexpr UINT HEM_GETBUTTON = WM_USER + 67;
inline constexpr UINT HEM_SETBUTTONIMAGE = WM_USER + 69;
inline constexpr UINT HEM_SPINDELTA = WM_USER + 70;
inline constexpr UINT HEM_GETBKBRUSH = WM_USER + 100;
inline constexpr UINT HEM_SETBKBRUSH = WM_USER + 101;
inline constexpr UINT HEM_GETMASK = WM_USER + 102;
inline constexpr UINT HEM_SETMASK = WM_USER + 103;
inline constexpr UINT HEM_GETFOCUSBRUSH = WM_USER + 104;
inline constexpr UINT HEM_SETFOCUSBRUSH = WM_USER + 105;
inline constexpr UINT HEM_GETCOLOR = WM_USER + 106;
inline constexpr UINT HEM_SETCOLOR = WM_USER + 107;
inline constexpr UINT HEM_GETTYPE = WM_USER + 108;
inline constexpr UINT HEM_GETVALUESIZE = WM_USER + 109;
inline constexpr UINT HEM_GETSTORAGE = WM_USER + 110;
inline constexpr UINT HEM_BINDVALUE = WM_USER + 112;
inline constexpr UINT HEM_GETMODIFY = WM_USER + 113;
inline constexpr UINT HEM_SETMODIFY = WM_USER + 114;
inline constexpr UINT HEM_GETSTATE = WM_USER + 117;
inline constexpr UINT HEM_SETSTATE = WM_USER + 118;
inline constexpr UINT HEM_SETQUIET = WM_USER + 119;
inline constexpr UINT HEM_GETQUIET = WM_USER + 120;
inline constexpr UINT HEM_GETINFO = WM_USER + 123;
inline constexpr UINT HEM_SETINFO = WM_USER + 124;
inline constexpr UINT HEM_GETNOTIFYWND = WM_USER + 125;
inline constexpr UINT HEM_SETNOTIFYWND = WM_USER + 126;
inline constexpr UINT HEM_GETSTYLE = WM_USER + 127;
inline constexpr UINT HEM_SETSTYLE = WM_USER + 128;
inline constexpr UINT HEM_GETTEXTBUFFER = WM_USER + 129;
inline constexpr UINT HEM_GETMASKPTR = WM_USER + 130;
inline constexpr UINT HEM_ANSWER = WM_USER + 131;
inline constexpr UINT HEM_GETEMPTY = WM_USER + 132;

// Notification codes (the high word of WM_COMMAND's wParam). The EN_ codes are the
// system edit control's own.
inline constexpr WORD HEN_ENTER = 0x0101;
inline constexpr WORD HEN_ESCAPE = 0x0102;
inline constexpr WORD HEN_TAB = 0x0107;
inline constexpr WORD HEN_BACKTAB = 0x0108;
inline constexpr WORD HEN_DBLCLK = 0x010C;
inline constexpr WORD HEN_HELP = 0x010D;
inline constexpr WORD HEN_INVALID = 0x0602;
inline constexpr WORD HEN_BELOWMIN = 0x0603;
inline constexpr WORD HEN_ABOVEMAX = 0x0604;

// Style bits of our own, next to the system edit styles they share the word with.
inline constexpr DWORD HS_FRAME3D = 0x0200;
inline constexpr DWORD HS_FOCUSHILITE = 0x0400;
inline constexpr DWORD HS_EDITRIGHT = 0x0800;
inline constexpr DWORD HS_READONLY = 0x2000;

// State flags of a control.
inline constexpr WORD HES_DISPLAY = 0x0002;
inline constexpr WORD HES_RIGHT = 0x0004;
inline constexpr WORD HES_CENTER = 0x0008;
inline constexpr WORD HES_TYPING = 0x0010;
inline constexpr WORD HES_LIMITSET = 0x0020;
inline constexpr WORD HES_DIRTY = 0x0040;
inline constexpr WORD HES_ALTCOLOR = 0x0080;
inline constexpr WORD HES_SKIPCHAR = 0x0100;
inline constexpr WORD HES_THUMBTRACK = 0x0200;
inline constexpr WORD HES_FOCUS = 0x0400;
inline constexpr WORD HES_QUIET = 0x0800;
inline constexpr WORD HES_ANSWERED = 0x1000;
inline constexpr WORD HES_MODIFIED = 0x2000;
inline constexpr WORD HES_EMPTY = 0x4000;

// Range flags.
inline constexpr WORD kMinimumSet = 0x0001;
inline constexpr WORD kMaximumSet = 0x0002;

// The host's validation callback: 0 accepts the value.
using FieldValidator = int(WINAPI*)(HWND control, UINT id, void* value);

}  // namespace quillet
