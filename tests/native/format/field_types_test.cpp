#include "quillet/format/field_types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace quillet {
namespace {

TEST(TypePairs, EachTypeAcceptsExactlyItsStorageCodes) {
  const std::pair<char, std::string> expected[] = {
      {'a', "DQTmqsu"},  {'k', "T"},           {'d', "Aadl"},        {'t', "Iit"},
      {'b', "Wbhilsuw"}, {'c', "MWbdfhilsuw"}, {'n', "MWbdfhilsuw"}, {'z', "df"},
      {'h', "h"},        {'m', "s"},           {'s', "s"},  // codes sorted by byte value
  };
  for (const auto& [type, storage] : expected) {
    std::string accepted;
    for (int code = 0; code < 256; ++code) {
      if (IsValidTypePair(type, static_cast<char>(code))) accepted += static_cast<char>(code);
    }
    EXPECT_EQ(accepted, storage) << type;
  }
  for (char unknown : {'x', 'A', '\0', '%'}) EXPECT_FALSE(IsKnownTypeCode(unknown)) << unknown;
}

TEST(ValueSizeTable, AnswersByFamilyIncludingPairsATypeRefuses) {
  const std::string numberCodes = "bhswiluWfdM";
  const int numberSizes[] = {1, 1, 2, 2, 4, 4, 4, 4, 4, 8, 8};
  for (char type : {'b', 'c', 'n', 'z'}) {
    for (std::size_t i = 0; i < numberCodes.size(); ++i) {
      EXPECT_EQ(ValueSize(type, numberCodes[i]), numberSizes[i]) << type << numberCodes[i];
    }
  }
  // 'k' accepts only 'T' but sizes as 'a'; 'h' is one byte whatever its storage code.
  const struct {
    char type, storage;
    int size;
  } rows[] = {
      {'d', 'A', 2},  {'d', 'a', 6},  {'d', 'd', 6},  {'d', 'l', 4},  {'t', 'I', 2},  {'t', 'i', 4},
      {'t', 't', 6},  {'a', 'D', 10}, {'a', 'Q', 8},  {'a', 'q', 4},  {'a', 'u', 8},  {'a', 'T', 4},
      {'a', 'm', 36}, {'a', 's', 16}, {'k', 'T', 4},  {'k', 'D', 10}, {'h', 'h', 1},  {'h', 'z', 1},
      {'m', 's', -1}, {'m', 'x', -1}, {'s', 's', -1}, {'z', 'x', 0},  {'b', 'D', 0},  {'d', 'D', 0},
      {'t', 'T', 0},  {'a', 'A', 0},  {'k', 'x', 0},  {'x', 'd', 0},  {'\0', 's', 0}, {'S', 's', 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ValueSize(row.type, row.storage), row.size) << row.type << row.storage;
  }
}

TEST(ParseTypeSpecTest, ReadsOneOrTwoValidPairs) {
  const struct {
    const char* text;
    std::ptrdiff_t consumed;
    const char* codes;  // type, storage, type2, storage2; '0' for NUL
  } cases[] = {
      {"%nd", 3, "nd00"},     {"%nd|0;9|#", 3, "nd00"}, {"%nd%tt", 6, "ndtt"},
      {"%kT%aDx", 6, "kTaD"}, {"%nd%tx", 3, "nd00"},    {"%nd%t", 3, "nd00"},
      {"%nd%%tt", 3, "nd00"}, {"%nx", 0, "ss00"},       {"%kD", 0, "ss00"},
      {"%Nd", 0, "ss00"},     {"%n", 0, "ss00"},        {"", 0, "ss00"},
  };
  for (const auto& c : cases) {
    char out[4] = {'?', '?', '?', '?'};
    const char* rest = ParseTypeSpec(c.text, &out[0], &out[1], &out[2], &out[3]);
    for (char& code : out) code = code == '\0' ? '0' : code;
    EXPECT_EQ(rest - c.text, c.consumed) << c.text;
    EXPECT_EQ(std::string(out, 4), c.codes) << c.text;
  }
}

TEST(ParseTypeSpecTest, NullArgumentsAreAllowed) {
  const char text[] = "%nd%tt";
  EXPECT_EQ(ParseTypeSpec(text, nullptr, nullptr, nullptr, nullptr), text + 6);
  char type = 0, storage2 = 0;
  EXPECT_EQ(ParseTypeSpec(text, &type, nullptr, nullptr, &storage2), text + 6);
  EXPECT_EQ(std::string({type, storage2}), "nt");

  char out[4] = {'?', '?', '?', '?'};
  const char* none = nullptr;
  EXPECT_EQ(ParseTypeSpec(none, &out[0], &out[1], &out[2], &out[3]), nullptr);
  EXPECT_EQ(std::string(out, 4), std::string("ss\0\0", 4));
}

TEST(CopyValueTest, FixedSizesMoveExactlyTheirBytesEvenWhenOverlapping) {
  unsigned char buffer[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(CopyValue(buffer + 1, buffer, 'a', 'D', 0), 10);  // capacity is for text only
  const unsigned char forward[12] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12};
  EXPECT_EQ(std::memcmp(buffer, forward, 12), 0);
  EXPECT_EQ(CopyValue(buffer, buffer + 2, 'd', 'a', 0), 6);
  const unsigned char backward[12] = {2, 3, 4, 5, 6, 7, 6, 7, 8, 9, 10, 12};
  EXPECT_EQ(std::memcmp(buffer, backward, 12), 0);

  EXPECT_EQ(CopyValue(buffer, buffer + 1, 'x', 'd', 12), 0);
  EXPECT_EQ(CopyValue(buffer, nullptr, 'a', 'D', 12), 0);
  EXPECT_EQ(CopyValue(nullptr, buffer, 'a', 'D', 12), 0);
  EXPECT_EQ(std::memcmp(buffer, backward, 12), 0);
}

TEST(CopyValueTest, TextStaysWithinCapacity) {
  for (const auto& [capacity, result] : std::vector<std::pair<int, std::string>>{
           {1, ""}, {2, "h"}, {5, "hell"}, {6, "hello"}, {9, "hello"}}) {
    // Exactly capacity bytes, so the sanitizer sees any write beyond them.
    std::vector<char> destination(static_cast<std::size_t>(capacity), 'X');
    EXPECT_EQ(CopyValue(destination.data(), "hello", 's', 's', capacity),
              static_cast<int>(result.size()));
    EXPECT_EQ(destination.data(), result);
  }
  char text[16] = "abcdef";
  EXPECT_EQ(CopyValue(text, "hello", 'm', 's', 0), 0);
  EXPECT_STREQ(text, "abcdef");
  EXPECT_EQ(CopyValue(text + 2, text, 's', 's', -1), 6);
  EXPECT_STREQ(text, "ababcdef");
  EXPECT_EQ(CopyValue(text, text + 3, 's', 's', 4), 3);
  EXPECT_STREQ(text, "bcd");
}

TEST(CompareValuesTest, ComparesTheValueSizeOrTheText) {
  unsigned char a[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  unsigned char b[8] = {1, 2, 3, 4, 5, 0, 7, 8};
  EXPECT_EQ(CompareValues(a, b, 'd', 'a'), 1);  // the unused bytes of 'a' dates count
  EXPECT_EQ(CompareValues(a, b, 'd', 'l'), 0);  // byte 5 lies beyond a 4-byte value
  EXPECT_EQ(CompareValues(a, b, 'x', 'd'), 0);
  EXPECT_EQ(CompareValues(a, nullptr, 'c', 'd'), 0);
  EXPECT_EQ(CompareValues(nullptr, b, 'c', 'd'), 0);
  EXPECT_EQ(CompareValues("abc", "abc", 's', 's'), 0);
  EXPECT_EQ(CompareValues("abc", "abcd", 'm', 's'), 1);
  EXPECT_EQ(CompareValues("abc", "abC", 's', 's'), 1);
}

}  // namespace
}  // namespace quillet
