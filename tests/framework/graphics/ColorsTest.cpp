#include "framework/graphics/Graphics.h"

#include <gtest/gtest.h>

// Every name a stored description may use, with its value as the house colour constants define
// it; each row can be checked against the $00BBGGRR rule by hand.
struct TColorRow {
  const char* name;
  uint32_t value;
};

const TColorRow colorRows[] = {
    {"clBlack", 0x000000},     {"clMaroon", 0x000080},    {"clGreen", 0x008000},
    {"clOlive", 0x008080},     {"clNavy", 0x800000},      {"clPurple", 0x800080},
    {"clTeal", 0x808000},      {"clGray", 0x808080},      {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},       {"clLime", 0x00FF00},      {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},      {"clFuchsia", 0xFF00FF},   {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},     {"clNone", 0x1FFFFFFF},    {"clDefault", 0x20000000},
    {"clScrollBar", 0x80000000}, {"clBackground", 0x80000001}, {"clActiveCaption", 0x80000002},
    {"clInactiveCaption", 0x80000003}, {"clMenu", 0x80000004}, {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006}, {"clMenuText", 0x80000007}, {"clWindowText", 0x80000008},
    {"clCaptionText", 0x80000009}, {"clActiveBorder", 0x8000000A}, {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C}, {"clHighlight", 0x8000000D}, {"clHighlightText", 0x8000000E},
    {"clBtnFace", 0x8000000F}, {"clBtnShadow", 0x80000010}, {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012}, {"clInactiveCaptionText", 0x80000013}, {"clBtnHighlight", 0x80000014},
    {"cl3DDkShadow", 0x80000015}, {"cl3DLight", 0x80000016}, {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},
};

TEST(Colors, IdentsConvertBothWays) {
  for (const TColorRow& row : colorRows) {
    TColor color = 0;
    ASSERT_TRUE(IdentToColor(row.name, color)) << row.name;
    EXPECT_EQ(static_cast<uint32_t>(color), row.value) << row.name;
    std::string ident;
    ASSERT_TRUE(ColorToIdent(static_cast<TColor>(row.value), ident)) << row.name;
    EXPECT_EQ(ident, row.name);
  }
}

TEST(Colors, IdentLookupIgnoresCaseAndRejectsUnknownNames) {
  TColor color = 0;
  EXPECT_TRUE(IdentToColor("CLBTNFACE", color));
  EXPECT_EQ(color, clBtnFace);
  color = 1234;
  EXPECT_FALSE(IdentToColor("clTealish", color));
  EXPECT_FALSE(IdentToColor("", color));
  EXPECT_EQ(color, 1234);
  std::string ident = "unchanged";
  EXPECT_FALSE(ColorToIdent(0x123456, ident));
  EXPECT_EQ(ident, "unchanged");
}

TEST(Colors, StringsAcceptNamesAndNumbers) {
  EXPECT_EQ(StringToColor("clTeal"), clTeal);
  EXPECT_EQ(StringToColor("$00FF8000"), 0x00FF8000);
  EXPECT_EQ(StringToColor("0x8000000F"), clBtnFace);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(StringToColor("-2147483633"), clBtnFace);
  EXPECT_EQ(ColorToString(clTeal), "clTeal");
  EXPECT_EQ(ColorToString(0x00123456), "$00123456");
  EXPECT_EQ(StringToColor(ColorToString(0x00ABCDEF)), 0x00ABCDEF);
  for (const char* bad : {"", "$", "teal", "$1G", "12x", "$1FFFFFFFF", "0x"})
    EXPECT_THROW(StringToColor(bad), EConvertError) << bad;
}

TEST(Colors, SystemColoursFollowGetSysColor) {
  for (int index = COLOR_SCROLLBAR; index <= COLOR_INFOBK; ++index)
    EXPECT_EQ(ColorToRGB(SystemColor(index)), GetSysColor(index)) << index;
  EXPECT_EQ(ColorToRGB(clTeal), RGB(0, 128, 128));
  EXPECT_EQ(ColorToRGB(clNone), RGB(255, 255, 255));
}

TEST(Colors, SystemColoursAreReadWhenConverted) {
  // Changing a system colour must show in the next conversion, not in a cached table.
  const int index = COLOR_INFOBK;
  const COLORREF saved = GetSysColor(index);
  const COLORREF changed = saved == RGB(1, 2, 3) ? RGB(4, 5, 6) : RGB(1, 2, 3);
  ASSERT_TRUE(SetSysColors(1, &index, &changed));
  EXPECT_EQ(ColorToRGB(clInfoBk), changed);
  SetSysColors(1, &index, &saved);
  EXPECT_EQ(ColorToRGB(clInfoBk), saved);
}

TEST(Colors, PropertyMechanismReadsColourNames) {
  int64_t value = 0;
  EXPECT_TRUE(IdentToInteger("TColor", "clTeal", value));
  EXPECT_EQ(value, clTeal);
  std::string ident;
  EXPECT_TRUE(IntegerToIdent("TColor", clHighlight, ident));
  EXPECT_EQ(ident, "clHighlight");
  EXPECT_TRUE(IdentToInteger("TFontCharset", "DEFAULT_CHARSET", value));
  EXPECT_EQ(value, DEFAULT_CHARSET);
}
