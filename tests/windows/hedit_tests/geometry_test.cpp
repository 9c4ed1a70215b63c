// The character hit test the host calls as GetClosestChar: on a real device
// context with a proportional font, where wide and narrow characters make the
// average-width estimate wrong, for left- and right-aligned text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/windows/hedit_tests/hedit_fixture.h"

namespace hedit_tests {
namespace {

class ClosestCharTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(quillet_.Loaded());
    ASSERT_TRUE(exports_.getClosestChar);
    // The walk from the estimate only matters when characters differ in width.
    ASSERT_LT(dc_.Width("i", 1) * 2, dc_.Width("W", 1)) << font_.face();
  }

  int Closest(const RECT& rect, const std::string& text, int x, bool fromRight) {
    return exports_.getClosestChar(dc_.get(), &rect, text.c_str(), static_cast<int>(text.size()), x,
                                   fromRight ? 1 : 0);
  }

  // Client x of the boundary before each position, as the text lies in rect.
  std::vector<int> Boundaries(const RECT& rect, const std::string& text, bool fromRight) {
    std::vector<int> xs;
    const int n = static_cast<int>(text.size());
    for (int k = 0; k <= n; ++k) {
      xs.push_back(fromRight ? rect.right - dc_.Width(text.c_str() + k, n - k)
                             : rect.left + dc_.Width(text.c_str(), k));
    }
    return xs;
  }

  quorvan::host::LoadedLibrary quillet_{"Quillet.dll"};
  quorvan::host::QuilletExports exports_{quillet_};
  TestFont font_;
  FontDc dc_{font_.get()};
};

struct Layout {
  const char* name;
  bool fromRight;
};
constexpr Layout kLayouts[] = {{"left-aligned", false}, {"right-aligned", true}};

// Narrow characters first and wide ones after: an estimate from the average
// width lands far from the answer in both halves.
const std::string kMixed = "iiiiiiiilll.,WWWWWWMMmm0123";
const RECT kRect = {37, 5, 37 + 420, 25};

TEST_F(ClosestCharTest, EveryBoundaryIsFoundExactly) {
  for (const Layout& layout : kLayouts) {
    const std::vector<int> xs = Boundaries(kRect, kMixed, layout.fromRight);
    for (int k = 0; k < static_cast<int>(xs.size()); ++k) {
      EXPECT_EQ(Closest(kRect, kMixed, xs[k], layout.fromRight), k)
          << layout.name << ", boundary " << k << " at x " << xs[k];
    }
  }
}

TEST_F(ClosestCharTest, EveryPixelGoesToTheNearestBoundary) {
  for (const Layout& layout : kLayouts) {
    const std::vector<int> xs = Boundaries(kRect, kMixed, layout.fromRight);
    for (int x = kRect.left - 8; x <= kRect.right + 8; ++x) {
      int best = -1, bestDistance = 1 << 30;
      bool tie = false;
      for (int k = 0; k < static_cast<int>(xs.size()); ++k) {
        const int distance = std::abs(xs[k] - x);
        if (distance < bestDistance) {
          best = k;
          bestDistance = distance;
          tie = false;
        } else if (distance == bestDistance) {
          tie = true;
        }
      }
      if (tie) continue;  // either neighbour is right
      ASSERT_EQ(Closest(kRect, kMixed, x, layout.fromRight), best) << layout.name << ", x " << x;
    }
  }
}

TEST_F(ClosestCharTest, PointsOutsideTheTextGoToItsEnds) {
  const int n = static_cast<int>(kMixed.size());
  const int width = dc_.Width(kMixed);
  struct Case {
    const char* what;
    bool fromRight;
    int x;
    int expected;
  } cases[] = {
      {"left of the rectangle", false, kRect.left - 1, 0},
      {"far left of the rectangle", false, kRect.left - 5000, 0},
      {"beyond the end of the text", false, kRect.left + width + 40, n},
      {"far beyond the rectangle", false, kRect.right + 5000, n},
      {"right of the rectangle", true, kRect.right + 1, n},
      {"far right of the rectangle", true, kRect.right + 5000, n},
      {"before the start of the text", true, kRect.right - width - 40, 0},
      {"far left of the rectangle", true, kRect.left - 5000, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Closest(kRect, kMixed, c.x, c.fromRight), c.expected)
        << (c.fromRight ? "right-aligned, " : "left-aligned, ") << c.what;
  }
}

