// The skinned popup menu: style values, measuring, drawing into bitmaps, the real menu loop, the
// shared check marks and handle counts.
#include "skin/controls/KYRPopupMenu.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>

#include "framework/graphics/GdiHandles.h"
#include "framework/ui/Forms.h"
#include "skin/KYRMenu.h"
#include "skin/KYRStyled.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

TMenuItem* AddItem(TMenuItem* parent, const std::string& caption, TComponent* owner) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

// Distinct colours, so that every probe names the field it comes from.
void UseProbeColours(TkyrPopupMenu& menu) {
  menu.SetBarColor(0x0000C0);
  menu.SetColor(0xF0F0F0);
  menu.SetSeparatorColor(0x00A000);
  menu.SetSelectedColor(0xC08000);
  menu.SetSelectedBorderColor(0x400040);
  menu.SetFontColor(0x000080);
  menu.SetSelectedFontColor(0x80FF80);
}

// An item drawn into a 120 x 24 bitmap at rectangle (0, 0, 120, HEIGHT).
struct TDrawnItem {
  TBitmap bitmap;
  TDrawnItem(TkyrPopupMenu& menu, TMenuItem* item, bool selected, int height = 21) {
    bitmap.SetSize(120, 24);
    FillRectColor(bitmap.Canvas(), {0, 0, 120, 24}, clWhite);
    menu.DrawMenuItem(item, bitmap.Canvas(), {0, 0, 120, height}, selected);
  }
  TColor At(int x, int y) { return bitmap.Canvas().Pixel(x, y); }
  int Count(const RECT& r, const std::function<bool(TColor)>& wanted) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += wanted(At(x, y));
    return n;
  }
  int CountOf(const RECT& r, TColor colour) {
    return Count(r, [colour](TColor c) { return c == colour; });
  }
};

bool Dark(TColor c) { return (c & 0xFF) < 0x40 && ((c >> 8) & 0xFF) < 0x40 && ((c >> 16) & 0xFF) < 0x40; }

}  // namespace

// ---- style values ----
TEST(SkinnedPopupMenu, EachStyleSetsHeightsBarAndItsColours) {
  TkyrPopupMenu menu(nullptr);
  EXPECT_EQ(menu.UIStyle(), DeepBlue);  // no owner form: the fallback
  for (TkyrUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    SCOPED_TRACE(static_cast<int>(style));
    menu.SetBarWidth(3);
    menu.SetUIStyle(style);
    const bool mac = style == MacOS;
    EXPECT_EQ(menu.MenuItemHeight(), mac ? 20 : 21);
    EXPECT_EQ(menu.SeparatorHeight(), mac ? 12 : 5);
    EXPECT_EQ(menu.SeparatorColor(), mac ? 0 : 0x848284);
    EXPECT_EQ(menu.BarWidth(), 26);
    EXPECT_EQ(menu.BarColor(), GetBuiltinColor(style, KYR_THEME_MENU_BAR_COLOR));
    EXPECT_EQ(menu.Color(), GetBuiltinColor(style, KYR_THEME_MENU_BACKGROUND_COLOR));
    EXPECT_EQ(menu.FontColor(), GetBuiltinColor(style, KYR_THEME_MENU_FONT_COLOR));
    EXPECT_EQ(menu.SelectedBorderColor(), GetBuiltinColor(style, KYR_THEME_MENU_SELECTED_BORDER_COLOR));
    EXPECT_EQ(menu.SelectedColor(), GetBuiltinColor(style, KYR_THEME_MENU_SELECTED_BACKGROUND_COLOR));
    EXPECT_EQ(menu.SelectedFontColor(), GetBuiltinColor(style, KYR_THEME_MENU_SELECTED_FONT_COLOR));
  }
}

