#include "tests/support/counted_object.h"

#include <gtest/gtest.h>
#include <objidl.h>

namespace {

using quorvan::testing::CountedObject;
using quorvan::testing::ProbeCounters;

class PersistProbe : public CountedObject<IPersist> {
 public:
  STDMETHODIMP GetClassID(CLSID* id) override {
    if (!id) return E_POINTER;
    *id = CLSID_NULL;
    return S_OK;
  }
};

TEST(CountedObject, CountsEveryReferenceAndDiesAtZero) {
  const long liveBefore = ProbeCounters::Live();
  auto* probe = new PersistProbe;
  EXPECT_EQ(ProbeCounters::Live(), liveBefore + 1);
  EXPECT_EQ(probe->References(), 1);

  IPersist* persist = nullptr;
  ASSERT_EQ(probe->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)), S_OK);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(probe->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(probe->References(), 3);
  EXPECT_EQ(probe->AddRefCalls(), 2);
  // COM identity: IUnknown from any interface is the same pointer.
  IUnknown* again = nullptr;
  persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again));
  EXPECT_EQ(again, unknown);
  again->Release();

  persist->Release();
  unknown->Release();
  EXPECT_EQ(probe->ReleaseCalls(), 3);
  EXPECT_EQ(probe->Release(), 0u);
  EXPECT_EQ(ProbeCounters::Live(), liveBefore);
}

TEST(CountedObject, RefusesUnknownInterfacesWithoutTakingAReference) {
  auto* probe = new PersistProbe;
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(probe->QueryInterface(IID_IDispatch, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(probe->QueryInterface(IID_IPersist, nullptr), E_POINTER);
  EXPECT_EQ(probe->References(), 1);
  probe->Release();
}

}  // namespace
