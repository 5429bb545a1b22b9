// The skinned main menu: its own values and images, the item routines it shares with the popup
// menu, and its coupling with the panel that shows it (here a recording stand-in; the skinned
// form's menu bar has its own tests).
#include "skin/controls/KYRMainMenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/GdiHandles.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "skin/KYRMenu.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

TMenuItem* AddItem(TMenuItem* parent, const std::string& caption, TComponent* owner = nullptr) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

// A panel that shows a main menu, recording what the menu asks of it.
class TRecordingHost : public TCustomPanel, public IkyrMenuHost {
public:
  explicit TRecordingHost(TComponent* owner) : TCustomPanel(owner) {}
  ~TRecordingHost() override {
    Destroying();
    SetMenu(nullptr);
  }
  void SetMenu(TMainMenu* value) override {
    calls.push_back(value ? "SetMenu" : "SetMenu(none)");
    if (auto* old = dynamic_cast<TkyrMainMenu*>(menu.Get())) old->SetHost(nullptr);
    menu = value;
    if (auto* now = dynamic_cast<TkyrMainMenu*>(value)) now->SetHost(this);
  }
  void UpdateMenuBar() override { calls.push_back("UpdateMenuBar"); }
  void UpdateMenuBarItems() override { calls.push_back("UpdateMenuBarItems"); }
  void UpdateMenuBarFont() override { calls.push_back("UpdateMenuBarFont"); }
  std::vector<std::string> calls;
  TComponentRef<TMainMenu> menu{this};
};

UINT ItemType(HMENU menu, UINT position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  GetMenuItemInfoA(menu, position, TRUE, &info);
  return info.fType;
}

std::vector<uint32_t> Pixels(TBitmap& bitmap) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Canvas().Pixel(x, y));
  return pixels;
}

template <class Menu>
std::vector<uint32_t> Drawn(Menu& menu, TMenuItem* item, bool selected) {
  TBitmap bitmap;
  bitmap.SetSize(160, 24);
  FillRectColor(bitmap.Canvas(), {0, 0, 160, 24}, 0x00FF00);
  menu.DrawMenuItem(item, bitmap.Canvas(), {0, 0, 160, 22}, selected);
  return Pixels(bitmap);
}

}  // namespace

// ---- values ----
TEST(SkinnedMainMenu, ValuesAfterCreateFollowTheOwnerFormsStyle) {
  TkyrMainMenu plain(nullptr);  // no form: DeepBlue
  EXPECT_EQ(plain.UIStyle(), DeepBlue);
  EXPECT_EQ(plain.MenuItemHeight(), 21);
  EXPECT_EQ(plain.SeparatorHeight(), 5);
  EXPECT_EQ(plain.SeparatorColor(), 0x848284);
  EXPECT_EQ(plain.BarWidth(), 26);
  EXPECT_EQ(plain.BarColor(), GetBuiltinColor(DeepBlue, KYR_THEME_MENU_BAR_COLOR));
  EXPECT_EQ(plain.SelectedFontColor(), GetBuiltinColor(DeepBlue, KYR_THEME_MENU_SELECTED_FONT_COLOR));
  EXPECT_EQ(plain.BorderColor(), 0);
  EXPECT_FALSE(plain.FlatMenu());
  EXPECT_EQ(plain.FontName(), "MS Sans Serif");
  EXPECT_EQ(plain.FontSize(), 8);
  EXPECT_EQ(plain.FontCharset(), 1);
  EXPECT_TRUE(plain.UseSystemFont());
  EXPECT_TRUE(plain.OwnerDraw());
  EXPECT_EQ(plain.Images(), nullptr);
}

TEST(SkinnedMainMenu, MacOSIgnoresHeightsUntilAnotherStyle) {
  TkyrMainMenu menu(nullptr);
  menu.SetUIStyle(MacOS);
  menu.SetMenuItemHeight(30);
  menu.SetSeparatorHeight(9);
  EXPECT_EQ(menu.MenuItemHeight(), 20);
  EXPECT_EQ(menu.SeparatorHeight(), 12);
  EXPECT_EQ(menu.SeparatorColor(), 0);
  menu.SetUIStyle(WinXP);
  EXPECT_EQ(menu.MenuItemHeight(), 21);
  menu.SetMenuItemHeight(30);
  EXPECT_EQ(menu.MenuItemHeight(), 30);
}

