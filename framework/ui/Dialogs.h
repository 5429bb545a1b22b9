// File dialogs over COMDLG32 and message boxes over MessageBoxA, with test seams.
//
// TOpenDialog / TSaveDialog keep Filter ("Text|*.txt|All|*.*"), FilterIndex (1-based),
// DefaultExt (".exe" or "exe"), FileName, Title, InitialDir and Options between uses. The
// default options are ofHideReadOnly and ofEnableSizing: no file-must-exist check and no
// overwrite prompt unless asked for.
//
// Seams: SetFileDialogHook makes Execute ask the hook instead of COMDLG32 (it sees what the
// dialog would show and answers); SetMessageBoxHook does the same for ShowMessageBox. An empty
// hook puts the real call back. Both return the hook they replaced.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/core/Classes.h"

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing,
};
using TOpenOptions = TSet<TOpenOption>;
inline const TEnumInfo OpenOptionInfo(
    "TOpenOption", {"ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp", "ofNoValidate",
                    "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist",
                    "ofCreatePrompt", "ofShareAware", "ofNoReadOnlyReturn", "ofNoTestFileCreate",
                    "ofNoNetworkButton", "ofNoLongNames", "ofOldStyleDialog", "ofNoDereferenceLinks",
                    "ofEnableIncludeNotify", "ofEnableSizing"});
inline constexpr TOpenOptions DefaultOpenOptions{ofHideReadOnly, ofEnableSizing};

// The OFN_* flags for OPTIONS (always explorer style unless ofOldStyleDialog).
DWORD OpenOptionFlags(TOpenOptions options);
// "a|b|c|d" as the double-NUL-terminated list GetOpenFileNameA wants.
std::string CommonDialogFilter(const std::string& filter);

// What a file dialog is about to show, and what it answers.
struct TFileDialogRequest {
  bool Save = false;
  std::string Filter, DefaultExt, FileName, Title, InitialDir;
  int FilterIndex = 1;
  TOpenOptions Options;
};
struct TFileDialogAnswer {
  bool Accepted = false;
  std::string FileName;
  int FilterIndex = 1;
};
using TFileDialogHook = std::function<TFileDialogAnswer(const TFileDialogRequest& request)>;
TFileDialogHook SetFileDialogHook(TFileDialogHook hook);

class TOpenDialog : public TComponent {
  VANTOR_CLASS(TOpenDialog, TComponent)
public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}

  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& value) { filter_ = value; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int value) { filterIndex_ = value; }
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& value) { defaultExt_ = value; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value) { fileName_ = value; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& value) { initialDir_ = value; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions value) { options_ = value; }

  // Shows the dialog; true (FileName and FilterIndex updated) when the user confirmed.
  virtual bool Execute();
  static void DeclarePublished(TPublished<TOpenDialog>& p);

protected:
  bool Run(bool save);

private:
  std::string filter_, defaultExt_, fileName_, title_, initialDir_;
  int filterIndex_ = 1;
  TOpenOptions options_ = DefaultOpenOptions;
};

class TSaveDialog : public TOpenDialog {
  VANTOR_CLASS(TSaveDialog, TOpenDialog)
public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
  bool Execute() override;
};

// ---- message boxes ----
using TMessageBoxHook = std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>;
TMessageBoxHook SetMessageBoxHook(TMessageBoxHook hook);
// MessageBoxA (or the hook); returns the button pressed (IDOK ...).
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
// An information box with an OK button; the caption is the application's title.
void ShowMessage(const std::string& text);

// ---- message dialogs ----
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo}, mbYesNoCancel{mbYes, mbNo, mbCancel}, mbOKCancel{mbOK, mbCancel},
    mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The message box's MB_* flags for a dialog of TYPE with BUTTONS: the icon of the type, and
// the first of the message box's button rows that holds every button asked for (OK; OK and
// Cancel; Yes and No; Yes, No and Cancel; Retry and Cancel; Abort, Retry and Ignore). The
// "to all" buttons are shown as their single forms; a set no row holds gets the row holding
// most of it; mbHelp adds a Help button. The first button is the default.
UINT MessageDlgFlags(TMsgDlgType type, TMsgDlgButtons buttons);
// The caption of TYPE: "Warning", "Error", "Information", "Confirm"; mtCustom: the
// application's title.
std::string MessageDlgCaption(TMsgDlgType type);
// Asks TEXT in a message box (through the message-box hook when one is set); returns the
// button pressed as a modal result (mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore).
// A box that could not be shown answers mrCancel: it never confirms anything. HELPCONTEXT is
// kept for callers that pass one; there is no help system to show it.
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);
