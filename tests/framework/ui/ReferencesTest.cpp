// References between components that are not owned: each clears itself when its target goes,
// whether the target has the holder's owner or another one, and its holder's follow-up (the
// form detaching its menu bar, the action telling its clients) runs once.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/ui/ActnList.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// One reference: SET points the holder at a new target owned by OWNER and returns it; GET reads
// the reference back.
struct TRefCase {
  const char* Name;
  std::function<TComponent*(uitest::TShownForm& shown, TComponent* owner)> Set;
  std::function<TComponent*(uitest::TShownForm& shown)> Get;
};

TComponent* NewMainMenu(uitest::TShownForm& shown, TComponent* owner) {
  auto* menu = new TMainMenu(owner);
  auto* item = new TMenuItem(owner);
  item->SetCaption("&File");
  menu->Items()->Add(item);
  shown->SetMenu(menu);
  return menu;
}

const TRefCase kRefs[] = {
    {"popup menu of a control",
     [](uitest::TShownForm& s, TComponent* owner) {
       auto* menu = new TPopupMenu(owner);
       s->SetPopupMenu(menu);
       return static_cast<TComponent*>(menu);
     },
     [](uitest::TShownForm& s) -> TComponent* { return s->PopupMenu(); }},
    {"main menu of a form", NewMainMenu, [](uitest::TShownForm& s) -> TComponent* { return s->Menu(); }},
    {"active control of a form",
     [](uitest::TShownForm& s, TComponent* owner) {
       auto* edit = new TButton(owner);
       edit->SetParent(s.form);
       s->SetActiveControl(edit);
       return static_cast<TComponent*>(edit);
     },
     [](uitest::TShownForm& s) -> TComponent* { return s->ActiveControl(); }},
};

TEST(ComponentReferences, EachClearsItselfWhenItsTargetGoesFromAnyOwner) {
  for (const TRefCase& c : kRefs) {
    for (bool sameOwner : {true, false}) {
      SCOPED_TRACE(std::string(c.Name) + (sameOwner ? ", same owner" : ", another owner"));
      uitest::TShownForm shown;
      TComponent elsewhere(nullptr);
      TComponent* target = c.Set(shown, sameOwner ? static_cast<TComponent*>(shown.form) : &elsewhere);
      ASSERT_EQ(c.Get(shown), target);
      delete target;
      EXPECT_EQ(c.Get(shown), nullptr);
    }
  }
}

// The form detaches a menu that goes: its window shows no menu bar any more.
TEST(ComponentReferences, AFormWhoseMenuGoesShowsNoMenuBar) {
  uitest::TShownForm shown;
  TComponent elsewhere(nullptr);
  TComponent* menu = NewMainMenu(shown, &elsewhere);
  ASSERT_NE(GetMenu(shown->Handle()), nullptr);
  delete menu;
  EXPECT_EQ(GetMenu(shown->Handle()), nullptr);
}

TEST(ComponentReferences, APopupMenuForgetsTheComponentThatAskedForIt) {
  TComponent owner(nullptr), elsewhere(nullptr);
  TPopupMenu menu(&owner);
  auto* asker = new TPanel(&elsewhere);
  menu.SetPopupComponent(asker);
  ASSERT_EQ(menu.PopupComponent(), asker);
  delete asker;
  EXPECT_EQ(menu.PopupComponent(), nullptr);
}

TEST(ComponentReferences, TheMainFormThatGoesIsNoLongerMain) {
  TApplication app(nullptr);
  TForm* first = nullptr;
  app.CreateForm(first);
  ASSERT_EQ(app.MainForm(), first);
  delete first;
  EXPECT_EQ(app.MainForm(), nullptr);
}

// The action tells its clients once that its list went, whether the list is a sibling (told as
// a component of the same owner and as a free-notification partner) or not.
TEST(ComponentReferences, AnActionTellsItsClientsOnceThatItsListWent) {
  for (bool sameOwner : {true, false}) {
    SCOPED_TRACE(sameOwner ? "same owner" : "another owner");
    TComponent owner(nullptr), elsewhere(nullptr);
    TAction action(&owner);
    auto* list = new TActionList(sameOwner ? &owner : &elsewhere);
    action.SetActionList(list);
    int changes = 0;
    TActionList* seen = list;
    action.RegisterChanges(&changes, [&](TObject*) {
      ++changes;
      seen = action.ActionList();
    });
    delete list;
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seen, nullptr);  // the reference is clear when the clients hear of it
    action.UnregisterChanges(&changes);
  }
}

}  // namespace
