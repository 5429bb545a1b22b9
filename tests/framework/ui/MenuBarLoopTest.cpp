// The tool bar in menu mode, driven by real input: drop-downs through the system's menu loop,
// hot-switching, the keyboard mode, accelerators, and the command that runs only after the
// loop, even when it frees the bar's form or rebuilds the buttons.
//
// The loop blocks the test while a drop-down is open, so the test's steps run from a timer
// (the menu loop and the keyboard mode dispatch timer messages). A step returns true when it
// is done; one that waits for a state returns false until it holds. Open menus are closed
// explicitly once the script is over, so a failing step never leaves the test hanging.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/ui/ComCtrls.h"
#include "framework/ui/Menus.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

using TStep = std::function<bool()>;

// Closes the bar's menu mode as well as any open menu once the steps are over.
class TScript : public uitest::TMenuScript {
public:
  explicit TScript(std::vector<TStep> steps)
      : TMenuScript(std::move(steps), [] {
          EndMenu();
          PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        }) {}
};

using uitest::MenuWindowsShown;

bool MenuWindowShown() { return MenuWindowsShown() > 0; }

void KeyWithAlt(WORD key) {
  INPUT in[4]{};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = VK_MENU;
  in[1].ki.wVk = key;
  in[2].ki.wVk = key;
  in[2].ki.dwFlags = KEYEVENTF_KEYUP;
  in[3].ki.wVk = VK_MENU;
  in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, in, sizeof in[0]);
}

// A menu bar: File (Open, Exit), Edit (Cut, Paste > Special), Help (About), and a plain Go
// item without sub-items, on a bar of the form that the form knows as its menu bar.
class MenuBarLoop : public ::testing::Test {
protected:
  void SetUp() override {
    uitest::MovePointerTo({2, 2});
    form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(40, 40, 320, 200);
    menu = new TMainMenu(form);
    file = AddItem(menu->Items(), "&File");
    open = AddItem(file, "&Open");
    exitItem = AddItem(file, "E&xit");
    edit = AddItem(menu->Items(), "&Edit");
    AddItem(edit, "Cu&t");
    paste = AddItem(edit, "&Paste");
    special = AddItem(paste, "&Special");
    help = AddItem(menu->Items(), "&Help");
    about = AddItem(help, "&About");
    go = AddItem(menu->Items(), "&Go");
    bar = new TToolBar(form);
    bar->SetParent(form);
    bar->SetFlat(true);
    bar->SetEdgeBorders({});
    bar->SetShowCaptions(true);
    bar->SetAutoSize(true);
    BindButtons();
    form->SetMenuBarControl(bar);
    form->Show();
    SetForegroundWindow(form->Handle());
    SetFocus(form->Handle());
    uitest::Pump();
  }
  void TearDown() override {
    EndMenu();
    delete form;
    uitest::Pump();
  }

  TMenuItem* AddItem(TMenuItem* parent, const std::string& caption) {
    auto* item = new TMenuItem(form);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  }
  // As a skinned panel does: from the last item to the first, each before the existing ones.
  void BindButtons() {
    for (int i = menu->Items()->Count() - 1; i >= 0; --i) {
      auto* button = new TToolButton(form);
      button->SetParent(bar);
      button->SetIndex(0);
      button->SetGrouped(true);
      button->SetMenuItem(menu->Items()->Items(i));
      button->SetAutoSize(true);
    }
  }
  POINT Over(int index) const {
    const TToolButton* b = bar->Buttons(index);
    return bar->ClientToScreen({b->Left() + b->Width() / 2, b->Top() + b->Height() / 2});
  }
  TStep WaitDropped(int index) {
    return [this, index] { return bar->DroppedButton() == bar->Buttons(index) && MenuWindowShown(); };
  }
  TStep WaitKeyboard(int index) {
    return [this, index] { return bar->KeyboardButton() == bar->Buttons(index) && !bar->DroppedButton(); };
  }
  static TStep Press(WORD key) {
    return [key] {
      uitest::PressKey(key);
      return true;
    };
  }
  // Runs SCRIPT; FIRST starts it (a press, a key) and the loop it enters returns when done.
  void Run(std::vector<TStep> steps, const std::function<void()>& first) {
    TScript script(std::move(steps));
    first();
    ASSERT_TRUE(uitest::PumpUntil([&] { return script.Over() && !bar->InMenuMode(); }, 10000));
    EXPECT_TRUE(script.Done()) << "stuck at step " << script.Step();
  }
  void ClickButton(int index) {
    uitest::MovePointerTo(Over(index));
    uitest::Pump();
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  }

