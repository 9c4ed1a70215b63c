// Creating the probe control: how its class is named, its licence, its saved
// state, design mode and the ambient properties it reads.
#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>

#include <string>

#include "tests/windows/tarvik_container_tests/probe_fixture.h"

namespace container_tests {
namespace {

TEST_F(ProbeTest, TheClassIsFoundByProgIdOrByClassIdText) {
  for (const char* text : {kProbeControlProgId, kProbeControlClsidText}) {
    HostWindow host;
    ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, FALSE, text), 1) << text;
    const ProbeStats stats = Stats();
    EXPECT_EQ(stats.liveControls, 1) << text;
    EXPECT_EQ(stats.lastLicencePath, kLicencePlainCreate) << text;
    EXPECT_EQ(stats.initNews, 1) << text;
    // Active in place, in the host window, over the host window's whole outer area.
    ASSERT_NE(stats.window, nullptr) << text;
    EXPECT_EQ(GetParent(stats.window), host.Handle()) << text;
    EXPECT_EQ(stats.lastPosRect.right - stats.lastPosRect.left, 200) << text;
    EXPECT_EQ(GetWindowLongPtrA(stats.window, GWLP_ID), handle_) << text;
    EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1) << text;
    EXPECT_EQ(Stats().liveControls, 0) << text;
    probe().Reset();
  }
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ProbeTest, ALicenceKeyGoesToTheClassFactory) {
  struct Case {
    const char* key;
    int result;
    LONG path;
  };
  const Case cases[] = {{"quorvan-licence", 1, kLicenceKeyAccepted},
                        {"wrong-licence", 0, kLicenceKeyRefused},
                        {"", 1, kLicencePlainCreate}};
  for (const Case& c : cases) {
    HostWindow host;
    EXPECT_EQ(Create(host, WS_CHILD | WS_VISIBLE, FALSE, kProbeControlProgId, c.key), c.result)
        << c.key;
    EXPECT_EQ(Stats().lastLicencePath, c.path) << c.key;
    if (c.result == 0) {
      // A refused creation leaves the host window as it was and tells nothing.
      EXPECT_EQ(ProcedureOf(host.Handle()), host.OriginalProcedure()) << c.key;
      EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr) << c.key;
    }
    EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
  }
  EXPECT_EQ(Boxes(), "");
}

// A compound file holding a probe whose colour and value were changed.
std::string SaveProbeState(LONG colour, LONG value) {
  char directory[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, directory);
  const std::string path = std::string(directory) + "qv_container_probe.stg";
  IPersistStorage* persist = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ProbeControl, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IPersistStorage, reinterpret_cast<void**>(&persist)))) {
    return "";
  }
  IStorage* storage = nullptr;
  const std::wstring wide(path.begin(), path.end());
  bool saved = false;
  if (SUCCEEDED(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                 0, &storage))) {
    persist->InitNew(storage);
    IDispatch* dispatch = nullptr;
    persist->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    for (auto [dispid, number] :
         {std::pair{kDispidColor, colour}, std::pair{kDispidValue, value}}) {
      VARIANT argument;
      VariantInit(&argument);
      V_VT(&argument) = VT_I4;
      V_I4(&argument) = number;
      DISPID named = DISPID_PROPERTYPUT;
      DISPPARAMS params = {&argument, &named, 1, 1};
      dispatch->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                       nullptr);
    }
    dispatch->Release();
    saved = SUCCEEDED(persist->Save(storage, TRUE));
    persist->SaveCompleted(nullptr);
    storage->Release();
  }
  persist->Release();
  return saved ? path : "";
}

