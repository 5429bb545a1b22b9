#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

struct TShortCutCase {
  TShortCut shortCut;
  const char* text;
};
const TShortCutCase kShortCuts[] = {
    {static_cast<TShortCut>('S' | scCtrl), "Ctrl+S"},
    {static_cast<TShortCut>(VK_F5 | scShift), "Shift+F5"},
    {static_cast<TShortCut>(VK_DELETE | scAlt), "Alt+Del"},
    {static_cast<TShortCut>('1' | scShift | scCtrl), "Shift+Ctrl+1"},
    {static_cast<TShortCut>(VK_RETURN), "Enter"},
    {static_cast<TShortCut>(VK_F12), "F12"},
};

TEST(MenuShortCuts, TextBothWays) {
  for (const TShortCutCase& c : kShortCuts) {
    EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << c.text;
  }
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(TextToShortCut("ctrl+s"), static_cast<TShortCut>('S' | scCtrl));
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(ShortCut('S', {ssCtrl}), static_cast<TShortCut>('S' | scCtrl));
}

TMenuItem* AddItem(TMenuItem* parent, const std::string& caption, TComponent* owner) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

std::string MenuText(HMENU menu, int index) {
  char text[128] = {};
  GetMenuStringA(menu, static_cast<UINT>(index), text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST(Menus, HandleFollowsTheItemTree) {
  TComponent owner(nullptr);
  TPopupMenu menu(&owner);
  TMenuItem* open = AddItem(menu.Items(), "&Open", &owner);
  open->SetShortCut(static_cast<TShortCut>('O' | scCtrl));
  AddItem(menu.Items(), "-", &owner);
  TMenuItem* recent = AddItem(menu.Items(), "Recent", &owner);
  AddItem(recent, "a.swf", &owner);
  TMenuItem* b = AddItem(recent, "b.swf", &owner);
  b->SetChecked(true);
  b->SetEnabled(false);

  HMENU h = menu.Handle();
  ASSERT_EQ(GetMenuItemCount(h), 3);
  EXPECT_EQ(MenuText(h, 0), "&Open\tCtrl+O");
  EXPECT_TRUE(GetMenuState(h, 1, MF_BYPOSITION) & MF_SEPARATOR);
  HMENU sub = GetSubMenu(h, 2);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(GetMenuItemCount(sub), 2);
  const UINT state = GetMenuState(sub, 1, MF_BYPOSITION);
  EXPECT_TRUE(state & MF_CHECKED);
  EXPECT_TRUE(state & MF_GRAYED);
  EXPECT_EQ(GetMenuItemID(sub, 1), b->Command());

  b->SetCaption("c.swf");  // a change rebuilds the handle
  EXPECT_EQ(MenuText(GetSubMenu(menu.Handle(), 2), 1), "c.swf");
  delete recent;  // and so does removing an item with its sub-items
  EXPECT_EQ(GetMenuItemCount(menu.Handle()), 2);
}

TEST(Menus, ShortCutsAndCommandsClickTheirItem) {
  TComponent owner(nullptr);
  TMainMenu menu(&owner);
  TMenuItem* file = AddItem(menu.Items(), "File", &owner);
  TMenuItem* save = AddItem(file, "Save", &owner);
  save->SetShortCut(static_cast<TShortCut>('S' | scCtrl));
  int clicks = 0;
  save->SetOnClick([&](TObject* sender) {
    EXPECT_EQ(sender, save);
    ++clicks;
  });
  EXPECT_TRUE(menu.IsShortCut('S', {ssCtrl}));
  EXPECT_FALSE(menu.IsShortCut('S', {}));
  EXPECT_EQ(clicks, 1);
  save->SetEnabled(false);
  EXPECT_FALSE(menu.IsShortCut('S', {ssCtrl}));  // disabled items do not run

  save->SetEnabled(true);
  uitest::TShownForm form;
  form->SetMenu(&menu);
  EXPECT_EQ(GetMenu(form->Handle()), menu.Handle());
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(save->Command(), 0), 0);
  EXPECT_EQ(clicks, 2);
  form->SetMenu(nullptr);
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
}

// The real menu loop with owner-drawn items, driven by keys from a timer.
struct TMenuDrive {
  int step = 0;
};
TMenuDrive gDrive;
std::vector<TWinControl*> gActiveDuringMenu;  // the active window, seen from inside the menu loop

void CALLBACK DriveMenu(HWND, UINT, UINT_PTR, DWORD) {
  ++gDrive.step;
  if (gDrive.step == 2) uitest::PressKey(VK_DOWN);
  if (gDrive.step == 4) uitest::PressKey(VK_DOWN);
  if (gDrive.step == 6) uitest::PressKey(VK_RETURN);
  if (gDrive.step > 40) EndMenu();  // never leave a menu open when the keys went astray
}

// Opens MENU over FORM while a timer runs PROC every 30 ms from step START (DriveMenu: keys on
// steps 2, 4 and 6, EndMenu after step 40).
void RunPopup(TPopupMenu& menu, const uitest::TShownForm& form, int start = 0, TIMERPROC proc = DriveMenu) {
  gDrive = {};
  gDrive.step = start;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, proc);
  const POINT at = form->ClientToScreen({10, 10});
  menu.Popup(at.x, at.y);
  KillTimer(nullptr, timer);
}

