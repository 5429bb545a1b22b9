#include "skin/frame/KYRForm.h"

#include <algorithm>

#include "framework/core/ScopeGuard.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"
#include "skin/KYRPublic.h"

// ---- the skinned form panel ----

namespace {

const TkyrTitleBarButtonClickEvent kNoClickEvent;

bool AnotherPanelTookOver(const TCustomForm& form, const TkyrForm* self) {
  for (int i = 0; i < form.ComponentCount(); ++i) {
    const auto* panel = dynamic_cast<const TkyrForm*>(form.Components(i));
    if (panel && panel != self && panel->HostForm() == &form) return true;
  }
  return false;
}

}  // namespace

TkyrForm::TkyrForm(TComponent* owner) : TkyrStyled(owner) {
  auto* form = dynamic_cast<TCustomForm*>(owner);
  if (!form) return;
  if (AnotherPanelTookOver(*form, this)) {
    ShowMessage("Sorry, You can create only one TkyrForm component in one form!");
    return;
  }
  TakeOver(form);
}

void TkyrForm::TakeOver(TCustomForm* form) {
  Constraints()->SetMinHeight(50);
  Constraints()->SetMinWidth(125);
  frame_.TakeOver(form);
  titleBar_ = new TkyrTitleBar(this);
  titleBar_->SetParent(this);
  menuBarColor_ = Color();
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  TCustomPanel::SetBorderStyle(bsNone);
  SetAlign(alClient);
  SetParent(form);
  titleBar_->SetCaption(form->Caption());
  SetText(" ");
  appEvents_ = std::make_unique<TApplicationEvents>(nullptr);
  appEvents_->SetOnMessage([this](MSG& msg, bool& handled) { ApplicationMessage(msg, handled); });
  SetUIStyle(DeepBlue);
  frame_.StripCaption();
}

TkyrForm::~TkyrForm() {
  Destroying();
  GiveBack();
}

void TkyrForm::GiveBack() {
  frame_.GiveBack();
  appEvents_.reset();
}

// ---- the host's activation and size ----

void TkyrForm::FrameActivated(bool active) {
  if (titleBar_) titleBar_->SetFormActive(active);
}

void TkyrForm::FrameSized() {
  if (titleBar_) titleBar_->UpdateMaxButtons();
}

// ---- keyboard: the application's message loop ----

// Every panel sees every queued message; Alt+Space is for the active skinned window only, and
// what another panel handled stays handled.
void TkyrForm::ApplicationMessage(MSG& msg, bool& handled) {
  if (IsDestroying()) return;
  if (msg.message == WM_SYSCHAR && msg.wParam == ' ' && HostWindow() && GetActiveWindow() == HostWindow()) {
    PopupWindowMenu();
    handled = true;
  } else if (msg.message == WM_KEYDOWN) {
    handled = HandleMenuShortCut(msg) || handled;
  }
}

// At the window's own top-left, below its title bar.
void TkyrForm::PopupWindowMenu() {
  TkyrTitleBarPopupMenu* menu = titleBar_ ? titleBar_->SystemMenu() : nullptr;
  if (!menu) return;
  RECT window{};
  GetWindowRect(HostWindow(), &window);
  menu->Popup(window.left, window.top + TitleBarHeight());
}

void TkyrForm::FrameHostMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN: {
      const MSG msg{HostWindow(), m.Msg, m.WParam, m.LParam, 0, {}};
      if (HandleMenuShortCut(msg)) m.Result = 1;
      break;
    }
    case WM_MDIACTIVATE:
      MDIChildActivated(reinterpret_cast<HWND>(m.LParam) == HostWindow());
      break;
    case WM_DESTROY:
      if (IsMDIChildHost()) MDIChildDestroyed();
      break;
    case WM_SIZE:
      if (IsMDIChildHost()) MDIChildSized();
      break;
    default:
      break;
  }
}

// ---- on an MDI child ----

