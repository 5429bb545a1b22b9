// The main window as its stored description makes it: every component with its class, parent,
// bounds and the values its layout gives it, read back through the published properties; then
// its look read back from the window itself: the red border, the teal panel, the button face
// drawn over the panel with the panel in its corners, lighting up under the pointer, and the
// teal link that turns to the active-caption colour under the pointer; and the right-click menu.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "framework/core/TypInfo.h"
#include "skin/KYRThemes.h"
#include "tests/app/AppTestHelpers.h"
#include "tests/app/DescriptionTable.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"
#include "tests/skin/controls/KYRButtonTestSupport.h"

namespace {

using apptest::TBounds;
using apptest::TValues;

class MainWindow : public apptest::TVantorTest {};

TEST_F(MainWindow, ComponentsAndTheirValuesAreThoseOfTheLayout) {
  // The skinned panel fills the client area, which takes in the caption rows the skin frees.
  const int panelHeight = 99 + GetSystemMetrics(SM_CYCAPTION) + 2;
  const std::vector<apptest::TComponentRow> rows = {
      {"Form1", "TForm1", "", {},
       {{"Left", "438"}, {"Top", "264"}, {"Caption", "Vantor"}, {"BorderStyle", "bsDialog"}, {"BorderIcons", "[]"},
        {"Color", "clBtnFace"}, {"Font.Name", "MS Sans Serif"}, {"Font.Height", "-11"},
        {"Font.Color", "clWindowText"}, {"Constraints.MinHeight", "50"}, {"Scaled", "False"},
        {"DragMode", "dmAutomatic"}, {"OnCreate", "assigned"}}},
      {"kyrForm1", "TkyrForm", "Form1", TBounds{0, 0, 163, panelHeight},
       {{"Align", "alClient"}, {"UIStyle", "MacOS"}, {"UIStyleAutoUpdateSub", "False"}, {"TitleBarCustom", "False"},
        {"Caption", "Vantor"}, {"Color", "clTeal"}, {"BorderColor", "clRed"}, {"BorderWidth", "2"},
        {"RoundCorner", "2"}, {"RoundCornerBottom", "0"}, {"TitleBarDrawAppIcon", "True"}, {"Font.Name", "Tahoma"},
        {"Font.Height", "-11"}, {"Font.Style", "[fsBold]"}, {"Font.Color", "clBlack"},
        {"MenuBarColor", std::to_string(RGB(231, 231, 231))}, {"MenuBarHeight", "22"},
        {"PopupMenu", "kyrPopupMenu1"}}},
      {"kyrButton1", "TkyrButton", "kyrForm1", TBounds{32, 31, 89, 41},
       {{"Caption", "Convert"}, {"UIStyle", "BlueGlass"}, {"Transparent", "True"}, {"AutoSize", "False"},
        {"Font.Name", "Arial"}, {"Font.Height", "-16"}, {"Font.Style", "[fsBold]"}, {"Font.Color", "clTeal"},
        {"Font.Charset", "ANSI_CHARSET"}, {"ParentFont", "False"}, {"ShowHint", "False"},
        {"ParentShowHint", "False"}, {"TabOrder", "1"}, {"ModalResult", "0"}, {"FocusedRectMargin", "2"},
        {"Layout", "blGlyphBottom"}, {"Spacing", "4"}, {"MouseContinuouslyDownInterval", "100"},
        {"OnClick", "assigned"}}},
      {"kyrURLLabel1", "TkyrURLLabel", "kyrForm1", TBounds{0, 80, 193, 13},
       {{"Caption", "More Free multimedia softwares..."}, {"URL", "http://www.corvane.example/"},
        {"FontLinkColor", "clTeal"}, {"FontHoverColor", "clActiveCaption"}, {"Cursor", "crHandPoint"},
        {"AutoSize", "False"}, {"Transparent", "True"}, {"Color", "clBtnFace"}, {"Font.Name", "MS Sans Serif"},
        {"Font.Height", "-11"}, {"Font.Style", "[fsUnderline]"}, {"Font.Color", "clTeal"},
        {"ParentFont", "False"}}},
      {"OD1", "TOpenDialog", "", {},
       {{"Filter", "Flash(*.exe)|*.exe|Flash(*.swf)|*.swf"}, {"FilterIndex", "1"},
        {"Title", "Select exe or swf to convert each other"}, {"DefaultExt", ""}}},
      {"SD1", "TSaveDialog", "", {}, {{"Title", "Convert to ....."}, {"Filter", ""}, {"DefaultExt", ""}}},
      {"kyrPopupMenu1", "TkyrPopupMenu", "", {},
       {{"UIStyle", "MacOS"}, {"MenuItemHeight", "20"}, {"SeparatorHeight", "12"},
        {"BarWidth", "26"}, {"BarColor", "clBlack"}, {"Color", "clBlack"}, {"SeparatorColor", "clBlack"},
        {"FontColor", "clBlack"}, {"BorderColor", "clBlack"}, {"SelectedBorderColor", std::to_string(RGB(57, 115, 196))},
        {"SelectedColor", std::to_string(RGB(57, 115, 196))}, {"SelectedFontColor", "clWhite"}, {"FlatMenu", "False"},
        {"FontName", "MS Sans Serif"}, {"FontSize", "8"}, {"FontCharset", "DEFAULT_CHARSET"},
        {"UseSystemFont", "True"}}},
      {"About1", "TMenuItem", "kyrPopupMenu1", {}, {{"Caption", "About"}, {"OnClick", "assigned"}}},
  };
  apptest::ExpectComponents(*Form1, rows);

  apptest::ExpectTitleBar(*Form1->kyrForm1, apptest::MainTitleBarButtons(), apptest::MainTitleBarSections());
}

// ---- the look, read back from the window as it is on the screen ----

// The whole window FORM as it shows now, with its pixels at screen positions.
class TWindowShot {
public:
  explicit TWindowShot(TCustomForm& form) : bounds_(WindowBounds(form)), capture_(Width(), Height()) {
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    TWindowDC dc(form.Handle(), true);
    BitBlt(capture_.DC(), 0, 0, Width(), Height(), dc.Get(), 0, 0, SRCCOPY);
  }
  int Width() const { return bounds_.right - bounds_.left; }
  int Height() const { return bounds_.bottom - bounds_.top; }
  // At X, Y of the window.
  TColor Window(int x, int y) const { return capture_.Pixel(x, y); }
  // At X, Y of CONTROL's client area.
  TColor At(const TControl& control, int x, int y) const {
    const POINT p = control.ClientToScreen({x, y});
    return capture_.Pixel(p.x - bounds_.left, p.y - bounds_.top);
  }
  // Pixels of AREA of CONTROL's client area for which WANTED (colour, x, y there) holds.
  int Count(const TControl& control, RECT area, const std::function<bool(TColor, int, int)>& wanted) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) n += wanted(At(control, x, y), x, y);
    return n;
  }

