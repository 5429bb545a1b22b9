// The title bar in real windows: its layout (the worked MacOS example), pictures
// read back from its off-screen paint, hover and press with the real pointer, the events, drag,
// double clicks, the window menu's loop, and handle counts over many paints and restyles.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>

#include "framework/core/BmpCodec.h"
#include "skin/KYRMenu.h"
#include "skin/KYRPublic.h"
#include "skin/frame/KYRTitleBar.h"
#include "skin/res/KYRStrings.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRStandIns.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

// A shown form with a title bar, either straight on the form or inside a skinned frame (a
// frame panel covering the form, as TkyrForm does).
struct TBarOnForm {
  uitest::TShownForm shown;
  TkyrPanelStandIn* frame = nullptr;
  TkyrTitleBar* bar = nullptr;
  explicit TBarOnForm(bool inFrame, TkyrUIStyle style = MacOS, int width = 300) : shown(width, 200) {
    TWinControl* parent = shown.form;
    if (inFrame) {
      frame = new TkyrPanelStandIn(shown.form, style);
      frame->SetBevelOuter(bvNone);
      frame->SetAlign(alClient);
      frame->SetParent(shown.form);
      parent = frame;
    }
    bar = new TkyrTitleBar(parent);
    bar->SetParent(parent);
    bar->SetUIStyle(style);
    bar->SetCaption("Corvane Vantor");
    uitest::Pump();
  }
  TForm* form() const { return shown.form; }
  POINT Screen(POINT client) const { return bar->ClientToScreen(client); }
  POINT Centre(int button) const {
    for (const auto& place : bar->Layout().places)
      if (place.index == button) return {(place.rect.left + place.rect.right) / 2, (place.rect.top + place.rect.bottom) / 2};
    ADD_FAILURE() << "button " << button << " not shown";
    return {0, 0};
  }
  RECT Rect(int button) const {
    for (const auto& place : bar->Layout().places)
      if (place.index == button) return place.rect;
    return {};
  }
};

// The bar painted off the screen (WM_PRINTCLIENT), pointer wherever it is.
struct TBarImage {
  uitest::TCapture capture;
  int width;
  explicit TBarImage(TkyrTitleBar* bar) : capture(bar->Width(), bar->Height()), width(bar->Width()) {
    capture.Fill(0x123456);
    bar->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  }
  TColor At(int x, int y) const { return capture.Pixel(x, y); }
};

TColor PixelOf(TPicture* picture, int x, int y) { return picture->Bitmap().Canvas().Pixel(x, y); }

// A picture of one colour.
void Solid(TPicture& picture, TColor colour, int size = 12) {
  picture.Bitmap().SetSize(size, size);
  FillRectColor(picture.Bitmap().Canvas(), {0, 0, size, size}, colour);
}

// A custom button with red, green and blue state pictures.
TkyrTitleBarButton* AddColouredButton(TkyrTitleBar* bar, TkyrTitleBarBtnType type) {
  TkyrTitleBarButton* button = bar->Buttons()->Add();
  button->SetButtonType(type);
  TPicture picture;
  Solid(picture, clRed);
  button->SetPicNormal(picture);
  Solid(picture, clLime);
  button->SetPicMouseOn(picture);
  Solid(picture, clBlue);
  button->SetPicMouseDown(picture);
  button->SetTransparent(false);
  return button;
}

SIZE TextSizeIn(const TFont& font, const std::string& text) {
  TBitmap scratch(4, 4);
  scratch.Canvas().Font().Assign(font);
  return scratch.Canvas().TextExtent(text);
}
int TextHeightIn(const TFont& font, const std::string& text) { return TextSizeIn(font, text).cy; }

// Answers the side-border query on FORM with WIDTH while it lives.
class TSideBorder {
public:
  TSideBorder(TForm* form, int width)
      : hook_(form, [this, width](TMessage& m) {
          if (m.Msg == KYR_MSG_SIDE_BORDER_WIDTH)
            m.Result = width;
          else
            hook_.CallPrevious(m);
        }) {}

private:
  TWindowProcHook hook_;
};

}  // namespace

