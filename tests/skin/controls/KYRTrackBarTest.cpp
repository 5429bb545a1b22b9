// The skinned track bar: its arithmetic as plain numbers, then real windows under Wine driven by
// sent messages (keys, page clicks, dragging, the repeat timer), tick pixels read back through
// WM_PRINTCLIENT, the style tables, the scroll bar's variant and live GDI handle counts.
#include "skin/controls/KYRTrackBar.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/BmpCodec.h"
#include "framework/core/FormReader.h"
#include "framework/graphics/GdiHandles.h"
#include "skin/KYRClasses.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

constexpr int32_t kMinInt = std::numeric_limits<int32_t>::min();
constexpr int32_t kMaxInt = std::numeric_limits<int32_t>::max();

// ---- the arithmetic ----

TEST(TrackArithmetic, ValueAtAPoint) {
  const struct {
    int Point, SliderLength, Span;
    int32_t Min, Max, Value;
  } cases[] = {
      {5, 11, 174, 0, 10, 0},          // the slider's middle at the start of the travel
      {179, 11, 174, 0, 10, 10},       // ... and at its end
      {92, 11, 174, 0, 10, 5},         // 87 * 10 / 174 = 5
      {13, 11, 174, 0, 10, 0},         // 0.46 rounds down
      {14, 11, 174, 0, 10, 1},         // 0.52 rounds up
      {1, 0, 4, 0, 2, 0},              // 0.5: ties go to the even neighbour
      {3, 0, 4, 0, 2, 2},              // 1.5
      {-100, 11, 174, 0, 10, 0},       // before the travel: Min
      {5000, 11, 174, 0, 10, 10},      // beyond it: Max
      {92, 11, 174, -10, -5, -8},      // -10 + round(2.5) = -10 + 2
      {3, 0, 10, 10, 0, 7},            // an inverted range reads from the far end
      {1, 0, 2, 10, 9, 10},            // 10 + round(-0.5) = 10 (tie to even)
      {500, 0, 1000, kMinInt, kMaxInt, 0},  // 2147483647.5 rounds to 2^31
      {1000, 0, 1000, kMinInt, kMaxInt, kMaxInt},
      {0, 0, 1000, kMinInt, kMaxInt, kMinInt},
      {179, 11, 174, 0, kMaxInt, kMaxInt},
      {92, 11, 0, 3, 10, 3},           // no travel: Min
      {92, 11, 174, 5, 5, 5},          // a range of one value
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrackValueAt(c.Point, c.SliderLength, c.Span, c.Min, c.Max), c.Value)
        << c.Point << " on " << c.Min << ".." << c.Max << " span " << c.Span;
  }
}

