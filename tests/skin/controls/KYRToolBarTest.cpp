// The skinned toolbar: where a face puts its image and caption (a table), the style's colours
// and transparency per style and from a theme file, the faces of hot, pressed and checked
// buttons read back as pixels (under the real pointer too), the drop-down arrow, images a list
// lacks, the underlined caption, a skinned button on the bar, stored descriptions, live handle
// counts, and pictures in every style.
#include "skin/controls/KYRToolBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "framework/core/FormReader.h"
#include "framework/core/Streams.h"
#include "framework/graphics/ImgList.h"
#include "framework/ui/ComponentClasses.h"
#include "skin/KYRClasses.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"
#include "tests/skin/KYRStandIns.h"
#include "tests/skin/KYRThemeFileTestSupport.h"
#include "tests/skin/controls/KYRButtonTestSupport.h"
#include "tests/support/TestSupport.h"

// For failure messages (found by argument-dependent look-up, so beside the type's namespace).
void PrintTo(const TkyrToolFacePlacement& p, std::ostream* os) {
  *os << "image (" << p.ImageX << ", " << p.ImageY << "), caption (" << p.CaptionX << ", " << p.CaptionY << ")";
}

namespace {

constexpr TkyrUIStyle kStyles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};
// Face colours no style uses, so a probe tells them apart.
constexpr TColor kFill = clYellow, kDown = clAqua, kBorder = clRed;

// ---- plain numbers ----

TEST(ToolFacePlacement, FromTheLayoutTable) {
  const RECT small{0, 0, 23, 22}, wide{40, 2, 100, 40}, drop{0, 0, 37, 22};
  struct TCase {
    const char* what;
    RECT face;
    bool dropDown, list, down, images;
    int imageWidth, imageHeight, textWidth;
    TkyrToolFacePlacement at;
  } cases[] = {
      {"image above the caption", wide, false, false, false, true, 16, 16, 20, {62, 5, 60, 22}},
      {"pressed: no shift with images", wide, false, false, true, true, 16, 16, 20, {62, 5, 60, 22}},
      {"list: caption right of the image", wide, false, true, false, true, 16, 16, 20, {45, 5, 63, 6}},
      {"list with 24 x 24 images", wide, false, true, false, true, 24, 24, 20, {45, 5, 71, 10}},
      {"drop-down: the arrow part left out", drop, true, false, false, true, 16, 16, 9, {3, 3, 7, 20}},
      {"caption only", wide, false, false, false, false, 0, 0, 20, {40, 2, 60, 6}},
      {"caption only, pressed: a pixel lower", wide, false, false, true, false, 0, 0, 20, {40, 2, 60, 7}},
      {"caption only, list", wide, false, true, false, false, 0, 0, 20, {40, 2, 48, 5}},
      {"a caption wider than its button", small, false, false, false, false, 0, 0, 30, {0, 0, -3, 4}},
      {"an image wider than its button", small, false, false, false, true, 32, 16, 0, {-4, 3, 11, 20}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(PlaceToolFace(c.face, c.dropDown, c.list, c.down, c.images, c.imageWidth, c.imageHeight, c.textWidth),
              c.at)
        << c.what;
  EXPECT_EQ(CaptionWithoutAmpersands("&Open"), "Open");
  EXPECT_EQ(CaptionWithoutAmpersands("Save && &quit"), "Save  quit");  // every "&", as the width is measured
}

// ---- windows ----

// A windowed parent whose pixel (x, y) is RGB(x, y, 0x5A): a probe on a see-through control
// names the parent pixel it shows.
class TCodedPanel : public TCustomControl {
public:
  explicit TCodedPanel(TComponent* owner) : TCustomControl(owner) {}
  static TColor At(int x, int y) { return static_cast<TColor>(RGB(x, y, 0x5A)); }

protected:
  void Paint() override {
    if (picture_.Width() != Width() || picture_.Height() != Height()) {
      picture_.SetSize(Width(), Height());
      for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x) picture_.Canvas().SetPixel(x, y, At(x, y));
    }
    Canvas().Draw(0, 0, picture_);
  }

private:
  TBitmap picture_;
};

using TShot = uitest::TClientShot;

TColor ScreenPixel(TWinControl& control, int x, int y) {
  const POINT p = control.ClientToScreen({x, y});
  TWindowDC screen(nullptr);
  return static_cast<TColor>(GetPixel(screen.Get(), p.x, p.y));
}

bool Dark(TColor c) { return (c & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60; }

// The smallest rectangle holding every dark pixel of R in SHOT (empty when none).
RECT InkBounds(const TShot& shot, const RECT& r) {
  RECT ink{r.right, r.bottom, r.left, r.top};
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (Dark(shot(x, y))) ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
                                   std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1)};
  return ink;
}