// An MDI child's window is a child of its frame's MDI client.
HWND TkyrForm::MDIClient() const { return IsMDIChildHost() && HostWindow() ? GetParent(HostWindow()) : nullptr; }

// The frame shows the menu of the child that became active.
void TkyrForm::MDIChildActivated(bool active) {
  if (active && MDIClient()) SendMessageA(MDIClient(), WM_MDIREFRESHMENU, reinterpret_cast<WPARAM>(HostWindow()), 0);
  if (titleBar_) titleBar_->SetFormActive(active);
}

void TkyrForm::MDIChildDestroyed() {
  HWND client = MDIClient();
  auto* frame = dynamic_cast<TCustomForm*>(TWinControl::FindControl(client ? GetParent(client) : nullptr));
  if (!frame) return;
  const WPARAM self = reinterpret_cast<WPARAM>(HostWindow());
  if (frame->MDIChildCount() == 1) SendMessageA(client, WM_MDIREFRESHMENU, self, 0);
  if (IsZoomed(HostWindow())) SendMessageA(client, WM_MDIRESTORE, self, 0);
}

// Maximised, the child's title bar gives way to the frame's (which shows the child's buttons);
// the panel's contents move up into its place and back. Each panel remembers what it told the
// frame, so one maximised child never confuses another frame's buttons.
void TkyrForm::MDIChildSized() {
  HWND client = MDIClient();
  const int shift = (titleBar_ ? titleBar_->Height() : 0) - 3;
  if (IsZoomed(HostWindow())) {
    SetTitleBarVisible(false);
    if (toldMaximized_) return;
    toldMaximized_ = true;
    ScrollBy(0, -shift);
    if (client) SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(HostWindow()), 0);
    return;
  }
  SetTitleBarVisible(true);
  if (!toldMaximized_) return;
  toldMaximized_ = false;
  ScrollBy(0, shift);
  if (titleBar_) titleBar_->UpdateMaxButtons();
  if (client) SendMessageA(client, WM_MDIRESTORE, 0, 0);
}

// ---- the menu bar ----

bool TkyrForm::IsMDIChildHost() const { return HostForm() && HostForm()->FormStyle() == fsMDIChild; }

void TkyrForm::SetMenu(TMainMenu* value) {
  if (auto* old = dynamic_cast<TkyrMainMenu*>(menu_.Get()); old && old != value) old->SetHost(nullptr);
  menu_ = value;
  if (auto* menu = dynamic_cast<TkyrMainMenu*>(value)) menu->SetHost(this);
  if (IsDestroying()) return;
  if (!value) return DestroyMenuBar();
  CreateMenuBar();
  RebuildMenuBar();
}

// Under the title bar (placed above it in the alignment order), flat, captions only, as high as
// MenuBarHeight; it is the form's menu bar for Alt+letter and F10.
void TkyrForm::CreateMenuBar() {
  if (!HostForm() || IsMDIChildHost() || menuBar_) return;
  auto* bar = new TkyrMenuBar(this);
  bar->SetFlat(true);
  bar->SetEdgeBorders(TEdgeBorders{});
  bar->SetShowCaptions(true);
  bar->SetButtonHeight(menuBarHeight_);
  bar->SetBounds(0, TitleBarHeight(), Width(), menuBarHeight_);
  bar->SetColor(menuBarColor_);
  if (!InState(csDesigning))
    bar->SetOnCustomDrawButton([this](TObject* sender, TToolButton* button, TCustomDrawState state, bool& draw) {
      DrawMenuBarButton(sender, button, state, draw);
    });
  bar->SetOnCustomDraw([this](TObject* sender, const RECT& rect, bool& draw) { DrawMenuBarBackground(sender, rect, draw); });
  bar->SetWrapable(true);
  bar->SetAutoSize(true);
  bar->SetAlign(alTop);
  bar->SetParent(this);
  menuBar_ = bar;
  if (titleBar_) titleBar_->SetTop(0);
  HostForm()->SetMenuBarControl(bar);
  UpdateMenuBarFont();
  PaintFrame();
}

