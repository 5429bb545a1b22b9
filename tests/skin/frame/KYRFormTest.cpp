// The skinned window frame: geometry, region and painter with plain numbers, then on a
// real captionless host window that answers WM_NCCALCSIZE and WM_NCPAINT with them.
#include "skin/frame/KYRForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "framework/core/BmpCodec.h"
#include "skin/KYRStyled.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRThemeFileTestSupport.h"
#include "tests/skin/frame/KYRFrameTestSupport.h"

using namespace frametest;

namespace {

constexpr TColor kBorder = clBlack;
constexpr TColor kFill = 0x00C0C0;   // F
constexpr TColor kMenu = clTeal;
constexpr TColor kHost = clPurple;

// Pictures of a three-section title bar: left and right 20 x 12 (tags 1 and 2), client 5 x 12 (3).
struct TTitle {
  std::unique_ptr<TBitmap> left = CodedBitmap(20, 12, 1), right = CodedBitmap(20, 12, 2),
                           client = CodedBitmap(5, 12, 3);
  TkyrTitlePictures Pictures() const { return {left.get(), right.get(), client.get()}; }
};

TkyrFrameLook BuiltinLook(const TTitle& title, int borderWidth) {
  TkyrFrameLook look;
  look.BorderWidth = borderWidth;
  look.BorderColor = kBorder;
  look.FillColor = kFill;
  look.TopHeight = 12;
  look.Title = title.Pictures();
  look.HostColor = kHost;
  return look;
}

// LOOK painted onto a 100 x 60 window image that starts white.
std::unique_ptr<TBitmap> Painted(const TkyrFrameLook& look, int w = 100, int h = 60) {
  auto bitmap = FilledBitmap(w, h, clWhite);
  PaintFrameTo(bitmap->Canvas(), w, h, look);
  return bitmap;
}

// A theme file with coded border images: FormLeftBorderImage 4 x 20 (tag 40) and a 30 x 6
// FormBottomBorderImage of three thirds, red, green and blue.
std::string BorderThemeFile(const TempDir& dir) {
  TBmpImage left = MakeBmpImage(4, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 4; ++x) left.Pixel(x, y) = uint32_t(x * 10) << 16 | uint32_t(y * 10) << 8 | 40;
  TBmpImage bottom = MakeBmpImage(30, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 30; ++x) bottom.Pixel(x, y) = x < 10 ? 0xFF0000 : x < 20 ? 0x00FF00 : 0x0000FF;
  const std::string path = dir / "borders.thm";
  WriteFileBytes(path, ThemeFileBytes()
                           .Image("FormLeftBorderImage", EncodeBmp(left, 24))
                           .Image("FormBottomBorderImage", EncodeBmp(bottom, 24))
                           .Build());
  return path;
}

// The theme component and the borders loaded from it.
struct TBorderTheme {
  TempDir dir;
  TkyrFileTheme theme{nullptr};
  TkyrFrameBorders borders;
  TBorderTheme() {
    theme.SetThemeFile(BorderThemeFile(dir));
    borders.Load(TkyrStyleSource(&theme, FromThemeFile));
  }
};

}  // namespace

// ---- non-client geometry ----

TEST(FrameGeometry, ClientInsetsInBothModes) {
  const struct {
    int side, bottom;
    TkyrFrameInsets insets;
  } rows[] = {
      {0, 0, {3, 3, 3, 1}},    // built-in: the 3-pixel frame, 1 pixel at the bottom
      {0, 9, {3, 3, 3, 1}},    // built-in mode has no bottom image
      {-1, -1, {3, 3, 3, 1}},  // missing theme values
      {4, 0, {5, 3, 5, 1}},    // bitmap: SW + 1 at the sides
      {4, 6, {5, 3, 5, 7}},    // and BB + 1 at the bottom
      {4, -1, {5, 3, 5, 1}},
  };
  for (const auto& r : rows) EXPECT_EQ(FrameInsets(r.side, r.bottom), r.insets) << r.side << "," << r.bottom;
  const RECT tiny = FrameClientRect(RECT{10, 10, 14, 12}, 4, 6);
  EXPECT_LE(tiny.left, tiny.right);
  EXPECT_LE(tiny.top, tiny.bottom);
}