TEST(SkinnedPopupMenu, MacOSKeepsItsHeightsAndOwnerDrawCannotBeTurnedOff) {
  TkyrPopupMenu menu(nullptr);
  menu.SetUIStyle(MacOS);
  menu.SetMenuItemHeight(30);
  menu.SetSeparatorHeight(30);
  EXPECT_EQ(menu.MenuItemHeight(), 20);
  EXPECT_EQ(menu.SeparatorHeight(), 12);
  menu.SetUIStyle(WinXP);
  menu.SetMenuItemHeight(30);
  EXPECT_EQ(menu.MenuItemHeight(), 30);

  SetOrdProp(menu, "OwnerDraw", 0);
  menu.TMenu::SetOwnerDraw(false);
  EXPECT_TRUE(menu.OwnerDraw());
  EXPECT_TRUE(menu.TMenu::OwnerDraw());
}

// ---- items at every level, added later too ----
TEST(SkinnedPopupMenu, EveryItemOfTheTreeGetsTheRoutinesAndLosesThemWhenItLeaves) {
  TComponent owner(nullptr);
  TkyrPopupMenu menu(&owner);
  TMenuItem* top = AddItem(menu.Items(), "Top", &owner);
  TMenuItem* deep = AddItem(top, "Deep", &owner);
  TMenuItem* later = AddItem(deep, "Later", nullptr);  // not even of the same owner
  for (TMenuItem* item : {top, deep, later}) {
    EXPECT_TRUE(item->OnMeasureItem() && item->OnDrawItem()) << item->Caption();
  }
  TMenuItem* elsewhere = AddItem(menu.Items(), "Elsewhere", &owner);
  TPopupMenu plain(&owner);
  plain.Items()->Add(elsewhere);
  EXPECT_FALSE(elsewhere->OnMeasureItem() || elsewhere->OnDrawItem());
  TMenuItem* foreign = AddItem(plain.Items(), "Foreign", &owner);  // same owner, other menu
  EXPECT_FALSE(foreign->OnDrawItem());
}

// ---- measuring ----

// Width of TEXT in the font LOGFONT describes, measured with GDI alone, so that a menu that set
// the wrong font on the canvas cannot agree with it.
int TextWidthIn(const LOGFONTA& logFont, const std::string& text) {
  TMemoryDC dc(nullptr);
  TFontHandle font(CreateFontIndirectA(&logFont));
  TSelectObjectGuard selected(dc.Get(), font.Get());
  SIZE size{};
  GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

LOGFONTA SystemMenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  return metrics.lfMenuFont;
}

