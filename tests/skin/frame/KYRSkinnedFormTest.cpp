// The skinned form panel on real windows under Wine: taking a form over and giving it back
// (message sequences through the form's procedure), maximise on the work area, one repaint per
// style change, frame pixels read back from the window DC, the refusals, Alt+Space, and live
// handle counts over many repaints, restyles and maximise cycles.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/core/BmpCodec.h"
#include "framework/core/FormReader.h"
#include "framework/core/TypInfo.h"
#include "skin/KYRClasses.h"
#include "skin/KYRPublic.h"
#include "skin/controls/KYRButton.h"
#include "skin/frame/KYRForm.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRThemeFileTestSupport.h"
#include "tests/skin/frame/KYRFrameTestSupport.h"

namespace {

// A shown single-frame form taken over by a TkyrForm of STYLE. BELOW records what reaches the
// form's procedure under the panel's hook (the "old procedure"); ABOVE what reaches the window.
struct TSkinnedHost {
  TForm* form;
  std::unique_ptr<uitest::TMessageLog> below;
  TkyrForm* panel;
  std::unique_ptr<uitest::TMessageLog> above;

  explicit TSkinnedHost(TkyrUIStyle style = MacOS, bool maximized = false) : form(new TForm(nullptr)) {
    form->SetBorderStyle(bsSingle);
    form->SetBounds(60, 50, 320, 240);
    form->SetCaption("host");
    if (maximized) form->SetWindowState(wsMaximized);
    below = std::make_unique<uitest::TMessageLog>(form, std::vector<UINT>{WM_NCPAINT, KYR_MSG_SIDE_BORDER_WIDTH,
                                                                          WM_NCCALCSIZE, WM_SYSCHAR, WM_KEYDOWN});
    panel = new TkyrForm(form);
    panel->SetUIStyle(style);
    above = std::make_unique<uitest::TMessageLog>(form, std::vector<UINT>{WM_NCPAINT});
    form->Show();
    SetForegroundWindow(form->Handle());
    uitest::Pump();
  }
  ~TSkinnedHost() {
    above.reset();
    below.reset();
    delete form;
  }
  TSkinnedHost(const TSkinnedHost&) = delete;
  TSkinnedHost& operator=(const TSkinnedHost&) = delete;