TEST(FrameGeometry, NCCalcSizeIsAnsweredInFullForBothWParams) {
  WINDOWPOS pos{nullptr, nullptr, 100, 50, 200, 150, 0};
  NCCALCSIZE_PARAMS params{{{100, 50, 300, 200}, {0, 0, 0, 0}, {7, 7, 9, 9}}, &pos};
  EXPECT_EQ(FrameNCCalcSize(TRUE, reinterpret_cast<LPARAM>(&params), 0, 0), WVR_VALIDRECTS);
  EXPECT_TRUE(SameRect(params.rgrc[0], RECT{103, 53, 297, 199}));
  EXPECT_TRUE(SameRect(params.rgrc[1], params.rgrc[0]));
  EXPECT_TRUE(SameRect(params.rgrc[2], RECT{7, 7, 9, 9}));  // the old client area stays the source
  RECT window{100, 50, 300, 200};
  EXPECT_EQ(FrameNCCalcSize(FALSE, reinterpret_cast<LPARAM>(&window), 4, 6), 0);
  EXPECT_TRUE(SameRect(window, RECT{105, 53, 295, 193}));
}

TEST(FrameGeometry, MaximisedBoundsOnTheWorkArea) {
  const struct {
    RECT work, bounds;
  } rows[] = {
      {{0, 0, 1280, 994}, {-4, -4, 1284, 993}},
      {{100, 30, 900, 600}, {96, 26, 904, 599}},
  };
  for (const auto& r : rows) EXPECT_TRUE(SameRect(MaximizedFrameBounds(r.work), r.bounds));
}

TEST(FrameGeometry, ARealHostTakesTheOffsetsOfEitherMode) {
  TBorderTheme theme;
  ASSERT_TRUE(theme.borders.BitmapMode());
  TkyrFrameBorders none;
  const struct {
    const TkyrFrameBorders* borders;
    RECT client;    // in window coordinates of a 200 x 120 window
    LRESULT side;   // the answer to the side-border query
  } rows[] = {
      {&none, {3, 3, 197, 119}, 0},
      {&theme.borders, {5, 3, 195, 113}, 4},
  };
  for (const auto& r : rows) {
    TFrameHost host(200, 120, r.borders);
    EXPECT_TRUE(SameRect(host.ClientInWindow(), r.client)) << r.side;
    EXPECT_EQ(SendMessageA(host.Handle(), KYR_MSG_SIDE_BORDER_WIDTH, 0, 0), r.side);
  }
}

// ---- the file theme's border images ----

TEST(FrameBorders, BitmapModeComesFromAFileThemesLeftBorderImage) {
  TBorderTheme theme;
  const TkyrFrameBorders& b = theme.borders;
  EXPECT_EQ(b.SideWidth(), 4);
  EXPECT_EQ(b.BottomHeight(), 6);
  ASSERT_NE(b.Right(), nullptr);
  EXPECT_EQ(PixelOf(*b.Right(), 3, 19), PixelOf(*b.Left(), 0, 0));  // rotated by 180 degrees
  EXPECT_EQ(PixelOf(*b.Right(), 0, 0), PixelOf(*b.Left(), 3, 19));

  TkyrFrameBorders builtin;
  builtin.Load(TkyrStyleSource(&theme.theme, MacOS));  // a built-in style has no border images
  EXPECT_FALSE(builtin.BitmapMode());
  EXPECT_EQ(builtin.SideWidth(), 0);
  EXPECT_EQ(builtin.BottomHeight(), 0);

  TempDir dir;  // a bottom image alone leaves built-in mode, which never draws it
  TBmpImage bottom = MakeBmpImage(30, 6, 0xFF0000);
  WriteFileBytes(dir / "b.thm", ThemeFileBytes().Image("FormBottomBorderImage", EncodeBmp(bottom, 24)).Build());
  TkyrFileTheme bottomOnly(nullptr);
  bottomOnly.SetThemeFile(dir / "b.thm");
  TkyrFrameBorders b2;
  b2.Load(TkyrStyleSource(&bottomOnly, FromThemeFile));
  EXPECT_FALSE(b2.BitmapMode());
  EXPECT_EQ(b2.BottomHeight(), 0);
}

// ---- the window region ----