TEST(TrackArithmetic, SliderOffsetAndSpan) {
  const struct {
    int32_t Position, Min, Max;
    int Span, Offset;
  } cases[] = {
      {0, 0, 10, 174, 0},     {10, 0, 10, 174, 174},          {5, 0, 10, 174, 87},
      {3, 0, 10, 174, 52},    {7, 10, 0, 10, 3},              {5, 5, 5, 174, 0},
      {0, kMinInt, kMaxInt, 1000, 500},  {kMaxInt, kMinInt, kMaxInt, 1000, 1000},
      {kMaxInt, 0, kMaxInt, kMaxInt, kMaxInt},  {5, 0, 10, -3, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TrackSliderOffset(c.Position, c.Min, c.Max, c.Span), c.Offset) << c.Position << " of " << c.Min << ".." << c.Max;
  EXPECT_EQ(TrackSpan(185, 11), 174);
  EXPECT_EQ(TrackSpan(11, 11), 0);
  EXPECT_EQ(TrackSpan(5, 11), 0);
}

std::vector<int> Range(int from, int to) {
  std::vector<int> r;
  for (int i = from; i <= to; ++i) r.push_back(i);
  return r;
}

TEST(TrackArithmetic, TickOffsetsStepFromTheMinimumAndEndAtTheMaximum) {
  const struct {
    int32_t Min, Max, Frequency;
    int Span;
    std::vector<int> Offsets;
  } cases[] = {
      {0, 10, 1, 100, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
      {0, 10, 3, 100, {0, 30, 60, 90, 100}},
      {0, 10, 0, 100, {0, 100}},
      {0, 10, -2, 100, {0, 100}},
      {5, 5, 1, 100, {}},
      {0, 10, 3, 0, {0}},
      {0, 1000000000, 1, 20, Range(0, 20)},             // a loop over every value never ends here
      {0, kMaxInt, 1, 20, Range(0, 20)},
      {0, 1000, 2, 100, Range(0, 100)},                 // denser than pixels
      {kMinInt, kMaxInt, 1 << 30, 8, {0, 2, 4, 6, 8}},  // steps of 2^30 from -2^31
      {0, 1000000000, 100000000, 10, Range(0, 10)},
      {kMinInt, kMaxInt, kMaxInt, 4, {0, 1, 3, 4}},     // -2^31, -1, 2^31 - 2, then Max
  };
  for (const auto& c : cases)
    EXPECT_EQ(TrackTickOffsets(c.Min, c.Max, c.Frequency, c.Span), c.Offsets)
        << c.Min << ".." << c.Max << " every " << c.Frequency;
}

TEST(TrackArithmetic, StepsSaturateAtTheIntegerLimits) {
  EXPECT_EQ(SaturatingStep(kMaxInt - 1, 5), kMaxInt);
  EXPECT_EQ(SaturatingStep(kMinInt + 1, -5), kMinInt);
  EXPECT_EQ(SaturatingStep(0, std::numeric_limits<int64_t>::max()), kMaxInt);
  EXPECT_EQ(SaturatingStep(-1, std::numeric_limits<int64_t>::min()), kMinInt);
  EXPECT_EQ(SaturatingStep(5, -3), 2);
}

// ---- properties and styles (no window needed) ----

TEST(SkinnedTrackBar, StartsAsThePartSays) {
  TkyrTrackBar bar(nullptr);
  EXPECT_EQ(bar.UIStyle(), DeepBlue);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 10);
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_EQ(bar.PageSize(), 2);
  EXPECT_EQ(bar.LineSize(), 1);
  EXPECT_EQ(bar.Frequency(), 1);
  EXPECT_EQ(bar.Orientation(), kyrHorizontal);
  EXPECT_TRUE(bar.ShowTick());
  EXPECT_TRUE(bar.TabStop());
  EXPECT_TRUE(bar.ParentColor());
  EXPECT_FALSE(bar.Transparent());
  EXPECT_FALSE(bar.ControlStyle().Contains(csAcceptsControls));
  EXPECT_EQ(bar.Height(), 20);  // slider 11 x 20 over a bar of 4 rows
  EXPECT_EQ(bar.Slider()->Width(), 11);
  EXPECT_EQ(bar.BarStrip().Width(), bar.Width());
  EXPECT_EQ(bar.BarStrip().Height(), 4);
  EXPECT_EQ(TrackTickOffsets(bar.Min(), bar.Max(), bar.Frequency(), bar.Span()).size(), 11u);
}

TEST(SkinnedTrackBar, TheImagesOfEachStyleSetTheThickness) {
  for (TkyrUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    for (TkyrProgressBarOrientation orientation : {kyrHorizontal, kyrVertical}) {
      SCOPED_TRACE(std::to_string(style) + (orientation == kyrHorizontal ? " horizontal" : " vertical"));
      TkyrTrackBar bar(nullptr);
      bar.SetUIStyle(style);
      bar.SetOrientation(orientation);
      TBitmap barImage, slider;
      GetBuiltinBitmap(style, KYR_THEME_TRACK_BAR_BAR_IMAGE, &barImage);
      GetBuiltinBitmap(style, orientation == kyrHorizontal ? KYR_THEME_TRACK_BAR_SLIDER_IMAGE : KYR_THEME_TRACK_BAR_SLIDER_V_IMAGE,
                       &slider);
      EXPECT_EQ(bar.Slider()->Width(), slider.Width());
      EXPECT_EQ(bar.Slider()->Height(), slider.Height());
      if (orientation == kyrHorizontal) {
        EXPECT_EQ(bar.Height(), std::max(barImage.Height(), slider.Height()));
        EXPECT_EQ(bar.BarStrip().Height(), barImage.Height());
        EXPECT_EQ(bar.BarStrip().Width(), bar.Width());
        EXPECT_TRUE(bar.Slider()->Transparent());
      } else {
        EXPECT_EQ(bar.Width(), std::max(barImage.Height(), slider.Width()));
        EXPECT_EQ(bar.BarStrip().Width(), barImage.Height());
        EXPECT_EQ(bar.BarStrip().Height(), bar.Height());
        EXPECT_FALSE(bar.Slider()->Transparent());
      }
      EXPECT_EQ(bar.Transparent(), style == MacOS);
    }
  }
}

// A description sets the bounds before the orientation: a vertical bar keeps its stored length,
// and both orientations take the style's thickness once loaded.
TEST(SkinnedTrackBar, AStoredDescriptionKeepsTheLengthOfEitherOrientation) {
  RegisterSkinClasses();
  TForm form(nullptr);
  ReadComponentText("object Form1: TForm\n"
                    "  object Across: TkyrTrackBar\n"
                    "    Left = 4\n    Top = 6\n    Width = 150\n    Height = 45\n"
                    "    Orientation = kyrHorizontal\n"
                    "  end\n"
                    "  object Down: TkyrTrackBar\n"
                    "    Left = 200\n    Top = 6\n    Width = 45\n    Height = 120\n"
                    "    Orientation = kyrVertical\n    Max = 10\n    Position = 10\n"
                    "  end\n"
                    "end\n",
                    form);
  auto* across = dynamic_cast<TkyrTrackBar*>(form.FindComponent("Across"));
  auto* down = dynamic_cast<TkyrTrackBar*>(form.FindComponent("Down"));
  ASSERT_TRUE(across && down);
  EXPECT_EQ((std::vector<int>{across->Left(), across->Top(), across->Width(), across->Height()}),
            (std::vector<int>{4, 6, 150, 20}));
  EXPECT_EQ((std::vector<int>{down->Left(), down->Top(), down->Width(), down->Height()}),
            (std::vector<int>{200, 6, down->Slider()->Width(), 120}));
  // The slider at the maximum stands at the bottom of the stored length.
  EXPECT_EQ(down->Slider()->Top() + down->Slider()->Height(), 120);
}

TEST(SkinnedTrackBar, SettersClampAndRefuseAsThePartSays) {
  TkyrTrackBar bar(nullptr);
  int changes = 0;
  bar.SetOnChange([&](TObject* sender) {
    EXPECT_EQ(sender, &bar);
    ++changes;
  });
  bar.SetPosition(0);
  EXPECT_EQ(changes, 0);  // the current value: no OnChange
  bar.SetPageSize(11);
  EXPECT_EQ(bar.PageSize(), 2);
  bar.SetLineSize(-1);
  EXPECT_EQ(bar.LineSize(), 1);
  bar.SetPosition(25);
  EXPECT_EQ(bar.Position(), 10);
  EXPECT_EQ(changes, 1);
  bar.SetMax(-5);
  EXPECT_EQ(bar.Max(), 0);
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_EQ(changes, 2);
  bar.SetMin(3);
  EXPECT_EQ(bar.Min(), 0);  // lowered to Max
  bar.SetMax(100);
  bar.SetMin(40);
  EXPECT_EQ(bar.Position(), 40);
  bar.SetMin(kMinInt);
  bar.SetMax(kMaxInt);
  bar.SetPosition(kMaxInt - 1);
  bar.StepPosition(kMaxInt);
  EXPECT_EQ(bar.Position(), kMaxInt);  // not wrapped round to the minimum
  bar.StepPosition(-3 * int64_t{kMaxInt});
  EXPECT_EQ(bar.Position(), kMinInt);
}

TEST(SkinnedTrackBar, IsRegisteredAndPublishesItsPropertiesInOrder) {
  RegisterSkinClasses();
  ASSERT_NE(FindComponentClass("TkyrTrackBar"), nullptr);
  const std::vector<std::string> own = {"Orientation", "FileTheme", "UIStyle",   "BarImage", "SliderImage",
                                        "Max",         "Min",       "Position",  "PageSize", "LineSize",
                                        "ShowTick",    "Transparent", "Frequency", "OnChange"};
  std::vector<std::string> seen;
  for (const TPropInfo* p : TkyrTrackBar::StaticClassInfo().Properties())
    if (std::find(own.begin(), own.end(), p->Name) != own.end()) seen.push_back(p->Name);
  EXPECT_EQ(seen, own);
  std::unique_ptr<TComponent> made(CreateComponentByClassName("TkyrTrackBar", nullptr));
  SetOrdProp(*made, "Max", 50);
  SetPropText(*made, "Orientation", "kyrVertical");
  EXPECT_EQ(static_cast<TkyrTrackBar*>(made.get())->Max(), 50);
  EXPECT_EQ(static_cast<TkyrTrackBar*>(made.get())->Orientation(), kyrVertical);
}

// A 24-bit BMP of W x H in one colour, magenta in the corner pixels.
Bytes Picture(int width, int height, uint32_t rgb) {
  TBmpImage image = MakeBmpImage(width, height, rgb);
  image.Pixel(0, 0) = 0xFF00FF;
  return EncodeBmp(image, 24);
}

TEST(SkinnedTrackBar, TakesItsImagesFromATheme) {
  TempDir dir;
  WriteFileBytes(dir / "t.thm", ThemeFileBytes()
                                    .Image("TrackBarBarImage", Picture(30, 6, 0x00FF00))
                                    .Image("TrackBarSliderImage", Picture(9, 25, 0x0000FF))
                                    .Build());
  TComponent owner(nullptr);
  auto* theme = new TkyrFileTheme(&owner);
  theme->SetThemeFile(dir / "t.thm");
  auto* bar = new TkyrTrackBar(&owner);
  bar->SetFileTheme(theme);
  bar->SetUIStyle(FromThemeFile);
  EXPECT_EQ(bar->Height(), 25);
  EXPECT_EQ(bar->Slider()->Width(), 9);
  EXPECT_EQ(bar->BarStrip().Height(), 6);
  delete theme;  // the theme goes: DeepBlue
  EXPECT_EQ(bar->FileTheme(), nullptr);
  EXPECT_EQ(bar->UIStyle(), DeepBlue);
  EXPECT_EQ(bar->Height(), 20);
}

// ---- real windows ----

// A shown white form with a panel on which each test places its track bars: DeepBlue,
// 185 pixels long (slider 11: a travel of 174), opaque.
class TrackBarWindow : public ::testing::Test {
public:
  TrackBarWindow() : panel(uitest::Place<TPanel>(shown.form, 0, 0, 400, 260)) {
    shown->SetColor(clWhite);
    panel->SetBevelOuter(bvNone);
    panel->SetParentColor(true);
  }

  TkyrTrackBar* Make(TkyrProgressBarOrientation orientation = kyrHorizontal) {
    auto* bar = new TkyrTrackBar(shown.form);
    bar->SetParent(panel);
    bar->SetUIStyle(DeepBlue);
    bar->SetOrientation(orientation);
    if (orientation == kyrHorizontal)
      bar->SetBounds(10, 10, 185, bar->Height());
    else
      bar->SetBounds(10, 10, bar->Width(), 185);
    bar->Handle();
    return bar;
  }

  static LRESULT Send(TWinControl* control, UINT msg, WPARAM w = 0, LPARAM l = 0) {
    return SendMessageA(control->Handle(), msg, w, l);
  }
  // A point ALONG the track, 5 pixels into its thickness.
  static POINT At(const TkyrTrackBar* bar, int along) {
    return bar->Orientation() == kyrHorizontal ? POINT{along, 5} : POINT{5, along};
  }
  static LPARAM Coords(POINT p) { return MAKELPARAM(p.x, p.y); }
  static void Press(TkyrTrackBar* bar, POINT p) { Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, Coords(p)); }
  static void Release(TkyrTrackBar* bar, POINT p) { Send(bar, WM_LBUTTONUP, 0, Coords(p)); }
  static void Tick(TkyrTrackBar* bar) { Send(bar, WM_TIMER, TkyrTrackBar::RepeatTimerId); }
  static void PointerAt(TkyrTrackBar* bar, POINT p) {
    const POINT screen = bar->ClientToScreen(p);
    SetCursorPos(screen.x, screen.y);
  }

  uitest::TShownForm shown{420, 280};
  TPanel* panel;
};

