// The skinned scroll bar: the thumb's length and pieces as plain numbers and pixels, the layout
// and pictures of every style in both orientations, the setters' refusals, then real windows
// under Wine: arrows stepping on their repeat timer and stopping on every way a hold ends.
#include "skin/controls/KYRScrollBar.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/KYRClasses.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

// ---- the thumb ----

TEST(ScrollThumb, LengthFromLineButtonOrPageSize) {
  const struct {
    int LineButton;
    int32_t PageSize;
    int TrackLength, Length;
  } cases[] = {
      {0, 2, 200, 20},    // below 10 percent: 10 percent
      {0, 10, 200, 20},   {0, 50, 200, 100},  {0, 100, 200, 200},
      {0, 101, 200, 20},  // above 100 percent: 10 percent
      {0, 150, 200, 20},  {0, 33, 100, 33},   {0, 33, 10, 3},  // integer division
      {0, 50, 0, 0},      // no track: no thumb
      {5, 50, 200, 18},   // a fixed length below 18 becomes 18
      {18, 2, 200, 18},   {40, 2, 200, 40},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ScrollThumbLength(c.LineButton, c.PageSize, c.TrackLength), c.Length)
        << c.LineButton << " / " << c.PageSize << " of " << c.TrackLength;
}

void Solid(TBitmap& b, int width, int height, TColor color) {
  b.SetSize(width, height);
  b.Canvas().Brush().SetColor(color);
  b.Canvas().FillRect(RECT{0, 0, width, height});
}

TEST(ScrollThumb, CapsAtTheEndsAndTheMiddleStretchedBetween) {
  for (const bool vertical : {false, true}) {
    // Lying 4 x 10 pieces for a horizontal thumb, standing 10 x 4 ones for a vertical one.
    const int w = vertical ? 10 : 4, h = vertical ? 4 : 10;
    TBitmap start, middle, end;
    Solid(start, w, h, clRed);
    Solid(middle, w, h, clLime);
    Solid(end, w, h, clBlue);
    TBitmap thumb;
    BuildScrollThumb(start, middle, end, vertical, 30, thumb);
    EXPECT_EQ(thumb.Width(), vertical ? 10 : 30);
    EXPECT_EQ(thumb.Height(), vertical ? 30 : 10);
    const auto at = [&](int along) {
      return vertical ? thumb.Canvas().Pixel(5, along) : thumb.Canvas().Pixel(along, 5);
    };
    EXPECT_EQ(at(0), clRed);
    EXPECT_EQ(at(3), clRed);
    EXPECT_EQ(at(4), clLime);
    EXPECT_EQ(at(25), clLime);
    EXPECT_EQ(at(26), clBlue);
    EXPECT_EQ(at(29), clBlue);
    BuildScrollThumb(start, middle, end, vertical, 0, thumb);
    EXPECT_TRUE(thumb.Empty());
  }
}

// ---- properties, pictures, layout (no window needed) ----

TEST(SkinnedScrollBar, StartsWithTheDefaults) {
  TkyrScrollBar bar(nullptr);
  EXPECT_EQ(bar.UIStyle(), DeepBlue);
  EXPECT_EQ(bar.Orientation(), kyrHorizontal);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_EQ(bar.SmallChange(), 1);
  EXPECT_EQ(bar.LargeChange(), 2);
  EXPECT_EQ(bar.PageSize(), 2);
  EXPECT_EQ(bar.LineButton(), 0);
  EXPECT_FALSE(bar.Track()->ShowTick());
  EXPECT_FALSE(bar.Track()->TabStop());
  EXPECT_FALSE(bar.IncButton()->TabStop());
  EXPECT_EQ(bar.IncButton()->MouseContinuouslyDownInterval(), 100);
  EXPECT_EQ(bar.Color(), static_cast<TColor>(GetBuiltinColor(DeepBlue, KYR_THEME_SCROLL_BAR_BACKGROUND_COLOR)));
}