TEST_F(ProbeTest, SavedStateIsRestoredAndAMissingFileMeansDefaults) {
  const std::string path = SaveProbeState(RGB(10, 20, 30), 4242);
  ASSERT_NE(path, "");
  probe().Reset();
  HostWindow host;
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, FALSE, kProbeControlProgId, nullptr, path.c_str()),
            1);
  EXPECT_EQ(Stats().loads, 1);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, kDispidValue), 4242);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, kDispidColor),
            static_cast<int>(RGB(10, 20, 30)));
  // The file is not kept open by the control.
  EXPECT_TRUE(DeleteFileA(path.c_str()));
  EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);

  probe().Reset();
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, FALSE, kProbeControlProgId, nullptr, path.c_str()),
            1);
  EXPECT_EQ(Stats().loads, 0);
  EXPECT_EQ(Stats().initNews, 1);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, kDispidColor),
            static_cast<int>(kProbeDefaultColour));
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ProbeTest, TheCaptionAndPropertiesGoThroughTheClientHandle) {
  HostWindow host;
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, FALSE, kProbeControlProgId, nullptr, nullptr,
                   "First caption"),
            1);
  EXPECT_EQ(TakeHostText(calls_.getAutoClientStringProperty(handle_, kDispidCaption)),
            "First caption");
  EXPECT_EQ(calls_.setAutoClientIntegerProperty(handle_, kDispidValue, 77), 1);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, kDispidValue), 77);
  EXPECT_EQ(calls_.setAutoClientStringProperty(handle_, kDispidText, "typed"), 1);
  EXPECT_EQ(TakeHostText(calls_.getAutoClientStringProperty(handle_, kDispidText)), "typed");
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ProbeTest, AmbientPropertiesOfARunningAndADesignModeControl) {
  for (BOOL design : {FALSE, TRUE}) {
    HostWindow host;
    ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, design), 1);
    Call(kDispidAskAmbients);
    const ProbeStats stats = Stats();
    EXPECT_EQ(stats.ambientDispatchResult, S_OK);
    const ProbeAmbient* a = stats.ambients;
    // USERMODE, AUTOCLIP, SUPPORTSMNEMONICS, BACKCOLOR, FONT, LOCALEID, DISPLAYNAME,
    // MESSAGEREFLECT, SHOWGRABHANDLES, SHOWHATCHING.
    EXPECT_EQ(a[0].type, VT_BOOL);
    EXPECT_EQ(a[0].integer, design ? 0 : -1) << design;
    EXPECT_EQ(a[1].integer, -1);
    EXPECT_EQ(a[2].integer, -1);
    EXPECT_EQ(a[3].result, S_OK);
    EXPECT_EQ(static_cast<COLORREF>(a[3].integer), GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(a[4].isObject);
    EXPECT_EQ(static_cast<LCID>(a[5].integer), GetUserDefaultLCID());
    EXPECT_EQ(std::wstring(a[6].text), L"OCX Client " + std::to_wstring(handle_));
    for (int i = 7; i < 10; ++i) {
      EXPECT_EQ(a[i].type, VT_BOOL) << i;
      EXPECT_EQ(a[i].integer, 0) << i;
    }
    EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
    probe().Reset();
  }
}

TEST_F(ProbeTest, DesignModeFreezesEventsAndPaintsTheHostWithTheControlsPicture) {
  HostWindow host;
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE | WS_TABSTOP, TRUE), 1);
  ProbeStats stats = Stats();
  EXPECT_EQ(stats.freezeCount, 1);
  // Deactivated in place: the control has no window, the host is the tab stop.
  EXPECT_EQ(stats.window, nullptr);
  EXPECT_EQ(stats.deactivations, 1);
  EXPECT_EQ(GetWindow(host.Handle(), GW_CHILD), nullptr);
  EXPECT_NE(GetWindowLongPtrA(host.Handle(), GWL_STYLE) & WS_TABSTOP, 0);

  Call(kDispidFireAll);
  Call(kDispidFireNoArgs);
  EXPECT_GT(Stats().eventsSuppressed, 0);
  EXPECT_TRUE(host.EventsOnly().empty());

  // The host window's painting draws the control's picture over its client area.
  InvalidateRect(host.Handle(), nullptr, TRUE);
  UpdateWindow(host.Handle());
  EXPECT_GT(Stats().draws, 0);
  HDC dc = GetDC(host.Handle());
  const COLORREF middle = GetPixel(dc, 100, 50);
  const COLORREF corner = GetPixel(dc, 0, 0);
  ReleaseDC(host.Handle(), dc);
  EXPECT_EQ(middle, kProbeDefaultColour);
  EXPECT_EQ(corner, kProbeBorderColour);

  // The control stays with the client, as the source of its picture, until the
  // client's next control.
  EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
  EXPECT_EQ(ProcedureOf(host.Handle()), host.OriginalProcedure());
  EXPECT_EQ(Stats().liveControls, 1);
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(Stats().liveControls, 1);
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ProbeTest, ARunningControlKeepsItsTabStop) {
  HostWindow host;
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE | WS_TABSTOP, FALSE), 1);
  const ProbeStats stats = Stats();
  ASSERT_NE(stats.window, nullptr);
  EXPECT_NE(GetWindowLongPtrA(stats.window, GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_EQ(GetWindowLongPtrA(host.Handle(), GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_EQ(stats.freezeCount, 0);
}

}  // namespace
}  // namespace container_tests
