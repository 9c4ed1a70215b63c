// The system's own web browser control hosted through the OCX exports. The test
// prefix has no HTML engine: the control is still created, activated in place,
// driven through its dispatch and fires its navigation events. A navigation
// stops before anything is loaded, so what tells a cancelled one from another
// is the address the browser takes and the events that follow BeforeNavigate2.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/tarvik_exports.h"
#include "tarvik/frame/host_variant.h"
#include "tests/windows/tarvik_container_tests/container_fixture.h"

namespace container_tests {
namespace {

constexpr char kBrowser[] = "Shell.Explorer.2";
// DWebBrowserEvents2::BeforeNavigate2.
constexpr DISPID kBeforeNavigate2 = 250;
// Its Cancel parameter, the last of seven declared.
constexpr int kCancelPosition = 6;
// DWebBrowserEvents2 members that follow a navigation which goes ahead.
constexpr DISPID kDownloadBegin = 106;
constexpr DISPID kNavigateComplete2 = 252;
constexpr DISPID kNavigateError = 271;

class BrowserTest : public ContainerTest {
 protected:
  int Create(HostWindow& host, const char* classText = kBrowser) {
    return ocx_.createOCXControl(handle_, host.Handle(), classText, "", WS_CHILD | WS_VISIBLE,
                                 nullptr, nullptr);
  }

  // Navigate(url) through the client's exports.
  int Navigate(const char* url) {
    calls_.declareAutoClientInvokeParams(handle_, 1);
    calls_.defineAutoClientStringParam(handle_, url);
    return calls_.invokeAutoClientVoidFunction(handle_, DispidOf(L"Navigate"));
  }

  std::string LocationUrl() {
    return TakeHostText(calls_.getAutoClientStringProperty(handle_, DispidOf(L"LocationURL")));
  }

  // The browser's own window, which it places in the host window.
  static HWND Embedding(const HostWindow& host) { return GetWindow(host.Handle(), GW_CHILD); }

  // The focus reports the host received, as their lParam (1 gained, 0 lost).
  static std::vector<LPARAM> FocusReports(const HostWindow& host) {
    std::vector<LPARAM> reports;
    for (const auto& message : host.messages) {
      if (message.message != host.OcxNotify()) continue;
      EXPECT_EQ(message.wParam, 1u);
      reports.push_back(message.lParam);
    }
    return reports;
  }

  quorvan::host::TarvikEventExports events_{tarvik_};
};

TEST_F(BrowserTest, CreationSubclassesTheHostAndAttachesTheControl) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  Pump();
  EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(host.Handle(), GWLP_WNDPROC)),
            host.OriginalProcedure());
  const LONG_PTR style = GetWindowLongPtrA(host.Handle(), GWL_STYLE);
  EXPECT_EQ(style & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS), WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  // The control is active in place: its window is a child of the host window.
  EXPECT_NE(GetWindow(host.Handle(), GW_CHILD), nullptr);
  EXPECT_NE(api_.getAutoClientDispatch(handle_), nullptr);
  EXPECT_EQ(Boxes(), "");

  EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(host.Handle(), GWLP_WNDPROC)),
            host.OriginalProcedure());
  EXPECT_TRUE(IsWindow(host.Handle()));
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  // Destroying again, with no control, is still a success on an OCX client.
  EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
}

TEST_F(BrowserTest, PropertiesAndMethodsWorkThroughTheClientHandle) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  const DISPID silent = DispidOf(L"Silent");
  const DISPID type = DispidOf(L"Type");
  ASSERT_NE(silent, DISPID_UNKNOWN);
  ASSERT_NE(type, DISPID_UNKNOWN);
  EXPECT_EQ(calls_.setAutoClientBoolProperty(handle_, silent, 1), 1);
  EXPECT_NE(calls_.getAutoClientBoolProperty(handle_, silent), 0);
  EXPECT_EQ(calls_.setAutoClientBoolProperty(handle_, silent, 0), 1);
  EXPECT_EQ(calls_.getAutoClientBoolProperty(handle_, silent), 0);
  // A method with an argument: the navigation is refused by no one.
  const DISPID navigate = DispidOf(L"Navigate");
  ASSERT_NE(navigate, DISPID_UNKNOWN);
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, "about:blank"), 1);
  EXPECT_EQ(calls_.invokeAutoClientVoidFunction(handle_, navigate), 1);
  Pump();
  EXPECT_EQ(Boxes(), "");
}

