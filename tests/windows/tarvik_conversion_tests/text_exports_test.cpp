// GetStringFromBstr and GetBstrFromString called the way the host calls them:
// from Tarvik.dll by name, through pointers of their exact types.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <cstring>
#include <string>

#include "host/tarvik_exports.h"
#include "tests/windows/tarvik_conversion_tests/conversion_test_support.h"

namespace {

using conversion_tests::HeapGrowth;
using quorvan::host::GetBstrFromStringFn;
using quorvan::host::GetStringFromBstrFn;
using quorvan::host::LoadedLibrary;

class TextExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tarvik_.Loaded()) << GetLastError();
    ASSERT_NE(getStringFromBstr_, nullptr);
    ASSERT_NE(getBstrFromString_, nullptr);
  }

  LoadedLibrary tarvik_{"Tarvik.dll"};
  GetStringFromBstrFn getStringFromBstr_ = tarvik_.Export<GetStringFromBstrFn>("GetStringFromBstr");
  GetBstrFromStringFn getBstrFromString_ = tarvik_.Export<GetBstrFromStringFn>("GetBstrFromString");
};

TEST_F(TextExports, GetStringFromBstrGivesAHeapBlockAndKeepsTheBstr) {
  BSTR text = SysAllocString(L"server text");
  char* block = getStringFromBstr_(text);
  ASSERT_NE(block, nullptr);
  EXPECT_STREQ(block, "server text");
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, block), 12u);
  EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, block));
  EXPECT_EQ(std::wstring(text), L"server text");  // not freed by the export
  SysFreeString(text);

  BSTR empty = SysAllocString(L"");
  block = getStringFromBstr_(empty);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, block), 1u);
  EXPECT_EQ(block[0], '\0');
  HeapFree(GetProcessHeap(), 0, block);
  SysFreeString(empty);

  EXPECT_EQ(getStringFromBstr_(nullptr), nullptr);
}

TEST_F(TextExports, GetBstrFromStringGivesANewBstr) {
  BSTR text = getBstrFromString_("host text");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 9u);
  EXPECT_EQ(std::wstring(text), L"host text");
  SysFreeString(text);
  BSTR empty = getBstrFromString_("");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  SysFreeString(empty);
  EXPECT_EQ(getBstrFromString_(nullptr), nullptr);
}

TEST_F(TextExports, ARoundTripThroughBothLeavesNothingBehind) {
  auto getString = getStringFromBstr_;
  auto getBstr = getBstrFromString_;
  EXPECT_LT(HeapGrowth(300,
                       [&] {
                         BSTR text = getBstr("a text that goes there and back");
                         char* block = getString(text);
                         EXPECT_STREQ(block, "a text that goes there and back");
                         HeapFree(GetProcessHeap(), 0, block);
                         SysFreeString(text);
                       }),
            30);
}

}  // namespace