// ---- layout: the worked MacOS example and its edge cases ----
TEST(TitleBarLayout, WorkedMacOSExampleInsideASkinnedFrame) {
  struct Row {
    bool appIcon;
    int controlBoxDrawnX, controlBoxDrawnY, captionLeft;
  };
  const Row rows[] = {{false, 4, 0, 4 + 17 + 5}, {true, 7, 1, 25}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.appIcon);
    TBarOnForm on(true);
    TkyrTitleBar* bar = on.bar;
    bar->SetDrawAppIcon(row.appIcon);
    const int w = bar->Width();
    EXPECT_EQ(w, on.frame->ClientWidth());
    EXPECT_EQ(bar->Height(), 20);
    EXPECT_EQ(bar->ButtonTop(), 1);
    const TkyrTitleBarLayout layout = bar->Layout();
    ASSERT_EQ(layout.places.size(), 4u);  // close, maximise, minimise, control box
    const int expected[][3] = {{1, w - 20, 1}, {2, w - 38, 1}, {3, w - 56, 1}, {0, 4, 1}};
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(layout.places[i].index, expected[i][0]);
      EXPECT_EQ(layout.places[i].rect.left, expected[i][1]) << i;
      EXPECT_EQ(layout.places[i].rect.top, expected[i][2]) << i;
      EXPECT_EQ(layout.places[i].rect.right - layout.places[i].rect.left, 17);
    }
    EXPECT_EQ(layout.places[3].at.x, row.controlBoxDrawnX);
    EXPECT_EQ(layout.places[3].at.y, row.controlBoxDrawnY);
    EXPECT_EQ(layout.captionLeft, row.captionLeft);
    EXPECT_EQ(layout.captionRight, w - 56);

    uitest::MovePointerTo({0, 0});
    TBarImage image(bar);
    EXPECT_EQ(bar->LastCaption().at.x, row.captionLeft);
    EXPECT_EQ(bar->LastCaption().at.y, (17 - TextHeightIn(*bar->Font(), "Corvane Vantor")) / 2 + 1);
    // Section 0 starts 3 pixels up and left, in the frame; the close button's picture is opaque.
    EXPECT_EQ(image.At(0, 0), PixelOf(bar->Sections()->Items(0)->Picture(), 3, 3));
    EXPECT_EQ(image.At(w - 20 + 8, 1 + 8), PixelOf(bar->Buttons()->Items(1)->PicNormal(), 8, 8));
    EXPECT_EQ(image.At(w - 38 + 8, 1 + 8), PixelOf(bar->Buttons()->Items(2)->PicNormal(), 8, 8));
  }
}

