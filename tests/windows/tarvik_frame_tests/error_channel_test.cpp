// A client's error channel as the host sees it: silent mode and the exact bytes
// that GetQuorvanLastError writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <string>

#include "tests/windows/tarvik_frame_tests/tarvik_fixture.h"

namespace tarvik_tests {
namespace {

class ErrorChannelExports : public TarvikTest {
 protected:
  void SetUp() override {
    TarvikTest::SetUp();
    Init();
    ASSERT_EQ(api_.createAutomationClient(), 1);
  }
};

TEST_F(ErrorChannelExports, TheEmptyLastErrorIsZeroFilledToTheSize) {
  EXPECT_EQ(api_.setSilentErrorMode(1, -5), 1);
  char buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(api_.getQuorvanLastError(1, buffer, 12), 1);
  EXPECT_EQ(std::string(buffer, 12), std::string(12, '\0'));
  // Exactly `size` bytes: the rest of the buffer is not touched.
  EXPECT_EQ(std::string(buffer + 12, 4), "####");
}

TEST_F(ErrorChannelExports, SizesWithNoRoomAreDefined) {
  char buffer[4] = {'a', 'b', 'c', 'd'};
  // Size 0 asks for nothing and gets nothing, with or without a buffer.
  EXPECT_EQ(api_.getQuorvanLastError(1, buffer, 0), 1);
  EXPECT_EQ(api_.getQuorvanLastError(1, nullptr, 0), 1);
  // A negative size or no buffer for bytes cannot be written: refused.
  EXPECT_EQ(api_.getQuorvanLastError(1, buffer, -1), 0);
  EXPECT_EQ(api_.getQuorvanLastError(1, buffer, INT_MIN), 0);
  EXPECT_EQ(api_.getQuorvanLastError(1, nullptr, 10), 0);
  EXPECT_EQ(std::string(buffer, 4), "abcd");
}

}  // namespace
}  // namespace tarvik_tests
