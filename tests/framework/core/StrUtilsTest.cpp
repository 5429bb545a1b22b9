// The shared text and byte helpers: the edge cases their callers (string lists, memos, theme
// files and the theme tool) rely on.
#include "framework/core/StrUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitLines, EndsAtCrLfOrCrLfAndKeepsEmptyLinesInside) {
  const struct {
    const char* Text;
    std::vector<std::string> Lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\r", {"a", ""}},  // LF then a lone CR: two ends
      {"\r\n", {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.Text), c.Lines) << '"' << c.Text << '"';
}

TEST(TryStrToInt32, TakesOnlyAWholeDecimalInRange) {
  int32_t value = 7;
  EXPECT_TRUE(TryStrToInt32("-2147483648", value));
  EXPECT_EQ(value, INT32_MIN);
  for (const char* bad : {"", "-", "+5", "12a", " 1", "2147483648", "0x10"}) {
    value = 7;
    EXPECT_FALSE(TryStrToInt32(bad, value)) << bad;
    EXPECT_EQ(value, 7) << bad;
  }
}

TEST(TryParseNumber, DecimalAndBothHexFormsWithinSixtyFourBits) {
  const struct {
    const char* Text;
    int64_t Value;
  } good[] = {{"42", 42}, {" -7 ", -7}, {"+3", 3}, {"$FF", 255}, {"-$10", -16}, {"0x8000000F", 0x8000000F},
              {"$7FFFFFFFFFFFFFFF", INT64_MAX}, {"9223372036854775807", INT64_MAX}};
  for (const auto& c : good) {
    int64_t value = 0;
    EXPECT_TRUE(TryParseNumber(c.Text, value)) << c.Text;
    EXPECT_EQ(value, c.Value) << c.Text;
  }
  for (const char* bad : {"", "$", "0x", "-", "1.5", "$1G", "12x", "$10000000000000000", "$8000000000000000",
                          "99999999999999999999"}) {
    int64_t value = 0;
    EXPECT_FALSE(TryParseNumber(bad, value)) << bad;
  }
}

TEST(TextHelpers, TrimLowerCaseAndSameTextAreAsciiOnly) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(LowerCase("MixED\xC4"), "mixed\xC4");  // a byte above 127 is left alone
  EXPECT_TRUE(SameText("UIStyle", "uistyle"));
  EXPECT_FALSE(SameText("UIStyle", "UIStyles"));
}

TEST(LittleEndian, LoadsAndAppends) {
  std::vector<uint8_t> bytes;
  AppendUInt32LE(bytes, 0xFA123456u);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0x56, 0x34, 0x12, 0xFA}));
  EXPECT_EQ(LoadUInt32LE(bytes.data()), 0xFA123456u);
  EXPECT_EQ(LoadUInt16LE(bytes.data() + 2), 0xFA12u);
}

}  // namespace
