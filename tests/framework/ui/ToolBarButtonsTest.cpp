// The tool bar's buttons beyond plain pushing, under real input: images (hot images, missing
// indexes, greyed), the sizes images and captions give, the transparent background, the
// indent, check buttons and their groups, drop-down buttons with their menus, inert separators.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/FormReader.h"
#include "framework/core/Streams.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/ComponentClasses.h"
#include "framework/ui/Menus.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr TColor kRed = 0x0000C0, kGreen = 0x00A000, kBlue = 0xC00000, kYellow = 0x00E0E0;

// A list of WIDTH x HEIGHT images, one solid square per colour.
std::unique_ptr<TImageList> SolidImages(int width, int height, const std::vector<TColor>& colors) {
  auto list = std::make_unique<TImageList>(width, height);
  TBitmap strip(width * static_cast<int>(colors.size()), height);
  for (size_t i = 0; i < colors.size(); ++i) {
    strip.Canvas().Brush().SetColor(colors[i]);
    const int left = static_cast<int>(i) * width;
    strip.Canvas().FillRect(RECT{left, 0, left + width, height});
  }
  list->AddMasked(strip, clFuchsia);
  return list;
}

SIZE CaptionSize(TToolBar* bar, const std::string& caption) {
  TWindowDC screen(nullptr);
  TCanvas canvas(screen.Get());
  canvas.Font().Assign(*bar->Font());
  return {canvas.TextWidth(StripAccelerators(caption)), canvas.TextHeight("Wg")};
}

using uitest::MenuWindowsShown;
using uitest::TMenuScript;

class ToolBarButtons : public ::testing::Test {
protected:
  void SetUp() override {
    uitest::MovePointerTo({2, 2});
    bar = new TToolBar(form.form);
    bar->SetParent(form.form);
    bar->SetEdgeBorders({});
    bar->SetFlat(true);
    uitest::Pump();
  }
  void TearDown() override {
    EndMenu();
    uitest::MouseButton(MOUSEEVENTF_LEFTUP);
    uitest::MovePointerTo({2, 2});
    uitest::Pump();
  }

  TToolButton* Add(const std::string& caption, TToolButtonStyle style = tbsButton, int image = -1) {
    auto* button = new TToolButton(form.form);
    button->SetCaption(caption);
    button->SetStyle(style);
    button->SetImageIndex(image);
    button->SetParent(bar);
    return button;
  }
  POINT ScreenPoint(const TToolButton* button, int dx, int dy) const {
    return bar->ClientToScreen({button->Left() + dx, button->Top() + dy});
  }
  std::unique_ptr<uitest::TCapture> Capture() const {
    auto c = std::make_unique<uitest::TCapture>(bar->Width(), bar->Height());
    SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(c->DC()), PRF_CLIENT);
    return c;
  }
  // A press and release at (DX, DY) of BUTTON through real input; waits until the release
  // has been handled.
  void ClickAt(const TToolButton* button, int dx = 6, int dy = 6) {
    uitest::MovePointerTo(ScreenPoint(button, dx, dy));
    uitest::Pump();
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
    uitest::MouseButton(MOUSEEVENTF_LEFTUP);
    uitest::PumpUntil([] { return GetCapture() == nullptr && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; });
    uitest::Pump();
  }
  bool PointerMakesHot(const TToolButton* button, int dx = 6, int dy = 6) {
    uitest::MovePointerTo(ScreenPoint(button, dx, dy));
    return uitest::PumpUntil([&] { return (bar->ButtonState(button) & cdsHot) != 0; });
  }

  uitest::TShownForm form{320, 200};
  TToolBar* bar = nullptr;
};