// NAME at POINTS on the screen's resolution, as a font size in points asks for it.
LOGFONTA PointFont(const char* name, int points, BYTE charset) {
  LOGFONTA font{};
  TWindowDC screen(nullptr);
  font.lfHeight = -MulDiv(points, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = charset;
  lstrcpynA(font.lfFaceName, name, LF_FACESIZE);
  return font;
}

TEST(SkinnedPopupMenu, MeasuresCaptionShortcutBarAndMarginInTheFontItIsDrawnWith) {
  TkyrPopupMenu menu(nullptr);
  menu.SetUIStyle(WinXP);
  TMenuItem* open = AddItem(menu.Items(), "Open", nullptr);
  open->SetShortCut(static_cast<TShortCut>('O' | scCtrl));
  TMenuItem* line = AddItem(menu.Items(), "-", nullptr);
  const auto expected = [](const LOGFONTA& font) { return TextWidthIn(font, "Open") + TextWidthIn(font, "Ctrl+O") + 26 + 40; };
  // The canvas comes with a large font of its own: a menu that measured in whatever the canvas
  // holds would give its width.
  const LOGFONTA canvasFont = PointFont("Times New Roman", 30, ANSI_CHARSET);
  struct TCase {
    const char* what;
    bool systemFont;
    LOGFONTA font;  // the one the item is drawn in
  } cases[] = {
      {"system menu font", true, SystemMenuFont()},
      {"own font, 24 points", false, PointFont("MS Sans Serif", 24, DEFAULT_CHARSET)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NE(expected(c.font), expected(canvasFont)) << "the two fonts must measure apart";
    menu.SetUseSystemFont(c.systemFont);
    menu.SetFontSize(24);
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    bitmap.Canvas().Font().AssignLogFont(canvasFont);
    int width = 0, height = 0;
    menu.MeasureMenuItem(open, bitmap.Canvas(), width, height);
    EXPECT_EQ(width, expected(c.font));
    EXPECT_EQ(height, 21);
    menu.MeasureMenuItem(line, bitmap.Canvas(), width, height);
    EXPECT_EQ(height, 5);
  }
}

// ---- drawing ----
TEST(SkinnedPopupMenu, DrawsBarBackgroundSelectionAndSeparator) {
  TkyrPopupMenu menu(nullptr);
  menu.SetUIStyle(WinXP);
  UseProbeColours(menu);
  TMenuItem* item = AddItem(menu.Items(), "Item", nullptr);
  TMenuItem* line = AddItem(menu.Items(), "-", nullptr);

  TDrawnItem normal(menu, item, false);
  EXPECT_EQ(normal.At(2, 10), 0x0000C0);   // side bar
  EXPECT_EQ(normal.At(25, 1), 0x0000C0);
  EXPECT_EQ(normal.At(26, 1), 0xF0F0F0);   // the rest
  EXPECT_EQ(normal.At(118, 19), 0xF0F0F0);
  EXPECT_GT(normal.CountOf({30, 4, 120, 21}, 0x000080), 5);  // caption in FontColor from L + BarWidth + 4
  EXPECT_EQ(normal.CountOf({26, 0, 30, 21}, 0x000080), 0);

  TDrawnItem selected(menu, item, true);
  EXPECT_EQ(selected.At(0, 0), 0x400040);  // frame
  EXPECT_EQ(selected.At(119, 20), 0x400040);
  EXPECT_EQ(selected.At(2, 10), 0xC08000);  // fill, over the bar too
  EXPECT_GT(selected.CountOf({30, 4, 120, 21}, 0x80FF80), 5);

  item->SetEnabled(false);
  TDrawnItem disabled(menu, item, true);  // under the pointer: still the normal background
  EXPECT_EQ(disabled.At(2, 10), 0x0000C0);
  EXPECT_GT(disabled.CountOf({30, 4, 120, 21}, 0x808080), 5);

  TDrawnItem separator(menu, line, false, 5);
  EXPECT_EQ(separator.At(2, 2), 0x0000C0);
  EXPECT_EQ(separator.At(29, 2), 0xF0F0F0);  // the line starts at L + BarWidth + 4 ...
  EXPECT_EQ(separator.At(30, 2), 0x00A000);
  EXPECT_EQ(separator.At(117, 2), 0x00A000);
  EXPECT_EQ(separator.At(118, 2), 0xF0F0F0);  // ... and ends before Rt - 2
  EXPECT_EQ(separator.At(60, 1), 0xF0F0F0);
}

TEST(SkinnedPopupMenu, MacOSDrawsTheStrips) {
  TkyrPopupMenu menu(nullptr);
  menu.SetUIStyle(MacOS);
  UseProbeColours(menu);
  TMenuItem* item = AddItem(menu.Items(), "About", nullptr);
  TBitmap bar, select;
  bar.LoadFromResourceName(GetModuleHandleA(nullptr), "MACOS_MENU_BAR");
  select.LoadFromResourceName(GetModuleHandleA(nullptr), "MACOS_MENU_SELECT");
  ASSERT_NE(bar.Canvas().Pixel(0, 15), select.Canvas().Pixel(0, 15));
  TDrawnItem normal(menu, item, false, 20);
  TDrawnItem selected(menu, item, true, 20);
  for (int y : {1, 15}) {
    EXPECT_EQ(normal.At(2, y), bar.Canvas().Pixel(0, y)) << y;  // no side bar colour in MacOS
    EXPECT_EQ(selected.At(2, y), select.Canvas().Pixel(0, y)) << y;
  }
}

TEST(SkinnedPopupMenu, CheckMarksAndIconsOnlyForImagesThatExist) {
  TkyrPopupMenu menu(nullptr);
  menu.SetUIStyle(WinXP);
  UseProbeColours(menu);
  TImageList icons(16, 16);
  TBitmap red;
  red.SetSize(16, 16);
  FillRectColor(red.Canvas(), {0, 0, 16, 16}, 0x0000FF);
  icons.Add(red);
  menu.SetImages(&icons);
  TMenuItem* item = AddItem(menu.Items(), "Item", nullptr);
  const RECT glyph{4, 3, 20, 19};

  TDrawnItem plain(menu, item, false);
  EXPECT_EQ(plain.Count(glyph, Dark), 0);
  item->SetChecked(true);
  TDrawnItem checked(menu, item, false);
  EXPECT_GT(checked.Count(glyph, Dark), 12);  // the shared mark
  for (int badIndex : {1, -2}) {
    item->SetImageIndex(badIndex);
    TDrawnItem out(menu, item, false);
    EXPECT_GT(out.Count(glyph, Dark), 12) << badIndex;
    EXPECT_EQ(out.CountOf(glyph, 0x0000FF), 0) << badIndex;
  }
  item->SetImageIndex(0);
  TDrawnItem icon(menu, item, false);
  EXPECT_EQ(icon.At(2, 1), clBlack);       // frame (x - 2, T + 1)
  EXPECT_EQ(icon.At(3, 2), 0xC08000);      // SelectedColor box
  EXPECT_EQ(icon.At(10, 10), 0x0000FF);    // the icon on it
  item->SetChecked(false);
  TDrawnItem iconOnly(menu, item, false);
  EXPECT_EQ(iconOnly.At(3, 2), 0x0000C0);  // just the bar behind the icon
  EXPECT_EQ(iconOnly.At(10, 10), 0x0000FF);
}

TEST(SkinnedPopupMenu, CheckMarkListLivesWhileAMenuDoes) {
  const int lists = LiveHandleCount(THandleKind::ImageList);
  const int before = TkyrCheckMarks::References();
  {
    auto first = std::make_unique<TkyrPopupMenu>(nullptr);
    EXPECT_EQ(TkyrCheckMarks::References(), before + 1);
    if (before == 0 && HandleCountsEnabled()) {
      EXPECT_EQ(LiveHandleCount(THandleKind::ImageList), lists + 1);
    }
    TkyrPopupMenu second(nullptr);
    EXPECT_EQ(TkyrCheckMarks::References(), before + 2);
  }
  EXPECT_EQ(TkyrCheckMarks::References(), before);
  EXPECT_EQ(LiveHandleCount(THandleKind::ImageList), lists);
}

// ---- themes ----
TEST(SkinnedPopupMenu, FileThemeColoursAndItsRemovalTurnsDeepBlue) {
  TempDir dir;
  WriteFileBytes(dir / "menu.thm", ThemeFileBytes().Int("MenuBarColor", 0x123456).Int("MenuBackgroundColor", 0x654321).Build());
  TComponent otherForm(nullptr);  // the theme lives elsewhere: only the free notification reaches the menu
  auto* theme = new TkyrFileTheme(&otherForm);
  theme->SetThemeFile(dir / "menu.thm");
  TkyrPopupMenu menu(nullptr);
  menu.SetUIStyle(FromThemeFile);
  menu.SetFileTheme(theme);
  EXPECT_EQ(menu.BarColor(), 0x123456);
  EXPECT_EQ(menu.Color(), 0x654321);
  menu.SetBarColor(1);
  menu.SetUIStyle(FromThemeFile);  // a style change re-reads
  EXPECT_EQ(menu.BarColor(), 0x123456);
  delete theme;
  EXPECT_EQ(menu.FileTheme(), nullptr);
  EXPECT_EQ(menu.UIStyle(), DeepBlue);
  EXPECT_EQ(menu.BarColor(), GetBuiltinColor(DeepBlue, KYR_THEME_MENU_BAR_COLOR));
}

// ---- handles ----
TEST(SkinnedPopupMenu, DrawingAndRestylingLeaveNoHandlesBehind) {
  TkyrPopupMenu menu(nullptr);
  menu.SetFlatMenu(true);  // a bitmap's DC has no window: no frame, nothing made for one
  menu.SetUseSystemFont(false);
  TMenuItem* item = AddItem(menu.Items(), "Item", nullptr);
  item->SetChecked(true);
  TMenuItem* line = AddItem(menu.Items(), "-", nullptr);
  TBitmap bitmap;
  bitmap.SetSize(120, 24);
  for (TMenuItem* it : {item, line})  // the bitmap's canvas keeps its pen, brush and font from first use
    menu.DrawMenuItem(it, bitmap.Canvas(), {0, 0, 120, 21}, true);
  constexpr THandleKind kinds[] = {THandleKind::Pen, THandleKind::Brush, THandleKind::Font,
                                   THandleKind::Bitmap, THandleKind::DC, THandleKind::ImageList};
  int counts[std::size(kinds)];
  for (size_t i = 0; i < std::size(kinds); ++i) counts[i] = LiveHandleCount(kinds[i]);
  const TkyrUIStyle styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};
  for (int i = 0; i < 100; ++i) {
    menu.SetUIStyle(styles[i % 5]);
    menu.SetUseSystemFont(i % 2 == 0);
    for (TMenuItem* it : {item, line})
      for (bool selected : {false, true}) menu.DrawMenuItem(it, bitmap.Canvas(), {0, 0, 120, 21}, selected);
  }
  for (size_t i = 0; i < std::size(kinds); ++i) EXPECT_EQ(LiveHandleCount(kinds[i]), counts[i]) << i;
}

// ---- the real menu loop ----
namespace {
struct TLoopProbe {
  int step = 0;
  HMENU menu = nullptr;
  RECT items[2]{};
  TColor barPixel = 0, selectedPixel = 0, separatorPixel = 0;
  TColor frameTop = 0, frameEdge = 0;  // the flat frame: black at the window's top + 1, the edge above
};
TLoopProbe gProbe;

TColor ScreenPixel(int x, int y) {
  TWindowDC screen(nullptr);
  return static_cast<TColor>(GetPixel(screen.Get(), x, y));
}

// Step 2 selects the first item; step 6 reads the menu window back from the screen and closes it.
void CALLBACK ProbeMenu(HWND, UINT, UINT_PTR, DWORD) {
  ++gProbe.step;
  if (gProbe.step == 2) uitest::PressKey(VK_DOWN);
  if (gProbe.step == 6) {
    for (int i = 0; i < 2; ++i) GetMenuItemRect(nullptr, gProbe.menu, static_cast<UINT>(i), &gProbe.items[i]);
    const RECT& first = gProbe.items[0];
    const RECT& line = gProbe.items[1];
    gProbe.selectedPixel = ScreenPixel(first.left + 10, first.top + 10);
    gProbe.barPixel = ScreenPixel(line.left + 2, line.top + 1);
    gProbe.separatorPixel = ScreenPixel(line.left + 40, line.top + 2);
    RECT window{};
    GetWindowRect(FindWindowA("#32768", nullptr), &window);
    gProbe.frameTop = ScreenPixel(window.left + 30, window.top + 1);
    gProbe.frameEdge = ScreenPixel(window.left + 30, window.top);
  }
  if (gProbe.step >= 6) EndMenu();
}
}  // namespace

TEST(SkinnedPopupMenu, TheRealMenuIsMeasuredAndDrawnBySkin) {
  uitest::TShownForm form;
  TkyrPopupMenu menu(nullptr);
  menu.SetUIStyle(WinXP);
  UseProbeColours(menu);
  menu.SetFlatMenu(true);
  AddItem(menu.Items(), "First", nullptr);
  AddItem(menu.Items(), "-", nullptr);
  gProbe = {};
  gProbe.menu = menu.Handle();
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, ProbeMenu);
  const POINT at = form->ClientToScreen({10, 10});
  menu.Popup(at.x, at.y);
  KillTimer(nullptr, timer);
  EXPECT_EQ(gProbe.items[0].bottom - gProbe.items[0].top, 21);
  EXPECT_EQ(gProbe.items[1].bottom - gProbe.items[1].top, 5);
  EXPECT_EQ(gProbe.selectedPixel, 0xC08000);
  EXPECT_EQ(gProbe.barPixel, 0x0000C0);
  EXPECT_EQ(gProbe.separatorPixel, 0x00A000);
  EXPECT_EQ(gProbe.frameTop, clBlack);
  EXPECT_EQ(gProbe.frameEdge, GetBuiltinColor(WinXP, KYR_THEME_FORM_BACKGROUND_COLOR));
}
