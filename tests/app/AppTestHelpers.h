// Shared by the application tests: the four windows created once as at start-up, scripted
// file dialogs, recorded message boxes, shell drop blocks and projector files.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "framework/ui/Dialogs.h"
#include "tests/support/TestSupport.h"

namespace apptest {

// Answers file dialogs in order and records what each would have shown. A dialog beyond the
// script is cancelled (and still recorded), so a broken flow fails on its request list.
class TScriptedDialogs {
public:
  explicit TScriptedDialogs(std::vector<TFileDialogAnswer> answers);
  ~TScriptedDialogs();
  TScriptedDialogs(const TScriptedDialogs&) = delete;
  TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;
  std::vector<TFileDialogRequest> shown;

private:
  std::vector<TFileDialogAnswer> answers_;
  TFileDialogHook previous_;
};

// Records message boxes instead of showing them; answers IDOK.
class TRecordedBoxes {
public:
  TRecordedBoxes();
  ~TRecordedBoxes();
  TRecordedBoxes(const TRecordedBoxes&) = delete;
  TRecordedBoxes& operator=(const TRecordedBoxes&) = delete;
  struct Box {
    std::string text, caption;
    UINT flags;
  };
  std::vector<Box> boxes;

private:
  TMessageBoxHook previous_;
};

// A DROPFILES block (ANSI names) in movable global memory, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::string>& names);

// Movie bytes, and a projector made of STUB + MOVIE + the 8-byte trailer.
Bytes MovieBytes(size_t length, uint32_t seed);
Bytes ProjectorBytes(const Bytes& stub, const Bytes& movie);

// The installed stub the converters copy; Install writes it, Remove deletes it.
std::string StubPath();
void InstallStub(const Bytes& bytes);
void RemoveStub();

}  // namespace apptest
