// A walk of a real server from the Wine prefix, Scripting.Dictionary, the way a
// host script drives it: methods with arguments, a plain and an indexed
// property, results of several types and a refusal by the server.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleauto.h>

#include <string>

#include "tests/windows/tarvik_automation_tests/automation_fixture.h"

namespace automation_tests {
namespace {

class DictionaryWalk : public tarvik_tests::TarvikTest {
 protected:
  void SetUp() override {
    TarvikTest::SetUp();
    ASSERT_TRUE(calls_.Complete());
    Init();
    ASSERT_EQ(api_.createAutomationClient(), handle_);
    ASSERT_EQ(api_.createAutoClientDispatch(handle_, "Scripting.Dictionary"), 1);
    for (const wchar_t* name : {L"Add", L"Count", L"Item", L"Exists", L"Keys", L"Remove"}) {
      ASSERT_NE(Dispid(name), DISPID_UNKNOWN) << "no member " << std::string(name, name + 6);
    }
  }
  void TearDown() override {
    api_.destroyAutomationClient(handle_);
    TarvikTest::TearDown();
  }

  DISPID Dispid(const wchar_t* name) {
    IDispatch* dictionary = api_.getAutoClientDispatch(handle_);
    if (!dictionary) return DISPID_UNKNOWN;
    std::wstring text(name);
    LPOLESTR names[] = {text.data()};
    DISPID dispid = DISPID_UNKNOWN;
    if (FAILED(dictionary->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid))) return DISPID_UNKNOWN;
    return dispid;
  }

  void Add(const char* key, const char* item) {
    ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 1);
    ASSERT_EQ(calls_.defineAutoClientStringParam(handle_, key), 1);
    ASSERT_EQ(calls_.defineAutoClientStringParam(handle_, item), 1);
    EXPECT_EQ(calls_.invokeAutoClientVoidFunction(handle_, Dispid(L"Add")), 1);
  }

  std::string Item(const char* key) {
    EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
    EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, key), 1);
    return TakeHostText(calls_.getAutoClientStringProperty(handle_, Dispid(L"Item")));
  }

  int Exists(const char* key) {
    EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
    EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, key), 1);
    return calls_.invokeAutoClientBoolFunction(handle_, Dispid(L"Exists"));
  }

  quorvan::testing::MessageBoxCapture boxes_;
  quorvan::host::TarvikCallExports calls_{tarvik_};
  const int handle_ = 1;
};

TEST_F(DictionaryWalk, ItemsAddedWithArgumentsAreReadBack) {
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, Dispid(L"Count")), 0);
  Add("alpha", "first");
  Add("beta", "second");
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, Dispid(L"Count")), 2);
  EXPECT_EQ(calls_.getAutoClientShortProperty(handle_, Dispid(L"Count")), 2);
  EXPECT_EQ(Item("beta"), "second");
  EXPECT_EQ(Item("alpha"), "first");
  EXPECT_EQ(Exists("alpha"), -1);
  EXPECT_EQ(Exists("gamma"), 0);

  // Keys gives an array of variants: the host learns its type only.
  tarvik::HostVariant record = {};
  EXPECT_EQ(calls_.invokeAutoClientOLEVariantFunction(handle_, Dispid(L"Keys"), &record), &record);
  EXPECT_EQ(record.type, static_cast<std::uint32_t>(VT_ARRAY | VT_VARIANT));

  // Count as a real number, through the two-call protocol.
  EXPECT_EQ(calls_.getAutoClientRealProperty(handle_, Dispid(L"Count"), nullptr), 8);
  char buffer[32];
  EXPECT_EQ(calls_.getAutoClientRealProperty(handle_, Dispid(L"Count"), buffer), 1);
  EXPECT_STREQ(buffer, "2.000000");
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(DictionaryWalk, AnIndexedWriteReplacesAnItem) {
  Add("key", "old");
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 1);
  ASSERT_EQ(calls_.defineAutoClientStringParam(handle_, "key"), 1);
  EXPECT_EQ(calls_.setAutoClientIntegerProperty(handle_, Dispid(L"Item"), 42), 1);
  EXPECT_TRUE(boxes_.boxes().empty());
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  ASSERT_EQ(calls_.defineAutoClientStringParam(handle_, "key"), 1);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, Dispid(L"Item")), 42);
  // Writing an item under a new key adds it.
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 1);
  ASSERT_EQ(calls_.defineAutoClientIntegerParam(handle_, 7), 1);
  EXPECT_EQ(calls_.setAutoClientStringProperty(handle_, Dispid(L"Item"), "seven"), 1);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, Dispid(L"Count")), 2);
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  ASSERT_EQ(calls_.defineAutoClientIntegerParam(handle_, 7), 1);
  tarvik::HostVariant record = {};
  calls_.getAutoClientOLEVariantProperty(handle_, Dispid(L"Item"), &record);
  ASSERT_EQ(record.type, static_cast<std::uint32_t>(VT_BSTR));
  EXPECT_EQ(TakeHostText(record.string), "seven");
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(DictionaryWalk, TheServerRefusesADuplicateKey) {
  Add("twice", "1");
  Add("twice", "2");
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].caption, "Quorvan Error - Automation Client 1");
  const std::string prefix = "InvokeVoidFunction\nDISPID " + std::to_string(Dispid(L"Add"));
  EXPECT_EQ(boxes_.boxes()[0].text.compare(0, prefix.size(), prefix), 0) << boxes_.boxes()[0].text;
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, Dispid(L"Count")), 1);
  EXPECT_EQ(Item("twice"), "1");

  // Removing an absent key is refused as well; silent mode keeps the server's text.
  boxes_.Clear();
  ASSERT_EQ(api_.setSilentErrorMode(handle_, 1), 1);
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  ASSERT_EQ(calls_.defineAutoClientStringParam(handle_, "absent"), 1);
  EXPECT_EQ(calls_.invokeAutoClientVoidFunction(handle_, Dispid(L"Remove")), 1);
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);  // the list was emptied
}

TEST_F(DictionaryWalk, AWalkLeavesNoStringsBehind) {
  const long growth = HeapGrowth(30, [&] {
    Add("k", "a value of some length for the walk");
    TakeHostText(calls_.getAutoClientStringProperty(handle_, Dispid(L"Count")));
    Item("k");
    ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
    ASSERT_EQ(calls_.defineAutoClientStringParam(handle_, "k"), 1);
    calls_.invokeAutoClientVoidFunction(handle_, Dispid(L"Remove"));
  });
  EXPECT_LT(growth, 15);
  EXPECT_TRUE(boxes_.boxes().empty());
}

}  // namespace
}  // namespace automation_tests
