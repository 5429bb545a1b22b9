#include "skin/KYRMenu.h"

#include "tests/framework/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

TEST(MenuBorder, FramesWhiteInsetAndEdgePolyline) {
  auto target = FilledBitmap(40, 30, clGray);
  const RECT wr{5, 5, 35, 25};
  PaintMenuWindowBorder(target->Canvas(), wr, clBlack, clBlue);
  // Border frame over (5, 6, 34, 24), white frame inside it.
  ExpectPixels(*target, {{5, 10, clBlack}, {33, 10, clBlack}, {6, 10, clWhite}, {32, 10, clWhite}, {10, 22, clWhite},
                         {10, 10, clGray}});
  // Edge polyline: bottom row 24 from x 5 to 33, right column 34 from 24 up to 5, top row 5.
  ExpectPixels(*target, {
      {5, 24, clBlue},
      {33, 24, clBlue},
      {34, 24, clBlue},
      {34, 6, clBlue},
      {35, 5, clBlue},  // the (R - 1, T) -> (R, T) step
      {6, 5, clBlue},
      {5, 5, clGray},  // the last end point is left out
      {36, 5, clGray},
  });
}

TEST(MenuBorder, DrawsOnTheScreenRoundAWindow) {
  HWND popup = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 60, 80, 40, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(popup, nullptr);
  UpdateWindow(popup);
  DrawMenuWindowBorder(popup, clRed, clLime);
  TWindowDC screen(nullptr);
  EXPECT_EQ(static_cast<TColor>(GetPixel(screen.Get(), 50, 70)), clRed);
  EXPECT_EQ(static_cast<TColor>(GetPixel(screen.Get(), 51, 70)), clWhite);
  EXPECT_EQ(static_cast<TColor>(GetPixel(screen.Get(), 70, 99)), clLime);
  DestroyWindow(popup);
}

TEST(MenuSeparator, LeavesRoomForTheSideBar) {
  for (bool barOnLeft : {true, false}) {
    auto target = FilledBitmap(60, 10, clWhite);
    DrawMenuSeparator(target->Canvas(), RECT{0, 3, 60, 9}, clNavy, 20, barOnLeft);
    const int first = barOnLeft ? 24 : 2;
    const int end = barOnLeft ? 58 : 36;
    EXPECT_EQ(PixelOf(*target, first, 5), clNavy) << barOnLeft;
    EXPECT_EQ(PixelOf(*target, first - 1, 5), clWhite) << barOnLeft;
    EXPECT_EQ(PixelOf(*target, end - 1, 5), clNavy) << barOnLeft;
    EXPECT_EQ(PixelOf(*target, end, 5), clWhite) << barOnLeft;
    EXPECT_EQ(PixelOf(*target, first, 4), clWhite) << barOnLeft;
  }
}

TEST(MenuColours, FrameAndFillSetTheBrushColour) {
  auto target = FilledBitmap(20, 20, clWhite);
  FrameRectColor(target->Canvas(), RECT{2, 2, 10, 10}, clRed);
  EXPECT_EQ(target->Canvas().Brush().Color(), clRed);
  EXPECT_EQ(PixelOf(*target, 2, 5), clRed);
  EXPECT_EQ(PixelOf(*target, 5, 5), clWhite);
  FillRectColor(target->Canvas(), RECT{12, 12, 15, 15}, clBtnFace);
  EXPECT_EQ(static_cast<COLORREF>(PixelOf(*target, 13, 13)), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PixelOf(*target, 15, 15), clWhite);
}

TEST(MenuFont, IsTheSystemMenuFontInMenuTextColour) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
  TFont font;
  font.SetName("Courier New");
  int changes = 0;
  font.OnChange = [&](TObject*) { ++changes; };
  GetMenuFont(font);
  EXPECT_GT(changes, 0);
  EXPECT_EQ(font.Name(), metrics.lfMenuFont.lfFaceName);
  EXPECT_EQ(font.Height(), metrics.lfMenuFont.lfHeight);
  EXPECT_EQ(font.Color(), clMenuText);
  EXPECT_EQ(font.Style().Contains(fsBold), metrics.lfMenuFont.lfWeight >= FW_BOLD);
  LOGFONTA lf{};
  GetObjectA(font.Handle(), sizeof lf, &lf);
  EXPECT_STREQ(lf.lfFaceName, metrics.lfMenuFont.lfFaceName);
}

TEST(MacMenuStrips, UseTheTopRowsOfTheBuiltInBitmaps) {
  TBitmap strip;
  strip.LoadFromResourceName(GetModuleHandleA(nullptr), "MACOS_MENU_BAR");
  ASSERT_GE(strip.Height(), 20);
  // The strips are one column wide; one target row per kept source row, so the vertical
  // stretch is exact and every target row shows its own source row.
  auto target = FilledBitmap(30, 20, clWhite);
  DrawMacMenuBar(target->Canvas(), RECT{0, 0, 30, 20});
  for (int y = 0; y < 20; ++y) EXPECT_EQ(PixelOf(*target, 29, y), PixelOf(strip, 0, y)) << y;
  auto small = FilledBitmap(30, 12, clWhite);
  DrawMacMenuBarSmall(small->Canvas(), RECT{0, 0, 30, 12});
  for (int y = 0; y < 12; ++y) EXPECT_EQ(PixelOf(*small, 0, y), PixelOf(strip, 0, y)) << y;

  TBitmap select;
  select.LoadFromResourceName(GetModuleHandleA(nullptr), "MACOS_MENU_SELECT");
  auto selected = FilledBitmap(30, 20, clWhite);
  DrawMacMenuSelection(selected->Canvas(), RECT{0, 0, 30, 20});
  for (int y = 0; y < 20; ++y) EXPECT_EQ(PixelOf(*selected, 15, y), PixelOf(select, 0, y)) << y;
}

TEST(OwnerDrawHandlers, ReachEveryItemOfTheTree) {
  TMenuItem root(nullptr);
  auto* a = new TMenuItem(&root);
  auto* b = new TMenuItem(&root);
  auto* b1 = new TMenuItem(&root);
  root.Add(a);
  root.Add(b);
  b->Add(b1);
  std::vector<TObject*> measured;
  std::vector<TObject*> drawn;
  SetMenuItemOwnerDrawHandlers(
      root, [&](TObject* sender, TCanvas&, int&, int&) { measured.push_back(sender); },
      [&](TObject* sender, TCanvas&, const RECT&, bool) { drawn.push_back(sender); });
  TBitmap scratch(4, 4);
  int w = 0, h = 0;
  for (TMenuItem* item : {&root, a, b, b1}) {
    ASSERT_TRUE(item->OnMeasureItem()) << item;
    ASSERT_TRUE(item->OnDrawItem()) << item;
    item->OnMeasureItem()(item, scratch.Canvas(), w, h);
    item->OnDrawItem()(item, scratch.Canvas(), RECT{}, false);
  }
  EXPECT_EQ(measured.size(), 4u);
  EXPECT_EQ(drawn.back(), b1);
}
