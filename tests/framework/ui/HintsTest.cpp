// Hints: the short part of a control's hint in the application's tooltip, for the control the
// pointer rests on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Hints.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

TEST(Hints, ShortAndLongParts) {
  struct Case {
    const char* hint;
    const char* shortPart;
    const char* longPart;
  } cases[] = {
      {"Save|Saves the file", "Save", "Saves the file"},
      {"Save", "Save", "Save"},
      {"|Only long", "", "Only long"},
      {"Two|bars|here", "Two", "bars|here"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetShortHint(c.hint), c.shortPart) << c.hint;
    EXPECT_EQ(GetLongHint(c.hint), c.longPart) << c.hint;
  }
}

TEST(Hints, ShowHintComesFromTheParentUntilSet) {
  TForm form(nullptr);
  auto* outer = new TPanel(&form);
  outer->SetParent(&form);
  auto* inner = new TPanel(&form);
  inner->SetParent(outer);
  EXPECT_FALSE(inner->ShowHint());
  form.SetShowHint(true);
  EXPECT_TRUE(inner->ShowHint());  // through two parents
  outer->SetShowHint(false);
  EXPECT_FALSE(outer->ParentShowHint());
  EXPECT_FALSE(inner->ShowHint());
  inner->SetShowHint(true);
  EXPECT_TRUE(inner->ShowHint());
}

class HintTooltip : public ::testing::Test {
protected:
  void SetUp() override {
    Application->SetHintPause(30);
    Application->SetHintHidePause(10000);
    form->SetShowHint(true);
    withHint = uitest::Place<TPanel>(form.form, 20, 20, 100, 60);
    silent = uitest::Place<TPanel>(form.form, 150, 20, 100, 60);
    withHint->SetHint("Convert|Converts the movie");
    silent->SetHint("Never shown");
    silent->SetShowHint(false);
    uitest::MovePointerTo({2, 2});
    uitest::Pump();
  }
  void TearDown() override {
    uitest::MovePointerTo({2, 2});
    uitest::PumpUntil([] { return !Application->HintWindow() || !Application->HintWindow()->Showing(); });
    Application->SetHintPause(500);
    Application->SetHintHidePause(2500);
  }
  static bool TipVisible() {
    const THintWindow* hint = Application->HintWindow();
    return hint && hint->Showing() && IsWindowVisible(hint->Handle());
  }
  static std::string TipText() {
    char text[128] = {};
    GetWindowTextA(Application->HintWindow()->Handle(), text, sizeof text);
    return text;
  }

  uitest::TShownForm form{300, 120};
  TPanel* withHint = nullptr;
  TPanel* silent = nullptr;
};

TEST_F(HintTooltip, ShowsTheShortHintUnderThePointerAndGoesOnLeaving) {
  const POINT over = withHint->ClientToScreen({50, 30});
  uitest::MovePointerTo(over);
  ASSERT_TRUE(uitest::PumpUntil(TipVisible));
  EXPECT_EQ(Application->HintWindow()->Text(), "Convert");
  EXPECT_EQ(TipText(), "Convert");
  RECT tip;
  GetWindowRect(Application->HintWindow()->Handle(), &tip);
  EXPECT_GT(tip.top, over.y);  // below the pointer
  EXPECT_LE(std::abs(tip.left - over.x), 4);

  uitest::MovePointerTo(silent->ClientToScreen({50, 30}));  // a control without ShowHint
  ASSERT_TRUE(uitest::PumpUntil([] { return !TipVisible(); }));
  uitest::Pump();
  EXPECT_FALSE(TipVisible());
}

TEST_F(HintTooltip, AClickHidesTheTipUntilThePointerMovesOn) {
  uitest::MovePointerTo(withHint->ClientToScreen({50, 30}));
  ASSERT_TRUE(uitest::PumpUntil(TipVisible));
  TApplication& app = *Application;
  PostMessageA(withHint->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 30));
  PostMessageA(withHint->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(50, 30));
  app.ProcessMessages();
  EXPECT_FALSE(TipVisible());
  uitest::MovePointerTo(withHint->ClientToScreen({52, 32}));  // still the same control
  uitest::PumpUntil([] { return TipVisible(); }, 200);      // (gives a wrong tip the chance)
  EXPECT_FALSE(TipVisible());
}

}  // namespace
