// The main window as its stored description makes it: every component with its class, parent,
// bounds and the values its layout gives it, read back through the published properties; then
// its look read back from the window itself: the red border, the teal panel, the button face
// drawn over the panel with the panel in its corners, lighting up under the pointer, and the
// teal link that turns to the active-caption colour under the pointer.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Unit1.h"
#include "skin/KYRThemes.h"
#include "tests/app/AppTestHelpers.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"
#include "tests/skin/controls/KYRButtonTestSupport.h"

namespace {

// A published property as a stored description writes it: identifiers for enumerations,
// booleans and named integers and colours, sets in brackets, a component by its name, and
// "assigned" for an event with a handler. PATH may reach into sub-objects ("Font.Color").
std::string PropText(const TObject& object, std::string_view path) {
  const size_t dot = path.find('.');
  if (dot != std::string_view::npos)
    return PropText(*GetObjectProp(object, path.substr(0, dot)), path.substr(dot + 1));
  const TPropInfo& prop = RequirePropInfo(object, path);
  switch (prop.Kind) {
    case tkBoolean:
    case tkEnumeration: return GetEnumProp(object, path);
    case tkSet: return GetSetProp(object, path);
    case tkString: return GetStrProp(object, path);
    case tkComponent: {
      const auto* target = dynamic_cast<const TComponent*>(GetObjectProp(object, path));
      return target ? target->Name() : "nil";
    }
    case tkMethod: return prop.HasMethod(object) ? "assigned" : "nil";
    default: {
      const int64_t value = GetOrdProp(object, path);
      std::string ident;
      return IntegerToIdent(prop.TypeName, value, ident) ? ident : std::to_string(value);
    }
  }
}

// Whose child COMPONENT is: a control's parent, a menu item's menu; "" for neither.
std::string ParentName(const TComponent& component) {
  if (const auto* control = dynamic_cast<const TControl*>(&component))
    return control->Parent() ? control->Parent()->Name() : "";
  if (const auto* item = dynamic_cast<const TMenuItem*>(&component))
    return item->GetParentMenu() ? item->GetParentMenu()->Name() : "";
  return "";
}

using TValues = std::vector<std::pair<const char*, std::string>>;

void ExpectValues(const TObject& object, const TValues& values) {
  for (const auto& [property, expected] : values) EXPECT_EQ(PropText(object, property), expected) << property;
}

class MainWindow : public apptest::TVantorTest {};

TEST_F(MainWindow, ComponentsAndTheirValuesAreThoseOfTheLayout) {
  struct TBounds {
    int left, top, width, height;
  };
  struct TRow {
    const char* name;
    const char* className;
    const char* parent;
    std::optional<TBounds> bounds;  // controls only
    TValues values;
  };
  // The skinned panel fills the client area, which takes in the caption rows the skin frees.
  const int panelHeight = 99 + GetSystemMetrics(SM_CYCAPTION) + 2;
  const std::vector<TRow> rows = {
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
        {"PopupMenu", "kyrPopupMenu1"}, {"Version", "5.8"}}},
      {"kyrButton1", "TkyrButton", "kyrForm1", TBounds{32, 31, 89, 41},
       {{"Caption", "Convert"}, {"UIStyle", "BlueGlass"}, {"Transparent", "True"}, {"AutoSize", "False"},
        {"Font.Name", "Arial"}, {"Font.Height", "-16"}, {"Font.Style", "[fsBold]"}, {"Font.Color", "clTeal"},
        {"Font.Charset", "ANSI_CHARSET"}, {"ParentFont", "False"}, {"ShowHint", "False"},
        {"ParentShowHint", "False"}, {"TabOrder", "1"}, {"ModalResult", "0"}, {"FocusedRectMargin", "2"},
        {"Layout", "blGlyphBottom"}, {"Spacing", "4"}, {"MouseContinuouslyDownInterval", "100"},
        {"ResHandle", "0"}, {"OnClick", "assigned"}}},
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
       {{"OwnerDraw", "True"}, {"UIStyle", "MacOS"}, {"MenuItemHeight", "20"}, {"SeparatorHeight", "12"},
        {"BarWidth", "26"}, {"BarColor", "clBlack"}, {"Color", "clBlack"}, {"SeparatorColor", "clBlack"},
        {"FontColor", "clBlack"}, {"BorderColor", "clBlack"}, {"SelectedBorderColor", std::to_string(RGB(57, 115, 196))},
        {"SelectedColor", std::to_string(RGB(57, 115, 196))}, {"SelectedFontColor", "clWhite"}, {"FlatMenu", "False"},
        {"FontName", "MS Sans Serif"}, {"FontSize", "8"}, {"FontCharset", "DEFAULT_CHARSET"},
        {"UseSystemFont", "True"}}},
      {"About1", "TMenuItem", "kyrPopupMenu1", {}, {{"Caption", "About"}, {"OnClick", "assigned"}}},
  };
  std::vector<std::string> owned, expected;
  for (int i = 0; i < Form1->ComponentCount(); ++i) owned.push_back(Form1->Components(i)->Name());
  for (const TRow& row : rows)
    if (row.name != std::string("Form1")) expected.push_back(row.name);
  EXPECT_EQ(owned, expected) << "the window's components, in the order of its description";

  for (const TRow& row : rows) {
    SCOPED_TRACE(row.name);
    TComponent* component = row.name == std::string("Form1") ? Form1 : Form1->FindComponent(row.name);
    ASSERT_NE(component, nullptr);
    EXPECT_STREQ(component->ClassName(), row.className);
    EXPECT_EQ(ParentName(*component), row.parent);
    if (row.bounds) {
      const auto& control = dynamic_cast<const TControl&>(*component);
      const TBounds b = *row.bounds;
      EXPECT_EQ((std::vector<int>{control.Left(), control.Top(), control.Width(), control.Height()}),
                (std::vector<int>{b.left, b.top, b.width, b.height}));
    }
    ExpectValues(*component, row.values);
  }

  // The panel's title-bar buttons and sections, in their stored order.
  const TkyrForm& panel = *Form1->kyrForm1;
  const std::vector<TValues> buttons = {
      {{"ButtonType", "kyrClose"}, {"UIStyle", "MacOS"}, {"Top", "4"}, {"Visible", "True"}, {"Transparent", "False"}},
      {{"ButtonType", "kyrMin"}, {"UIStyle", "MacOS"}, {"Top", "4"}, {"Visible", "True"}, {"Transparent", "False"}},
      {{"ButtonType", "kyrControlBox"}, {"UIStyle", "DeepBlue"}, {"Top", "5"}, {"Visible", "True"},
       {"Transparent", "False"}},
  };
  const std::vector<TValues> sections = {
      {{"Align", "kyrLeft"}, {"AutoSize", "True"}, {"Width", "48"}, {"Stretch", "False"}},
      {{"Align", "kyrRight"}, {"AutoSize", "True"}, {"Width", "48"}, {"Stretch", "False"}},
      {{"Align", "kyrClient"}, {"AutoSize", "False"}, {"Width", "10"}, {"Stretch", "True"}},
  };
  ASSERT_EQ(panel.TitleBarButtons()->Count(), 3);
  ASSERT_EQ(panel.TitleBarSections()->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("title-bar item " + std::to_string(i));
    ExpectValues(*panel.TitleBarButtons()->Items(i), buttons[i]);
    ExpectValues(*panel.TitleBarSections()->Items(i), sections[i]);
  }
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