TEST(TitleBarLayout, EdgeCases) {
  struct Row {
    const char* what;
    int side;  // the form's answer to the side-border query
    std::function<void(TkyrTitleBar*)> set;
    std::function<void(TkyrTitleBar*, const TkyrTitleBarLayout&)> check;
  };
  const Row rows[] = {
      {"no visible right-hand button", 0,
       [](TkyrTitleBar* b) { for (int i : {1, 2, 3}) b->Buttons()->Items(i)->SetVisible(false); },
       [](TkyrTitleBar* b, const TkyrTitleBarLayout& l) { EXPECT_EQ(l.captionRight, b->Width() - 2 + 0); }},
      {"... with a side border", 5,
       [](TkyrTitleBar* b) { for (int i : {1, 2, 3}) b->Buttons()->Items(i)->SetVisible(false); },
       [](TkyrTitleBar* b, const TkyrTitleBarLayout& l) { EXPECT_EQ(l.captionRight, b->Width() - 2 + 5); }},
      {"a button crossing the right edge is pulled back", 0, [](TkyrTitleBar* b) { b->SetRightBtnXOffset(10); },
       [](TkyrTitleBar* b, const TkyrTitleBarLayout& l) {
         EXPECT_EQ(l.places[0].rect.left, b->Width() - 17 - 1);
         EXPECT_EQ(l.places[1].rect.left, b->Width() - 36);
       }},
      {"button interval", 0, [](TkyrTitleBar* b) { b->SetButtonInterval(4); },
       [](TkyrTitleBar* b, const TkyrTitleBarLayout& l) { EXPECT_EQ(l.places[1].rect.left, b->Width() - 2 - 22 - 22); }},
      {"left offset below the side border, no control box", 5,
       [](TkyrTitleBar* b) { b->Buttons()->Items(0)->SetVisible(false); },
       [](TkyrTitleBar*, const TkyrTitleBarLayout& l) {
         EXPECT_EQ(l.controlBox, -1);
         EXPECT_EQ(l.captionLeft, 6);
       }},
      {"the icon's slot is 21 wide whatever the picture", 0,
       [](TkyrTitleBar* b) {
         b->SetDrawAppIcon(true);
         TPicture wide;
         wide.Bitmap().SetSize(40, 17);
         b->Buttons()->Items(0)->SetPicNormal(wide);
       },
       [](TkyrTitleBar*, const TkyrTitleBarLayout& l) { EXPECT_EQ(l.captionLeft, 4 + 21); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TBarOnForm on(true);
    TSideBorder side(on.form(), row.side);
    row.set(on.bar);
    row.check(on.bar, on.bar->Layout());
  }
}

// The frame continues the bar's pictures, not its buttons: a button (or the control box's
// picture, drawn a pixel higher) that would start above the bar starts at its top instead.
TEST(TitleBarLayout, NoButtonStartsAboveTheBar) {
  struct Row {
    TkyrUIStyle style;
    bool inFrame;
    int buttonTop, controlBoxY;
  };
  const Row rows[] = {{DeepBlue, true, 0, 0}, {Protein, true, 0, 0}, {MacOS, true, 1, 0},
                      {DeepBlue, false, 2, 1}, {WinXP, true, 2, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << int(row.style) << (row.inFrame ? " in a frame" : ""));
    TBarOnForm on(row.inFrame, row.style);
    EXPECT_EQ(on.bar->ButtonTop(), row.buttonTop);
    const TkyrTitleBarLayout layout = on.bar->Layout();
    EXPECT_EQ(layout.places.back().at.y, row.controlBoxY);
    uitest::MovePointerTo({0, 0});
    TBarImage image(on.bar);
    const RECT close = on.Rect(1);
    const int x = (close.left + close.right) / 2;
    EXPECT_EQ(image.At(x, row.buttonTop), PixelOf(on.bar->Buttons()->Items(1)->PicNormal(), x - close.left, 0));
  }
}

TEST(TitleBarLayout, OnAPlainFormTheBarIsTheWholePicture) {
  TBarOnForm on(false);
  EXPECT_FALSE(on.bar->IsInSkinnedFrame());
  EXPECT_EQ(on.bar->Height(), 23);
  EXPECT_EQ(on.bar->ButtonTop(), 4);
  uitest::MovePointerTo({0, 0});
  TBarImage image(on.bar);
  EXPECT_EQ(image.At(0, 0), PixelOf(on.bar->Sections()->Items(0)->Picture(), 0, 0));
  EXPECT_EQ(image.At(on.bar->Width() - 1, 22), PixelOf(on.bar->Sections()->Items(1)->Picture(), 47, 22));
}

// A picture shorter than the frame's 3 pixels gives height 0, not a negative one; a theme file
// without the integers leaves sizes at 0 and the form's minimum width alone.
TEST(TitleBarLayout, MissingThemeValuesNeverMakeNegativeSizes) {
  TempDir dir;
  TBmpImage left = MakeBmpImage(4, 2, 0xFF0000);
  WriteFileBytes(dir / "thin.thm", ThemeFileBytes().Image("TitleBarLeftImage", EncodeBmp(left, 24)).Build());
  TBarOnForm on(true);
  on.bar->SetUIStyle(FromThemeFile);  // DeepBlue until a theme is loaded: minimum width 130
  on.form()->Constraints()->SetMinWidth(125);
  auto* theme = new TkyrFileTheme(on.form());
  theme->SetThemeFile(dir / "thin.thm");
  on.bar->SetFileTheme(theme);
  EXPECT_EQ(on.bar->Height(), 0);
  EXPECT_EQ(on.bar->RoundCorner(), 0);
  EXPECT_EQ(on.bar->RoundCornerBottom(), 0);
  EXPECT_EQ(on.bar->ButtonImageHeight(), 0);
  EXPECT_EQ(on.form()->Constraints()->MinWidth(), 125);
  on.bar->SetUIStyle(BlueGlass);
  EXPECT_EQ(on.form()->Constraints()->MinWidth(), 270);
  EXPECT_EQ(on.bar->RoundCorner(), 11);
}

// ---- caption ----
TEST(TitleBarCaption, ShortenedOnWholeCharacters) {
  const auto tenPerByte = [](const std::string& s) { return 10 * static_cast<int>(s.size()); };
  const std::string kana = "ab\x82\xa0\x82\xa2" "cd";  // two double-byte characters (Shift-JIS) between
  struct Row {
    std::string caption;
    int room;
    UINT codePage;
    std::string shown;
  };
  const Row rows[] = {
      {"abc", 30, CP_ACP, "abc"},    {"abcdefg", 59, CP_ACP, "ab..."}, {"abcdefg", 60, CP_ACP, "abc..."},
      {"abcdefg", 20, CP_ACP, "..."}, {kana, 60, 932, "ab..."},         {kana, 70, 932, "ab\x82\xa0..."},
  };
  for (const Row& row : rows) EXPECT_EQ(ShortenCaption(row.caption, row.room, tenPerByte, row.codePage), row.shown) << row.room;
}

TEST(TitleBarCaption, ALongCaptionIsShortenedAndAnInactiveOneGreyed) {
  TBarOnForm on(true, MacOS, 160);
  on.bar->SetCaption("A caption far too long for so narrow a window");
  uitest::MovePointerTo({0, 0});
  TBarImage active(on.bar);
  const std::string shown = on.bar->LastCaption().text;
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.substr(shown.size() - 3), "...");
  const TkyrTitleBarLayout layout = on.bar->Layout();
  EXPECT_EQ(on.bar->LastCaption().at.x, layout.captionLeft);
  EXPECT_LE(TextSizeIn(*on.bar->Font(), shown).cx, layout.captionRight - layout.captionLeft);
  const RECT text{layout.captionLeft, 0, layout.captionRight, on.bar->Height()};
  const auto count = [&](const TBarImage& image, TColor colour) {
    int n = 0;
    for (int y = text.top; y < text.bottom; ++y)
      for (int x = text.left; x < text.right; ++x) n += image.At(x, y) == colour;
    return n;
  };
  const TColor grey = static_cast<TColor>(ColorToRGB(clInactiveCaption));
  EXPECT_GT(count(active, clBlack), 10);  // MacOS: black
  EXPECT_EQ(count(active, grey), 0);
  on.bar->SetFormActive(false);
  TBarImage inactive(on.bar);
  EXPECT_EQ(count(inactive, clBlack), 0);
  EXPECT_GT(count(inactive, grey), 10);
}

// ---- hover and press with the real pointer ----
TEST(TitleBarMouse, HoverChangesOnlyTheHoveredButtonAndRepaintsOnlyTheBar) {
  TBarOnForm on(true);
  TkyrTitleBar* bar = on.bar;
  uitest::MovePointerTo(on.Screen({120, 10}));  // on the caption
  uitest::Pump();
  TBarImage before(bar);
  uitest::TMessageLog barPaints(bar, {WM_PAINT});
  uitest::TMessageLog formPaints(on.form(), {WM_PAINT});
  uitest::TMessageLog framePaints(on.frame, {WM_PAINT});
  uitest::MovePointerTo(on.Screen(on.Centre(1)));
  ASSERT_TRUE(uitest::PumpUntil([&] { return !barPaints.messages.empty(); }));
  EXPECT_EQ(bar->HoverButton(), 1);
  uitest::Pump();
  EXPECT_EQ(formPaints.messages.size(), 0u);
  EXPECT_EQ(framePaints.messages.size(), 0u);

  TBarImage after(bar);
  const RECT close = on.Rect(1);
  int changed = 0;
  for (int y = 0; y < bar->Height(); ++y) {
    for (int x = 0; x < bar->Width(); ++x) {
      if (before.At(x, y) == after.At(x, y)) continue;
      ++changed;
      EXPECT_TRUE(x >= close.left && x < close.right && y >= close.top && y < close.bottom) << x << "," << y;
    }
  }
  EXPECT_GT(changed, 0);
  EXPECT_EQ(after.At(close.left + 8, close.top + 8), PixelOf(bar->Buttons()->Items(1)->PicMouseOn(), 8, 8));

  // Moving within the same button repaints nothing; leaving it repaints once more.
  const size_t paints = barPaints.messages.size();
  uitest::MovePointerTo(on.Screen({close.left + 3, close.top + 3}));
  uitest::PumpUntil([] { return false; }, 150);
  EXPECT_EQ(barPaints.messages.size(), paints);
  uitest::MovePointerTo(on.Screen({120, 10}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return barPaints.messages.size() > paints; }));
  EXPECT_EQ(bar->HoverButton(), -1);
}