TEST_F(ClosestCharTest, AShorterLengthLimitsTheCharactersLookedAt) {
  // Only the first 8 characters are the text: nothing after them is measured, and
  // right-aligned text ends with the 8th character at the right edge.
  const int eight = dc_.Width(kMixed.c_str(), 8);
  EXPECT_EQ(exports_.getClosestChar(dc_.get(), &kRect, kMixed.c_str(), 8, kRect.right, 0), 8);
  EXPECT_EQ(exports_.getClosestChar(dc_.get(), &kRect, kMixed.c_str(), 8, kRect.right, 1), 8);
  EXPECT_EQ(exports_.getClosestChar(dc_.get(), &kRect, kMixed.c_str(), 8, kRect.right - eight, 1),
            0);
  EXPECT_EQ(exports_.getClosestChar(dc_.get(), &kRect, kMixed.c_str(), 0, kRect.right, 0), 0);
  EXPECT_EQ(exports_.getClosestChar(dc_.get(), &kRect, kMixed.c_str(), 0, kRect.left, 1), 0);
}

TEST_F(ClosestCharTest, ANegativeLengthIsAnEmptyTextInBothAlignments) {
  for (const Layout& layout : kLayouts) {
    for (int length : {-1, -7, -100000}) {
      for (int x : {kRect.left - 20, kRect.left, kRect.left + 50, kRect.right, kRect.right + 20}) {
        EXPECT_EQ(exports_.getClosestChar(dc_.get(), &kRect, kMixed.c_str(), length, x,
                                          layout.fromRight ? 1 : 0),
                  0)
            << layout.name << ", length " << length << ", x " << x;
      }
    }
  }
}

TEST_F(ClosestCharTest, AnyNonZeroFlagMeansRightAligned) {
  const int x = kRect.right - dc_.Width("23", 2);
  const int n = static_cast<int>(kMixed.size());
  for (int flag : {1, 2, -1, 0x100}) {
    EXPECT_EQ(exports_.getClosestChar(dc_.get(), &kRect, kMixed.c_str(), n, x, flag), n - 2)
        << flag;
  }
}

TEST_F(ClosestCharTest, MissingInputsGivePositionZero) {
  const int n = static_cast<int>(kMixed.size());
  const char* text = kMixed.c_str();
  for (int fromRight : {0, 1}) {
    EXPECT_EQ(exports_.getClosestChar(nullptr, &kRect, text, n, kRect.left + 100, fromRight), 0);
    EXPECT_EQ(exports_.getClosestChar(dc_.get(), nullptr, text, n, kRect.left + 100, fromRight), 0);
    EXPECT_EQ(exports_.getClosestChar(dc_.get(), &kRect, nullptr, n, kRect.left + 100, fromRight),
              0);
    EXPECT_EQ(exports_.getClosestChar(nullptr, nullptr, nullptr, -1, 0, fromRight), 0);
    // A handle that names no device context gives nothing to measure with.
    HDC stale = CreateCompatibleDC(nullptr);
    DeleteDC(stale);
    EXPECT_EQ(exports_.getClosestChar(stale, &kRect, text, n, kRect.left + 100, fromRight), 0);
  }
}

TEST_F(ClosestCharTest, ThePositionFollowsTheFontSelectedInTheContext) {
  // The same point falls on different characters in a font twice as large.
  TestFont large(-32);
  FontDc largeDc(large.get());
  const std::string text = "WWWWWWWW";
  const int x = kRect.left + dc_.Width("WWWW", 4);
  EXPECT_EQ(exports_.getClosestChar(dc_.get(), &kRect, text.c_str(), 8, x, 0), 4);
  EXPECT_EQ(exports_.getClosestChar(largeDc.get(), &kRect, text.c_str(), 8, x, 0), 2);
}

}  // namespace
}  // namespace hedit_tests
