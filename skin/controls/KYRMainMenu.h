// The skinned main menu: a TMainMenu whose items, at every level, are measured and drawn like the
// skinned popup menu's (KYRPopupMenu.h, the same routines). It is never the form's native menu:
// made on a form, it clears the form's menu and gives itself to the first skinned form panel on
// it (an IkyrMenuHost), whose menu bar shows one button per top-level item and drops the items
// down.
//
//   auto* menu = new TkyrMainMenu(form);      // after the TkyrForm: the panel's bar shows it
//   AddItems(menu->Items());                  // the bar follows: a new top-level item, a button
//   menu->SetUIStyle(WinXP);                  // the next drop-down has the new colours
//
// The menu always has an image list, its check-mark list when the user gives none: the framework
// owner-draws a menu with images, so the items always reach the routines. Images reads none then.
#pragma once

#include "framework/ui/Menus.h"
#include "skin/controls/KYRPopupMenu.h"

// The panel that shows a main menu in its menu bar (the skinned form, the MDI frame).
class IkyrMenuHost {
public:
  // Shows VALUE in the menu bar (nullptr: no menu bar); the host tells a skinned main menu
  // that it is, or no longer is, its host.
  virtual void SetMenu(TMainMenu* value) = 0;
  // The top-level list changed: the bar's buttons are made again (after the current message).
  virtual void UpdateMenuBar() = 0;
  // Only items changed: the buttons' captions and enabled states follow.
  virtual void UpdateMenuBarItems() = 0;
  // The menu's font settings changed: the bar takes them.
  virtual void UpdateMenuBarFont() = 0;

protected:
  ~IkyrMenuHost() = default;
};

class TkyrMainMenu : public TkyrSkinnedMenu<TMainMenu> {
  VANTOR_CLASS(TkyrMainMenu, TkyrSkinnedMenu<TMainMenu>)
public:
  // Attaches itself to the owner form's first skinned panel (the last step of construction:
  // the hook that runs once the menu is whole).
  explicit TkyrMainMenu(TComponent* owner);
  ~TkyrMainMenu() override;

  // The user's image list; none while the check-mark list stands in.
  TImageList* Images() const;
  void SetImages(TImageList* value);
  // Always true; writes are ignored.
  bool OwnerDraw() const { return true; }
  void SetOwnerDraw(bool) {}

  // The panel showing this menu, set and cleared by that panel (IkyrMenuHost::SetMenu).
  IkyrMenuHost* Host() const;
  void SetHost(TComponent* host);

  void MenuChanged(TMenuItem* source, bool rebuild) override;
  static void DeclarePublished(TPublished<TkyrMainMenu>& p);

protected:
  TImageList* IconImages() const override { return Images(); }
  void FontChanged() override;
  void Loaded() override;

private:
  void AttachToForm();
  void InstallCheckMarks();

  TComponentRef<TComponent> host_{this};
  bool userImages_ = false;
};
