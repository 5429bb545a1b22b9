#include "skin/KYRPublic.h"

#include "tests/framework/graphics/GraphicsTestSupport.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRStandIns.h"

#include <gtest/gtest.h>

namespace {

// A control that publishes UIStyle and (optionally) FileTheme and records the order of sets.
class TStyleProbe : public TCustomControl {
  VANTOR_CLASS(TStyleProbe, TCustomControl)
public:
  explicit TStyleProbe(TComponent* owner) : TCustomControl(owner) {}
  TkyrUIStyle UIStyle() const { return style_; }
  void SetUIStyle(TkyrUIStyle value) { style_ = value; log.push_back("UIStyle"); }
  TComponent* FileTheme() const { return theme_; }
  void SetFileTheme(TComponent* value) { theme_ = value; log.push_back("FileTheme"); }
  static void DeclarePublished(TPublished<TStyleProbe>& p) {
    p.Component("FileTheme", &TStyleProbe::FileTheme, &TStyleProbe::SetFileTheme);
    p.Enumeration("UIStyle", TkyrUIStyleInfo, &TStyleProbe::UIStyle, &TStyleProbe::SetUIStyle);
  }
  std::vector<std::string> log;

private:
  TkyrUIStyle style_ = DeepBlue;
  TComponent* theme_ = nullptr;
};

class TStyleOnlyProbe : public TCustomControl {
  VANTOR_CLASS(TStyleOnlyProbe, TCustomControl)
public:
  explicit TStyleOnlyProbe(TComponent* owner) : TCustomControl(owner) {}
  TkyrUIStyle UIStyle() const { return style_; }
  void SetUIStyle(TkyrUIStyle value) { style_ = value; }
  static void DeclarePublished(TPublished<TStyleOnlyProbe>& p) {
    p.Enumeration("UIStyle", TkyrUIStyleInfo, &TStyleOnlyProbe::UIStyle, &TStyleOnlyProbe::SetUIStyle);
  }

private:
  TkyrUIStyle style_ = DeepBlue;
};

}  // namespace

TEST(ParentBackground, ThePartUnderTheControlLandsAtTheOrigin) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 120);
  auto* panel = new TSplitPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 100, 60);
  auto* child = new TSplitPanel(&form);
  child->SetParent(panel);
  child->SetBounds(40, 10, 20, 20);
  form.HandleNeeded();

  TBitmap buffer(20, 20);
  buffer.Canvas().Brush().SetColor(clWhite);
  buffer.Canvas().FillRect(RECT{0, 0, 20, 20});
  DrawParentBackground(buffer.Canvas(), *child);
  EXPECT_GT(panel->paints, 0);
  EXPECT_EQ(PixelOf(buffer, 5, 5), clRed);    // parent (45, 15)
  EXPECT_EQ(PixelOf(buffer, 9, 19), clRed);   // parent (49, 29)
  EXPECT_EQ(PixelOf(buffer, 10, 5), clBlue);  // parent (50, 15)
  EXPECT_EQ(buffer.Canvas().ViewportOrigin().x, 0);  // the DC is as it was
  EXPECT_EQ(buffer.Canvas().ClipRect().right, 20);
}

TEST(ParentBackground, NothingWithoutAParent) {
  TForm form(nullptr);
  TBitmap buffer(4, 4);
  buffer.Canvas().SetPixel(1, 1, clOlive);
  DrawParentBackground(buffer.Canvas(), form);
  EXPECT_EQ(PixelOf(buffer, 1, 1), clOlive);
}

TEST(PaintWindowBorder, FramesTheWholeWindow) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 120);
  auto* panel = new TSplitPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 60, 40);
  form.Show();  // a hidden window has no surface to read back
  UpdateWindow(form.Handle());
  PaintWindowBorder(*panel, clLime, clYellow, true);
  TWindowDC dc(panel->Handle(), true);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), 0, 0)), clLime);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), 59, 39)), clLime);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), 1, 1)), clYellow);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), 58, 20)), clYellow);
  PaintWindowBorder(*panel, clFuchsia, clYellow, false);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), 30, 0)), clFuchsia);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), 30, 1)), clYellow);  // inner left as it was
}

TEST(ApplyStyleToControls, SetsFileThemeThenUIStyleOnDirectChildrenWithBoth) {
  TForm form(nullptr);
  TComponent theme(nullptr);
  auto* both = new TStyleProbe(&form);
  both->SetParent(&form);
  auto* styleOnly = new TStyleOnlyProbe(&form);
  styleOnly->SetParent(&form);
  auto* panel = new TSplitPanel(&form);
  panel->SetParent(&form);
  auto* grandchild = new TStyleProbe(&form);
  grandchild->SetParent(panel);

  ApplyStyleToControls(form, MacOS, &theme);
  EXPECT_EQ(both->UIStyle(), MacOS);
  EXPECT_EQ(both->FileTheme(), &theme);
  EXPECT_EQ(both->log, (std::vector<std::string>{"FileTheme", "UIStyle"}));
  EXPECT_EQ(styleOnly->UIStyle(), DeepBlue);
  EXPECT_EQ(grandchild->UIStyle(), DeepBlue);
  EXPECT_TRUE(grandchild->log.empty());
  EXPECT_TRUE(HasProperty(both, "UIStyle"));
  EXPECT_TRUE(HasProperty(both, "uistyle"));
  EXPECT_FALSE(HasProperty(styleOnly, "FileTheme"));
  EXPECT_FALSE(HasProperty(nullptr, "UIStyle"));
}

