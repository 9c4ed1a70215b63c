// The error channel, the dispatch driver and the client's reports, checked from
// inside the library: the host reaches them only through the property and
// method exports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tarvik/automation/auto_client.h"
#include "tarvik/frame/dispatch_driver.h"
#include "tarvik/frame/dispatch_error_text.h"
#include "tarvik/frame/dispatch_exception.h"
#include "tarvik/frame/error_channel.h"
#include "tarvik/frame/system_message.h"
#include "tests/support/message_box_capture.h"
#include "tests/windows/tarvik_frame_tests/dispatch_probe.h"

namespace tarvik_tests {
namespace {

using quorvan::testing::MessageBoxCapture;
using quorvan::testing::ProbeCounters;
using tarvik::ComposeDispatchMessage;
using tarvik::DispatchDriver;
using tarvik::DispatchErrorText;
using tarvik::DispatchException;
using tarvik::ErrorChannel;
using tarvik::SAutoClient;

// An EXCEPINFO as a server fills it, owning its description.
class ServerException {
 public:
  explicit ServerException(const wchar_t* description) {
    info_.bstrDescription = description ? SysAllocString(description) : nullptr;
  }
  ~ServerException() { SysFreeString(info_.bstrDescription); }
  ServerException(const ServerException&) = delete;
  ServerException& operator=(const ServerException&) = delete;
  const EXCEPINFO* Get() const { return &info_; }

