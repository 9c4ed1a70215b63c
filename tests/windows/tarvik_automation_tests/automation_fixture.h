// A client of a freshly loaded Tarvik attached to a recording probe, with every
// message box captured, and the checks the automation tests share.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "host/tarvik_exports.h"
#include "tests/support/heap_blocks.h"
#include "tests/support/message_box_capture.h"
#include "tests/windows/tarvik_automation_tests/recording_dispatch.h"
#include "tests/windows/tarvik_frame_tests/tarvik_fixture.h"

namespace automation_tests {

inline constexpr char kNoDispatch[] = "No IDispatch interface";

using quorvan::testing::BusyHeapBlocks;
using quorvan::testing::HeapGrowth;

// Takes over a text block the library handed out and frees it as the host does.
inline std::string TakeHostText(char* block) {
  if (!block) return "<null>";
  std::string text(block);
  HeapFree(GetProcessHeap(), 0, block);
  return text;
}

// An export with a result, and what it gave rendered as text.
struct Reader {
  std::string operation;
  std::function<std::string(int handle, DISPID dispid)> read;
};
// A property writer with a fixed value of its family.
struct Writer {
  std::string operation;
  std::function<int(int handle, DISPID dispid)> write;
};

class AutomationTest : public tarvik_tests::TarvikTest {
 protected:
  void SetUp() override {
    TarvikTest::SetUp();
    ASSERT_TRUE(calls_.Complete());
    Init();
    ASSERT_EQ(api_.createAutomationClient(), handle_);
    probe_ = new RecordingDispatch;
    ASSERT_EQ(api_.attachAutoClientDispatch(handle_, probe_, 1), 1);
  }

  void TearDown() override {
    api_.destroyAutomationClient(handle_);
    if (probe_) {
      // The client's reference is gone and no other was left behind.
      EXPECT_EQ(probe_->References(), 1);
      probe_->Release();
    }
    TarvikTest::TearDown();
  }

  // The one box shown since the last look, with the client's caption.
  ::testing::AssertionResult ShowedOneBox(const std::string& text) {
    const auto shown = boxes_.boxes();
    boxes_.Clear();
    if (shown.size() != 1) return ::testing::AssertionFailure() << shown.size() << " boxes";
    if (shown[0].caption != "Quorvan Error - Automation Client 1" || shown[0].text != text) {
      return ::testing::AssertionFailure() << shown[0].caption << ": \"" << shown[0].text << "\"";
    }
    return ::testing::AssertionSuccess();
  }

  std::string LastError() {
    char buffer[256] = {};
    EXPECT_EQ(api_.getQuorvanLastError(handle_, buffer, sizeof buffer - 1), 1);
    return buffer;
  }

  // True when nothing is pending: a new declaration is accepted (and consumed).
  bool ListIsEmpty() {
    if (calls_.declareAutoClientInvokeParams(handle_, 1) != 1) return false;
    const std::size_t before = probe_->calls.size();
    const HRESULT status = std::exchange(probe_->status, S_OK);
    calls_.invokeAutoClientVoidFunction(handle_, 0);
    probe_->status = status;
    probe_->calls.resize(before);
    return true;
  }

  const SeenCall& LastCall() const { return probe_->calls.back(); }

