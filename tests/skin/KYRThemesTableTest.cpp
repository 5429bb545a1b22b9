// Every cell of the built-in style tables, checked against the element list as written
// for people: "| # | Key | kind | MacOS | WinXP | DeepBlue | Protein | BlueGlass |", colours
// both as stored ($00BBGGRR) and as #RRGGBB, so a swapped byte order shows up.
#include "skin/KYRThemes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

const char* const kElementList = R"(
| 1 | ButtonImage | image | "MACOS_BUTTON" | "WINXP_BUTTON" | "DEEPBLUE_BUTTON" | "PROTEIN_BUTTON" | "BLUEGLASS_BUTTON" |
| 2 | ButtonTransparentBool | bool | true | false | false | false | true |
| 3 | CheckBoxImage | image | "MACOS_CHECKBOX" | "WINXP_CHECKBOX" | "DEEPBLUE_CHECKBOX" | "PROTEIN_CHECKBOX" | "BLUEGLASS_CHECKBOX" |
| 4 | RadioButtonImage | image | "MACOS_RADIOBUTTON" | "WINXP_RADIOBUTTON" | "DEEPBLUE_RADIOBUTTON" | "PROTEIN_RADIOBUTTON" | "BLUEGLASS_RADIOBUTTON" |
| 5 | TitleBarButtonImage | image | "MACOS_TITLEBTN" | "WINXP_TITLEBTN" | "DEEPBLUE_TITLEBTN" | "PROTEIN_TITLEBTN" | "BLUEGLASS_TITLEBTN" |
| 6 | TitleBarButtonTransparentBool | bool | false | false | false | true | true |
| 7 | TitleBarButtonLeftOffsetInt | int | 3 | 2 | 0 | 0 | 4 |
| 8 | TitleBarButtonRightOffsetInt | int | -2 | -2 | 0 | 0 | -3 |
| 9 | TitleBarButtonTopInt | int | 4 | 5 | 2 | 2 | 6 |
| 10 | TitleBarLeftImage | image | "MACOS_TITLE_LEFT" | "WINXP_TITLE_LEFT" | "DEEPBLUE_TITLE_LEFT" | "PROTEIN_TITLE_LEFT" | "BLUEGLASS_TITLE_LEFT" |
| 11 | TitleBarClientImage | image | "MACOS_TITLE_CLIENT" | "WINXP_TITLE_CLIENT" | "DEEPBLUE_TITLE_CLIENT" | "PROTEIN_TITLE_CLIENT" | "BLUEGLASS_TITLE_CLIENT" |
| 12 | TitleBarRightImage | image | "MACOS_TITLE_RIGHT" | "WINXP_TITLE_RIGHT" | "DEEPBLUE_TITLE_RIGHT" | "PROTEIN_TITLE_RIGHT" | "BLUEGLASS_TITLE_RIGHT" |
| 13 | FormMinWidthInt | int | 130 | 150 | 130 | 130 | 270 |
| 14 | FormRoundCornerInt | int | 0 | 13 | 0 | 0 | 11 |
| 15 | FormBackgroundColor | color | $E7E7E7 (#E7E7E7) | $DEEBEF (#EFEBDE) | $E8E8E8 (#E8E8E8) | $FBFBFB (#FBFBFB) | $E7E7E7 (#E7E7E7) |
| 16 | FormBorderColor | color | $7F7F7F (#7F7F7F) | $C82C00 (#002CC8) | $000000 (#000000) | $000000 (#000000) | $000000 (#000000) |
| 17 | FormBorderWidthInt | int | 1 | 3 | 1 | 1 | 1 |
| 18 | MenuSelectedBorderColor | color | $C47339 (#3973C4) | $C66931 (#3169C6) | $A04A44 (#444AA0) | $C4302D (#2D30C4) | $EC5E5E (#5E5EEC) |
| 19 | MenuSelectedBackgroundColor | color | $C47339 (#3973C4) | $EFD3C6 (#C6D3EF) | $A04A44 (#444AA0) | $C4302D (#2D30C4) | $EC5E5E (#5E5EEC) |
| 20 | MenuSelectedFontColor | color | $FFFFFF (#FFFFFF) | $000000 (#000000) | $FFFFFF (#FFFFFF) | $FFFFFF (#FFFFFF) | $FFFFFF (#FFFFFF) |
| 21 | MenuBackgroundColor | color | $000000 (#000000) | $FFFFFF (#FFFFFF) | $FFFFFF (#FFFFFF) | $FFFFFF (#FFFFFF) | $E7E7E7 (#E7E7E7) |
| 22 | MenuFontColor | color | $000000 (#000000) | $000000 (#000000) | $000000 (#000000) | $000000 (#000000) | $000000 (#000000) |
| 23 | MenuBarColor | color | $000000 (#000000) | $CED3D6 (#D6D3CE) | $CED3D6 (#D6D3CE) | $CED3D6 (#D6D3CE) | $CED3D6 (#D6D3CE) |
| 24 | ProgressBarImage | image | "MACOS_PROGRESSBAR" | "WINXP_PROGRESSBAR" | "DEEPBLUE_PROGRESSBAR" | "PROTEIN_PROGRESSBAR" | "BLUEGLASS_PROGRESSBAR" |
| 25 | ControlBorderColor | color | $7F7F7F (#7F7F7F) | $686868 (#686868) | $000000 (#000000) | $000000 (#000000) | $000000 (#000000) |
| 26 | ControlBackgroundColor | color | $E7E7E7 (#E7E7E7) | $DEEBEF (#EFEBDE) | $E8E8E8 (#E8E8E8) | $FBFBFB (#FBFBFB) | $E7E7E7 (#E7E7E7) |
| 27 | ControlFontColor | color | $000000 (#000000) | $CF4602 (#0246CF) | $000000 (#000000) | $000000 (#000000) | $000000 (#000000) |
| 28 | TrackBarBarImage | image | "MACOS_TRACKBAR_BAR" | "WINXP_TRACKBAR_BAR" | "DEEPBLUE_TRACKBAR_BAR" | "PROTEIN_TRACKBAR_BAR" | "BLUEGLASS_TRACKBAR_BAR" |
| 29 | TrackBarSliderImage | image | "MACOS_TRACKBAR_SLIDER" | "WINXP_TRACKBAR_SLIDER" | "DEEPBLUE_TRACKBAR_SLIDER" | "PROTEIN_TRACKBAR_SLIDER" | "BLUEGLASS_TRACKBAR_SLIDER" |
| 30 | TrackBarSliderVImage | image | "MACOS_TRACKBAR_SLIDER_V" | "WINXP_TRACKBAR_SLIDER_V" | "DEEPBLUE_TRACKBAR_SLIDER_V" | "PROTEIN_TRACKBAR_SLIDER_V" | "BLUEGLASS_TRACKBAR_SLIDER_V" |
| 31 | ScrollBarBackgroundColor | color | $C9C9C9 (#C9C9C9) | $F9F9F9 (#F9F9F9) | $F5F5F5 (#F5F5F5) | $F5F5F5 (#F5F5F5) | $F4F4F4 (#F4F4F4) |
| 32 | ScrollBarButtonImage | image | "MACOS_SCROLLBAR_BUTTON" | "WINXP_SCROLLBAR_BUTTON" | "DEEPBLUE_SCROLLBAR_BUTTON" | "PROTEIN_SCROLLBAR_BUTTON" | "BLUEGLASS_SCROLLBAR_BUTTON" |
| 33 | ScrollBarSliderImage | image | "MACOS_SCROLLBAR_TRACK" | "WINXP_SCROLLBAR_TRACK" | "DEEPBLUE_SCROLLBAR_TRACK" | "PROTEIN_SCROLLBAR_TRACK" | "BLUEGLASS_SCROLLBAR_TRACK" |
| 34 | CheckListBoxImage | image | "MACOS_CHECKLIST" | "WINXP_CHECKLIST" | "DEEPBLUE_CHECKLIST" | "PROTEIN_CHECKLIST" | "BLUEGLASS_CHECKLIST" |
| 35 | ToolBarButtonBorderColor | color | $474747 (#474747) | $C66931 (#3169C6) | $474747 (#474747) | $474747 (#474747) | $474747 (#474747) |
| 36 | ToolBarButtonBackgroundColor | color | $EFEFEF (#EFEFEF) | $EFD3C6 (#C6D3EF) | $EFEFEF (#EFEFEF) | $EFEFEF (#EFEFEF) | $EFEFEF (#EFEFEF) |
| 37 | ToolBarButtonDownBackgroundColor | color | $D8D8D8 (#D8D8D8) | $E1AC93 (#93ACE1) | $D8D8D8 (#D8D8D8) | $D8D8D8 (#D8D8D8) | $D8D8D8 (#D8D8D8) |
| 38 | ScrollButtonImage | image | "MACOS_SCROLLBUTTON" | "WINXP_SCROLLBUTTON" | "MORE_SCROLLBUTTON" | "MORE_SCROLLBUTTON" | "MORE_SCROLLBUTTON" |
| 39 | TabControlTabImage | image | "MACOS_TAB" | "WINXP_TAB" | "DEEPBLUE_TAB" | "PROTEIN_TAB" | "BLUEGLASS_TAB" |
| 40 | TabControlBarImage | image | "MACOS_TAB_LINE" | "WINXP_TAB_LINE" | "DEEPBLUE_TAB_LINE" | "PROTEIN_TAB_LINE" | "BLUEGLASS_TAB_LINE" |
| 41 | SideChannelHandleImage | image | "MACOS_SIDECHENNEL_HANDLE" | "WINXP_SIDECHENNEL_HANDLE" | "DEEPBLUE_SIDECHENNEL_HANDLE" | "PROTEIN_SIDECHENNEL_HANDLE" | "BLUEGLASS_SIDECHENNEL_HANDLE" |
| 42 | SideChannelBarImage | image | "MACOS_SIDECHENNEL_BAR" | "WINXP_SIDECHENNEL_BAR" | "DEEPBLUE_SIDECHENNEL_BAR" | "PROTEIN_SIDECHENNEL_BAR" | "BLUEGLASS_SIDECHENNEL_BAR" |
| 43 | TitleBarMinimizedImage | image | (none) | (none) | (none) | (none) | (none) |
| 44 | TitleBarFontColor | color | $000000 (#000000) | $FFFFFF (#FFFFFF) | $FFFFFF (#FFFFFF) | $FFFFFF (#FFFFFF) | $FFFFFF (#FFFFFF) |
| 45 | FormLeftBorderImage | image | (none) | (none) | (none) | (none) | (none) |
| 46 | FormBottomBorderImage | image | (none) | (none) | (none) | (none) | (none) |
| 47 | FormBottomRoundCornerInt | int | 0 | 0 | 0 | 0 | 0 |
| 48 | MenuMenuBarColor | color | $E7E7E7 (#E7E7E7) | $DEEBEF (#EFEBDE) | $E8E8E8 (#E8E8E8) | $FBFBFB (#FBFBFB) | $E7E7E7 (#E7E7E7) |
)";

struct ListedRow {
  int Index;
  std::string Key, Kind;
  std::vector<std::string> Cells;  // MacOS .. BlueGlass
};

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

std::vector<ListedRow> ParseList() {
  std::vector<ListedRow> rows;
  std::istringstream in(kElementList);
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) continue;
    std::vector<std::string> fields;
    std::istringstream cells(line.substr(1));
    for (std::string f; std::getline(cells, f, '|');) fields.push_back(Trim(f));
    rows.push_back({std::stoi(fields[0]), fields[1], fields[2], {fields.begin() + 3, fields.begin() + 8}});
  }
  return rows;
}

const TkyrUIStyle kStyles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

// "$C82C00 (#002CC8)": the stored value, after checking that the #RRGGBB form agrees.
int32_t ListedColor(const std::string& cell) {
  const int32_t stored = static_cast<int32_t>(std::stoul(cell.substr(1, 6), nullptr, 16));
  const uint32_t rgb = static_cast<uint32_t>(std::stoul(cell.substr(cell.find('#') + 1, 6), nullptr, 16));
  const int32_t asStored = static_cast<int32_t>((rgb >> 16) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
  EXPECT_EQ(stored, asStored) << cell;
  return stored;
}

TEST(KYRThemesTable, EveryCellMatchesTheElementList) {
  const std::vector<ListedRow> rows = ParseList();
  ASSERT_EQ(rows.size(), 48u);
  for (const ListedRow& row : rows) {
    SCOPED_TRACE(row.Key);
    EXPECT_STREQ(GetThemeElementKey(row.Index), row.Key.c_str());
    EXPECT_EQ(FindThemeElement(row.Key), row.Index);
    for (int s = 0; s < 5; ++s) {
      const TkyrUIStyle style = kStyles[s];
      const std::string& cell = row.Cells[s];
      SCOPED_TRACE(s + 1);
      uint8_t kind = 99;
      GetBuiltinThemeValue(style, row.Index, kind);
      if (row.Kind == "image") {
        EXPECT_EQ(kind, kyrThemeImage);
        EXPECT_EQ(GetBuiltinImageName(style, row.Index), cell == "(none)" ? "" : cell.substr(1, cell.size() - 2));
      } else if (row.Kind == "bool") {
        EXPECT_EQ(kind, kyrThemeBool);
        EXPECT_EQ(GetBuiltinBool(style, row.Index), cell == "true");
      } else if (row.Kind == "int") {
        EXPECT_EQ(kind, kyrThemeInt);
        EXPECT_EQ(GetBuiltinInt(style, row.Index), std::stoi(cell));
      } else {
        ASSERT_EQ(row.Kind, "color");
        EXPECT_EQ(kind, kyrThemeColor);
        EXPECT_EQ(GetBuiltinColor(style, row.Index), ListedColor(cell));
      }
    }
  }
}

TEST(KYRThemesTable, ConstantsNameTheirKeys) {
  const struct {
    int Constant;
    const char* Key;
  } constants[] = {
    {KYR_THEME_BUTTON_IMAGE, "ButtonImage"},
    {KYR_THEME_BUTTON_TRANSPARENT_BOOL, "ButtonTransparentBool"},
    {KYR_THEME_CHECK_BOX_IMAGE, "CheckBoxImage"},
    {KYR_THEME_RADIO_BUTTON_IMAGE, "RadioButtonImage"},
    {KYR_THEME_TITLE_BAR_BUTTON_IMAGE, "TitleBarButtonImage"},
    {KYR_THEME_TITLE_BAR_BUTTON_TRANSPARENT_BOOL, "TitleBarButtonTransparentBool"},
    {KYR_THEME_TITLE_BAR_BUTTON_LEFT_OFFSET_INT, "TitleBarButtonLeftOffsetInt"},
    {KYR_THEME_TITLE_BAR_BUTTON_RIGHT_OFFSET_INT, "TitleBarButtonRightOffsetInt"},
    {KYR_THEME_TITLE_BAR_BUTTON_TOP_INT, "TitleBarButtonTopInt"},
    {KYR_THEME_TITLE_BAR_LEFT_IMAGE, "TitleBarLeftImage"},
    {KYR_THEME_TITLE_BAR_CLIENT_IMAGE, "TitleBarClientImage"},
    {KYR_THEME_TITLE_BAR_RIGHT_IMAGE, "TitleBarRightImage"},
    {KYR_THEME_FORM_MIN_WIDTH_INT, "FormMinWidthInt"},
    {KYR_THEME_FORM_ROUND_CORNER_INT, "FormRoundCornerInt"},
    {KYR_THEME_FORM_BACKGROUND_COLOR, "FormBackgroundColor"},
    {KYR_THEME_FORM_BORDER_COLOR, "FormBorderColor"},
    {KYR_THEME_FORM_BORDER_WIDTH_INT, "FormBorderWidthInt"},
    {KYR_THEME_MENU_SELECTED_BORDER_COLOR, "MenuSelectedBorderColor"},
    {KYR_THEME_MENU_SELECTED_BACKGROUND_COLOR, "MenuSelectedBackgroundColor"},
    {KYR_THEME_MENU_SELECTED_FONT_COLOR, "MenuSelectedFontColor"},
    {KYR_THEME_MENU_BACKGROUND_COLOR, "MenuBackgroundColor"},
    {KYR_THEME_MENU_FONT_COLOR, "MenuFontColor"},
    {KYR_THEME_MENU_BAR_COLOR, "MenuBarColor"},
    {KYR_THEME_PROGRESS_BAR_IMAGE, "ProgressBarImage"},
    {KYR_THEME_CONTROL_BORDER_COLOR, "ControlBorderColor"},
    {KYR_THEME_CONTROL_BACKGROUND_COLOR, "ControlBackgroundColor"},
    {KYR_THEME_CONTROL_FONT_COLOR, "ControlFontColor"},
    {KYR_THEME_TRACK_BAR_BAR_IMAGE, "TrackBarBarImage"},
    {KYR_THEME_TRACK_BAR_SLIDER_IMAGE, "TrackBarSliderImage"},
    {KYR_THEME_TRACK_BAR_SLIDER_V_IMAGE, "TrackBarSliderVImage"},
    {KYR_THEME_SCROLL_BAR_BACKGROUND_COLOR, "ScrollBarBackgroundColor"},
    {KYR_THEME_SCROLL_BAR_BUTTON_IMAGE, "ScrollBarButtonImage"},
    {KYR_THEME_SCROLL_BAR_SLIDER_IMAGE, "ScrollBarSliderImage"},
    {KYR_THEME_CHECK_LIST_BOX_IMAGE, "CheckListBoxImage"},
    {KYR_THEME_TOOL_BAR_BUTTON_BORDER_COLOR, "ToolBarButtonBorderColor"},
    {KYR_THEME_TOOL_BAR_BUTTON_BACKGROUND_COLOR, "ToolBarButtonBackgroundColor"},
    {KYR_THEME_TOOL_BAR_BUTTON_DOWN_BACKGROUND_COLOR, "ToolBarButtonDownBackgroundColor"},
    {KYR_THEME_SCROLL_BUTTON_IMAGE, "ScrollButtonImage"},
    {KYR_THEME_TAB_CONTROL_TAB_IMAGE, "TabControlTabImage"},
    {KYR_THEME_TAB_CONTROL_BAR_IMAGE, "TabControlBarImage"},
    {KYR_THEME_SIDE_CHANNEL_HANDLE_IMAGE, "SideChannelHandleImage"},
    {KYR_THEME_SIDE_CHANNEL_BAR_IMAGE, "SideChannelBarImage"},
    {KYR_THEME_TITLE_BAR_MINIMIZED_IMAGE, "TitleBarMinimizedImage"},
    {KYR_THEME_TITLE_BAR_FONT_COLOR, "TitleBarFontColor"},
    {KYR_THEME_FORM_LEFT_BORDER_IMAGE, "FormLeftBorderImage"},
    {KYR_THEME_FORM_BOTTOM_BORDER_IMAGE, "FormBottomBorderImage"},
    {KYR_THEME_FORM_BOTTOM_ROUND_CORNER_INT, "FormBottomRoundCornerInt"},
    {KYR_THEME_MENU_MENU_BAR_COLOR, "MenuMenuBarColor"},
  };
  ASSERT_EQ(std::size(constants), size_t(KYR_THEME_ELEMENT_COUNT));
  for (const auto& c : constants) EXPECT_STREQ(GetThemeElementKey(c.Constant), c.Key);
}

TEST(KYRThemesTable, HandPickedLookups) {
  EXPECT_EQ(GetBuiltinColor(WinXP, KYR_THEME_FORM_BORDER_COLOR), 0xC82C00);
  EXPECT_EQ(GetBuiltinInt(BlueGlass, KYR_THEME_TITLE_BAR_BUTTON_RIGHT_OFFSET_INT), -3);
  EXPECT_TRUE(GetBuiltinBool(Protein, KYR_THEME_TITLE_BAR_BUTTON_TRANSPARENT_BOOL));
  EXPECT_STREQ(GetBuiltinImageName(MacOS, KYR_THEME_TITLE_BAR_LEFT_IMAGE), "MACOS_TITLE_LEFT");
  EXPECT_STREQ(GetBuiltinImageName(Protein, KYR_THEME_SCROLL_BUTTON_IMAGE), "MORE_SCROLLBUTTON");
  EXPECT_STREQ(GetBuiltinImageName(DeepBlue, KYR_THEME_SIDE_CHANNEL_BAR_IMAGE), "DEEPBLUE_SIDECHENNEL_BAR");
}

TEST(KYRThemesTable, KeysAreFoundWhateverTheirCase) {
  EXPECT_EQ(FindThemeElement("formbackgroundcolor"), KYR_THEME_FORM_BACKGROUND_COLOR);
  EXPECT_EQ(FindThemeElement("MENUMENUBARCOLOR"), KYR_THEME_MENU_MENU_BAR_COLOR);
  EXPECT_EQ(FindThemeElement("FormBackgroundColo"), 0);
  EXPECT_EQ(FindThemeElement("FormBackgroundColorX"), 0);
  EXPECT_EQ(FindThemeElement(""), 0);
}

// Styles and elements the tables do not cover answer kind 0 with -1.
TEST(KYRThemesTable, OutsideTheTablesTheAnswersAreNeutral) {
  const struct {
    TkyrUIStyle Style;
    int Element;
  } cases[] = {{FromThemeFile, 13}, {FromThemeFile, 15}, {FromThemeFile, 2},  {static_cast<TkyrUIStyle>(6), 13},
               {static_cast<TkyrUIStyle>(255), 15}, {MacOS, 0}, {BlueGlass, 49}, {DeepBlue, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.Style) << "/" << c.Element);
    uint8_t kind = 99;
    EXPECT_EQ(GetBuiltinThemeValue(c.Style, c.Element, kind), -1);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(GetBuiltinInt(c.Style, c.Element), -1);
    EXPECT_EQ(GetBuiltinColor(c.Style, c.Element), 0);
    EXPECT_FALSE(GetBuiltinBool(c.Style, c.Element));
    EXPECT_STREQ(GetBuiltinImageName(c.Style, c.Element), "");
  }
  EXPECT_STREQ(GetThemeElementKey(0), "");
  EXPECT_STREQ(GetThemeElementKey(49), "");
}

// Asking with the getter of another kind gives that getter's neutral value, for every
// element of every style (an integer of 0 must not pass as black, nor 1 as true).
TEST(KYRThemesTable, WrongKindGivesTheNeutralValue) {
  for (TkyrUIStyle style : kStyles) {
    for (int e = 1; e <= KYR_THEME_ELEMENT_COUNT; ++e) {
      SCOPED_TRACE(testing::Message() << int(style) << "/" << e);
      const TkyrThemeValueKind kind = GetThemeElementKind(e);
      if (kind != kyrThemeInt) {
        EXPECT_EQ(GetBuiltinInt(style, e), -1);
      }
      if (kind != kyrThemeColor) {
        EXPECT_EQ(GetBuiltinColor(style, e), 0);
      }
      if (kind != kyrThemeBool) {
        EXPECT_FALSE(GetBuiltinBool(style, e));
      }
      if (kind != kyrThemeImage) {
        EXPECT_STREQ(GetBuiltinImageName(style, e), "");
      }
    }
  }
  EXPECT_EQ(GetBuiltinColor(MacOS, KYR_THEME_FORM_MIN_WIDTH_INT), 0);
  EXPECT_EQ(GetBuiltinInt(MacOS, KYR_THEME_FORM_BACKGROUND_COLOR), -1);
  EXPECT_FALSE(GetBuiltinBool(MacOS, KYR_THEME_FORM_BORDER_WIDTH_INT));  // 1, but an integer
}

}  // namespace
