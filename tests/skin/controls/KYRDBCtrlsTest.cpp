// The skinned database navigator: its geometry (a table), the buttons' states in every state of
// a real in-memory data set, clicks with BeforeAction and OnClick, the delete confirmation, the
// repeat of a held Next under the real pointer, the keyboard and the focus mark's pixels, hints,
// references that go, the order it lets go in, live handle counts, and pictures in two styles.
#include "skin/controls/KYRDBCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/core/BmpCodec.h"
#include "framework/core/FormReader.h"
#include "framework/core/Streams.h"
#include "framework/data/MemDataSet.h"
#include "framework/ui/Dialogs.h"
#include "skin/KYRClasses.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"
#include "tests/skin/controls/KYRButtonTestSupport.h"

using namespace kyrtest;

namespace {

std::vector<int> Widths(const TkyrNavLayout& layout) {
  std::vector<int> widths;
  for (const RECT& r : layout.Bounds) widths.push_back(r.right - r.left);
  return widths;
}

// ---- geometry ----

TEST(NavigatorGeometry, SlotsExtraPixelsAndTheMinimumSize) {
  const TButtonSet firstLast{nbFirst, nbLast};
  const struct {
    const char* name;
    int width, height;
    TAlign align;
    TButtonSet visible;
    int expectWidth, expectHeight, slot;
    std::vector<int> widths;  // per kind; hidden buttons keep a slot's width
  } cases[] = {
      {"new", 250, 30, alNone, AllNavigateButtons, 250, 30, 25, std::vector<int>(10, 25)},
      {"253 alNone", 253, 30, alNone, AllNavigateButtons, 250, 30, 25, std::vector<int>(10, 25)},
      {"253 alTop", 253, 30, alTop, AllNavigateButtons, 253, 30, 25, {25, 26, 25, 25, 25, 26, 25, 25, 26, 25}},
      {"too small", 50, 5, alNone, AllNavigateButtons, 200, 18, 20, std::vector<int>(10, 20)},
      {"first and last", 10, 30, alNone, firstLast, 40, 30, 20, std::vector<int>(10, 20)},
      {"none visible", 7, 30, alNone, TButtonSet{}, 20, 30, 20, std::vector<int>(10, 20)},
      {"three of 101", 101, 20, alClient, TButtonSet{nbFirst, nbNext, nbLast}, 101, 20, 33,
       {34, 33, 33, 34, 33, 33, 33, 33, 33, 33}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TkyrNavLayout layout = NavigatorLayout(c.width, c.height, c.align, c.visible);
    EXPECT_EQ(layout.Width, c.expectWidth);
    EXPECT_EQ(layout.Height, c.expectHeight);
    EXPECT_EQ(layout.SlotWidth, c.slot);
    EXPECT_EQ(Widths(layout), c.widths);
    int x = 0;
    for (int k = 0; k < kNavButtonCount; ++k) {
      const RECT& r = layout.Bounds[k];
      EXPECT_EQ(r.top, 0);
      EXPECT_EQ(r.bottom, c.expectHeight);
      if (c.visible.Contains(static_cast<TNavigateBtn>(k))) {
        EXPECT_EQ(r.left, x) << "kind " << k;  // side by side from the left
        x = r.right;
      } else {
        EXPECT_EQ(r.left, layout.Width + 1) << "kind " << k;  // parked just outside
      }
    }
    if (!c.visible.Empty()) {
      EXPECT_EQ(x, layout.Width);
    }
  }
}

// ---- a navigator over a real data set ----

class NavigatorTest : public ::testing::Test {
public:
  explicit NavigatorTest(int formWidth = 320) : form(formWidth, 160) {
    set = new TMemDataSet(form.form);
    set->FieldDefs().Add("Name", ftString, 20);
    set->Open();
    source = new TDataSource(form.form);
    source->SetDataSet(set);
    nav = uitest::Place<TkyrDBNavigator>(form.form, 10, 10, 250, 30);
  }
  void Fill(int rows) {
    for (int i = 1; i <= rows; ++i) {
      set->Append();
      set->FieldByName("Name")->SetAsString("row " + std::to_string(i));
      set->Post();
    }
    set->First();
  }
  // Each button's Enabled, in kind order, as a string of 1 and 0.
  std::string States() const {
    std::string s;
    for (int k = 0; k < kNavButtonCount; ++k) s += nav->Buttons(static_cast<TNavigateBtn>(k))->Enabled() ? '1' : '0';
    return s;
  }
  void Click(TNavigateBtn kind) {
    TkyrNavButton* b = nav->Buttons(kind);
    LeftDown(*b);
    LeftUp(*b);
  }
  uitest::TShownForm form;
  TMemDataSet* set;
  TDataSource* source;
  TkyrDBNavigator* nav;
};

TEST_F(NavigatorTest, ANewNavigatorIsTenSlotsOf25Pixels) {
  EXPECT_EQ(nav->Width(), 250);
  EXPECT_EQ(nav->Height(), 30);
  EXPECT_EQ(nav->SlotWidth(), 25);
  EXPECT_EQ(nav->VisibleButtons(), AllNavigateButtons);
  EXPECT_EQ(nav->CurrentButton(), nbFirst);
  EXPECT_TRUE(nav->ConfirmDelete());
  EXPECT_FALSE(nav->TabStop());
  EXPECT_EQ(nav->Align(), alNone);
  EXPECT_EQ(nav->BevelOuter(), bvNone);
  for (int k = 0; k < kNavButtonCount; ++k) {
    TkyrNavButton* b = nav->Buttons(static_cast<TNavigateBtn>(k));
    EXPECT_EQ(b->Kind(), k);
    EXPECT_EQ(b->Repeats(), k == nbPrior || k == nbNext) << "kind " << k;
    EXPECT_EQ(b->BoundsRect().left, 25 * k);
    EXPECT_EQ(b->Width(), 25);
    EXPECT_EQ(b->Height(), 30);
    EXPECT_FALSE(b->TabStop());
    EXPECT_EQ(b->Spacing(), -1);
    EXPECT_EQ(b->Glyph()->Width(), 16);  // frame k + 1 of the ten glyphs
    EXPECT_EQ(b->Glyph()->Height(), 16);
    EXPECT_EQ(b->Parent(), nav);
  }
  // Each glyph is its own frame of the strip: no two alike.
  for (int a = 0; a < kNavButtonCount; ++a)
    for (int b = a + 1; b < kNavButtonCount; ++b) {
      TBitmap* ga = nav->Buttons(static_cast<TNavigateBtn>(a))->Glyph();
      TBitmap* gb = nav->Buttons(static_cast<TNavigateBtn>(b))->Glyph();
      bool differ = false;
      for (int y = 0; y < 16 && !differ; ++y)
        for (int x = 0; x < 16 && !differ; ++x) differ = ga->Canvas().Pixel(x, y) != gb->Canvas().Pixel(x, y);
      EXPECT_TRUE(differ) << a << " and " << b;
    }
}

TEST_F(NavigatorTest, TheWidthKeepsToWholeSlotsUnlessAligned) {
  nav->SetWidth(253);
  EXPECT_EQ(nav->Width(), 250);
  nav->SetBounds(10, 10, 40, 5);  // a window asked for less than the buttons need
  EXPECT_EQ(nav->Width(), 200);
  EXPECT_EQ(nav->Height(), 18);
  RECT r;
  GetWindowRect(nav->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 200);
}

class AlignedNavigatorTest : public NavigatorTest {
protected:
  AlignedNavigatorTest() : NavigatorTest(253) {}
};

TEST_F(AlignedNavigatorTest, AnAlignedNavigatorSpreadsTheExtraPixels) {
  nav->SetAlign(alTop);
  ASSERT_EQ(nav->Width(), 253);
  EXPECT_EQ(nav->SlotWidth(), 25);
  std::vector<int> widths;
  for (int k = 0; k < kNavButtonCount; ++k) widths.push_back(nav->Buttons(static_cast<TNavigateBtn>(k))->Width());
  EXPECT_EQ(widths, (std::vector<int>{25, 26, 25, 25, 25, 26, 25, 25, 26, 25}));
  EXPECT_EQ(nav->Buttons(nbRefresh)->BoundsRect().right, 253);
}

TEST_F(NavigatorTest, OnlyFirstAndLastVisible) {
  nav->SetVisibleButtons({nbFirst, nbLast});
  nav->SetWidth(10);
  EXPECT_EQ(nav->Width(), 40);
  EXPECT_EQ(nav->Buttons(nbLast)->Left(), 20);
  EXPECT_FALSE(nav->Buttons(nbNext)->Visible());
  EXPECT_GT(nav->Buttons(nbNext)->Left(), nav->Width());  // parked outside the right edge
}

// ---- states ----

TEST_F(NavigatorTest, ButtonStatesFollowTheDataSetInEveryState) {
  nav->SetDataSource(source);
  //  kinds:          F P N L I D E P C R
  const struct {
    const char* name;
    std::function<void(NavigatorTest&)> setup;
    const char* states;
  } cases[] = {
      {"browse, first record", [](NavigatorTest& t) { t.set->First(); }, "0011111001"},
      {"browse, middle", [](NavigatorTest& t) { t.set->First(), t.set->Next(), t.set->Next(); }, "1111111001"},
      {"browse, last record", [](NavigatorTest& t) { t.set->Last(); }, "1100111001"},
      {"edit", [](NavigatorTest& t) { t.set->Next(), t.set->Edit(); }, "1111110111"},
      {"inactive", [](NavigatorTest& t) { t.set->Close(); }, "0000000000"},
      {"read-only set", [](NavigatorTest& t) { t.set->Close(), t.set->SetReadOnly(true), t.set->Open(), t.set->Next(); },
       "1111000000"},
      {"source disabled", [](NavigatorTest& t) { t.source->SetEnabled(false); }, "0000000000"},
      {"navigator disabled", [](NavigatorTest& t) { t.nav->SetEnabled(false); }, "0000000000"},
      {"no data source", [](NavigatorTest& t) { t.nav->SetDataSource(nullptr); }, "0000000000"},
  };
  Fill(5);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.setup(*this);
    EXPECT_EQ(States(), c.states);
    // Back to a browsing, editable set at its first record.
    if (set->State() == dsEdit) set->Cancel();
    set->Close();
    set->SetReadOnly(false);
    set->Open();
    source->SetEnabled(true);
    nav->SetEnabled(true);
    nav->SetDataSource(source);
    EXPECT_EQ(States(), "0011111001");
  }
  set->Insert();
  EXPECT_EQ(States().substr(4), "110111");  // insert and edit states as when editing
  set->Cancel();
}

TEST_F(NavigatorTest, AnEmptySetAlsoDisablesDelete) {
  nav->SetDataSource(source);
  EXPECT_EQ(States(), "0000101001");
  Fill(1);
  EXPECT_EQ(States().substr(0, 6), "001111");  // one record: at its first, deletable
}

// ---- clicks ----

TEST_F(NavigatorTest, ClicksDriveTheSetBetweenBeforeActionAndOnClick) {
  Fill(5);
  nav->SetDataSource(source);
  std::vector<std::string> log;
  nav->SetBeforeAction([&](TObject* sender, TNavigateBtn kind) {
    EXPECT_EQ(sender, nav);
    log.push_back("before " + NavigateBtnInfo.NameOf(kind) + " at " + std::to_string(set->RecNo()));
  });
  nav->SetOnClick([&](TObject* sender, TNavigateBtn kind) {
    EXPECT_EQ(sender, nav);
    log.push_back("click " + NavigateBtnInfo.NameOf(kind) + " at " + std::to_string(set->RecNo()));
  });
  const struct {
    TNavigateBtn kind;
    int recNo;
    TDataSetState state;
  } steps[] = {{nbNext, 2, dsBrowse},   {nbLast, 5, dsBrowse},  {nbPrior, 4, dsBrowse}, {nbFirst, 1, dsBrowse},
               {nbEdit, 1, dsEdit},     {nbCancel, 1, dsBrowse}, {nbEdit, 1, dsEdit},   {nbPost, 1, dsBrowse},
               {nbInsert, 0, dsInsert}, {nbCancel, 1, dsBrowse}, {nbRefresh, 1, dsBrowse}};
  for (const auto& s : steps) {
    SCOPED_TRACE(NavigateBtnInfo.NameOf(s.kind));
    const int before = set->RecNo();
    log.clear();
    Click(s.kind);
    EXPECT_EQ(set->RecNo(), s.recNo);
    EXPECT_EQ(set->State(), s.state);
    const std::string name = NavigateBtnInfo.NameOf(s.kind);
    EXPECT_EQ(log, (std::vector<std::string>{"before " + name + " at " + std::to_string(before),
                                             "click " + name + " at " + std::to_string(s.recNo)}));
  }
}

TEST_F(NavigatorTest, WithoutAnActiveSourceAClickStillFiresOnClickOnly) {
  std::vector<std::string> log;
  nav->SetBeforeAction([&](TObject*, TNavigateBtn) { log.push_back("before"); });
  nav->SetOnClick([&](TObject*, TNavigateBtn kind) { log.push_back("click " + NavigateBtnInfo.NameOf(kind)); });
  nav->NavigateClick(nbNext);  // no data source
  nav->SetDataSource(source);
  set->Close();
  nav->NavigateClick(nbFirst);  // an inactive one
  EXPECT_EQ(log, (std::vector<std::string>{"click nbNext", "click nbFirst"}));
}

// The confirmation is a confirmation dialog (MessageDlg), answered through the message-box
// hook that the real box's path also takes.
class DeleteTest : public NavigatorTest {
protected:
  DeleteTest() {
    Fill(3);
    nav->SetDataSource(source);
    previous = SetMessageBoxHook([this](HWND, const std::string& text, const std::string& caption, UINT flags) {
      asked.push_back(text);
      EXPECT_EQ(caption, "Confirm");
      EXPECT_EQ(flags & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
      EXPECT_EQ(flags & MB_ICONMASK, static_cast<UINT>(MB_ICONQUESTION));
      return answer;
    });
  }
  ~DeleteTest() override { SetMessageBoxHook(previous); }
  TMessageBoxHook previous;
  std::vector<std::string> asked;
  int answer = IDOK;
};

TEST_F(DeleteTest, DeleteRecordAnsweredYesAndNo) {
  answer = IDCANCEL;
  Click(nbDelete);
  EXPECT_EQ(asked, std::vector<std::string>{"Delete record?"});
  EXPECT_EQ(set->RecordCount(), 3);
  answer = IDOK;
  Click(nbDelete);
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(set->RecordCount(), 2);
  EXPECT_EQ(set->FieldByName("Name")->AsString(), "row 2");
}

TEST_F(DeleteTest, WithoutConfirmDeleteNothingIsAsked) {
  nav->SetConfirmDelete(false);
  Click(nbDelete);
  Click(nbDelete);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(set->RecordCount(), 1);
}

// ---- holding Prior and Next ----

class HeldNextTest : public NavigatorTest {
protected:
  HeldNextTest() {
    Fill(60);
    nav->SetDataSource(source);
    nav->SetOnClick([this](TObject*, TNavigateBtn kind) { moves.push_back({kind, set->RecNo()}); });
    uitest::MovePointerTo({5, 5});
    uitest::Pump();
  }
  ~HeldNextTest() override { uitest::MovePointerTo({5, 5}); }
  struct TMove {
    TNavigateBtn kind;
    int recNo;
  };
  std::vector<TMove> moves;
};

// Held with the real pointer: nothing at the press, then one move per tick, one more at the
// release inside, and none after it.
TEST_F(HeldNextTest, NextHeldWithThePointerMovesAfterThePauseThenOncePerTick) {
  TkyrNavButton* next = nav->Buttons(nbNext);
  uitest::MovePointerTo(next->ClientToScreen({12, 15}));
  ASSERT_TRUE(PumpAppUntil([&] { return next->MouseIn(); }));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpAppUntil([&] { return next->Pressed(); }));
  EXPECT_TRUE(moves.empty());  // the press itself moves nothing
  EXPECT_EQ(set->RecNo(), 1);
  ASSERT_TRUE(PumpAppUntil([&] { return moves.size() >= 4; }));
  const size_t held = moves.size();
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpAppUntil([&] { return !next->Pressed(); }));
  PumpFor(300);  // three intervals: no tick after the release
  ASSERT_EQ(moves.size(), held + 1);
  for (size_t i = 0; i < moves.size(); ++i) {
    EXPECT_EQ(moves[i].kind, nbNext);
    EXPECT_EQ(moves[i].recNo, static_cast<int>(i) + 2);  // one record per move, in order
  }
  EXPECT_FALSE(next->RepeatTimerActive());
}