// ---- images ----
TEST_F(ToolBarButtons, DrawsEachButtonsImageCentredThreePixelsFromTheTop) {
  auto images = SolidImages(16, 16, {kRed, kGreen, kBlue});
  bar->SetImages(images.get());
  TToolButton* red = Add("", tbsButton, 0);
  TToolButton* missing = Add("", tbsButton, 7);
  TToolButton* blue = Add("", tbsButton, 2);
  TToolButton* none = Add("", tbsButton, -1);
  TToolButton* drop = Add("", tbsDropDown, 1);
  blue->SetEnabled(false);
  auto c = Capture();
  // A drop-down button centres its image on the part left of the arrow.
  EXPECT_EQ(c->Pixel(drop->Left() + 3, 3), kGreen);
  EXPECT_EQ(c->Pixel(drop->Left() + 18, 18), kGreen);
  EXPECT_NE(c->Pixel(drop->Left() + 2, 10), kGreen);
  EXPECT_NE(c->Pixel(drop->Left() + 19, 10), kGreen);
  const TColor face = ColorToRGB(clBtnFace);
  // 23 wide: (23 - 16) / 2 = 3 from the left; rows 3..18.
  const int x = red->Left(), y = red->Top();
  EXPECT_EQ(c->Pixel(x + 3, y + 3), kRed);
  EXPECT_EQ(c->Pixel(x + 18, y + 18), kRed);
  EXPECT_EQ(c->Pixel(x + 2, y + 10), face);
  EXPECT_EQ(c->Pixel(x + 19, y + 10), face);
  EXPECT_EQ(c->Pixel(x + 10, y + 2), face);
  EXPECT_EQ(c->Pixel(x + 10, y + 19), face);
  for (int dy = 0; dy < missing->Height(); ++dy)
    for (int dx = 0; dx < missing->Width(); ++dx) {
      ASSERT_EQ(c->Pixel(missing->Left() + dx, dy), face) << dx << "," << dy << ": an index the list lacks draws none";
      ASSERT_EQ(c->Pixel(none->Left() + dx, dy), face) << dx << "," << dy;
    }
  // Disabled: greyed, not in its colour, but drawn.
  int drawn = 0;
  for (int dy = 3; dy < 19; ++dy)
    for (int dx = 3; dx < 19; ++dx) {
      const TColor p = c->Pixel(blue->Left() + dx, dy);
      EXPECT_NE(p, kBlue) << dx << "," << dy;
      drawn += p != face;
    }
  EXPECT_GT(drawn, 0);
}

TEST_F(ToolBarButtons, TheHotButtonShowsItsHotImageOrFallsBackToItsImage) {
  auto images = SolidImages(16, 16, {kRed, kGreen});
  auto hot = SolidImages(16, 16, {kYellow});  // lacks index 1
  bar->SetImages(images.get());
  bar->SetHotImages(hot.get());
  TToolButton* first = Add("", tbsButton, 0);
  TToolButton* second = Add("", tbsButton, 1);
  auto centre = [&](const TToolButton* b) { return Capture()->Pixel(b->Left() + 11, b->Top() + 11); };
  EXPECT_EQ(centre(first), kRed);
  ASSERT_TRUE(PointerMakesHot(first));
  EXPECT_EQ(centre(first), kYellow);
  EXPECT_EQ(centre(second), kGreen);
  ASSERT_TRUE(PointerMakesHot(second));
  EXPECT_EQ(centre(second), kGreen);  // the fallback
  EXPECT_EQ(centre(first), kRed);
  EXPECT_EQ(bar->ImagesFor(second, bar->ButtonState(second)), images.get());
  bar->SetHotImages(nullptr);
  EXPECT_EQ(bar->ImagesFor(first, cdsHot), images.get());
}

