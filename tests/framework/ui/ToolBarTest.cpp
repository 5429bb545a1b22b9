// The framework's tool bar: layout of its windowless buttons, custom-draw events and states,
// pressed tracking with the capture, hints, stored descriptions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/FormReader.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/ComponentClasses.h"
#include "framework/ui/Hints.h"
#include "framework/ui/Menus.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

TToolButton* AddButton(TToolBar* bar, const std::string& caption) {
  auto* button = new TToolButton(bar);
  button->SetCaption(caption);
  button->SetParent(bar);
  return button;
}

class ToolBarTest : public ::testing::Test {
protected:
  void SetUp() override {
    uitest::MovePointerTo({2, 2});
    bar = new TToolBar(form.form);
    bar->SetParent(form.form);
    bar->SetEdgeBorders({});
    uitest::Pump();
  }
  void TearDown() override { uitest::MovePointerTo({2, 2}); }

  POINT ScreenPointIn(const TToolButton* button, int dx = 5, int dy = 5) const {
    return bar->ClientToScreen({button->Left() + dx, button->Top() + dy});
  }

  uitest::TShownForm form{300, 200};
  TToolBar* bar = nullptr;
};

// Fixed-size buttons (no text measuring): each row a case of where button I lands.
TEST_F(ToolBarTest, LaysButtonsOutInRowsThatWrapAndSizesItsHeight) {
  struct Case {
    const char* what;
    int barWidth;
    bool wrapable;
    int wrapAfter;  // index of the button with Wrap, -1: none
    bool topEdge;   // ebTop with the default raised inner and lowered outer edge
    std::vector<POINT> expected;
    int autoHeight;
  } cases[] = {
      {"all fit", 200, true, -1, false, {{0, 0}, {23, 0}, {46, 0}, {69, 0}, {92, 0}}, 22},
      {"wraps at the edge", 100, true, -1, false, {{0, 0}, {23, 0}, {46, 0}, {69, 0}, {0, 22}}, 44},
      {"no wrapping", 100, false, -1, false, {{0, 0}, {23, 0}, {46, 0}, {69, 0}, {92, 0}}, 22},
      {"Wrap ends a row", 200, true, 1, false, {{0, 0}, {23, 0}, {0, 22}, {23, 22}, {46, 22}}, 44},
      {"inside the top edge", 200, true, -1, true, {{0, 2}, {23, 2}, {46, 2}, {69, 2}, {92, 2}}, 24},
  };
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < 5; ++i) buttons.push_back(AddButton(bar, "B" + std::to_string(i)));
  bar->SetAutoSize(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bar->SetEdgeBorders(c.topEdge ? TEdgeBorders{ebTop} : TEdgeBorders{});
    bar->SetWrapable(c.wrapable);
    for (int i = 0; i < 5; ++i) buttons[static_cast<size_t>(i)]->SetWrap(i == c.wrapAfter);
    bar->SetWidth(c.barWidth);
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(buttons[static_cast<size_t>(i)]->Left(), c.expected[static_cast<size_t>(i)].x) << i;
      EXPECT_EQ(buttons[static_cast<size_t>(i)]->Top(), c.expected[static_cast<size_t>(i)].y) << i;
      EXPECT_EQ(buttons[static_cast<size_t>(i)]->Width(), 23);
      EXPECT_EQ(buttons[static_cast<size_t>(i)]->Height(), 22);
    }
    EXPECT_EQ(bar->Height(), c.autoHeight);
  }
}

TEST_F(ToolBarTest, AutoSizeButtonsTakeTheirCaptionWidthWhenCaptionsShow) {
  TToolButton* file = AddButton(bar, "&File");
  TToolButton* help = AddButton(bar, "Help && more");
  file->SetAutoSize(true);
  help->SetAutoSize(true);
  EXPECT_EQ(file->Width(), 23);  // captions hidden: the bar's button width
  bar->SetShowCaptions(true);
  TWindowDC screen(nullptr);
  TCanvas canvas(screen.Get());
  canvas.Font().Assign(*bar->Font());
  EXPECT_EQ(file->Width(), canvas.TextWidth("File") + 2 * TToolBar::kCaptionMargin);
  EXPECT_EQ(help->Width(), canvas.TextWidth("Help & more") + 2 * TToolBar::kCaptionMargin);
  EXPECT_EQ(help->Left(), file->Width());
  file->SetCaption("&Edit things");  // a new caption lays the bar out again
  EXPECT_EQ(file->Width(), canvas.TextWidth("Edit things") + 2 * TToolBar::kCaptionMargin);
  EXPECT_EQ(help->Left(), file->Width());
}

TEST_F(ToolBarTest, KeepsButtonsInTheirOrderAndTakesOneInsertedBeforeTheOthers) {
  TToolButton* a = AddButton(bar, "A");
  TToolButton* b = AddButton(bar, "B");
  TToolButton* c = AddButton(bar, "C");
  c->SetIndex(0);
  ASSERT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(bar->Buttons(0), c);
  EXPECT_EQ(bar->Buttons(1), a);
  EXPECT_EQ(bar->Buttons(2), b);
  EXPECT_EQ(c->Left(), 0);
  EXPECT_EQ(a->Left(), 23);
  EXPECT_EQ(a->Index(), 1);
  delete a;
  EXPECT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(b->Left(), 23);
  b->SetVisible(false);
  TToolButton* d = AddButton(bar, "D");
  EXPECT_EQ(d->Left(), 23);  // a hidden button takes no room
}