 private:
  EXCEPINFO info_ = {};
};

TEST(DispatchErrorTexts, EachStatusHasItsText) {
  const struct {
    HRESULT status;
    const char* text;
  } table[] = {
      {DISP_E_UNKNOWNINTERFACE, "Internal error - REFIID is not IID_NULL"},
      {DISP_E_MEMBERNOTFOUND, "Invalid function call or function not found"},
      {DISP_E_PARAMNOTFOUND, "Invalid parameter"},
      {DISP_E_TYPEMISMATCH, "Type mismatch"},
      {DISP_E_NONAMEDARGS, "Named arguments not supported"},
      {DISP_E_BADVARTYPE, "One or more of the parameters is not a valid VARIANT type"},
      {DISP_E_OVERFLOW, "Overflow error"},
      {DISP_E_UNKNOWNLCID, "Internal error - Function requires a specified locale ID"},
      {DISP_E_BADPARAMCOUNT, "Wrong number of parameters"},
      {DISP_E_PARAMNOTOPTIONAL, "Parameter is required but was omitted"},
  };
  for (const auto& entry : table) {
    EXPECT_EQ(DispatchErrorText(entry.status, nullptr), entry.text) << std::hex << entry.status;
  }
  for (HRESULT other :
       {HRESULT(0x80020002), HRESULT(0x80020006), HRESULT(0x8002000B), HRESULT(0x8002000D),
        HRESULT(0x80020000), HRESULT(0x80020010), E_FAIL, E_NOINTERFACE, S_OK}) {
    EXPECT_EQ(DispatchErrorText(other, nullptr), "Unknown error") << std::hex << other;
  }
}

TEST(DispatchErrorTexts, AServerExceptionQuotesTheDescription) {
  ServerException exception(L"Disk is full!");
  EXPECT_EQ(DispatchErrorText(DISP_E_EXCEPTION, exception.Get()),
            "The server raised exception:\nDisk is full!");
  ServerException silent(nullptr);
  EXPECT_EQ(DispatchErrorText(DISP_E_EXCEPTION, silent.Get()), "The server raised exception:\n");
  EXPECT_EQ(DispatchErrorText(DISP_E_EXCEPTION, nullptr), "The server raised exception:\n");
}

TEST(DispatchErrorTexts, TheMessageNamesOperationDispidAndParameter) {
  EXPECT_EQ(ComposeDispatchMessage("GetShortProperty", 5, 0, "Type mismatch"),
            "GetShortProperty\nDISPID 5 : Type mismatch");
  EXPECT_EQ(ComposeDispatchMessage("GetBoolProperty", 0, 0, "Type mismatch"),
            "GetBoolProperty\n: Type mismatch");
  EXPECT_EQ(ComposeDispatchMessage("SetShortProperty", -3, 0, "Overflow error"),
            "SetShortProperty\nDISPID -3 : Overflow error");
  EXPECT_EQ(ComposeDispatchMessage("InvokeVoidFunction", 7, 3, "Type mismatch"),
            "InvokeVoidFunction\nDISPID 7 parameter 3 : Type mismatch");
  EXPECT_EQ(ComposeDispatchMessage("InvokeVoidFunction", 0, 2, "Invalid parameter"),
            "InvokeVoidFunction\nparameter 2 : Invalid parameter");
}

TEST(ErrorChannelRules, OnlyServerExceptionsAreSilenced) {
  ErrorChannel channel;
  ServerException exception(L"Disk is full!");
  auto shown = channel.Route(DISP_E_EXCEPTION, "GetLongProperty", 4, 0, exception.Get());
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(*shown, "GetLongProperty\nDISPID 4 : The server raised exception:\nDisk is full!");
  EXPECT_EQ(channel.LastError(), "");

  channel.SetSilentMode(2);
  EXPECT_FALSE(channel.Route(DISP_E_EXCEPTION, "GetLongProperty", 4, 0, exception.Get()));
  EXPECT_EQ(channel.LastError(), "Disk is full!");
  shown = channel.Route(DISP_E_TYPEMISMATCH, "GetLongProperty", 4, 1, nullptr);
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(*shown, "GetLongProperty\nDISPID 4 parameter 1 : Type mismatch");
  // A shown error does not overwrite the text kept before; clearing does.
  EXPECT_EQ(channel.LastError(), "Disk is full!");
  channel.ClearLastError();
  EXPECT_EQ(channel.LastError(), "");
  // A server exception without a description keeps the empty text.
  channel.Route(DISP_E_EXCEPTION, "Op", 0, 0, nullptr);
  EXPECT_EQ(channel.LastError(), "");
}

TEST(ErrorChannelRules, CopyingWritesExactlyTheGivenSize) {
  ErrorChannel channel;
  channel.SetSilentMode(1);
  ServerException exception(L"Disk is full!");  // 13 characters
  channel.Route(DISP_E_EXCEPTION, "Op", 1, 0, exception.Get());

  char buffer[24];
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_TRUE(channel.CopyLastError(buffer, 5));
  EXPECT_EQ(std::string(buffer, 6), "Disk #");  // no terminator

  std::memset(buffer, '#', sizeof buffer);
  ASSERT_TRUE(channel.CopyLastError(buffer, 13));
  EXPECT_EQ(std::string(buffer, 14), "Disk is full!#");

  std::memset(buffer, '#', sizeof buffer);
  ASSERT_TRUE(channel.CopyLastError(buffer, 20));
  EXPECT_EQ(std::string(buffer, 21), std::string("Disk is full!") + std::string(7, '\0') + "#");

  std::memset(buffer, '#', sizeof buffer);
  EXPECT_TRUE(channel.CopyLastError(buffer, 0));
  EXPECT_FALSE(channel.CopyLastError(buffer, -1));
  EXPECT_FALSE(channel.CopyLastError(nullptr, 5));
  EXPECT_TRUE(channel.CopyLastError(nullptr, 0));
  EXPECT_EQ(std::string(buffer, 2), "##");
}

TEST(ClientReports, ErrorsShowABoxCaptionedWithTheClient) {
  SAutoClient client(7);
  MessageBoxCapture boxes;
  client.ReportError("No IDispatch interface");
  ServerException exception(L"Disk is full!");
  client.ReportDispatchError(DISP_E_EXCEPTION, "SetStringProperty", 12, 0, exception.Get());
  client.ReportDispatchError(DISP_E_BADPARAMCOUNT, "InvokeLongFunction", -601, 0, nullptr);
  ASSERT_EQ(boxes.boxes().size(), 3u);
  for (const auto& box : boxes.boxes())
    EXPECT_EQ(box.caption, "Quorvan Error - Automation Client 7");
  EXPECT_EQ(boxes.boxes()[0].text, "No IDispatch interface");
  EXPECT_EQ(boxes.boxes()[1].text,
            "SetStringProperty\nDISPID 12 : The server raised exception:\nDisk is full!");
  EXPECT_EQ(boxes.boxes()[2].text, "InvokeLongFunction\nDISPID -601 : Wrong number of parameters");
  EXPECT_EQ(client.Errors().LastError(), "");
}

TEST(ClientReports, SilentModeKeepsTheServersDescriptionInstead) {
  SAutoClient client(3);
  client.Errors().SetSilentMode(1);
  MessageBoxCapture boxes;
  ServerException exception(L"Disk is full!");
  client.ReportDispatchError(DISP_E_EXCEPTION, "GetLongProperty", 4, 0, exception.Get());
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(client.Errors().LastError(), "Disk is full!");
  client.ReportDispatchError(DISP_E_TYPEMISMATCH, "GetShortProperty", 5, 0, nullptr);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "GetShortProperty\nDISPID 5 : Type mismatch");
  // ReportError itself is never silenced.
  client.ReportError("No IDispatch interface");
  EXPECT_EQ(boxes.boxes().size(), 2u);
}

TEST(ClientReports, FrameworkExceptionsReportAsServerExceptions) {
  SAutoClient client(2);
  MessageBoxCapture boxes;
  client.ReportFrameworkException("SetLongProperty", 9,
                                  DispatchException(DISP_E_EXCEPTION, "Value out of range"));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text,
            "SetLongProperty\nDISPID 9 : The server raised exception:\nValue out of range");