TEST_F(ToolBarButtons, ImagesAndCaptionsSizeTheButtons) {
  struct Case {
    const char* what;
    int imageWidth, imageHeight;  // 0: no image list
    bool captions, list, autoSize;
    const char* caption;
    std::function<SIZE(SIZE text)> expected;
  } cases[] = {
      {"nothing to fit", 0, 0, false, false, false, "Open", [](SIZE) { return SIZE{23, 22}; }},
      {"captions without images", 0, 0, true, false, false, "Open", [](SIZE) { return SIZE{23, 22}; }},
      {"small images", 16, 16, false, false, false, "Open", [](SIZE) { return SIZE{23, 22}; }},
      {"large images", 32, 24, false, false, false, "Open", [](SIZE) { return SIZE{39, 30}; }},
      {"caption under the image", 16, 16, true, false, false, "Open",
       [](SIZE t) { return SIZE{std::max(23L, t.cx + 14), 16 + 7 + t.cy}; }},
      {"long caption under the image", 16, 16, true, false, false, "Open the file",
       [](SIZE t) { return SIZE{t.cx + 14, 16 + 7 + t.cy}; }},
      {"caption right of the image", 16, 16, true, true, false, "Open",
       [](SIZE t) { return SIZE{16 + 7 + t.cx + 7, std::max(22L, t.cy + 8)}; }},
      {"list without captions", 16, 16, false, true, false, "Open", [](SIZE) { return SIZE{23, 22}; }},
      {"auto-sized under the image", 32, 32, true, false, true, "Go",
       [](SIZE t) { return SIZE{std::max(39L, t.cx + 14), 32 + 7 + t.cy}; }},
  };
  TToolButton* button = Add("", tbsButton, 0);
  TToolButton* next = Add("x", tbsButton, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TImageList> images;
    if (c.imageWidth) images = SolidImages(c.imageWidth, c.imageHeight, {kRed});
    bar->SetImages(images.get());
    bar->SetShowCaptions(c.captions);
    bar->SetList(c.list);
    button->SetAutoSize(c.autoSize);
    button->SetCaption(c.caption);
    const SIZE expected = c.expected(CaptionSize(bar, c.caption));
    EXPECT_EQ(button->Width(), expected.cx);
    EXPECT_EQ(button->Height(), expected.cy);
    EXPECT_EQ(next->Left(), expected.cx);
    EXPECT_EQ(next->Height(), expected.cy) << "every button of the bar is as high";
    bar->SetImages(nullptr);  // before the list goes
  }
}

TEST_F(ToolBarButtons, TheLayoutFollowsTheImageListsSize) {
  auto images = SolidImages(16, 16, {kRed});
  bar->SetAutoSize(true);
  bar->SetImages(images.get());
  TToolButton* a = Add("", tbsButton, 0);
  TToolButton* b = Add("", tbsButton, 0);
  EXPECT_EQ(b->Left(), 23);
  images->SetWidth(40);  // the list tells the bar through its link
  images->SetHeight(30);
  EXPECT_EQ(a->Width(), 47);
  EXPECT_EQ(b->Left(), 47);
  EXPECT_EQ(a->Height(), 36);
  EXPECT_EQ(bar->Height(), 36);
  images.reset();  // the bar forgets the list and goes back to its button size
  EXPECT_EQ(bar->Images(), nullptr);
  EXPECT_EQ(a->Width(), 23);
  EXPECT_EQ(bar->Height(), 22);
}

TEST_F(ToolBarButtons, CaptionsGoUnderTheImageOrRightOfItInListMode) {
  auto images = SolidImages(16, 16, {kRed});
  bar->SetAutoSize(true);  // the capture holds the whole button
  bar->SetImages(images.get());
  bar->SetShowCaptions(true);
  TToolButton* button = Add("WWW", tbsButton, 0);
  const TColor text = ColorToRGB(clBtnText);
  // Text pixels in the columns right of the image (X range) within rows [TOP, BOTTOM).
  auto textPixels = [&](int left, int right, int top, int bottom) {
    auto c = Capture();
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += c->Pixel(button->Left() + x, button->Top() + y) == text;
    return n;
  };
  const int w = button->Width(), h = button->Height();
  EXPECT_GT(textPixels(0, w, 16 + 4, h), 0);
  EXPECT_EQ(textPixels(0, w, 0, 16 + 3), 0);
  bar->SetList(true);
  EXPECT_EQ(button->Height(), 22);
  {
    auto c = Capture();  // the image 5 pixels from the left, 3 from the top
    EXPECT_EQ(c->Pixel(button->Left() + 5, button->Top() + 3), kRed);
    EXPECT_EQ(c->Pixel(button->Left() + 20, button->Top() + 18), kRed);
    EXPECT_NE(c->Pixel(button->Left() + 4, button->Top() + 10), kRed);
    EXPECT_NE(c->Pixel(button->Left() + 21, button->Top() + 10), kRed);
  }
  EXPECT_GT(textPixels(16 + 7, button->Width(), 0, 22), 0);
  EXPECT_EQ(textPixels(0, 16 + 7, 0, 22), 0);
}