// Three 16 x 16 images in red, lime and blue, each with a magenta (keyed) one-pixel rim.
std::unique_ptr<TImageList> ColourImages(std::initializer_list<TColor> colours, TComponent* owner) {
  auto list = std::make_unique<TImageList>(owner);
  TBitmap strip(16 * static_cast<int>(colours.size()), 16);
  strip.Canvas().Brush().SetColor(clFuchsia);
  strip.Canvas().FillRect(RECT{0, 0, strip.Width(), 16});
  int x = 0;
  for (TColor c : colours) {
    strip.Canvas().Brush().SetColor(c);
    strip.Canvas().FillRect(RECT{x + 1, 1, x + 15, 15});
    x += 16;
  }
  list->AddMasked(strip, clFuchsia);
  return list;
}

class ToolBarWindow : public ::testing::Test {
protected:
  void SetUp() override {
    uitest::MovePointerTo({2, 2});
    host = uitest::Place<TCodedPanel>(form.form, 0, 0, 300, 150);
    bar = new TkyrToolBar(form.form);
    bar->SetAlign(alNone);
    bar->SetBounds(30, 20, 240, 60);
    bar->SetParent(host);
    uitest::Pump();
  }
  void TearDown() override { uitest::MovePointerTo({2, 2}); }

  TToolButton* Add(const std::string& caption, TToolButtonStyle style = tbsButton, int image = -1) {
    auto* b = new TToolButton(bar);
    b->SetCaption(caption);
    b->SetStyle(style);
    b->SetImageIndex(image);
    b->SetParent(bar);
    return b;
  }
  void UseProbeColours() {
    bar->SetButtonColor(kFill);
    bar->SetButtonDownColor(kDown);
    bar->SetButtonBorderColor(kBorder);
  }
  POINT Over(const TToolButton* b, int dx = 4, int dy = 4) const {
    return bar->ClientToScreen({b->Left() + dx, b->Top() + dy});
  }
  bool Hot(const TToolButton* b) const { return (bar->ButtonState(b) & cdsHot) != 0; }
  // Waits until the screen shows COLOUR at (X, Y) of the bar.
  bool ScreenShows(int x, int y, TColor colour) {
    return uitest::PumpUntil([&] { return ScreenPixel(*bar, x, y) == colour; });
  }

  uitest::TShownForm form{320, 200};
  TCodedPanel* host = nullptr;
  TkyrToolBar* bar = nullptr;
};

// ---- style ----

TEST(ToolBarDefaults, FlatOpaqueInTheWindowColourAndTheOwnerFormsStyle) {
  TkyrToolBar plain(nullptr);
  EXPECT_EQ(plain.UIStyle(), DeepBlue);
  EXPECT_TRUE(plain.Flat());
  EXPECT_FALSE(plain.Transparent());
  EXPECT_EQ(plain.Color(), clWindow);
  EXPECT_EQ(plain.EdgeInner(), esNone);
  EXPECT_EQ(plain.EdgeOuter(), esNone);
  EXPECT_TRUE(plain.OnCustomDraw());
  EXPECT_TRUE(plain.OnCustomDrawButton());
  TForm skinned(nullptr);
  (new TkyrPanelStandIn(&skinned, MacOS))->SetParent(&skinned);
  TkyrToolBar onMac(&skinned);
  EXPECT_EQ(onMac.UIStyle(), MacOS);
  EXPECT_TRUE(onMac.Transparent());
  // Designed: the background is the skin's, the buttons the framework's.
  TForm designed(nullptr);
  designed.SetDesigning(true);
  TkyrToolBar inDesigner(&designed);
  EXPECT_TRUE(inDesigner.OnCustomDraw());
  EXPECT_FALSE(inDesigner.OnCustomDrawButton());
}

