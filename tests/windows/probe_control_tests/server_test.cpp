// The COM server side of the probe: what DllRegisterServer writes, the class
// factory's licence paths, the interfaces each class answers for, and exact
// object lifetimes.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/windows/probe_control_tests/probe_fixture.h"

namespace probe_tests {
namespace {

using ServerTest = ProbeTest;

TEST_F(ServerTest, RegistrationNamesTheDllForBothControlClasses) {
  struct Case {
    const CLSID* clsid;
    const wchar_t* progId;
  } cases[] = {{&CLSID_ProbeControl, L"QuorvanTest.ProbeControl"},
               {&CLSID_ProbeControlNoPages, L"QuorvanTest.ProbeControlNoPages"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.progId);
    const std::wstring key = L"CLSID\\" + GuidText(*c.clsid);
    EXPECT_EQ(ClassesValue(key + L"\\InprocServer32", nullptr), modulePath_);
    EXPECT_EQ(ClassesValue(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ClassesValue(key + L"\\ProgID", nullptr), c.progId);
    EXPECT_TRUE(ClassesKeyExists(key + L"\\Control"));
    EXPECT_EQ(ClassesValue(key + L"\\ToolboxBitmap32", nullptr), modulePath_ + L", 1");
    EXPECT_EQ(ClassesValue(std::wstring(c.progId) + L"\\CLSID", nullptr), GuidText(*c.clsid));
    CLSID found{};
    EXPECT_EQ(CLSIDFromProgID(c.progId, &found), S_OK);
    EXPECT_TRUE(IsEqualCLSID(found, *c.clsid));
  }
  EXPECT_EQ(
      ClassesValue(L"CLSID\\" + GuidText(CLSID_ProbePropertyPage) + L"\\InprocServer32", nullptr),
      modulePath_);
  // The class texts in the header are spelled as the registry spells them.
  EXPECT_EQ(GuidText(CLSID_ProbeControl),
            std::wstring(std::begin(kProbeControlClsidText), std::end(kProbeControlClsidText) - 1));
}

TEST_F(ServerTest, ToolboxBitmapResourceIsSixteenByFifteen) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(module_, MAKEINTRESOURCEW(kProbeToolboxBitmapId), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(bitmap, nullptr);
  BITMAP description{};
  GetObjectW(bitmap, sizeof(description), &description);
  DeleteObject(bitmap);
  EXPECT_EQ(description.bmWidth, kProbeToolboxBitmapWidth);
  EXPECT_EQ(description.bmHeight, kProbeToolboxBitmapHeight);
}

TEST_F(ServerTest, LicenceKeyDecidesKeyedCreationWhilePlainCreationIsAllowed) {
  Ref<IClassFactory2> factory;
  ASSERT_EQ(CoGetClassObject(CLSID_ProbeControl, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory2,
                             factory.ReceiveVoid()),
            S_OK);
  LICINFO info{};
  info.cbLicInfo = sizeof(info);
  ASSERT_EQ(factory->GetLicInfo(&info), S_OK);
  EXPECT_TRUE(info.fRuntimeKeyAvail);
  EXPECT_TRUE(info.fLicVerified);
  BSTR key = nullptr;
  ASSERT_EQ(factory->RequestLicKey(0, &key), S_OK);
  EXPECT_STREQ(key, kProbeLicenceKey);
  SysFreeString(key);

  struct Case {
    const wchar_t* key;  // null: IClassFactory::CreateInstance
    HRESULT expected;
    LONG path;
  } cases[] = {
      {nullptr, S_OK, kLicencePlainCreate},
      {L"quorvan-licence", S_OK, kLicenceKeyAccepted},
      {L"wrong", CLASS_E_NOTLICENSED, kLicenceKeyRefused},
      {L"", CLASS_E_NOTLICENSED, kLicenceKeyRefused},
      {L"QUORVAN-LICENCE", CLASS_E_NOTLICENSED, kLicenceKeyRefused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.key ? c.key : L"(no key)"));
    Ref<IOleObject> control;
    HRESULT hr;
    if (c.key) {
      BSTR given = SysAllocString(c.key);
      hr = factory->CreateInstanceLic(nullptr, nullptr, IID_IOleObject, given,
                                      control.ReceiveVoid());
      SysFreeString(given);
    } else {
      hr = factory->CreateInstance(nullptr, IID_IOleObject, control.ReceiveVoid());
    }
    EXPECT_EQ(hr, c.expected);
    EXPECT_EQ(control.Get() != nullptr, SUCCEEDED(c.expected));
    EXPECT_EQ(Stats().lastLicencePath, c.path);
    EXPECT_EQ(Stats().liveControls, SUCCEEDED(c.expected) ? 1 : 0);
  }
  // A null key is refused as well.
  Ref<IOleObject> control;
  EXPECT_EQ(
      factory->CreateInstanceLic(nullptr, nullptr, IID_IOleObject, nullptr, control.ReceiveVoid()),
      CLASS_E_NOTLICENSED);
  const ProbeStats stats = Stats();
  EXPECT_EQ(stats.plainCreations, 1);
  EXPECT_EQ(stats.keyedCreations, 1);
  EXPECT_EQ(stats.refusedCreations, 4);
}

TEST_F(ServerTest, CreationByProgIdAndTheUnloadAnswerFollowLiveObjects) {
  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = Export<CanUnload>(module_, "DllCanUnloadNow");
  ASSERT_NE(canUnload, nullptr);
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"QuorvanTest.ProbeControl", &clsid), S_OK);
  {
    Ref<IUnknown> control;
    ASSERT_EQ(Create(clsid, control), S_OK);
    EXPECT_EQ(Stats().liveControls, 1);
    EXPECT_EQ(Stats().lastLicencePath, kLicencePlainCreate);
    EXPECT_EQ(canUnload(), S_FALSE);
  }
  EXPECT_EQ(Stats().liveObjects, 0);
  EXPECT_EQ(canUnload(), S_OK);
  Ref<IClassFactory> factory;
  ASSERT_EQ(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             factory.ReceiveVoid()),
            S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  EXPECT_EQ(canUnload(), S_FALSE);
  ASSERT_EQ(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             factory.ReceiveVoid()),
            S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.Reset();
  EXPECT_EQ(canUnload(), S_OK);
  EXPECT_EQ(CoGetClassObject(GUID_NULL, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             factory.ReceiveVoid()),
            REGDB_E_CLASSNOTREG);
}

