#include "skin/controls/KYRMainMenu.h"

#include "framework/ui/Forms.h"

TkyrMainMenu::TkyrMainMenu(TComponent* owner) : TkyrSkinnedMenu(owner) {
  InstallCheckMarks();
  InitUIStyle();
  AttachToForm();
}

// Off the host first (its bar lets go of the items while they still belong to a whole menu),
// then the check marks out of the menu before the list's reference goes.
TkyrMainMenu::~TkyrMainMenu() {
  Destroying();
  if (IkyrMenuHost* host = Host()) host->SetMenu(nullptr);
  TMenu::SetImages(nullptr);
}

void TkyrMainMenu::AttachToForm() {
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  if (!form) return;
  form->SetMenu(nullptr);
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* host = dynamic_cast<IkyrMenuHost*>(form->Controls(i))) return host->SetMenu(this);
}

void TkyrMainMenu::InstallCheckMarks() {
  userImages_ = false;
  TMenu::SetImages(&CheckMarks().Images());
}

TImageList* TkyrMainMenu::Images() const { return userImages_ ? TMenu::Images() : nullptr; }

void TkyrMainMenu::SetImages(TImageList* value) {
  if (!value) return InstallCheckMarks();
  userImages_ = true;
  TMenu::SetImages(value);
}

IkyrMenuHost* TkyrMainMenu::Host() const { return dynamic_cast<IkyrMenuHost*>(host_.Get()); }

void TkyrMainMenu::SetHost(TComponent* host) { host_ = dynamic_cast<IkyrMenuHost*>(host) ? host : nullptr; }

void TkyrMainMenu::FontChanged() {
  if (IkyrMenuHost* host = Host(); host && !IsDestroying()) host->UpdateMenuBarFont();
}

void TkyrMainMenu::Loaded() {
  inherited::Loaded();
  if (IkyrMenuHost* host = Host()) host->UpdateMenuBar();
}

// A user's list that went leaves the menu without images: the check marks come back, so the
// items stay owner-drawn. A new top-level list makes the host rebuild its bar (after the current
// message); any other change only updates the buttons.
void TkyrMainMenu::MenuChanged(TMenuItem* source, bool rebuild) {
  if (!TMenu::Images() && !IsDestroying()) return InstallCheckMarks();
  inherited::MenuChanged(source, rebuild);
  if (IsDestroying()) return;
  InstallDrawHandlers();
  IkyrMenuHost* host = Host();
  if (!host || InState(csLoading)) return;
  if (rebuild) {
    host->UpdateMenuBar();
  } else {
    host->UpdateMenuBarItems();
  }
}

void TkyrMainMenu::DeclarePublished(TPublished<TkyrMainMenu>& p) {
  p.Component("Images", &TkyrMainMenu::Images, &TkyrMainMenu::SetImages);
  p.Boolean("OwnerDraw", &TkyrMainMenu::OwnerDraw, &TkyrMainMenu::SetOwnerDraw);
  DeclareLook(p);
}