TEST(ToolBarStyle, ColoursTransparencyAndEdgesOfEveryStyle) {
  struct TCase {
    TkyrUIStyle style;
    TColor border, fill, down;
    bool transparent;
  } cases[] = {
      {MacOS, 0x474747, 0xEFEFEF, 0xD8D8D8, true},     {WinXP, 0xC66931, 0xEFD3C6, 0xE1AC93, false},
      {DeepBlue, 0x474747, 0xEFEFEF, 0xD8D8D8, false}, {Protein, 0x474747, 0xEFEFEF, 0xD8D8D8, true},
      {BlueGlass, 0x474747, 0xEFEFEF, 0xD8D8D8, false}, {FromThemeFile, 0x474747, 0xEFEFEF, 0xD8D8D8, false},
  };
  TkyrToolBar bar(nullptr);
  for (const TCase& c : cases) {
    SCOPED_TRACE(TkyrUIStyleInfo.NameOf(c.style));
    bar.SetEdgeInner(esRaised);
    bar.SetEdgeOuter(esLowered);
    bar.SetButtonColor(clRed);  // a style change overwrites what a program set
    bar.SetUIStyle(c.style);
    EXPECT_EQ(bar.ButtonBorderColor(), c.border);
    EXPECT_EQ(bar.ButtonColor(), c.fill);
    EXPECT_EQ(bar.ButtonDownColor(), c.down);
    EXPECT_EQ(bar.Transparent(), c.transparent);
    EXPECT_EQ(bar.EdgeInner(), esNone);
    EXPECT_EQ(bar.EdgeOuter(), esNone);
  }
}

TEST(ToolBarStyle, TakesItsColoursFromAThemeFileAndTurnsDeepBlueWhenTheThemeGoes) {
  TempDir dir;
  WriteFileBytes(dir / "bar.thm", ThemeFileBytes()
                                      .Int("ToolBarButtonBorderColor", 0x0000FF)
                                      .Int("ToolBarButtonBackgroundColor", 0x00FF00)
                                      .Int("ToolBarButtonDownBackgroundColor", 0xFF0000)
                                      .Build());
  TForm owner(nullptr);  // a theme tells the skinned components of its owner form
  auto* theme = new TkyrFileTheme(&owner);
  auto* bar = new TkyrToolBar(&owner);
  bar->SetUIStyle(MacOS);
  bar->SetFileTheme(theme);
  bar->SetUIStyle(FromThemeFile);
  EXPECT_EQ(bar->ButtonColor(), 0xEFEFEF);  // no file loaded yet: DeepBlue's
  EXPECT_FALSE(bar->Transparent());
  theme->SetThemeFile(dir / "bar.thm");  // re-assigns itself to the bar
  EXPECT_EQ(bar->ButtonBorderColor(), 0x0000FF);
  EXPECT_EQ(bar->ButtonColor(), 0x00FF00);
  EXPECT_EQ(bar->ButtonDownColor(), 0xFF0000);
  EXPECT_FALSE(bar->Transparent());
  delete theme;
  EXPECT_EQ(bar->FileTheme(), nullptr);
  EXPECT_EQ(bar->UIStyle(), DeepBlue);
  EXPECT_EQ(bar->ButtonColor(), 0xEFEFEF);
  EXPECT_EQ(bar->ButtonBorderColor(), 0x474747);
}