  HWND Window() const { return form->Handle(); }
  RECT Bounds() const {
    RECT r{};
    GetWindowRect(Window(), &r);
    return r;
  }
  bool HasCaptionBits() const { return (GetWindowLongA(Window(), GWL_STYLE) & WS_CAPTION) != 0; }
  void ClearLogs() {
    below->messages.clear();
    above->messages.clear();
  }
};

size_t Count(const std::vector<UINT>& messages, UINT msg) {
  return static_cast<size_t>(std::count(messages.begin(), messages.end(), msg));
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TColor WindowPixel(HWND window, int x, int y) {
  HDC dc = GetWindowDC(window);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return static_cast<TColor>(c);
}

TColor Solid(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

// Whether the window's region holds the window pixel (X, Y).
bool WindowRegionHas(HWND window, int x, int y) {
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  EXPECT_NE(GetWindowRgn(window, region.Get()), ERROR);
  return PtInRegion(region.Get(), x, y) != FALSE;
}

}  // namespace

// ---- taking over and giving back ----

TEST(SkinnedFormTakeOver, AMinimisedFormsFramePaintGoesToTheOldProcedure) {
  struct Row {
    bool minimised;
    size_t reachesOld;  // of one WM_NCPAINT sent
  };
  for (const Row row : {Row{false, 0}, Row{true, 1}}) {
    SCOPED_TRACE(row.minimised);
    TSkinnedHost host;
    if (row.minimised) ShowWindow(host.Window(), SW_MINIMIZE);
    uitest::Pump();
    host.ClearLogs();
    SendMessageA(host.Window(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(Count(host.above->messages, WM_NCPAINT), 1u);
    EXPECT_EQ(Count(host.below->messages, WM_NCPAINT), row.reachesOld);
  }
}

TEST(SkinnedFormTakeOver, CaptionStaysStrippedAndRemovalGivesEverythingBack) {
  TSkinnedHost host;
  EXPECT_FALSE(host.HasCaptionBits());
  EXPECT_EQ(host.form->BorderStyle(), bsDialog);  // single frames become dialog frames
  EXPECT_EQ(host.panel->HostForm(), host.form);
  ASSERT_NE(host.panel->TitleBar(), nullptr);
  EXPECT_EQ(host.panel->Align(), alClient);
  EXPECT_EQ(host.panel->Caption(), "host");

  host.form->RecreateWnd();  // the framework re-creates with its class's caption bits
  uitest::Pump();
  EXPECT_FALSE(host.HasCaptionBits());

  // While the panel lives it answers the frame messages; the form's procedure never sees them.
  host.ClearLogs();
  SendMessageA(host.Window(), WM_NCPAINT, 1, 0);
  SendMessageA(host.Window(), KYR_MSG_SIDE_BORDER_WIDTH, 0, 0);
  EXPECT_EQ(host.below->messages, std::vector<UINT>{});

  delete host.panel;
  uitest::Pump();
  EXPECT_TRUE(host.HasCaptionBits());
  RECT box{};
  EXPECT_EQ(GetWindowRgnBox(host.Window(), &box), ERROR);  // no region left: a plain rectangle
  host.ClearLogs();
  SendMessageA(host.Window(), WM_NCPAINT, 1, 0);
  SendMessageA(host.Window(), KYR_MSG_SIDE_BORDER_WIDTH, 0, 0);
  EXPECT_EQ(host.below->messages, (std::vector<UINT>{WM_NCPAINT, KYR_MSG_SIDE_BORDER_WIDTH}));
}

TEST(SkinnedFormTakeOver, ASecondPanelIsRefusedAndNeverTouchesTheForm) {
  uitest::TMessageBoxRecorder boxes;
  TSkinnedHost host;
  auto* second = new TkyrForm(host.form);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Sorry, You can create only one TkyrForm component in one form!");
  EXPECT_EQ(second->HostForm(), nullptr);
  EXPECT_EQ(second->TitleBar(), nullptr);
  EXPECT_EQ(second->TitleBarButtons(), nullptr);
  EXPECT_EQ(second->RoundCorner(), 0);
  second->SetUIStyle(WinXP);  // no style work on a bar it does not have
  second->SetCaption("ignored");
  EXPECT_EQ(second->Caption(), "");
  delete second;  // gives back nothing it never took
  uitest::Pump();
  EXPECT_FALSE(host.HasCaptionBits());
  host.ClearLogs();
  SendMessageA(host.Window(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(host.below->messages, std::vector<UINT>{});  // the first panel's hook is intact
}

TEST(SkinnedFormProperties, VersionAndFormPanel) {
  uitest::TMessageBoxRecorder boxes;
  TSkinnedHost host;
  SetStrProp(*host.panel, "Version", "4.30");
  EXPECT_EQ(GetStrProp(*host.panel, "Version"), "5.8");

  host.panel->SetFormPanel(host.panel);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Sorry, you can't select the Form assign to FormPanel property");
  EXPECT_EQ(host.panel->FormPanel(), nullptr);

  auto* content = uitest::Place<TPanel>(host.panel, 10, 30, 50, 50);
  content->SetCaption("content");
  host.panel->SetFormPanel(content);
  EXPECT_EQ(content->Align(), alClient);
  EXPECT_EQ(content->BevelOuter(), bvNone);
  EXPECT_EQ(content->Caption(), "");
  delete content;  // the reference goes with it
  EXPECT_EQ(host.panel->FormPanel(), nullptr);
}

// ---- maximise and restore ----

TEST(SkinnedFormMaximise, WorkAreaWithTheFrameOffScreenAndBack) {
  for (const bool startMaximized : {false, true}) {
    SCOPED_TRACE(startMaximized);
    TSkinnedHost host(MacOS, startMaximized);
    const RECT designed{60, 50, 380, 290};
    RECT workArea{};
    GetWorkAreaRect(workArea);
    const RECT maximised{workArea.left - 4, workArea.top - 4, workArea.right + 4, workArea.bottom - 1};
    if (!startMaximized) {
      EXPECT_TRUE(SameRect(host.Bounds(), designed));
      host.form->SetWindowState(wsMaximized);
      uitest::Pump();
    }
    EXPECT_TRUE(IsZoomed(host.Window()));
    EXPECT_TRUE(SameRect(host.Bounds(), maximised));
    if (startMaximized) {
      // A form maximised from the start returns to its stored bounds, not to whatever
      // restore rectangle the system keeps.
      WINDOWPLACEMENT placement{};
      placement.length = sizeof placement;
      GetWindowPlacement(host.Window(), &placement);
      placement.rcNormalPosition = RECT{5, 5, 205, 155};
      SetWindowPlacement(host.Window(), &placement);
      uitest::Pump();
    }
    host.form->SetWindowState(wsNormal);
    uitest::Pump();
    EXPECT_TRUE(SameRect(host.Bounds(), designed));
  }
}

// An MDI child is placed by its client window, not on the work area: a real child of an MDI
// main form's client.
TEST(SkinnedFormMaximise, AnMDIChildKeepsTheSystemsMaximisedBounds) {
  if (Application->MainForm()) GTEST_SKIP() << "another test left a main form";
  TForm* frame = nullptr;
  Application->CreateForm(frame);
  std::unique_ptr<TForm> ownFrame(frame);  // outlives the host below
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(20, 20, 640, 500);
  frame->Show();
  TSkinnedHost host;
  host.form->SetFormStyle(fsMDIChild);
  uitest::Pump();
  ASSERT_EQ(GetParent(host.Window()), frame->ClientHandle());
  host.form->SetWindowState(wsMaximized);
  uitest::Pump();
  ASSERT_TRUE(IsZoomed(host.Window()));
  RECT workArea{};
  GetWorkAreaRect(workArea);
  EXPECT_FALSE(SameRect(host.Bounds(), RECT{workArea.left - 4, workArea.top - 4, workArea.right + 4, workArea.bottom - 1}));
  host.form->SetWindowState(wsNormal);
  uitest::Pump();
  RECT restored = host.Bounds();
  MapWindowPoints(nullptr, frame->ClientHandle(), reinterpret_cast<POINT*>(&restored), 2);
  EXPECT_TRUE(SameRect(restored, RECT{60, 50, 380, 290}));
}

// ---- style changes and pixels ----

TEST(SkinnedFormStyle, AChangeRepaintsFrameAndClientOnceEach) {
  TSkinnedHost host(MacOS);
  uitest::TMessageLog paints(host.panel, {WM_PAINT});
  for (const TkyrUIStyle style : {WinXP, Protein, DeepBlue, MacOS}) {
    SCOPED_TRACE(static_cast<int>(style));
    host.ClearLogs();
    paints.messages.clear();
    host.panel->SetUIStyle(style);
    uitest::Pump();
    EXPECT_EQ(Count(host.above->messages, WM_NCPAINT), 1u);
    EXPECT_EQ(paints.messages.size(), 1u);
  }
}

TEST(SkinnedFormStyle, FramePixelsFromTheWindowDC) {
  struct Row {
    TkyrUIStyle style;
    bool roundedTop;  // MacOS has square corners, BlueGlass 11-pixel ones
  };
  for (const Row row : {Row{MacOS, false}, Row{BlueGlass, true}}) {
    const TkyrUIStyle style = row.style;
    SCOPED_TRACE(static_cast<int>(style));
    TSkinnedHost host(style);
    const HWND w = host.Window();
    const RECT b = host.Bounds();
    const int W = b.right - b.left, H = b.bottom - b.top;
    const int bw = GetBuiltinInt(style, KYR_THEME_FORM_BORDER_WIDTH_INT);
    const TColor border = Solid(static_cast<TColor>(GetBuiltinColor(style, KYR_THEME_FORM_BORDER_COLOR)));
    const TColor fill = Solid(static_cast<TColor>(GetBuiltinColor(style, KYR_THEME_FORM_BACKGROUND_COLOR)));
    ASSERT_LT(bw, 3);
    EXPECT_EQ(host.panel->BorderWidth(), bw);
    EXPECT_EQ(WindowPixel(w, 0, H / 2), border);          // left edge
    EXPECT_EQ(WindowPixel(w, W - 1, H / 2), border);      // right edge
    EXPECT_EQ(WindowPixel(w, W / 2, H - 1), border);      // bottom edge
    EXPECT_EQ(WindowPixel(w, bw, H / 2), fill);           // the frame's rest
    EXPECT_EQ(WindowPixel(w, W - 1 - bw, H / 2), fill);
    // The title bar's middle picture continues into the top rows.
    const TColor title = host.panel->TitleBar()->ClientPicture()->Canvas().Pixel(0, 1);
    EXPECT_EQ(WindowPixel(w, W / 2, 1), title);
    // Rounded top corners cut the corner pixel out of the window's region.
    EXPECT_EQ(host.panel->RoundCorner() > 0, row.roundedTop);
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(w, region.Get()), ERROR);
    EXPECT_EQ(PtInRegion(region.Get(), 0, 0) == FALSE, row.roundedTop);
    EXPECT_TRUE(PtInRegion(region.Get(), W / 2, 0));
    EXPECT_TRUE(PtInRegion(region.Get(), 0, H - 1));  // square below
  }
}

// A theme whose only element is a FormLeftBorderImage 5 pixels wide: its left half COLOUR_A,
// its right half COLOUR_B, so the rotated right border shows them the other way round.
TEST(SkinnedFormStyle, FileThemeBorderImagesMoveTheClientAreaAndBack) {
  constexpr uint32_t kOuter = 0x102030, kInner = 0x405060;  // 0xRRGGBB
  TempDir dir;
  TBmpImage left = MakeBmpImage(5, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 5; ++x) left.Pixel(x, y) = x < 2 ? kOuter : kInner;
  const std::string path = dir / "side.thm";
  WriteFileBytes(path, ThemeFileBytes().Image("FormLeftBorderImage", EncodeBmp(left, 24)).Build());
  TSkinnedHost host(MacOS);
  auto* theme = new TkyrFileTheme(host.form);
  theme->SetThemeFile(path);
  const auto clientInWindow = [&] {
    RECT client{}, window = host.Bounds();
    GetClientRect(host.Window(), &client);
    MapWindowPoints(host.Window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    return RECT{client.left - window.left, client.top - window.top, window.right - client.right,
                window.bottom - client.bottom};
  };
  host.panel->SetFileTheme(theme);
  host.panel->SetUIStyle(FromThemeFile);
  uitest::Pump();
  EXPECT_EQ(SendMessageA(host.Window(), KYR_MSG_SIDE_BORDER_WIDTH, 0, 0), 5);
  EXPECT_TRUE(SameRect(clientInWindow(), RECT{6, 3, 6, 1}));  // SW + 1 at the sides
  EXPECT_EQ(host.panel->ClientWidth(), host.form->ClientWidth());  // the panel followed
  const RECT b = host.Bounds();
  const int W = b.right - b.left, H = b.bottom - b.top;
  const auto rgb = [](uint32_t c) { return static_cast<TColor>(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF)); };
  EXPECT_EQ(WindowPixel(host.Window(), 0, H / 2), rgb(kOuter));
  EXPECT_EQ(WindowPixel(host.Window(), 4, H / 2), rgb(kInner));
  EXPECT_EQ(WindowPixel(host.Window(), W - 1, H / 2), rgb(kOuter));  // rotated by 180 degrees
  EXPECT_EQ(WindowPixel(host.Window(), W - 5, H / 2), rgb(kInner));

  host.panel->SetUIStyle(MacOS);  // built-in again: the 3-pixel frame
  uitest::Pump();
  EXPECT_EQ(SendMessageA(host.Window(), KYR_MSG_SIDE_BORDER_WIDTH, 0, 0), 0);
  EXPECT_TRUE(SameRect(clientInWindow(), RECT{3, 3, 3, 1}));
  EXPECT_EQ(host.panel->ClientWidth(), host.form->ClientWidth());
}

// ---- Alt+Space ----

namespace {
std::vector<RECT> gMenusSeen;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
  const HWND menu = FindWindowA("#32768", nullptr);
  if (!menu || !IsWindowVisible(menu)) return;
  RECT r{};
  GetWindowRect(menu, &r);
  gMenusSeen.push_back(r);
  EndMenu();
}
}  // namespace

TEST(SkinnedFormKeys, AltSpaceOpensOnlyTheActiveWindowsMenuAtItsCorner) {
  TSkinnedHost active(MacOS);
  TSkinnedHost other(WinXP);
  other.form->SetBounds(420, 300, 300, 200);
  SetForegroundWindow(active.Window());
  SetActiveWindow(active.Window());
  uitest::Pump();
  ASSERT_EQ(GetActiveWindow(), active.Window());
  active.ClearLogs();
  gMenusSeen.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, &CloseMenu);
  PostMessageA(active.Window(), WM_SYSCHAR, ' ', 1 << 29);
  Application->ProcessMessages();
  KillTimer(nullptr, timer);
  ASSERT_EQ(gMenusSeen.size(), 1u);
  const RECT b = active.Bounds();
  EXPECT_EQ(gMenusSeen[0].left, b.left);
  EXPECT_EQ(gMenusSeen[0].top, b.top + active.panel->TitleBarHeight());
  // Handled by the active window's panel; the other panel, asked after it, keeps it handled.
  EXPECT_EQ(Count(active.below->messages, WM_SYSCHAR), 0u);
}

TEST(SkinnedFormKeys, AKeyHandledBeforeThePanelsSawItStaysHandled) {
  TApplicationEvents first(nullptr);  // asked before the panels: it was made first
  first.SetOnMessage([](MSG& msg, bool& handled) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F5) handled = true;
  });
  TSkinnedHost one(MacOS), two(WinXP);
  one.ClearLogs();
  PostMessageA(one.Window(), WM_KEYDOWN, VK_F5, 1);
  PostMessageA(one.Window(), WM_KEYDOWN, VK_F6, 1);
  Application->ProcessMessages();
  EXPECT_EQ(one.below->messages, std::vector<UINT>{WM_KEYDOWN});  // F6 only
}

// ---- the frame host's protocol ----

TEST(SkinnedFormTakeOver, EveryBorderStyleMapping) {
  struct Row {
    TFormBorderStyle from, to;
  };
  const Row rows[] = {{bsNone, bsDialog},         {bsSingle, bsDialog},   {bsToolWindow, bsDialog},
                      {bsSizeable, bsSizeable}, {bsDialog, bsDialog}, {bsSizeToolWin, bsSizeToolWin}};
  for (const Row row : rows) {
    SCOPED_TRACE(static_cast<int>(row.from));
    TForm form(nullptr);
    form.SetBorderStyle(row.from);
    new TkyrForm(&form);
    EXPECT_EQ(form.BorderStyle(), row.to);
  }
}

TEST(SkinnedFormTakeOver, ActivationGivesTheTitleBarItsLook) {
  TSkinnedHost host;
  TkyrTitleBar* bar = host.panel->TitleBar();
  uitest::TMessageLog barPaints(bar, {WM_PAINT});
  struct Row {
    WPARAM state;
    bool active;
  };
  for (const Row row : {Row{WA_INACTIVE, false}, Row{WA_ACTIVE, true}, Row{WA_INACTIVE, false}, Row{WA_CLICKACTIVE, true}}) {
    SCOPED_TRACE(row.state);
    barPaints.messages.clear();
    SendMessageA(host.Window(), WM_ACTIVATE, row.state, 0);
    EXPECT_EQ(bar->FormActive(), row.active);
    uitest::Pump();
    EXPECT_FALSE(barPaints.messages.empty());  // repainted in its new look
  }
}

TEST(SkinnedFormTakeOver, ShowingTheFormRemovesItsSystemMenuBar) {
  auto* form = new TForm(nullptr);
  form->SetBounds(60, 50, 320, 240);
  auto* menu = new TMainMenu(form);
  menu->Items()->Add(new TMenuItem(nullptr));
  menu->Items()->Items(0)->SetCaption("&File");
  new TkyrForm(form);
  form->SetMenu(menu);
  EXPECT_EQ(form->Menu(), menu);
  form->Show();
  uitest::Pump();
  EXPECT_EQ(form->Menu(), nullptr);
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
  delete form;
}

// Minimise, maximise, restore and close reach the form as system commands, from the title bar's
// buttons, its window menu and the taskbar alike; the frame follows the resulting size.
TEST(SkinnedFormTakeOver, WindowCommandsGoThroughWMSysCommand) {
  TSkinnedHost host;
  std::vector<WPARAM> commands;
  TWindowProcHook record;  // above the panel's hook
  record.Install(host.form, [&](TMessage& m) {
    if (m.Msg == WM_SYSCOMMAND) commands.push_back(m.WParam & 0xFFF0);
    record.CallPrevious(m);
  });
  TkyrTitleBar* bar = host.panel->TitleBar();
  const auto button = [&](TkyrTitleBarBtnType type) {
    for (int i = 0; i < bar->Buttons()->Count(); ++i)
      if (bar->Buttons()->Items(i)->ButtonType() == type) return bar->Buttons()->Items(i);
    return static_cast<TkyrTitleBarButton*>(nullptr);
  };
  RECT workArea{};
  GetWorkAreaRect(workArea);
  const RECT maximised{workArea.left - 4, workArea.top - 4, workArea.right + 4, workArea.bottom - 1};
  const RECT designed{60, 50, 380, 290};

  button(kyrMax)->ClickAction();
  uitest::Pump();
  EXPECT_TRUE(IsZoomed(host.Window()));
  EXPECT_TRUE(SameRect(host.Bounds(), maximised));  // the frame placed it, on WM_SIZE
  button(kyrMax)->ClickAction();
  uitest::Pump();
  EXPECT_FALSE(IsZoomed(host.Window()));
  EXPECT_TRUE(SameRect(host.Bounds(), designed));
  button(kyrMin)->ClickAction();
  uitest::Pump();
  EXPECT_TRUE(IsIconic(host.Window()));  // minimised through the title-bar button
  SendMessageA(host.Window(), WM_SYSCOMMAND, SC_RESTORE, 0);  // as the taskbar does
  uitest::Pump();
  EXPECT_FALSE(IsIconic(host.Window()));
  SendMessageA(host.Window(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  uitest::Pump();
  EXPECT_TRUE(SameRect(host.Bounds(), maximised));  // the frame follows a taskbar maximise too
  bar->SystemMenu()->MaximizeItem()->Click();
  uitest::Pump();
  EXPECT_TRUE(SameRect(host.Bounds(), designed));
  bar->SystemMenu()->MinimizeItem()->Click();
  uitest::Pump();
  EXPECT_TRUE(IsIconic(host.Window()));
  SendMessageA(host.Window(), WM_SYSCOMMAND, SC_RESTORE, 0);
  uitest::Pump();
  bar->SystemMenu()->CloseItem()->Click();
  uitest::Pump();
  EXPECT_FALSE(host.form->Visible());
  host.form->Show();
  uitest::Pump();
  button(kyrClose)->ClickAction();
  uitest::Pump();
  EXPECT_FALSE(host.form->Visible());
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_MAXIMIZE, SC_RESTORE, SC_MINIMIZE, SC_RESTORE, SC_MAXIMIZE, SC_RESTORE,
                                           SC_MINIMIZE, SC_RESTORE, SC_CLOSE, SC_CLOSE}));
}

