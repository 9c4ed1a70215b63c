// Ten thousand clients over the life of one session: each is created, attached
// to the same probe, used for a property read, a property write with a text and
// a method with a text argument and a text result, then destroyed. Whatever one
// client leaves behind shows ten thousand times over.
#include <windows.h>

#include "tests/support/gui_objects.h"
#include "tests/windows/tarvik_automation_tests/automation_fixture.h"

namespace automation_tests {
namespace {

using quorvan::testing::GdiObjects;
using quorvan::testing::UserObjects;

constexpr int kClients = 10000;
constexpr DISPID kValue = 7;
constexpr DISPID kName = 8;
constexpr DISPID kEcho = 9;

class Soak : public AutomationTest {};

TEST_F(Soak, TenThousandClientsLeaveNoReferenceTextOrObjectBehind) {
  probe_->AnswerText(L"answer");
  const long gdiBefore = GdiObjects();
  const long userBefore = UserObjects();
  int lastHandle = handle_;
  // Every step runs whatever the one before gave; the first difference is kept.
  std::string firstDifference;
  auto expect = [&](bool held, const char* what) {
    if (!held && firstDifference.empty()) firstDifference = what;
  };
  const long growth = HeapGrowth(kClients, [&] {
    const int client = api_.createAutomationClient();
    expect(client == lastHandle + 1, "a new handle");
    lastHandle = client;
    expect(api_.attachAutoClientDispatch(client, probe_, 1) == 1, "attach");
    // The answer is text; the integer reader converts it and gets nothing.
    expect(calls_.getAutoClientIntegerProperty(client, kValue) == 0, "integer read");
    expect(calls_.setAutoClientStringProperty(client, kName, "name") == 1, "text write");
    expect(calls_.declareAutoClientInvokeParams(client, 1) == 1, "declare");
    expect(calls_.defineAutoClientStringParam(client, "argument") == 1, "define");
    expect(TakeHostText(calls_.invokeAutoClientStringFunction(client, kEcho)) == "answer",
           "text result");
    expect(api_.getAutoClientDispatch(client) == probe_, "dispatch lent");
    expect(api_.destroyAutomationClient(client) == 0, "destroy");
    probe_->calls.clear();
  });
  EXPECT_EQ(firstDifference, "");
  // Only the fixture's own client holds a reference besides the test's.
  EXPECT_EQ(probe_->References(), 2);
  // The system's text cache keeps a few blocks; one per client would be
  // thousands.
  EXPECT_LT(growth, 16);
  EXPECT_EQ(GdiObjects(), gdiBefore);
  EXPECT_EQ(UserObjects(), userBefore);
  EXPECT_TRUE(boxes_.boxes().empty())
      << (boxes_.boxes().empty() ? "" : boxes_.boxes()[0].caption + ": " + boxes_.boxes()[0].text);
}

}  // namespace
}  // namespace automation_tests