void TkyrForm::DestroyMenuBar() {
  if (!IsMDIChildHost()) delete menuBar_.Get();
  menu_ = nullptr;
  if (!IsDestroying()) PaintFrame();
}

// The buttons bound from the last item to the first, each put before the others.
void TkyrForm::RebuildMenuBar() {
  rebuildPosted_ = false;
  TkyrMenuBar* bar = menuBar_;
  if (!bar || IsDestroying()) return;
  if (!menu_) return DestroyMenuBar();
  RebuildMenuBarButtons(*bar, *menu_, this);
  PaintFrame();  // the bar may have grown a row
}

// Posted once however many changes come; a panel without a window yet has no handler running.
void TkyrForm::UpdateMenuBar() {
  if (!menuBar_ || rebuildPosted_ || IsDestroying()) return;
  HWND own = HandleIfAllocated();
  rebuildPosted_ = own && PostMessageA(own, KYR_MSG_REBUILD_MENU_BAR, 0, 0);
  if (!rebuildPosted_) RebuildMenuBar();
}

void TkyrForm::KYRRebuildMenuBar(TMessage&) { RebuildMenuBar(); }

void TkyrForm::UpdateMenuBarItems() {
  if (menuBar_ && !IsDestroying()) UpdateMenuBarButtons(*menuBar_);
}

void TkyrForm::UpdateMenuBarFont() {
  auto* menu = dynamic_cast<TkyrMainMenu*>(menu_.Get());
  if (!menuBar_ || !menu || IsDestroying()) return;
  menu->GetItemFont(*menuBar_->Font());
  menuBar_->Invalidate();
}

void TkyrForm::SetMenuBarColor(TColor value) {
  menuBarColor_ = value;
  if (!menuBar_) return;
  menuBar_->SetColor(value);
  PaintFrame();  // the frame beside the bar
}

void TkyrForm::SetMenuBarHeight(int value) {
  menuBarHeight_ = value;
  if (!menuBar_) return;
  menuBar_->SetButtonHeight(value);
  menuBar_->SetHeight(value);
  PaintFrame();
}

// For the active skinned window only: every panel sees every key of the application.
bool TkyrForm::HandleMenuShortCut(const MSG& msg) {
  if (IsDestroying() || !menu_ || !HostForm() || !HostWindow()) return false;
  if (!IsFormActive(HostForm()) || GetActiveWindow() != HostWindow()) return false;
  return menu_->IsShortCut(static_cast<WORD>(msg.wParam), KeyboardShiftState());
}

TkyrMenuBarLook TkyrForm::BarLook() const {
  TkyrMenuBarLook look;
  auto* menu = dynamic_cast<const TkyrMainMenu*>(menu_.Get());
  look.Style = menu ? menu->UIStyle() : UIStyle();
  look.FileTheme = menu ? menu->FileTheme() : FileTheme();
  look.Menu = menu;
  look.GreyDisabled = true;
  return look;
}

void TkyrForm::DrawMenuBarButton(TObject*, TToolButton* button, TCustomDrawState state, bool& defaultDraw) {
  defaultDraw = false;
  if (!menuBar_ || !button) return;
  PaintMenuBarToolButton(*menuBar_, *button, state, BarLook());
}

void TkyrForm::DrawMenuBarBackground(TObject*, const RECT& rect, bool&) {
  if (menuBar_) PaintMenuBarBackground(menuBar_->Canvas(), rect, BarLook());
}

TkyrFrameMenuBar TkyrForm::MenuBarLook() const {
  TkyrFrameMenuBar look;
  if (!menuBar_) return look;
  look.Exists = true;
  look.Visible = menuBar_->Visible();
  look.Top = (titleBar_ ? titleBar_->Height() : 0) + 3;
  look.Height = menuBar_->Height();
  look.Color = menuBar_->Color();
  return look;
}

// ---- painting ----