TEST(TitleBarMouse, PressAndReleaseOverAndOffAButton) {
  struct Row {
    const char* what;
    int press, release;  // 4: the custom button, 5: the help button, -1: the caption
    int customClicks, helpClicks;
  };
  const Row rows[] = {
      {"custom: press and release on it", 4, 4, 1, 0},
      {"help: press and release on it", 5, 5, 0, 1},
      {"pressed on it, released off it", 4, -1, 0, 0},
      {"pressed on one, released on another", 4, 5, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TBarOnForm on(true);
    AddColouredButton(on.bar, kyrCustom);
    AddColouredButton(on.bar, kyrHelp);
    std::vector<int> custom, help;
    on.bar->SetOnCustomBtnsClick([&](TObject* sender, int index) {
      EXPECT_EQ(sender, on.bar);
      custom.push_back(index);
    });
    on.bar->SetOnHelpBtnClick([&](TObject*, int index) { help.push_back(index); });
    const auto at = [&](int button) { return on.Screen(button < 0 ? POINT{120, 10} : on.Centre(button)); };

    uitest::MovePointerTo(at(row.press));
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(uitest::PumpUntil([&] { return on.bar->Pressed(); }));
    const POINT pressed = on.Centre(row.press);
    EXPECT_EQ(TBarImage(on.bar).At(pressed.x, pressed.y), clBlue);  // the pressed picture
    uitest::MovePointerTo(at(row.release));
    uitest::Pump();
    if (row.release != row.press) {
      EXPECT_NE(TBarImage(on.bar).At(pressed.x, pressed.y), clBlue);
    }
    uitest::MouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(uitest::PumpUntil([&] { return !on.bar->Pressed(); }));
    uitest::Pump();
    EXPECT_EQ(custom.size(), static_cast<size_t>(row.customClicks));
    EXPECT_EQ(help.size(), static_cast<size_t>(row.helpClicks));
    for (int index : custom) EXPECT_EQ(index, 4);
    for (int index : help) EXPECT_EQ(index, 5);
  }
}

// The release is hit-tested where it happens, not by the picture of the last paint: here the
// pointer (and so every paint) stays over the button while the release comes from elsewhere.
TEST(TitleBarMouse, TheReleaseIsHitTestedWhereItHappens) {
  TBarOnForm on(true);
  AddColouredButton(on.bar, kyrCustom);
  int clicks = 0;
  on.bar->SetOnCustomBtnsClick([&](TObject*, int) { ++clicks; });
  const POINT button = on.Centre(4);
  uitest::MovePointerTo(on.Screen(button));
  uitest::Pump();
  const auto post = [&](UINT msg, POINT at) {
    PostMessageA(on.bar->Handle(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(at.x, at.y));
    uitest::Pump();
    on.bar->Repaint();
  };
  post(WM_LBUTTONDOWN, button);
  EXPECT_EQ(on.bar->HoverButton(), 4);
  post(WM_LBUTTONUP, {120, 10});
  EXPECT_EQ(on.bar->HoverButton(), 4);
  EXPECT_EQ(clicks, 0);
  post(WM_LBUTTONDOWN, button);
  post(WM_LBUTTONUP, button);
  EXPECT_EQ(clicks, 1);
}

TEST(TitleBarMouse, CloseButtonClosesTheForm) {
  TBarOnForm on(true);
  uitest::MovePointerTo(on.Screen(on.Centre(1)));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !on.form()->Visible(); }));
}

