// An object model walked the way a host script walks one: VBScript.RegExp's
// Execute gives a match collection, whose items are matches, whose SubMatches
// are a collection again. Each object a result hands over is attached to a
// client of its own, which then gives its reference back.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleauto.h>

#include <string>

#include "tests/windows/tarvik_automation_tests/automation_fixture.h"

namespace automation_tests {
namespace {

class RegExpWalk : public tarvik_tests::TarvikTest {
 protected:
  void SetUp() override {
    TarvikTest::SetUp();
    ASSERT_TRUE(calls_.Complete());
    Init();
    regexp_ = api_.createAutomationClient();
    ASSERT_EQ(api_.createAutoClientDispatch(regexp_, "VBScript.RegExp"), 1);
  }
  void TearDown() override {
    api_.qvOleUninit();  // destroys every client, which gives every reference back
    TarvikTest::TearDown();
  }

  // The library takes DISPIDs only; the test looks them up as a host's compiler would.
  DISPID Dispid(int handle, const wchar_t* name) {
    IDispatch* object = api_.getAutoClientDispatch(handle);
    if (!object) return DISPID_UNKNOWN;
    std::wstring text(name);
    LPOLESTR names[] = {text.data()};
    DISPID dispid = DISPID_UNKNOWN;
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid))) return DISPID_UNKNOWN;
    return dispid;
  }

  // A client of its own for an object a result handed over, taking over the
  // reference that came with it.
  int Adopt(IDispatch* object) {
    const int handle = api_.createAutomationClient();
    EXPECT_EQ(api_.attachAutoClientDispatch(handle, object, 0), 1);
    return handle;
  }

  int Item(int collection, int index) {
    EXPECT_EQ(calls_.declareAutoClientInvokeParams(collection, 1), 1);
    EXPECT_EQ(calls_.defineAutoClientIntegerParam(collection, index), 1);
    IDispatch* item =
        calls_.getAutoClientLPDispatchProperty(collection, Dispid(collection, L"Item"));
    EXPECT_NE(item, nullptr);
    return Adopt(item);
  }

  std::string Text(int handle, const wchar_t* property) {
    return TakeHostText(calls_.getAutoClientStringProperty(handle, Dispid(handle, property)));
  }

  quorvan::testing::MessageBoxCapture boxes_;
  quorvan::host::TarvikCallExports calls_{tarvik_};
  int regexp_ = 0;
};

TEST_F(RegExpWalk, MatchesAndSubMatchesAreReachedThroughObjectResults) {
  ASSERT_EQ(calls_.setAutoClientStringProperty(regexp_, Dispid(regexp_, L"Pattern"),
                                               "(\\w+)@(\\w+)\\.org"),
            1);
  ASSERT_EQ(calls_.setAutoClientBoolProperty(regexp_, Dispid(regexp_, L"Global"), 1), 1);
  EXPECT_EQ(calls_.getAutoClientBoolProperty(regexp_, Dispid(regexp_, L"Global")), -1);
  EXPECT_EQ(Text(regexp_, L"Pattern"), "(\\w+)@(\\w+)\\.org");

  ASSERT_EQ(calls_.declareAutoClientInvokeParams(regexp_, 1), 1);
  ASSERT_EQ(calls_.defineAutoClientStringParam(regexp_, "ann@alpha.org, bob@beta.org"), 1);
  IDispatch* found =
      calls_.invokeAutoClientLPDispatchFunction(regexp_, Dispid(regexp_, L"Execute"));
  ASSERT_NE(found, nullptr);
  const int matches = Adopt(found);
  ASSERT_EQ(calls_.getAutoClientIntegerProperty(matches, Dispid(matches, L"Count")), 2);

  const int second = Item(matches, 1);
  EXPECT_EQ(Text(second, L"Value"), "bob@beta.org");
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(second, Dispid(second, L"FirstIndex")), 15);
  EXPECT_EQ(calls_.getAutoClientShortProperty(second, Dispid(second, L"Length")), 12);

  IDispatch* groups = calls_.getAutoClientLPDispatchProperty(second, Dispid(second, L"SubMatches"));
  ASSERT_NE(groups, nullptr);
  const int subMatches = Adopt(groups);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(subMatches, Dispid(subMatches, L"Count")), 2);
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(subMatches, 1), 1);
  ASSERT_EQ(calls_.defineAutoClientIntegerParam(subMatches, 1), 1);
  EXPECT_EQ(
      TakeHostText(calls_.getAutoClientStringProperty(subMatches, Dispid(subMatches, L"Item"))),
      "beta");
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(RegExpWalk, ServerFailuresAreReportedUnderTheClientsCaption) {
  // Execute without its argument: the server refuses, and the box names the client.
  EXPECT_EQ(calls_.invokeAutoClientLPDispatchFunction(regexp_, Dispid(regexp_, L"Execute")),
            nullptr);
  const std::string expected = "InvokeLPDispatchFunction\nDISPID " +
                               std::to_string(Dispid(regexp_, L"Execute")) +
                               " : Wrong number of parameters";
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, expected);
  EXPECT_EQ(boxes_.boxes()[0].caption,
            "Quorvan Error - Automation Client " + std::to_string(regexp_));

  // Silent mode keeps only what a server raised as an exception: a refused call
  // is still shown, and the last error stays empty.
  boxes_.Clear();
  ASSERT_EQ(api_.setSilentErrorMode(regexp_, 1), 1);
  EXPECT_EQ(calls_.invokeAutoClientLPDispatchFunction(regexp_, Dispid(regexp_, L"Execute")),
            nullptr);
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, expected);
  char lastError[8] = "x";
  EXPECT_EQ(api_.getQuorvanLastError(regexp_, lastError, sizeof lastError), 1);
  EXPECT_EQ(std::string(lastError, sizeof lastError), std::string(sizeof lastError, '\0'));
}

}  // namespace
}  // namespace automation_tests