TkyrFrameLook TkyrForm::FrameLook() const {
  TkyrFrameLook look;
  look.BorderWidth = borderWidth_;
  look.BorderColor = borderColor_;
  look.FillColor = Color();
  look.TitleBarVisible = TitleBarVisible();
  look.TopHeight = TitleBarHeight();
  if (titleBar_ && titleBar_->HasThreeSections())
    look.Title = {titleBar_->LeftPicture(), titleBar_->RightPicture(), titleBar_->ClientPicture()};
  look.RoundCorner = RoundCorner();
  look.Designing = InState(csDesigning);
  look.MenuBar = MenuBarLook();
  look.HostColor = HostForm() ? HostForm()->Color() : Color();
  look.Borders = &borders_;
  return look;
}

bool TkyrForm::PaintFrame() { return !IsDestroying() && frame_.PaintFrame(); }

bool TkyrForm::UpdateWindowRegion() { return !IsDestroying() && frame_.UpdateWindowRegion(); }

// The frame is painted on its own (WM_NCPAINT) and no longer overlaps the client area, so the
// client paint does not repaint it as well.
void TkyrForm::Paint() {
  if (IsDestroying() || !pattern_) return;  // the buffer starts filled with Color
  TCanvas& canvas = Canvas();
  canvas.Brush().SetBitmap(pattern_.get());
  canvas.FillRect(ClientRect());
  canvas.Brush().SetBitmap(nullptr);
}

void TkyrForm::LoadBackgroundPattern(TkyrUIStyle style) {
  const char* name = style == MacOS ? "MACOS_FORM_BACKGROUND" : style == Protein ? "PROTEIN_FORM_BACKGROUND" : nullptr;
  if (!name) return pattern_.reset();
  pattern_ = std::make_unique<TBitmap>();
  pattern_->LoadFromResourceName(GetModuleHandleA(nullptr), name);
  if (pattern_->Width() == 0 || pattern_->Height() == 0) pattern_.reset();  // nothing to tile
}

void TkyrForm::Resize() {
  inherited::Resize();
  if (titleBar_) titleBar_->SetAlign(alTop);
}

void TkyrForm::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrForm> kTable[] = {{CM_COLORCHANGED, &TkyrForm::CMColorChanged},
                                                       {KYR_MSG_REBUILD_MENU_BAR, &TkyrForm::KYRRebuildMenuBar}};
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

// Color is also the frame's fill.
void TkyrForm::CMColorChanged(TMessage& m) {
  inherited::WndProc(m);
  PaintFrame();
}

// ---- style ----

// The values are stored without their setters' repaints; the frame is then changed once and
// the client invalidated once. A new window region re-frames the window itself (SetWindowRgn is a
// frame-changing SetWindowPos, flagged as one that keeps the client area); when border images
// came or went the client area does move, so SetWindowPos 0x37 is called as well.
void TkyrForm::ApplyUIStyle(const TkyrStyleSource& s) {
  if (!HostForm() || !titleBar_) return;
  const TkyrFrameInsets before = FrameInsets(borders_.SideWidth(), borders_.BottomHeight());
  {
    auto hold = frame_.Hold();
    borderColor_ = static_cast<TColor>(s.Color(KYR_THEME_FORM_BORDER_COLOR));
    borderWidth_ = s.Int(KYR_THEME_FORM_BORDER_WIDTH_INT);
    SetColor(static_cast<TColor>(s.Color(KYR_THEME_FORM_BACKGROUND_COLOR)));
    if (!s.FromFile()) {
      menuBarColor_ = Color();
    } else if (menuBar_) {
      menuBarColor_ = ThemeMenuBarColor(s, Color());
    }
    titleBar_->SetRoundCorner(s.Int(KYR_THEME_FORM_ROUND_CORNER_INT));
    titleBar_->SetRoundCornerBottom(s.FromFile() ? s.Int(KYR_THEME_FORM_BOTTOM_ROUND_CORNER_INT) : 0);
    borders_.Load(s);
    LoadBackgroundPattern(UIStyle());
    titleBar_->ApplyStyle(s);  // the panel's own style and theme, with what it decoded
    if (auto* menu = dynamic_cast<TkyrMainMenu*>(menu_.Get())) menu->ApplyStyle(s);
    if (menuBar_) {
      menuBar_->SetColor(menuBarColor_);
      menuBar_->Invalidate();  // the buttons are drawn in the menu's new style
    }
    if (uiStyleAutoUpdateSub_) ApplyStyleToControls(*this, UIStyle(), FileTheme());
  }
  const bool reframed = UpdateWindowRegion();
  const bool clientMoved = !(FrameInsets(borders_.SideWidth(), borders_.BottomHeight()) == before);
  if (!reframed || clientMoved) frame_.FrameChanged();
}