TEST_F(ServerTest, EachClassAnswersForTheControlInterfacesAndOnlyTheFirstHasPages) {
  const IID* common[] = {&IID_IOleObject,
                         &IID_IOleInPlaceObject,
                         &IID_IOleInPlaceActiveObject,
                         &IID_IOleWindow,
                         &IID_IOleControl,
                         &IID_IViewObject,
                         &IID_IViewObject2,
                         &IID_IPersist,
                         &IID_IPersistStorage,
                         &IID_IPersistStreamInit,
                         &IID_IDispatch,
                         &DIID_DProbeControl,
                         &IID_IConnectionPointContainer,
                         &IID_IProvideClassInfo,
                         &IID_IProvideClassInfo2};
  for (const CLSID* clsid : {&CLSID_ProbeControl, &CLSID_ProbeControlNoPages}) {
    SCOPED_TRACE(testing::Message() << GuidText(*clsid).c_str());
    Ref<IUnknown> control;
    ASSERT_EQ(Create(*clsid, control), S_OK);
    for (const IID* iid : common) {
      Ref<IUnknown> answer;
      EXPECT_EQ(control->QueryInterface(*iid, answer.ReceiveVoid()), S_OK)
          << GuidText(*iid).c_str();
      // Every interface leads back to the one identity.
      Ref<IUnknown> identity;
      if (answer) answer->QueryInterface(IID_IUnknown, identity.ReceiveVoid());
      EXPECT_EQ(identity.Get(), control.Get());
    }
    Ref<ISpecifyPropertyPages> pages;
    const bool withPages = IsEqualCLSID(*clsid, CLSID_ProbeControl);
    EXPECT_EQ(control->QueryInterface(IID_ISpecifyPropertyPages, pages.ReceiveVoid()),
              withPages ? S_OK : E_NOINTERFACE);
    if (pages) {
      CAUUID list{};
      ASSERT_EQ(pages->GetPages(&list), S_OK);
      ASSERT_EQ(list.cElems, 1u);
      EXPECT_TRUE(IsEqualCLSID(list.pElems[0], CLSID_ProbePropertyPage));
      CoTaskMemFree(list.pElems);
    }
    Ref<IUnknown> none;
    EXPECT_EQ(control->QueryInterface(IID_IOleLink, none.ReceiveVoid()), E_NOINTERFACE);
  }
}

TEST_F(ServerTest, ObjectFacesGiveTheStatusExtentAndTypeContainersAsk) {
  Ref<IOleObject> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  DWORD status = 0;
  ASSERT_EQ(control->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, static_cast<DWORD>(OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST |
                                       OLEMISC_INSIDEOUT | OLEMISC_RECOMPOSEONRESIZE));
  SIZEL extent{};
  ASSERT_EQ(control->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, 4000);
  EXPECT_EQ(extent.cy, 2000);
  SIZEL wanted{5080, 2540};
  ASSERT_EQ(control->SetExtent(DVASPECT_CONTENT, &wanted), S_OK);
  ASSERT_EQ(control->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, 5080);
  EXPECT_EQ(extent.cy, 2540);
  EXPECT_EQ(control->GetExtent(DVASPECT_ICON, &extent), DV_E_DVASPECT);
  LPOLESTR type = nullptr;
  ASSERT_EQ(control->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
  EXPECT_STREQ(type, kProbeControlUserType);
  CoTaskMemFree(type);

  Ref<IOleControl> oleControl;
  ASSERT_EQ(control->QueryInterface(IID_IOleControl, oleControl.ReceiveVoid()), S_OK);
  CONTROLINFO info{};
  info.cb = sizeof(info);
  ASSERT_EQ(oleControl->GetControlInfo(&info), S_OK);
  ASSERT_EQ(info.cAccel, 1);
  ACCEL accelerator{};
  ASSERT_EQ(CopyAcceleratorTableW(info.hAccel, &accelerator, 1), 1);
  EXPECT_EQ(accelerator.key, kProbeMnemonicKey);
  EXPECT_EQ(accelerator.fVirt & (FALT | FVIRTKEY), FALT | FVIRTKEY);
  // FreezeEvents nests and never goes below zero.
  for (BOOL freeze : {TRUE, TRUE, FALSE, FALSE, FALSE}) oleControl->FreezeEvents(freeze);
  EXPECT_EQ(Stats().freezeCalls, 5);
  EXPECT_EQ(Stats().freezeCount, 0);
  oleControl->FreezeEvents(TRUE);
  EXPECT_EQ(Stats().freezeCount, 1);
  EXPECT_EQ(oleControl->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR), S_OK);
  EXPECT_EQ(Stats().ambientChanges, 1);
  EXPECT_EQ(Stats().lastAmbientChange, DISPID_AMBIENT_BACKCOLOR);
}

}  // namespace
}  // namespace probe_tests