TEST_F(HeldNextTest, PriorRepeatsTooTheOthersDoNot) {
  set->Last();
  LeftDown(*nav->Buttons(nbPrior));
  ASSERT_TRUE(PumpAppUntil([&] { return moves.size() >= 2; }));
  LeftUp(*nav->Buttons(nbPrior));
  EXPECT_EQ(set->RecNo(), 60 - static_cast<int>(moves.size()));
  moves.clear();
  LeftDown(*nav->Buttons(nbFirst));
  PumpFor(600);
  EXPECT_TRUE(moves.empty());
  LeftUp(*nav->Buttons(nbFirst));
  EXPECT_EQ(moves.size(), 1u);
}

// A handler that runs a message loop (a dialog) while Next is held: the timer keeps coming and
// the button is released meanwhile, yet the handler is never entered again from inside.
TEST_F(HeldNextTest, AHandlerStillRunningIsNeverEnteredAgain) {
  TkyrNavButton* next = nav->Buttons(nbNext);
  uitest::TMessageLog timers(next, {WM_TIMER});
  int depth = 0, deepest = 0, calls = 0;
  nav->SetOnClick([&](TObject*, TNavigateBtn) {
    ++calls;
    deepest = std::max(deepest, ++depth);
    if (calls == 1) {
      const size_t seen = timers.messages.size();
      EXPECT_TRUE(PumpAppUntil([&] { return timers.messages.size() >= seen + 3; }));
      LeftUp(*next);  // the release arrives while the "dialog" runs
      PumpFor(50);
    }
    --depth;
  });
  LeftDown(*next);
  ASSERT_TRUE(PumpAppUntil([&] { return calls >= 1 && depth == 0; }));
  PumpFor(300);
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(next->RepeatTimerActive());
}