TEST(FrameRegion, ShapeProbes) {
  const struct {
    int w, h, r, rb;
    POINT p;
    bool inside;
  } rows[] = {
      {100, 100, 10, 0, {0, 0}, false},   // upper half: rounded top corners
      {100, 100, 10, 0, {99, 0}, false},
      {100, 100, 10, 0, {5, 5}, true},
      {100, 100, 10, 0, {50, 0}, true},
      {100, 100, 10, 0, {0, 49}, true},   // its lower corners squared off
      {100, 100, 10, 0, {99, 50}, true},
      {100, 100, 10, 0, {0, 99}, true},   // lower half square with RB 0
      {100, 100, 10, 0, {99, 99}, true},
      {100, 100, 10, 0, {100, 50}, false},
      {100, 100, 10, 10, {0, 99}, false},  // RB rounds the bottom
      {100, 100, 10, 10, {99, 99}, false},
      {100, 100, 10, 10, {0, 50}, true},
      {100, 100, 10, -1, {0, 99}, true},  // RB -1 counts as 0
      {100, 100, -1, 0, {0, 0}, true},    // and so does a missing R
      {100, 100, 0, 0, {0, 0}, true},
      {100, 50, 13, 0, {0, 0}, false},    // a window of the least height keeps its rounding
      {100, 50, 13, 0, {99, 0}, false},
      {100, 50, 13, 0, {0, 24}, true},
      {100, 50, 13, 13, {0, 49}, false},
      {100, 50, 13, 13, {99, 49}, false},
      {100, 50, 13, 13, {0, 25}, true},
  };
  for (const auto& r : rows) {
    TRegionHandle region = FrameRegion(r.w, r.h, r.r, r.rb);
    EXPECT_EQ(PtInRegion(region.Get(), r.p.x, r.p.y) != 0, r.inside)
        << r.w << "x" << r.h << " R " << r.r << " RB " << r.rb << " at " << r.p.x << "," << r.p.y;
  }
}

// Corners from a theme file may be any 32-bit value: one beyond the window's size rounds as much
// as one of the window's size, and doubling it never overflows.
TEST(FrameRegion, HugeCornersAreBoundedByTheWindow) {
  const struct {
    int r, rb;
  } rows[] = {{INT_MAX, 0}, {0, INT_MAX}, {INT_MAX, INT_MAX}, {0x40000000, 0x40000001}, {1 << 20, 101}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.r) + " " + std::to_string(row.rb));
    TRegionHandle huge = FrameRegion(100, 60, row.r, row.rb);
    TRegionHandle bounded = FrameRegion(100, 60, std::min(row.r, 101), std::min(row.rb, 101));
    EXPECT_TRUE(EqualRgn(huge.Get(), bounded.Get()));
    RECT box{};
    EXPECT_NE(GetRgnBox(huge.Get(), &box), NULLREGION);
    EXPECT_TRUE(PtInRegion(huge.Get(), 50, 30));  // the middle is always the window's
  }
}

TEST(FrameRegion, TheHostTakesItAndAHiddenTitleBarSquaresAllCorners) {
  TFrameHost host(100, 100);
  THandleBaseline baseline;
  const struct {
    bool titleBarVisible;
    bool cornersInside;
  } rows[] = {{true, false}, {false, true}};
  for (const auto& r : rows) {
    ASSERT_TRUE(UpdateWindowRegion(host.Handle(), 10, 10, r.titleBarVisible));
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(host.Handle(), region.Get()), ERROR);
    for (POINT p : {POINT{0, 0}, POINT{99, 0}, POINT{0, 99}, POINT{99, 99}})
      EXPECT_EQ(PtInRegion(region.Get(), p.x, p.y) != 0, r.cornersInside) << r.titleBarVisible;
    EXPECT_TRUE(PtInRegion(region.Get(), 50, 50));
  }
  baseline.ExpectUnchanged();  // the window owns its region; every temporary one is gone
  EXPECT_FALSE(UpdateWindowRegion(nullptr, 10, 10, true));
  baseline.ExpectUnchanged();
}

// ---- the painter, built-in mode (100 x 60 window) ----