// ---- background and indent ----
TEST_F(ToolBarButtons, ATransparentBarLeavesTheBackgroundToItsCustomDraw) {
  form->SetColor(clBlue);
  bar->SetColor(clRed);
  Add("1");
  bar->SetOnCustomDraw([&](TObject*, const RECT& r, bool&) {
    bar->Canvas().Brush().SetColor(clLime);
    bar->Canvas().FillRect(RECT{r.left + 100, r.top, r.left + 120, r.bottom});
  });
  auto opaque = Capture();
  EXPECT_EQ(opaque->Pixel(110, 10), ColorToRGB(clLime));
  EXPECT_EQ(opaque->Pixel(200, 10), ColorToRGB(clRed));
  EXPECT_EQ(opaque->Pixel(11, 11), ColorToRGB(clRed));  // a flat button in its normal state
  bar->SetTransparent(true);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(bar->Handle(), &update, FALSE)) << "the setter repaints";
  auto transparent = Capture();
  EXPECT_EQ(transparent->Pixel(110, 10), ColorToRGB(clLime));
  EXPECT_EQ(transparent->Pixel(200, 10), ColorToRGB(clBlue));  // the parent shows through
  EXPECT_EQ(transparent->Pixel(11, 11), ColorToRGB(clBlue));
  bar->SetTransparent(false);
  EXPECT_EQ(Capture()->Pixel(200, 10), ColorToRGB(clRed));
}

TEST_F(ToolBarButtons, IndentMovesTheFirstButtonOfEveryRow) {
  struct Case {
    int indent;
    int barWidth;
    std::vector<POINT> expected;
  } cases[] = {
      {0, 100, {{0, 0}, {23, 0}, {46, 0}, {69, 0}, {0, 22}}},
      {10, 100, {{10, 0}, {33, 0}, {56, 0}, {10, 22}, {33, 22}}},
      {10, 200, {{10, 0}, {33, 0}, {56, 0}, {79, 0}, {102, 0}}},
  };
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < 5; ++i) buttons.push_back(Add("B" + std::to_string(i)));
  bar->SetAutoSize(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.indent);
    bar->SetIndent(c.indent);
    bar->SetWidth(c.barWidth);
    for (size_t i = 0; i < buttons.size(); ++i) {
      EXPECT_EQ(buttons[i]->Left(), c.expected[i].x) << i;
      EXPECT_EQ(buttons[i]->Top(), c.expected[i].y) << i;
    }
  }
}

// ---- check buttons ----
TEST_F(ToolBarButtons, AClickTogglesACheckButtonBeforeItsOnClick) {
  TToolButton* check = Add("C", tbsCheck);
  TToolButton* plain = Add("P");
  std::vector<bool> seen;
  check->SetOnClick([&](TObject*) { seen.push_back(check->Down()); });
  ClickAt(check);
  EXPECT_TRUE(check->Down());
  EXPECT_NE(bar->ButtonState(check) & cdsChecked, 0u);
  ClickAt(check);
  EXPECT_FALSE(check->Down());
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  ClickAt(plain);
  EXPECT_FALSE(plain->Down());  // a plain button does not stick
}

