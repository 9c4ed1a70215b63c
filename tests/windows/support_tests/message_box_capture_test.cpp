#include "tests/support/message_box_capture.h"

#include <gtest/gtest.h>

namespace {

using quorvan::testing::MessageBoxCapture;

TEST(MessageBoxCapture, RecordsAndDismissesEachBox) {
  MessageBoxCapture capture;
  EXPECT_EQ(MessageBoxA(nullptr, "first text", "First caption", MB_OK | MB_ICONWARNING), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "line one\nline two", "Second", MB_OK), IDOK);
  ASSERT_EQ(capture.boxes().size(), 2u);
  EXPECT_EQ(capture.boxes()[0].caption, "First caption");
  EXPECT_EQ(capture.boxes()[0].text, "first text");
  EXPECT_EQ(capture.boxes()[1].caption, "Second");
  EXPECT_EQ(capture.boxes()[1].text, "line one\nline two");
}

TEST(MessageBoxCapture, AnswersWithTheChosenButton) {
  MessageBoxCapture capture(IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Continue?", "Question", MB_YESNO), IDNO);
  // A box without that button is answered by its default button.
  EXPECT_EQ(MessageBoxA(nullptr, "Done", "Note", MB_OK), IDOK);
  EXPECT_EQ(capture.boxes().size(), 2u);
}

TEST(MessageBoxCapture, InnerCaptureTakesOverAndHandsBack) {
  MessageBoxCapture outer;
  {
    MessageBoxCapture inner;
    MessageBoxA(nullptr, "inner", "A", MB_OK);
    EXPECT_EQ(inner.boxes().size(), 1u);
  }
  MessageBoxA(nullptr, "outer", "B", MB_OK);
  ASSERT_EQ(outer.boxes().size(), 1u);
  EXPECT_EQ(outer.boxes()[0].text, "outer");
}

TEST(MessageBoxCapture, BoxOwnedByAWindowIsCapturedToo) {
  MessageBoxCapture capture;
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  EXPECT_EQ(MessageBoxA(owner, "owned", "Owned box", MB_OK), IDOK);
  DestroyWindow(owner);
  ASSERT_EQ(capture.boxes().size(), 1u);
  EXPECT_EQ(capture.boxes()[0].caption, "Owned box");
}

}  // namespace
