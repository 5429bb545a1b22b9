// The main window: the Convert button, files dropped from the shell, the About entry of its
// right-click menu. Each conversion asks the save dialog SD1 for the output name and reports
// through the message window.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "framework/ui/Dialogs.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRPopupMenu.h"
#include "skin/controls/KYRURLLabel.h"
#include "skin/frame/KYRForm.h"

// Where the projector stub is installed; the drop handler spells the folder in capitals (the
// file system ignores case, so both name the same file).
inline constexpr const char* ButtonStubPath = "C:\\Program Files\\Common Files\\Vantor\\SAF.dll";
inline constexpr const char* DropStubPath = "C:\\Program Files\\COMMON FILES\\Vantor\\SAF.dll";

// The last COUNT characters of TEXT (all of it when shorter).
std::string LastChars(const std::string& text, size_t count);
// TEXT without its last 4 characters (an extension with its dot).
std::string WithoutExtension(const std::string& text);
// NAME with SUFFIX appended unless it already ends in exactly SUFFIX.
std::string WithSuffix(const std::string& name, const std::string& suffix);
// The extension test of a dropped name: characters 0..32 trimmed from both ends, the last 4
// characters, ASCII capitals lowered.
std::string DropExtension(const std::string& name);
// Every file name of a shell drop, at its full length.
std::vector<std::string> DroppedFileNames(HDROP drop);

class TForm1 : public TForm {
  VANTOR_CLASS(TForm1, TForm)
public:
  // The icon, one 48 x 48 image, is stored with the window's description (Icon.Data).
  explicit TForm1(TComponent* owner) : TForm(owner) {}

  TkyrForm* kyrForm1 = nullptr;
  TkyrButton* kyrButton1 = nullptr;
  TkyrURLLabel* kyrURLLabel1 = nullptr;
  TOpenDialog* OD1 = nullptr;
  TSaveDialog* SD1 = nullptr;
  TkyrPopupMenu* kyrPopupMenu1 = nullptr;
  TMenuItem* About1 = nullptr;

  void FormCreate(TObject* Sender);
  void kyrButton1Click(TObject* Sender);
  void About1Click(TObject* Sender);
  void WMDropFiles(TMessage& Message);

  void WndProc(TMessage& m) override;
  static void DeclarePublished(TPublished<TForm1>& p);

private:
  void ConvertDropped(const std::string& name);
  // Prepares SD1 for INPUT and runs it; false when cancelled, else OUTPUT ends in EXTENSION.
  bool AskOutput(const std::string& input, const char* filter, const std::string& extension, std::string& output);
  void ToMovie(const std::string& projector);
  void ToProjector(const std::string& movie, const char* stubPath);
};

extern TForm1* Form1;