TEST_F(ToolBarButtons, GroupedCheckButtonsFormARadioGroupBoundedByTheirNeighbours) {
  TToolButton* before = Add("X", tbsCheck);  // not grouped: not in the group
  TToolButton* a = Add("A", tbsCheck);
  TToolButton* b = Add("B", tbsCheck);
  TToolButton* c = Add("C", tbsCheck);
  Add("", tbsSeparator);
  TToolButton* other = Add("D", tbsCheck);  // grouped, but past the separator
  for (TToolButton* t : {a, b, c, other}) t->SetGrouped(true);
  before->SetDown(true);
  other->SetDown(true);
  int clicks = 0;
  b->SetOnClick([&](TObject*) { ++clicks; });

  ClickAt(a);
  EXPECT_TRUE(a->Down());
  ClickAt(b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  ClickAt(b);  // the down one stays down
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(clicks, 2);  // but it was clicked
  EXPECT_TRUE(before->Down());
  EXPECT_TRUE(other->Down());

  b->SetAllowAllUp(true);
  ClickAt(b);
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_FALSE(c->Down());

  // Setting Down puts the others up, from code too.
  a->SetDown(true);
  c->SetDown(true);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(c->Down());
  EXPECT_TRUE(before->Down());
  EXPECT_TRUE(other->Down());
  // A plain button with Grouped is no member.
  b->SetStyle(tbsButton);
  b->SetDown(true);
  EXPECT_TRUE(c->Down());
}

// ---- drop-down buttons ----
class ToolBarDropDown : public ToolBarButtons {
protected:
  void SetUp() override {
    ToolBarButtons::SetUp();
    menu = new TPopupMenu(form.form);
    for (const char* caption : {"&First", "&Second"}) {
      auto* item = new TMenuItem(form.form);
      item->SetCaption(caption);
      menu->Items()->Add(item);
    }
    Add("A");
    drop = Add("D", tbsDropDown);
    drop->SetDropdownMenu(menu);
    drop->SetOnClick([this](TObject*) { ++mainClicks; });
  }
  TPopupMenu* menu = nullptr;
  TToolButton* drop = nullptr;
  int mainClicks = 0;
};

TEST_F(ToolBarDropDown, TheArrowPartOpensTheMenuAtTheBottomLeftAndTheChoiceRunsAfterTheLoop) {
  ASSERT_EQ(drop->Width(), 23 + TToolBar::kDropDownWidth);
  std::vector<TCustomDrawState> drawn;
  bar->SetOnCustomDrawButton([&](TObject*, TToolButton* b, TCustomDrawState s, bool&) {
    if (b == drop) drawn.push_back(s);
  });
  RECT shown{};
  TCustomDrawState stateWhileOpen = 0;
  TColor mainCorner = clNone, arrowCorner = clNone;
  bool choiceAfterLoop = false;
  int chosen = 0;
  menu->Items()->Items(1)->SetOnClick([&](TObject*) {
    ++chosen;
    choiceAfterLoop = MenuWindowsShown() == 0 && bar->DroppedButton() == nullptr &&
                      (bar->ButtonState(drop) & cdsSelected) == 0;
  });
  TMenuScript script({
      [&] { return MenuWindowsShown() > 0; },
      [&] {
        GetWindowRect(FindWindowA("#32768", nullptr), &shown);
        stateWhileOpen = bar->ButtonState(drop);
        auto c = Capture();  // the arrow part pushed in, the main part raised (hot)
        mainCorner = c->Pixel(drop->Left(), drop->Top());
        arrowCorner = c->Pixel(drop->Left() + drop->Width() - TToolBar::kDropDownWidth, drop->Top());
        EXPECT_EQ(bar->DroppedButton(), drop);
        EXPECT_FALSE(bar->InMenuMode());
        uitest::MouseButton(MOUSEEVENTF_LEFTUP);
        return true;
      },
      [&] {
        uitest::PressKey(VK_DOWN);
        uitest::PressKey(VK_DOWN);
        uitest::PressKey(VK_RETURN);
        return true;
      },
  });
  uitest::MovePointerTo(ScreenPoint(drop, drop->Width() - 5, 10));
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return script.Over() && chosen == 1; }, 10000));
  EXPECT_TRUE(script.Done());
  const POINT corner = bar->ClientToScreen({drop->Left(), drop->Top() + drop->Height()});
  EXPECT_EQ(shown.left, corner.x);
  EXPECT_EQ(shown.top, corner.y);
  EXPECT_NE(stateWhileOpen & cdsSelected, 0u);
  EXPECT_EQ(mainCorner, ColorToRGB(clBtnHighlight));
  EXPECT_EQ(arrowCorner, ColorToRGB(clBtnShadow));
  EXPECT_TRUE(std::find_if(drawn.begin(), drawn.end(), [](TCustomDrawState s) { return s & cdsSelected; }) !=
              drawn.end())
      << "the selected look was painted while the menu was open";
  EXPECT_TRUE(choiceAfterLoop);
  EXPECT_EQ(menu->PopupComponent(), drop);
  uitest::Pump();
  EXPECT_EQ(mainClicks, 0) << "the press was the menu's";
  EXPECT_EQ(bar->ButtonState(drop) & cdsSelected, 0u);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ToolBarDropDown, APressOnTheOpenButtonClosesTheMenuWithoutChoosing) {
  int chosen = 0;
  for (int i = 0; i < 2; ++i) menu->Items()->Items(i)->SetOnClick([&](TObject*) { ++chosen; });
  int opened = 0;
  menu->SetOnPopup([&](TObject*) { ++opened; });
  TMenuScript script({
      [&] { return MenuWindowsShown() > 0; },
      [&] {
        uitest::MouseButton(MOUSEEVENTF_LEFTUP);
        return true;
      },
      [&] {
        uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
        return true;
      },
  });
  uitest::MovePointerTo(ScreenPoint(drop, drop->Width() - 5, 10));
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return script.Over() && MenuWindowsShown() == 0; }, 10000));
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  uitest::PumpUntil([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; });
  uitest::Pump();
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(opened, 1) << "the closing press does not open it again";
  EXPECT_EQ(chosen, 0);
  EXPECT_EQ(mainClicks, 0);
  EXPECT_EQ(MenuWindowsShown(), 0);
  EXPECT_EQ(bar->DroppedButton(), nullptr);
}

