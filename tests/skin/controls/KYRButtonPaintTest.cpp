// The skinned buttons' pixels, captured with WM_PRINTCLIENT: the three face frames per style,
// corners at their own size, transparent corners over the parent, glyph placement, focus marks,
// the image button's pictures, the speed button's hover frame, faces from a theme file, paint
// counts and handle counts.
#include "skin/controls/KYRButton.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "framework/core/Streams.h"
#include "framework/ui/ExtCtrls.h"
#include "skin/KYRStyled.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"
#include "tests/skin/KYRThemeFileTestSupport.h"
#include "tests/skin/controls/KYRButtonTestSupport.h"

using namespace kyrtest;

namespace {

constexpr TkyrUIStyle kStyles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

// Frame INDEX (1..3) of STYLE's ButtonImage.
std::unique_ptr<TBitmap> Frame(TkyrUIStyle style, int index) {
  auto frame = std::make_unique<TBitmap>();
  GetBuiltinBitmap(style, KYR_THEME_BUTTON_IMAGE, frame.get(), 3, index);
  return frame;
}

using TShot = uitest::TClientShot;

int CountWhere(const TShot& shot, const RECT& r, const std::function<bool(TColor)>& wanted) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += wanted(shot(x, y));
  return n;
}

bool Dark(TColor c) { return (c & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60; }

// A 16 x 16 glyph: white key around a 12 x 12 square of COLOR (pixels 2..13).
std::unique_ptr<TBitmap> SquareGlyph(TColor color, int frames = 1) {
  auto glyph = FilledBitmap(16 * frames, 16, clWhite);
  glyph->Canvas().Brush().SetColor(color);
  glyph->Canvas().FillRect(RECT{2, 2, 14, 14});
  if (frames == 2) {
    glyph->Canvas().Brush().SetColor(clBlue);
    glyph->Canvas().FillRect(RECT{18, 2, 30, 14});
  }
  return glyph;
}

class ButtonPaintTest : public ::testing::Test {
protected:
  void SetUp() override {
    host = uitest::Place<TPanel>(form.form, 0, 0, 300, 200);
    host->SetBevelOuter(bvNone);
    host->SetColor(clLime);
  }
  template <class T = TkyrButton>
  T* Add(int width, int height, TkyrUIStyle style = DeepBlue) {
    auto* b = uitest::Place<T>(host, 10, 10, width, height);
    b->SetUIStyle(style);
    b->SetCaption("");
    return b;
  }
  uitest::TShownForm form{320, 220};
  TPanel* host = nullptr;
};

// ---- faces ----

TEST_F(ButtonPaintTest, EachStateShowsItsFrameOfTheStylesButtonImage) {
  struct TState {
    const char* name;
    int frame;
    std::function<void(TkyrButton&)> enter;
  } states[] = {
      {"normal", 1, [](TkyrButton&) {}},
      {"mouse over", 2, [](TkyrButton& b) { b.Perform(CM_MOUSEENTER); }},
      {"pressed", 3, [](TkyrButton& b) { LeftDown(b); }},
      {"disabled", 1, [](TkyrButton& b) {
         b.Perform(CM_MOUSEENTER);
         b.SetEnabled(false);
       }},
  };
  for (TkyrUIStyle style : kStyles) {
    const auto frame1 = Frame(style, 1);
    const int w = frame1->Width(), h = frame1->Height();
    std::vector<TColor> centres;
    for (const TState& state : states) {
      SCOPED_TRACE(std::string(TkyrUIStyleInfo.NameOf(style)) + " " + state.name);
      TkyrButton* b = Add(w, h, style);
      state.enter(*b);
      const TShot shot(*b);
      const auto frame = Frame(style, state.frame);
      EXPECT_EQ(shot(w / 2, h / 2), PixelOf(*frame, w / 2, h / 2));
      EXPECT_EQ(shot(w / 2, 1), PixelOf(*frame, w / 2, 1));  // outside the focus rectangle of a press
      centres.push_back(shot(w / 2, h / 2));
      LeftUp(*b, -50, -50);
      delete b;
    }
    EXPECT_NE(centres[0], centres[1]);
    EXPECT_NE(centres[1], centres[2]);
    EXPECT_NE(centres[0], centres[2]);
  }
}

// A face three frames wide and twice as high keeps its corners pixel for pixel.
TEST_F(ButtonPaintTest, CornersKeepTheirSizeOnALargerFace) {
  for (TkyrUIStyle style : kStyles) {
    SCOPED_TRACE(TkyrUIStyleInfo.NameOf(style));
    const auto frame = Frame(style, 1);
    const int sw = frame->Width(), sh = frame->Height();
    const int hw = sw / 2, hh = sh / 2;
    TkyrButton* b = Add(3 * sw, 2 * sh, style);
    b->SetTransparent(false);  // opaque corners: every pixel comes from the bitmap
    const TShot shot(*b);
    const int W = b->Width(), H = b->Height();
    int wrong = 0;
    for (int y = 0; y < hh; ++y)
      for (int x = 0; x < hw; ++x) wrong += shot(x, y) != PixelOf(*frame, x, y);
    // The bottom-right corner: the last hw - 1 columns and hh - 1 rows.
    for (int y = 1; y < hh; ++y)
      for (int x = 1; x < hw; ++x) wrong += shot(W - x, H - y) != PixelOf(*frame, sw - x, sh - y);
    EXPECT_EQ(wrong, 0);
    // The middle of the top edge is the bitmap's middle column, stretched.
    EXPECT_EQ(shot(W / 2, 1), PixelOf(*frame, hw, 1));
    delete b;
  }
}

TEST_F(ButtonPaintTest, TransparentStylesShowTheParentInTheirCorners) {
  struct TCase {
    TkyrUIStyle style;
    bool transparent;
  } cases[] = {{MacOS, true}, {BlueGlass, true}, {WinXP, false}, {DeepBlue, false}, {Protein, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(TkyrUIStyleInfo.NameOf(c.style));
    const auto frame = Frame(c.style, 1);
    TkyrButton* b = Add(frame->Width() * 2, frame->Height(), c.style);
    EXPECT_EQ(b->Transparent(), c.transparent);
    const TShot shot(*b);
    EXPECT_EQ(shot(0, 0), c.transparent ? clLime : PixelOf(*frame, 0, 0));
    EXPECT_EQ(shot(b->Width() - 1, b->Height() - 1),
              c.transparent ? clLime : PixelOf(*frame, frame->Width() - 1, frame->Height() - 1));
    delete b;
  }
}

// A button in a container that shows the outer background (the toolbar, the navigator) shows
// the container's parent at the container's place, not the container.
class TOuterBackgroundPanel : public TPanel, public IkyrButtonContainer {
public:
  using TPanel::TPanel;
};

TEST_F(ButtonPaintTest, InAButtonContainerTheContainersParentShowsThrough) {
  host->SetColor(clRed);
  auto* bar = uitest::Place<TOuterBackgroundPanel>(host, 20, 20, 120, 40);
  bar->SetBevelOuter(bvNone);
  bar->SetColor(clLime);
  auto* b = uitest::Place<TkyrButton>(bar, 5, 5, 84, 23);
  b->SetUIStyle(MacOS);
  EXPECT_EQ(TShot(*b)(0, 0), clRed);
}

// ---- glyph and caption ----

TEST(ButtonGlyphPlacement, FromTheLayoutTable) {
  struct TCase {
    TButtonLayout layout;
    int w, h, tw, th, gw, gh, s;
    TkyrGlyphPlacement at;
  } cases[] = {
      {blGlyphLeft, 80, 27, 20, 13, 16, 16, 4, {20, 5, 40, 7}},
      {blGlyphRight, 80, 27, 20, 13, 16, 16, 4, {44, 5, 20, 7}},
      {blGlyphTop, 80, 41, 20, 13, 16, 16, 4, {32, 4, 30, 24}},
      {blGlyphBottom, 89, 41, 20, 19, 16, 16, 4, {36, 24, 34, 1}},  // the main window's Convert button
      {blGlyphLeft, 20, 20, 30, 13, 16, 16, 4, {-15, 2, 5, 3}},     // wider than the face: truncated toward zero
  };
  for (const TCase& c : cases)
    EXPECT_EQ(PlaceButtonGlyph(c.layout, c.w, c.h, c.tw, c.th, c.gw, c.gh, c.s), c.at) << ButtonLayoutInfo.NameOf(c.layout);
}

TEST_F(ButtonPaintTest, TheGlyphLandsWhereTheLayoutPutsItAndMovesWhenPressed) {
  for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
    SCOPED_TRACE(ButtonLayoutInfo.NameOf(layout));
    TkyrButton* b = Add(140, 70);
    b->SetCaption("Glyph");
    b->SetGlyph(*SquareGlyph(clRed));
    b->SetLayout(layout);
    b->SetSpacing(6);
    TWindowDC screen(nullptr);
    TCanvas measure(screen.Get());
    measure.Font().Assign(*b->Font());
    const SIZE text = measure.TextExtent("Glyph");
    const TkyrGlyphPlacement at = PlaceButtonGlyph(layout, 140, 70, text.cx, text.cy, 16, 16, 6);
    const TShot normal(*b);
    EXPECT_EQ(b->TextLeft(), at.TextLeft);
    EXPECT_EQ(b->TextTop(), at.TextTop);
    EXPECT_EQ(normal(at.GlyphX + 2, at.GlyphY + 2), clRed);
    EXPECT_EQ(normal(at.GlyphX + 13, at.GlyphY + 13), clRed);
    EXPECT_NE(normal(at.GlyphX + 1, at.GlyphY + 1), clRed);  // the key shows the face
    EXPECT_NE(normal(at.GlyphX + 14, at.GlyphY + 14), clRed);
    EXPECT_GT(CountWhere(normal, {at.TextLeft, at.TextTop, at.TextLeft + text.cx, at.TextTop + text.cy}, Dark), 0);
    LeftDown(*b);
    const TShot pressed(*b);
    EXPECT_EQ(pressed(at.GlyphX + 14, at.GlyphY + 14), clRed);
    EXPECT_NE(pressed(at.GlyphX + 2, at.GlyphY + 2), clRed);
    LeftUp(*b, -50, -50);
    delete b;
  }
}

TEST_F(ButtonPaintTest, DisabledGlyphsAreGreyedOrTakeTheirSecondFrame) {
  TkyrButton* one = Add(80, 27);
  one->SetGlyph(*SquareGlyph(clRed));
  TkyrButton* two = Add(80, 27);
  two->SetGlyph(*SquareGlyph(clRed, 2));
  const int x = (80 - 16) / 2 + 8, y = (27 - 16) / 2 + 8;  // no caption: centred
  EXPECT_EQ(TShot(*one)(x, y), clRed);
  EXPECT_EQ(TShot(*two)(x, y), clRed);
  one->SetEnabled(false);
  two->SetEnabled(false);
  const TColor greyed = TShot(*one)(x, y);
  EXPECT_NE(greyed, clRed);
  EXPECT_EQ(greyed & 0xFF, (greyed >> 16) & 0xFF);  // no colour left
  EXPECT_EQ(TShot(*two)(x, y), clBlue);              // the second frame, drawn as it is
}

// MacOS and BlueGlass mark the focus with a bold caption, the others with a dotted rectangle
// FocusedRectMargin inside the edges; with a glyph MacOS and BlueGlass show no mark at all.
TEST_F(ButtonPaintTest, FocusMarksPerStyle) {
  for (TkyrUIStyle style : kStyles) {
    for (bool glyph : {false, true}) {
      SCOPED_TRACE(std::string(TkyrUIStyleInfo.NameOf(style)) + (glyph ? " with glyph" : ""));
      TkyrButton* b = Add(100, 30, style);
      b->SetCaption("Focus");
      b->SetFocusedRectMargin(3);
      if (glyph) b->SetGlyph(*SquareGlyph(clRed));
      const TShot before(*b);
      b->SetFocus();
      const TShot focused(*b);
      const RECT line{3, 4, 4, 26};  // the left side of the rectangle
      const RECT text{0, 0, 100, 30};
      auto differs = [&](const RECT& r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
          for (int x = r.left; x < r.right; ++x) n += before(x, y) != focused(x, y);
        return n;
      };
      const bool bold = style == MacOS || style == BlueGlass;
      EXPECT_EQ(differs(line) > 0, !bold);
      if (bold) {
        EXPECT_EQ(differs(text) > 0, !glyph);
      }
      if (bold && !glyph) {
        EXPECT_GT(CountWhere(focused, text, Dark), CountWhere(before, text, Dark));
      }
      delete b;
    }
  }
}

TEST_F(ButtonPaintTest, ABlankCaptionIsNotDrawnNorMadeBoldLater) {
  TkyrButton* b = Add(100, 30, MacOS);
  b->SetCaption("   ");
  const TShot plain(*b);
  b->SetFocus();
  const TShot focused(*b);
  EXPECT_EQ(CountWhere(focused, {0, 0, 100, 30}, Dark), CountWhere(plain, {0, 0, 100, 30}, Dark));
  host->SetFocus();
  b->SetCaption("Later");
  const TShot later(*b);
  TkyrButton* fresh = Add(100, 30, MacOS);
  fresh->SetCaption("Later");
  EXPECT_EQ(CountWhere(later, {0, 0, 100, 30}, Dark), CountWhere(TShot(*fresh), {0, 0, 100, 30}, Dark));
}

// ---- the image button ----

TEST_F(ButtonPaintTest, TheImageButtonShowsThePictureOfItsState) {
  struct TCase {
    const char* name;
    std::function<void(TkyrImageButton&)> enter;
    TColor all, normalOnly;
  } cases[] = {
      {"normal", [](TkyrImageButton&) {}, clRed, clRed},
      {"mouse over", [](TkyrImageButton& b) { b.Perform(CM_MOUSEENTER); }, clGreen, clRed},
      {"pressed", [](TkyrImageButton& b) { LeftDown(b); }, clBlue, clRed},
      {"disabled", [](TkyrImageButton& b) { b.SetEnabled(false); }, clGray, clRed},
  };
  for (const TCase& c : cases) {
    for (bool allFour : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (allFour ? "" : ", PicNormal only"));
      auto* b = Add<TkyrImageButton>(20, 20);
      b->PicNormal()->Bitmap().Assign(*FilledBitmap(20, 20, clRed));
      if (allFour) {
        b->PicMouseOn()->Bitmap().Assign(*FilledBitmap(20, 20, clGreen));
        b->PicMouseDown()->Bitmap().Assign(*FilledBitmap(20, 20, clBlue));
        b->PicDisabled()->Bitmap().Assign(*FilledBitmap(20, 20, clGray));
      }
      c.enter(*b);
      EXPECT_EQ(TShot(*b)(10, 10), allFour ? c.all : c.normalOnly);
      LeftUp(*b, -50, -50);
      delete b;
    }
  }
}

