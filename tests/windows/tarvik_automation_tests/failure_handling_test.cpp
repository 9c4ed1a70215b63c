// Calls that fail: refusals by the server with their reports, silent mode, the
// detached client, unknown handles, and a server that calls back into its
// client while a call is under way.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/windows/tarvik_automation_tests/automation_fixture.h"

namespace automation_tests {
namespace {

using FailureHandling = AutomationTest;

// What every reader gives when the call cannot be made or is refused: the value
// of an empty result (Void: 1; Currency and the real texts: 1 and the text).
const std::vector<std::string> kEmptyResults = {"1",
                                                "0",
                                                "1:0",
                                                "693974",
                                                "null",
                                                "1:0.000000",
                                                "1:0.000000",
                                                "0",
                                                "0",
                                                "",
                                                "type 0",
                                                /* properties */ "0",
                                                "1:0",
                                                "693974",
                                                "null",
                                                "1:0.000000",
                                                "1:0.000000",
                                                "0",
                                                "0",
                                                "",
                                                "type 0"};

TEST_F(FailureHandling, ARefusedCallIsReportedUnderItsOperationsName) {
  probe_->Refuse(DISP_E_OVERFLOW);
  auto readers = Readers();
  for (size_t i = 0; i < readers.size(); ++i) {
    EXPECT_EQ(readers[i].read(handle_, 9), kEmptyResults[i]) << readers[i].operation;
    EXPECT_TRUE(ShowedOneBox(readers[i].operation + "\nDISPID 9 : Overflow error"));
  }
  // A plain write goes through the dispatch driver: whatever the status, it
  // arrives as a server exception with the exception's text.
  probe_->Refuse(DISP_E_EXCEPTION, L"Read-only property");
  for (auto& writer : Writers()) {
    EXPECT_EQ(writer.write(handle_, -9), 0) << writer.operation;
    EXPECT_TRUE(ShowedOneBox(writer.operation +
                             "\nDISPID -9 : The server raised exception:\nRead-only property"));
  }
  probe_->Refuse(DISP_E_TYPEMISMATCH);
  EXPECT_EQ(calls_.setAutoClientStringProperty(handle_, 4, "x"), 0);
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  const std::string prefix = "SetStringProperty\nDISPID 4 : The server raised exception:\n";
  // Then the system's text for the status, where the system has one.
  EXPECT_EQ(boxes_.boxes()[0].text.compare(0, prefix.size(), prefix), 0);
  boxes_.Clear();
  // An indexed write reports the call's own status and gives 1 all the same.
  probe_->Refuse(DISP_E_BADPARAMCOUNT);
  calls_.declareAutoClientInvokeParams(handle_, 2);
  calls_.defineAutoClientIntegerParam(handle_, 1);
  EXPECT_EQ(calls_.setAutoClientIntegerProperty(handle_, 8, 1), 1);
  EXPECT_TRUE(ShowedOneBox("SetLongProperty\nDISPID 8 : Wrong number of parameters"));
  EXPECT_TRUE(ListIsEmpty());
  EXPECT_EQ(LastError(), "");
}

TEST_F(FailureHandling, TheReportNumbersTheFaultyArgumentInDefinitionOrder) {
  probe_->Refuse(DISP_E_TYPEMISMATCH, nullptr, 0u);  // rgvarg[0]: the third defined
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 3), 1);
  calls_.defineAutoClientIntegerParam(handle_, 1);
  calls_.defineAutoClientStringParam(handle_, "two");
  calls_.defineAutoClientIntegerParam(handle_, 3);
  EXPECT_EQ(calls_.invokeAutoClientIntegerFunction(handle_, 7), 0);
  EXPECT_TRUE(ShowedOneBox("InvokeLongFunction\nDISPID 7 parameter 3 : Type mismatch"));
  EXPECT_TRUE(ListIsEmpty());  // emptied after a failure too