TEST(FramePainter, BuiltinModeProbes) {
  TTitle title;
  struct TRow {
    const char* name;
    TkyrFrameLook look;
    std::initializer_list<TPixelProbe> probes;
  };
  TkyrFrameLook hidden = BuiltinLook(title, 1);
  hidden.TitleBarVisible = false;
  TkyrFrameLook menu = BuiltinLook(title, 1);
  menu.MenuBar = {true, true, 15, 10, kMenu};
  TkyrFrameLook hiddenMenu = menu;
  hiddenMenu.MenuBar.Visible = false;
  TkyrFrameLook twoSections = BuiltinLook(title, 1);
  twoSections.Title.Client = nullptr;
  const TRow rows[] = {
      {"BW 1", BuiltinLook(title, 1),
       {{0, 30, kBorder}, {99, 30, kBorder}, {50, 59, kBorder},                    // left, right, bottom edges
        {1, 30, kFill}, {2, 30, kFill}, {97, 30, kFill}, {98, 30, kFill}, {50, 57, kFill},
        {1, 5, Coded(0, 5, 1)}, {2, 5, Coded(1, 5, 1)},                            // left picture continued
        {0, 1, kBorder}, {2, 1, Coded(2, 1, 1)}, {19, 2, Coded(19, 2, 1)},         // the top strip
        {97, 5, Coded(18, 5, 2)}, {98, 5, Coded(19, 5, 2)}, {96, 1, Coded(16, 1, 2)},  // right picture
        {50, 3, kFill}, {2, 12, kFill}}},                                          // below the pictures
      {"BW 3", BuiltinLook(title, 3),
       {{2, 30, kBorder}, {97, 30, kBorder}, {50, 57, kBorder}, {2, 5, kBorder}, {97, 5, kBorder},
        {2, 1, Coded(2, 1, 1)}, {96, 1, Coded(16, 1, 2)}}},
      {"BW 4: no continuation, the top band filled",
       BuiltinLook(title, 4),
       {{3, 30, kBorder}, {96, 30, kBorder}, {3, 1, kBorder}, {4, 1, kFill}, {50, 0, kFill}, {50, 2, kFill},
        {95, 1, kFill}}},
      {"BW -1 counts as 0", BuiltinLook(title, -1), {{0, 30, kFill}, {99, 30, kFill}, {0, 5, Coded(0, 5, 1)}}},
      {"hidden title bar", hidden, {{50, 0, kBorder}, {50, 1, kFill}, {50, 2, kFill}, {1, 5, kFill}, {2, 1, kFill}}},
      {"menu bar", menu, {{1, 15, kMenu}, {2, 24, kMenu}, {97, 20, kMenu}, {1, 25, kFill}, {1, 14, kFill}}},
      {"hidden menu bar", hiddenMenu, {{1, 20, kFill}}},
      {"not three sections: the top band filled", twoSections, {{2, 1, kFill}, {50, 1, kFill}, {1, 5, kFill}}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectPixels(*Painted(row.look), row.probes);
  }
}

// Whatever the look, every pixel outside the client area is painted (the image starts white).
TEST(FramePainter, NoFramePixelIsLeftUnpainted) {
  TTitle title;
  TBorderTheme theme;
  struct TRow {
    const char* name;
    int borderWidth;
    bool visible, pictures;
    const TkyrFrameBorders* borders;
  };
  const TRow rows[] = {
      {"BW 4", 4, true, true, nullptr},          {"BW 5", 5, true, true, nullptr},
      {"BW 8", 8, true, true, nullptr},          {"BW 1", 1, true, true, nullptr},
      {"BW 4 hidden bar", 4, false, true, nullptr}, {"BW 1 no pictures", 1, true, false, nullptr},
      {"bitmap", 1, true, true, &theme.borders}, {"bitmap, no pictures", 1, true, false, &theme.borders},
  };
  for (const TRow& r : rows) {
    TkyrFrameLook look = BuiltinLook(title, r.borderWidth);
    look.TitleBarVisible = r.visible;
    if (!r.pictures) look.Title = {};
    look.Borders = r.borders;
    auto bitmap = Painted(look);
    const RECT client = FrameClientRect(RECT{0, 0, 100, 60}, r.borders ? r.borders->SideWidth() : 0,
                                        r.borders ? r.borders->BottomHeight() : 0);
    int unpainted = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) unpainted += !PtInRect(&client, POINT{x, y}) && PixelOf(*bitmap, x, y) == clWhite;
    EXPECT_EQ(unpainted, 0) << r.name;
  }
}

TEST(FramePainter, TheClientPictureIsStretchedBetweenTheEnds) {
  TTitle title;
  auto bitmap = Painted(BuiltinLook(title, 1));
  for (int x = 20; x < 80; x += 7) {
    EXPECT_EQ(TagOf(PixelOf(*bitmap, x, 1)), 3) << x;
    EXPECT_EQ(CodedY(PixelOf(*bitmap, x, 1)), 1) << x;
  }
  EXPECT_EQ(CodedX(PixelOf(*bitmap, 20, 0)), 0);
  EXPECT_EQ(CodedX(PixelOf(*bitmap, 79, 0)), 4);
}