private:
  static RECT WindowBounds(TCustomForm& form) {
    RECT r{};
    GetWindowRect(form.Handle(), &r);
    return r;
  }
  RECT bounds_;
  uitest::TCapture capture_;
};

class MainWindowLook : public apptest::TVantorTest {
protected:
  void SetUp() override {
    TVantorTest::SetUp();
    SetForegroundWindow(Form1->Handle());
    uitest::MovePointerTo({0, 0});  // off the window: nothing lit
    Application->ProcessMessages();
    pattern.LoadFromResourceName(GetModuleHandleA(nullptr), "MACOS_FORM_BACKGROUND");
  }
  // Frame INDEX (1..3) of the button's BlueGlass face.
  static std::unique_ptr<TBitmap> Face(int index) {
    auto frame = std::make_unique<TBitmap>();
    GetBuiltinBitmap(BlueGlass, KYR_THEME_BUTTON_IMAGE, frame.get(), 3, index);
    return frame;
  }
  // The MacOS panel's tiled stripes at X, Y of CONTROL, a child of the panel.
  TColor Background(const TControl& control, int x, int y) const {
    return PixelOf(pattern, (control.Left() + x) % pattern.Width(), (control.Top() + y) % pattern.Height());
  }
  // What shows of the link: it is wider than the panel, which clips it.
  static RECT VisibleLink() {
    const TControl& link = *Form1->kyrURLLabel1;
    return {0, 0, Form1->kyrForm1->ClientWidth() - link.Left(), link.Height()};
  }
  // Pixels of the visible link in COLOR, and those neither in COLOR nor the panel's stripes.
  int LinkPixels(TColor color) const {
    return TWindowShot(*Form1).Count(*Form1->kyrURLLabel1, VisibleLink(), [&](TColor c, int, int) { return c == color; });
  }
  int LinkPixelsOtherThan(TColor color) const {
    const TControl& link = *Form1->kyrURLLabel1;
    return TWindowShot(*Form1).Count(link, VisibleLink(),
                                     [&](TColor c, int x, int y) { return c != color && c != Background(link, x, y); });
  }
  // A point in the top-left corner piece of the face, drawn at its own size, above the caption.
  static constexpr POINT kFacePoint{20, 6};
  TBitmap pattern;
};