TEST(DynGetScrollBarInfo, ForwardsToTheSystemFunction) {
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP | WS_VSCROLL | ES_MULTILINE, 0, 0, 100, 80, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  EXPECT_TRUE(DynGetScrollBarInfo(edit, OBJID_VSCROLL, &info));
  EXPECT_GT(info.rcScrollBar.bottom - info.rcScrollBar.top, 0);
  SCROLLBARINFO again{};
  again.cbSize = sizeof again;
  EXPECT_TRUE(DynGetScrollBarInfo(edit, OBJID_VSCROLL, &again));
  EXPECT_TRUE(EqualRect(&info.rcScrollBar, &again.rcScrollBar));
  DestroyWindow(edit);
}

TEST(DynGetScrollBarInfo, AMissingFunctionIsLookedUpOnceAndNeverCalled) {
  TDynamicProc missing("User32.dll", "NoSuchScrollBarQuery");
  EXPECT_EQ(missing.Get(), nullptr);
  EXPECT_EQ(missing.Get(), nullptr);
  EXPECT_EQ(missing.Lookups(), 1);
  TDynamicProc noDll("vantor-missing-library.dll", "GetScrollBarInfo");
  EXPECT_EQ(noDll.Get(), nullptr);
  EXPECT_EQ(noDll.Get(), nullptr);
  EXPECT_EQ(noDll.Lookups(), 1);
  TDynamicProc present("User32.dll", "GetScrollBarInfo");
  EXPECT_NE(present.Get(), nullptr);
  present.Get();
  EXPECT_EQ(present.Lookups(), 1);
}

TEST(IsFormActive, WithoutAMainFormTheFormsOwnFlagDecides) {
  if (Application->MainForm()) GTEST_SKIP() << "another test left a main form";
  EXPECT_FALSE(IsFormActive(nullptr));
  TForm form(nullptr);
  EXPECT_FALSE(IsFormActive(&form));  // no window yet
  form.Show();
  SetForegroundWindow(form.Handle());
  uitest::Pump();
  EXPECT_TRUE(IsFormActive(&form));
  form.Hide();
  uitest::Pump();
  EXPECT_FALSE(IsFormActive(&form));
}

TEST(IsFormActive, FollowsTheMainFormAndTheActiveWindow) {
  if (Application->MainForm()) GTEST_SKIP() << "another test left a main form";
  TForm* mainForm = nullptr;
  Application->CreateForm(mainForm);
  std::unique_ptr<TForm> ownMain(mainForm);  // its removal clears the application's main form
  ASSERT_EQ(Application->MainForm(), mainForm);
  TForm second(nullptr);
  mainForm->Show();
  second.Show();
  SetForegroundWindow(mainForm->Handle());
  uitest::Pump();
  EXPECT_TRUE(IsFormActive(mainForm));
  EXPECT_TRUE(IsFormActive(nullptr));
  EXPECT_FALSE(IsFormActive(&second));
  SetForegroundWindow(second.Handle());
  uitest::Pump();
  EXPECT_TRUE(IsFormActive(&second));
  EXPECT_TRUE(IsFormActive(mainForm));  // the main form of an active application

  // With no window of ours in the foreground the application is inactive, except for an MDI
  // frame's own caption.
  second.Hide();
  mainForm->Hide();
  uitest::Pump();
  DWORD process = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &process);
  if (process == GetCurrentProcessId()) GTEST_SKIP() << "the foreground stayed with this process";
  EXPECT_FALSE(IsFormActive(mainForm));
  EXPECT_FALSE(IsFormActive(&second));
  mainForm->SetFormStyle(fsMDIForm);
  EXPECT_TRUE(IsFormActive(mainForm));
  EXPECT_FALSE(IsFormActive(&second));
}

TEST(IsFormActive, InAnMdiApplicationTheActiveChildDrawsActiveAndOtherFormsHaveTheirOwnFlag) {
  if (Application->MainForm()) GTEST_SKIP() << "another test left a main form";
  TForm* mainForm = nullptr;
  Application->CreateForm(mainForm);
  std::unique_ptr<TForm> ownMain(mainForm);
  mainForm->SetFormStyle(fsMDIForm);
  ASSERT_NE(mainForm->ClientHandle(), nullptr);  // no children yet: no form is its active child
  TForm second(nullptr);
  mainForm->Show();
  second.Show();
  const struct {
    TForm* foreground;
    bool secondActive;
  } cases[] = {{&second, true}, {mainForm, false}};
  for (const auto& c : cases) {
    SetForegroundWindow(c.foreground->Handle());
    uitest::Pump();
    ASSERT_EQ(GetActiveWindow(), c.foreground->Handle());
    EXPECT_EQ(IsFormActive(&second), c.secondActive);
    EXPECT_TRUE(IsFormActive(mainForm));
  }
  // Real MDI children of the main form: the one the client reports active draws active.
  std::unique_ptr<TForm> a(new TForm(nullptr)), b(new TForm(nullptr));
  for (TForm* child : {a.get(), b.get()}) {
    child->SetFormStyle(fsMDIChild);
    child->Show();
  }
  uitest::Pump();
  ASSERT_EQ(mainForm->ActiveMDIChild(), b.get());
  EXPECT_TRUE(IsFormActive(b.get()));
  EXPECT_FALSE(IsFormActive(a.get()));
  SendMessageA(mainForm->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  uitest::Pump();
  EXPECT_TRUE(IsFormActive(a.get()));
  EXPECT_FALSE(IsFormActive(b.get()));
}
