#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "framework/core/FormReader.h"
#include "framework/ui/ComponentClasses.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

struct TBorderCase {
  TFormBorderStyle border;
  TBorderIcons icons;
  DWORD styleOn, styleOff, exOn;
};
const TBorderCase kBorders[] = {
    {bsNone, {biSystemMenu}, WS_POPUP, WS_CAPTION | WS_SYSMENU, 0},
    {bsSingle, {biSystemMenu, biMinimize}, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_THICKFRAME | WS_MAXIMIZEBOX, 0},
    {bsSizeable, {biSystemMenu, biMinimize, biMaximize}, WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX, WS_POPUP, 0},
    {bsDialog, {biSystemMenu, biMinimize, biMaximize}, WS_POPUP | WS_CAPTION | WS_SYSMENU,
     WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME, WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE},
    {bsToolWindow, {biSystemMenu}, WS_CAPTION, WS_THICKFRAME, WS_EX_TOOLWINDOW},
    {bsSizeToolWin, {}, WS_CAPTION | WS_THICKFRAME, WS_SYSMENU, WS_EX_TOOLWINDOW},
    {bsDialog, {biSystemMenu, biHelp}, WS_SYSMENU, 0, WS_EX_CONTEXTHELP},
};

TEST(FormBorders, StylesOfEveryBorder) {
  for (const TBorderCase& c : kBorders) {
    SCOPED_TRACE(static_cast<int>(c.border));
    DWORD style = 0, ex = 0;
    FormWindowStyle(c.border, c.icons, style, ex);
    EXPECT_EQ(style & c.styleOn, c.styleOn);
    EXPECT_EQ(style & c.styleOff, 0u);
    EXPECT_EQ(ex & c.exOn, c.exOn);

    TForm form(nullptr);
    form.SetBorderStyle(c.border);
    form.SetBorderIcons(c.icons);
    const DWORD real = static_cast<DWORD>(GetWindowLongA(form.Handle(), GWL_STYLE));
    EXPECT_EQ(real & c.styleOn, c.styleOn);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(form.Handle(), GWL_EXSTYLE)) & c.exOn, c.exOn);
  }
}

TEST(FormBorders, ChangingTheBorderRecreatesTheWindowAndTellsTheForm) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  form.HandleNeeded();
  uitest::TMessageLog log(&form, {CM_RECREATEWND});
  form.SetBorderStyle(bsDialog);
  EXPECT_EQ(log.messages, std::vector<UINT>{CM_RECREATEWND});
  EXPECT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(GetParent(panel->Handle()), form.Handle());  // children came back with it
}

TEST(FormGeometry, ClientSizeAndConstraints) {
  TForm form(nullptr);
  form.SetBorderStyle(bsSizeable);
  form.SetClientWidth(200);
  form.SetClientHeight(100);
  RECT client;
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  EXPECT_GT(form.Width(), 200);

  form.Constraints()->SetMinWidth(125);
  form.Constraints()->SetMinHeight(50);
  MINMAXINFO info{};
  SendMessageA(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 125);
  EXPECT_EQ(info.ptMinTrackSize.y, 50);
}

TEST(FormGeometry, WindowStateAndScreenCentre) {
  TApplication app(nullptr);
  auto* form = new TForm(&app);
  form->SetPosition(poScreenCenter);
  form->SetBounds(0, 0, 200, 100);
  form->Show();
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(form->Left(), area.left + (area.right - area.left - 200) / 2);
  form->SetWindowState(wsMaximized);
  EXPECT_TRUE(IsZoomed(form->Handle()));
  ShowWindow(form->Handle(), SW_RESTORE);
  EXPECT_EQ(form->WindowState(), wsNormal);  // follows what Windows did
}

