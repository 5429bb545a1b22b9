#include <gtest/gtest.h>

#include "skin/KYRThemeFile.h"
#include "skin/KYRThemes.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

TEST(TkyrFileThemeMgr, WithoutAReaderTheGettersAnswerZeroAndFalse) {
  TkyrFileThemeMgr mgr;
  EXPECT_EQ(mgr.Reader(), nullptr);
  EXPECT_EQ(mgr.GetColor(KYR_THEME_FORM_BACKGROUND_COLOR), 0);
  EXPECT_EQ(mgr.GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 0);
  EXPECT_FALSE(mgr.GetBool(KYR_THEME_BUTTON_TRANSPARENT_BOOL));
}

TEST(TkyrFileThemeMgr, ElementsAreLookedUpByTheirKeys) {
  TempDir dir;
  WriteFileBytes(dir / "a.thm", ThemeFileBytes()
                                    .Int("FormBackgroundColor", 0x123456)
                                    .Int("formminwidthint", 200)
                                    .Bool("ButtonTransparentBool", 1)
                                    .Build());
  TkyrFileThemeMgr mgr;
  ASSERT_TRUE(mgr.LoadFromFile(dir / "a.thm"));
  EXPECT_EQ(mgr.GetColor(KYR_THEME_FORM_BACKGROUND_COLOR), 0x123456);
  EXPECT_EQ(mgr.GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 200);
  EXPECT_TRUE(mgr.GetBool(KYR_THEME_BUTTON_TRANSPARENT_BOOL));
  // Absent from the file: -1 now that there is a reader.
  EXPECT_EQ(mgr.GetColor(KYR_THEME_MENU_BAR_COLOR), -1);
  EXPECT_EQ(mgr.GetInt(KYR_THEME_FORM_BORDER_WIDTH_INT), -1);
  EXPECT_FALSE(mgr.GetBool(KYR_THEME_TITLE_BAR_BUTTON_TRANSPARENT_BOOL));
}

TEST(TkyrFileThemeMgr, AMissingFileKeepsTheReaderAndABadOneDropsIt) {
  TempDir dir;
  WriteFileBytes(dir / "a.thm", ThemeFileBytes().Int("FormMinWidthInt", 1).Build());
  WriteFileBytes(dir / "b.thm", ThemeFileBytes().Int("FormMinWidthInt", 2).Build());
  Bytes bad = ThemeFileBytes().Int("FormMinWidthInt", 3).Build();
  ThemeFileBytes::Put32(bad, 12, 99);
  WriteFileBytes(dir / "bad.thm", bad);
  TkyrFileThemeMgr mgr;
  ASSERT_TRUE(mgr.LoadFromFile(dir / "a.thm"));
  const TkyrThemeFileReader* first = mgr.Reader();
  EXPECT_FALSE(mgr.LoadFromFile(dir / "missing.thm"));
  EXPECT_EQ(mgr.Reader(), first);
  EXPECT_EQ(mgr.GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 1);
  ASSERT_TRUE(mgr.LoadFromFile(dir / "b.thm"));
  EXPECT_EQ(mgr.GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 2);
  EXPECT_THROW(mgr.LoadFromFile(dir / "bad.thm"), EkyrThemeFileError);
  EXPECT_EQ(mgr.Reader(), nullptr);
  EXPECT_EQ(mgr.GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 0);
}

}  // namespace