TEST_F(ToolBarWindow, MacOSAndProteinShowTheParentTheOthersTheirColour) {
  Add("A");
  for (TkyrUIStyle style : kStyles) {
    SCOPED_TRACE(TkyrUIStyleInfo.NameOf(style));
    bar->SetUIStyle(style);
    const TShot shot(*bar);
    const bool through = style == MacOS || style == Protein;
    // Beyond the buttons, and inside a normal button (the framework's flat face draws nothing).
    for (POINT p : {POINT{200, 10}, POINT{239, 59}, POINT{0, 0}, POINT{10, 10}})
      EXPECT_EQ(shot(p.x, p.y), through ? TCodedPanel::At(30 + p.x, 20 + p.y) : ColorToRGB(clWindow))
          << p.x << "," << p.y;
  }
}

TEST_F(ToolBarWindow, WinXPMakesABarThatWasSetTransparentOpaqueAgain) {
  bar->SetTransparent(true);
  EXPECT_EQ(TShot(*bar)(100, 30), TCodedPanel::At(130, 50));
  bar->SetUIStyle(WinXP);
  EXPECT_FALSE(bar->Transparent());
  EXPECT_EQ(TShot(*bar)(100, 30), ColorToRGB(clWindow));
}

// ---- faces ----

TEST_F(ToolBarWindow, ACheckedButtonAwayFromThePointerTakesButtonColourNotTheDownColour) {
  bar->SetUIStyle(DeepBlue);
  UseProbeColours();
  TToolButton* check = Add("", tbsCheck);
  TToolButton* plain = Add("");
  check->SetDown(true);
  const TShot shot(*bar);
  EXPECT_EQ(shot(0, 0), kBorder);
  EXPECT_EQ(shot(22, 21), kBorder);
  EXPECT_EQ(shot(11, 11), kFill);
  EXPECT_EQ(shot(plain->Left() + 11, 11), ColorToRGB(clWindow));  // the framework's flat face
}

// ButtonWidth 9 makes a drop-down button 9 + 14 = 23 pixels wide.
TEST_F(ToolBarWindow, AHotDropDownButtonGetsItsArrowAtTheMiddleAndTheLineFourteenFromTheRight) {
  bar->SetBounds(0, 0, 240, 60);
  UseProbeColours();
  bar->SetButtonWidth(9);
  TToolButton* drop = Add("", tbsDropDown);
  ASSERT_EQ(drop->Width(), 23);
  ASSERT_EQ(drop->Height(), 22);
  ASSERT_EQ(drop->Left(), 0);
  ASSERT_EQ(drop->Top(), 0);
  uitest::MovePointerTo(Over(drop, 3, 3));
  ASSERT_TRUE(uitest::PumpUntil([&] { return Hot(drop); }));
  const TShot shot(*bar);
  for (int x = 14; x <= 18; ++x) EXPECT_EQ(shot(x, 11), clBlack) << "top edge at x " << x;
  EXPECT_EQ(shot(16, 12), clBlack);
  for (int x = 13; x <= 19; ++x) EXPECT_EQ(shot(x, 10), kFill) << "above the arrow at x " << x;
  EXPECT_EQ(shot(13, 11), kFill);
  EXPECT_EQ(shot(19, 11), kFill);
  for (int y : {1, 11, 20}) {
    EXPECT_EQ(shot(9, y), clBlack) << "the line at y " << y;
    EXPECT_EQ(shot(8, y), kFill);
    EXPECT_EQ(shot(10, y), kFill);
  }
  EXPECT_EQ(shot(0, 0), kBorder);  // a hot face, not a pressed one
}

// The framework's drawing of a checked drop-down button keeps its arrow; so does the skin's.
TEST_F(ToolBarWindow, ACheckedDropDownButtonKeepsItsArrowAndLine) {
  bar->SetBounds(0, 0, 240, 60);
  UseProbeColours();
  bar->SetButtonWidth(9);
  TToolButton* drop = Add("", tbsDropDown);
  drop->SetDown(true);
  const TShot shot(*bar);
  EXPECT_EQ(shot(4, 4), kFill);
  EXPECT_EQ(shot(16, 11), clBlack);
  EXPECT_EQ(shot(9, 5), clBlack);
}