TEST_F(TrackBarWindow, KeysMoveThePositionThroughTheSetter) {
  const struct {
    WORD Key;
    int32_t Min, Max, Start, Expected;
  } cases[] = {
      {VK_HOME, 0, 10, 5, 0},          {VK_END, 0, 10, 5, 10},         {VK_PRIOR, 0, 10, 5, 3},
      {VK_NEXT, 0, 10, 5, 7},          {VK_LEFT, 0, 10, 5, 4},         {VK_UP, 0, 10, 5, 4},
      {VK_RIGHT, 0, 10, 5, 6},         {VK_DOWN, 0, 10, 5, 6},         {VK_NEXT, 0, 10, 9, 10},
      {VK_PRIOR, 0, 10, 1, 0},         {VK_NEXT, kMinInt, kMaxInt, kMaxInt - 1, kMaxInt},
      {VK_PRIOR, kMinInt, kMaxInt, kMinInt + 1, kMinInt}, {VK_RIGHT, kMinInt, kMaxInt, kMaxInt, kMaxInt},
      {VK_LEFT, kMinInt, kMaxInt, kMinInt, kMinInt},     {VK_END, 5, 5, 5, 5},
      {'A', 0, 10, 5, 5},
  };
  for (TkyrProgressBarOrientation orientation : {kyrHorizontal, kyrVertical}) {
    TkyrTrackBar* bar = Make(orientation);
    EXPECT_EQ(Send(bar, WM_GETDLGCODE), DLGC_WANTARROWS);
    for (const auto& c : cases) {
      bar->SetMin(kMinInt);
      bar->SetMax(c.Max);
      bar->SetMin(c.Min);
      bar->SetPosition(c.Start);
      Send(bar, WM_KEYDOWN, c.Key);
      EXPECT_EQ(bar->Position(), c.Expected) << "key " << c.Key << " from " << c.Start << " orientation " << orientation;
    }
    delete bar;
  }
}