  TForm* form = nullptr;
  TMainMenu* menu = nullptr;
  TMenuItem *file = nullptr, *open = nullptr, *exitItem = nullptr, *edit = nullptr, *paste = nullptr,
            *special = nullptr, *help = nullptr, *about = nullptr, *go = nullptr;
  TToolBar* bar = nullptr;
};

TEST_F(MenuBarLoop, ButtonsStandForTheTopLevelItemsInMenuOrder) {
  ASSERT_EQ(bar->ButtonCount(), 4);
  EXPECT_EQ(bar->Buttons(0)->Caption(), "&File");
  EXPECT_EQ(bar->Buttons(3)->Caption(), "&Go");
  EXPECT_EQ(bar->Buttons(0)->Left(), 0);
  EXPECT_EQ(bar->Buttons(1)->Left(), bar->Buttons(0)->Width());
  EXPECT_EQ(bar->Height(), 22);
}

TEST_F(MenuBarLoop, APressOpensTheDropDownAtTheButtonAndCrossingSwitchesIt) {
  HMENU fileMenu = file->SubMenuHandle();
  std::vector<TCustomDrawState> fileStates;
  bar->SetOnCustomDrawButton([&](TObject*, TToolButton* b, TCustomDrawState s, bool&) {
    if (b == bar->Buttons(0)) fileStates.push_back(s);
  });
  Run({WaitDropped(0),
       [&] {
         RECT r;
         GetWindowRect(FindWindowA("#32768", nullptr), &r);
         const POINT corner = bar->ClientToScreen({0, bar->Buttons(0)->Height()});
         EXPECT_EQ(r.left, corner.x);
         EXPECT_EQ(r.top, corner.y);
         EXPECT_NE(fileStates.back() & cdsSelected, 0u);
         uitest::MouseButton(MOUSEEVENTF_LEFTUP);  // taken by the menu: nothing is chosen
         return true;
       },
       [&] {
         uitest::MovePointerTo(Over(1));  // onto Edit while File is open
         return true;
       },
       WaitDropped(1),
       [&] {
         uitest::MovePointerTo(Over(3));  // Go has no sub-items: no switch
         return true;
       },
       [&] { return bar->DroppedButton() == bar->Buttons(1); },
       [&] {
         EndMenu();
         return true;
       }},
      [&] { ClickButton(0); });
  EXPECT_EQ(bar->DroppedButton(), nullptr);
  EXPECT_EQ(file->SubMenuHandle(), fileMenu);
}

TEST_F(MenuBarLoop, APressOnTheOpenButtonClosesItsDropDownForGood) {
  uitest::TMessageLog log(bar, {WM_INITMENUPOPUP});
  Run({WaitDropped(0),
       [&] {
         uitest::MouseButton(MOUSEEVENTF_LEFTUP);  // the press that opened it ends
         return true;
       },
       [&] {
         uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
         return true;
       },
       [&] { return !bar->InMenuMode(); },
       [&] {
         uitest::MouseButton(MOUSEEVENTF_LEFTUP);
         return true;
       },
       [&] { return GetCapture() == nullptr; }},
      [&] { ClickButton(0); });
  uitest::Pump();
  EXPECT_EQ(log.messages.size(), 1u);  // opened once, not again by the closing press
  EXPECT_FALSE(MenuWindowShown());
}

TEST_F(MenuBarLoop, LeftAndRightMoveBetweenDropDownsButNotOutOfACascade) {
  Run({WaitDropped(0), Press(VK_RIGHT), WaitDropped(1), Press(VK_RIGHT), WaitDropped(2),
       Press(VK_RIGHT), WaitDropped(0),  // Go is skipped, and the row wraps
       Press(VK_LEFT), WaitDropped(2), Press(VK_LEFT), WaitDropped(1),
       Press(VK_DOWN), Press(VK_DOWN),  // Cut, Paste (which opens a cascade)
       Press(VK_RIGHT),                 // opens Paste's cascade instead of moving on
       [&] { return MenuWindowsShown() == 2 && bar->DroppedButton() == bar->Buttons(1); },
       Press(VK_RIGHT),  // inside the cascade: still Edit
       Press(VK_LEFT),   // closes the cascade only
       [&] { return MenuWindowsShown() == 1; },
       [&] {
         EXPECT_EQ(bar->DroppedButton(), bar->Buttons(1));
         EndMenu();
         return true;
       }},
      [&] { bar->DropDownButton(bar->Buttons(0)); });
}

