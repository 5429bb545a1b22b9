#include "tools/skin-demo/DemoMain.h"

#include <memory>

#include "tools/skin-demo/DemoAbout.h"
#include "tools/skin-demo/DemoChild.h"
#include "tools/skin-demo/DemoControls.h"
#include "tools/skin-demo/DemoStyles.h"

TDemoMainForm* DemoMainForm = nullptr;

void TDemoMainForm::DeclarePublished(TPublished<TDemoMainForm>& p) {
  p.Field("kyrMDIForm1", &TDemoMainForm::kyrMDIForm1);
  p.Field("ImageList1", &TDemoMainForm::ImageList1);
  p.Field("kyrPopupMenu1", &TDemoMainForm::kyrPopupMenu1);
  p.Field("MacOS2", &TDemoMainForm::MacOS2);
  p.Field("WinXP2", &TDemoMainForm::WinXP2);
  p.Field("DeepBlue2", &TDemoMainForm::DeepBlue2);
  p.Field("Protein2", &TDemoMainForm::Protein2);
  p.Field("BlueGlass2", &TDemoMainForm::BlueGlass2);
  p.Field("kyrToolBar1", &TDemoMainForm::kyrToolBar1);
  p.Field("NewChildButton", &TDemoMainForm::NewChildButton);
  p.Field("CascadeButton", &TDemoMainForm::CascadeButton);
  p.Field("ToolSeparator1", &TDemoMainForm::ToolSeparator1);
  p.Field("LockButton", &TDemoMainForm::LockButton);
  p.Field("StyleButton", &TDemoMainForm::StyleButton);
  p.Field("kyrFileTheme1", &TDemoMainForm::kyrFileTheme1);
  p.Field("OpenDialog1", &TDemoMainForm::OpenDialog1);
  p.Field("kyrMainMenu1", &TDemoMainForm::kyrMainMenu1);
  p.Field("File1", &TDemoMainForm::File1);
  p.Field("OpenThemeFile1", &TDemoMainForm::OpenThemeFile1);
  p.Field("N1", &TDemoMainForm::N1);
  p.Field("Exit1", &TDemoMainForm::Exit1);
  p.Field("Style1", &TDemoMainForm::Style1);
  p.Field("MacOS1", &TDemoMainForm::MacOS1);
  p.Field("WinXP1", &TDemoMainForm::WinXP1);
  p.Field("DeepBlue1", &TDemoMainForm::DeepBlue1);
  p.Field("Protein1", &TDemoMainForm::Protein1);
  p.Field("BlueGlass1", &TDemoMainForm::BlueGlass1);
  p.Field("N2", &TDemoMainForm::N2);
  p.Field("FromThemeFile1", &TDemoMainForm::FromThemeFile1);
  p.Field("Window1", &TDemoMainForm::Window1);
  p.Field("NewChild1", &TDemoMainForm::NewChild1);
  p.Field("NewMenuChild1", &TDemoMainForm::NewMenuChild1);
  p.Field("Records1", &TDemoMainForm::Records1);
  p.Field("N3", &TDemoMainForm::N3);
  p.Field("Cascade1", &TDemoMainForm::Cascade1);
  p.Field("TileHorizontally1", &TDemoMainForm::TileHorizontally1);
  p.Field("TileVertically1", &TDemoMainForm::TileVertically1);
  p.Field("CloseAll1", &TDemoMainForm::CloseAll1);
  p.Field("Help1", &TDemoMainForm::Help1);
  p.Field("AboutSkinDemo1", &TDemoMainForm::AboutSkinDemo1);
  p.Method("OpenThemeFileClick", &TDemoMainForm::OpenThemeFileClick);
  p.Method("ExitClick", &TDemoMainForm::ExitClick);
  p.Method("StyleClick", &TDemoMainForm::StyleClick);
  p.Method("StyleButtonClick", &TDemoMainForm::StyleButtonClick);
  p.Method("AboutClick", &TDemoMainForm::AboutClick);
  p.Method("LockClick", &TDemoMainForm::LockClick);
  p.Method("NewChildClick", &TDemoMainForm::NewChildClick);
  p.Method("NewMenuChildClick", &TDemoMainForm::NewMenuChildClick);
  p.Method("RecordsClick", &TDemoMainForm::RecordsClick);
  p.Method("CascadeClick", &TDemoMainForm::CascadeClick);
  p.Method("TileHorizontallyClick", &TDemoMainForm::TileHorizontallyClick);
  p.Method("TileVerticallyClick", &TDemoMainForm::TileVerticallyClick);
  p.Method("CloseAllClick", &TDemoMainForm::CloseAllClick);
}

std::vector<TMenuItem*> TDemoMainForm::StyleItems() const {
  return {MacOS1, WinXP1, DeepBlue1, Protein1, BlueGlass1, FromThemeFile1};
}

std::vector<TMenuItem*> TDemoMainForm::DropdownStyleItems() const {
  return {MacOS2, WinXP2, DeepBlue2, Protein2, BlueGlass2};
}

void TDemoMainForm::OpenThemeFileClick(TObject*) {
  if (!OpenDialog1->Execute()) return;
  const std::string chosen = OpenDialog1->FileName(), before = kyrFileTheme1->ThemeFile();
  // A file without the theme magic is refused with an exception (the message loop's error box)
  // and leaves the theme as it was; a name found nowhere changes nothing, so the theme is the
  // chosen file only when its path moved or already was that file.
  kyrFileTheme1->SetThemeFile(chosen);
  const bool taken = kyrFileTheme1->ThemeFile() != before || chosen == before;
  if (taken && kyrFileTheme1->IsThemeLoaded()) SelectStyle(FromThemeFile);
}