  probe_->Refuse(DISP_E_PARAMNOTFOUND, nullptr, 2u);
  calls_.declareAutoClientInvokeParams(handle_, 3);
  calls_.invokeAutoClientVoidFunction(handle_, 7);
  EXPECT_TRUE(ShowedOneBox("InvokeVoidFunction\nDISPID 7 parameter 1 : Invalid parameter"));
  // DISPID 0 and no faulty argument leave both parts out.
  probe_->Refuse(DISP_E_MEMBERNOTFOUND);
  calls_.getAutoClientBoolProperty(handle_, 0);
  EXPECT_TRUE(ShowedOneBox("GetBoolProperty\n: Invalid function call or function not found"));
}

TEST_F(FailureHandling, SilentModeKeepsAServerExceptionsText) {
  probe_->Refuse(DISP_E_EXCEPTION, L"Disk not ready");
  calls_.invokeAutoClientIntegerFunction(handle_, 4);
  EXPECT_TRUE(
      ShowedOneBox("InvokeLongFunction\nDISPID 4 : The server raised exception:\nDisk not ready"));
  EXPECT_EQ(LastError(), "");

  ASSERT_EQ(api_.setSilentErrorMode(handle_, 1), 1);
  calls_.getAutoClientShortProperty(handle_, 4);
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(LastError(), "Disk not ready");
  EXPECT_EQ(calls_.setAutoClientShortProperty(handle_, 4, 1), 0);
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(LastError(), "Disk not ready");
  // Without a description the kept text is empty.
  probe_->Refuse(DISP_E_EXCEPTION);
  calls_.invokeAutoClientVoidFunction(handle_, 4);
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(LastError(), "");
  // Silence covers server exceptions only.
  probe_->Refuse(DISP_E_BADPARAMCOUNT);
  calls_.invokeAutoClientVoidFunction(handle_, 4);
  EXPECT_TRUE(ShowedOneBox("InvokeVoidFunction\nDISPID 4 : Wrong number of parameters"));
  // Every operation starts with an empty last error.
  probe_->Refuse(DISP_E_EXCEPTION, L"kept");
  calls_.invokeAutoClientVoidFunction(handle_, 4);
  EXPECT_EQ(LastError(), "kept");
  probe_->Refuse(S_OK);
  calls_.setAutoClientIntegerProperty(handle_, 4, 1);
  EXPECT_EQ(LastError(), "");

  ASSERT_EQ(api_.setSilentErrorMode(handle_, 0), 1);
  probe_->Refuse(DISP_E_EXCEPTION);
  calls_.invokeAutoClientVoidFunction(handle_, 4);
  EXPECT_TRUE(ShowedOneBox("InvokeVoidFunction\nDISPID 4 : The server raised exception:\n"));
}

TEST_F(FailureHandling, ADetachedClientReportsEveryCallAndKeepsTheDeclaredArguments) {
  ASSERT_EQ(api_.releaseAutoClientDispatch(handle_), 1);
  ASSERT_EQ(api_.setSilentErrorMode(handle_, 1), 1);  // never silenced
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  calls_.defineAutoClientStringParam(handle_, "waiting");

  auto readers = Readers();
  for (size_t i = 0; i < readers.size(); ++i) {
    EXPECT_EQ(readers[i].read(handle_, 3), kEmptyResults[i]) << readers[i].operation;
    EXPECT_TRUE(ShowedOneBox(kNoDispatch)) << readers[i].operation;
  }
  for (auto& writer : Writers()) {
    EXPECT_EQ(writer.write(handle_, 3), 0) << writer.operation;
    EXPECT_TRUE(ShowedOneBox(kNoDispatch)) << writer.operation;
  }
  EXPECT_EQ(LastError(), "");

  // The declaration survived every refused call and reaches the next server.
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 0);
  ASSERT_EQ(api_.attachAutoClientDispatch(handle_, probe_, 1), 1);
  calls_.invokeAutoClientVoidFunction(handle_, 3);
  ASSERT_EQ(probe_->calls.size(), 1u);
  ASSERT_EQ(LastCall().arguments.size(), 1u);
  EXPECT_EQ(LastCall().arguments[0].text, L"waiting");
}