TEST_F(ButtonPaintTest, ImageButtonStretchTransparencyAndNoPicture) {
  auto* b = Add<TkyrImageButton>(32, 32);
  b->SetColor(clYellow);
  EXPECT_EQ(TShot(*b)(16, 16), clYellow);  // no picture: the background only
  auto picture = FilledBitmap(8, 8, clWhite);
  picture->Canvas().Brush().SetColor(clRed);
  picture->Canvas().FillRect(RECT{2, 2, 8, 8});
  b->PicNormal()->Bitmap().Assign(*picture);
  EXPECT_EQ(TShot(*b)(5, 5), clRed);
  EXPECT_EQ(TShot(*b)(0, 0), clWhite);
  EXPECT_EQ(TShot(*b)(20, 20), clYellow);
  b->SetStretch(true);
  EXPECT_EQ(TShot(*b)(20, 20), clRed);
  b->SetTransparent(true);  // keyed by the top-left pixel: the parent shows there
  EXPECT_EQ(TShot(*b)(1, 1), clLime);
  EXPECT_EQ(TShot(*b)(20, 20), clRed);
}

// ---- the speed button ----

TEST_F(ButtonPaintTest, TheSpeedButtonFramesItsGlyphUnderThePointer) {
  auto* b = uitest::Place<TkyrToolBarSpeedButton>(host, 10, 10, 18, 18);
  b->SetColor(clYellow);
  EXPECT_EQ(TShot(*b)(0, 0), clYellow);
  b->Perform(CM_MOUSEENTER);
  EXPECT_EQ(TShot(*b)(0, 0), clYellow);  // no glyph, no frame
  b->SetGlyph(*SquareGlyph(clRed));      // keyed by its bottom-left pixel (white)
  const TShot hover(*b);
  EXPECT_EQ(hover(0, 0), clBlack);
  EXPECT_EQ(hover(17, 9), clBlack);
  EXPECT_EQ(hover(1 + 8, 1 + 8), clRed);
  EXPECT_EQ(hover(1 + 1, 1 + 1), clYellow);
  b->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(TShot(*b)(0, 0), clYellow);
}