TEST_F(ToolBarDropDown, TheChosenItemMayFreeTheBar) {
  menu->Items()->Items(0)->SetOnClick([&](TObject*) {
    delete bar;
    bar = nullptr;
  });
  TMenuScript script({
      [&] { return MenuWindowsShown() > 0; },
      [&] {
        uitest::MouseButton(MOUSEEVENTF_LEFTUP);
        uitest::PressKey(VK_DOWN);
        uitest::PressKey(VK_RETURN);
        return true;
      },
  });
  uitest::MovePointerTo(ScreenPoint(drop, drop->Width() - 5, 10));
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return script.Over() && !bar; }, 10000));
  EXPECT_TRUE(script.Done());
  uitest::Pump();
  EXPECT_EQ(MenuWindowsShown(), 0);
  // Another bar can open its menu afterwards: nothing of the freed one is left in use.
  bar = new TToolBar(form.form);
  bar->SetParent(form.form);
  drop = Add("D", tbsDropDown);
  drop->SetDropdownMenu(menu);
  int opened = 0;
  menu->SetOnPopup([&](TObject*) { ++opened; });
  TMenuScript again({[&] { return MenuWindowsShown() > 0; },
                     [&] {
                       EndMenu();
                       return true;
                     }});
  uitest::MovePointerTo(ScreenPoint(drop, drop->Width() - 5, 10));
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return again.Over() && MenuWindowsShown() == 0; }, 10000));
  EXPECT_TRUE(again.Done());
  EXPECT_EQ(opened, 1);
}

// Hot-switching belongs to menu mode: crossing a menu button of the same bar leaves the drop-down
// menu open.
TEST_F(ToolBarDropDown, ThePointerCrossingAMenuButtonLeavesTheMenuOpen) {
  auto* mainMenu = new TMainMenu(form.form);
  auto* file = new TMenuItem(form.form);
  file->SetCaption("&File");
  mainMenu->Items()->Add(file);
  auto* open = new TMenuItem(form.form);
  open->SetCaption("&Open");
  file->Add(open);
  TToolButton* menuButton = Add("");
  menuButton->SetMenuItem(file);
  bool stillOpen = false;
  TMenuScript script({
      [&] { return MenuWindowsShown() > 0; },
      [&] {
        uitest::MouseButton(MOUSEEVENTF_LEFTUP);
        uitest::MovePointerTo(ScreenPoint(menuButton, 8, 8));
        return true;
      },
      [ticks = 0]() mutable { return ++ticks > 5; },  // the loop has had the move
      [&] {
        stillOpen = MenuWindowsShown() == 1 && bar->DroppedButton() == drop;
        return true;
      },
  });
  uitest::MovePointerTo(ScreenPoint(drop, drop->Width() - 5, 10));
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return script.Over() && MenuWindowsShown() == 0; }, 10000));
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(stillOpen);
  EXPECT_FALSE(bar->InMenuMode());
}

TEST_F(ToolBarDropDown, TheMainPartClicksAndSoDoesTheArrowOfAButtonWithoutMenu) {
  int opened = 0;
  menu->SetOnPopup([&](TObject*) { ++opened; });
  std::vector<TCustomDrawState> pressed;
  uitest::MovePointerTo(ScreenPoint(drop, 6, 10));
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return drop->Pressed(); }));
  EXPECT_NE(bar->ButtonState(drop) & cdsSelected, 0u);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return mainClicks == 1; }));
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(MenuWindowsShown(), 0);

  drop->SetDropdownMenu(nullptr);
  ClickAt(drop, drop->Width() - 5, 10);
  EXPECT_EQ(mainClicks, 2);
  EXPECT_EQ(opened, 0);
  EXPECT_FALSE(bar->IsArrowPart(drop, drop->Width() - TToolBar::kDropDownWidth - 1));
  EXPECT_TRUE(bar->IsArrowPart(drop, drop->Width() - TToolBar::kDropDownWidth));
}