TEST_F(ToolBarWindow, SeparatorsAndDividersAreNeverFaces) {
  UseProbeColours();
  TToolButton* divider = Add("", tbsDivider);
  TToolButton* separator = Add("", tbsSeparator);
  for (TToolButton* b : {divider, separator}) {
    bool defaultDraw = true;
    bar->DrawSkinnedButton(bar, b, cdsHot | cdsSelected | cdsChecked, defaultDraw);
    EXPECT_TRUE(defaultDraw);
  }
  separator->SetDown(true);  // a checked state that a separator could only have by a program
  EXPECT_EQ(TShot(*bar)(separator->Left() + 4, 4), ColorToRGB(clWindow));
}

// Hot, pressed and checked as the real pointer makes them, read from the screen.
TEST_F(ToolBarWindow, ThePointerMakesAButtonHotPressedAndChecked) {
  bar->SetUIStyle(MacOS);
  UseProbeColours();
  auto images = ColourImages({clRed, clLime, clBlue}, form.form);
  bar->SetImages(images.get());
  bar->SetButtonWidth(30);
  bar->SetButtonHeight(26);
  TToolButton* check = Add("", tbsCheck, 2);
  TToolButton* other = Add("", tbsButton, 0);
  int clicks = 0;
  // The click checks it (the same when the bar toggles check buttons itself before OnClick).
  check->SetOnClick([&](TObject*) {
    ++clicks;
    check->SetDown(true);
  });
  const int imageX = (30 - 16) / 2 + 8, imageY = 3 + 8;  // the image's middle
  ASSERT_TRUE(ScreenShows(2, 2, TCodedPanel::At(32, 22)));  // normal: the parent behind the bar

  uitest::MovePointerTo(Over(check));
  ASSERT_TRUE(ScreenShows(2, 2, kFill)) << "hot";
  EXPECT_EQ(ScreenPixel(*bar, 0, 0), kBorder);
  EXPECT_EQ(ScreenPixel(*bar, imageX, imageY), clBlue);

  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(ScreenShows(2, 2, kDown)) << "pressed";
  EXPECT_EQ(ScreenPixel(*bar, 29, 25), kBorder);
  EXPECT_EQ(ScreenPixel(*bar, imageX, imageY), clBlue);

  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return clicks == 1; }));
  EXPECT_TRUE(check->Down());
  ASSERT_TRUE(ScreenShows(2, 2, kFill)) << "checked and hot";

  uitest::MovePointerTo(Over(other));
  ASSERT_TRUE(ScreenShows(other->Left() + 2, 2, kFill)) << "the other one hot";
  EXPECT_EQ(ScreenPixel(*bar, 2, 2), kFill) << "checked, the pointer elsewhere";
  EXPECT_EQ(ScreenPixel(*bar, imageX, imageY), clBlue);

  uitest::MovePointerTo(bar->ClientToScreen({200, 50}));
  ASSERT_TRUE(ScreenShows(other->Left() + 2, 2, TCodedPanel::At(30 + other->Left() + 2, 22))) << "left: normal";
  EXPECT_EQ(ScreenPixel(*bar, 2, 2), kFill);
}

TEST_F(ToolBarWindow, AnIndexTheListLacksDrawsNoImageButTheCaptionKeepsTheImageLayout) {
  UseProbeColours();
  auto images = ColourImages({clRed, clLime, clBlue}, form.form);
  bar->SetImages(images.get());
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(40);
  bar->SetButtonHeight(40);
  TToolButton* missing = Add("Go", tbsCheck, 7);
  TToolButton* present = Add("Go", tbsCheck, 1);
  missing->SetDown(true);
  present->SetDown(true);
  const TShot shot(*bar);
  const int imageX = (40 - 16) / 2 + 8, imageY = 3 + 8;
  EXPECT_EQ(shot(imageX, imageY), kFill);
  EXPECT_EQ(shot(present->Left() + imageX, imageY), clLime);
  const RECT noImage = InkBounds(shot, {1, 1, 39, 39});
  const RECT withImage = InkBounds(shot, {present->Left() + 1, 20, present->Left() + 39, 39});
  EXPECT_GE(noImage.top, 16 + 4);  // below where the image would be
  EXPECT_EQ(noImage.top, withImage.top);
  EXPECT_EQ(noImage.left, withImage.left - present->Left());
}