// ---- staying owner-drawn ----
TEST(SkinnedMainMenu, ItemsStayOwnerDrawnWithoutImagesAndWhenTheUsersListGoes) {
  TkyrMainMenu menu(nullptr);
  TMenuItem* file = AddItem(menu.Items(), "&File");
  AddItem(file, "&Open");
  menu.TMenu::SetOwnerDraw(false);  // the framework's own flag plays no part
  menu.SetImages(nullptr);
  EXPECT_EQ(menu.Images(), nullptr);
  EXPECT_TRUE(ItemType(menu.Handle(), 0) & MFT_OWNERDRAW);
  EXPECT_TRUE(ItemType(GetSubMenu(menu.Handle(), 0), 0) & MFT_OWNERDRAW);

  auto icons = std::make_unique<TImageList>(16, 16);
  menu.SetImages(icons.get());
  EXPECT_EQ(menu.Images(), icons.get());
  icons.reset();  // the user's list goes: the check marks stand in again
  EXPECT_EQ(menu.Images(), nullptr);
  EXPECT_NE(menu.TMenu::Images(), nullptr);
  EXPECT_TRUE(ItemType(menu.Handle(), 0) & MFT_OWNERDRAW);
}

// ---- the routines shared with the popup menu ----
TEST(SkinnedMainMenu, DrawsAndMeasuresEveryItemExactlyLikeThePopupMenu) {
  TkyrMainMenu mainMenu(nullptr);
  TkyrPopupMenu popup(nullptr);
  TMenuItem* plain = AddItem(mainMenu.Items(), "&Plain");
  TMenuItem* checked = AddItem(mainMenu.Items(), "Checked");
  checked->SetChecked(true);
  TMenuItem* disabled = AddItem(mainMenu.Items(), "Disabled");
  disabled->SetEnabled(false);
  TMenuItem* keyed = AddItem(mainMenu.Items(), "Keyed");
  keyed->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
  keyed->SetDefault(true);
  TMenuItem* line = AddItem(mainMenu.Items(), "-");
  for (TkyrUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    mainMenu.SetUIStyle(style);
    popup.SetUIStyle(style);
    for (TMenuItem* item : {plain, checked, disabled, keyed, line})
      for (bool selected : {false, true}) {
        SCOPED_TRACE(item->Caption() + (selected ? " selected, style " : ", style ") +
                     std::to_string(static_cast<int>(style)));
        EXPECT_EQ(Drawn(mainMenu, item, selected), Drawn(popup, item, selected));
        TBitmap canvasOwner;
        canvasOwner.SetSize(1, 1);
        int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
        mainMenu.MeasureMenuItem(item, canvasOwner.Canvas(), w1, h1);
        popup.MeasureMenuItem(item, canvasOwner.Canvas(), w2, h2);
        EXPECT_EQ(w1, w2);
        EXPECT_EQ(h1, h2);
      }
  }
}

TEST(SkinnedMainMenu, CheckedItemShowsTheMarkAndAnIconOnlyFromTheUsersList) {
  TkyrMainMenu menu(nullptr);
  menu.SetUIStyle(WinXP);
  menu.SetBarColor(0x0000C0);
  TMenuItem* item = AddItem(menu.Items(), "Item");
  item->SetChecked(true);
  item->SetImageIndex(0);  // the check-mark list is no user list: still the mark, no icon box
  TBitmap bitmap;
  bitmap.SetSize(120, 24);
  menu.DrawMenuItem(item, bitmap.Canvas(), {0, 0, 120, 21}, false);
  TBitmap expected;
  expected.SetSize(120, 24);
  FillRectColor(expected.Canvas(), {0, 0, 26, 21}, 0x0000C0);
  TkyrCheckMarks marks;
  marks.Images().Draw(expected.Canvas(), 4, 3, 0);
  for (int y = 3; y < 19; ++y)
    for (int x = 4; x < 20; ++x) ASSERT_EQ(bitmap.Canvas().Pixel(x, y), expected.Canvas().Pixel(x, y)) << x << "," << y;
  EXPECT_EQ(bitmap.Canvas().Pixel(3, 2), 0x0000C0);  // no SelectedColor box
}