// The error goes on to the error report (recorded here), and the repeat ends with it.
TEST_F(HeldNextTest, AnErrorFromARepeatedMoveEndsTheRepeat) {
  uitest::TMessageBoxRecorder report;
  int calls = 0;
  nav->SetBeforeAction([&](TObject*, TNavigateBtn) {
    if (++calls == 2) throw EDatabaseError("No more records");
  });
  TkyrNavButton* next = nav->Buttons(nbNext);
  LeftDown(*next);
  ASSERT_TRUE(PumpAppUntil([&] { return calls >= 2; }));
  EXPECT_FALSE(next->RepeatTimerActive());
  PumpFor(300);
  EXPECT_EQ(calls, 2);
  ASSERT_EQ(report.boxes.size(), 1u);
  EXPECT_EQ(report.boxes[0].text, "No more records.");
  EXPECT_EQ(set->RecNo(), 2);  // the first tick moved, the failing one did not
  LeftUp(*next);
}

// ---- keyboard and focus ----

class KeyboardTest : public NavigatorTest {
protected:
  KeyboardTest() {
    Fill(5);
    nav->SetDataSource(source);
    nav->SetTabStop(true);
    nav->SetFocus();
    uitest::Pump();
  }
  // Typed through the application's loop, as the system delivers it.
  void Type(WORD key) {
    PostKey(*nav, key, true);
    PostKey(*nav, key, false);
    PumpApp();
  }
};