TEST(FormScrolling, AutoScrollShowsRangeAndScrollsChildren) {
  uitest::TShownForm form(200, 100);
  auto* distant = new TPanel(form.form);
  distant->SetBounds(0, 300, 50, 50);
  distant->SetParent(form.form);
  form->SetAutoScroll(true);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(form->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 349);
  SendMessageA(form->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(distant->Top(), 292);
  form->SetAutoScroll(false);  // back to the origin, no range
  EXPECT_EQ(distant->Top(), 300);
}

// ---- a form class with handlers bound by name and a message handler by number ----
class TDropForm : public TForm {
  VANTOR_CLASS(TDropForm, TForm)
public:
  explicit TDropForm(TComponent* owner) : TForm(owner) {}
  std::vector<std::string> log;
  void FormCreate(TObject*) { log.push_back("create"); }
  void Button1Click(TObject*) { log.push_back("click"); }
  void About1Click(TObject*) { log.push_back("about"); }
  void WndProc(TMessage& m) override {
    static constexpr TMessageEntry<TDropForm> kTable[] = {{WM_DROPFILES, &TDropForm::WMDropFiles}};
    if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
  }
  static void DeclarePublished(TPublished<TDropForm>& p) {
    p.Method("FormCreate", &TDropForm::FormCreate);
    p.Method("Button1Click", &TDropForm::Button1Click);
    p.Method("About1Click", &TDropForm::About1Click);
  }

private:
  void WMDropFiles(TMessage& m) {
    inherited::WndProc(m);
    char name[MAX_PATH] = {};
    auto drop = reinterpret_cast<HDROP>(m.WParam);
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      DragQueryFileA(drop, i, name, sizeof name);
      log.push_back(std::string("drop ") + name);
    }
  }
};

const char kDescription[] = R"(object DropForm: TDropForm
  Left = 50
  Top = 60
  BorderStyle = bsDialog
  Caption = 'Drop here'
  ClientWidth = 240
  ClientHeight = 120
  Color = clTeal
  PopupMenu = PopupMenu1
  OnCreate = FormCreate
  object Panel1: TPanel
    Align = alClient
    BevelOuter = bvNone
    Caption = ''
    object Label1: TLabel
      Left = 8
      Top = 8
      Caption = 'Corvane'
      Font.Name = 'Tahoma'
      Font.Height = -13
    end
    object Button1: TButton
      Left = 8
      Top = 40
      Caption = 'Convert'
      OnClick = Button1Click
    end
    object Memo1: TMemo
      Left = 100
      Top = 8
      ReadOnly = True
      ScrollBars = ssVertical
      Lines.Strings = ('one' 'two')
    end
  end
  object PopupMenu1: TPopupMenu
    object About1: TMenuItem
      Caption = 'About'
      OnClick = About1Click
    end
  end
end
)";