TEST(SkinnedScrollBar, EveryStyleLaysOutItsArrowsTrackAndThumb) {
  for (TkyrUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    for (TkyrProgressBarOrientation orientation : {kyrHorizontal, kyrVertical}) {
      const bool horizontal = orientation == kyrHorizontal;
      SCOPED_TRACE(std::to_string(style) + (horizontal ? " horizontal" : " vertical"));
      TkyrScrollBar bar(nullptr);
      bar.SetUIStyle(style);
      bar.SetOrientation(orientation);
      bar.SetBounds(0, 0, 200, 200);
      TBitmap arrow;
      GetBuiltinBitmap(style, KYR_THEME_SCROLL_BAR_BUTTON_IMAGE, &arrow, 6, 1);
      ASSERT_GT(arrow.Width(), 0);
      // The cross size follows the arrow picture: its width, upright or turned to lie.
      EXPECT_EQ(horizontal ? bar.Height() : bar.Width(), arrow.Width());
      EXPECT_EQ(bar.DecButton()->Width(), horizontal ? arrow.Height() : arrow.Width());
      EXPECT_EQ(bar.DecButton()->Height(), horizontal ? arrow.Width() : arrow.Height());
      const int dec = horizontal ? bar.DecButton()->Width() : bar.DecButton()->Height();
      const int inc = horizontal ? bar.IncButton()->Width() : bar.IncButton()->Height();
      const RECT track = bar.Track()->BoundsRect(), incAt = bar.IncButton()->BoundsRect();
      EXPECT_EQ(horizontal ? track.left : track.top, dec);
      EXPECT_EQ(horizontal ? track.right : track.bottom, horizontal ? 200 - inc : 200 - inc - 1);
      EXPECT_EQ(horizontal ? incAt.left : incAt.top, 200 - inc);
      // The thumb: the slider piece's cross size, 10 percent of the track (PageSize 2).
      TBitmap piece;
      GetBuiltinBitmap(style, KYR_THEME_SCROLL_BAR_SLIDER_IMAGE, &piece, 3, 1);
      const TkyrTrackSlider* thumb = bar.Track()->Slider();
      const int trackLength = horizontal ? track.right - track.left : track.bottom - track.top;
      EXPECT_EQ(horizontal ? thumb->Width() : thumb->Height(), trackLength / 10);
      EXPECT_EQ(horizontal ? thumb->Height() : thumb->Width(), piece.Height());
      EXPECT_TRUE(bar.Track()->BarImage()->Empty());
      // The arrow pictures are the six frames in order, lying on their left side when horizontal.
      TkyrScrollArrow* arrows[] = {bar.DecButton(), bar.DecButton(), bar.DecButton(),
                                   bar.IncButton(), bar.IncButton(), bar.IncButton()};
      for (int k = 1; k <= 6; ++k) {
        TBitmap frame;  // upright
        GetBuiltinBitmap(style, KYR_THEME_SCROLL_BAR_BUTTON_IMAGE, &frame, 6, k);
        TPicture* pictures[] = {arrows[k - 1]->PicNormal(), arrows[k - 1]->PicMouseOn(), arrows[k - 1]->PicMouseDown()};
        const TBitmap& shown = pictures[(k - 1) % 3]->Bitmap();
        ASSERT_FALSE(shown.Empty()) << k;
        // The top-right pixel of the upright frame is the top-left one once turned left.
        const TColor expected = horizontal ? frame.Canvas().Pixel(frame.Width() - 1, 0) : frame.Canvas().Pixel(0, 0);
        EXPECT_EQ(const_cast<TBitmap&>(shown).Canvas().Pixel(0, 0), expected) << k;
      }
    }
  }
}

TEST(SkinnedScrollBar, LineButtonAndPageSizeSizeTheThumb) {
  TkyrScrollBar bar(nullptr);
  bar.SetBounds(0, 0, 240, 20);  // the height follows the arrows
  const int track = bar.Track()->Width();
  const auto thumb = [&] { return bar.Track()->Slider()->Width(); };
  EXPECT_EQ(thumb(), track / 10);  // PageSize 2
  bar.SetPageSize(50);
  EXPECT_EQ(thumb(), track / 2);
  bar.SetPageSize(150);  // above Max 100: refused, the thumb keeps its size
  EXPECT_EQ(bar.PageSize(), 50);
  EXPECT_EQ(thumb(), track / 2);
  bar.SetMax(200);
  bar.SetPageSize(150);  // accepted, read as more than 100 percent: 10 percent
  EXPECT_EQ(bar.PageSize(), 150);
  EXPECT_EQ(thumb(), track / 10);
  bar.SetLargeChange(70000);  // the page size without a new thumb; read back as 16 bits
  EXPECT_EQ(thumb(), track / 10);
  bar.SetMax(100000);
  bar.SetLargeChange(70000);
  EXPECT_EQ(bar.PageSize(), 70000);
  EXPECT_EQ(bar.LargeChange(), 70000 & 0xFFFF);

  bar.SetLineButton(5);
  EXPECT_EQ(bar.LineButton(), 18);
  EXPECT_EQ(thumb(), 18);
  bar.SetLineButton(track + 1);  // longer than the room between the arrows: refused
  EXPECT_EQ(bar.LineButton(), 18);
  bar.SetLineButton(track);
  EXPECT_EQ(thumb(), track);
  bar.SetLineButton(0);
  EXPECT_EQ(thumb(), track / 10);
}

