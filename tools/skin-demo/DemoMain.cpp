#include "tools/skin-demo/DemoMain.h"

#include "tools/skin-demo/DemoAbout.h"
#include "tools/skin-demo/DemoStyles.h"

TDemoMainForm* DemoMainForm = nullptr;

void TDemoMainForm::DeclarePublished(TPublished<TDemoMainForm>& p) {
  p.Field("kyrForm1", &TDemoMainForm::kyrForm1);
  p.Field("ButtonsLabel", &TDemoMainForm::ButtonsLabel);
  p.Field("kyrButton1", &TDemoMainForm::kyrButton1);
  p.Field("kyrButton2", &TDemoMainForm::kyrButton2);
  p.Field("kyrButton3", &TDemoMainForm::kyrButton3);
  p.Field("kyrImageButton1", &TDemoMainForm::kyrImageButton1);
  p.Field("ImageButtonLabel", &TDemoMainForm::ImageButtonLabel);
  p.Field("LinkLabel", &TDemoMainForm::LinkLabel);
  p.Field("kyrURLLabel1", &TDemoMainForm::kyrURLLabel1);
  p.Field("TrackBarsLabel", &TDemoMainForm::TrackBarsLabel);
  p.Field("kyrTrackBar1", &TDemoMainForm::kyrTrackBar1);
  p.Field("kyrTrackBar2", &TDemoMainForm::kyrTrackBar2);
  p.Field("kyrTrackBar3", &TDemoMainForm::kyrTrackBar3);
  p.Field("ImagePanelsLabel", &TDemoMainForm::ImagePanelsLabel);
  p.Field("kyrImagePanel1", &TDemoMainForm::kyrImagePanel1);
  p.Field("kyrImagePanel2", &TDemoMainForm::kyrImagePanel2);
  p.Field("kyrImagePanel3", &TDemoMainForm::kyrImagePanel3);
  p.Field("CaptionPanelLabel", &TDemoMainForm::CaptionPanelLabel);
  p.Field("kyrImagePanel4", &TDemoMainForm::kyrImagePanel4);
  p.Field("MemoLabel", &TDemoMainForm::MemoLabel);
  p.Field("kyrScrollBar1", &TDemoMainForm::kyrScrollBar1);
  p.Field("kyrScrollBar2", &TDemoMainForm::kyrScrollBar2);
  p.Field("kyrMemo1", &TDemoMainForm::kyrMemo1);
  p.Field("ScrollBarLabel", &TDemoMainForm::ScrollBarLabel);
  p.Field("kyrScrollBar3", &TDemoMainForm::kyrScrollBar3);
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
  p.Field("Help1", &TDemoMainForm::Help1);
  p.Field("AboutSkinDemo1", &TDemoMainForm::AboutSkinDemo1);
  p.Method("OpenThemeFileClick", &TDemoMainForm::OpenThemeFileClick);
  p.Method("ExitClick", &TDemoMainForm::ExitClick);
  p.Method("StyleClick", &TDemoMainForm::StyleClick);
  p.Method("AboutClick", &TDemoMainForm::AboutClick);
}

std::vector<TMenuItem*> TDemoMainForm::StyleItems() const {
  return {MacOS1, WinXP1, DeepBlue1, Protein1, BlueGlass1, FromThemeFile1};
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

void TDemoMainForm::AboutClick(TObject*) { DemoAboutForm->Show(); }

void TDemoMainForm::SelectStyle(TkyrUIStyle style) {
  style_ = style;
  RestyleAllForms(style, kyrFileTheme1);
  for (TMenuItem* item : StyleItems()) item->SetChecked(item->Tag() == style);
}