// Hover and press come from the mouse messages the bar receives, never from where the system's
// pointer is: the messages are sent with the pointer parked elsewhere, and the bar is painted
// before the queue (and the mouse-leave the system posts for a pointer outside) is pumped.
TEST(TitleBarMouse, HoverAndPressFollowTheMouseMessagesNotThePointer) {
  TBarOnForm on(true);
  AddColouredButton(on.bar, kyrCustom);
  AddColouredButton(on.bar, kyrHelp);
  int custom = 0, help = 0;
  on.bar->SetOnCustomBtnsClick([&](TObject*, int) { ++custom; });
  on.bar->SetOnHelpBtnClick([&](TObject*, int) { ++help; });
  RECT window{};
  GetWindowRect(on.form()->Handle(), &window);
  uitest::MovePointerTo({window.right + 40, window.bottom + 40});
  uitest::Pump();
  const POINT a = on.Centre(4), b = on.Centre(5);
  const HWND bar = on.bar->Handle();
  const auto send = [&](UINT msg, WPARAM keys, POINT at) { SendMessageA(bar, msg, keys, MAKELPARAM(at.x, at.y)); };

  send(WM_MOUSEMOVE, 0, a);
  EXPECT_EQ(TBarImage(on.bar).At(a.x, a.y), clLime);  // hovered
  EXPECT_EQ(on.bar->HoverButton(), 4);
  EXPECT_EQ(TBarImage(on.bar).At(b.x, b.y), clRed);
  on.bar->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(TBarImage(on.bar).At(a.x, a.y), clRed);  // left: nothing hovered
  EXPECT_EQ(on.bar->HoverButton(), -1);

  // Held down: the pressed picture shows on whichever button is under the pointer.
  send(WM_LBUTTONDOWN, MK_LBUTTON, a);
  EXPECT_EQ(TBarImage(on.bar).At(a.x, a.y), clBlue);
  send(WM_MOUSEMOVE, MK_LBUTTON, b);
  const TBarImage moved(on.bar);
  EXPECT_EQ(moved.At(b.x, b.y), clBlue);
  EXPECT_EQ(moved.At(a.x, a.y), clRed);
  send(WM_LBUTTONUP, 0, b);  // released on another button than it was pressed on: no click
  EXPECT_EQ(custom + help, 0);
  EXPECT_EQ(TBarImage(on.bar).At(b.x, b.y), clLime);
  send(WM_LBUTTONDOWN, MK_LBUTTON, b);
  send(WM_LBUTTONUP, 0, b);
  EXPECT_EQ(help, 1);
  EXPECT_EQ(custom, 0);
}

// ---- dragging ----
namespace {
struct TDragScript {
  int step = 0;
  POINT from{}, by{};
  bool done = false;
};
TDragScript gDrag;

// Inside the system's move loop: move the pointer by the delta, then release the button.
void CALLBACK DriveDrag(HWND, UINT, UINT_PTR timer, DWORD) {
  ++gDrag.step;
  if (gDrag.step == 2) uitest::MovePointerTo({gDrag.from.x + gDrag.by.x / 2, gDrag.from.y + gDrag.by.y / 2});
  if (gDrag.step == 3) uitest::MovePointerTo({gDrag.from.x + gDrag.by.x, gDrag.from.y + gDrag.by.y});
  if (gDrag.step == 5) uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  if (gDrag.step >= 7) {
    KillTimer(nullptr, timer);
    gDrag.done = true;
  }
}
}  // namespace