TEST_F(ToolBarDropDown, TheMenuIsGoneWithTheButtonsMenu) {
  delete menu;  // the button's reference clears itself
  EXPECT_EQ(drop->DropdownMenu(), nullptr);
  ClickAt(drop, drop->Width() - 5, 10);
  EXPECT_EQ(mainClicks, 1);
}

// ---- separators ----
TEST_F(ToolBarButtons, SeparatorsAndDividersAreNeverHotPressedOrClicked) {
  TToolButton* before = Add("A");
  TToolButton* separator = Add("", tbsSeparator);
  TToolButton* divider = Add("", tbsDivider);
  Add("B");
  int clicks = 0;
  for (TToolButton* spacer : {separator, divider}) {
    SCOPED_TRACE(spacer == separator ? "separator" : "divider");
    EXPECT_EQ(spacer->Width(), TToolBar::kSeparatorWidth);
    spacer->SetOnClick([&](TObject*) { ++clicks; });
    uitest::MovePointerTo(ScreenPoint(spacer, 4, 10));
    ASSERT_TRUE(uitest::PumpUntil([&] { return spacer->MouseInControl(); }));
    EXPECT_EQ(bar->ButtonState(spacer), 0u);
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
    uitest::PumpUntil([&] { return GetCapture() != nullptr; }, 500);
    uitest::Pump();
    EXPECT_FALSE(spacer->Pressed());
    EXPECT_EQ(bar->ButtonState(spacer), 0u);
    uitest::MouseButton(MOUSEEVENTF_LEFTUP);
    uitest::PumpUntil([] { return GetCapture() == nullptr; });
    uitest::Pump();
    spacer->Click();
  }
  EXPECT_EQ(clicks, 0);
  ASSERT_TRUE(PointerMakesHot(before));  // the buttons beside them still work
}

TEST(ToolBarButtonsHandles, CountsReturnToBaselineAfterPaintingImagesAndStates) {
  if (!HandleCountsEnabled()) GTEST_SKIP() << "handle counts are kept in Debug builds";
  const int kinds = static_cast<int>(THandleKind::Count);
  std::vector<int> before;
  for (int k = 0; k < kinds; ++k) before.push_back(LiveHandleCount(static_cast<THandleKind>(k)));
  {
    uitest::TShownForm form;
    auto images = SolidImages(16, 16, {kRed, kGreen});
    auto* bar = new TToolBar(form.form);
    bar->SetParent(form.form);
    bar->SetImages(images.get());
    bar->SetHotImages(images.get());
    bar->SetShowCaptions(true);
    for (int i = 0; i < 4; ++i) {
      auto* button = new TToolButton(form.form);
      button->SetCaption("B" + std::to_string(i));
      button->SetImageIndex(i % 3);
      button->SetStyle(i == 1 ? tbsDropDown : i == 2 ? tbsCheck : tbsButton);
      button->SetParent(bar);
    }
    bar->Buttons(3)->SetEnabled(false);
    for (int round = 0; round < 20; ++round) {
      bar->SetList(round % 2 == 0);
      bar->Buttons(2)->SetDown(round % 3 == 0);
      bar->Repaint();
      uitest::TCapture c(bar->Width(), bar->Height());
      SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(c.DC()), PRF_CLIENT);
    }
    bar->SetImages(nullptr);
    bar->SetHotImages(nullptr);
  }
  uitest::Pump();
  for (int k = 0; k < kinds; ++k) EXPECT_EQ(LiveHandleCount(static_cast<THandleKind>(k)), before[static_cast<size_t>(k)]) << k;
}