TEST(Menus, OwnerDrawnPopupMeasuresDrawsAndRuns) {
  uitest::TShownForm form;
  TPopupMenu menu(nullptr);
  menu.SetOwnerDraw(true);
  TMenuItem* first = AddItem(menu.Items(), "First", &menu);
  TMenuItem* second = AddItem(menu.Items(), "Second", &menu);
  std::vector<std::string> measured;
  int selectedDraws = 0;
  for (TMenuItem* item : {first, second}) {
    item->SetOnMeasureItem([&, item](TObject*, TCanvas&, int& w, int& h) {
      measured.push_back(item->Caption());
      w = 80;
      h = 20;
    });
    item->SetOnDrawItem([&, item](TObject*, TCanvas& canvas, const RECT& r, bool selected) {
      EXPECT_EQ(r.bottom - r.top, 20);
      if (selected && item == second) ++selectedDraws;
      canvas.Brush().SetColor(selected ? clNavy : clWhite);
      canvas.FillRect(r);
    });
  }
  int ran = 0;
  second->SetOnClick([&](TObject*) { ++ran; });
  RunPopup(menu, form);
  EXPECT_EQ(measured.size(), 2u);
  EXPECT_GE(selectedDraws, 1);
  EXPECT_EQ(ran, 1);
}

// ---- popup menus through parents ----
class TRecordingPopup : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  std::vector<POINT> shownAt;
  void Popup(int x, int y) override { shownAt.push_back({x, y}); }
};

TEST(PopupMenus, RightClickOpensTheNearestParentsMenu) {
  uitest::TShownForm form;
  auto* formMenu = new TRecordingPopup(form.form);
  auto* panelMenu = new TRecordingPopup(form.form);
  form->SetPopupMenu(formMenu);
  auto* panel = new TPanel(form.form);
  panel->SetBounds(0, 0, 200, 100);
  panel->SetParent(form.form);
  auto* label = new TLabel(form.form);
  label->SetBounds(10, 10, 50, 20);
  label->SetAutoSize(false);
  label->SetParent(panel);
  EXPECT_EQ(label->NearestPopupMenu(), formMenu);
  panel->SetPopupMenu(panelMenu);
  EXPECT_EQ(label->NearestPopupMenu(), panelMenu);
  EXPECT_EQ(form->NearestPopupMenu(), formMenu);

  // A real right click on the windowless label: WM_CONTEXTMENU reaches the panel.
  const POINT target = label->ClientToScreen({5, 5});
  uitest::MovePointerTo(target);
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_RIGHTDOWN);
  uitest::MouseButton(MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !panelMenu->shownAt.empty(); }));
  EXPECT_EQ(panelMenu->PopupComponent(), label);
  EXPECT_EQ(panelMenu->shownAt[0].x, target.x);
  EXPECT_EQ(panelMenu->shownAt[0].y, target.y);
  EXPECT_TRUE(formMenu->shownAt.empty());

  delete panelMenu;  // the removal clears the reference
  EXPECT_EQ(panel->PopupMenu(), nullptr);
  EXPECT_EQ(label->NearestPopupMenu(), formMenu);
}