TEST_F(MainWindowLook, AtRestTheBorderIsRedTheGapTealAndTheFaceShowsTheStripesInItsCorners) {
  const TWindowShot shot(*Form1);
  const TControl& panel = *Form1->kyrForm1;
  const TControl& button = *Form1->kyrButton1;
  const auto face = Face(1);
  const int w = shot.Width(), h = shot.Height(), midY = h / 2;
  const int right = button.Width() - 1, bottom = button.Height() - 1;
  struct TProbe {
    const char* what;
    TColor seen, expected;
  } probes[] = {
      {"left edge", shot.Window(0, midY), clRed},
      {"left edge, second pixel", shot.Window(1, midY), clRed},
      {"gap inside the left edge", shot.Window(2, midY), clTeal},
      {"right edge", shot.Window(w - 1, midY), clRed},
      {"right edge, second pixel", shot.Window(w - 2, midY), clRed},
      {"gap inside the right edge", shot.Window(w - 3, midY), clTeal},
      {"bottom edge", shot.Window(w / 2, h - 1), clRed},
      {"bottom-left corner, square", shot.Window(0, h - 1), clRed},
      {"panel, light stripe", shot.At(panel, 10, 40), Background(panel, 10, 40)},
      {"panel, dark stripe", shot.At(panel, 10, 41), Background(panel, 10, 41)},
      {"button's top-left corner", shot.At(button, 0, 0), Background(button, 0, 0)},
      {"button's bottom-right corner", shot.At(button, right, bottom), Background(button, right, bottom)},
      {"button face", shot.At(button, kFacePoint.x, kFacePoint.y), PixelOf(*face, kFacePoint.x, kFacePoint.y)},
  };
  for (const TProbe& p : probes) EXPECT_EQ(p.seen, p.expected) << p.what;
  // The probes can tell the stripes apart, and the face from them.
  EXPECT_NE(Background(panel, 10, 40), Background(panel, 10, 41));
  EXPECT_NE(PixelOf(*face, kFacePoint.x, kFacePoint.y), Background(button, kFacePoint.x, kFacePoint.y));
  // The link: teal caption and underline over the stripes, nothing else.
  EXPECT_GT(LinkPixels(clTeal), 40);
  EXPECT_EQ(LinkPixelsOtherThan(clTeal), 0);
}

TEST_F(MainWindowLook, UnderThePointerTheFaceLightsUpAndTheLinkTakesTheActiveCaptionColour) {
  TkyrButton& button = *Form1->kyrButton1;
  TkyrURLLabel& link = *Form1->kyrURLLabel1;
  const auto hover = static_cast<TColor>(ColorToRGB(clActiveCaption));
  ASSERT_NE(hover, static_cast<TColor>(clTeal));
  const TColor lit = PixelOf(*Face(2), kFacePoint.x, kFacePoint.y);
  ASSERT_NE(lit, PixelOf(*Face(1), kFacePoint.x, kFacePoint.y));

  ASSERT_TRUE(apptest::PointerInto(button, button.ClientToScreen({button.Width() / 2, button.Height() / 2})));
  EXPECT_EQ(TWindowShot(*Form1).At(button, kFacePoint.x, kFacePoint.y), lit);
  EXPECT_EQ(LinkPixels(hover), 0);

  ASSERT_TRUE(apptest::PointerInto(link, link.ClientToScreen({20, link.Height() / 2})));
  EXPECT_GT(LinkPixels(hover), 40);
  EXPECT_EQ(LinkPixelsOtherThan(hover), 0);

  uitest::MovePointerTo({0, 0});
  ASSERT_TRUE(kyrtest::PumpAppUntil([&] { return !link.MouseInControl(); }));
  EXPECT_EQ(LinkPixels(hover), 0);
  EXPECT_EQ(LinkPixelsOtherThan(clTeal), 0);
}

}  // namespace