  // An OLE status is worded by the system's message table.
  const std::string systemText = tarvik::SystemMessageText(E_OUTOFMEMORY, 254);
  ASSERT_FALSE(systemText.empty());
  client.ReportFrameworkException("SetLongProperty", 0, DispatchException(E_OUTOFMEMORY, ""));
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[1].text,
            "SetLongProperty\n: The server raised exception:\n" + systemText);

  client.Errors().SetSilentMode(1);
  client.ReportFrameworkException("SetLongProperty", 9,
                                  DispatchException(DISP_E_EXCEPTION, "Value out of range"));
  EXPECT_EQ(client.Errors().LastError(), "Value out of range");
  client.ReportFrameworkException("SetLongProperty", 9, DispatchException(E_OUTOFMEMORY, ""));
  EXPECT_EQ(client.Errors().LastError(), systemText);
  // The host reads at most 254 characters of an exception's text.
  client.ReportFrameworkException("SetLongProperty", 9,
                                  DispatchException(DISP_E_EXCEPTION, std::string(300, 'x')));
  EXPECT_EQ(client.Errors().LastError(), std::string(254, 'x'));
  EXPECT_EQ(boxes.boxes().size(), 2u);
}

TEST(ClientReports, AStatusWithoutSystemTextGivesAnEmptyDescription) {
  // A facility of its own, with a code the system table does not know.
  const HRESULT unknown = static_cast<HRESULT>(0xA1230F0Fu);
  EXPECT_EQ(tarvik::SystemMessageText(unknown, 254), "");
  EXPECT_EQ(DispatchException(unknown, "ignored").MessageText(), "");
  EXPECT_EQ(DispatchException(DISP_E_EXCEPTION, "kept").MessageText(), "kept");
}

TEST(DispatchDriverCalls, SetPropertyPutsOneNamedValue) {
  auto* probe = new DispatchProbe;
  {
    DispatchDriver driver;
    probe->AddRef();
    driver.AttachDispatch(probe, true);
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_I4;
    V_I4(&value) = 42;
    driver.SetProperty(17, DISPATCH_PROPERTYPUT, value);
    ASSERT_EQ(probe->calls.size(), 1u);
    const auto& call = probe->calls[0];
    EXPECT_EQ(call.dispid, 17);
    EXPECT_EQ(call.flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(call.argumentTypes, std::vector<VARTYPE>{VT_I4});
    EXPECT_EQ(call.namedArguments, std::vector<DISPID>{DISPID_PROPERTYPUT});
    EXPECT_EQ(call.firstIntegerArgument, 42);
    EXPECT_EQ(probe->References(), 2);
  }
  // The driver gave its reference back when it went.
  EXPECT_EQ(probe->References(), 1);
  probe->Release();
}

TEST(DispatchDriverCalls, ARefusedCallThrowsWithTheServersDescription) {
  auto* probe = new DispatchProbe;
  DispatchDriver driver;
  driver.AttachDispatch(probe, true);  // takes over the creator's reference
  VARIANT value;
  VariantInit(&value);
  probe->answer = DISP_E_EXCEPTION;
  probe->description = L"Read-only property";
  try {
    driver.SetProperty(3, DISPATCH_PROPERTYPUTREF, value);
    ADD_FAILURE() << "no exception";
  } catch (const DispatchException& exception) {
    EXPECT_EQ(exception.Status(), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.Description(), "Read-only property");
    EXPECT_EQ(exception.MessageText(), "Read-only property");
  }
  probe->answer = DISP_E_TYPEMISMATCH;
  try {
    driver.SetProperty(3, DISPATCH_PROPERTYPUT, value);
    ADD_FAILURE() << "no exception";
  } catch (const DispatchException& exception) {
    EXPECT_EQ(exception.Status(), DISP_E_TYPEMISMATCH);
  }
  EXPECT_EQ(probe->calls.size(), 2u);
  EXPECT_EQ(probe->calls[0].flags, DISPATCH_PROPERTYPUTREF);
  const long live = ProbeCounters::Live();
  driver.ReleaseDispatch();
  EXPECT_EQ(ProbeCounters::Live(), live - 1);
}

}  // namespace
}  // namespace tarvik_tests
