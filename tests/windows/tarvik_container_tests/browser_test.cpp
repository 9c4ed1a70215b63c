// The system's own web browser control hosted through the OCX exports. The test
// prefix has no HTML engine: the control is still created, activated in place,
// driven through its dispatch and fires its navigation events.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/windows/tarvik_container_tests/container_fixture.h"

namespace container_tests {
namespace {

constexpr char kBrowser[] = "Shell.Explorer.2";
// DWebBrowserEvents2::BeforeNavigate2.
constexpr DISPID kBeforeNavigate2 = 250;

class BrowserTest : public ContainerTest {
 protected:
  int Create(HostWindow& host, const char* classText = kBrowser) {
    return ocx_.createOCXControl(handle_, host.Handle(), classText, "", WS_CHILD | WS_VISIBLE,
                                 nullptr, nullptr);
  }
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