TEST_F(MenuBarLoop, TheChosenItemRunsOnceAfterTheMenuHasClosed) {
  int runs = 0;
  open->SetOnClick([&](TObject*) {
    ++runs;
    EXPECT_FALSE(bar->InMenuMode());
    EXPECT_EQ(bar->DroppedButton(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(MenuWindowShown());
  });
  Run({WaitDropped(0), Press(VK_DOWN), Press(VK_RETURN)}, [&] { ClickButton(0); });
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  uitest::Pump();
  EXPECT_EQ(runs, 1);
}

TEST_F(MenuBarLoop, ALetterInAnOwnerDrawnDropDownChoosesItsItem) {
  menu->SetOwnerDraw(true);
  int measured = 0, exits = 0;
  exitItem->SetOnMeasureItem([&](TObject*, TCanvas&, int& w, int& h) {
    ++measured;
    w = 80;
    h = 18;
  });
  exitItem->SetOnClick([&](TObject*) { ++exits; });
  Run({WaitDropped(0), Press('X')}, [&] { bar->DropDownButton(bar->Buttons(0)); });
  EXPECT_GT(measured, 0);  // owner-draw requests reached the item through the bar's window
  EXPECT_EQ(exits, 1);
}

// Wine's menu loop matches an owner-drawn item's letter by the text it keeps, so WM_MENUCHAR
// (for a loop that does not) is asked directly here.
TEST_F(MenuBarLoop, TheBarAnswersMenuCharWithTheItemOfThatAccelerator) {
  menu->SetOwnerDraw(true);
  HMENU fileMenu = file->SubMenuHandle();
  EXPECT_EQ(SendMessageA(bar->Handle(), WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), reinterpret_cast<LPARAM>(fileMenu)),
            MAKELRESULT(1, MNC_EXECUTE));
  EXPECT_EQ(SendMessageA(bar->Handle(), WM_MENUCHAR, MAKEWPARAM('O', MF_POPUP), reinterpret_cast<LPARAM>(fileMenu)),
            MAKELRESULT(0, MNC_EXECUTE));
  EXPECT_NE(HIWORD(SendMessageA(bar->Handle(), WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP),
                                reinterpret_cast<LPARAM>(fileMenu))),
            MNC_EXECUTE);
  exitItem->SetEnabled(false);
  EXPECT_NE(HIWORD(SendMessageA(bar->Handle(), WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP),
                                reinterpret_cast<LPARAM>(file->SubMenuHandle()))),
            MNC_EXECUTE);
}

TEST_F(MenuBarLoop, AButtonWithoutSubItemsClicksItsItem) {
  int runs = 0;
  go->SetOnClick([&](TObject*) { ++runs; });
  ClickButton(3);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return runs == 1; }));
  EXPECT_FALSE(bar->InMenuMode());
}

TEST_F(MenuBarLoop, AltAndALetterOpensThatDropDown) {
  Run({WaitDropped(1), [&] {
         EndMenu();
         return true;
       }},
      [&] { KeyWithAlt('E'); });
}

TEST_F(MenuBarLoop, F10EntersKeyboardModeAndEscapeLeavesItInTwoSteps) {
  Run({WaitKeyboard(0), Press(VK_RIGHT), WaitKeyboard(1), Press(VK_LEFT), Press(VK_LEFT), WaitKeyboard(2),
       Press(VK_RETURN), WaitDropped(2), Press(VK_ESCAPE), WaitKeyboard(2),  // back on Help
       Press(VK_ESCAPE), [&] { return !bar->InMenuMode(); }},
      [&] { uitest::PressKey(VK_F10); });
  EXPECT_EQ(bar->KeyboardButton(), nullptr);
}

TEST_F(MenuBarLoop, AltAloneEntersKeyboardModeThroughTheApplicationLoop) {
  TScript script({WaitKeyboard(0), Press(VK_ESCAPE)});
  uitest::PressKey(VK_MENU);
  ASSERT_TRUE(uitest::PumpUntil(
      [&] {
        Application->ProcessMessages();
        return script.Over() && !bar->InMenuMode();
      },
      10000));
  EXPECT_TRUE(script.Done()) << "stuck at step " << script.Step();
}

