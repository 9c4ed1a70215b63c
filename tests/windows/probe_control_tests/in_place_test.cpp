// The probe in a site of our own: in-place and UI activation with its own
// window, repositioning, deactivation, and the site services its methods call
// (position requests, focus, coordinate transforms, ambient properties), and
// events fired while the control is being set up.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/windows/probe_control_tests/probe_fixture.h"
#include "tests/windows/probe_control_tests/test_site.h"

namespace probe_tests {
namespace {

class InPlaceTest : public ProbeTest {
 protected:
  void Activate(LONG verb = OLEIVERB_INPLACEACTIVATE) {
    ASSERT_EQ(Create(CLSID_ProbeControl, control_), S_OK);
    ASSERT_EQ(control_->SetClientSite(site_.Get()), S_OK);
    ASSERT_EQ(control_->DoVerb(verb, nullptr, site_.Get(), 0, host_.Get(), nullptr), S_OK);
    ASSERT_EQ(control_->QueryInterface(IID_IDispatch, dispatch_.ReceiveVoid()), S_OK);
    ASSERT_EQ(control_->QueryInterface(IID_IOleInPlaceObject, inPlace_.ReceiveVoid()), S_OK);
  }
  void TearDown() override {
    if (control_) {
      control_->Close(OLECLOSE_NOSAVE);
      control_->SetClientSite(nullptr);
    }
    inPlace_.Reset();
    dispatch_.Reset();
    control_.Reset();
    site_.Reset();
    ProbeTest::TearDown();
  }
  static RECT WindowRectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  HostWindow host_;
  Ref<TestSite> site_{new TestSite(host_.Get())};
  Ref<IOleObject> control_;
  Ref<IDispatch> dispatch_;
  Ref<IOleInPlaceObject> inPlace_;
};

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST_F(InPlaceTest, ActivationMakesAChildWindowAtThePositionTheSiteGives) {
  Activate();
  const ProbeStats stats = Stats();
  ASSERT_NE(stats.window, nullptr);
  HWND window = nullptr;
  ASSERT_EQ(inPlace_->GetWindow(&window), S_OK);
  EXPECT_EQ(window, stats.window);
  EXPECT_EQ(GetParent(window), host_.Get());
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(WindowRectInParent(window) == site_->positionRect);
  EXPECT_EQ(stats.activations, 1);
  EXPECT_EQ(stats.uiActivations, 0);
  EXPECT_EQ(site_->calls, (std::vector<std::wstring>{L"OnInPlaceActivate", L"GetWindowContext"}));
  // A second verb does not make a second window.
  ASSERT_EQ(control_->DoVerb(OLEIVERB_SHOW, nullptr, site_.Get(), 0, host_.Get(), nullptr), S_OK);
  EXPECT_EQ(Stats().activations, 1);

  const RECT moved{30, 40, 230, 140};
  RECT clip{};
  GetClientRect(host_.Get(), &clip);
  ASSERT_EQ(inPlace_->SetObjectRects(&moved, &clip), S_OK);
  EXPECT_TRUE(WindowRectInParent(window) == moved);
  EXPECT_TRUE(Stats().lastPosRect == moved);

  // The window paints itself; key messages reaching it are counted.
  UpdateWindow(window);
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
  EXPECT_GE(Stats().paints, 1);
  SendMessageW(window, WM_KEYDOWN, 'A', 0);
  SendMessageW(window, WM_CHAR, 'a', 0);
  EXPECT_EQ(Stats().keyMessages, 2);
  EXPECT_EQ(Stats().lastKeyMessage, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(Stats().lastKeyWParam, static_cast<WPARAM>('a'));

  ASSERT_EQ(inPlace_->InPlaceDeactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Stats().window, nullptr);
  EXPECT_EQ(site_->calls.back(), L"OnInPlaceDeactivate");
  EXPECT_EQ(inPlace_->GetWindow(&window), E_FAIL);
}

TEST_F(InPlaceTest, UiActivationTellsTheSiteAndTakesTheFocus) {
  Activate(OLEIVERB_UIACTIVATE);
  EXPECT_EQ(Stats().uiActivations, 1);
  EXPECT_EQ(site_->calls.back(), L"OnUIActivate");
  EXPECT_EQ(GetFocus(), Stats().window);
  ASSERT_FALSE(site_->focus.empty());
  EXPECT_TRUE(site_->focus.back());
  ASSERT_EQ(inPlace_->UIDeactivate(), S_OK);
  EXPECT_EQ(site_->calls.back(), L"OnUIDeactivate");
  ASSERT_EQ(inPlace_->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(site_->calls.back(), L"OnInPlaceDeactivate");
}

TEST_F(InPlaceTest, SiteThatRefusesActivationGetsNoWindow) {
  site_->canActivate = S_FALSE;
  ASSERT_EQ(Create(CLSID_ProbeControl, control_), S_OK);
  ASSERT_EQ(control_->SetClientSite(site_.Get()), S_OK);
  EXPECT_TRUE(FAILED(
      control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, host_.Get(), nullptr)));
  EXPECT_EQ(Stats().window, nullptr);
  EXPECT_TRUE(site_->calls.empty());
}

TEST_F(InPlaceTest, PreferredSizeIsAskedOnActivationAndFixedSizeIgnoresOtherRects) {
  setPreferredSize_(150, 60, 1);
  Activate();
  ASSERT_EQ(site_->askedRects.size(), 1u);
  const RECT& origin = site_->positionRect;
  EXPECT_TRUE(site_->askedRects[0] ==
              (RECT{origin.left, origin.top, origin.left + 150, origin.top + 60}));
  EXPECT_EQ(Stats().posRectResult, S_OK);
  const RECT other{0, 0, 40, 40};
  ASSERT_EQ(inPlace_->SetObjectRects(&other, &other), S_OK);
  const RECT kept = WindowRectInParent(Stats().window);
  EXPECT_EQ(kept.right - kept.left, 150);
  EXPECT_EQ(kept.bottom - kept.top, 60);
}

TEST_F(InPlaceTest, MethodsReachTheSiteServicesAndRecordTheirAnswers) {
  site_->posRectAnswer = E_UNEXPECTED;
  Activate();
  Variant result;
  ASSERT_EQ(
      Call(dispatch_.Get(), kDispidRequestRect, {Long(1), Long(2), Long(301), Long(102)}, &result),
      S_OK);
  EXPECT_EQ(result.lVal, E_UNEXPECTED);
  ASSERT_EQ(site_->askedRects.size(), 1u);
  EXPECT_TRUE(site_->askedRects[0] == (RECT{1, 2, 301, 102}));
  EXPECT_EQ(Stats().posRectResult, E_UNEXPECTED);
  EXPECT_EQ(Stats().posRectCalls, 1);

  site_->focus.clear();
  ASSERT_EQ(Call(dispatch_.Get(), kDispidRequestFocus, {Bool(false)}, &result), S_OK);
  EXPECT_EQ(result.lVal, S_OK);
  EXPECT_EQ(site_->focus, std::vector<BOOL>{FALSE});

  struct Case {
    DWORD flags;
    HRESULT expected;
    float x, y;
  } cases[] = {
      {XFORMCOORDS_SIZE | XFORMCOORDS_HIMETRICTOCONTAINER, S_OK, 1270.0f, 635.0f},
      {XFORMCOORDS_SIZE, E_INVALIDARG, 2540.0f, 1270.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags);
    ASSERT_EQ(Call(dispatch_.Get(), kDispidTransform,
                   {Long(2540), Long(1270), Long(static_cast<LONG>(c.flags))}, &result),
              S_OK);
    EXPECT_EQ(result.lVal, c.expected);
    const ProbeStats stats = Stats();
    EXPECT_EQ(stats.transformResult, c.expected);
    EXPECT_EQ(stats.transformContainer.x, c.x);
    EXPECT_EQ(stats.transformContainer.y, c.y);
    EXPECT_EQ(site_->transformFlags.back(), c.flags);
  }
}

TEST_F(InPlaceTest, AmbientsAreRecordedWithTheirTypes) {
  site_->ambients[DISPID_AMBIENT_USERMODE] = {VT_BOOL, L"0"};
  site_->ambients[DISPID_AMBIENT_LOCALEID] = {VT_I4, L"1033"};
  site_->ambients[DISPID_AMBIENT_DISPLAYNAME] = {VT_BSTR, L"Probe site"};
  Activate();
  ASSERT_EQ(Call(dispatch_.Get(), kDispidAskAmbients), S_OK);
  const ProbeStats stats = Stats();
  EXPECT_EQ(stats.ambientQueries, 1);
  EXPECT_EQ(stats.ambientDispatchResult, S_OK);
  for (int i = 0; i < kProbeAmbientCount; ++i) {
    const ProbeAmbient& ambient = stats.ambients[i];
    SCOPED_TRACE(testing::Message() << "ambient " << kProbeAmbientDispids[i]);
    switch (kProbeAmbientDispids[i]) {
      case DISPID_AMBIENT_USERMODE:
        EXPECT_EQ(ambient.result, S_OK);
        EXPECT_EQ(ambient.type, VT_BOOL);
        EXPECT_EQ(ambient.integer, VARIANT_FALSE);
        break;
      case DISPID_AMBIENT_LOCALEID:
        EXPECT_EQ(ambient.type, VT_I4);
        EXPECT_EQ(ambient.integer, 1033);
        break;
      case DISPID_AMBIENT_DISPLAYNAME:
        EXPECT_EQ(ambient.type, VT_BSTR);
        EXPECT_STREQ(ambient.text, L"Probe site");
        break;
      default:
        EXPECT_EQ(ambient.result, DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(ambient.type, VT_EMPTY);
        break;
    }
  }
}

TEST_F(InPlaceTest, MethodsWithoutASiteAnswerUnexpected) {
  ASSERT_EQ(Create(CLSID_ProbeControl, dispatch_), S_OK);
  Variant result;
  ASSERT_EQ(
      Call(dispatch_.Get(), kDispidRequestRect, {Long(0), Long(0), Long(1), Long(1)}, &result),
      S_OK);
  EXPECT_EQ(result.lVal, E_UNEXPECTED);
  ASSERT_EQ(Call(dispatch_.Get(), kDispidAskAmbients), S_OK);
  EXPECT_EQ(Stats().ambientDispatchResult, E_UNEXPECTED);
  Ref<IOleObject> object;
  ASSERT_EQ(dispatch_->QueryInterface(IID_IOleObject, object.ReceiveVoid()), S_OK);
  EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, host_.Get(), nullptr),
            E_UNEXPECTED);
}

TEST_F(InPlaceTest, WindowDestroyedWithItsParentIsMadeAgainByTheNextVerb) {
  Activate();
  HWND first = Stats().window;
  ASSERT_TRUE(DestroyWindow(first));
  EXPECT_EQ(Stats().window, nullptr);
  ASSERT_EQ(control_->DoVerb(OLEIVERB_SHOW, nullptr, site_.Get(), 0, host_.Get(), nullptr), S_OK);
  EXPECT_EQ(Stats().activations, 2);
  EXPECT_TRUE(IsWindow(Stats().window));
}

TEST_F(InPlaceTest, MnemonicsAndAmbientChangesAreCounted) {
  Activate();
  Ref<IOleControl> oleControl;
  ASSERT_EQ(control_->QueryInterface(IID_IOleControl, oleControl.ReceiveVoid()), S_OK);
  MSG message{Stats().window, WM_SYSKEYDOWN, 'P', 0, 0, {0, 0}};
  EXPECT_EQ(oleControl->OnMnemonic(&message), S_OK);
  EXPECT_EQ(Stats().mnemonics, 1);
}

TEST_F(InPlaceTest, PropertyPageShowsAndWritesTheCaption) {
  Activate();
  TextVariant caption(L"Before");
  ASSERT_EQ(Put(dispatch_.Get(), kDispidCaption, caption), S_OK);
  Ref<IPropertyPage> page;
  ASSERT_EQ(CoCreateInstance(CLSID_ProbePropertyPage, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IPropertyPage, page.ReceiveVoid()),
            S_OK);
  PROPPAGEINFO info{};
  info.cb = sizeof(info);
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_STREQ(info.pszTitle, L"Probe");
  CoTaskMemFree(info.pszTitle);
  IUnknown* objects[] = {dispatch_.Get()};
  ASSERT_EQ(page->SetObjects(1, objects), S_OK);
  const RECT area{0, 0, 240, 60};
  ASSERT_EQ(page->Activate(host_.Get(), &area, TRUE), S_OK);
  HWND pageWindow = nullptr;
  HWND edit = nullptr;
  while ((pageWindow = FindWindowExW(host_.Get(), pageWindow, L"STATIC", nullptr)) && !edit) {
    edit = FindWindowExW(pageWindow, nullptr, L"EDIT", nullptr);
  }
  ASSERT_NE(edit, nullptr);
  wchar_t shown[32] = {};
  GetWindowTextW(edit, shown, 32);
  EXPECT_STREQ(shown, L"Before");
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  SetWindowTextW(edit, L"After");
  SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  ASSERT_EQ(page->Apply(), S_OK);
  Variant answer;
  ASSERT_EQ(Get(dispatch_.Get(), kDispidCaption, answer), S_OK);
  EXPECT_STREQ(answer.bstrVal, L"After");
  ASSERT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(edit));
  ASSERT_EQ(page->SetObjects(0, nullptr), S_OK);
}

TEST_F(InPlaceTest, CreationEventsComeFromSetClientSiteAndTheFirstVerbWhenAsked) {
  for (const bool fire : {false, true}) {
    SCOPED_TRACE(fire ? "asked" : "not asked");
    setFireDuringCreation_(fire);
    Ref<RecordingSink> sink(new RecordingSink);
    Ref<IOleObject> control;
    ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
    Ref<IConnectionPointContainer> container;
    ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid()),
              S_OK);
    Ref<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(DIID_DProbeControlEvents, point.Receive()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink.Get(), &cookie), S_OK);
    ASSERT_EQ(control->SetClientSite(site_.Get()), S_OK);
    for (LONG verb : {OLEIVERB_INPLACEACTIVATE, OLEIVERB_SHOW}) {
      ASSERT_EQ(control->DoVerb(verb, nullptr, site_.Get(), 0, host_.Get(), nullptr), S_OK);
    }
    if (fire) {
      ASSERT_EQ(sink->events.size(), 2u);
      for (LONG stage : {1, 2}) {
        const SeenEvent& event = sink->events[stage - 1];
        EXPECT_EQ(event.dispid, kEventCreating);
        ASSERT_EQ(event.arguments.size(), 1u);
        EXPECT_EQ(event.arguments[0].integer, stage);
      }
      EXPECT_EQ(Stats().creationEventsFired, 2);
    } else {
      EXPECT_TRUE(sink->events.empty());
    }
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    control->Close(OLECLOSE_NOSAVE);
    control->SetClientSite(nullptr);
    resetStats_();
  }
}

}  // namespace
}  // namespace probe_tests