// HotImages shorter than Images: an index only Images holds comes from Images.
TEST_F(ToolBarWindow, HotImagesTakeTheirOwnIndexesAndFallBackToImagesForTheRest) {
  UseProbeColours();
  auto images = ColourImages({clRed, clLime, clBlue}, form.form);
  auto hot = ColourImages({clPurple}, form.form);
  bar->SetImages(images.get());
  bar->SetHotImages(hot.get());
  bar->SetButtonWidth(30);
  TToolButton* first = Add("", tbsCheck, 0);
  TToolButton* third = Add("", tbsCheck, 2);
  TToolButton* beyond = Add("", tbsCheck, 5);
  for (TToolButton* b : {first, third, beyond}) b->SetDown(true);
  const TShot shot(*bar);
  const int imageX = (30 - 16) / 2 + 8, imageY = 3 + 8;
  EXPECT_EQ(shot(first->Left() + imageX, imageY), clPurple);
  EXPECT_EQ(shot(third->Left() + imageX, imageY), clBlue);
  EXPECT_EQ(shot(beyond->Left() + imageX, imageY), kFill);
}

// "&Hot" is centred on the width of "Hot", and its H is underlined: a row of ink below the
// letters that "Hot" without the ampersand does not have, under the H only.
TEST_F(ToolBarWindow, AnAmpersandCaptionIsCentredWithoutItAndUnderlinesTheLetter) {
  UseProbeColours();
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(60);
  TToolButton* marked = Add("&Hot", tbsCheck);
  TToolButton* plain = Add("Hot", tbsCheck);
  marked->SetDown(true);
  plain->SetDown(true);
  TWindowDC screen(nullptr);
  TCanvas measure(screen.Get());
  measure.Font().Assign(*bar->Font());
  const int centred = (60 - measure.TextWidth("Hot")) / 2;
  const int centredWithAmpersand = (60 - measure.TextWidth("&Hot")) / 2;
  ASSERT_GE(centred - centredWithAmpersand, 2);  // the probe below tells the two apart
  const TShot shot(*bar);
  const RECT plainInk = InkBounds(shot, {plain->Left() + 1, 1, plain->Left() + 59, 21});
  const RECT ink = InkBounds(shot, {1, 1, 59, 21});
  const RECT letters = InkBounds(shot, {1, 1, 59, plainInk.bottom});  // above the underline
  EXPECT_GE(letters.left, centred);
  EXPECT_LE(letters.left, centred + 2);
  EXPECT_EQ(letters.left, plainInk.left - plain->Left());
  EXPECT_EQ(letters.top, plainInk.top);
  EXPECT_EQ(letters.right, plainInk.right - plain->Left());
  ASSERT_GT(ink.bottom, plainInk.bottom);  // the underline's row
  const int underline = ink.bottom - 1;
  int run = 0;
  for (int x = 0; x < 60; ++x)
    if (Dark(shot(x, underline))) {
      ++run;
      EXPECT_GE(x, centred) << "underline before the H at " << x;
      EXPECT_LT(x, centred + measure.TextWidth("H")) << "underline beyond the H at " << x;
    }
  EXPECT_GE(run, 3);
}

// The framework draws a disabled caption grey on the bar's canvas; a face after it is still
// written in the bar's font colour.
TEST_F(ToolBarWindow, AFaceAfterADisabledButtonWritesInTheBarsFontColour) {
  UseProbeColours();
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(60);
  Add("Off")->SetEnabled(false);
  TToolButton* on = Add("On", tbsCheck);
  on->SetDown(true);
  const TShot shot(*bar);
  int darkest = 255;
  for (int y = 1; y < 21; ++y)
    for (int x = on->Left() + 1; x < on->Left() + 59; ++x) {
      const TColor c = shot(x, y);
      darkest = std::min(darkest, std::max({int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)}));
    }
  EXPECT_LT(darkest, 0x40);  // black ink, not the grey of a disabled caption
}

