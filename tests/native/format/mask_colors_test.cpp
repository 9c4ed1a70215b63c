#include "quillet/format/mask_colors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillet {
namespace {

constexpr ColorRef kUnset = 0xDEADBEEF;

TEST(ParseColorSpecTest, WordsAreKnownByLengthAndFirstLetter) {
  const std::pair<const char*, ColorRef> words[] = {
      {"[red]", 0x0000FF},     {"[blue]", 0xFF0000},   {"[cyan]", 0xFFFF00},
      {"[dkcy]", 0x7F7F00},    {"[GRAY]", 0x7F7F7F},   {"[black]", 0x000000},
      {"[dkred]", 0x00007F},   {"[green]", 0x00FF00},  {"[lgray]", 0xC0C0C0},
      {"[olive]", 0x007F7F},   {"[white]", 0xFFFFFF},  {"[dkblue]", 0x7F0000},
      {"[purple]", 0x7F007F},  {"[Yellow]", 0x00FFFF}, {"[dkgreen]", 0x007F00},
      {"[magenta]", 0xFF00FF}, {"Rot", 0x0000FF},      {"[red blue]", 0x0000FF},
  };
  for (const auto& [group, expected] : words) {
    ColorRef color = kUnset;
    EXPECT_TRUE(ParseColorSpec(group, &color)) << group;
    EXPECT_EQ(color, expected) << group;
  }
  for (const char* group : {"[pink]", "[re]", "[]", "[ red]", "[r3d]", "[,5]", "[[red]", ""}) {
    ColorRef color = kUnset;
    EXPECT_FALSE(ParseColorSpec(group, &color)) << group;
    EXPECT_EQ(color, kUnset) << group;
  }
  EXPECT_FALSE(ParseColorSpec(nullptr, nullptr));
}

TEST(ParseColorSpecTest, NumbersAreRedGreenBlueModulo256) {
  const std::pair<const char*, ColorRef> cases[] = {
      {"[255,128]", 0x0080FF},
      {"1 2 3", 0x030201},
      {"[256,257,511]", 0xFF0100},
      {"[12;x34/56]", 0x38220C},
      {"[1,2,3,4]", 0x030201},
      {"[7", 0x000007},
      {"[99999999999999999999999]", 0x0000FF},  // the low byte of a number too big for int
  };
  for (const auto& [group, expected] : cases) {
    ColorRef color = kUnset;
    EXPECT_TRUE(ParseColorSpec(group, &color)) << group;
    EXPECT_EQ(color, expected) << group;
  }
}

struct Extracted {
  int result;
  std::string mask;
  ColorRef positive = kUnset, negative = kUnset;
};

Extracted Extract(const std::string& mask, bool withNegative = true) {
  // Exactly the mask's bytes, so the sanitizer sees any write past its end.
  std::vector<char> buffer(mask.begin(), mask.end());
  buffer.push_back('\0');
  Extracted out;
  out.result =
      ExtractMaskColors(&out.positive, withNegative ? &out.negative : nullptr, buffer.data());
  out.mask = buffer.data();
  return out;
}

TEST(ExtractMaskColorsTest, RemovesGroupsAndReportsTheFirstTwoSections) {
  const struct {
    const char* mask;
    int result;
    const char* rewritten;
    ColorRef positive, negative;
  } cases[] = {
      {"[red]#,##0;[blue]-#,##0", 3, "#,##0;-#,##0", 0x0000FF, 0xFF0000},
      {"[255,128]0", 1, "0", 0x0080FF, kUnset},
      {"#;-#;[red]0", 0, "#;-#;0", kUnset, kUnset},  // later sections: dropped unread
      {"[1;2;3]#;[nope]-#", 1, "#;-#", 0x030201, kUnset},
      {"[red]#[nope]", 0, "#", 0x0000FF, kUnset},  // a later group decides the result
      {"#;[red][blue]-#", 2, "#;-#", kUnset, 0xFF0000},
      {"#[red", 0, "#", kUnset, kUnset},  // never closed: dropped, not read
      // A backslash before ';' or '[' goes, but the character keeps its meaning.
      {"#\\;[blue]#", 2, "#;#", kUnset, 0xFF0000},
      {"\\[red]#", 1, "#", 0x0000FF, kUnset},
      {"\\a\\#\\", 0, "\\a\\#\\", kUnset, kUnset},
  };
  for (const auto& c : cases) {
    const Extracted e = Extract(c.mask);
    EXPECT_EQ(e.result, c.result) << c.mask;
    EXPECT_EQ(e.mask, c.rewritten) << c.mask;
    EXPECT_EQ(e.positive, c.positive) << c.mask;
    EXPECT_EQ(e.negative, c.negative) << c.mask;
  }
  const Extracted e = Extract("#;[blue]-#", false);
  EXPECT_EQ(e.result, 0);
  EXPECT_EQ(e.mask, "#;-#");
}

TEST(ExtractMaskColorsTest, LongGroupsAreReadOnlyAsFarAsTheBuffer) {
  Extracted e = Extract("[" + std::string(300, 'x') + "]#;[blue]-#");
  EXPECT_EQ(e.result, 2);
  EXPECT_EQ(e.mask, "#;-#");
  e = Extract("[red" + std::string(300, ' ') + "]0");
  EXPECT_EQ(e.result, 1);
  EXPECT_EQ(e.mask, "0");
}

TEST(ExtractMaskColorsTest, NullArgumentsLeaveTheMaskAlone) {
  char mask[] = "[red]0";
  ColorRef color = kUnset;
  EXPECT_EQ(ExtractMaskColors(nullptr, &color, mask), 0);
  EXPECT_STREQ(mask, "[red]0");
  EXPECT_EQ(ExtractMaskColors(&color, &color, nullptr), 0);
  EXPECT_EQ(color, kUnset);
}

}  // namespace
}  // namespace quillet