// Quarter arcs in the border colour: counted as border-coloured pixels inside each top corner.
TEST(FramePainter, CornerArcsOnlyWithBorderWidth1AndCorner11) {
  TTitle title;
  const struct {
    int borderWidth, corner;
    bool designing, arcs;
  } rows[] = {
      {1, 11, false, true}, {1, 10, false, false}, {1, 12, false, false},
      {2, 11, false, false}, {0, 11, false, false}, {1, 11, true, false},
  };
  for (const auto& r : rows) {
    TkyrFrameLook look = BuiltinLook(title, r.borderWidth);
    look.RoundCorner = r.corner;
    look.Designing = r.designing;
    EXPECT_EQ(FrameDrawsCornerArcs(look), r.arcs);
    auto bitmap = Painted(look);
    int left = 0, right = 0;
    for (int y = 0; y < 11; ++y)
      for (int x = 3; x < 11; ++x) {
        left += PixelOf(*bitmap, x, y) == kBorder;
        right += PixelOf(*bitmap, 99 - x, y) == kBorder;
      }
    EXPECT_EQ(left > 0, r.arcs) << r.borderWidth << " " << r.corner << " " << r.designing;
    EXPECT_EQ(right > 0, r.arcs) << r.borderWidth << " " << r.corner << " " << r.designing;
  }
}

// The arcs where they belong: the two Win32 arcs with the corner value 11, drawn by GDI with
// their own bounding boxes, start and end points onto a blank bitmap, are exactly the
// border-coloured pixels of the painted frame in the two top corners (outside the left and right
// border columns, which are border-coloured anyway).
TEST(FramePainter, CornerArcsAtTheirWin32Coordinates) {
  TTitle title;
  TkyrFrameLook look = BuiltinLook(title, 1);
  look.RoundCorner = 11;
  const int W = 100, H = 60, R = 11;
  auto painted = Painted(look, W, H);
  auto reference = FilledBitmap(W, H, clWhite);
  HDC dc = reference->Canvas().Handle();
  TPenHandle pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
  const HGDIOBJ old = SelectObject(dc, pen.Get());
  Arc(dc, W - 2 * R + 1, -1, W + 1, 2 * R - 1, W + 1, R - 1, W - R + 1, -1);
  Arc(dc, -1, -1, 2 * R - 1, 2 * R - 1, R - 1, -1, -1, R - 1);
  SelectObject(dc, old);
  for (const int x0 : {1, W - 2 * R}) {
    int arcPixels = 0;
    for (int y = 0; y < 2 * R; ++y) {
      for (int x = x0; x < x0 + 2 * R - 1; ++x) {
        const bool onArc = PixelOf(*reference, x, y) == clBlack;
        arcPixels += onArc;
        EXPECT_EQ(PixelOf(*painted, x, y) == kBorder, onArc) << x << "," << y;
      }
    }
    EXPECT_GT(arcPixels, 4) << x0;  // the quarter lies (partly) in the window at all
  }
}

// ---- the painter, bitmap mode ----

