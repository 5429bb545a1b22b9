#include "tests/tools/skin-demo/DemoTestSupport.h"

#include <algorithm>
#include <sstream>

#include "framework/core/SysUtils.h"
#include "framework/graphics/GdiHandles.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tools/skin-demo/DemoAbout.h"
#include "tools/skin-demo/DemoStartup.h"

namespace demotest {

std::string BuiltRecordsFile() {
  std::string path = BuiltProgramPath("tools/skin-demo/skin-demo");
  path.erase(path.find_last_of("\\/") + 1);
  return path + kDemoRecordsFileName;
}

void SkinDemo::SetUp() {
  WriteFileBytes(RecordsCopy, ReadFileBytes(BuiltRecordsFile()));
  StartSkinDemo({"--csv", RecordsCopy});
  DemoMainForm->Show();
  SetForegroundWindow(DemoMainForm->Handle());
  uitest::Pump();
}

void SkinDemo::TearDown() { FreeDemo(); }

void FreeDemo() {
  uitest::Pump();  // children that released themselves go now
  // The children before the frame: their windows go with the frame's, their objects would not.
  const std::vector<TCustomForm*> forms = AllForms();
  for (TCustomForm* form : forms)
    if (form->FormStyle() == fsMDIChild) delete form;
  delete DemoAboutForm;
  delete DemoMainForm;
  DemoAboutForm = nullptr;
  DemoMainForm = nullptr;
}

TCustomForm* ChildCalled(const std::string& caption) {
  for (int i = 0; i < DemoMainForm->MDIChildCount(); ++i)
    if (DemoMainForm->MDIChildren(i)->Caption() == caption) return DemoMainForm->MDIChildren(i);
  return nullptr;
}

std::vector<std::string> ChildCaptions() {
  std::vector<std::string> captions;
  for (int i = 0; i < DemoMainForm->MDIChildCount(); ++i) captions.push_back(DemoMainForm->MDIChildren(i)->Caption());
  return captions;
}

std::vector<std::string> BarCaptions() {
  std::vector<std::string> captions;
  const TToolBar& bar = *DemoMainForm->kyrMDIForm1->MenuBar();
  for (int i = 0; i < bar.ButtonCount(); ++i) captions.push_back(bar.Buttons(i)->Text());
  return captions;
}

std::vector<std::string> ItemCaptions(TMenuItem* parent) {
  std::vector<std::string> texts;
  for (int i = 0; i < parent->Count(); ++i) texts.push_back(parent->Items(i)->Caption());
  return texts;
}

void Activate(TCustomForm& child) {
  SendMessageA(DemoMainForm->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child.Handle()), 0);
  uitest::Pump();
}

POINT VisiblePointOf(TCustomForm& child) {
  RECT r;
  GetWindowRect(child.Handle(), &r);
  for (LONG y = r.bottom - 6; y > r.top; y -= 8)
    for (LONG x = r.right - 6; x > r.left; x -= 8) {
      HWND hit = WindowFromPoint({x, y});
      if (hit == child.Handle() || IsChild(child.Handle(), hit)) return {x, y};
    }
  ADD_FAILURE() << child.Caption() << " is covered everywhere";
  return {r.left, r.top};
}

RECT BoundsInParent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<TPlace> ChildPlaces() {
  std::vector<TPlace> places;
  for (int i = 0; i < DemoMainForm->MDIChildCount(); ++i) {
    TCustomForm* child = DemoMainForm->MDIChildren(i);
    places.push_back({child->Caption(), BoundsInParent(child->Handle())});
  }
  return places;
}

void Scramble() {
  for (int i = 0; i < DemoMainForm->MDIChildCount(); ++i)
    DemoMainForm->MDIChildren(i)->SetBounds(5 + 7 * i, 3 + 5 * i, 151 + 3 * i, 97 + 2 * i);
  uitest::Pump();
}

std::vector<int> LiveHandleCounts() {
  std::vector<int> live;
  for (int kind = 0; kind < static_cast<int>(THandleKind::Count); ++kind)
    live.push_back(LiveHandleCount(static_cast<THandleKind>(kind)));
  return live;
}

std::string HostPath(std::string path) {
  if (path.size() >= 2 && path[1] == ':') {
    EXPECT_TRUE(path[0] == 'Z' || path[0] == 'z') << path;
    path.erase(0, 2);
  }
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::vector<std::string> Sqlite(const std::string& file, const std::string& sql) {
  std::string folder = file;
  folder.erase(folder.find_last_of("\\/") + 1);
  const std::string script = folder + "query.sql", out = folder + "out.tmp", done = folder + "out.txt";
  WriteFileText(script, ".separator |\n" + sql + "\n");
  // Wine starts a host program by its Unix path but has no process handle to wait on: the
  // output appears under its final name once it is complete.
  std::string command = "/bin/sh -c \"/usr/bin/sqlite3 -batch '" + HostPath(file) + "' < '" + HostPath(script) +
                        "' > '" + HostPath(out) + "' 2>&1; mv '" + HostPath(out) + "' '" + HostPath(done) + "'\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start the host's sqlite3";
    return {};
  }
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
  // Waiting for the result, not timing it: the limit only keeps a broken host from hanging the test.
  for (int i = 0; i < 3000 && !FileExists(done); ++i) Sleep(10);
  const std::string text = ReadTextFile(done);
  RemoveFileQuietly(done);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace demotest
