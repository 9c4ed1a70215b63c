// The site as a control with nothing but IOleObject sees it: the order of the
// calls it gets, the interfaces of its site, and what design mode shows when it
// cannot be drawn.
#include <gtest/gtest.h>

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/windows/tarvik_container_tests/bare_control.h"
#include "tests/windows/tarvik_container_tests/container_fixture.h"

namespace container_tests {
namespace {

class BareTest : public ContainerTest {
 protected:
  void SetUp() override {
    ContainerTest::SetUp();
    registration_ = std::make_unique<BareClassRegistration>();
    ASSERT_TRUE(registration_->Registered());
    Bare().calls.clear();
    Bare().withView = false;
  }
  void TearDown() override {
    ContainerTest::TearDown();
    EXPECT_EQ(Bare().live, 0);
    EXPECT_EQ(Bare().site, nullptr);
    registration_.reset();
  }

  int Create(HostWindow& host, BOOL design = FALSE) {
    return ocx_.createOCXControlEx(handle_, host.Handle(), kBareControlClsidText, "",
                                   WS_CHILD | WS_VISIBLE, nullptr, nullptr, design);
  }

  template <class Interface>
  Interface* SiteAs(REFIID iid) {
    Interface* answer = nullptr;
    if (Bare().site) Bare().site->QueryInterface(iid, reinterpret_cast<void**>(&answer));
    return answer;
  }

  std::unique_ptr<BareClassRegistration> registration_;
};

TEST_F(BareTest, TheControlIsSitedActivatedAndClosedInOrder) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(Bare().calls, (std::vector<std::string>{"SetClientSite", "DoVerb -5", "DoVerb -1"}));
  // Without IDispatch the client stays unattached, and so may create again: the
  // control it had goes first.
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  Bare().calls.clear();
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(Bare().calls, (std::vector<std::string>{"Close", "SetClientSite(null)", "SetClientSite",
                                                    "DoVerb -5", "DoVerb -1"}));
  EXPECT_EQ(Bare().live, 1);
  Bare().calls.clear();
  EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
  EXPECT_EQ(Bare().calls, (std::vector<std::string>{"Close", "SetClientSite(null)"}));
  EXPECT_EQ(Bare().live, 0);
  EXPECT_EQ(Boxes(), "");
}

TEST_F(BareTest, TheInPlaceSiteAnswersAsItsTableSays) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  IOleInPlaceSite* site = SiteAs<IOleInPlaceSite>(IID_IOleInPlaceSite);
  ASSERT_NE(site, nullptr);
  HWND window = nullptr;
  EXPECT_EQ(site->GetWindow(&window), S_OK);
  EXPECT_EQ(window, host.Handle());
  EXPECT_EQ(site->ContextSensitiveHelp(TRUE), E_NOTIMPL);
  EXPECT_EQ(site->CanInPlaceActivate(), S_OK);
  EXPECT_EQ(site->OnInPlaceActivate(), S_OK);
  EXPECT_EQ(site->Scroll(SIZE{1, 1}), S_FALSE);
  EXPECT_EQ(site->DiscardUndoState(), S_OK);
  EXPECT_EQ(site->OnUIActivate(), S_OK);
  EXPECT_EQ(site->OnUIDeactivate(FALSE), S_OK);

  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
  RECT position = {}, clip = {};
  OLEINPLACEFRAMEINFO info = {};
  info.cb = sizeof info;
  info.fMDIApp = TRUE;
  info.cAccelEntries = 9;
  ASSERT_EQ(site->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
  EXPECT_EQ(document, nullptr);
  ASSERT_NE(frame, nullptr);
  HWND frameWindow = nullptr;
  EXPECT_EQ(frame->GetWindow(&frameWindow), S_OK);
  EXPECT_EQ(frameWindow, host.Handle());
  frame->Release();
  EXPECT_EQ(position.right, 200);
  EXPECT_EQ(position.bottom, 100);
  RECT client = {};
  GetClientRect(host.Handle(), &client);
  EXPECT_TRUE(EqualRect(&clip, &client));
  EXPECT_FALSE(info.fMDIApp);
  EXPECT_EQ(info.hwndFrame, host.Handle());
  EXPECT_EQ(info.haccel, nullptr);
  EXPECT_EQ(info.cAccelEntries, 0u);
  site->Release();
}

TEST_F(BareTest, TheControlSiteRefusesWhatTheLibraryDoesNotOffer) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  IOleControlSite* site = SiteAs<IOleControlSite>(IID_IOleControlSite);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->OnControlInfoChanged(), S_OK);
  EXPECT_EQ(site->LockInPlaceActive(TRUE), E_NOTIMPL);
  IDispatch* extended = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(site->GetExtendedControl(&extended), E_NOTIMPL);
  MSG message = {};
  EXPECT_EQ(site->TranslateAccelerator(&message, 0), E_NOTIMPL);
  EXPECT_EQ(site->ShowPropertyFrame(), E_NOTIMPL);

  // The one site answers for all its interfaces.
  IUnknown* identity = SiteAs<IUnknown>(IID_IUnknown);
  IUnknown* viaControlSite = nullptr;
  site->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaControlSite));
  EXPECT_EQ(identity, viaControlSite);
  for (const IID* iid : {&IID_IOleClientSite, &IID_IOleInPlaceSite, &IID_IOleControlSite,
                         &IID_IDispatch, &IID_IPropertyNotifySink}) {
    IUnknown* answer = nullptr;
    EXPECT_EQ(site->QueryInterface(*iid, reinterpret_cast<void**>(&answer)), S_OK);
    if (answer) answer->Release();
  }
  identity->Release();
  viaControlSite->Release();

  // A focus change sent by the control is reported to the host window.
  EXPECT_EQ(site->OnFocus(TRUE), S_OK);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].message, host.OcxNotify());
  EXPECT_EQ(host.messages[0].lParam, 1);

  // Once the control is gone its site no longer has a container window: focus
  // changes are not reported and the site has no window to give.
  site->AddRef();
  EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
  EXPECT_EQ(site->OnFocus(TRUE), S_OK);
  EXPECT_EQ(host.messages.size(), 1u);
  IOleInPlaceSite* inPlace = nullptr;
  ASSERT_EQ(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)), S_OK);
  HWND window = host.Handle();
  EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
  EXPECT_EQ(window, nullptr);
  inPlace->Release();
  site->Release();
  site->Release();
}