TEST_F(TrackBarWindow, APageClickStepsTowardThePointerNeverPastIt) {
  const struct {
    int32_t Start;
    int Along, Expected;
  } cases[] = {
      {5, 150, 7},   // value under the pointer 8: one page of 2
      {5, 20, 3},    // value 1: one page back
      {5, 100, 5},   // right of the slider, but the value there is 5
      {2, 60, 3},    // value 3 stops the page of 2 at 3
      {9, 184, 10},  // clamped at Max
      {1, 0, 0},     // and at Min
  };
  for (TkyrProgressBarOrientation orientation : {kyrHorizontal, kyrVertical}) {
    TkyrTrackBar* bar = Make(orientation);
    for (const auto& c : cases) {
      bar->SetPosition(c.Start);
      Press(bar, At(bar, c.Along));
      EXPECT_EQ(bar->Position(), c.Expected) << "from " << c.Start << " at " << c.Along;
      EXPECT_TRUE(bar->Repeating());
      Release(bar, At(bar, c.Along));
      EXPECT_FALSE(bar->Repeating());
    }
    EXPECT_TRUE(bar->Focused());  // a click takes the focus
    delete bar;
  }
}

TEST_F(TrackBarWindow, DraggingTheSliderFollowsThePointer) {
  for (TkyrProgressBarOrientation orientation : {kyrHorizontal, kyrVertical}) {
    TkyrTrackBar* bar = Make(orientation);
    std::vector<int32_t> changes;
    bar->SetOnChange([&](TObject*) { changes.push_back(bar->Position()); });
    std::vector<POINT> downs;
    bar->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, int x, int y) { downs.push_back({x, y}); });
    bar->SetPosition(5);
    changes.clear();
    Send(bar->Slider(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 3));
    EXPECT_TRUE(bar->SliderDragging());
    EXPECT_EQ(GetCapture(), bar->Handle());
    ASSERT_EQ(downs.size(), 1u);  // OnMouseDown in the track bar's coordinates
    EXPECT_EQ(downs[0].x, bar->Slider()->Left() + 2);
    EXPECT_EQ(downs[0].y, bar->Slider()->Top() + 3);
    const struct {
      int Along;
      int32_t Position;
    } moves[] = {{179, 10}, {92, 5}, {-50, 0}, {1000, 10}, {22, 1}, {23, 1}};
    for (const auto& m : moves) {
      Send(bar, WM_MOUSEMOVE, MK_LBUTTON, Coords(At(bar, m.Along)));
      EXPECT_EQ(bar->Position(), m.Position) << m.Along;
      EXPECT_EQ(orientation == kyrHorizontal ? bar->Slider()->Left() : bar->Slider()->Top(),
                TrackSliderOffset(m.Position, 0, 10, 174));
    }
    EXPECT_EQ(changes, (std::vector<int32_t>{10, 5, 0, 10, 1}));  // only changes
    Release(bar, At(bar, 23));
    EXPECT_FALSE(bar->SliderDragging());
    EXPECT_NE(GetCapture(), bar->Handle());
    Send(bar, WM_MOUSEMOVE, 0, Coords(At(bar, 179)));
    EXPECT_EQ(bar->Position(), 1);  // no longer dragging
    delete bar;
  }
}