TEST(FramePainter, BitmapModeProbes) {
  TBorderTheme theme;
  TTitle title;
  TkyrFrameLook look = BuiltinLook(title, 1);
  look.Borders = &theme.borders;
  TkyrFrameLook bare = look;
  bare.Title = {};
  TkyrFrameLook withMenu = bare;
  withMenu.MenuBar = {true, true, 15, 10, kMenu};
  auto tagged = [](TColor c) { return TagOf(c) == 40; };
  {
    SCOPED_TRACE("title continued");
    auto bitmap = Painted(look);
    ExpectPixels(*bitmap, {{1, 57, clRed}, {50, 57, clLime}, {98, 57, clBlue},  // bottom bar: caps, middle
                           {4, 30, kFill}, {95, 30, kFill}, {50, 53, kFill},   // inner lines
                           {1, 5, Coded(1, 5, 1)}, {5, 5, Coded(5, 5, 1)},     // left piece
                           {10, 1, Coded(9, 1, 1)},                            // strip: left picture at 1
                           {97, 5, Coded(17, 5, 2)}, {90, 1, Coded(10, 1, 2)}});
    EXPECT_TRUE(tagged(PixelOf(*bitmap, 0, 30)));  // the left image
    EXPECT_EQ(CodedX(PixelOf(*bitmap, 0, 30)), 0);
    EXPECT_EQ(CodedX(PixelOf(*bitmap, 3, 30)), 3);
    EXPECT_TRUE(tagged(PixelOf(*bitmap, 99, 30)));  // its rotation on the right
    EXPECT_EQ(CodedX(PixelOf(*bitmap, 99, 30)), 0);
    EXPECT_EQ(CodedX(PixelOf(*bitmap, 96, 30)), 3);
    EXPECT_EQ(CodedY(PixelOf(*bitmap, 0, 12)), 0);   // from T down
    EXPECT_EQ(CodedY(PixelOf(*bitmap, 99, 12)), 19);
  }
  {
    SCOPED_TRACE("no title pictures");
    auto bitmap = Painted(bare);
    ExpectPixels(*bitmap, {{4, 0, kHost}, {50, 2, kHost}, {95, 1, kHost}, {50, 3, kFill}, {0, 5, kFill}});
  }
  {
    SCOPED_TRACE("menu bar");
    ExpectPixels(*Painted(withMenu), {{50, 1, kMenu}, {4, 12, kMenu}, {4, 24, kMenu}, {95, 15, kMenu},
                                      {95, 14, kFill}, {4, 25, kFill}});
  }
}

// ---- a real host window ----

namespace {

// The look a skinned form would have in STYLE, with the style's own title pictures.
struct TStyleLook {
  TBitmap left, right, client;
  TkyrFrameLook look;
  explicit TStyleLook(TkyrUIStyle style) {
    LoadBuiltinThemeBitmap(style, KYR_THEME_TITLE_BAR_LEFT_IMAGE, &left);
    LoadBuiltinThemeBitmap(style, KYR_THEME_TITLE_BAR_RIGHT_IMAGE, &right);
    LoadBuiltinThemeBitmap(style, KYR_THEME_TITLE_BAR_CLIENT_IMAGE, &client);
    look.BorderWidth = GetBuiltinInt(style, KYR_THEME_FORM_BORDER_WIDTH_INT);
    look.BorderColor = GetBuiltinColor(style, KYR_THEME_FORM_BORDER_COLOR);
    look.FillColor = GetBuiltinColor(style, KYR_THEME_FORM_BACKGROUND_COLOR);
    look.HostColor = look.FillColor;
    look.RoundCorner = GetBuiltinInt(style, KYR_THEME_FORM_ROUND_CORNER_INT);
    look.TopHeight = left.Height();
    look.Title = {&left, &right, &client};
  }
};

// Pixels of the frame (outside CLIENT) where A and B differ.
int FrameDifferences(const TBitmap& a, const TBitmap& b, const RECT& client) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (!PtInRect(&client, POINT{x, y})) n += PixelOf(a, x, y) != PixelOf(b, x, y);
  return n;
}

}  // namespace

TEST(FrameOnAWindow, EveryBuiltinStyleIsPaintedOutsideTheClientArea) {
  const struct {
    TkyrUIStyle style;
    const char* name;
  } styles[] = {{MacOS, "MACOS"}, {WinXP, "WINXP"}, {DeepBlue, "DEEPBLUE"}, {Protein, "PROTEIN"},
                {BlueGlass, "BLUEGLASS"}};
  constexpr int W = 240, H = 140;
  for (const auto& s : styles) {
    SCOPED_TRACE(s.name);
    TStyleLook style(s.style);
    TFrameHost host(W, H);
    host.look = style.look;
    host.Redraw();
    EXPECT_GT(host.painted, 0);
    auto shot = host.Capture();
    SaveShot(std::string("frame-") + s.name, *shot);
    const TkyrFrameLook& look = style.look;
    const int BW = look.BorderWidth;
    ExpectPixels(*shot, {{0, H / 2, look.BorderColor}, {W - 1, H / 2, look.BorderColor},
                         {W / 2, H - 1, look.BorderColor}, {2, H / 2, BW < 3 ? look.FillColor : look.BorderColor},
                         {3, H / 2, TFrameHost::ClientColor}, {W - 4, H / 2, TFrameHost::ClientColor},
                         {W / 2, H - 2, TFrameHost::ClientColor}, {W / 2, 3, TFrameHost::ClientColor},
                         {2, 1, PixelOf(style.left, 2, 1)}});
    if (style.right.Width() >= 6) {  // Protein's right picture is 1 pixel wide (stretched)
      EXPECT_EQ(PixelOf(*shot, W - 6, 2), PixelOf(style.right, style.right.Width() - 6, 2));
    }
    auto reference = FilledBitmap(W, H, clWhite);
    PaintFrameTo(reference->Canvas(), W, H, look);
    EXPECT_EQ(FrameDifferences(*shot, *reference, host.ClientInWindow()), 0);
    EXPECT_EQ(FrameDrawsCornerArcs(look), s.style == BlueGlass);
    ASSERT_TRUE(PaintFrame(host.Handle(), look));  // over a painted client area: it stays
    ExpectPixels(*host.Capture(), {{W / 2, H - 2, TFrameHost::ClientColor}, {W / 2, H - 3, TFrameHost::ClientColor},
                                   {3, H / 2, TFrameHost::ClientColor}});
  }
}