// ---- references the panel holds ----

// The title bar can be freed by whoever holds it; the host's messages then find no bar.
TEST(SkinnedFormReferences, ATitleBarFreedWhileThePanelLives) {
  TSkinnedHost host;
  delete host.panel->TitleBar();
  EXPECT_EQ(host.panel->TitleBar(), nullptr);
  EXPECT_EQ(host.panel->TitleBarHeight(), 0);
  SendMessageA(host.Window(), WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageA(host.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
  host.form->SetBounds(70, 60, 300, 220);
  uitest::Pump();
  SetForegroundWindow(host.Window());
  uitest::Pump();
  gMenusSeen.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, &CloseMenu);
  PostMessageA(host.Window(), WM_SYSCHAR, ' ', 1 << 29);  // Alt+Space: no bar, no menu
  Application->ProcessMessages();
  uitest::PumpUntil([] { return false; }, 100);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(gMenusSeen.empty());
  host.panel->SetUIStyle(WinXP);
  EXPECT_TRUE(host.panel->PaintFrame());
}

// ---- loading ----

// A refused panel has no title bar; its stored collections are read and change nothing.
TEST(SkinnedFormLoading, ARefusedPanelStillLoadsItsStoredTitleBarCollections) {
  RegisterSkinClasses();
  const char* text =
      "object Form: TForm\n"
      "  object First: TkyrForm\n"
      "  end\n"
      "  object Second: TkyrForm\n"
      "    TitleBarButtons = <\n"
      "      item ButtonType = kyrHelp end\n"
      "      item ButtonType = kyrCustom Visible = False end>\n"
      "    TitleBarSections = <\n"
      "      item Width = 4 end>\n"
      "    Caption = 'ignored'\n"
      "    Tag = 7\n"
      "  end\n"
      "end\n";
  uitest::TMessageBoxRecorder boxes;
  TForm form(nullptr);
  EXPECT_NO_THROW(ReadComponentText(text, form));
  auto* first = dynamic_cast<TkyrForm*>(form.FindComponent("First"));
  auto* second = dynamic_cast<TkyrForm*>(form.FindComponent("Second"));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Tag(), 7);  // read to its end
  EXPECT_EQ(second->TitleBar(), nullptr);
  EXPECT_EQ(second->TitleBarButtons(), nullptr);
  EXPECT_EQ(second->Caption(), "");
  EXPECT_EQ(first->TitleBarButtons()->Count(), 4);  // the working panel's bar is untouched
  EXPECT_EQ(first->TitleBarSections()->Count(), 3);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Sorry, You can create only one TkyrForm component in one form!");
}