// ---- faces from a theme file ----

TEST_F(ButtonPaintTest, AFromThemeFileButtonDrawsTheFilesFramesAndTransparency) {
  auto strip = FilledBitmap(60, 20, clRed);
  strip->Canvas().Brush().SetColor(clGreen);
  strip->Canvas().FillRect(RECT{20, 0, 40, 20});
  strip->Canvas().Brush().SetColor(clBlue);
  strip->Canvas().FillRect(RECT{40, 0, 60, 20});
  TMemoryStream bmp;
  strip->SaveToStream(bmp);
  TempDir dir;
  WriteFileBytes(dir / "t.thm", ThemeFileBytes().Image("ButtonImage", bmp.Bytes()).Bool("ButtonTransparentBool", 1).Build());
  TkyrFileTheme theme(form.form);
  theme.SetThemeFile(dir / "t.thm");
  TkyrButton* b = Add(20, 20, FromThemeFile);
  EXPECT_FALSE(b->Transparent());  // no theme yet: DeepBlue
  b->SetFileTheme(&theme);
  EXPECT_TRUE(b->Transparent());
  EXPECT_EQ(TShot(*b)(10, 10), clRed);
  b->Perform(CM_MOUSEENTER);
  EXPECT_EQ(TShot(*b)(10, 10), clGreen);
  LeftDown(*b);
  EXPECT_EQ(TShot(*b)(10, 10), clBlue);
  LeftUp(*b, -50, -50);
  b->SetAutoSize(true);  // the built-in tables only: FromThemeFile has none
  EXPECT_EQ(b->Width(), 24);
  EXPECT_EQ(b->Height(), 21);
}