TEST(FrameOnAWindow, AThemeWithBorderImages) {
  TBorderTheme theme;
  TStyleLook style(MacOS);
  TFrameHost host(200, 120, &theme.borders);
  host.look = style.look;
  host.look.Borders = &theme.borders;
  host.Redraw();
  auto shot = host.Capture();
  SaveShot("frame-theme", *shot);
  ExpectPixels(*shot, {{1, 117, clRed}, {100, 117, clLime}, {198, 117, clBlue}, {4, 60, style.look.FillColor},
                       {5, 60, TFrameHost::ClientColor}, {100, 113, style.look.FillColor},
                       {100, 112, TFrameHost::ClientColor}});
  EXPECT_EQ(TagOf(PixelOf(*shot, 0, 60)), 40);
  EXPECT_EQ(TagOf(PixelOf(*shot, 199, 60)), 40);
  auto reference = FilledBitmap(200, 120, clWhite);
  PaintFrameTo(reference->Canvas(), 200, 120, host.look);
  EXPECT_EQ(FrameDifferences(*shot, *reference, host.ClientInWindow()), 0);
}

TEST(FrameOnAWindow, AMinimisedHostIsNotPainted) {
  TStyleLook style(MacOS);
  TFrameHost host(200, 120);
  host.look = style.look;
  ShowWindow(host.Handle(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(host.Handle()));
  EXPECT_FALSE(PaintFrame(host.Handle(), host.look));
  EXPECT_FALSE(PaintFrame(nullptr, host.look));
}

TEST(FrameOnAWindow, AThousandRepaintsLeaveNoHandlesBehind) {
  TBorderTheme theme;
  TStyleLook style(BlueGlass);  // with the corner arcs
  TFrameHost host(200, 120);
  host.look = style.look;
  host.Redraw();
  TkyrFrameLook themed = style.look;
  themed.Borders = &theme.borders;
  host.look = themed;
  host.Redraw();  // the border images make their drawing contexts, which live with them
  THandleBaseline baseline;
  const int before = host.painted;
  for (int i = 0; i < 1000; ++i) {
    host.look = i % 2 ? themed : style.look;
    RedrawWindow(host.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    if (i % 10 == 0) UpdateWindowRegion(host.Handle(), 11, i % 3, true);
  }
  EXPECT_GE(host.painted - before, 1000);
  baseline.ExpectUnchanged();
}

// Screenshots for a reviewer (VANTOR_SHOT_DIR): hosts framed in MacOS and WinXP styles and by a
// theme's border images, their client areas painted as a skinned form's would be.
TEST(FrameOnAWindow, Screenshots) {
  if (EnvOr("VANTOR_SHOT_DIR", "").empty()) GTEST_SKIP() << "VANTOR_SHOT_DIR not set";
  TBorderTheme theme;
  const struct {
    TkyrUIStyle style;
    const char* name;
    const TkyrFrameBorders* borders;
  } shots[] = {{MacOS, "window-MACOS", nullptr}, {WinXP, "window-WINXP", nullptr},
               {BlueGlass, "window-BLUEGLASS", nullptr}, {MacOS, "window-theme", &theme.borders}};
  for (const auto& s : shots) {
    TStyleLook style(s.style);
    TFrameHost host(240, 140, s.borders);
    host.look = style.look;
    host.look.Borders = s.borders;
    host.titleInClient = true;
    UpdateWindowRegion(host.Handle(), style.look.RoundCorner, 0, true);
    host.Redraw();
    SaveShot(s.name, *host.Capture());
  }
}
