#include "tests/app/AppTestHelpers.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>

#include "app/Startup.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "convert/Projector.h"
#include "tests/skin/controls/KYRButtonTestSupport.h"
#include "tests/support/ProgramWindows.h"

namespace apptest {

void TVantorTest::SetUp() {
  StartVantor();
  Form1->Show();
}

void TVantorTest::TearDown() {
  // Last first, as the program would free them; the main form's removal clears MainForm.
  delete Form4;
  delete Form3;
  delete Form2;
  delete Form1;
  Form4 = nullptr;
  Form3 = nullptr;
  Form2 = nullptr;
  Form1 = nullptr;
}

TScriptedDialogs::TScriptedDialogs(std::vector<TFileDialogAnswer> answers) : answers_(std::move(answers)) {
  previous_ = SetFileDialogHook([this](const TFileDialogRequest& request) {
    shown.push_back(request);
    return shown.size() <= answers_.size() ? answers_[shown.size() - 1] : TFileDialogAnswer{};
  });
}

TScriptedDialogs::~TScriptedDialogs() { SetFileDialogHook(previous_); }

TRecordedBoxes::TRecordedBoxes() {
  previous_ = SetMessageBoxHook([this](HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    boxes.push_back({text, caption, flags, owner});
    return IDOK;
  });
}

TRecordedBoxes::~TRecordedBoxes() { SetMessageBoxHook(previous_); }

bool HasTaskbarButton(HWND window) {
  const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
  if (!IsWindowVisible(window)) return false;
  if (exStyle & WS_EX_APPWINDOW) return true;
  return !GetWindow(window, GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW);
}

std::vector<HWND> TaskbarEntries(DWORD processId) {
  std::vector<HWND> entries;
  for (const TTopWindow& w : TopWindowsOf(processId))
    if (HasTaskbarButton(w.window)) entries.push_back(w.window);
  return entries;
}

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool PointerInto(TControl& control, POINT screen) {
  uitest::MovePointerTo({0, 0});
  kyrtest::PumpApp();
  uitest::MovePointerTo(screen);
  return kyrtest::PumpAppUntil([&] { return control.MouseInControl(); });
}

bool ClickWithMouse(TkyrCustomButton& button) {
  const TNotifyEvent handler = button.OnClick();
  bool clicked = false;
  // Noted on entry: a handler's error ends it, and the framework reports it.
  button.SetOnClick([&](TObject* sender) {
    clicked = true;
    if (handler) handler(sender);
  });
  if (PointerInto(button, button.ClientToScreen({button.Width() / 2, button.Height() / 2}))) {
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
    uitest::MouseButton(MOUSEEVENTF_LEFTUP);
    kyrtest::PumpAppUntil([&] { return clicked; });
  }
  button.SetOnClick(handler);
  return clicked;
}

Bytes DropBytes(const std::vector<std::string>& names) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.fWide = FALSE;
  const auto* raw = reinterpret_cast<const uint8_t*>(&header);
  Bytes block(raw, raw + sizeof header);
  for (const std::string& n : names) block.insert(block.end(), n.c_str(), n.c_str() + n.size() + 1);
  block.push_back(0);  // the list ends with an empty name
  return block;
}

HDROP MakeDrop(const std::vector<std::string>& names) {
  const Bytes bytes = DropBytes(names);
  HGLOBAL memory = GlobalAlloc(GHND, bytes.size());
  std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

Bytes MovieBytes(size_t length, uint32_t seed) {
  Bytes movie = PatternBytes(length, seed);
  movie[0] = 'F';
  movie[1] = 'W';
  movie[2] = 'S';
  return movie;
}

Bytes ProjectorBytes(const Bytes& stub, const Bytes& movie) {
  Bytes out = stub;
  out.insert(out.end(), movie.begin(), movie.end());
  const uint32_t words[2] = {ProjectorMagic, static_cast<uint32_t>(movie.size())};
  for (uint32_t w : words)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(w >> (8 * i)));
  return out;
}

std::string StubPath() { return ButtonStubPath; }

void InstallStub(const Bytes& bytes) {
  CreateDirectoryA("C:\\Program Files", nullptr);
  CreateDirectoryA("C:\\Program Files\\Common Files", nullptr);
  CreateDirectoryA("C:\\Program Files\\Common Files\\Vantor", nullptr);
  WriteFileBytes(StubPath(), bytes);
}

void RemoveStub() { DeleteFileA(StubPath().c_str()); }
}  // namespace apptest