TEST(SkinnedScrollBar, SettersKeepTheirRanges) {
  TkyrScrollBar bar(nullptr);
  int changes = 0;
  bar.SetOnChange([&](TObject* sender) {
    EXPECT_EQ(sender, bar.Track());
    ++changes;
  });
  const struct {
    int Value, Kept;
  } smalls[] = {{0, 1}, {-5, 1}, {1, 1}, {32767, 32767}, {32768, 32767}, {1 << 30, 32767}, {300, 300}};
  for (const auto& c : smalls) {
    bar.SetSmallChange(c.Value);
    EXPECT_EQ(bar.SmallChange(), c.Kept) << c.Value;
  }
  bar.SetPosition(0);
  EXPECT_EQ(changes, 0);
  bar.SetPosition(150);
  EXPECT_EQ(bar.Position(), 100);
  EXPECT_EQ(changes, 1);

  bar.SetBounds(0, 0, 0, 17);  // no length: hidden
  EXPECT_FALSE(bar.Visible());
}

TEST(SkinnedScrollBar, OrientationSwapsTheLayout) {
  TkyrScrollBar bar(nullptr);
  bar.SetUIStyle(WinXP);
  bar.SetBounds(0, 0, 150, 20);
  const int cross = bar.Height();
  const int arrowWidth = bar.DecButton()->Width(), arrowHeight = bar.DecButton()->Height();
  bar.SetOrientation(kyrHorizontal);  // the current value: nothing changes
  EXPECT_EQ(bar.Width(), 150);
  bar.SetOrientation(kyrVertical);
  bar.SetHeight(150);
  EXPECT_EQ(bar.Width(), cross);
  EXPECT_EQ(bar.Height(), 150);
  EXPECT_EQ(bar.DecButton()->Width(), arrowHeight);  // the pictures are turned
  EXPECT_EQ(bar.DecButton()->Height(), arrowWidth);
  EXPECT_EQ(bar.Track()->Orientation(), kyrVertical);
  EXPECT_EQ(bar.Track()->Top(), bar.DecButton()->Height());
}

TEST(SkinnedScrollBar, IsRegisteredPublishesInOrderAndFallsBackWhenItsThemeGoes) {
  RegisterSkinClasses();
  ASSERT_NE(FindComponentClass("TkyrScrollBar"), nullptr);
  const std::vector<std::string> own = {"FileTheme", "LineButton", "Orientation", "UIStyle",    "Max",     "Min",
                                        "Position",  "SmallChange", "LargeChange", "PageSize", "OnChange"};
  std::vector<std::string> seen;
  for (const TPropInfo* p : TkyrScrollBar::StaticClassInfo().Properties())
    if (std::find(own.begin(), own.end(), p->Name) != own.end()) seen.push_back(p->Name);
  EXPECT_EQ(seen, own);

  TComponent owner(nullptr);
  auto* theme = new TkyrFileTheme(&owner);
  auto* bar = new TkyrScrollBar(&owner);
  bar->SetUIStyle(Protein);
  bar->SetFileTheme(theme);
  delete theme;
  EXPECT_EQ(bar->FileTheme(), nullptr);
  EXPECT_EQ(bar->UIStyle(), DeepBlue);
}

// ---- the arrows, in real windows ----

