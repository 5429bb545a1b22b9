// The skinned MDI frame's test bench: a real MDI main form under a TkyrMDIForm with a skinned main
// menu, and skinned children (each a TkyrForm, optionally with its own TkyrMainMenu) shown in it.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ui/Forms.h"
#include "skin/controls/KYRMainMenu.h"
#include "skin/frame/KYRForm.h"
#include "skin/frame/KYRMDIForm.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/frame/KYRMenuBarTestSupport.h"

namespace mditest {

class TFrameForm : public TForm {
public:
  explicit TFrameForm(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIForm);
    SetBorderStyle(bsSizeable);
    SetBounds(30, 30, 560, 420);
    SetCaption("Frame");
  }
};

// WINDOW's bounds in its parent's client coordinates.
inline RECT BoundsInClient(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The skinned form panel on FORM, or nullptr.
inline TkyrForm* PanelOn(TCustomForm* form) {
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* panel = dynamic_cast<TkyrForm*>(form->Controls(i))) return panel;
  return nullptr;
}

// The skinned main menu FORM owns, or nullptr.
inline TkyrMainMenu* MenuOf(TCustomForm* form) {
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* menu = dynamic_cast<TkyrMainMenu*>(form->Components(i))) return menu;
  return nullptr;
}

// Real key presses: every key of CHORD down in order, then up in reverse.
inline void PressChord(std::initializer_list<WORD> chord) {
  std::vector<INPUT> in;
  for (WORD key : chord) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    in.push_back(i);
  }
  for (auto it = chord.end(); it != chord.begin();) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = *--it;
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof in[0]);
}

// A shown skinned MDI child of APP's main form with a title bar of its own; with MENU its own main
// menu of one item MENU ("&Say hello" under it). Closing it frees it.
inline TForm* NewSkinnedChild(TApplication& app, const std::string& caption, const std::string& menu = "") {
  auto* child = new TForm(&app);
  child->SetFormStyle(fsMDIChild);
  child->SetBorderStyle(bsSizeable);
  child->SetCaption(caption);
  child->SetBounds(10, 10, 220, 160);
  child->SetOnClose([](TObject*, TCloseAction& action) { action = caFree; });
  new TkyrForm(child);
  if (!menu.empty())
    bartest::AddItem(bartest::AddItem((new TkyrMainMenu(child))->Items(), menu, child), "&Say hello", child);
  child->Show();
  return child;
}

class TSkinnedMDIFixture : public ::testing::Test {
protected:
  void SetUp() override {
    app.Initialize();
    app.CreateForm(frame);
    skin = new TkyrMDIForm(frame);
    mainMenu = new TkyrMainMenu(frame);
    bartest::AddItem(bartest::AddItem(mainMenu->Items(), "&File", frame), "&Open", frame);
    bartest::AddItem(bartest::AddItem(mainMenu->Items(), "&Window", frame), "&Cascade", frame);
    skin->SetMenu(mainMenu);
    frame->Show();
    SetForegroundWindow(frame->Handle());
    Pump();
  }
  void Pump() { app.ProcessMessages(); }

  TForm* NewChild(const std::string& caption, const std::string& menu = "") {
    TForm* child = NewSkinnedChild(app, caption, menu);
    Pump();
    return child;
  }
  std::vector<std::string> BarCaptions() const { return bartest::Captions(*skin->MenuBar()); }

  TApplication app{nullptr};
  TFrameForm* frame = nullptr;
  TkyrMDIForm* skin = nullptr;
  TkyrMainMenu* mainMenu = nullptr;
};

}  // namespace mditest