TEST_F(KeyboardTest, ArrowsStepOverTheVisibleButtonsAndSpaceClicks) {
  ASSERT_TRUE(nav->Focused());
  EXPECT_EQ(SendMessageA(nav->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  Type(VK_LEFT);
  EXPECT_EQ(nav->CurrentButton(), nbFirst);  // stops at the first
  Type(VK_RIGHT);
  Type(VK_RIGHT);
  Type(VK_RIGHT);
  EXPECT_EQ(nav->CurrentButton(), nbLast);
  Type(VK_SPACE);
  EXPECT_EQ(set->RecNo(), 5);
  for (int i = 0; i < 12; ++i) Type(VK_RIGHT);
  EXPECT_EQ(nav->CurrentButton(), nbRefresh);  // stops at the last
  int keyEvents = 0;
  nav->SetOnKeyDown([&](TObject*, WORD&, TShiftState) { ++keyEvents; });
  Type('A');
  Type(VK_DOWN);
  EXPECT_EQ(keyEvents, 0);  // the framework's key handling is not called
  EXPECT_EQ(nav->CurrentButton(), nbRefresh);
}

TEST_F(KeyboardTest, SpaceNeverClicksAHiddenOrDisabledButton) {
  set->Last();
  Type(VK_RIGHT);  // nbPrior
  nav->SetVisibleButtons({nbNext, nbLast, nbInsert});
  EXPECT_EQ(nav->CurrentButton(), nbNext);  // moved to the first visible one
  Type(VK_LEFT);
  EXPECT_EQ(nav->CurrentButton(), nbNext);  // stops on the first visible one, never on a hidden one
  int clicks = 0;
  nav->SetOnClick([&](TObject*, TNavigateBtn) { ++clicks; });
  ASSERT_FALSE(nav->Buttons(nbNext)->Enabled());  // at the end
  Type(VK_SPACE);
  EXPECT_EQ(clicks, 0);
  Type(VK_RIGHT);
  Type(VK_RIGHT);
  EXPECT_EQ(nav->CurrentButton(), nbInsert);
  Type(VK_SPACE);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(set->State(), dsInsert);
  set->Cancel();
  nav->SetVisibleButtons({nbFirst, nbLast});
  Type(VK_LEFT);
  EXPECT_EQ(nav->CurrentButton(), nbFirst);
  Type(VK_RIGHT);
  EXPECT_EQ(nav->CurrentButton(), nbLast);
  Type(VK_LEFT);
  EXPECT_EQ(nav->CurrentButton(), nbFirst);  // from nbLast straight to nbFirst
}

TEST_F(KeyboardTest, APressMovesTheCurrentButtonAndTakesTheFocusFirst) {
  nav->Buttons(nbEdit)->SetFocus();
  ASSERT_FALSE(nav->Focused());
  TkyrNavButton* last = nav->Buttons(nbLast);
  LeftDown(*last);
  LeftUp(*last);
  EXPECT_TRUE(nav->Focused());
  EXPECT_EQ(nav->CurrentButton(), nbLast);
  EXPECT_EQ(set->RecNo(), 5);
  LeftDown(*nav->Buttons(nbFirst));
  LeftUp(*nav->Buttons(nbFirst));
  EXPECT_EQ(nav->CurrentButton(), nbFirst);
}

// The button painted through WM_PRINTCLIENT, as a strip of pixels along row Y.
std::vector<TColor> Row(TkyrNavButton& b, int y) {
  uitest::TCapture capture(b.Width(), b.Height());
  SendMessageA(b.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  std::vector<TColor> row;
  for (int x = 0; x < b.Width(); ++x) row.push_back(capture.Pixel(x, y));
  return row;
}

int Differing(const std::vector<TColor>& a, const std::vector<TColor>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

// The dotted rectangle 3 pixels inside the current button, only while the navigator has the
// focus, one pixel lower right while pressed.
TEST_F(KeyboardTest, TheFocusMarkIsADottedRectangleOnTheCurrentButton) {
  TkyrNavButton* current = nav->Buttons(nbNext);
  Type(VK_RIGHT);
  Type(VK_RIGHT);
  ASSERT_EQ(nav->CurrentButton(), nbNext);
  const std::vector<TColor> marked3 = Row(*current, 3), marked2 = Row(*current, 2);
  const std::vector<TColor> marked4 = Row(*current, 4);
  nav->Buttons(nbEdit)->SetFocus();  // the navigator loses the focus
  ASSERT_FALSE(nav->Focused());
  const std::vector<TColor> plain3 = Row(*current, 3), plain2 = Row(*current, 2), plain4 = Row(*current, 4);
  EXPECT_GE(Differing(marked3, plain3), (current->Width() - 6) / 2 - 1);  // every other pixel of the top edge
  EXPECT_EQ(Differing(marked2, plain2), 0);
  const int edge = Differing(marked4, plain4);
  EXPECT_LE(edge, 2);  // only the two side edges cross row 4
  EXPECT_NE(marked3[3], plain3[3]);
  nav->SetFocus();
  uitest::Pump();
  const std::vector<TColor> other = Row(*nav->Buttons(nbLast), 3);
  nav->Buttons(nbEdit)->SetFocus();
  EXPECT_EQ(Differing(other, Row(*nav->Buttons(nbLast), 3)), 0);  // no mark on another button
  nav->SetFocus();
  LeftDown(*current);  // pressed: the mark moves by (1, 1); the press keeps it the current one
  const std::vector<TColor> pressed4 = Row(*current, 4);
  nav->Buttons(nbEdit)->SetFocus();
  EXPECT_TRUE(current->Pressed());
  EXPECT_GE(Differing(pressed4, Row(*current, 4)), (current->Width() - 6) / 2 - 1);
  LeftUp(*current, -40, 5);
}

// ---- hints ----

TEST_F(NavigatorTest, StandardHintsAreNotKept) {
  for (int k = 0; k < kNavButtonCount; ++k)
    EXPECT_EQ(nav->Buttons(static_cast<TNavigateBtn>(k))->Hint(), NavigatorStandardHints[k]);
  TStringList same;
  for (const char* hint : NavigatorStandardHints) same.Add(hint);
  nav->SetHints(same);
  EXPECT_EQ(nav->Hints()->Count(), 0);
  // Filled in place, as a stored description does: the same.
  static_cast<TStrings*>(GetObjectProp(*nav, "Hints"))->SetStrings(same.ToVector());
  EXPECT_EQ(nav->Hints()->Count(), 0);

  TStringList mine;
  mine.SetStrings({"Go to the top", "", "Onward", "", "", "", "", "", "", "", "ignored"});
  nav->SetHints(mine);
  EXPECT_EQ(nav->Hints()->Count(), 11);
  EXPECT_EQ(nav->Buttons(nbFirst)->Hint(), "Go to the top");
  EXPECT_EQ(nav->Buttons(nbPrior)->Hint(), "Prior record");  // an empty line keeps the standard hint
  EXPECT_EQ(nav->Buttons(nbNext)->Hint(), "Onward");
  EXPECT_EQ(nav->Buttons(nbRefresh)->Hint(), "Refresh data");
  nav->Hints()->Clear();
  EXPECT_EQ(nav->Buttons(nbFirst)->Hint(), "First record");
}

TEST(NavigatorHints, TheDesignerSeesTheStandardHintsOfAnEmptyList) {
  TkyrDBNavigator nav(nullptr);
  EXPECT_EQ(nav.Hints()->Count(), 0);
  nav.SetDesigning(true);
  EXPECT_EQ(nav.Hints()->Count(), kNavButtonCount);
  EXPECT_EQ(nav.Hints()->Strings(5), "Delete record");
  nav.BeginLoading();  // while a description is read: the list itself
  EXPECT_EQ(nav.Hints()->Count(), 0);
  nav.EndLoading();
}

// ---- references, style, cursor ----

TEST_F(NavigatorTest, ASourceThatGoesIsForgotten) {
  Fill(2);
  nav->SetDataSource(source);
  ASSERT_EQ(States(), "0011111001");
  delete source;
  EXPECT_EQ(nav->DataSource(), nullptr);
  EXPECT_EQ(States(), "0000000000");
  nav->NavigateClick(nbNext);
  EXPECT_EQ(set->RecNo(), 1);
}

// Watches a component and records, when it goes, how many links the source still has.
class TGoneWatcher : public TComponent {
public:
  TGoneWatcher(TComponent* watched, TDataSource* source) : TComponent(nullptr), source_(source) {
    watched->FreeNotification(this);
  }
  int linksWhenGone = -1;

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && linksWhenGone < 0) linksWhenGone = source_->LinkCount();
  }

private:
  TDataSource* source_;
};

TEST_F(NavigatorTest, TheNavigatorLetsGoOfItsSourceBeforeItsButtonsGo) {
  Fill(3);
  nav->SetDataSource(source);
  ASSERT_EQ(source->LinkCount(), 1);
  TGoneWatcher watcher(nav->Buttons(nbNext), source);
  delete nav;
  EXPECT_EQ(watcher.linksWhenGone, 0);
  set->Next();  // nothing of the navigator is reached any more
  set->Close();
  EXPECT_EQ(source->LinkCount(), 0);
}

TEST_F(NavigatorTest, StyleThemeAndCursorReachEveryButton) {
  nav->SetUIStyle(MacOS);
  for (int k = 0; k < kNavButtonCount; ++k) {
    TkyrNavButton* b = nav->Buttons(static_cast<TNavigateBtn>(k));
    EXPECT_EQ(b->UIStyle(), MacOS);
    EXPECT_TRUE(b->Transparent());  // the MacOS buttons are see-through
  }
  nav->SetUIStyle(WinXP);
  EXPECT_EQ(nav->Buttons(nbPost)->UIStyle(), WinXP);
  EXPECT_FALSE(nav->Buttons(nbPost)->Transparent());
  auto* theme = new TkyrFileTheme(form.form);
  nav->SetFileTheme(theme);
  EXPECT_EQ(nav->Buttons(nbLast)->FileTheme(), theme);
  delete theme;
  EXPECT_EQ(nav->FileTheme(), nullptr);
  EXPECT_EQ(nav->UIStyle(), DeepBlue);
  EXPECT_EQ(nav->Buttons(nbLast)->UIStyle(), DeepBlue);
  EXPECT_EQ(nav->Buttons(nbLast)->FileTheme(), nullptr);
  nav->SetCursor(crHandPoint);
  EXPECT_EQ(nav->Cursor(), crHandPoint);
  EXPECT_EQ(nav->Buttons(nbRefresh)->Cursor(), crHandPoint);
}

TEST_F(NavigatorTest, LiveGdiHandlesStayFlatOverNavigationsAndStyleSwitches) {
  if (!HandleCountsEnabled()) GTEST_SKIP() << "a build without handle counts";
  Fill(20);
  nav->SetDataSource(source);
  nav->SetTabStop(true);
  nav->SetFocus();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const THandleBaseline before;
  for (int i = 0; i < 1000; ++i) {
    Click(i % 40 < 20 ? nbNext : nbPrior);
    if (i % 50 == 0) RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  for (int i = 0; i < 100; ++i) {
    nav->SetUIStyle(static_cast<TkyrUIStyle>(1 + i % 5));
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  nav->SetUIStyle(DeepBlue);
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  before.ExpectUnchanged();
}

// ---- stored descriptions ----

std::vector<std::string> OwnNames(const TClassInfo& info) {
  std::vector<std::string> names;
  for (const TPropInfo& p : const_cast<TClassInfo&>(info).OwnProperties()) names.push_back(p.Name);
  return names;
}

TEST(NavigatorPublished, PropertiesInDeclarationOrderAndTheClassByName) {
  EXPECT_EQ(OwnNames(TkyrDBNavigator::StaticClassInfo()),
            (std::vector<std::string>{
                "FileTheme",    "UIStyle",        "DataSource",   "VisibleButtons", "Cursor",      "Align",
                "Anchors",      "Constraints",    "DragCursor",   "DragKind",       "DragMode",    "Enabled",
                "Hints",        "ParentCtl3D",    "ParentShowHint", "PopupMenu",    "ConfirmDelete", "ShowHint",
                "TabOrder",     "TabStop",        "Visible",      "BeforeAction",   "OnClick",     "OnContextPopup",
                "OnDblClick",   "OnDragDrop",     "OnDragOver",   "OnEndDock",      "OnEndDrag",   "OnEnter",
                "OnExit",       "OnResize",       "OnStartDock",  "OnStartDrag"}));
  RegisterSkinClasses();
  TComponent owner(nullptr);
  TComponent* c = CreateComponentByClassName("TkyrDBNavigator", &owner);
  EXPECT_STREQ(c->ClassName(), "TkyrDBNavigator");
  SetSetProp(*c, "VisibleButtons", "[nbFirst,nbLast]");
  EXPECT_EQ(static_cast<TkyrDBNavigator*>(c)->VisibleButtons(), (TButtonSet{nbFirst, nbLast}));
}

const RECT* Bounds(TControl* c) {
  static RECT r;
  r = c->BoundsRect();
  return &r;
}

// While a description is read nothing is laid out; Loaded does it once.
TEST(NavigatorLoading, LayoutWaitsForLoaded) {
  static constexpr RECT kPrior{0, 0, 50, 30}, kNext{50, 0, 100, 30};
  uitest::TShownForm form(320, 100);
  auto* nav = new TkyrDBNavigator(form.form);
  nav->BeginLoading();
  nav->SetParent(form.form);
  SetSetProp(*nav, "VisibleButtons", "[nbPrior,nbNext]");
  nav->SetBounds(0, 0, 101, 30);
  EXPECT_EQ(nav->Buttons(nbNext)->Left(), 50);  // where the full row had it
  static_cast<TComponent*>(nav)->Loaded();  // what the reader calls at the end
  EXPECT_EQ(nav->Width(), 100);
  EXPECT_TRUE(EqualRect(Bounds(nav->Buttons(nbPrior)), &kPrior));
  EXPECT_TRUE(EqualRect(Bounds(nav->Buttons(nbNext)), &kNext));
  EXPECT_FALSE(nav->Buttons(nbFirst)->Enabled());  // no source: all disabled
}

// A description as the designer writes it: the hints that differ from the standard ones are
// kept, a list of only standard hints is dropped, and the layout is done once at the end.
TEST(NavigatorLoading, AStoredDescriptionKeepsOnlyDifferingHints) {
  RegisterSkinClasses();
  std::string standard;
  for (const char* hint : NavigatorStandardHints) standard += std::string(" '") + hint + "'";
  TForm form(nullptr);
  ReadComponentText("object Form1: TForm\n"
                    "  object Nav1: TkyrDBNavigator\n"
                    "    Left = 4\n    Top = 4\n    Width = 101\n    Height = 25\n"
                    "    VisibleButtons = [nbPrior, nbNext]\n"
                    "    Hints.Strings = ('' 'Back' '')\n"
                    "    ConfirmDelete = False\n"
                    "    TabStop = True\n"
                    "  end\n"
                    "  object Nav2: TkyrDBNavigator\n"
                    "    Hints.Strings = (" + standard + ")\n"
                    "  end\n"
                    "end\n",
                    form);
  auto* nav = dynamic_cast<TkyrDBNavigator*>(form.FindComponent("Nav1"));
  ASSERT_NE(nav, nullptr);
  EXPECT_EQ(nav->Width(), 100);
  EXPECT_EQ(nav->Height(), 25);
  EXPECT_EQ(nav->Buttons(nbNext)->Left(), 50);
  EXPECT_EQ(nav->Hints()->Count(), 3);
  EXPECT_EQ(nav->Buttons(nbPrior)->Hint(), "Back");
  EXPECT_EQ(nav->Buttons(nbNext)->Hint(), "Next record");
  EXPECT_FALSE(nav->ConfirmDelete());
  EXPECT_TRUE(nav->TabStop());
  EXPECT_EQ(nav->CurrentButton(), nbPrior);  // the first visible one
  auto* plain = dynamic_cast<TkyrDBNavigator*>(form.FindComponent("Nav2"));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->Hints()->Count(), 0);
  // The buttons are the navigator's own, not the form's: a description never names them.
  for (int i = 0; i < form.ComponentCount(); ++i) EXPECT_EQ(dynamic_cast<TkyrNavButton*>(form.Components(i)), nullptr);
}

// ---- pictures ----

// The navigator as it is on the screen, written to the test folder for people to look at.
TBmpImage ScreenShot(TWinControl& control) {
  const RECT r{control.ClientOrigin().x, control.ClientOrigin().y, control.ClientOrigin().x + control.Width(),
               control.ClientOrigin().y + control.Height()};
  uitest::TCapture capture(control.Width(), control.Height());
  TWindowDC screen(nullptr);
  BitBlt(capture.DC(), 0, 0, control.Width(), control.Height(), screen.Get(), r.left, r.top, SRCCOPY);
  TBmpImage image = MakeBmpImage(control.Width(), control.Height());
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) {
      const TColor c = capture.Pixel(x, y);
      image.Pixel(x, y) = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
  return image;
}

TEST_F(NavigatorTest, PicturesInTwoStyles) {
  Fill(3);
  nav->SetDataSource(source);
  set->Next();
  form->SetColor(0x808000);
  for (TkyrUIStyle style : {MacOS, WinXP}) {
    SCOPED_TRACE(TkyrUIStyleInfo.NameOf(style));
    nav->SetUIStyle(style);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    uitest::Pump();
    const TBmpImage image = ScreenShot(*nav);
    const char* folder = std::getenv("VANTOR_TEST_TMP");
    if (folder) {
      const std::vector<uint8_t> bytes = EncodeBmp(image, 24);
      TFileStream out(std::string(folder) + "/dbnav-" + TkyrUIStyleInfo.NameOf(style) + ".bmp", fmCreate);
      out.WriteBuffer(bytes.data(), bytes.size());
    }
    // Each enabled button's glyph centre differs from its face's corner region.
    int glyphs = 0;
    for (int k = 0; k < kNavButtonCount; ++k) {
      TkyrNavButton* b = nav->Buttons(static_cast<TNavigateBtn>(k));
      bool mark = false;
      for (int y = b->Height() / 2 - 4; y <= b->Height() / 2 + 4; ++y)
        for (int x = b->Left() + b->Width() / 2 - 4; x <= b->Left() + b->Width() / 2 + 4; ++x)
          mark = mark || image.Pixel(x, y) != image.Pixel(b->Left() + 2, b->Height() / 2);
      glyphs += mark;
    }
    EXPECT_EQ(glyphs, kNavButtonCount);
  }
}

}  // namespace