TEST_F(ToolBarTest, CustomDrawStatesFollowThePointerAndThePress) {
  bar->SetFlat(true);
  TToolButton* one = AddButton(bar, "1");
  TToolButton* two = AddButton(bar, "2");
  two->SetEnabled(false);
  one->SetMarked(true);
  std::vector<std::pair<TToolButton*, TCustomDrawState>> drawn;
  bar->SetOnCustomDrawButton([&](TObject*, TToolButton* b, TCustomDrawState s, bool&) { drawn.push_back({b, s}); });
  auto stateOf = [&](TToolButton* b) {
    drawn.clear();
    bar->Repaint();
    for (auto& [button, state] : drawn)
      if (button == b) return state;
    return TCustomDrawState(0xFFFF);
  };
  EXPECT_EQ(stateOf(one), cdsMarked);
  EXPECT_EQ(stateOf(two), cdsDisabled);

  uitest::MovePointerTo(ScreenPointIn(one));
  ASSERT_TRUE(uitest::PumpUntil([&] { return (stateOf(one) & cdsHot) != 0; }));
  EXPECT_EQ(stateOf(two) & cdsHot, 0u);

  int clicks = 0;
  one->SetOnClick([&](TObject*) { ++clicks; });
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return (stateOf(one) & cdsSelected) != 0; }));
  EXPECT_EQ(GetCapture(), bar->Handle());
  uitest::MovePointerTo(bar->ClientToScreen({200, 100}));  // dragged off: released look
  ASSERT_TRUE(uitest::PumpUntil([&] { return (stateOf(one) & cdsSelected) == 0; }));
  uitest::MovePointerTo(ScreenPointIn(one, 8, 8));  // and back: pressed again
  ASSERT_TRUE(uitest::PumpUntil([&] { return (stateOf(one) & cdsSelected) != 0; }));
  EXPECT_EQ(clicks, 0);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return clicks == 1; }));
  EXPECT_EQ(stateOf(one) & cdsSelected, 0u);
  EXPECT_EQ(GetCapture(), nullptr);

  one->SetDown(true);
  EXPECT_NE(stateOf(one) & cdsChecked, 0u);
}

TEST_F(ToolBarTest, AReleaseOffTheButtonDoesNotClick) {
  TToolButton* one = AddButton(bar, "1");
  int clicks = 0;
  one->SetOnClick([&](TObject*) { ++clicks; });
  uitest::MovePointerTo(ScreenPointIn(one));
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return one->Pressed(); }));
  uitest::MovePointerTo(bar->ClientToScreen({200, 100}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return !one->Pressed(); }));
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return GetCapture() == nullptr; }));
  uitest::Pump();
  EXPECT_EQ(clicks, 0);
}

// The default drawing goes when a handler says so: edges (the bar's) and faces (a button's).
TEST_F(ToolBarTest, DefaultDrawFalseLeavesTheHandlersPixels) {
  bar->SetEdgeBorders({ebTop});
  bar->SetColor(clWhite);
  TToolButton* one = AddButton(bar, "1");
  bool barDefault = true, buttonDefault = true, buttonSays = true;
  bar->SetOnCustomDraw([&](TObject*, const RECT& r, bool& defaultDraw) {
    bar->Canvas().Brush().SetColor(clRed);
    bar->Canvas().FillRect(r);
    defaultDraw = barDefault;
  });
  bar->SetOnCustomDrawButton([&](TObject*, TToolButton* b, TCustomDrawState, bool& defaultDraw) {
    bar->Canvas().Brush().SetColor(clLime);
    bar->Canvas().FillRect(b->BoundsRect());
    if (buttonSays) defaultDraw = buttonDefault;
  });
  auto capture = [&] {
    auto c = std::make_unique<uitest::TCapture>(bar->Width(), bar->Height());
    SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(c->DC()), PRF_CLIENT);
    return c;
  };
  // A non-flat button is drawn raised by default: its top-left pixel is the highlight.
  const int x = one->Left(), y = one->Top();
  auto both = capture();
  EXPECT_EQ(both->Pixel(150, 0), ColorToRGB(clBtnShadow));  // the lowered outer edge's top line
  EXPECT_EQ(both->Pixel(x, y), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(both->Pixel(x + 11, y + 2), ColorToRGB(clLime));

  buttonDefault = false;
  auto noFace = capture();
  EXPECT_EQ(noFace->Pixel(x, y), ColorToRGB(clLime));
  EXPECT_EQ(noFace->Pixel(150, 0), ColorToRGB(clBtnShadow));

  barDefault = false;
  buttonSays = false;  // the bar's "no default" covers the faces too, unless a button asks
  auto none = capture();
  EXPECT_EQ(none->Pixel(150, 0), ColorToRGB(clRed));
  EXPECT_EQ(none->Pixel(x, y), ColorToRGB(clLime));
  buttonSays = true;
  buttonDefault = true;
  auto asked = capture();
  EXPECT_EQ(asked->Pixel(150, 0), ColorToRGB(clRed));
  EXPECT_EQ(asked->Pixel(x, y), ColorToRGB(clBtnHighlight));
}