TEST(SkinnedMainMenu, MeasuresInItsOwnFontAndAStyleOrFontChangeMakesANewHandle) {
  TkyrMainMenu menu(nullptr);
  menu.SetUIStyle(WinXP);
  TMenuItem* item = AddItem(menu.Items(), "A wide caption");
  TBitmap canvasOwner;
  canvasOwner.SetSize(1, 1);
  int systemWidth = 0, height = 0;
  menu.MeasureMenuItem(item, canvasOwner.Canvas(), systemWidth, height);
  const HMENU before = menu.Handle();
  menu.SetUseSystemFont(false);
  menu.SetFontName("Tahoma");
  menu.SetFontSize(28);
  const HMENU afterFont = menu.Handle();
  EXPECT_NE(afterFont, before);  // Windows measures an item once per handle
  int bigWidth = 0;
  canvasOwner.Canvas().Font().SetSize(8);  // whatever the canvas had, the menu's font counts
  menu.MeasureMenuItem(item, canvasOwner.Canvas(), bigWidth, height);
  EXPECT_GT(bigWidth, systemWidth * 2);
  menu.SetUIStyle(MacOS);
  EXPECT_NE(menu.Handle(), afterFont);
}

// ---- the host ----
TEST(SkinnedMainMenu, AttachesToTheFirstHostOnItsFormAndClearsTheFormsMenu) {
  TForm form(nullptr);
  auto* native = new TMainMenu(&form);
  form.SetMenu(native);
  auto* notAHost = new TPanel(&form);
  notAHost->SetParent(&form);
  auto* host = new TRecordingHost(&form);
  host->SetParent(&form);
  auto* second = new TRecordingHost(&form);
  second->SetParent(&form);
  auto* menu = new TkyrMainMenu(&form);
  EXPECT_EQ(form.Menu(), nullptr);
  EXPECT_EQ(menu->Host(), host);
  EXPECT_EQ(host->menu.Get(), menu);
  EXPECT_TRUE(second->calls.empty());
}

TEST(SkinnedMainMenu, TellsItsHostOfItemAndFontChangesAndLeavesItWhenFreed) {
  TForm form(nullptr);
  auto* host = new TRecordingHost(&form);
  host->SetParent(&form);
  auto* menu = new TkyrMainMenu(&form);
  host->calls.clear();
  AddItem(menu->Items(), "&File", &form);
  EXPECT_FALSE(host->calls.empty());
  EXPECT_EQ(host->calls.back(), "UpdateMenuBar");
  for (auto change : std::vector<std::function<void()>>{[&] { menu->SetFontName("Tahoma"); },
                                                         [&] { menu->SetFontSize(12); },
                                                         [&] { menu->SetFontCharset(0); },
                                                         [&] { menu->SetUseSystemFont(false); }}) {
    host->calls.clear();
    change();
    EXPECT_EQ(host->calls, std::vector<std::string>{"UpdateMenuBarFont"});
  }
  const int marks = TkyrCheckMarks::References();
  host->calls.clear();
  delete menu;
  EXPECT_EQ(host->calls, std::vector<std::string>{"SetMenu(none)"});
  EXPECT_EQ(host->menu.Get(), nullptr);
  EXPECT_EQ(TkyrCheckMarks::References(), marks - 1);
}

TEST(SkinnedMainMenu, AnotherMenuOnTheHostClearsTheFirstOnesHost) {
  TForm form(nullptr);
  auto* host = new TRecordingHost(&form);
  host->SetParent(&form);
  auto* first = new TkyrMainMenu(&form);
  auto* second = new TkyrMainMenu(&form);
  EXPECT_EQ(first->Host(), nullptr);
  EXPECT_EQ(second->Host(), host);
  delete host;  // the reference clears itself: the menu never calls a freed host
  EXPECT_EQ(second->Host(), nullptr);
  AddItem(second->Items(), "Still fine");
}
