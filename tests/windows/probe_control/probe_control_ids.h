// The probe control: an in-process ActiveX control of our own that the container
// tests host. This header names its classes, its dispatch members and events, the
// values its events carry, and the test hook through which a test reads what the
// control saw. ProbeControl.dll sits beside the test programs.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <olectl.h>

// The control class with property pages, and its twin without them.
// {DD045B77-0741-4119-A961-65C86379D1F7}
inline constexpr CLSID CLSID_ProbeControl = {
    0xdd045b77, 0x0741, 0x4119, {0xa9, 0x61, 0x65, 0xc8, 0x63, 0x79, 0xd1, 0xf7}};
// {C70591F3-41B3-4250-848F-2A7A2570E3A3}
inline constexpr CLSID CLSID_ProbeControlNoPages = {
    0xc70591f3, 0x41b3, 0x4250, {0x84, 0x8f, 0x2a, 0x7a, 0x25, 0x70, 0xe3, 0xa3}};
// The property page the first class names.
// {ACA40C18-256E-4E0C-A3F0-16975282EE86}
inline constexpr CLSID CLSID_ProbePropertyPage = {
    0xaca40c18, 0x256e, 0x4e0c, {0xa3, 0xf0, 0x16, 0x97, 0x52, 0x82, 0xee, 0x86}};
// The control's dispatch interface (properties and methods).
// {AB2B036B-8D4D-4BF5-9D4D-6B91EC9E03C3}
inline constexpr IID DIID_DProbeControl = {
    0xab2b036b, 0x8d4d, 0x4bf5, {0x9d, 0x4d, 0x6b, 0x91, 0xec, 0x9e, 0x03, 0xc3}};
// The control's default source (event) dispinterface.
// {424E72EC-2633-4194-948C-392994759B92}
inline constexpr IID DIID_DProbeControlEvents = {
    0x424e72ec, 0x2633, 0x4194, {0x94, 0x8c, 0x39, 0x29, 0x94, 0x75, 0x9b, 0x92}};
// The type library that each control builds in memory when first asked for type
// information (it is not registered).
// {E4EF780E-6F14-4B2E-AA3A-625111F00943}
inline constexpr GUID LIBID_ProbeControl = {
    0xe4ef780e, 0x6f14, 0x4b2e, {0xaa, 0x3a, 0x62, 0x51, 0x11, 0xf0, 0x09, 0x43}};

inline constexpr char kProbeControlProgId[] = "QuorvanTest.ProbeControl";
inline constexpr char kProbeControlNoPagesProgId[] = "QuorvanTest.ProbeControlNoPages";
inline constexpr char kProbeControlClsidText[] = "{DD045B77-0741-4119-A961-65C86379D1F7}";
inline constexpr char kProbeControlNoPagesClsidText[] = "{C70591F3-41B3-4250-848F-2A7A2570E3A3}";
// IOleObject::GetUserType(USERCLASSTYPE_FULL).
inline constexpr wchar_t kProbeControlUserType[] = L"Quorvan Probe Control";
// IClassFactory2: the key that CreateInstanceLic accepts and RequestLicKey gives.
inline constexpr wchar_t kProbeLicenceKey[] = L"quorvan-licence";
// ToolboxBitmap32 names "<dll path>, 1": a 16 x 15 bitmap resource.
inline constexpr int kProbeToolboxBitmapId = 1;
inline constexpr int kProbeToolboxBitmapWidth = 16;
inline constexpr int kProbeToolboxBitmapHeight = 15;

// IViewObject::Draw and WM_PAINT fill the bounds with the Color property (this at
// first) inside a 2-pixel border of kProbeBorderColour.
inline constexpr COLORREF kProbeDefaultColour = RGB(0, 128, 255);
inline constexpr COLORREF kProbeBorderColour = RGB(0, 0, 128);
inline constexpr int kProbeBorderWidth = 2;
// IOleObject::GetExtent before any SetExtent, in HIMETRIC.
inline constexpr LONG kProbeDefaultExtentX = 4000;
inline constexpr LONG kProbeDefaultExtentY = 2000;
inline constexpr DWORD kProbeMiscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST |
                                          OLEMISC_INSIDEOUT | OLEMISC_RECOMPOSEONRESIZE;
// IOleControl::GetControlInfo: one mnemonic, Alt+P.
inline constexpr WORD kProbeMnemonicKey = 'P';
inline constexpr BYTE kProbeMnemonicFlags = FALT | FVIRTKEY;