TEST_F(ToolBarTest, EachButtonShowsItsOwnHint) {
  Application->SetHintPause(30);
  Application->SetHintHidePause(10000);
  bar->SetShowHint(true);
  TToolButton* one = AddButton(bar, "1");
  TToolButton* two = AddButton(bar, "2");
  one->SetHint("Open|Opens a file");
  two->SetHint("Save");
  auto tipShows = [](const char* text) {
    const THintWindow* hint = Application->HintWindow();
    return hint && hint->Showing() && hint->Text() == text;
  };
  uitest::MovePointerTo(ScreenPointIn(one));
  EXPECT_TRUE(uitest::PumpUntil([&] { return tipShows("Open"); }));
  uitest::MovePointerTo(ScreenPointIn(two));  // the next windowless button re-arms the tip
  EXPECT_TRUE(uitest::PumpUntil([&] { return tipShows("Save"); }));
  uitest::MovePointerTo({2, 2});
  uitest::PumpUntil([] { return !Application->HintWindow()->Showing(); });
  Application->SetHintPause(500);
  Application->SetHintHidePause(2500);
}

TEST(ToolBarStored, ReadsNestedButtonsInOrderWithTheirProperties) {
  RegisterFrameworkClasses();
  TForm form(nullptr);
  ReadComponentText(R"(object Form1: TForm
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Open1: TMenuItem
        Caption = '&Open'
      end
    end
  end
  object ToolBar1: TToolBar
    ButtonWidth = 30
    ButtonHeight = 24
    Flat = True
    ShowCaptions = True
    AutoSize = True
    Wrapable = False
    EdgeBorders = [ebLeft, ebBottom]
    EdgeInner = esNone
    EdgeOuter = esRaised
    object ToolButton1: TToolButton
      Grouped = True
      MenuItem = File1
    end
    object ToolButton2: TToolButton
      Style = tbsDivider
    end
    object ToolButton3: TToolButton
      Caption = 'Go'
      Style = tbsCheck
      Down = True
      ImageIndex = 3
      Marked = True
      Indeterminate = True
      Wrap = True
    end
  end
end
)",
                    form);
  auto* bar = dynamic_cast<TToolBar*>(form.FindComponent("ToolBar1"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->ButtonWidth(), 30);
  EXPECT_EQ(bar->ButtonHeight(), 24);
  EXPECT_TRUE(bar->Flat());
  EXPECT_TRUE(bar->ShowCaptions());
  EXPECT_TRUE(bar->AutoSize());
  EXPECT_FALSE(bar->Wrapable());
  EXPECT_TRUE(bar->EdgeBorders() == (TEdgeBorders{ebLeft, ebBottom}));
  EXPECT_EQ(bar->EdgeInner(), esNone);
  EXPECT_EQ(bar->EdgeOuter(), esRaised);
  ASSERT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(bar->Buttons(0)->Name(), "ToolButton1");
  EXPECT_EQ(bar->Buttons(1)->Name(), "ToolButton2");
  TToolButton* go = bar->Buttons(2);
  EXPECT_TRUE(bar->Buttons(0)->Grouped());
  EXPECT_EQ(bar->Buttons(0)->Caption(), "&File");  // taken from the bound item
  EXPECT_EQ(bar->Buttons(0)->MenuItem(), form.FindComponent("File1"));
  EXPECT_EQ(bar->Buttons(1)->Style(), tbsDivider);
  EXPECT_EQ(bar->Buttons(1)->Width(), TToolBar::kSeparatorWidth);
  EXPECT_EQ(go->Style(), tbsCheck);
  EXPECT_TRUE(go->Down());
  EXPECT_EQ(go->ImageIndex(), 3);
  EXPECT_TRUE(go->Marked());
  EXPECT_TRUE(go->Indeterminate());
  EXPECT_TRUE(go->Wrap());
  EXPECT_EQ(go->Left(), 1 + 30 + TToolBar::kSeparatorWidth);  // after the left edge (one line)
  EXPECT_EQ(bar->Height(), 24 + 1);  // one row (Wrap on the last button adds none) and the bottom edge
}

TEST(ToolButtonDefaults, AreThoseOfAPlainButton) {
  TToolButton button(nullptr);
  EXPECT_EQ(button.Style(), tbsButton);
  EXPECT_EQ(button.ImageIndex(), -1);
  EXPECT_EQ(button.Index(), -1);
  TToolBar bar(nullptr);
  EXPECT_EQ(bar.ButtonWidth(), 23);
  EXPECT_EQ(bar.ButtonHeight(), 22);
  EXPECT_TRUE(bar.EdgeBorders() == TEdgeBorders{ebTop});
  EXPECT_EQ(bar.EdgeInner(), esRaised);
  EXPECT_EQ(bar.EdgeOuter(), esLowered);
}

}  // namespace