  // Every Invoke export, then every property reader. Buffers start as "#", and
  // records with 0x5A bytes, so that untouched output shows.
  std::vector<Reader> Readers() {
    auto& c = calls_;
    auto number = [](long value) { return std::to_string(value); };
    auto text = [](int result, const char* buffer) {
      return std::to_string(result) + ":" + buffer;
    };
    auto object = [](IDispatch* result) {
      if (!result) return std::string("null");
      result->Release();
      return std::string("object");
    };
    auto record = [](auto export_, int handle, DISPID dispid) {
      tarvik::HostVariant value;
      std::memset(&value, 0x5A, sizeof value);
      std::string shown = export_(handle, dispid, &value) == &value ? "type " : "other record ";
      shown += std::to_string(value.type);
      if (value.type == VT_BSTR) shown += " " + TakeHostText(value.string);
      if (value.shortValue != 0x5A5A5A5A) shown += " touched";
      return shown;
    };
    char b[64] = "#";
    return {
        {"InvokeVoidFunction",
         [=](int h, DISPID d) { return number(c.invokeAutoClientVoidFunction(h, d)); }},
        {"InvokeBoolFunction",
         [=](int h, DISPID d) { return number(c.invokeAutoClientBoolFunction(h, d)); }},
        {"InvokeCurrencyFunction",
         [=](int h, DISPID d) mutable {
           return text(c.invokeAutoClientCurrencyFunction(h, d, b), b);
         }},
        {"InvokeDateFunction",
         [=](int h, DISPID d) { return number(c.invokeAutoClientDateFunction(h, d)); }},
        {"InvokeLPDispatchFunction",
         [=](int h, DISPID d) { return object(c.invokeAutoClientLPDispatchFunction(h, d)); }},
        {"InvokeDoubleFunction",
         [=](int h, DISPID d) mutable { return text(c.invokeAutoClientRealFunction(h, d, b), b); }},
        {"InvokeFloatFunction",
         [=](int h, DISPID d) mutable {
           return text(c.invokeAutoClientShortRealFunction(h, d, b), b);
         }},
        {"InvokeLongFunction",
         [=](int h, DISPID d) { return number(c.invokeAutoClientIntegerFunction(h, d)); }},
        {"InvokeShortFunction",
         [=](int h, DISPID d) { return number(c.invokeAutoClientShortFunction(h, d)); }},
        {"InvokeStringFunction",
         [=](int h, DISPID d) { return TakeHostText(c.invokeAutoClientStringFunction(h, d)); }},
        {"InvokeOLEVariantFunction",
         [=](int h, DISPID d) { return record(c.invokeAutoClientOLEVariantFunction, h, d); }},
        {"GetBoolProperty",
         [=](int h, DISPID d) { return number(c.getAutoClientBoolProperty(h, d)); }},
        {"GetCurrencyProperty",
         [=](int h, DISPID d) mutable {
           return text(c.getAutoClientCurrencyProperty(h, d, b), b);
         }},
        {"GetDateProperty",
         [=](int h, DISPID d) { return number(c.getAutoClientDateProperty(h, d)); }},
        {"GetLPDispatchProperty",
         [=](int h, DISPID d) { return object(c.getAutoClientLPDispatchProperty(h, d)); }},
        {"GetDoubleProperty",
         [=](int h, DISPID d) mutable { return text(c.getAutoClientRealProperty(h, d, b), b); }},
        {"GetFloatProperty",
         [=](int h, DISPID d) mutable {
           return text(c.getAutoClientShortRealProperty(h, d, b), b);
         }},
        {"GetLongProperty",
         [=](int h, DISPID d) { return number(c.getAutoClientIntegerProperty(h, d)); }},
        {"GetShortProperty",
         [=](int h, DISPID d) { return number(c.getAutoClientShortProperty(h, d)); }},
        {"GetStringProperty",
         [=](int h, DISPID d) { return TakeHostText(c.getAutoClientStringProperty(h, d)); }},
        {"GetOLEVariantProperty",
         [=](int h, DISPID d) { return record(c.getAutoClientOLEVariantProperty, h, d); }},
    };
  }

  std::vector<Writer> Writers() {
    auto& c = calls_;
    return {
        {"SetBoolProperty", [=](int h, DISPID d) { return c.setAutoClientBoolProperty(h, d, 1); }},
        {"SetCurrencyProperty",
         [=](int h, DISPID d) { return c.setAutoClientCurrencyProperty(h, d, "1"); }},
        {"SetDateProperty",
         [=](int h, DISPID d) { return c.setAutoClientDateProperty(h, d, 730500); }},
        {"SetLPDispatchProperty",
         [=](int h, DISPID d) { return c.setAutoClientLPDispatchProperty(h, d, nullptr); }},
        {"SetDoubleProperty",
         [=](int h, DISPID d) {
           char t[] = "1.5";
           return c.setAutoClientRealProperty(h, d, t);
         }},
        {"SetFloatProperty",
         [=](int h, DISPID d) {
           char t[] = "1.5";
           return c.setAutoClientShortRealProperty(h, d, t);
         }},
        {"SetLongProperty",
         [=](int h, DISPID d) { return c.setAutoClientIntegerProperty(h, d, 1); }},
        {"SetShortProperty",
         [=](int h, DISPID d) { return c.setAutoClientShortProperty(h, d, 1); }},
        {"SetStringProperty",
         [=](int h, DISPID d) { return c.setAutoClientStringProperty(h, d, "x"); }},
        {"SetOLEVariantProperty",
         [=](int h, DISPID d) {
           tarvik::HostVariant r = {};
           r.type = VT_I4;
           return c.setAutoClientOLEVariantProperty(h, d, &r);
         }},
    };
  }

  quorvan::testing::MessageBoxCapture boxes_;
  quorvan::host::TarvikCallExports calls_{tarvik_};
  RecordingDispatch* probe_ = nullptr;
  const int handle_ = 1;
};

}  // namespace automation_tests