class ScrollBarWindow : public ::testing::Test {
public:
  TkyrScrollBar* Make() {
    auto* bar = new TkyrScrollBar(shown.form);
    bar->SetParent(shown.form);
    bar->SetBounds(10, 10, 200, 20);
    bar->Handle();
    return bar;
  }
  static void Press(TControl* arrow) { Send(arrow, WM_LBUTTONDOWN, MK_LBUTTON); }
  static void Release(TControl* arrow) { Send(arrow, WM_LBUTTONUP); }
  static void Send(TControl* arrow, UINT msg, WPARAM keys = 0) {
    SendMessageA(static_cast<TWinControl*>(arrow)->Handle(), msg, keys, MAKELPARAM(3, 3));
  }
  // Lets queued timer ticks through for a while (the bound is no expectation).
  static void PumpAWhile() {
    uitest::PumpUntil([] { return false; }, 350);
  }

  uitest::TShownForm shown{260, 80};
};

// A click steps once at the press; a hold then repeats.
TEST_F(ScrollBarWindow, ArrowsStepBySmallChangeOnceAClickAndRepeatWhileHeld) {
  TkyrScrollBar* bar = Make();
  bar->SetSmallChange(7);
  bar->SetPosition(43);
  Send(bar->IncButton(), WM_RBUTTONDOWN);  // other buttons step nothing
  Send(bar->IncButton(), WM_RBUTTONUP);
  EXPECT_EQ(bar->Position(), 43);
  Press(bar->IncButton());
  Release(bar->IncButton());  // released before any tick
  PumpAWhile();
  EXPECT_EQ(bar->Position(), 50);

  std::vector<int32_t> seen;
  bar->SetOnChange([&](TObject*) { seen.push_back(bar->Position()); });
  Press(bar->IncButton());
  EXPECT_EQ(seen, (std::vector<int32_t>{57}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return seen.size() >= 3; }));
  Release(bar->IncButton());
  EXPECT_EQ(seen, (std::vector<int32_t>{57, 64, 71}));
  Press(bar->DecButton());
  ASSERT_TRUE(uitest::PumpUntil([&] { return bar->Position() <= 50; }));
  Release(bar->DecButton());
  EXPECT_EQ(bar->Position(), 50);
  PumpAWhile();
  EXPECT_EQ(bar->Position(), 50);
  delete bar;
}

TEST_F(ScrollBarWindow, ArrowRepeatStopsOnEveryWayTheHoldEnds) {
  const struct {
    const char* Name;
    std::function<void(TkyrScrollBar*)> End;
  } cases[] = {
      {"released", [](TkyrScrollBar* b) { Release(b->IncButton()); }},
      {"released elsewhere", [](TkyrScrollBar* b) { SendMessageA(b->IncButton()->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(500, 500)); }},
      {"capture taken", [](TkyrScrollBar* b) { SetCapture(b->Parent()->Handle()); }},
      {"capture released", [](TkyrScrollBar*) { ReleaseCapture(); }},
      {"scroll bar disabled", [](TkyrScrollBar* b) { b->SetEnabled(false); }},
      {"scroll bar hidden", [](TkyrScrollBar* b) { b->SetVisible(false); }},
  };
  for (const auto& c : cases) {
    TkyrScrollBar* bar = Make();
    Press(bar->IncButton());
    ASSERT_TRUE(uitest::PumpUntil([&] { return bar->Position() >= 1; })) << c.Name;
    c.End(bar);
    EXPECT_FALSE(bar->IncButton()->RepeatTimerActive()) << c.Name;
    const int32_t held = bar->Position();
    PumpAWhile();
    EXPECT_EQ(bar->Position(), held) << c.Name;
    ReleaseCapture();
    delete bar;
  }
}

TEST_F(ScrollBarWindow, ATickNeverReentersItselfAndDestroyingAHeldBarIsSafe) {
  TkyrScrollBar* bar = Make();
  int depth = 0, deepest = 0, changes = 0;
  bar->SetOnChange([&](TObject*) {
    ++changes;
    deepest = std::max(deepest, ++depth);
    if (changes == 1) PumpAWhile();  // a handler that lets later ticks through
    --depth;
  });
  Press(bar->IncButton());
  ASSERT_TRUE(uitest::PumpUntil([&] { return changes >= 2; }));
  Release(bar->IncButton());
  EXPECT_EQ(deepest, 1);

  Press(bar->DecButton());
  const HWND arrow = bar->DecButton()->Handle();
  delete bar;
  EXPECT_FALSE(IsWindow(arrow));
  EXPECT_NE(GetCapture(), arrow);
  PumpAWhile();
}

}  // namespace