// ---- stored descriptions and a picture for the reviewer ----
TEST(ToolBarButtonsStored, ReadsImagesListTransparentIndentAndDropDownMenus) {
  RegisterFrameworkClasses();
  TForm form(nullptr);
  ReadComponentText(R"(object Form1: TForm
  object ImageList1: TImageList
    Height = 24
    Width = 20
  end
  object PopupMenu1: TPopupMenu
  end
  object ToolBar1: TToolBar
    Images = ImageList1
    HotImages = ImageList1
    Indent = 6
    List = True
    Transparent = True
    object ToolButton1: TToolButton
      Style = tbsDropDown
      DropdownMenu = PopupMenu1
      AllowAllUp = True
    end
  end
end
)",
                    form);
  auto* bar = dynamic_cast<TToolBar*>(form.FindComponent("ToolBar1"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Images(), form.FindComponent("ImageList1"));
  EXPECT_EQ(bar->HotImages(), form.FindComponent("ImageList1"));
  EXPECT_EQ(bar->Indent(), 6);
  EXPECT_TRUE(bar->List());
  EXPECT_TRUE(bar->Transparent());
  ASSERT_EQ(bar->ButtonCount(), 1);
  TToolButton* button = bar->Buttons(0);
  EXPECT_EQ(button->DropdownMenu(), form.FindComponent("PopupMenu1"));
  EXPECT_TRUE(button->AllowAllUp());
  EXPECT_EQ(button->Left(), 6 + 0);  // the top edge only: the indent from the left
  EXPECT_EQ(button->Width(), 20 + 7 + TToolBar::kDropDownWidth);
  EXPECT_EQ(button->Height(), 30);

  TToolBar fresh(nullptr);
  EXPECT_EQ(fresh.Images(), nullptr);
  EXPECT_EQ(fresh.HotImages(), nullptr);
  EXPECT_EQ(fresh.Indent(), 0);
  EXPECT_FALSE(fresh.List());
  EXPECT_FALSE(fresh.Transparent());
}

TEST_F(ToolBarButtons, Screenshots) {
  const std::string dir = EnvOr("VANTOR_SHOT_DIR", "");
  if (dir.empty()) GTEST_SKIP() << "VANTOR_SHOT_DIR not set";
  auto images = SolidImages(16, 16, {kRed, kGreen, kBlue, kYellow});
  auto hot = SolidImages(16, 16, {0x4040FF, 0x40FF40});
  bar->SetImages(images.get());
  bar->SetHotImages(hot.get());
  bar->SetShowCaptions(true);
  bar->SetEdgeBorders({ebTop, ebBottom});
  bar->SetAutoSize(true);
  bar->SetIndent(4);
  Add("New", tbsButton, 0);
  TToolButton* open = Add("Open", tbsDropDown, 1);
  auto* recent = new TPopupMenu(form.form);
  for (const char* caption : {"&Recent one", "Recent &two"}) {
    auto* item = new TMenuItem(form.form);
    item->SetCaption(caption);
    recent->Items()->Add(item);
  }
  open->SetDropdownMenu(recent);
  Add("", tbsDivider);
  TToolButton* bold = Add("Bold", tbsCheck, 2);
  bold->SetDown(true);
  TToolButton* off = Add("Off", tbsButton, 3);
  off->SetEnabled(false);
  Add("Gone", tbsButton, 9);
  auto shoot = [&](const std::string& name) {
    TBitmap shot(bar->Width(), bar->Height());
    SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.Canvas().Handle()), PRF_CLIENT);
    TFileStream file(dir + PathSeparator() + name + ".bmp", fmCreate);
    shot.SaveToStream(file);
  };
  ASSERT_TRUE(PointerMakesHot(bar->Buttons(0)));
  shoot("toolbar-images-hot-new");
  TMenuScript script({[&] { return MenuWindowsShown() > 0; },
                      [&] {
                        shoot("toolbar-images-dropped-open");
                        EndMenu();
                        return true;
                      }});
  uitest::MovePointerTo(ScreenPoint(open, open->Width() - 5, 10));
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return script.Over() && MenuWindowsShown() == 0; }, 10000));
  EXPECT_TRUE(script.Done());
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  uitest::Pump();
  ASSERT_TRUE(PointerMakesHot(open, 6, 6));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return open->Pressed(); }));
  shoot("toolbar-images-pressed-open");
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  uitest::PumpUntil([] { return GetCapture() == nullptr; });
  bar->SetList(true);
  ASSERT_TRUE(PointerMakesHot(open));
  shoot("toolbar-list-hot-open");
}

}  // namespace