// The panel's children go DeepBlue with it.
void TkyrForm::FileThemeRemoved() {
  inherited::FileThemeRemoved();
  ApplyStyleToControls(*this, DeepBlue, nullptr);
}

// ---- properties ----

bool TkyrForm::TitleBarCustom() const { return titleBar_ && titleBar_->Custom(); }
void TkyrForm::SetTitleBarCustom(bool value) {
  if (titleBar_) titleBar_->SetCustom(value);
}

void TkyrForm::SetBorderColor(TColor value) {
  borderColor_ = value;
  PaintFrame();
}

void TkyrForm::SetBorderWidth(int value) {
  borderWidth_ = value;
  PaintFrame();
}

bool TkyrForm::TitleBarVisible() const { return titleBar_ && titleBar_->Visible(); }
void TkyrForm::SetTitleBarVisible(bool value) {
  if (!titleBar_) return;
  titleBar_->SetVisible(value);
  titleBar_->SetTop(0);
  PaintFrame();
  UpdateWindowRegion();  // a hidden bar squares the corners
}

std::string TkyrForm::Caption() const { return titleBar_ ? titleBar_->Caption() : std::string(); }
void TkyrForm::SetCaption(const std::string& value) {
  if (!titleBar_) return;
  titleBar_->SetCaption(value);
  HostForm()->SetCaption(value);
}

void TkyrForm::SetFormPanel(TCustomPanel* value) {
  if (value == this) {
    ShowMessage("Sorry, you can't select the Form assign to FormPanel property");
    return;
  }
  formPanel_ = value;
  if (!value) return;
  value->SetAlign(alClient);
  if (auto* panel = dynamic_cast<TPanel*>(value)) {
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvNone);
    panel->SetBorderStyle(bsNone);
    panel->SetText("");
  } else if (AsSkinned(value)) {
    value->SetText("");
  }
}

TkyrTitleBarButtons* TkyrForm::TitleBarButtons() const { return titleBar_ ? titleBar_->Buttons() : nullptr; }
TkyrTitleBarSections* TkyrForm::TitleBarSections() const { return titleBar_ ? titleBar_->Sections() : nullptr; }

TkyrTitleBarButtons* TkyrForm::StoredTitleBarButtons() const {
  if (titleBar_) return titleBar_->Buttons();
  if (!detachedButtons_) detachedButtons_ = std::make_unique<TkyrTitleBarButtons>(nullptr);
  return detachedButtons_.get();
}

TkyrTitleBarSections* TkyrForm::StoredTitleBarSections() const {
  if (titleBar_) return titleBar_->Sections();
  if (!detachedSections_) detachedSections_ = std::make_unique<TkyrTitleBarSections>(nullptr);
  return detachedSections_.get();
}

bool TkyrForm::TitleBarDrawAppIcon() const { return titleBar_ && titleBar_->DrawAppIcon(); }
void TkyrForm::SetTitleBarDrawAppIcon(bool value) {
  if (titleBar_) titleBar_->SetDrawAppIcon(value);
}

TFont* TkyrForm::TitleFont() { return titleBar_ ? titleBar_->Font() : Font(); }

int TkyrForm::RoundCorner() const { return TitleBarVisible() ? titleBar_->RoundCorner() : 0; }
void TkyrForm::SetRoundCorner(int value) {
  if (!titleBar_) return;
  titleBar_->SetRoundCorner(value);
  UpdateWindowRegion();
}