TEST(StoredDescriptions, FormReadFromTextWithNestingAndHandlers) {
  RegisterFrameworkClasses();
  TDropForm form(nullptr);
  ReadComponentText(kDescription, form);
  if (form.OnCreate()) form.OnCreate()(&form);
  EXPECT_EQ(form.log, std::vector<std::string>{"create"});
  EXPECT_EQ(form.Caption(), "Drop here");
  EXPECT_EQ(form.BorderStyle(), bsDialog);
  EXPECT_EQ(form.Color(), clTeal);
  EXPECT_EQ(form.ClientWidth(), 240);
  EXPECT_EQ(form.ClientHeight(), 120);

  auto* panel = dynamic_cast<TPanel*>(form.FindComponent("Panel1"));
  auto* label = dynamic_cast<TLabel*>(form.FindComponent("Label1"));
  auto* button = dynamic_cast<TButton*>(form.FindComponent("Button1"));
  auto* memo = dynamic_cast<TMemo*>(form.FindComponent("Memo1"));
  ASSERT_TRUE(panel && label && button && memo);
  EXPECT_EQ(panel->Parent(), &form);
  EXPECT_EQ(label->Parent(), panel);
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_EQ(label->Font()->Name(), "Tahoma");
  EXPECT_EQ(label->Font()->Height(), -13);
  EXPECT_FALSE(label->ParentFont());
  EXPECT_EQ(panel->Width(), 240);  // aligned once the whole form was read
  EXPECT_EQ(memo->Lines().Count(), 2);
  EXPECT_EQ(memo->Lines().Strings(1), "two");
  EXPECT_TRUE(GetWindowLongA(memo->Handle(), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(GetWindowLongA(memo->Handle(), GWL_STYLE) & WS_VSCROLL);

  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  auto* about = dynamic_cast<TMenuItem*>(form.FindComponent("About1"));
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->Parent(), dynamic_cast<TPopupMenu*>(form.PopupMenu())->Items());
  about->Click();
  EXPECT_EQ(form.log, (std::vector<std::string>{"create", "click", "about"}));
}

TEST(StoredDescriptions, MissingResourceStillRunsOnCreate) {
  TDropForm form(nullptr);
  form.SetOnCreate([&](TObject*) { form.log.push_back("created"); });
  form.InitializeForm();  // no RCDATA "TDropForm" in the test executable
  EXPECT_EQ(form.log, std::vector<std::string>{"created"});
}

TEST(MessageHandlers, DropFilesReachTheHandlerBoundToItsNumber) {
  TDropForm form(nullptr);
  const std::string files[] = {"C:\\a.swf", "C:\\b.exe"};
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& f : files) size += f.size() + 1;
  HGLOBAL block = GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  char* p = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
  for (const std::string& f : files) {
    f.copy(p, f.size());
    p += f.size() + 1;
  }
  GlobalUnlock(block);
  SendMessageA(form.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
  GlobalFree(block);
  EXPECT_EQ(form.log, (std::vector<std::string>{"drop C:\\a.swf", "drop C:\\b.exe"}));
}

TEST(FormKeys, KeyPreviewLetsTheFormSeeKeysFirst) {
  uitest::TShownForm form;
  auto* memo = new TMemo(form.form);
  memo->SetParent(form.form);
  std::vector<std::string> order;
  form->SetOnKeyDown([&](TObject*, WORD& key, TShiftState) {
    order.push_back("form");
    if (key == 'Q') key = 0;  // swallowed
  });
  memo->SetOnKeyDown([&](TObject*, WORD&, TShiftState) { order.push_back("memo"); });
  SendMessageA(memo->Handle(), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(order, std::vector<std::string>{"memo"});
  form->SetKeyPreview(true);
  order.clear();
  SendMessageA(memo->Handle(), WM_KEYDOWN, 'A', 0);
  SendMessageA(memo->Handle(), WM_KEYDOWN, 'Q', 0);
  EXPECT_EQ(order, (std::vector<std::string>{"form", "memo", "form"}));
}

// ---- memo ----
TEST(Memo, LinesOptionsAndRecreation) {
  uitest::TShownForm form;
  auto* memo = new TMemo(form.form);
  memo->SetParent(form.form);
  EXPECT_EQ(memo->Lines().Count(), 0);
  EXPECT_THROW(memo->Lines().Strings(0), EListError);
  memo->Lines().Add("alpha");
  memo->Lines().Add("beta");
  EXPECT_EQ(memo->Text(), "alpha\r\nbeta");
  char text[64] = {};
  GetWindowTextA(memo->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "alpha\r\nbeta");
  EXPECT_THROW(memo->Lines().Delete(2), EListError);
  EXPECT_THROW(memo->Lines().Insert(3, "x"), EListError);
  memo->Lines().Delete(0);
  EXPECT_EQ(memo->Lines().Count(), 1);
  // A list set at once (as a stored description sets it) keeps its empty lines.
  memo->Lines().SetStrings({"one", "", "", "four"});
  EXPECT_EQ(memo->Lines().ToVector(), (std::vector<std::string>{"one", "", "", "four"}));
  memo->Lines().SetStrings({"beta"});

  memo->SetReadOnly(true);
  EXPECT_TRUE(GetWindowLongA(memo->Handle(), GWL_STYLE) & ES_READONLY);
  memo->SetWordWrap(false);  // a style EDIT reads only at creation
  EXPECT_TRUE(GetWindowLongA(memo->Handle(), GWL_STYLE) & ES_AUTOHSCROLL);
  EXPECT_EQ(memo->Lines().Strings(0), "beta");  // the text survived
  EXPECT_TRUE(GetWindowLongA(memo->Handle(), GWL_STYLE) & ES_READONLY);
  memo->SetScrollBars(ssBoth);
  const LONG style = GetWindowLongA(memo->Handle(), GWL_STYLE);
  EXPECT_TRUE((style & WS_HSCROLL) && (style & WS_VSCROLL));

  MSG tab{memo->Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_FALSE(SendMessageA(memo->Handle(), WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) &
               (DLGC_WANTALLKEYS | DLGC_WANTTAB));
  memo->SetWantTabs(true);
  EXPECT_TRUE(SendMessageA(memo->Handle(), WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) &
              (DLGC_WANTALLKEYS | DLGC_WANTTAB));
}

// A text set before the window exists reaches it whole, however long (the EDIT control takes
// only 30,000 characters at creation), and survives a re-creation; neither is a change.
TEST(Memo, ALongTextSetBeforeTheWindowIsKeptWhole) {
  uitest::TShownForm form;
  auto* memo = new TMemo(form.form);
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "line " + std::to_string(i) + "\r\n";
  ASSERT_GT(text.size(), 60000u);
  memo->SetText(text);
  int changes = 0;
  memo->SetOnChange([&](TObject*) { ++changes; });
  memo->SetParent(form.form);
  EXPECT_EQ(memo->Text(), text);
  memo->SetWordWrap(false);
  EXPECT_EQ(memo->Text(), text);
  EXPECT_EQ(changes, 0);
}

}  // namespace
