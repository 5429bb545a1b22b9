// The style protocol's hand-down: one style change decodes each image it reads once, however
// many sub-objects (title-bar buttons, a memo's bars, the thumb's and arrows' frames) cut
// pictures from it; counted with ThemeImageDecodes, for built-in styles and a theme file.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "framework/core/BmpCodec.h"
#include "framework/core/TypInfo.h"
#include "framework/ui/Forms.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRMemo.h"
#include "skin/controls/KYRScrollBar.h"
#include "skin/frame/KYRForm.h"
#include "skin/frame/KYRTitleBar.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

// A strip W x H whose every pixel is COLOUR.
Bytes SolidStrip(int w, int h, uint32_t colour) {
  TBmpImage image = MakeBmpImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.Pixel(x, y) = colour;
  return EncodeBmp(image, 24);
}

// A theme with four of the images the controls below read: the title bar's left end and its
// button strip, the scroll bar's arrow and thumb strips.
std::string FourImageTheme(const TempDir& dir) {
  const std::string path = dir / "four.thm";
  WriteFileBytes(path, ThemeFileBytes()
                           .Image("TitleBarLeftImage", SolidStrip(30, 20, 0x102030))
                           .Image("TitleBarButtonImage", SolidStrip(18 * 15, 15, 0x405060))
                           .Image("ScrollBarButtonImage", SolidStrip(6 * 16, 16, 0x708090))
                           .Image("ScrollBarSliderImage", SolidStrip(3 * 16, 16, 0xA0B0C0))
                           .Build());
  return path;
}

// The decodes of CHANGE.
int DecodesOf(const std::function<void()>& change) {
  const int before = ThemeImageDecodes();
  change();
  return ThemeImageDecodes() - before;
}

// A form with a skinned form panel, a memo bound to two bars, a lone scroll bar and a theme.
struct TStyledForm {
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  TkyrForm* panel = new TkyrForm(form.get());
  TkyrMemo* memo = new TkyrMemo(form.get());
  TkyrScrollBar* vBar = new TkyrScrollBar(form.get());
  TkyrScrollBar* hBar = new TkyrScrollBar(form.get());
  TkyrScrollBar* lone = new TkyrScrollBar(form.get());
  TkyrFileTheme* theme = new TkyrFileTheme(form.get());

  explicit TStyledForm(const std::string& themeFile) {
    form->SetBounds(40, 40, 320, 240);
    for (TControl* control : std::initializer_list<TControl*>{memo, vBar, hBar, lone}) control->SetParent(panel);
    memo->SetBounds(10, 40, 200, 120);
    lone->SetBounds(230, 40, 0, 120);
    memo->SetVScrollBar(vBar);
    memo->SetHScrollBar(hBar);
    theme->SetThemeFile(themeFile);
  }
};

}  // namespace

// Built in, every style: the panel's change reaches its title bar once, whose four buttons cut
// their pictures from one decoded strip (the sections are three more images); a memo's change
// reaches both bars once, which share the arrow and thumb strips; a lone scroll bar cuts its
// nine frames from two decodes. The old hand-over applied the title bar twice and every button
// decoded the strip for each picture (38 decodes), and each bar 9 times per application.
TEST(StyleHandDown, EachImageIsDecodedOncePerChange) {
  TempDir dir;
  TStyledForm on(FourImageTheme(dir));
  const TkyrUIStyle styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass, MacOS};
  for (const TkyrUIStyle style : styles) {
    SCOPED_TRACE(TkyrUIStyleInfo.NameOf(style));
    EXPECT_EQ(DecodesOf([&] { on.panel->SetUIStyle(style); }), 4);
    EXPECT_EQ(DecodesOf([&] { on.memo->SetUIStyle(style); }), 2);
    EXPECT_EQ(DecodesOf([&] { on.lone->SetUIStyle(style); }), 2);
    EXPECT_EQ(on.vBar->UIStyle(), style);
    EXPECT_EQ(on.panel->TitleBar()->UIStyle(), style);
    EXPECT_EQ(on.panel->TitleBar()->Buttons()->Items(1)->UIStyle(), style);
  }
}

// From the theme file: only the entries the file has are decoded, each once, also when the
// theme is set (which the memo used to pass to its bars before applying again).
TEST(StyleHandDown, ThemeFileEntriesAreDecodedOncePerChange) {
  TempDir dir;
  TStyledForm on(FourImageTheme(dir));
  on.panel->SetUIStyle(FromThemeFile);
  on.memo->SetUIStyle(FromThemeFile);
  EXPECT_EQ(DecodesOf([&] { on.panel->SetFileTheme(on.theme); }), 2);
  EXPECT_EQ(DecodesOf([&] { on.memo->SetFileTheme(on.theme); }), 2);
  EXPECT_EQ(on.hBar->FileTheme(), on.theme);
  EXPECT_EQ(on.hBar->UIStyle(), FromThemeFile);
  EXPECT_EQ(on.panel->TitleBar()->FileTheme(), on.theme);
  // The file's pictures reached the buttons and the bars.
  const TkyrTitleBarButton* close = on.panel->TitleBar()->Buttons()->Items(1);
  EXPECT_EQ(close->PicNormal()->Width(), 15);
  EXPECT_EQ(close->PicNormal()->Bitmap().Canvas().Pixel(7, 7), static_cast<TColor>(RGB(0x40, 0x50, 0x60)));
  EXPECT_EQ(on.vBar->ThumbMiddle().Height(), 16);
  EXPECT_EQ(DecodesOf([&] { on.panel->SetUIStyle(FromThemeFile); }), 2);
}

// The theme going away turns every user of it DeepBlue through its reference's call-back.
TEST(StyleHandDown, TheThemeGoingAwayTurnsItsUsersDeepBlue) {
  TempDir dir;
  TStyledForm on(FourImageTheme(dir));
  on.memo->SetUIStyle(FromThemeFile);
  on.memo->SetFileTheme(on.theme);
  on.lone->SetUIStyle(MacOS);
  on.lone->SetFileTheme(on.theme);
  delete on.theme;
  for (IkyrSkinned* skinned : {AsSkinned(on.memo), AsSkinned(on.vBar), AsSkinned(on.lone)}) {
    EXPECT_EQ(skinned->FileTheme(), nullptr);
    EXPECT_EQ(skinned->UIStyle(), DeepBlue);
  }
}
