#include "framework/ui/Dialogs.h"

#include <commdlg.h>

#include <vector>

#include "framework/ui/Forms.h"

namespace {

TFileDialogHook& FileDialogHook() {
  static TFileDialogHook hook;
  return hook;
}

TMessageBoxHook& MessageBoxHook() {
  static TMessageBoxHook hook;
  return hook;
}

struct TOptionFlag {
  TOpenOption option;
  DWORD flag;
};
constexpr TOptionFlag kOptionFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoLongNames, OFN_NOLONGNAMES},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
};

// The dialog as COMDLG32 runs it; the request's values go in, the answer comes out.
TFileDialogAnswer RunCommonDialog(const TFileDialogRequest& request) {
  std::vector<char> name(32 * 1024, '\0');  // room for long paths and multi-selection
  request.FileName.copy(name.data(), name.size() - 1);
  const std::string filter = CommonDialogFilter(request.Filter);
  std::string ext = request.DefaultExt;
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);  // lpstrDefExt wants no dot
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Application->DialogOwner();
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(request.FilterIndex);
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = request.InitialDir.empty() ? nullptr : request.InitialDir.c_str();
  ofn.lpstrTitle = request.Title.empty() ? nullptr : request.Title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = OpenOptionFlags(request.Options);
  const BOOL ok = request.Save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  TFileDialogAnswer answer;
  answer.Accepted = ok != FALSE;
  answer.FileName = name.data();
  answer.FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return answer;
}

}  // namespace

DWORD OpenOptionFlags(TOpenOptions options) {
  DWORD flags = options.Contains(ofOldStyleDialog) ? 0 : OFN_EXPLORER;
  for (const TOptionFlag& f : kOptionFlags)
    if (options.Contains(f.option)) flags |= f.flag;
  return flags;
}

std::string CommonDialogFilter(const std::string& filter) {
  if (filter.empty()) return {};
  std::string list = filter;
  for (char& c : list)
    if (c == '|') c = '\0';
  list.push_back('\0');
  list.push_back('\0');
  return list;
}

TFileDialogHook SetFileDialogHook(TFileDialogHook hook) {
  TFileDialogHook previous = std::move(FileDialogHook());
  FileDialogHook() = std::move(hook);
  return previous;
}

bool TOpenDialog::Execute() { return Run(false); }

bool TSaveDialog::Execute() { return Run(true); }

bool TOpenDialog::Run(bool save) {
  TFileDialogRequest request;
  request.Save = save;
  request.Filter = filter_;
  request.DefaultExt = defaultExt_;
  request.FileName = fileName_;
  request.Title = title_;
  request.InitialDir = initialDir_;
  request.FilterIndex = filterIndex_;
  request.Options = options_;
  const TFileDialogAnswer answer = FileDialogHook() ? FileDialogHook()(request) : RunCommonDialog(request);
  if (!answer.Accepted) return false;
  fileName_ = answer.FileName;
  filterIndex_ = answer.FilterIndex;
  return true;
}

void TOpenDialog::DeclarePublished(TPublished<TOpenDialog>& p) {
  p.String("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  p.Integer("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex);
  p.String("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  p.String("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  p.String("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
  p.String("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  p.Set("Options", OpenOptionInfo, &TOpenDialog::Options, &TOpenDialog::SetOptions);
}

// ---- message boxes ----
TMessageBoxHook SetMessageBoxHook(TMessageBoxHook hook) {
  TMessageBoxHook previous = std::move(MessageBoxHook());
  MessageBoxHook() = std::move(hook);
  return previous;
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  if (MessageBoxHook()) return MessageBoxHook()(owner, text, caption, flags);
  return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void ShowMessage(const std::string& text) {
  ShowMessageBox(Application->DialogOwner(), text, Application->Title(), MB_OK | MB_ICONINFORMATION);
}

// ---- message dialogs ----

UINT MessageDlgFlags(TMsgDlgType type, TMsgDlgButtons buttons) {
  static constexpr UINT icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
  struct TRow {
    UINT flags;
    TMsgDlgButtons buttons;
  };
  static const TRow rows[] = {{MB_OK, {mbOK}},
                              {MB_OKCANCEL, {mbOK, mbCancel}},
                              {MB_YESNO, {mbYes, mbNo}},
                              {MB_YESNOCANCEL, {mbYes, mbNo, mbCancel}},
                              {MB_RETRYCANCEL, {mbRetry, mbCancel}},
                              {MB_ABORTRETRYIGNORE, {mbAbort, mbRetry, mbIgnore}}};
  // The message box has no "to all" buttons: their single forms stand in.
  TMsgDlgButtons wanted;
  for (int b = mbYes; b <= mbIgnore; ++b)
    if (buttons.Contains(TMsgDlgBtn(b))) wanted.Include(TMsgDlgBtn(b));
  if (buttons.Contains(mbYesToAll) || buttons.Contains(mbAll)) wanted.Include(mbYes);
  if (buttons.Contains(mbNoToAll)) wanted.Include(mbNo);
  UINT row = MB_OK;
  int best = -1;
  for (const TRow& r : rows) {
    int held = 0, missing = 0;
    for (int b = mbYes; b <= mbIgnore; ++b)
      if (wanted.Contains(TMsgDlgBtn(b))) (r.buttons.Contains(TMsgDlgBtn(b)) ? held : missing)++;
    if (missing == 0) {
      row = r.flags;
      break;
    }
    if (held > best) {
      best = held;
      row = r.flags;
    }
  }
  UINT flags = row | icons[type] | MB_DEFBUTTON1;
  if (buttons.Contains(mbHelp)) flags |= MB_HELP;
  return flags;
}

std::string MessageDlgCaption(TMsgDlgType type) {
  static const char* const captions[] = {"Warning", "Error", "Information", "Confirm"};
  return type == mtCustom ? Application->Title() : captions[type];
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
  (void)helpContext;
  int answer = ShowMessageBox(Application->DialogOwner(), text, MessageDlgCaption(type), MessageDlgFlags(type, buttons));
  return answer == 0 ? mrCancel : answer;
}