TEST_F(BareTest, AmbientPropertiesComeFromTheSitesDispatch) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  IDispatch* ambients = SiteAs<IDispatch>(IID_IDispatch);
  ASSERT_NE(ambients, nullptr);
  auto read = [&](DISPID dispid, VARIANT* value) {
    DISPPARAMS none = {};
    return ambients->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, value, nullptr,
                            nullptr);
  };
  struct Case {
    DISPID dispid;
    VARTYPE type;
    LONG value;
  };
  const Case cases[] = {
      {DISPID_AMBIENT_USERMODE, VT_BOOL, VARIANT_TRUE},
      {DISPID_AMBIENT_AUTOCLIP, VT_BOOL, VARIANT_TRUE},
      {DISPID_AMBIENT_SUPPORTSMNEMONICS, VT_BOOL, VARIANT_TRUE},
      {DISPID_AMBIENT_MESSAGEREFLECT, VT_BOOL, VARIANT_FALSE},
      {DISPID_AMBIENT_SHOWGRABHANDLES, VT_BOOL, VARIANT_FALSE},
      {DISPID_AMBIENT_SHOWHATCHING, VT_BOOL, VARIANT_FALSE},
      {DISPID_AMBIENT_UIDEAD, VT_BOOL, VARIANT_FALSE},
      {DISPID_AMBIENT_FORECOLOR, VT_I4, static_cast<LONG>(GetSysColor(COLOR_WINDOWTEXT))},
      {DISPID_AMBIENT_LOCALEID, VT_I4, static_cast<LONG>(GetUserDefaultLCID())}};
  for (const Case& c : cases) {
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(read(c.dispid, &value), S_OK) << c.dispid;
    EXPECT_EQ(V_VT(&value), c.type) << c.dispid;
    EXPECT_EQ(c.type == VT_BOOL ? V_BOOL(&value) : V_I4(&value), c.value) << c.dispid;
    VariantClear(&value);
  }
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(read(DISPID_AMBIENT_FONT, &value), S_OK);
  ASSERT_EQ(V_VT(&value), VT_DISPATCH);
  IFont* font = nullptr;
  EXPECT_EQ(V_DISPATCH(&value)->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font)), S_OK);
  if (font) font->Release();
  VariantClear(&value);
  EXPECT_EQ(read(DISPID_AMBIENT_DISPLAYNAME, &value), S_OK);
  ASSERT_EQ(V_VT(&value), VT_BSTR);
  EXPECT_EQ(std::wstring(V_BSTR(&value)), L"OCX Client " + std::to_wstring(handle_));
  VariantClear(&value);
  EXPECT_EQ(read(DISPID_AMBIENT_APPEARANCE - 100, &value), DISP_E_MEMBERNOTFOUND);
  ambients->Release();
}

TEST_F(BareTest, DesignModePaintingReportsAControlThatCannotBeDrawn) {
  struct Case {
    bool withView;
    const char* box;
  };
  for (const Case& c : {Case{false, "Tarvik: No IView\n"}, Case{true, "Tarvik: Draw failed\n"}}) {
    Bare().withView = c.withView;
    HostWindow host;
    ASSERT_EQ(Create(host, TRUE), 1);
    InvalidateRect(host.Handle(), nullptr, TRUE);
    UpdateWindow(host.Handle());
    EXPECT_EQ(Boxes(), c.box);
    EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
  }
}

}  // namespace
}  // namespace container_tests