TEST_F(MenuBarLoop, AHandlerThatFreesTheFormLeavesNothingBehind) {
  open->SetOnClick([&](TObject*) {
    delete form;
    form = nullptr;
  });
  Run({WaitDropped(0), Press(VK_DOWN), Press(VK_RETURN)}, [&] { bar->DropDownButton(bar->Buttons(0)); });
  EXPECT_EQ(form, nullptr);
}

TEST_F(MenuBarLoop, AHandlerThatRebuildsTheButtonsLeavesNothingBehind) {
  int runs = 0;
  about->SetOnClick([&](TObject*) {
    ++runs;
    while (bar->ButtonCount()) delete bar->Buttons(0);
    BindButtons();
  });
  Run({WaitDropped(2), Press(VK_DOWN), Press(VK_RETURN)}, [&] { ClickButton(2); });
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  uitest::Pump();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(bar->ButtonCount(), 4);
  EXPECT_FALSE(bar->InMenuMode());
}

TEST_F(MenuBarLoop, HandleCountsStayOverManyDropDowns) {
  auto counts = [] {
    std::vector<int> n;
    for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k) n.push_back(LiveHandleCount(static_cast<THandleKind>(k)));
    return n;
  };
  file->SubMenuHandle();  // the menu's handle is built once, on first use
  const std::vector<int> before = counts();
  for (int i = 0; i < 200; ++i) {
    TScript script({WaitDropped(i % 3), [] {
                      EndMenu();
                      return true;
                    }});
    bar->DropDownButton(bar->Buttons(i % 3));
    ASSERT_TRUE(script.Done()) << i << ", stuck at step " << script.Step();
  }
  EXPECT_EQ(counts(), before);
}

TEST(MenuSubMenuHandle, IsTheSubMenuInsideTheBuiltHandle) {
  TMainMenu menu(nullptr);
  auto* file = new TMenuItem(&menu);
  auto* open = new TMenuItem(&menu);
  auto* lone = new TMenuItem(&menu);
  menu.Items()->Add(file);
  file->Add(open);
  menu.Items()->Add(lone);
  EXPECT_EQ(file->SubMenuHandle(), GetSubMenu(menu.Handle(), 0));
  EXPECT_NE(file->SubMenuHandle(), nullptr);
  EXPECT_EQ(lone->SubMenuHandle(), nullptr);  // no sub-items
  EXPECT_EQ(open->SubMenuHandle(), nullptr);
  open->SetVisible(false);
  EXPECT_EQ(file->SubMenuHandle(), nullptr);  // no visible sub-items
  open->SetVisible(true);
  TMenuItem loose(nullptr);
  loose.Add(new TMenuItem(nullptr));
  EXPECT_EQ(loose.Items(0)->SubMenuHandle(), nullptr);  // belongs to no menu
  EXPECT_EQ(loose.SubMenuHandle(), nullptr);
}

TEST(MenuChangeNotice, SaysWhetherTheTopLevelChanged) {
  TMainMenu menu(nullptr);
  struct TNotice {
    TMenuItem* source;
    bool rebuild;
  };
  std::vector<TNotice> notices;
  menu.SetOnChange([&](TObject* sender, TMenuItem* source, bool rebuild) {
    EXPECT_EQ(sender, &menu);
    notices.push_back({source, rebuild});
  });
  auto* file = new TMenuItem(&menu);
  auto* open = new TMenuItem(&menu);
  menu.Items()->Add(file);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_TRUE(notices.back().rebuild);  // added under the root
  EXPECT_EQ(notices.back().source, menu.Items());
  file->Add(open);
  EXPECT_FALSE(notices.back().rebuild);  // a deeper level
  EXPECT_EQ(notices.back().source, file);
  open->SetCaption("&Open");
  EXPECT_FALSE(notices.back().rebuild);
  EXPECT_EQ(notices.back().source, open);
  file->SetEnabled(false);
  EXPECT_FALSE(notices.back().rebuild);
  EXPECT_EQ(notices.back().source, file);
  menu.Items()->Insert(0, open);  // moved up to the top level
  EXPECT_TRUE(notices.back().rebuild);
  menu.SetAutoHotkeys(maAutomatic);
  EXPECT_EQ(notices.back().source, nullptr);
  EXPECT_FALSE(notices.back().rebuild);
  delete file;
  EXPECT_TRUE(notices.back().rebuild);  // removed from the root
}

}  // namespace