TEST_F(TrackBarWindow, TheWidestRangeAndARangeOfOneValue) {
  TkyrTrackBar* bar = Make();
  int changes = 0;
  bar->SetOnChange([&](TObject*) { ++changes; });
  bar->SetMax(kMaxInt);
  bar->SetPageSize(kMaxInt);
  bar->SetPosition(kMaxInt - 5);
  Press(bar, At(bar, 10));  // a page back: never past the value under the pointer
  EXPECT_EQ(bar->Position(), TrackValueAt(10, 11, 174, 0, kMaxInt));
  Release(bar, At(bar, 10));
  bar->SetPosition(kMaxInt - 5);
  Press(bar, At(bar, 184));  // a page of 2^31 - 1 from near the top: Max, not a wrapped value
  EXPECT_EQ(bar->Position(), kMaxInt);
  Release(bar, At(bar, 184));
  Send(bar->Slider(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  Send(bar, WM_MOUSEMOVE, MK_LBUTTON, Coords(At(bar, 92)));
  EXPECT_EQ(bar->Position(), 1073741824);  // half of 2^31 - 1, rounded to even
  Release(bar, At(bar, 92));

  bar->SetMin(5);
  bar->SetMax(5);
  EXPECT_EQ(bar->Position(), 5);
  EXPECT_EQ(bar->Slider()->Left(), 0);
  changes = 0;
  Press(bar, At(bar, 150));
  Release(bar, At(bar, 150));
  Send(bar->Slider(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  Send(bar, WM_MOUSEMOVE, MK_LBUTTON, Coords(At(bar, 150)));
  Release(bar, At(bar, 150));
  for (WORD key : {VK_NEXT, VK_PRIOR, VK_HOME, VK_END, VK_LEFT, VK_RIGHT}) Send(bar, WM_KEYDOWN, key);
  EXPECT_EQ(bar->Position(), 5);
  EXPECT_EQ(changes, 0);
  delete bar;
}

TEST_F(TrackBarWindow, TheRepeatTimerPagesTowardThePointer) {
  const struct {
    TkyrProgressBarOrientation Orientation;
    std::vector<int32_t> Positions;  // after the press, then after each tick
  } cases[] = {
      {kyrHorizontal, {2, 8, 10, 10}},  // three pages a tick, stopping under the pointer
      {kyrVertical, {2, 4, 6, 8, 10, 10}},
  };
  for (const auto& c : cases) {
    TkyrTrackBar* bar = Make(c.Orientation);
    Press(bar, At(bar, 176));
    std::vector<int32_t> seen{bar->Position()};
    while (seen.size() < c.Positions.size()) {
      Tick(bar);
      seen.push_back(bar->Position());
    }
    EXPECT_EQ(seen, c.Positions) << c.Orientation;
    EXPECT_TRUE(bar->Repeating());
    Release(bar, At(bar, 176));
    delete bar;
  }
}

// A tick pages toward where the mouse messages put the pointer (the press, then a move), not
// toward the real pointer, parked here on the other side of the slider.
TEST_F(TrackBarWindow, TheRepeatFollowsTheMouseMessagesNotThePointer) {
  TkyrTrackBar* bar = Make();
  PointerAt(bar, At(bar, 2));
  Press(bar, At(bar, 176));
  Tick(bar);
  EXPECT_EQ(bar->Position(), 8);  // a page at the press, three at the tick
  Send(bar, WM_MOUSEMOVE, MK_LBUTTON, Coords(At(bar, 40)));  // value 2 there
  ASSERT_TRUE(bar->Repeating());
  Tick(bar);
  EXPECT_EQ(bar->Position(), 2);
  PointerAt(bar, At(bar, 176));
  Tick(bar);
  EXPECT_EQ(bar->Position(), 2);  // still where the last move was
  Release(bar, At(bar, 40));
  delete bar;
}

TEST_F(TrackBarWindow, TheRepeatTimerStopsOnEveryWayTheHoldEnds) {
  using TEnd = std::function<void(TrackBarWindow&, TkyrTrackBar*)>;
  const struct {
    const char* Name;
    TEnd End;
    bool CaptureKept;  // the button is still down on the track
  } cases[] = {
      {"left button released", [](TrackBarWindow&, TkyrTrackBar* b) { Release(b, At(b, 176)); }, false},
      {"right button released", [](TrackBarWindow&, TkyrTrackBar* b) { Send(b, WM_RBUTTONUP, 0, Coords(At(b, 176))); },
       false},
      {"released over the slider", [](TrackBarWindow&, TkyrTrackBar* b) { Send(b->Slider(), WM_LBUTTONUP); }, false},
      {"capture taken elsewhere", [](TrackBarWindow& t, TkyrTrackBar*) { SetCapture(t.shown->Handle()); }, false},
      {"capture released", [](TrackBarWindow&, TkyrTrackBar*) { ReleaseCapture(); }, false},
      {"disabled", [](TrackBarWindow&, TkyrTrackBar* b) { b->SetEnabled(false); }, false},
      {"hidden", [](TrackBarWindow&, TkyrTrackBar* b) { b->SetVisible(false); }, false},
      {"parent hidden", [](TrackBarWindow& t, TkyrTrackBar* b) { t.panel->SetVisible(false); Tick(b); }, false},
      {"parent disabled", [](TrackBarWindow& t, TkyrTrackBar* b) { t.panel->SetEnabled(false); Tick(b); }, false},
      {"pointer left the control",
       [](TrackBarWindow&, TkyrTrackBar* b) { Send(b, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, 5)); }, true},
      {"window re-created", [](TrackBarWindow&, TkyrTrackBar* b) { b->RecreateWnd(); }, false},
  };
  for (const auto& c : cases) {
    TkyrTrackBar* bar = Make();
    Press(bar, At(bar, 176));
    ASSERT_TRUE(bar->Repeating()) << c.Name;
    c.End(*this, bar);
    EXPECT_FALSE(bar->Repeating()) << c.Name;
    const int32_t held = bar->Position();
    Tick(bar);  // a WM_TIMER queued before the timer was killed
    EXPECT_EQ(bar->Position(), held) << c.Name;
    EXPECT_EQ(GetCapture() == bar->HandleIfAllocated(), c.CaptureKept) << c.Name;
    ReleaseCapture();
    delete bar;
    panel->SetVisible(true);
    panel->SetEnabled(true);
  }
}

TEST_F(TrackBarWindow, ATickNeverReentersItselfAndSurvivesItsOwnerGoing) {
  TkyrTrackBar* bar = Make();
  Press(bar, At(bar, 176));
  int nested = 0;
  bar->SetOnChange([&](TObject*) {
    ++nested;
    Tick(bar);  // a handler that lets a WM_TIMER through
  });
  Tick(bar);
  EXPECT_EQ(bar->Position(), 8);  // one page of 6, not two
  EXPECT_EQ(nested, 1);

  bar->SetOnChange([&](TObject*) { delete bar; });
  const HWND window = bar->Handle();
  Tick(bar);  // OnChange frees the track bar in the middle of the tick
  EXPECT_FALSE(IsWindow(window));
  uitest::Pump();
}

TEST_F(TrackBarWindow, DestroyingAHeldTrackBarStopsEverything) {
  TkyrTrackBar* bar = Make();
  Press(bar, At(bar, 176));
  ASSERT_TRUE(bar->Repeating());
  const HWND window = bar->Handle();
  delete bar;
  EXPECT_FALSE(IsWindow(window));
  EXPECT_NE(GetCapture(), window);
  uitest::Pump();
}

// The slider images have magenta corners: the key never shows. An opaque slider (vertical)
// shows its Color there, a see-through one (horizontal) the track behind it.
TEST_F(TrackBarWindow, TheSliderKeysItsMagentaWhetherSeeThroughOrNot) {
  for (TkyrProgressBarOrientation orientation : {kyrHorizontal, kyrVertical}) {
    TkyrTrackBar* bar = Make(orientation);
    bar->SetColor(clYellow);
    TkyrTrackSlider* slider = bar->Slider();
    ASSERT_EQ(slider->Picture()->Bitmap().Canvas().Pixel(0, 0), clFuchsia);
    const int w = slider->Width(), h = slider->Height();
    uitest::TCapture capture(w, h);
    SendMessageA(slider->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
    int keyed = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) keyed += capture.Pixel(x, y) == clFuchsia;
    EXPECT_EQ(keyed, 0) << orientation;
    // The corner: the track's yellow behind a see-through slider (a row of the bar strip
    // or the plain track), the slider's own yellow behind an opaque one.
    EXPECT_EQ(capture.Pixel(0, 0), clYellow) << orientation;
    delete bar;
  }
}

// The columns (horizontal) or rows (vertical) where a tick stands, read from the bottom row or
// the left column of the painted track; each tick must be exactly three pixels long.
std::vector<int> PaintedTicks(TkyrTrackBar* bar) {
  const int w = bar->Width(), h = bar->Height();
  uitest::TCapture capture(w, h);
  SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  const bool horizontal = bar->Orientation() == kyrHorizontal;
  std::vector<int> ticks;
  for (int i = 0; i < (horizontal ? w : h); ++i) {
    const auto black = [&](int depth) {  // DEPTH pixels in from the edge
      return horizontal ? capture.Pixel(i, h - 1 - depth) == clBlack : capture.Pixel(depth, i) == clBlack;
    };
    if (!black(0)) continue;
    EXPECT_TRUE(black(1) && black(2) && !black(3)) << "tick at " << i;
    if (!horizontal) {
      EXPECT_EQ(capture.Pixel(w - 1, i), clBlack) << "right edge at " << i;
    }
    ticks.push_back(i);
  }
  return ticks;
}

TEST_F(TrackBarWindow, TicksAreDrawnAtTheirPixels) {
  const std::vector<int> eleven = {5, 22, 39, 57, 74, 92, 109, 126, 144, 161, 179};
  const struct {
    int32_t Min, Max, Frequency;
    std::vector<int> Ticks;
  } cases[] = {
      {0, 10, 1, eleven},
      {0, 10, 3, {5, 57, 109, 161, 179}},
      {0, 10, 0, {5, 179}},
      {5, 5, 1, {}},                       // a range of one value: no ticks
      {0, kMaxInt, 1, Range(5, 179)},      // a tick on every pixel, drawn at once
      {0, 1000000000, 100000000, eleven},
      {kMinInt, kMaxInt, kMaxInt, {5, 91, 178, 179}},  // -2^31, -1, 2^31 - 2, Max
  };
  for (TkyrProgressBarOrientation orientation : {kyrHorizontal, kyrVertical}) {
    TkyrTrackBar* bar = Make(orientation);
    for (const auto& c : cases) {
      bar->SetMin(kMinInt);
      bar->SetMax(c.Max);
      bar->SetMin(c.Min);
      bar->SetFrequency(c.Frequency);
      EXPECT_EQ(PaintedTicks(bar), c.Ticks) << c.Min << ".." << c.Max << " every " << c.Frequency;
    }
    bar->SetShowTick(false);
    EXPECT_TRUE(PaintedTicks(bar).empty());
    delete bar;
  }
}

TColor PixelOf(const TBitmap& bitmap, int x, int y) {
  GdiFlush();
  const uint32_t v = bitmap.ScanLine(y)[x];
  return static_cast<TColor>(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
}

TEST_F(TrackBarWindow, PaintsTheBarStripCentredAndTheParentBehindATransparentTrack) {
  TkyrTrackBar* bar = Make();
  bar->SetShowTick(false);
  uitest::TCapture capture(bar->Width(), bar->Height());
  SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  const int top = (bar->Height() - bar->BarStrip().Height()) / 2;
  for (int row = 0; row < bar->Height(); ++row) {
    const bool inStrip = row >= top && row < top + bar->BarStrip().Height();
    EXPECT_EQ(capture.Pixel(92, row), inStrip ? PixelOf(bar->BarStrip(), 92, row - top) : clWhite) << row;
  }
  panel->SetColor(clRed);  // the track takes it through ParentColor; transparent, it shows the panel
  bar->SetParentColor(false);
  bar->SetColor(clLime);
  bar->SetTransparent(true);
  SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  EXPECT_EQ(capture.Pixel(92, 0), clRed);
  bar->SetUIStyle(MacOS);  // MacOS turns Transparent on; it can be turned off again
  bar->SetTransparent(false);
  SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  EXPECT_EQ(capture.Pixel(92, 0), clLime);
  RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_FALSE(bar->Transparent());
  delete bar;
}

// The track bar's pixels as the window shows them, read from its window DC.
std::vector<TColor> Shown(TkyrTrackBar* bar) {
  const int w = bar->Width(), h = bar->Height();
  uitest::TCapture capture(w, h);
  HDC window = GetDC(bar->Handle());
  BitBlt(capture.DC(), 0, 0, w, h, window, 0, 0, SRCCOPY);
  ReleaseDC(bar->Handle(), window);
  std::vector<TColor> pixels;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels.push_back(capture.Pixel(x, y));
  return pixels;
}

// A change of Position leaves the track to repaint only where the slider stood (the slider,
// a window of its own, paints its new place): the bar strip and the ticks elsewhere are not
// painted again. What shows afterwards equals a full repaint, see-through slider included.
TEST_F(TrackBarWindow, APositionChangeRepaintsOnlyWhereTheSliderWas) {
  for (const TkyrUIStyle style : {DeepBlue, MacOS}) {  // MacOS: a see-through track as well
    TkyrTrackBar* bar = Make();
    bar->SetUIStyle(style);
    bar->SetBounds(10, 10, 185, bar->Height());
    RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const std::pair<int32_t, int32_t> moves[] = {{0, 5}, {5, 10}, {10, 3}, {3, 3}};
    for (const auto& [from, to] : moves) {
      SCOPED_TRACE(std::to_string(style) + ": " + std::to_string(from) + " -> " + std::to_string(to));
      bar->SetPosition(from);
      RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      const RECT before = bar->Slider()->BoundsRect();
      bar->SetPosition(to);
      TRegionHandle update(CreateRectRgn(0, 0, 0, 0));
      const int kind = GetUpdateRgn(bar->Handle(), update.Get(), FALSE);
      RECT box{};
      GetRgnBox(update.Get(), &box);
      EXPECT_EQ(kind, SIMPLEREGION);
      EXPECT_TRUE(EqualRect(&box, &before)) << box.left << ".." << box.right << " for " << before.left << ".."
                                            << before.right;
      RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      const std::vector<TColor> partial = Shown(bar);
      RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      const std::vector<TColor> full = Shown(bar);
      ASSERT_EQ(partial.size(), full.size());
      int differing = 0;
      for (size_t i = 0; i < full.size(); ++i) differing += partial[i] != full[i];
      EXPECT_EQ(differing, 0);
    }
    delete bar;
  }
}

TEST_F(TrackBarWindow, LiveGdiHandlesComeBackAfterPaintsAndStyleSwitches) {
  if (!HandleCountsEnabled()) GTEST_SKIP() << "a build without handle counts";
  constexpr int kKinds = static_cast<int>(THandleKind::Count);
  const auto counts = [] {
    std::array<int, kKinds> c{};
    for (int k = 0; k < kKinds; ++k) c[k] = LiveHandleCount(static_cast<THandleKind>(k));
    return c;
  };
  // The panel's canvas keeps the brush of its first paint: paint once before counting.
  RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const auto before = counts();
  {
    uitest::TCapture capture(200, 200);
    TkyrTrackBar* bars[] = {Make(kyrHorizontal), Make(kyrVertical)};
    for (int i = 0; i < 100; ++i) {
      for (TkyrTrackBar* bar : bars) {
        bar->SetUIStyle(static_cast<TkyrUIStyle>(1 + i % 5));
        bar->SetTransparent(i % 2 == 0);
        bar->SetPosition(i % 11);
        SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
      }
      RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    bars[0]->SetOrientation(kyrVertical);
    bars[1]->SetOrientation(kyrHorizontal);
    Press(bars[0], At(bars[0], 176));
    Tick(bars[0]);
    Release(bars[0], At(bars[0], 176));
    for (TkyrTrackBar* bar : bars) delete bar;
  }
  EXPECT_EQ(counts(), before);
}

// ---- the scroll bar's track ----

TEST_F(TrackBarWindow, TheScrollBarsTrackHasNoImagesOfItsOwn) {
  auto* track = new TkyrScrollTrackBar(shown.form);
  track->SetParent(panel);
  EXPECT_FALSE(track->TabStop());
  EXPECT_FALSE(track->Slider()->TabStop());
  track->SetUIStyle(WinXP);
  EXPECT_TRUE(track->BarImage()->Empty());
  EXPECT_TRUE(track->SliderImage()->Empty());
  EXPECT_TRUE(track->BarStrip().Empty());

  track->SetMax(100);
  track->SetShowTick(false);
  track->SetBounds(0, 0, 200, 16);
  TPicture thumb;
  thumb.Bitmap().SetSize(40, 16);
  track->SetSliderImage(thumb);
  track->AutoSizeSlider();
  EXPECT_EQ(track->Slider()->Width(), 40);
  EXPECT_EQ(track->Height(), 16);
  track->SetPosition(100);
  EXPECT_EQ(track->Slider()->Left(), 160);
  track->SliderImage()->Bitmap().SetSize(60, 16);  // a longer thumb in place: re-placed
  EXPECT_EQ(track->Slider()->Left(), 140);

  Press(track, {10, 5});
  EXPECT_EQ(track->Position(), 98);
  EXPECT_FALSE(track->Focused());  // the scroll bar's track never takes the focus
  Release(track, {10, 5});

  track->SetSliderVisible(false);
  EXPECT_FALSE(track->SliderVisible());
  EXPECT_FALSE(track->Slider()->Visible());
  delete track;
}

}  // namespace