// ---- properties on the real window ----

TEST(SkinnedFormProperties, TitleBarVisibleSquaresTheWindowAndPutsTheBarBackOnTop) {
  TSkinnedHost host(BlueGlass);  // 11-pixel corners
  const HWND w = host.Window();
  TkyrTitleBar* bar = host.panel->TitleBar();
  auto* content = uitest::Place<TPanel>(host.panel, 0, 40, 50, 30);
  content->SetAlign(alTop);
  const auto regionHas = [w](int x, int y) { return WindowRegionHas(w, x, y); };
  ASSERT_EQ(host.panel->RoundCorner(), 11);
  EXPECT_FALSE(regionHas(0, 0));

  host.panel->SetTitleBarVisible(false);
  uitest::Pump();
  EXPECT_FALSE(host.panel->TitleBarVisible());
  EXPECT_EQ(host.panel->RoundCorner(), 0);
  EXPECT_EQ(host.panel->RoundCornerBottom(), 0);
  EXPECT_EQ(host.panel->TitleBarHeight(), 0);
  EXPECT_TRUE(regionHas(0, 0));  // squared on the real window
  const RECT b = host.Bounds();
  const int W = b.right - b.left;
  const TColor border = Solid(static_cast<TColor>(GetBuiltinColor(BlueGlass, KYR_THEME_FORM_BORDER_COLOR)));
  EXPECT_EQ(WindowPixel(w, W / 2, 0), border);  // the hidden bar's top line
  EXPECT_EQ(content->Top(), 0);
  bar->SetTop(60);  // moved while hidden: showing it puts it back on top all the same

  host.panel->SetTitleBarVisible(true);
  uitest::Pump();
  EXPECT_EQ(bar->Top(), 0);  // back on top, the content under it
  EXPECT_EQ(content->Top(), bar->Height());
  EXPECT_EQ(host.panel->RoundCorner(), 11);
  EXPECT_FALSE(regionHas(0, 0));
}