TEST_F(BrowserTest, NavigationEventsReachTheHostWithTheControlsArguments) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  UINT seenArguments = 0;
  VARTYPE cancelType = VT_EMPTY;
  host.onMessage = [&](const HostMessage& message) {
    if (message.message != host.OcxEvent() || message.wParam != kBeforeNavigate2) return;
    auto* params = reinterpret_cast<DISPPARAMS*>(message.lParam);
    seenArguments = params->cArgs;
    // Cancel is the last declared parameter: the first in the block.
    if (params->cArgs == 7) cancelType = V_VT(&params->rgvarg[0]);
  };
  const DISPID navigate = DispidOf(L"Navigate");
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, "about:blank"), 1);
  EXPECT_EQ(calls_.invokeAutoClientVoidFunction(handle_, navigate), 1);
  Pump();
  EXPECT_EQ(seenArguments, 7u);
  EXPECT_EQ(cancelType, VT_BYREF | VT_BOOL);
  EXPECT_EQ(Boxes(), "");
}

// One control, one navigation after another: the first one the browser makes
// inside the Navigate call, later ones from its own queue, so both ways reach
// the host's Cancel. A cancelled navigation leaves the address the browser had
// (none at first) and nothing follows its BeforeNavigate2; one that goes ahead
// takes the new address and starts its download, which here ends in an error
// for want of an HTML engine, and elsewhere completes.
TEST_F(BrowserTest, CancelSetInBeforeNavigate2StopsTheNavigation) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  Pump();
  struct Step {
    const char* url;
    bool cancel;
    const char* addressAfter;
  } steps[] = {
      {"about:blank", true, ""},
      {"about:blank", false, "about:blank"},
      {"about:quorvan", true, "about:blank"},
      {"about:quorvan", false, "about:quorvan"},
  };
  bool cancel = false;
  std::vector<DISPID> events;
  VARTYPE cancelType = VT_EMPTY;
  VARIANT_BOOL cancelBefore = VARIANT_TRUE, cancelAfter = VARIANT_FALSE;
  host.onMessage = [&](const HostMessage& message) {
    if (message.message != host.OcxEvent()) return;
    events.push_back(static_cast<DISPID>(message.wParam));
    if (message.wParam != kBeforeNavigate2 || message.argumentCount != 7) return;
    auto* params = reinterpret_cast<DISPPARAMS*>(message.lParam);
    VARIANTARG& flag = params->rgvarg[params->cArgs - 1 - kCancelPosition];
    cancelType = V_VT(&flag);
    if (cancelType != (VT_BYREF | VT_BOOL)) return;
    cancelBefore = *V_BOOLREF(&flag);
    if (cancel) {
      tarvik::HostVariant yes{};
      yes.type = VT_BOOL;
      yes.boolValue = -1;
      EXPECT_EQ(events_.alterOCXEventParam(params, kCancelPosition, yes), 1);
    }
    // What the browser reads once the host returns.
    cancelAfter = *V_BOOLREF(&flag);
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << step.url << (step.cancel ? " cancelled" : " let go"));
    cancel = step.cancel;
    events.clear();
    cancelType = VT_EMPTY;
    ASSERT_EQ(Navigate(step.url), 1);
    Pump();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), kBeforeNavigate2);
    EXPECT_EQ(cancelType, VT_BYREF | VT_BOOL);
    EXPECT_EQ(cancelBefore, VARIANT_FALSE);
    EXPECT_EQ(cancelAfter, step.cancel ? VARIANT_TRUE : VARIANT_FALSE);
    EXPECT_EQ(LocationUrl(), step.addressAfter);
    auto seen = [&events](DISPID dispid) {
      return std::find(events.begin(), events.end(), dispid) != events.end();
    };
    if (step.cancel) {
      EXPECT_EQ(events, std::vector<DISPID>{kBeforeNavigate2});
    } else {
      EXPECT_TRUE(seen(kDownloadBegin));
      EXPECT_TRUE(seen(kNavigateComplete2) || seen(kNavigateError));
    }
  }
  EXPECT_EQ(Boxes(), "");
}

// The browser reports the focus of its own window to the site; the host hears
// of each change once. (Giving the host window the focus does not pass it on
// here: the browser, active in place already, ignores the request to activate
// its user interface.)
TEST_F(BrowserTest, TheBrowsersFocusChangesReachTheHost) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  const HWND embedding = Embedding(host);
  ASSERT_NE(embedding, nullptr);
  SetForegroundWindow(host.Frame());
  SetFocus(host.Frame());
  Pump();
  host.messages.clear();
  SetFocus(embedding);
  Pump();
  EXPECT_EQ(GetFocus(), embedding);
  EXPECT_EQ(FocusReports(host), std::vector<LPARAM>{1});
  SetFocus(host.Frame());
  Pump();
  EXPECT_EQ(FocusReports(host), (std::vector<LPARAM>{1, 0}));
  EXPECT_EQ(Boxes(), "");
}

