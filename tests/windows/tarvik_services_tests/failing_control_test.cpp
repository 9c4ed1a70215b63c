// The design-mode services on controls that fall short: no pages, no
// persistence, a failing save, and a control that faults when asked for its
// pages. Such a control is made in the test program and registered for this
// process only.
#include <gtest/gtest.h>

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <string>

#include "tests/windows/tarvik_container_tests/bare_control.h"
#include "tests/windows/tarvik_services_tests/services_fixture.h"

namespace services_tests {
namespace {

using container_tests::Bare;
using container_tests::BareControl;

// {0C7E4F2B-3A61-4D8E-B5C0-9E1F2A3B4C5D}
constexpr CLSID CLSID_ShortControl = {
    0x0c7e4f2b, 0x3a61, 0x4d8e, {0xb5, 0xc0, 0x9e, 0x1f, 0x2a, 0x3b, 0x4c, 0x5d}};
constexpr char kShortControlClsidText[] = "{0C7E4F2B-3A61-4D8E-B5C0-9E1F2A3B4C5D}";

// What the next control made offers and does.
struct Shortfalls {
  enum Pages { kNoPages, kEmptyPages, kFaultWhenAsked } pages = kNoPages;
  enum Persistence { kNoPersistence, kSaveFails } persistence = kNoPersistence;
  int saves = 0;
  // A dispatch with a Text property and no Caption, when set.
  bool textOnly = false;
  std::wstring text;
};
Shortfalls g_shortfalls;

class ShortControl : public BareControl,
                     public ISpecifyPropertyPages,
                     public IPersistStorage,
                     public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_ISpecifyPropertyPages) {
      if (g_shortfalls.pages == Shortfalls::kFaultWhenAsked) {
        // A control with a broken table: the call ends in an access violation.
        volatile int* volatile nowhere = nullptr;
        *nowhere = 1;
      }
      if (g_shortfalls.pages == Shortfalls::kNoPages) return E_NOINTERFACE;
      *object = static_cast<ISpecifyPropertyPages*>(this);
    } else if (iid == IID_IDispatch) {
      if (!g_shortfalls.textOnly) return E_NOINTERFACE;
      *object = static_cast<IDispatch*>(this);
    } else if (iid == IID_IPersistStorage || iid == IID_IPersist) {
      if (g_shortfalls.persistence == Shortfalls::kNoPersistence) return E_NOINTERFACE;
      *object = static_cast<IPersistStorage*>(this);
    } else {
      return BareControl::QueryInterface(iid, object);
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return BareControl::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return BareControl::Release(); }

  // ISpecifyPropertyPages
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override {
    pages->cElems = 0;
    pages->pElems = nullptr;
    return S_OK;
  }

  // IPersistStorage
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
    *clsid = CLSID_ShortControl;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InitNew(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Load(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Save(IStorage*, BOOL) override {
    ++g_shortfalls.saves;
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

  // IDispatch: the Text property only.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (dispid != DISPID_TEXT) return DISP_E_MEMBERNOTFOUND;
    if (flags & DISPATCH_PROPERTYPUT) {
      if (!params || params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR) {
        return DISP_E_TYPEMISMATCH;
      }
      const BSTR given = params->rgvarg[0].bstrVal;
      g_shortfalls.text.assign(given ? given : L"", given ? SysStringLen(given) : 0);
      return S_OK;
    }
    if (!result) return E_POINTER;
    result->vt = VT_BSTR;
    result->bstrVal =
        SysAllocStringLen(g_shortfalls.text.data(), static_cast<UINT>(g_shortfalls.text.size()));
    return S_OK;
  }
};

using ShortFactory = container_tests::StaticControlFactory<ShortControl>;

class ShortControlTest : public container_tests::ContainerTest {
 protected:
  void SetUp() override {
    ContainerTest::SetUp();
    ASSERT_TRUE(services_.Complete());
    static ShortFactory factory;
    ASSERT_EQ(CoRegisterClassObject(CLSID_ShortControl, &factory, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_),
              S_OK);
    g_shortfalls = Shortfalls{};
  }
  void TearDown() override {
    if (handle_) api_.destroyAutomationClient(handle_);
    handle_ = 0;
    if (cookie_) CoRevokeClassObject(cookie_);
    EXPECT_EQ(Bare().live, 0);
    ContainerTest::TearDown();
  }

  int CreateDesignMode(HostWindow& host) {
    return ocx_.createOCXControlEx(handle_, host.Handle(), kShortControlClsidText, "",
                                   WS_CHILD | WS_VISIBLE, nullptr, nullptr, TRUE);
  }

  quorvan::host::TarvikServiceExports services_{tarvik_};
  DWORD cookie_ = 0;
};

TEST_F(ShortControlTest, PropertyPagesThatCannotBeHadAreReportedAsNone) {
  for (auto pages : {Shortfalls::kNoPages, Shortfalls::kEmptyPages, Shortfalls::kFaultWhenAsked}) {
    SCOPED_TRACE(static_cast<int>(pages));
    g_shortfalls.pages = pages;
    HostWindow host;
    ASSERT_EQ(CreateDesignMode(host), 1);
    EXPECT_EQ(services_.displayOCXControlProperties(handle_), 1);
    EXPECT_EQ(Boxes(), "Quorvan: No properties available\n");
    ASSERT_EQ(ocx_.destroyOCXControl(handle_), 1);
  }
}

TEST_F(ShortControlTest, SavingReportsWhatTheControlLacks) {
  ScratchFolder folder;
  const std::string file = folder.File("short.stg");
  struct Case {
    Shortfalls::Persistence persistence;
    const char* boxes;
  } const cases[] = {
      {Shortfalls::kNoPersistence,
       "Error - Failed to save properties: No IPersistStorage object\n"},
      {Shortfalls::kSaveFails, "Error - Failed to save properties: Error during save\n"},
  };
  for (const Case& test : cases) {
    g_shortfalls.persistence = test.persistence;
    HostWindow host;
    ASSERT_EQ(CreateDesignMode(host), 1);
    EXPECT_EQ(services_.saveOCXControlProperties(handle_, file.c_str()), 1);
    EXPECT_EQ(Boxes(), test.boxes);
    // The storage was let go of: the file can be opened again at once.
    HANDLE again = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
    ASSERT_EQ(ocx_.destroyOCXControl(handle_), 1);
  }
  EXPECT_EQ(g_shortfalls.saves, 1);
}

TEST_F(ShortControlTest, AControlWithoutACaptionShowsItsTextInstead) {
  g_shortfalls.textOnly = true;
  HostWindow host;
  ASSERT_EQ(CreateDesignMode(host), 1);
  EXPECT_EQ(services_.setOCXControlCaption(handle_, "as text"), 1);
  EXPECT_EQ(g_shortfalls.text, L"as text");
  char buffer[255] = {};
  EXPECT_EQ(services_.getOCXControlCaption(handle_, buffer), 1);
  EXPECT_STREQ(buffer, "as text");
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ShortControlTest, AControlWithoutDispatchOrWindowHasAnEmptyCaption) {
  HostWindow host;
  ASSERT_EQ(CreateDesignMode(host), 1);
  EXPECT_EQ(services_.setOCXControlCaption(handle_, "ignored"), 1);
  char buffer[255];
  memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(services_.getOCXControlCaption(handle_, buffer), 1);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(services_.enableOCXControl(handle_, FALSE), 1);
  EXPECT_EQ(Boxes(), "");
}

}  // namespace
}  // namespace services_tests