TEST(SkinnedFormProperties, BorderAndCornerSettersShowOnTheWindowAtOnce) {
  TSkinnedHost host(MacOS);  // square corners, a 1-pixel border
  const HWND w = host.Window();
  const RECT b = host.Bounds();
  const int W = b.right - b.left, H = b.bottom - b.top;
  host.panel->SetBorderColor(clRed);
  EXPECT_EQ(WindowPixel(w, 0, H / 2), clRed);
  EXPECT_EQ(WindowPixel(w, W - 1, H / 2), clRed);
  EXPECT_NE(WindowPixel(w, 2, H / 2), clRed);
  host.panel->SetBorderWidth(3);
  EXPECT_EQ(host.panel->BorderWidth(), 3);
  EXPECT_EQ(WindowPixel(w, 2, H / 2), clRed);
  EXPECT_EQ(WindowPixel(w, W - 3, H / 2), clRed);
  EXPECT_EQ(WindowPixel(w, W / 2, H - 1), clRed);  // the bottom's other rows lie in the client area

  const auto regionHas = [w](int x, int y) { return WindowRegionHas(w, x, y); };
  EXPECT_TRUE(regionHas(2, 2));
  host.panel->SetRoundCorner(20);
  EXPECT_EQ(host.panel->RoundCorner(), 20);
  EXPECT_FALSE(regionHas(2, 2));
  EXPECT_FALSE(regionHas(W - 3, 2));
  EXPECT_TRUE(regionHas(2, H - 3));
  host.panel->SetRoundCornerBottom(20);
  EXPECT_FALSE(regionHas(2, H - 3));
  EXPECT_TRUE(regionHas(W / 2, H - 1));
  host.panel->SetRoundCornerBottom(-1);  // counts as 0
  EXPECT_TRUE(regionHas(2, H - 3));
}