// ---- the right-click menu, opened as a person opens it ----

namespace {

// What the open menu window showed when the timer found it: its menu, item texts and place.
struct TOpenMenu {
  HMENU menu = nullptr;
  std::vector<std::string> items;
  POINT topLeft{};
};
TOpenMenu gOpened;

std::string ItemText(HMENU menu, UINT position) {
  char text[64] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = text;
  info.cch = sizeof text;
  GetMenuItemInfoA(menu, position, TRUE, &info);
  return text;
}

// Runs inside the menu's own loop: reads the menu off its window, then closes it.
void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR, DWORD) {
  const HWND window = FindWindowA("#32768", nullptr);
  if (!window || !IsWindowVisible(window) || gOpened.menu) return;
  gOpened.menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(gOpened.menu); ++i) gOpened.items.push_back(ItemText(gOpened.menu, i));
  RECT bounds{};
  GetWindowRect(window, &bounds);
  gOpened.topLeft = {bounds.left, bounds.top};
  EndMenu();
}

}  // namespace

TEST_F(MainWindow, ARightClickOverThePanelTheButtonOrTheLinkOpensTheMenuWithAbout) {
  TkyrForm& panel = *Form1->kyrForm1;
  TControl& button = *Form1->kyrButton1;
  TControl& link = *Form1->kyrURLLabel1;
  struct TCase {
    const char* what;
    TControl& under;  // the control the pointer is over
    POINT at;         // in its client area
  } cases[] = {
      {"the panel, left of the button", panel, {button.Left() - 12, button.Top() + 10}},
      {"the button", button, {button.Width() / 2, button.Height() / 2}},
      {"the link", link, {20, link.Height() / 2}},
  };
  SetForegroundWindow(Form1->Handle());
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, ReadAndCloseMenu);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    gOpened = {};
    const POINT screen = c.under.ClientToScreen(c.at);
    ASSERT_TRUE(apptest::PointerInto(c.under, screen));
    uitest::MouseButton(MOUSEEVENTF_RIGHTDOWN);
    uitest::MouseButton(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(kyrtest::PumpAppUntil([] { return gOpened.menu != nullptr; })) << "no menu opened";
    EXPECT_EQ(gOpened.menu, Form1->kyrPopupMenu1->Handle());
    EXPECT_EQ(gOpened.items, std::vector<std::string>{"About"});
    EXPECT_EQ((std::vector<LONG>{gOpened.topLeft.x, gOpened.topLeft.y}), (std::vector<LONG>{screen.x, screen.y}))
        << "the menu opens at the pointer";
    EXPECT_FALSE(Form2->Visible()) << "closing the menu chose nothing";
  }
  KillTimer(nullptr, timer);
}

// The menu's items stay owner-drawn, by the skin, whatever a description or a program writes to
// its OwnerDraw: the system menu the right click opens is built so.
TEST_F(MainWindow, TheMenuIsOwnerDrawnWhateverIsWrittenToOwnerDraw) {
  TkyrPopupMenu& menu = *Form1->kyrPopupMenu1;
  for (const char* written : {"True", "False"}) {
    SCOPED_TRACE(written);
    SetEnumProp(menu, "OwnerDraw", written);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(menu.Handle(), 0, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    EXPECT_TRUE(Form1->About1->OnMeasureItem() && Form1->About1->OnDrawItem());
  }
}
