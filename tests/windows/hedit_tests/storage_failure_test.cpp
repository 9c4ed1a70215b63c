// The system refusing the edit control a new storage block, at the moments the
// control needs one: creating a field with large buffers, setting a long value,
// and a string field growing as it is typed into. Each refusal leaves the field
// exactly as it was, and the same request succeeds once memory is there again.
#include <windows.h>

#include <string>

#include "tests/support/gui_objects.h"
#include "tests/support/import_patch.h"
#include "tests/windows/hedit_tests/hedit_fixture.h"

namespace hedit_tests {
namespace {

using quillet::HEM_GETMAXLENGTH;
using quillet::HEM_SETSELECTION;
using quillet::HEM_SETVALUE;

bool g_refuse = false;

HGLOBAL WINAPI RefusingGlobalAlloc(UINT flags, SIZE_T bytes) {
  if (g_refuse) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return GlobalAlloc(flags, bytes);
}

class StorageFailure : public HEditTest {
 protected:
  void SetUp() override {
    HEditTest::SetUp();
    ASSERT_TRUE(patch_.Active()) << "Quillet takes its blocks from elsewhere";
  }
  void TearDown() override {
    g_refuse = false;
    HEditTest::TearDown();
  }

  // The whole text, however long: the fixture's reader stops at 511 characters.
  static std::string FullText(HWND field) {
    const char* text =
        reinterpret_cast<const char*>(SendMessageA(field, quillet::HEM_GETTEXTPTR, 0, 0));
    return text ? text : "";
  }
  static ::testing::AssertionResult Holds(HWND field, const std::string& expected) {
    const std::string text = FullText(field);
    if (text == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the field holds " << text.size() << " characters, not the " << expected.size()
           << " expected (\"" << text.substr(0, 20) << "...\")";
  }

  LRESULT SetValue(HWND field, const std::string& text) {
    return SendMessageA(field, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

  quorvan::testing::ImportPatch patch_{GetModuleHandleA("Quillet.dll"), "kernel32.dll",
                                       "GlobalAlloc",
                                       reinterpret_cast<void*>(&RefusingGlobalAlloc)};
};

TEST_F(StorageFailure, ALongValueWithoutABlockIsRefusedAndTheFieldKept) {
  HWND field = CreateField("%ss10Hello");
  // Longer than any block that holds the field's own record can still give.
  const std::string huge(32500, 'y');
  g_refuse = true;
  EXPECT_EQ(SetValue(field, huge), -5);
  EXPECT_EQ(SendMessageA(field, HEM_GETMAXLENGTH, 0, 0), 10);
  EXPECT_EQ(Text(field), "Hello");
  g_refuse = false;
  EXPECT_EQ(SetValue(field, huge), 1);
  EXPECT_TRUE(Holds(field, huge));
}

TEST_F(StorageFailure, AFieldWhoseBuffersCannotBeHadIsNotCreated) {
  const long userBefore = quorvan::testing::UserObjects();
  const long gdiBefore = quorvan::testing::GdiObjects();
  g_refuse = true;
  HWND refused =
      CreateWindowExA(0, "HEdit", "%ss32000", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, form_->hwnd(),
                      reinterpret_cast<HMENU>(INT_PTR(100)), GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(refused, nullptr);
  EXPECT_EQ(quorvan::testing::UserObjects(), userBefore);
  EXPECT_EQ(quorvan::testing::GdiObjects(), gdiBefore);
  g_refuse = false;
  HWND made = CreateField("%ss32000");
  ASSERT_TRUE(made);
  EXPECT_EQ(SendMessageA(made, HEM_GETMAXLENGTH, 0, 0), 32000);
}

TEST_F(StorageFailure, AStringFieldThatCannotGrowKeepsItsTextAndLimit) {
  HWND field = CreateField("%ssab", ES_AUTOHSCROLL);
  const std::string full(32000, 'x');
  ASSERT_EQ(SetValue(field, full), 1);
  const LRESULT limit = SendMessageA(field, HEM_GETMAXLENGTH, 0, 0);
  SetFocus(field);
  // Type at the end until the text fills its buffer and must grow.
  SendMessageA(field, HEM_SETSELECTION, 32000, 32000);
  std::string expected = full;
  for (LRESULT length = 32000; length < limit; ++length) {
    Type(field, "y");
    expected += 'y';
  }
  ASSERT_TRUE(Holds(field, expected));
  g_refuse = true;
  Type(field, "z");
  EXPECT_TRUE(Holds(field, expected));
  EXPECT_EQ(SendMessageA(field, HEM_GETMAXLENGTH, 0, 0), limit);
  g_refuse = false;
  Type(field, "z");
  EXPECT_TRUE(Holds(field, expected + "z"));
  EXPECT_GT(SendMessageA(field, HEM_GETMAXLENGTH, 0, 0), limit);
}

}  // namespace
}  // namespace hedit_tests