// Members of DIID_DProbeControl. Standard DISPIDs where a container has a use for
// them (caption and text, enabling, colour, picture, default value). Caption,
// Text, Value, Enabled and Color are saved by IPersistStorage (stream "Contents")
// and IPersistStreamInit; the picture is not.
enum ProbeDispid : DISPID {
  kDispidValue = DISPID_VALUE,      // long, the default property
  kDispidCaption = DISPID_CAPTION,  // BSTR
  kDispidText = DISPID_TEXT,        // BSTR
  kDispidEnabled = DISPID_ENABLED,  // VARIANT_BOOL
  kDispidColor = DISPID_BACKCOLOR,  // long (COLORREF): the fill colour
  kDispidPicture = DISPID_PICTURE,  // IDispatch (an IPictureDisp or nothing)
  kDispidFireAll = 100,             // method: events 1 and 2, then records write-backs
  kDispidFireNoArgs = 101,          // method: event 3
  kDispidFireTwo = 102,             // method (long, BSTR): event 5 with those values
  kDispidAskAmbients = 103,         // method: reads the ambients into the hook's record
  kDispidRequestRect = 104,         // method (left, top, right, bottom): OnPosRectChange
  kDispidRequestFocus = 105,        // method (bool): IOleControlSite::OnFocus; returns HRESULT
  kDispidTransform = 106,           // method (x, y, flags): TransformCoords; returns HRESULT
  kDispidFireDuringCreation = 107,  // bool property: fire event 4 from SetClientSite and DoVerb
  kDispidPreferredWidth = 108,      // long property, pixels; 0: no preference
  kDispidPreferredHeight = 109,     // long property, pixels
  kDispidFreezeCount = 110,         // long, read-only: FreezeEvents nesting
  kDispidByRefText = 111,           // BSTR, read-only: what the host left in event 2's BSTR
  kDispidByRefLong = 112,           // long, read-only: what the host left in event 2's long
  kDispidDrawFails = 113,           // bool property: IViewObject::Draw answers E_FAIL
  kDispidFireRepeated = 114,        // method (long count): event 6 count times, 0 .. count - 1
};

// Events of DIID_DProbeControlEvents. Positions are the declared order (the first
// declared parameter is rgvarg[cArgs - 1]).
enum ProbeEventDispid : DISPID {
  // (VARIANT_BOOL, short, long, float, double, CY, DATE, BSTR, IDispatch*), by value,
  // with the kProbeValue* values below.
  kEventValueArguments = 1,
  // (short*, VARIANT_BOOL*, long*, double*, BSTR*, CY*, DATE*), each VT_BYREF, holding
  // the kProbeRef* values; what the host writes into them is recorded.
  kEventReferenceArguments = 2,
  kEventNoArguments = 3,  // no parameters
  // (long stage): 1 from SetClientSite, 2 from the first DoVerb, when
  // FireDuringCreation is set. A container that connects its sink after
  // SetClientSite only sees stage 2.
  kEventCreating = 4,
  kEventTwoArguments = 5,  // (long first, BSTR second)
  // (long index): fired by FireRepeated in one loop, with nothing else done
  // between two firings, so that a caller can measure what a sink costs.
  kEventCounted = 6
};

inline constexpr VARIANT_BOOL kProbeValueBool = VARIANT_TRUE;
inline constexpr SHORT kProbeValueShort = -12;
inline constexpr LONG kProbeValueLong = 123456;
inline constexpr float kProbeValueFloat = 2.5f;
inline constexpr double kProbeValueDouble = 3.5;
inline constexpr LONGLONG kProbeValueCurrency = 123456;  // CY.int64: 12.3456
inline constexpr DATE kProbeValueDate = 45000.5;         // 15 March 2023, noon
inline constexpr wchar_t kProbeValueText[] = L"probe text";
// The IDispatch argument of event 1 is a member-less object (no default value).

inline constexpr SHORT kProbeRefShort = 7;
inline constexpr VARIANT_BOOL kProbeRefBool = VARIANT_FALSE;
inline constexpr LONG kProbeRefLong = 70000;
inline constexpr double kProbeRefDouble = 7.25;
inline constexpr wchar_t kProbeRefText[] = L"before";
inline constexpr LONGLONG kProbeRefCurrency = 70000;  // 7.0000
inline constexpr DATE kProbeRefDate = 40000.0;

// Ambient properties that AskAmbients reads, in this order in ProbeStats::ambients.
inline constexpr DISPID kProbeAmbientDispids[] = {
    DISPID_AMBIENT_USERMODE,    DISPID_AMBIENT_AUTOCLIP,       DISPID_AMBIENT_SUPPORTSMNEMONICS,
    DISPID_AMBIENT_BACKCOLOR,   DISPID_AMBIENT_FONT,           DISPID_AMBIENT_LOCALEID,
    DISPID_AMBIENT_DISPLAYNAME, DISPID_AMBIENT_MESSAGEREFLECT, DISPID_AMBIENT_SHOWGRABHANDLES,
    DISPID_AMBIENT_SHOWHATCHING};
inline constexpr int kProbeAmbientCount = 10;