TEST(SkinnedFormStyle, UIStyleAutoUpdateSubPushesTheStyleToTheChildren) {
  for (const bool autoUpdate : {false, true}) {
    SCOPED_TRACE(autoUpdate);
    TSkinnedHost host(MacOS);
    auto* button = uitest::Place<TkyrButton>(host.panel, 20, 40, 80, 24);
    button->SetUIStyle(DeepBlue);
    host.panel->SetUIStyleAutoUpdateSub(autoUpdate);
    EXPECT_EQ(host.panel->UIStyleAutoUpdateSub(), autoUpdate);
    host.panel->SetUIStyle(WinXP);
    EXPECT_EQ(button->UIStyle(), autoUpdate ? WinXP : DeepBlue);
    EXPECT_EQ(host.panel->TitleBar()->UIStyle(), WinXP);  // the bar always follows
  }
}

// The theme component goes: the panel, its bar and its children fall back to DeepBlue and the
// border images go with it.
TEST(SkinnedFormStyle, RemovingTheFileThemeFallsBackToDeepBlue) {
  TempDir dir;
  TBmpImage left = MakeBmpImage(5, 20);
  const std::string path = dir / "side.thm";
  WriteFileBytes(path, ThemeFileBytes().Image("FormLeftBorderImage", EncodeBmp(left, 24)).Build());
  TSkinnedHost host(MacOS);
  auto* theme = new TkyrFileTheme(host.form);
  theme->SetThemeFile(path);
  auto* button = uitest::Place<TkyrButton>(host.panel, 20, 40, 80, 24);
  button->SetFileTheme(theme);
  auto* plain = uitest::Place<TkyrButton>(host.panel, 20, 70, 80, 24);  // no theme of its own
  plain->SetUIStyle(WinXP);
  host.panel->SetFileTheme(theme);
  host.panel->SetUIStyle(FromThemeFile);
  uitest::Pump();
  ASSERT_EQ(SendMessageA(host.Window(), KYR_MSG_SIDE_BORDER_WIDTH, 0, 0), 5);
  delete theme;
  uitest::Pump();
  EXPECT_EQ(host.panel->FileTheme(), nullptr);
  EXPECT_EQ(host.panel->UIStyle(), DeepBlue);
  EXPECT_EQ(host.panel->TitleBar()->FileTheme(), nullptr);
  EXPECT_EQ(host.panel->TitleBar()->UIStyle(), DeepBlue);
  EXPECT_EQ(button->FileTheme(), nullptr);
  EXPECT_EQ(button->UIStyle(), DeepBlue);
  EXPECT_EQ(plain->UIStyle(), DeepBlue);  // every child control falls back with the panel
  EXPECT_EQ(host.panel->BorderColor(), static_cast<TColor>(GetBuiltinColor(DeepBlue, KYR_THEME_FORM_BORDER_COLOR)));
  EXPECT_EQ(SendMessageA(host.Window(), KYR_MSG_SIDE_BORDER_WIDTH, 0, 0), 0);  // built-in mode again
}