TEST(TitleBarMouse, DragMovesTheWindowByThePointersDelta) {
  struct Row {
    const char* what;
    bool onButton, maximised;
    bool moves;
  };
  const Row rows[] = {{"on the caption", false, false, true},
                      {"on a button", true, false, false},
                      {"of a maximised window", false, true, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TBarOnForm on(false);
    if (row.maximised) {
      on.form()->SetWindowState(wsMaximized);
      uitest::Pump();
    }
    RECT before{};
    GetWindowRect(on.form()->Handle(), &before);
    gDrag = {};
    gDrag.from = on.Screen(row.onButton ? on.Centre(3) : POINT{120, 10});
    gDrag.by = {30, 20};
    uitest::MovePointerTo(gDrag.from);
    uitest::Pump();
    SetTimer(nullptr, 0, 40, DriveDrag);
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(uitest::PumpUntil([] { return gDrag.done; }));
    uitest::Pump();
    RECT after{};
    GetWindowRect(on.form()->Handle(), &after);
    EXPECT_EQ(after.left - before.left, row.moves ? 30 : 0);
    EXPECT_EQ(after.top - before.top, row.moves ? 20 : 0);
    EXPECT_FALSE(on.bar->Pressed());
  }
}

// ---- double clicks ----
TEST(TitleBarMouse, DoubleClicksMaximiseRestoreAndClose) {
  const auto doubleClick = [](TkyrTitleBar* bar, POINT at) {
    PostMessageA(bar->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageA(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    uitest::Pump();
  };
  TBarOnForm on(false);
  HWND form = on.form()->Handle();
  uitest::TMessageLog moves(on.form(), {WM_NCLBUTTONDOWN});
  doubleClick(on.bar, {120, 10});
  EXPECT_TRUE(IsZoomed(form));
  doubleClick(on.bar, {120, 10});
  EXPECT_FALSE(IsZoomed(form));
  EXPECT_TRUE(moves.messages.empty());  // the press that ends a double click starts no move
  AddColouredButton(on.bar, kyrCustom);
  doubleClick(on.bar, on.Centre(4));  // on a button other than the control box: nothing more
  EXPECT_FALSE(IsZoomed(form));
  on.bar->Buttons()->Items(2)->SetVisible(false);
  doubleClick(on.bar, {120, 10});  // no visible maximise button: nothing
  EXPECT_FALSE(IsZoomed(form));
  EXPECT_TRUE(on.form()->Visible());
  int menus = 0;
  on.bar->SystemMenu()->SetOnPopup([&](TObject*) { ++menus; });
  doubleClick(on.bar, on.Centre(0));
  EXPECT_FALSE(on.form()->Visible());
  EXPECT_EQ(menus, 0);  // the release that ends the closing double click opens no window menu
}

// A real double click on the caption: its first press runs the system's move loop, which takes
// the first release; the second press arrives as the double click and maximises, then restores.
TEST(TitleBarMouse, ADoubleClickThroughTheRealMoveLoop) {
  TBarOnForm on(true);
  HWND form = on.form()->Handle();
  uitest::TMessageLog moves(on.form(), {WM_NCLBUTTONDOWN});
  const auto doubleClick = [&] {
    uitest::MovePointerTo(on.Screen({120, 10}));
    uitest::Pump();
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
    uitest::MouseButton(MOUSEEVENTF_LEFTUP);
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
    uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  };
  const RECT before = [&] {
    RECT r{};
    GetWindowRect(form, &r);
    return r;
  }();
  doubleClick();
  ASSERT_TRUE(uitest::PumpUntil([&] { return IsZoomed(form) != FALSE; }));
  EXPECT_EQ(moves.messages.size(), 1u);  // only the first press entered the move loop
  EXPECT_FALSE(on.bar->Pressed());
  doubleClick();  // maximised: no move loop, the double click restores
  ASSERT_TRUE(uitest::PumpUntil([&] { return IsZoomed(form) == FALSE; }));
  RECT after{};
  GetWindowRect(form, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
}

// ---- the window menu ----
namespace {
struct TMenuScript {
  int step = 0;
  HMENU menu = nullptr;
  std::vector<WORD> keys;
  UINT states[4]{};
  RECT window{};
};
TMenuScript gMenu;

void CALLBACK DriveMenu(HWND, UINT, UINT_PTR, DWORD) {
  ++gMenu.step;
  if (gMenu.step == 2) {
    for (UINT i = 0; i < 4; ++i) gMenu.states[i] = GetMenuState(gMenu.menu, i, MF_BYPOSITION);
    GetWindowRect(FindWindowA("#32768", nullptr), &gMenu.window);
    for (WORD key : gMenu.keys) uitest::PressKey(key);
  }
  if (gMenu.step >= 5) EndMenu();
}
}  // namespace

TEST(TitleBarWindowMenu, ItemsAndTheirActionsOnARealForm) {
  struct Row {
    const char* what;
    std::vector<int> hidden;  // buttons hidden before the menu opens
    std::vector<WORD> keys;
    bool enabled[3];  // minimise, maximise/restore, close
    std::function<bool(TForm*)> after;
  };
  const auto down = [](int n) { return std::vector<WORD>(static_cast<size_t>(n), VK_DOWN); };
  const auto choose = [&](int n) {
    std::vector<WORD> keys = down(n);
    keys.push_back(VK_RETURN);
    return keys;
  };
  const Row rows[] = {
      {"minimise", {}, choose(1), {true, true, true}, [](TForm* f) { return IsIconic(f->Handle()) != FALSE; }},
      {"maximise", {}, choose(2), {true, true, true}, [](TForm* f) { return IsZoomed(f->Handle()) != FALSE; }},
      {"close", {}, choose(3), {true, true, true}, [](TForm* f) { return !f->Visible(); }},
      {"items follow the visible buttons", {1, 2, 3}, {}, {false, false, false},
       [](TForm* f) { return f->Visible() && !IsIconic(f->Handle()) && !IsZoomed(f->Handle()); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TBarOnForm on(true);
    for (int i : row.hidden) on.bar->Buttons()->Items(i)->SetVisible(false);
    TkyrTitleBarPopupMenu* menu = on.bar->SystemMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->MinimizeItem()->Caption(), "Mi&nimize");
    EXPECT_EQ(menu->MaximizeItem()->Caption(), "Ma&ximize/Restore");
    EXPECT_TRUE(menu->Items()->Items(2)->IsLine());
    EXPECT_EQ(menu->CloseItem()->Caption(), "&Close");
    EXPECT_TRUE(menu->CloseItem()->OnDrawItem());  // skinned
    const POINT corner = on.Screen({0, on.bar->Height()});
    gMenu = {};
    gMenu.menu = menu->Handle();
    gMenu.keys = row.keys;
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, DriveMenu);
    // A press and release on the control box (no menu of its own) opens the window menu.
    uitest::MovePointerTo(on.Screen(on.Centre(0)));
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
    uitest::MouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(uitest::PumpUntil([] { return gMenu.step >= 5; }));
    KillTimer(nullptr, timer);
    uitest::Pump();
    for (int i = 0; i < 3; ++i) {
      const UINT state = gMenu.states[i == 2 ? 3 : i];
      EXPECT_EQ((state & MF_GRAYED) == 0, row.enabled[i]) << i;
    }
    EXPECT_EQ(gMenu.window.left, corner.x);
    EXPECT_EQ(gMenu.window.top, corner.y);
    EXPECT_TRUE(row.after(on.form()));
  }
}

TEST(TitleBarWindowMenu, TextsComeFromTheSkinsStringTable) {
  char text[64] = {};
  for (UINT id : {KYR_STR_MINIMIZE, KYR_STR_MAXIMIZE_RESTORE, KYR_STR_CLOSE})
    EXPECT_GT(LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text), 0) << id;
}

// ---- the parent form may not exist ----
TEST(TitleBarForm, WithoutAFormTheBarAnswersItselfAndLooksMaximise) {
  TkyrTitleBar bar(nullptr);
  EXPECT_EQ(bar.SideBorderWidth(), 0);
  EXPECT_NO_THROW(bar.Perform(WM_NCMOUSEMOVE, HTCAPTION, 0));
  EXPECT_NO_THROW(bar.Buttons()->Items(1)->ClickAction());
  bar.UpdateMaxButtons();
  TBitmap maximise;
  GetBuiltinBitmap(DeepBlue, KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &maximise, 18, 7);
  EXPECT_EQ(PixelOf(bar.Buttons()->Items(2)->PicNormal(), 9, 9), maximise.Canvas().Pixel(9, 9));

  TBarOnForm on(true);
  TWindowProcHook answer;
  answer.Install(on.form(), [&answer](TMessage& m) {
    if (m.Msg == WM_NCMOUSEMOVE)
      m.Result = 77;
    else
      answer.CallPrevious(m);
  });
  EXPECT_EQ(on.bar->Perform(WM_NCMOUSEMOVE, HTCAPTION, 0), 77);
}

// ---- style changes ----
TEST(TitleBarStyle, AStyleChangeRepaintsWithTheNewPicturesUnlessCustom) {
  TBarOnForm on(true);
  uitest::MovePointerTo({0, 0});
  on.bar->SetUIStyle(WinXP);
  EXPECT_EQ(on.bar->Font()->Color(), clWhite);
  EXPECT_EQ(on.bar->Height(), 29 - 3);
  TBarImage xp(on.bar);
  const RECT close = on.Rect(1);
  EXPECT_EQ(close.right - close.left, 21);
  EXPECT_EQ(xp.At(close.left + 10, close.top + 10), PixelOf(on.bar->Buttons()->Items(1)->PicNormal(), 10, 10));

  on.bar->SetCustom(true);
  TPicture mine;
  Solid(mine, clRed, 5);
  on.bar->Buttons()->Items(1)->SetPicNormal(mine);
  on.bar->Font()->SetColor(clYellow);
  on.bar->SetUIStyle(MacOS);
  EXPECT_EQ(on.bar->UIStyle(), MacOS);
  EXPECT_EQ(on.bar->Height(), 29 - 3);
  EXPECT_EQ(on.bar->Buttons()->Items(1)->PicNormal()->Width(), 5);
  EXPECT_EQ(on.bar->Font()->Color(), clYellow);
  EXPECT_EQ(on.bar->Sections()->Items(0)->Picture()->Height(), 29);
}

TEST(TitleBarStyle, FileThemeKeepsTheFontColourUntilAStyleIsSet) {
  TempDir dir;
  WriteFileBytes(dir / "colour.thm", ThemeFileBytes().Int("TitleBarFontColor", 0x00FF00).Build());
  TBarOnForm on(true, DeepBlue);
  auto* theme = new TkyrFileTheme(on.form());
  theme->SetThemeFile(dir / "colour.thm");
  on.bar->SetFileTheme(theme);
  EXPECT_EQ(on.bar->Font()->Color(), clWhite);
  on.bar->SetUIStyle(FromThemeFile);
  EXPECT_EQ(on.bar->Font()->Color(), 0x00FF00);
  on.bar->Font()->SetColor(clRed);
  on.bar->SetFileTheme(theme);
  EXPECT_EQ(on.bar->Font()->Color(), clRed);
  delete theme;
  EXPECT_EQ(on.bar->UIStyle(), DeepBlue);
  EXPECT_EQ(on.bar->Font()->Color(), clWhite);
}

// ---- handles ----
namespace {
// The application's icon while the object lives (test programs have none of their own).
struct TApplicationIcon {
  TApplicationIcon() { Application->Icon()->SetHandle(CopyIcon(LoadIcon(nullptr, IDI_APPLICATION))); }
  ~TApplicationIcon() { Application->Icon()->SetHandle(nullptr); }
};

int IconCount() { return LiveHandleCount(THandleKind::Icon); }
}  // namespace

// One 16 x 16 copy of the application's icon, made at the first paint that needs it, made again
// only when the application's icon changes, and freed with the bar.
TEST(TitleBarHandles, TheApplicationIconIsOneCachedCopy) {
  ASSERT_TRUE(HandleCountsEnabled());
  TApplicationIcon appIcon;
  const int before = IconCount();
  {
    TBarOnForm on(true);
    on.bar->Repaint();
    EXPECT_EQ(IconCount(), before);  // no icon drawn, none made
    on.bar->SetDrawAppIcon(true);
    on.bar->Repaint();
    EXPECT_EQ(IconCount(), before + 1);
    for (int i = 0; i < 50; ++i) on.bar->Repaint();
    EXPECT_EQ(IconCount(), before + 1);
    Application->Icon()->SetHandle(CopyIcon(LoadIcon(nullptr, IDI_WARNING)));
    on.bar->Repaint();
    EXPECT_EQ(IconCount(), before + 1);
  }
  EXPECT_EQ(IconCount(), before);
}

TEST(TitleBarHandles, ThousandHoverRepaintsAndHundredStyleSwitchesLeaveNothingBehind) {
  ASSERT_TRUE(HandleCountsEnabled());
  TApplicationIcon appIcon;
  TBarOnForm on(true);
  on.bar->SetDrawAppIcon(true);
  const POINT spots[] = {on.Screen(on.Centre(1)), on.Screen({120, 10}), on.Screen(on.Centre(0))};
  const auto repaint = [&](int i) {
    SetCursorPos(spots[i % 3].x, spots[i % 3].y);
    on.bar->Repaint();
  };
  const TkyrUIStyle styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};
  for (int i = 0; i < 6; ++i) {  // every picture's DC and the icon's copy exist from here on
    on.bar->SetUIStyle(styles[i % 5]);
    repaint(i);
  }
  on.bar->SetUIStyle(MacOS);
  for (int i = 0; i < 3; ++i) repaint(i);
  int counts[static_cast<int>(THandleKind::Count)];
  for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k) counts[k] = LiveHandleCount(static_cast<THandleKind>(k));

  for (int i = 0; i < 1000; ++i) repaint(i);
  for (int i = 0; i < 100; ++i) {
    on.bar->SetUIStyle(styles[i % 5]);
    repaint(i);
  }
  on.bar->SetUIStyle(MacOS);
  for (int i = 0; i < 3; ++i) repaint(i);
  for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k)
    EXPECT_EQ(LiveHandleCount(static_cast<THandleKind>(k)), counts[k]) << "kind " << k;
}