TEST_F(FailureHandling, UnknownHandlesAreRefusedSilently) {
  const std::vector<std::string> notFound = {"0",
                                             "0",
                                             "0:#",
                                             "0",
                                             "null",
                                             "0:#",
                                             "0:#",
                                             "0",
                                             "0",
                                             "<null>",
                                             "type 0",
                                             /* properties: the record untouched */ "0",
                                             "0:#",
                                             "0",
                                             "null",
                                             "0:#",
                                             "0:#",
                                             "0",
                                             "0",
                                             "<null>",
                                             "type 1515870810"};
  for (int handle : {0, -1, 2}) {
    auto readers = Readers();
    for (size_t i = 0; i < readers.size(); ++i) {
      EXPECT_EQ(readers[i].read(handle, 3), notFound[i]) << readers[i].operation;
    }
    for (auto& writer : Writers()) EXPECT_EQ(writer.write(handle, 3), 0) << writer.operation;
    BSTR variable = nullptr;
    tarvik::HostVariant record = {};
    char text[] = "1.5";
    EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle, 1), 0);
    EXPECT_EQ(calls_.defineAutoClientBoolParam(handle, 1), 0);
    EXPECT_EQ(calls_.defineAutoClientCurrencyParam(handle, "1"), 0);
    EXPECT_EQ(calls_.defineAutoClientDateParam(handle, 730500), 0);
    EXPECT_EQ(calls_.defineAutoClientRealParam(handle, text), 0);
    EXPECT_EQ(calls_.defineAutoClientShortRealParam(handle, text), 0);
    EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle, 1), 0);
    EXPECT_EQ(calls_.defineAutoClientShortParam(handle, 1), 0);
    EXPECT_EQ(calls_.defineAutoClientLPDispatchParam(handle, probe_), 0);
    EXPECT_EQ(calls_.defineAutoClientStringParam(handle, "x"), 0);
    EXPECT_EQ(calls_.defineAutoClientOLEVariantParam(handle, &record), 0);
    EXPECT_EQ(calls_.defineAutoClientBstrPtrParam(handle, &variable), 0);
  }
  EXPECT_EQ(calls_.invokeAutoClientOLEVariantFunction(2, 3, nullptr), nullptr);
  EXPECT_TRUE(probe_->calls.empty());
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(FailureHandling, AServerCallingBackIntoItsClientLeavesTheOuterCallIntact) {
  // While the outer call runs, the host handles an event by calling another
  // method of the same client with arguments of its own.
  bool nested = false;
  probe_->duringInvoke = [&] {
    if (std::exchange(nested, true)) return;
    EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
    EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, "inner"), 1);
    calls_.invokeAutoClientVoidFunction(handle_, 2);
  };
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 1);
  calls_.defineAutoClientStringParam(handle_, "outer one");
  calls_.defineAutoClientStringParam(handle_, "outer two");
  EXPECT_EQ(calls_.invokeAutoClientVoidFunction(handle_, 1), 1);
  ASSERT_EQ(probe_->calls.size(), 2u);
  EXPECT_EQ(probe_->calls[1].arguments[0].text, L"inner");
  probe_->duringInvoke = nullptr;
  EXPECT_TRUE(ListIsEmpty());
}

TEST_F(FailureHandling, AClientDestroyedDuringItsCallIsNotTouchedAfterwards) {
  probe_->Refuse(DISP_E_EXCEPTION, L"gone");
  probe_->duringInvoke = [&] {
    EXPECT_EQ(api_.destroyAutomationClient(handle_), 0);
    EXPECT_EQ(probe_->References(), 2);  // the call holds the object until it returns
  };
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  calls_.defineAutoClientStringParam(handle_, "x");
  EXPECT_EQ(calls_.invokeAutoClientIntegerFunction(handle_, 5), 0);
  EXPECT_EQ(probe_->References(), 1);

  // The same for a plain write through the dispatch driver.
  ASSERT_EQ(api_.createAutomationClient(), 2);
  ASSERT_EQ(api_.attachAutoClientDispatch(2, probe_, 1), 1);
  probe_->duringInvoke = [&] { EXPECT_EQ(api_.destroyAutomationClient(2), 0); };
  EXPECT_EQ(calls_.setAutoClientIntegerProperty(2, 5, 1), 0);
  probe_->duringInvoke = nullptr;
  EXPECT_TRUE(boxes_.boxes().empty());
}

}  // namespace
}  // namespace automation_tests