// ---- resources ----

TEST(SkinnedFormHandles, LiveCountsUnchangedAcrossRepaintsRestylesAndMaximising) {
  if (!HandleCountsEnabled()) GTEST_SKIP() << "handle counts are kept in debug builds";
  TSkinnedHost host(MacOS);
  host.above.reset();
  host.below.reset();
  auto counts = [] {
    std::vector<int> c;
    for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k) c.push_back(LiveHandleCount(static_cast<THandleKind>(k)));
    return c;
  };
  const std::vector<int> before = counts();
  for (int i = 0; i < 1000; ++i) SendMessageA(host.Window(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(counts(), before) << "frame repaints";
  const TkyrUIStyle styles[] = {WinXP, Protein, DeepBlue, BlueGlass, MacOS};
  for (int i = 0; i < 100; ++i) {
    host.panel->SetUIStyle(styles[i % 5]);
    uitest::Pump();
  }
  EXPECT_EQ(counts(), before) << "style switches";
  for (int i = 0; i < 50; ++i) {
    host.form->SetWindowState(wsMaximized);
    uitest::Pump();
    host.form->SetWindowState(wsNormal);
    uitest::Pump();
  }
  EXPECT_EQ(counts(), before) << "maximise cycles";
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 200; ++i) SendMessageA(host.Window(), WM_NCPAINT, 1, 0);
  if (gdi != 0) {
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi + 2);
  }
}

// Screenshots for a reviewer (VANTOR_SHOT_DIR): skinned forms in three styles, read back from
// the window DC.
TEST(SkinnedFormShots, Screenshots) {
  if (EnvOr("VANTOR_SHOT_DIR", "").empty()) GTEST_SKIP() << "VANTOR_SHOT_DIR not set";
  for (const auto& [style, name] : {std::pair{MacOS, "form-MACOS"}, std::pair{BlueGlass, "form-BLUEGLASS"},
                                    std::pair{WinXP, "form-WINXP"}}) {
    TSkinnedHost host(style);
    host.panel->SetCaption("Corvane Vantor");
    auto* button = uitest::Place<TButton>(host.panel, 40, 80, 100, 28);
    button->SetCaption("Convert");
    uitest::Pump();
    Sleep(100);
    uitest::Pump();
    const RECT b = host.Bounds();
    TBitmap shot(b.right - b.left, b.bottom - b.top);
    TWindowDC dc(host.Window(), true);
    BitBlt(shot.Canvas().Handle(), 0, 0, shot.Width(), shot.Height(), dc.Get(), 0, 0, SRCCOPY);
    frametest::SaveShot(name, shot);
  }
}