void TDemoMainForm::ExitClick(TObject*) { Close(); }

void TDemoMainForm::StyleClick(TObject* Sender) {
  const auto* item = dynamic_cast<const TComponent*>(Sender);
  if (!item || item->Tag() < FromThemeFile || item->Tag() > BlueGlass) return;
  const auto style = static_cast<TkyrUIStyle>(item->Tag());
  if (style == FromThemeFile && !kyrFileTheme1->IsThemeLoaded()) {
    OpenThemeFileClick(Sender);
    return;
  }
  SelectStyle(style);
}

void TDemoMainForm::StyleButtonClick(TObject*) { kyrToolBar1->OpenDropdownMenu(StyleButton); }

void TDemoMainForm::AboutClick(TObject*) { DemoAboutForm->Show(); }

void TDemoMainForm::SelectStyle(TkyrUIStyle style) {
  style_ = style;
  RestyleAllForms(style, kyrFileTheme1);
  for (TMenuItem* item : StyleItems()) item->SetChecked(item->Tag() == style);
  for (TMenuItem* item : DropdownStyleItems()) item->SetChecked(item->Tag() == style);
}

void TDemoMainForm::LockClick(TObject*) {
  const bool free = !ArrangementLocked();
  CascadeButton->SetEnabled(free);
  for (TMenuItem* item : {Cascade1, TileHorizontally1, TileVertically1}) item->SetEnabled(free);
  for (int i = 0; i < MDIChildCount(); ++i)
    if (auto* child = dynamic_cast<TDemoMenuChildForm*>(MDIChildren(i))) child->SetArrangementEnabled(free);
}

void TDemoMainForm::NewChildClick(TObject*) { NewChild(); }
void TDemoMainForm::NewMenuChildClick(TObject*) { NewMenuChild(); }
void TDemoMainForm::RecordsClick(TObject*) { OpenRecords(); }
// The handlers refuse while locked too, not only their disabled items: code calls them directly
// (a menu child forwards its Window commands here).
void TDemoMainForm::CascadeClick(TObject*) {
  if (!ArrangementLocked()) kyrMDIForm1->CascadeChildren();
}

void TDemoMainForm::TileHorizontallyClick(TObject*) { Tile(tbHorizontal); }
void TDemoMainForm::TileVerticallyClick(TObject*) { Tile(tbVertical); }

void TDemoMainForm::Tile(TTileMode mode) {
  if (ArrangementLocked()) return;
  SetTileMode(mode);
  kyrMDIForm1->TileChildren();
}

void TDemoMainForm::CloseAllClick(TObject*) {
  // Collected first: a child that frees itself at once would shift the indexes under the loop.
  std::vector<TCustomForm*> children;
  for (int i = 0; i < MDIChildCount(); ++i) children.push_back(MDIChildren(i));
  for (TCustomForm* child : children) child->Close();
}

// Every window of a class reads the same stored name, but the application's components need
// names of their own: the child is read unowned, named NAME, and then given to the application.
template <class T>
T* TDemoMainForm::Created(const std::string& name) {
  std::unique_ptr<T> child(CreateForm<T>(nullptr));
  child->SetName(name + std::to_string(++formSerial_));
  Application->InsertComponent(child.get());
  return child.release();
}

template <class T>
T* TDemoMainForm::Opened(T* child) {
  RestyleForm(*child, style_, kyrFileTheme1);
  child->Show();
  return child;
}

std::string TDemoMainForm::NextChildTitle() { return "Child " + std::to_string(nextChild_++); }

TDemoControlsForm* TDemoMainForm::OpenControls() { return Opened(Created<TDemoControlsForm>("DemoControlsForm")); }

TDemoChildForm* TDemoMainForm::NewChild() {
  auto* child = Created<TDemoChildForm>("DemoChildForm");
  child->SetTitle(NextChildTitle());
  return Opened(child);
}

TDemoMenuChildForm* TDemoMainForm::NewMenuChild() {
  auto* child = Created<TDemoMenuChildForm>("DemoMenuChildForm");
  child->SetTitle(NextChildTitle());
  child->SetArrangementEnabled(!ArrangementLocked());
  return Opened(child);
}

TDemoRecordsForm* TDemoMainForm::OpenRecords() {
  if (TDemoRecordsForm* open = recordsForm_.Get()) {
    if (open->WindowState() == wsMinimized) open->SetWindowState(wsNormal);
    SendMessageA(ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(open->Handle()), 0);
    return open;
  }
  std::unique_ptr<TDemoRecordsForm> form(Created<TDemoRecordsForm>("DemoRecordsForm"));
  try {
    form->OpenData(records_);
  } catch (const std::exception& e) {
    // Before the child is shown: a table that cannot be opened leaves no empty window behind.
    form.reset();
    Application->ShowException(e);
    return nullptr;
  }
  recordsForm_ = form.get();
  return Opened(form.release());
}

void TDemoMainForm::OpenStartChildren() {
  OpenControls();
  NewChild();
  NewMenuChild();
  kyrMDIForm1->CascadeChildren();
}