TEST_F(ToolBarWindow, APressedCaptionWithoutImagesSitsOnePixelLower) {
  UseProbeColours();
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(60);
  TToolButton* b = Add("Hot");
  uitest::MovePointerTo(Over(b));
  ASSERT_TRUE(uitest::PumpUntil([&] { return Hot(b); }));
  const RECT hotInk = InkBounds(TShot(*bar), {1, 1, 59, 21});
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return (bar->ButtonState(b) & cdsSelected) != 0; }));
  const TShot pressed(*bar);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  const RECT downInk = InkBounds(pressed, {1, 1, 59, 21});
  EXPECT_EQ(pressed(2, 2), kDown);
  EXPECT_EQ(downInk.top, hotInk.top + 1);
  EXPECT_EQ(downInk.left, hotInk.left);
}

// ---- a skinned button on the bar ----

TEST_F(ToolBarWindow, ASkinnedButtonOnTheBarShowsTheBarsParentAtTheBarsPlace) {
  bar->SetUIStyle(DeepBlue);  // the bar itself opaque: what shows is not the bar
  auto* button = uitest::Place<TkyrButton>(bar, 120, 10, 84, 23);
  button->SetUIStyle(MacOS);
  ASSERT_TRUE(button->Transparent());
  EXPECT_EQ(TShot(*button)(0, 0), TCodedPanel::At(30, 20));
}

// ---- stored descriptions ----

