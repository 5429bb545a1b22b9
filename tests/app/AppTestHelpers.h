// Shared by the application tests: the four windows made afresh for each test as at start-up,
// scripted file dialogs, recorded message boxes, taskbar entries, shell drop blocks and
// projector files.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ui/Dialogs.h"
#include "skin/controls/KYRButton.h"
#include "tests/support/TestSupport.h"

namespace apptest {

// Each test starts from the program's start-up (the four windows created, the main one shown)
// and deletes the windows when it ends, so no test sees what another one changed.
class TVantorTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
};

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
    HWND owner;
  };
  std::vector<Box> boxes;

private:
  TMessageBoxHook previous_;
};

// Whether the Windows shell gives WINDOW a taskbar button, by its documented rule: a visible
// top-level window that has WS_EX_APPWINDOW, or is owned by no window and is no tool window.
// Wine's unmanaged windows show no taskbar, so the tests apply the rule themselves.
bool HasTaskbarButton(HWND window);
// The top-level windows of process PROCESS_ID that have a taskbar button, in Z order.
std::vector<HWND> TaskbarEntries(DWORD processId);
std::string WindowText(HWND window);

// Moves the pointer onto SCREEN with absolute SendInput moves, from a point off every window of
// the program first, so the control there sees the pointer arrive; pumps until it is inside
// CONTROL (false if it never got there).
bool PointerInto(TControl& control, POINT screen);
// Clicks BUTTON as a person does: the pointer onto its centre, the left button pressed and
// released through SendInput; pumps until the click has been handled (false if it never was).
bool ClickWithMouse(TkyrCustomButton& button);

// The bytes of a DROPFILES block (ANSI names), as the shell fills it.
Bytes DropBytes(const std::vector<std::string>& names);
// That block in movable global memory, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::string>& names);

// Movie bytes, and a projector made of STUB + MOVIE + the 8-byte trailer.
Bytes MovieBytes(size_t length, uint32_t seed);
Bytes ProjectorBytes(const Bytes& stub, const Bytes& movie);

// The installed stub the converters copy; Install writes it, Remove deletes it.
std::string StubPath();
void InstallStub(const Bytes& bytes);
void RemoveStub();

}  // namespace apptest