// The browser's Width and Height are requests to its site for a new rectangle:
// the host window takes the size, where it was, and the browser's own window
// and properties follow.
TEST_F(BrowserTest, SizeSetThroughTheDispatchResizesTheHostWindow) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  const HWND embedding = Embedding(host);
  ASSERT_NE(embedding, nullptr);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, DispidOf(L"Width")), 200);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, DispidOf(L"Height")), 100);
  struct Request {
    const wchar_t* property;
    int value;
    SIZE after;
  } requests[] = {{L"Width", 150, {150, 100}}, {L"Height", 70, {150, 70}}};
  for (const Request& request : requests) {
    SCOPED_TRACE(testing::Message() << request.property << " " << request.value);
    const DISPID dispid = DispidOf(request.property);
    ASSERT_NE(dispid, DISPID_UNKNOWN);
    EXPECT_EQ(calls_.setAutoClientIntegerProperty(handle_, dispid, request.value), 1);
    EXPECT_EQ(host.Outer().left, 10);
    EXPECT_EQ(host.Outer().top, 20);
    EXPECT_EQ(host.OuterSize().cx, request.after.cx);
    EXPECT_EQ(host.OuterSize().cy, request.after.cy);
    RECT placed = {};
    GetWindowRect(embedding, &placed);
    EXPECT_EQ(placed.right - placed.left, request.after.cx);
    EXPECT_EQ(placed.bottom - placed.top, request.after.cy);
    EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, dispid), request.value);
  }
  EXPECT_EQ(Boxes(), "");
}

TEST_F(BrowserTest, SecondCreationIsRefusedAndTheFirstControlGoesOn) {
  HostWindow host;
  HostWindow other;
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(Create(other), 0);
  EXPECT_EQ(Boxes(), Caption() + ": Allready attached to an IDispatch interface\n");
  // The other window was not touched.
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(other.Handle(), GWLP_WNDPROC)),
            other.OriginalProcedure());
  EXPECT_EQ(GetWindow(other.Handle(), GW_CHILD), nullptr);
  const DISPID silent = DispidOf(L"Silent");
  EXPECT_EQ(calls_.setAutoClientBoolProperty(handle_, silent, 1), 1);
  EXPECT_NE(calls_.getAutoClientBoolProperty(handle_, silent), 0);
}

TEST_F(BrowserTest, AClientCanCreateAgainAfterDestroyingItsControl) {
  HostWindow host;
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(Create(host), 1) << round;
    EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
  }
  EXPECT_EQ(Boxes(), "");
}

TEST_F(BrowserTest, UnknownClassesFailSilentlyAndLeaveTheHostWindowAsItWas) {
  HostWindow host;
  for (const char* text : {"QuorvanTest.NoSuchControl", "{00000000-1111-2222-3333-444444444444}",
                           "{not a class id}", ""}) {
    EXPECT_EQ(Create(host, text), 0) << text;
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(host.Handle(), GWLP_WNDPROC)),
              host.OriginalProcedure())
        << text;
  }
  EXPECT_EQ(Boxes(), "");
  // The failures left the client free to create.
  EXPECT_EQ(Create(host), 1);
}

TEST_F(BrowserTest, ExportsRefuseHandlesThatAreNotOcxClients) {
  HostWindow host;
  const int automation = api_.createAutomationClient();
  ASSERT_GT(automation, 0);
  for (int handle : {automation, 0, -1, 999}) {
    EXPECT_EQ(
        ocx_.createOCXControl(handle, host.Handle(), kBrowser, "", WS_VISIBLE, nullptr, nullptr), 0)
        << handle;
    EXPECT_EQ(ocx_.createOCXControlEx(handle, host.Handle(), kBrowser, "", WS_VISIBLE, nullptr,
                                      nullptr, TRUE),
              0)
        << handle;
    EXPECT_EQ(ocx_.destroyOCXControl(handle), 0) << handle;
  }
  EXPECT_EQ(Boxes(), "");
  // An OCX client gets no object the way an Automation client does.
  EXPECT_EQ(api_.createAutoClientDispatch(handle_, kBrowser), 0);
  EXPECT_EQ(Boxes(), "");
  // The generic removal takes OCX clients, with or without a control.
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(api_.destroyAutomationClient(handle_), 0);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(host.Handle(), GWLP_WNDPROC)),
            host.OriginalProcedure());
  handle_ = 0;
}

TEST_F(BrowserTest, ClientsAreNotMadeBeforeInitialisation) {
  api_.qvOleUninit();
  EXPECT_EQ(ocx_.createOCXClient(), 0);
  Init();
  // Handles carry on from 1 after a new initialisation.
  EXPECT_EQ(ocx_.createOCXClient(), 1);
  handle_ = 1;
}

}  // namespace
}  // namespace container_tests