TEST(ToolBarStored, PublishesItsPropertiesInOrderAndReadsFromADescription) {
  std::vector<std::string> own;
  for (const TPropInfo& p : const_cast<TClassInfo&>(TkyrToolBar::StaticClassInfo()).OwnProperties())
    own.push_back(p.Name);
  EXPECT_EQ(own, (std::vector<std::string>{"FileTheme", "UIStyle", "ButtonColor", "ButtonBorderColor",
                                           "ButtonDownColor", "Color", "Transparent"}));
  RegisterFrameworkClasses();
  RegisterSkinClasses();
  TForm form(nullptr);
  ReadComponentText("object Form1: TForm\n"
                    "  object Bar: TkyrToolBar\n"
                    "    ShowCaptions = True\n"
                    "    UIStyle = MacOS\n"
                    "    ButtonColor = clLime\n"
                    "    Transparent = False\n"
                    "    object Open: TToolButton\n      Caption = '&Open'\n    end\n"
                    "    object More: TToolButton\n      Style = tbsDropDown\n    end\n"
                    "  end\n"
                    "end\n",
                    form);
  auto* bar = dynamic_cast<TkyrToolBar*>(form.FindComponent("Bar"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->UIStyle(), MacOS);
  EXPECT_EQ(bar->ButtonColor(), clLime);  // stored after the style
  EXPECT_FALSE(bar->Transparent());       // likewise
  EXPECT_EQ(bar->Color(), clWindow);      // the stored default
  ASSERT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(bar->Buttons(1)->Style(), tbsDropDown);
}

// ---- handles ----

TEST_F(ToolBarWindow, LiveGdiHandlesStayFlatOverHotRepaintsAndStyleSwitches) {
  if (!HandleCountsEnabled()) GTEST_SKIP() << "a build without handle counts";
  auto images = ColourImages({clRed, clLime, clBlue}, form.form);
  bar->SetImages(images.get());
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(40);
  bar->SetButtonHeight(40);
  TToolButton* b = Add("Hot", tbsButton, 1);
  Add("More", tbsDropDown, 2)->SetDown(true);
  uitest::MovePointerTo(Over(b));
  ASSERT_TRUE(uitest::PumpUntil([&] { return Hot(b); }));
  bar->Repaint();
  const THandleBaseline before;
  for (int i = 0; i < 1000; ++i) bar->Repaint();
  EXPECT_TRUE(Hot(b));
  for (int i = 0; i < 100; ++i) {
    bar->SetUIStyle(kStyles[i % 5]);
    bar->Repaint();
  }
  uitest::Pump();
  before.ExpectUnchanged();
}

// ---- pictures for people ----

// CONTROL as the screen shows it after a full repaint, into ROWS at row TOP.
void CaptureInto(TBitmap& rows, int top, TWinControl& control) {
  RedrawWindow(control.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  uitest::Pump();
  TWindowDC screen(nullptr);
  const POINT at = control.ClientToScreen({0, 0});
  BitBlt(rows.Canvas().Handle(), 0, top, control.Width(), control.Height(), screen.Get(), at.x, at.y, SRCCOPY);
}

void SaveShot(const std::string& name, const TBitmap& shot) {
  TFileStream file(EnvOr("VANTOR_SHOT_DIR", "") + PathSeparator() + name + ".bmp", fmCreate);
  shot.SaveToStream(file);
}

// Per style two pictures one above the other: the pointer over "Open", then over "More" (the
// drop-down); "Bold" is checked. A last picture shows list mode.
TEST_F(ToolBarWindow, Screenshots) {
  if (EnvOr("VANTOR_SHOT_DIR", "").empty()) GTEST_SKIP() << "VANTOR_SHOT_DIR not set";
  TempDir dir;
  WriteFileBytes(dir / "bar.thm", ThemeFileBytes()
                                      .Int("ToolBarButtonBorderColor", 0x1E6E00)
                                      .Int("ToolBarButtonBackgroundColor", 0xC8F0C8)
                                      .Int("ToolBarButtonDownBackgroundColor", 0x96D296)
                                      .Build());
  auto* theme = new TkyrFileTheme(form.form);
  theme->SetThemeFile(dir / "bar.thm");
  auto images = ColourImages({clRed, clLime, clBlue, clTeal}, form.form);
  host->SetBounds(0, 0, 300, 100);
  bar->SetImages(images.get());
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(44);
  bar->SetButtonHeight(38);
  bar->SetBounds(10, 10, 280, 80);
  TToolButton* open = Add("&Open", tbsButton, 0);
  Add("Save", tbsButton, 1);
  Add("Bold", tbsCheck, 2)->SetDown(true);
  Add("", tbsDivider);
  TToolButton* more = Add("More", tbsDropDown, 3);
  Add("List", tbsButton, 9)->SetWrap(true);
  Add("Off", tbsButton, 1)->SetEnabled(false);
  bar->SetFileTheme(theme);
  struct TShotCase {
    TkyrUIStyle style;
    const char* name;
  } shots[] = {{MacOS, "MacOS"},     {WinXP, "WinXP"},         {DeepBlue, "DeepBlue"},
               {Protein, "Protein"}, {BlueGlass, "BlueGlass"}, {FromThemeFile, "ThemeFile"}};
  for (const TShotCase& s : shots) {
    bar->SetUIStyle(s.style);
    TBitmap rows(host->Width(), 2 * host->Height());
    int top = 0;
    for (TToolButton* hot : {open, more}) {
      uitest::MovePointerTo(Over(hot, 6, 6));
      ASSERT_TRUE(uitest::PumpUntil([&] { return Hot(hot); })) << s.name;
      CaptureInto(rows, top, *host);
      top += host->Height();
    }
    SaveShot(std::string("toolbar-") + s.name, rows);
  }
  bar->SetUIStyle(DeepBlue);
  bar->SetList(true);
  bar->SetButtonWidth(64);
  bar->SetButtonHeight(24);
  uitest::MovePointerTo(Over(open, 6, 6));
  ASSERT_TRUE(uitest::PumpUntil([&] { return Hot(open); }));
  TBitmap list(host->Width(), host->Height());
  CaptureInto(list, 0, *host);
  SaveShot("toolbar-List-DeepBlue", list);
}

}  // namespace
