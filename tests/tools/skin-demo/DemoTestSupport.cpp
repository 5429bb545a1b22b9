#include "tests/tools/skin-demo/DemoTestSupport.h"

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

void ClickAt(POINT screen) {
  uitest::MovePointerTo(screen);
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  uitest::PumpsDry();
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

}  // namespace demotest