// ---- redundant work and leaks ----

TEST_F(ButtonPaintTest, HoverRepaintsOnlyTheButtonUnderThePointer) {
  TkyrButton* a = Add(80, 27, WinXP);
  TkyrButton* other = uitest::Place<TkyrButton>(host, 100, 10, 80, 27);
  uitest::Pump();
  UpdateWindow(form->Handle());
  uitest::TMessageLog paintsA(a, {WM_PAINT});
  uitest::TMessageLog paintsOther(other, {WM_PAINT});
  a->Perform(CM_MOUSEENTER);
  uitest::Pump();
  a->Perform(CM_MOUSELEAVE);
  uitest::Pump();
  EXPECT_GE(paintsA.messages.size(), 1u);
  EXPECT_EQ(paintsOther.messages.size(), 0u);
}

TEST(ButtonHandles, CreatingPaintingRestylingAndDestroyingLeaksNothing) {
  if (!HandleCountsEnabled()) GTEST_SKIP() << "handle counts are on in Debug builds";
  auto paint = [](TWinControl& c) {
    uitest::TCapture capture(c.Width(), c.Height());
    SendMessageA(c.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  };
  const THandleBaseline baseline;
  {
    uitest::TShownForm form(300, 200);
    auto* b = uitest::Place<TkyrButton>(form.form, 10, 10, 90, 30);
    b->SetCaption("&Leak?");
    b->SetGlyph(*SquareGlyph(clRed, 2));
    auto* image = uitest::Place<TkyrImageButton>(form.form, 10, 50, 20, 20);
    image->PicNormal()->Bitmap().Assign(*FilledBitmap(20, 20, clRed));
    auto* speed = uitest::Place<TkyrToolBarSpeedButton>(form.form, 10, 80, 18, 18);
    speed->SetGlyph(*SquareGlyph(clRed));
    for (int round = 0; round < 4; ++round) {
      for (TkyrUIStyle style : kStyles) {
        b->SetUIStyle(style);
        b->Perform(CM_MOUSEENTER);
        b->SetFocus();
        for (TWinControl* c : std::initializer_list<TWinControl*>{b, image, speed}) paint(*c);
        LeftDown(*b);
        paint(*b);
        LeftUp(*b);
        b->SetEnabled(false);
        paint(*b);
        b->SetEnabled(true);
        uitest::Pump();
      }
    }
  }
  baseline.ExpectUnchanged();
}

}  // namespace
