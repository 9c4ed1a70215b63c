// Caption and enabling go through the control's own properties, and every
// handle-based service refuses handles that name no OCX client without a word.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/windows/tarvik_services_tests/services_fixture.h"

namespace services_tests {
namespace {

TEST_F(ServicesTest, ACaptionIsTheControlsCaptionPropertyAndIsReadBackCutTo254) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  const std::string shortText = "Short caption";
  EXPECT_EQ(services_.setOCXControlCaption(handle_, shortText.c_str()), 1);
  EXPECT_EQ(
      container_tests::TakeHostText(calls_.getAutoClientStringProperty(handle_, kDispidCaption)),
      shortText);
  EXPECT_EQ(ReadCaption(handle_), shortText);

  std::string longText;
  for (int i = 0; i < 300; ++i) longText += static_cast<char>('a' + i % 26);
  int result = 0;
  EXPECT_EQ(services_.setOCXControlCaption(handle_, longText.c_str()), 1);
  // The control keeps all of it; only the host's copy is cut.
  EXPECT_EQ(
      container_tests::TakeHostText(calls_.getAutoClientStringProperty(handle_, kDispidCaption)),
      longText);
  EXPECT_EQ(ReadCaption(handle_, &result), longText.substr(0, 254));
  EXPECT_EQ(result, 1);

  // A caption of exactly 254 is whole; the empty caption reads as empty.
  EXPECT_EQ(services_.setOCXControlCaption(handle_, longText.substr(0, 254).c_str()), 1);
  EXPECT_EQ(ReadCaption(handle_), longText.substr(0, 254));
  EXPECT_EQ(services_.setOCXControlCaption(handle_, ""), 1);
  EXPECT_EQ(ReadCaption(handle_), "");
  // The text property is left alone while the control has a caption.
  EXPECT_EQ(container_tests::TakeHostText(calls_.getAutoClientStringProperty(handle_, kDispidText)),
            "");
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ServicesTest, ADesignModeControlHasItsCaptionToo) {
  HostWindow host;
  ASSERT_EQ(
      Create(host, WS_CHILD | WS_VISIBLE, TRUE, kProbeControlProgId, nullptr, nullptr, "Initial"),
      1);
  EXPECT_EQ(ReadCaption(handle_), "Initial");
  EXPECT_EQ(services_.setOCXControlCaption(handle_, "Designed"), 1);
  EXPECT_EQ(ReadCaption(handle_), "Designed");
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ServicesTest, EnablingSetsTheEnabledPropertyAndTheControlsWindow) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  const HWND window = Stats().window;
  ASSERT_TRUE(IsWindow(window));
  ASSERT_TRUE(IsWindowEnabled(window));

  EXPECT_EQ(services_.enableOCXControl(handle_, FALSE), 1);
  EXPECT_EQ(calls_.getAutoClientBoolProperty(handle_, kDispidEnabled), 0);
  EXPECT_FALSE(IsWindowEnabled(window));

  EXPECT_EQ(services_.enableOCXControl(handle_, TRUE), 1);
  EXPECT_NE(calls_.getAutoClientBoolProperty(handle_, kDispidEnabled), 0);
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_EQ(Boxes(), "");
}

// Each handle-based service, called with `handle`; its result.
std::vector<std::pair<const char*, std::function<int(int)>>> HandleServices(
    const quorvan::host::TarvikServiceExports& exports, const std::string& saveFile) {
  const quorvan::host::TarvikServiceExports* s = &exports;
  return {
      {"EnableOCXControl(TRUE)", [s](int h) { return s->enableOCXControl(h, TRUE); }},
      {"EnableOCXControl(FALSE)", [s](int h) { return s->enableOCXControl(h, FALSE); }},
      {"SetOCXControlCaption", [s](int h) { return s->setOCXControlCaption(h, "text"); }},
      {"GetOCXControlCaption",
       [s](int h) {
         char buffer[255] = {};
         return s->getOCXControlCaption(h, buffer);
       }},
      {"DisplayOCXControlProperties", [s](int h) { return s->displayOCXControlProperties(h); }},
      {"SaveOCXControlProperties",
       [s, saveFile](int h) { return s->saveOCXControlProperties(h, saveFile.c_str()); }},
  };
}

TEST_F(ServicesTest, HandlesThatNameNoOcxClientGiveZeroSilently) {
  ScratchFolder folder;
  const std::string saveFile = folder.File("never.stg");
  const int automationClient = api_.createAutomationClient();
  ASSERT_GT(automationClient, 0);
  for (const auto& [name, call] : HandleServices(services_, saveFile)) {
    for (int handle : {0, -1, 9999, automationClient}) {
      EXPECT_EQ(call(handle), 0) << name << " on handle " << handle;
    }
  }
  EXPECT_FALSE(FileExists(saveFile));
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ServicesTest, AClientWithoutAControlAnswersOneAndAnEmptyCaption) {
  ScratchFolder folder;
  const std::string saveFile = folder.File("empty.stg");
  int result = 0;
  EXPECT_EQ(ReadCaption(handle_, &result), "");
  EXPECT_EQ(result, 1);
  for (const auto& [name, call] : HandleServices(services_, saveFile)) {
    EXPECT_EQ(call(handle_), 1) << name;
  }
  // The same once a control came and went.
  HostWindow host;
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, TRUE), 1);
  EXPECT_EQ(services_.setOCXControlCaption(handle_, "gone soon"), 1);
  ASSERT_EQ(ocx_.destroyOCXControl(handle_), 1);
  EXPECT_EQ(ReadCaption(handle_, &result), "");
  EXPECT_EQ(result, 1);
  for (const auto& [name, call] : HandleServices(services_, saveFile)) {
    EXPECT_EQ(call(handle_), 1) << name << " after DestroyOCXControl";
  }
  EXPECT_FALSE(FileExists(saveFile));
  EXPECT_EQ(Boxes(), "");
}

}  // namespace
}  // namespace services_tests