int TkyrForm::RoundCornerBottom() const { return TitleBarVisible() ? titleBar_->RoundCornerBottom() : 0; }
void TkyrForm::SetRoundCornerBottom(int value) {
  if (!titleBar_) return;
  titleBar_->SetRoundCornerBottom(value);
  UpdateWindowRegion();
}

const TkyrTitleBarButtonClickEvent& TkyrForm::OnTitleBarCustomBtnsClick() const {
  return titleBar_ ? titleBar_->OnCustomBtnsClick() : kNoClickEvent;
}
void TkyrForm::SetOnTitleBarCustomBtnsClick(TkyrTitleBarButtonClickEvent e) {
  if (titleBar_) titleBar_->SetOnCustomBtnsClick(std::move(e));
}
const TkyrTitleBarButtonClickEvent& TkyrForm::OnTitleBarHelpBtnClick() const {
  return titleBar_ ? titleBar_->OnHelpBtnClick() : kNoClickEvent;
}
void TkyrForm::SetOnTitleBarHelpBtnClick(TkyrTitleBarButtonClickEvent e) {
  if (titleBar_) titleBar_->SetOnHelpBtnClick(std::move(e));
}

int TkyrForm::TitleBarHeight() const { return TitleBarVisible() ? titleBar_->Height() : 0; }

void TkyrForm::DeclarePublished(TPublished<TkyrForm>& p) {
  p.Boolean("TitleBarCustom", &TkyrForm::TitleBarCustom, &TkyrForm::SetTitleBarCustom);
  p.Component("FileTheme", &TkyrForm::FileTheme, &TkyrForm::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrForm::UIStyle, &TkyrForm::SetUIStyle);
  p.Boolean("UIStyleAutoUpdateSub", &TkyrForm::UIStyleAutoUpdateSub, &TkyrForm::SetUIStyleAutoUpdateSub);
  p.Color("BorderColor", &TkyrForm::BorderColor, &TkyrForm::SetBorderColor);
  p.Integer("BorderWidth", &TkyrForm::BorderWidth, &TkyrForm::SetBorderWidth);
  p.Boolean("TitleBarVisible", &TkyrForm::TitleBarVisible, &TkyrForm::SetTitleBarVisible);
  p.String("Caption", &TkyrForm::Caption, &TkyrForm::SetCaption);
  p.Component("FormPanel", &TkyrForm::FormPanel, &TkyrForm::SetFormPanel);
  p.Object("TitleBarButtons", &TkyrForm::StoredTitleBarButtons);
  p.Object("TitleBarSections", &TkyrForm::StoredTitleBarSections);
  p.Boolean("TitleBarDrawAppIcon", &TkyrForm::TitleBarDrawAppIcon, &TkyrForm::SetTitleBarDrawAppIcon);
  p.Object("Font", &TkyrForm::TitleFont);
  p.Component("Menu", &TkyrForm::Menu, &TkyrForm::SetMenu);
  p.Color("MenuBarColor", &TkyrForm::MenuBarColor, &TkyrForm::SetMenuBarColor);
  p.Integer("MenuBarHeight", &TkyrForm::MenuBarHeight, &TkyrForm::SetMenuBarHeight);
  p.Integer("RoundCorner", &TkyrForm::RoundCorner, &TkyrForm::SetRoundCorner);
  p.Integer("RoundCornerBottom", &TkyrForm::RoundCornerBottom, &TkyrForm::SetRoundCornerBottom);
  p.String("Version", &TkyrForm::Version, &TkyrForm::SetVersion);
  p.Event("OnTitleBarCustomBtnsClick", &TkyrForm::OnTitleBarCustomBtnsClick, &TkyrForm::SetOnTitleBarCustomBtnsClick);
  p.Event("OnTitleBarHelpBtnClick", &TkyrForm::OnTitleBarHelpBtnClick, &TkyrForm::SetOnTitleBarHelpBtnClick);
}