// ---- accelerators, default items, the menu font ----
TEST(MenuHotkeys, AutomaticAcceleratorsAvoidTheSiblingsOnes) {
  struct Case {
    std::vector<std::string> captions, expected;
  } cases[] = {
      {{"Open", "Options", "&Save"}, {"&Open", "O&ptions", "&Save"}},
      {{"Save", "&Save as"}, {"S&ave", "&Save as"}},  // the explicit '&S' wins the letter
      {{"-", "Exit", "1st"}, {"-", "&Exit", "&1st"}},
      {{"A&&B", "ab"}, {"A&&B", "&ab"}},  // "&&" is a plain '&', not an accelerator
      {{"xx", "x", "..."}, {"&xx", "x", "..."}},  // nothing left to take
  };
  for (const Case& c : cases) EXPECT_EQ(AutomaticHotkeys(c.captions), c.expected) << c.captions[0];

  TComponent owner(nullptr);
  TPopupMenu menu(&owner);
  TMenuItem* open = AddItem(menu.Items(), "Open", &owner);
  TMenuItem* sub = AddItem(open, "Open", &owner);  // each level has its own accelerators
  menu.Handle();
  EXPECT_EQ(open->ShownCaption(), "Open");  // maManual: as written
  menu.SetAutoHotkeys(maAutomatic);
  EXPECT_EQ(MenuText(menu.Handle(), 0), "&Open");
  EXPECT_EQ(sub->ShownCaption(), "&Open");
  EXPECT_EQ(open->Caption(), "Open");
}

TEST(MenuDefaultItem, IsMarkedAndBoldInMeasureAndDraw) {
  uitest::TShownForm form;
  TPopupMenu menu(nullptr);
  menu.SetOwnerDraw(true);
  TMenuItem* plain = AddItem(menu.Items(), "Plain", &menu);
  TMenuItem* chosen = AddItem(menu.Items(), "Chosen", &menu);
  chosen->SetDefault(true);
  EXPECT_EQ(GetMenuDefaultItem(menu.Handle(), FALSE, 0), chosen->Command());
  std::vector<std::string> measured, drawn;
  auto describe = [](TMenuItem* item, TCanvas& canvas) {
    return item->Caption() + " " + canvas.Font().Name() + " " + std::to_string(canvas.Font().Height()) +
           (canvas.Font().Style().Contains(fsBold) ? " bold" : "");
  };
  for (TMenuItem* item : {plain, chosen}) {
    item->SetOnMeasureItem([&, item](TObject*, TCanvas& canvas, int& w, int& h) {
      measured.push_back(describe(item, canvas));
      w = 80;
      h = 20;
    });
    item->SetOnDrawItem([&, item](TObject*, TCanvas& canvas, const RECT&, bool) {
      if (drawn.size() < 2) drawn.push_back(describe(item, canvas));
    });
  }
  RunPopup(menu, form, 40);  // no keys: the timer only closes the menu
  const LOGFONTA system = MenuFont();
  const std::string font = std::string(system.lfFaceName) + " " + std::to_string(system.lfHeight);
  EXPECT_EQ(measured, (std::vector<std::string>{"Plain " + font, "Chosen " + font + " bold"}));
  EXPECT_EQ(drawn, measured);
}

// The form a popup menu is opened for stays active while the menu is open.
TEST(PopupMenus, OpeningAMenuKeepsItsFormActive) {
  uitest::TShownForm form;
  ASSERT_TRUE(form->Active());
  auto* panel = new TPanel(form.form);
  panel->SetParent(form.form);
  TPopupMenu menu(nullptr);
  AddItem(menu.Items(), "One", &menu);
  menu.SetPopupComponent(panel);
  EXPECT_EQ(menu.PopupOwner(), form->Handle());
  uitest::TMessageLog log(form.form, {WM_NCACTIVATE, WM_ACTIVATE, WM_INITMENUPOPUP});
  gActiveDuringMenu.clear();
  RunPopup(menu, form, 38, [](HWND, UINT, UINT_PTR, DWORD) {
    if (TWinControl* f = TWinControl::FindControl(GetActiveWindow())) gActiveDuringMenu.push_back(f);
    DriveMenu(nullptr, 0, 0, 0);
  });
  uitest::Pump();
  EXPECT_EQ(log.messages, std::vector<UINT>{WM_INITMENUPOPUP});  // the form owned it; no deactivation
  ASSERT_FALSE(gActiveDuringMenu.empty());
  EXPECT_EQ(gActiveDuringMenu.front(), form.form);
  EXPECT_TRUE(form->Active());
}

}  // namespace