// How the last control was made by the class factory.
enum ProbeLicencePath : LONG {
  kLicenceNone = 0,
  kLicencePlainCreate = 1,  // IClassFactory::CreateInstance (machine licensed)
  kLicenceKeyAccepted = 2,  // CreateInstanceLic with the right key
  kLicenceKeyRefused = 3    // CreateInstanceLic with another key: CLASS_E_NOTLICENSED
};

#pragma pack(push, 8)
struct ProbeAmbient {
  HRESULT result;  // of the site's IDispatch::Invoke (DISPATCH_PROPERTYGET)
  VARTYPE type;    // of the answer
  LONG integer;    // VT_BOOL, VT_I2, VT_I4, VT_UI4, VT_UI1 (sign-extended)
  BOOL isObject;   // VT_DISPATCH or VT_UNKNOWN and not null
  WCHAR text[64];  // VT_BSTR, cut
};

// What the probe saw. Fields marked "last control" describe the control most
// recently asked to do that thing.
struct ProbeStats {
  DWORD size;  // the caller sets sizeof(ProbeStats)
  // Objects of the DLL alive now: controls, class factories, property pages,
  // connection points' enumerators and event argument objects.
  LONG liveObjects;
  LONG liveControls;
  // AddRef calls minus Release calls, over every object of the DLL since load.
  LONG referenceBalance;
  LONG serverLocks;      // IClassFactory::LockServer balance
  LONG lastLicencePath;  // ProbeLicencePath
  LONG plainCreations, keyedCreations, refusedCreations;
  // IOleControl (last control).
  LONG freezeCount;     // nesting now
  LONG freezeCalls;     // FreezeEvents calls, both directions
  LONG ambientChanges;  // OnAmbientPropertyChange calls
  DISPID lastAmbientChange;
  LONG mnemonics;  // OnMnemonic calls
  // Events (all controls).
  LONG eventsFired;          // Invoke calls made on sinks
  LONG eventsSuppressed;     // events not fired because events were frozen
  LONG creationEventsFired;  // event 4 fired (sinks present and not frozen)
  HRESULT lastEventResult;   // of the last sink Invoke
  // Write-backs of event 2 (last FireAll).
  LONG writeBacksRecorded;  // FireAll calls that completed event 2
  SHORT byRefShort;
  VARIANT_BOOL byRefBool;
  LONG byRefLong;
  double byRefDouble;
  CY byRefCurrency;
  DATE byRefDate;
  WCHAR byRefText[64];
  // AskAmbients (last control).
  LONG ambientQueries;
  HRESULT ambientDispatchResult;  // of QueryInterface(IDispatch) on the client site
  ProbeAmbient ambients[kProbeAmbientCount];
  // Site calls.
  HRESULT focusResult;  // last IOleControlSite::OnFocus
  LONG focusCalls;
  HRESULT posRectResult;  // last IOleInPlaceSite::OnPosRectChange
  RECT posRectAsked;
  LONG posRectCalls;
  HRESULT transformResult;   // last IOleControlSite::TransformCoords
  POINTL transformHimetric;  // both after the call
  POINTF transformContainer;
  // In-place state (last control).
  LONG activations;  // in-place activations that made a window
  LONG uiActivations;
  LONG deactivations;  // InPlaceDeactivate with a window
  LONG setObjectRectsCalls;
  RECT lastPosRect;
  RECT lastClipRect;
  HWND window;       // the control's window; null when inactive
  LONG keyMessages;  // WM_KEYDOWN, WM_CHAR, ... reaching the window
  UINT lastKeyMessage;
  WPARAM lastKeyWParam;
  LONG paints;                  // WM_PAINT handled
  LONG draws;                   // IViewObject::Draw calls
  LONG saves, loads, initNews;  // IPersistStorage / IPersistStreamInit
};
#pragma pack(pop)

// The test hook, exported undecorated (cdecl) from ProbeControl.dll under these
// names without the "Fn": ProbeControlStats, ProbeControlResetStats,
// ProbeControlSetFireDuringCreation, ProbeControlSetPreferredSize.
extern "C" {
// Fills *stats (stats->size must be set); FALSE when the size does not match.
typedef BOOL(__cdecl* ProbeControlStatsFn)(ProbeStats* stats);
// Zeroes the counters that are not live state (live objects, balance and locks stay).
typedef void(__cdecl* ProbeControlResetStatsFn)(void);
// Controls made from now on fire event 4 from SetClientSite and DoVerb.
typedef void(__cdecl* ProbeControlSetFireDuringCreationFn)(int enable);
// Controls made from now on ask for cx x cy pixels through OnPosRectChange when
// activated in place (0, 0: no preference); with fixed they also keep their window
// at that size whatever SetObjectRects asks.
typedef void(__cdecl* ProbeControlSetPreferredSizeFn)(int cx, int cy, int fixed);
}
