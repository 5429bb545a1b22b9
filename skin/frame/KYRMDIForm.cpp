#include "skin/frame/KYRMDIForm.h"

#include <algorithm>
#include <cmath>

#include "framework/core/SysUtils.h"
#include "skin/KYRPublic.h"
#include "skin/frame/KYRForm.h"

namespace {

constexpr int kButtonTags[3] = {kyrMDICloseTag, kyrMDIRestoreTag, kyrMDIMinimizeTag};

TCustomForm* RequireForm(TComponent* owner) {
  auto* form = dynamic_cast<TCustomForm*>(owner);
  if (!form) throw Exception("Sorry, TkyrMDIForm must be placed on a form");
  return form;
}

// The skinned form panel on FORM (an MDI child's), or nullptr.
TkyrForm* SkinnedPanelOn(TCustomForm* form) {
  if (!form) return nullptr;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* panel = dynamic_cast<TkyrForm*>(form->Controls(i))) return panel;
  return nullptr;
}

}  // namespace

TkyrMDIForm::TkyrMDIForm(TComponent* owner) : TkyrStyled(owner) {
  TCustomForm* form = RequireForm(owner);
  frame_.TakeOver(form);
  form->SetMenu(nullptr);
  titleBar_ = new TkyrTitleBar(this);
  titleBar_->SetParent(form);
  titleBar_->SetBounds(0, 0, form->ClientWidth(), titleBar_->Height());
  titleBar_->SetAlign(alTop);
  titleBar_->SetCaption(form->Caption());
  CreateMenuBar();
  RebuildMenuBar();
  appEvents_ = std::make_unique<TApplicationEvents>(nullptr);
  appEvents_->SetOnMessage([this](MSG& msg, bool& handled) { ApplicationMessage(msg, handled); });
  SetUIStyle(DeepBlue);
  frame_.StripCaption();
  SubclassClient();
}

// The client's procedure back first, so nothing of the frame runs while it goes.
TkyrMDIForm::~TkyrMDIForm() {
  Destroying();
  client_.Remove();
  appEvents_.reset();
  frame_.GiveBack();
}

// A control another piece of code puts at the top of the host lands above the frame's own; the
// next insertion moves the menu panel and then the title bar back above everything.
void TkyrMDIForm::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opInsert || !component || IsDestroying()) return;
  if (menuPanel_) menuPanel_->SetTop(0);
  if (titleBar_) titleBar_->SetTop(0);
}

// ---- the MDI client ----

// Once the frame's client window exists (a frame read from a description gets it later; a form
// that is no MDI form has none), never while going.
void TkyrMDIForm::SubclassClient() {
  HWND client = HostForm() && !IsDestroying() ? HostForm()->ClientHandle() : nullptr;
  if (!client || client_.Window() == client) return;
  client_.Install(client, [this](TMessage& m) { ClientMessage(m); });
}

void TkyrMDIForm::ClientMessage(TMessage& m) {
  client_.CallPrevious(m);
  if (IsDestroying()) return;
  switch (m.Msg) {
    case WM_MDIREFRESHMENU:
      UpdateMenuBar();
      SyncMDIButtons();
      break;
    case WM_MDIMAXIMIZE:
    case WM_MDIRESTORE:
    case WM_MDIDESTROY:
    case WM_MDIACTIVATE:
      SyncMDIButtons();
      break;
    case WM_PARENTNOTIFY:  // a child going: once it has gone, the menu and buttons of the next
      if (LOWORD(m.WParam) == WM_DESTROY) UpdateMenuBar();
      break;
    case WM_MDITILE:
      TileChildren();
      break;
    case WM_MDICASCADE:
      CascadeChildren();
      break;
    default:
      break;
  }
}

// The buttons follow whether the active child is maximised now, whoever maximised, restored or
// freed it (a child freed while maximised tells nobody), and the title bar the frame's text.
void TkyrMDIForm::SyncMDIButtons() {
  BOOL maximized = FALSE;
  if (HWND client = HostForm() ? HostForm()->ClientHandle() : nullptr)
    SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized));
  HideMDIButtons();
  if (maximized) ShowMDIButtons();
  CopyHostCaption();
}

// The system composes "Frame - [Child]" into the frame's window text while a child is
// maximised: that goes to the title bar only, so the form's own caption never grows.
void TkyrMDIForm::CopyHostCaption() {
  if (!titleBar_ || !HostWindow()) return;
  char text[512] = {};
  GetWindowTextA(HostWindow(), text, sizeof text);
  titleBar_->SetCaption(text);
}

// ---- the host ----

void TkyrMDIForm::FrameActivated(bool active) {
  if (titleBar_) titleBar_->SetFormActive(active);
}

void TkyrMDIForm::FrameSized() {
  if (titleBar_) titleBar_->UpdateMaxButtons();
}

void TkyrMDIForm::FrameHostMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN: {
      const MSG msg{HostWindow(), m.Msg, m.WParam, m.LParam, 0, {}};
      if (HandleMenuShortCut(msg)) m.Result = 1;
      break;
    }
    case KYR_MSG_REBUILD_MENU_BAR:
      RebuildMenuBar();
      break;
    case CM_WNDCREATED:
    case CM_RECREATEWND:
      SubclassClient();
      break;
    default:
      break;
  }
}

void TkyrMDIForm::ApplicationMessage(MSG& msg, bool& handled) {
  if (msg.message == WM_KEYDOWN && !IsDestroying()) handled = HandleMenuShortCut(msg) || handled;
}

// For the active frame only: every frame and panel sees every key of the application.
bool TkyrMDIForm::HandleMenuShortCut(const MSG& msg) {
  if (IsDestroying() || !currentMenu_ || !HostWindow() || GetActiveWindow() != HostWindow()) return false;
  return currentMenu_->IsShortCut(static_cast<WORD>(msg.wParam), KeyboardShiftState());
}

// ---- the menu panel and bar ----

void TkyrMDIForm::CreateMenuBar() {
  if (menuBar_) return;
  TCustomForm* form = HostForm();
  auto* panel = new TPanel(this);
  panel->SetBevelOuter(bvNone);
  panel->SetBevelInner(bvNone);
  panel->SetText("");
  panel->SetVisible(false);
  panel->SetBounds(0, titleBar_ ? titleBar_->Height() : 0, form->ClientWidth(), 22);
  panel->SetAlign(alTop);
  panel->SetParent(form);
  menuPanel_ = panel;
  auto* bar = new TkyrMenuBar(this);
  bar->SetFlat(true);
  bar->SetEdgeBorders(TEdgeBorders{});
  bar->SetShowCaptions(true);
  bar->SetAutoSize(true);
  bar->SetAlign(alTop);
  bar->SetOnCustomDrawButton([this](TObject* sender, TToolButton* button, TCustomDrawState state, bool& draw) {
    DrawMenuBarButton(sender, button, state, draw);
  });
  bar->SetOnCustomDraw([this](TObject* sender, const RECT& rect, bool& draw) { DrawMenuBarBackground(sender, rect, draw); });
  bar->SetParent(panel);
  menuBar_ = bar;
  if (titleBar_) titleBar_->SetTop(0);
  form->SetMenuBarControl(bar);
  CreateMDIButtons();
}

// From "MDI_CONTROL_BUTTON", three frames: close (the third), restore, minimise, right to left.
void TkyrMDIForm::CreateMDIButtons() {
  TBitmap strip;
  try {
    strip.LoadFromResourceName(GetModuleHandleA(nullptr), "MDI_CONTROL_BUTTON");
  } catch (const EInvalidGraphic&) {
    return;  // a program without the skin's bitmaps: no child buttons
  }
  for (int i = 1; i <= 3; ++i) {
    auto* button = new TkyrToolBarSpeedButton(this);
    TBitmap glyph;
    ExtractBitmapFrame(strip, glyph, 3, 4 - i);
    button->SetGlyph(glyph);
    button->SetBounds(menuPanel_->Width() - 20 - 18 * (i - 1), 1, 18, 18);
    button->SetAnchors(TAnchors{akTop, akRight});
    button->SetTag(-1380 - i);
    button->SetOnClick([this](TObject* sender) { MDIButtonClick(sender); });
    button->SetColor(menuBarColor_);
    button->SetVisible(false);
    button->SetParent(menuPanel_);
    button->BringToFront();
    mdiButtons_[static_cast<size_t>(i - 1)] = button;
  }
}

TkyrToolBarSpeedButton* TkyrMDIForm::MDIButton(int tag) const {
  for (const auto& button : mdiButtons_)
    if (button && button->Tag() == tag) return button;
  return nullptr;
}

void TkyrMDIForm::SetMenu(TMainMenu* value) {
  if (auto* old = dynamic_cast<TkyrMainMenu*>(menu_.Get()); old && old != value && old->Host() == this)
    old->SetHost(nullptr);
  menu_ = value;
  if (auto* menu = dynamic_cast<TkyrMainMenu*>(value)) menu->SetHost(this);
  RebuildMenuBar();
}

// The active child's menu replaces the frame's while TitleBarDrawChildMenus: the child form's own
// menu, else the one its skinned panel shows.
void TkyrMDIForm::RebuildMenuBar() {
  rebuildPosted_ = false;
  if (IsDestroying() || !menuBar_ || !HostForm()) return;
  TMainMenu* shown = menu_;
  if (TCustomForm* child = drawChildMenus_ && titleBar_ ? HostForm()->ActiveMDIChild() : nullptr) {
    TkyrForm* panel = SkinnedPanelOn(child);
    if (child->Menu())
      shown = child->Menu();
    else if (panel && panel->Menu())
      shown = panel->Menu();
  }
  currentMenu_ = shown;
  SyncMDIButtons();
  if (!shown) return ShowMenuPanel(false);
  if (titleBar_) titleBar_->SetTop(0);
  RebuildMenuBarButtons(*menuBar_, *shown, this);
  UpdateMenuBarFont();
  ShowMenuPanel(true);
}

void TkyrMDIForm::ShowMenuPanel(bool show) {
  if (!menuPanel_) return;
  if (show) menuPanel_->SetHeight(menuBar_->Height());
  menuPanel_->SetVisible(show);
  PaintFrame();
}

void TkyrMDIForm::UpdateMenuBar() {
  if (!menuBar_ || rebuildPosted_ || IsDestroying()) return;
  rebuildPosted_ = HostWindow() && PostMessageA(HostWindow(), KYR_MSG_REBUILD_MENU_BAR, 0, 0);
  if (!rebuildPosted_) RebuildMenuBar();
}

void TkyrMDIForm::UpdateMenuBarItems() {
  if (menuBar_ && !IsDestroying()) UpdateMenuBarButtons(*menuBar_);
}

void TkyrMDIForm::UpdateMenuBarFont() {
  auto* menu = dynamic_cast<TkyrMainMenu*>(currentMenu_.Get());
  if (!menuBar_ || !menu || IsDestroying()) return;
  menu->GetItemFont(*menuBar_->Font());
  menuBar_->Invalidate();
}

// The MDI frame draws in its own style, disabled captions like the others.
TkyrMenuBarLook TkyrMDIForm::BarLook() const {
  TkyrMenuBarLook look;
  look.Style = UIStyle();
  look.FileTheme = FileTheme();
  look.Menu = dynamic_cast<const TkyrMainMenu*>(currentMenu_.Get());
  look.GreyDisabled = false;
  return look;
}

void TkyrMDIForm::DrawMenuBarButton(TObject*, TToolButton* button, TCustomDrawState state, bool& defaultDraw) {
  defaultDraw = false;
  if (!menuBar_ || !button) return;
  PaintMenuBarToolButton(*menuBar_, *button, state, BarLook());
}

void TkyrMDIForm::DrawMenuBarBackground(TObject*, const RECT& rect, bool&) {
  if (menuBar_) PaintMenuBarBackground(menuBar_->Canvas(), rect, BarLook());
}

// ---- the child buttons ----

void TkyrMDIForm::ShowMDIButtons() {
  TkyrForm* panel = SkinnedPanelOn(HostForm() ? HostForm()->ActiveMDIChild() : nullptr);
  if (!panel || !panel->TitleBarButtons()) return;
  TkyrTitleBarButtons* buttons = panel->TitleBarButtons();
  for (int i = 0; i < buttons->Count(); ++i) {
    const TkyrTitleBarBtnType type = buttons->Items(i)->ButtonType();
    const int tag = type == kyrMin ? kyrMDIMinimizeTag : type == kyrMax ? kyrMDIRestoreTag
                  : type == kyrClose ? kyrMDICloseTag : 0;
    if (TkyrToolBarSpeedButton* button = MDIButton(tag)) {
      button->SetVisible(true);
      // Above the bar's window, which may have been made after the buttons were ordered.
      button->BringToFront();
    }
  }
}

void TkyrMDIForm::HideMDIButtons() {
  for (auto& button : mdiButtons_)
    if (button) button->SetVisible(false);
}

// Acts on the active child and returns: the child's own messages follow from the loop.
void TkyrMDIForm::MDIButtonClick(TObject* sender) {
  auto* button = dynamic_cast<TkyrToolBarSpeedButton*>(sender);
  TCustomForm* child = button && HostForm() ? HostForm()->ActiveMDIChild() : nullptr;
  if (!child) return;
  switch (button->Tag()) {
    case kyrMDIMinimizeTag:
      ShowWindow(child->Handle(), SW_SHOWMINIMIZED);
      break;
    case kyrMDIRestoreTag:
      child->SetWindowState(wsNormal);
      break;
    case kyrMDICloseTag:
      child->Close();
      break;
    default:
      break;
  }
}

// ---- arranging ----

std::vector<TCustomForm*> TkyrMDIForm::ArrangedChildren() const {
  std::vector<TCustomForm*> children;
  TCustomForm* form = HostForm();
  if (!form) return children;
  for (int i = form->MDIChildCount() - 1; i >= 0; --i) {
    TCustomForm* child = form->MDIChildren(i);
    if (child->Visible() && !IsIconic(child->Handle())) children.push_back(child);
  }
  return children;
}

bool TkyrMDIForm::HasMinimisedChild() const {
  TCustomForm* form = HostForm();
  for (int i = 0; form && i < form->MDIChildCount(); ++i)
    if (form->MDIChildren(i)->Visible() && IsIconic(form->MDIChildren(i)->Handle())) return true;
  return false;
}

// Each 80 % of the host's client width and 60 % of its height, 22 pixels further for each.
void TkyrMDIForm::CascadeChildren() {
  TCustomForm* form = HostForm();
  if (!form) return;
  const int width = static_cast<int>(std::trunc(form->ClientWidth() * 0.8));
  const int height = static_cast<int>(std::trunc(form->ClientHeight() * 0.6));
  int offset = 0;
  for (TCustomForm* child : ArrangedChildren()) {
    child->SetBounds(offset, offset, width, height);
    offset += 22;
  }
}

// Rows (or columns) in the height the title bar and menu panel leave, 25 pixels kept for the
// icons of minimised children; never a negative size on a small client.
void TkyrMDIForm::TileChildren() {
  TCustomForm* form = HostForm();
  if (!form) return;
  const std::vector<TCustomForm*> children = ArrangedChildren();
  const int n = static_cast<int>(children.size());
  if (n == 0) return;
  int avail = form->ClientHeight();
  for (int i = 0; i < form->ControlCount(); ++i) {
    TControl* control = form->Controls(i);
    if (control->Visible() && (control->Align() == alTop || control->Align() == alBottom)) avail -= control->Height();
  }
  if (HasMinimisedChild()) avail -= 25;  // hidden children take no room
  int position = 0;
  if (form->TileMode() == tbVertical) {
    const int column = form->ClientWidth() / n;
    for (TCustomForm* child : children) {
      child->SetBounds(position, 0, std::max(0, column - 2), std::max(0, avail - 4));
      position += std::max(0, column - 2);
    }
    return;
  }
  const int row = avail / n;
  for (TCustomForm* child : children) {
    child->SetBounds(0, position, std::max(0, form->ClientWidth() - 4), std::max(0, row - 2));
    position += std::max(0, row - 2);
  }
}

// ---- painting ----

// As the skinned form panel: the frame's top is the title bar, and the strip beside the menu panel
// is painted in the bar's colour.
TkyrFrameLook TkyrMDIForm::FrameLook() const {
  TkyrFrameLook look;
  look.BorderWidth = borderWidth_;
  look.BorderColor = borderColor_;
  look.FillColor = menuBarColor_;
  look.TitleBarVisible = TitleBarVisible();
  look.TopHeight = TitleBarVisible() ? titleBar_->Height() : 0;
  if (titleBar_ && titleBar_->HasThreeSections())
    look.Title = {titleBar_->LeftPicture(), titleBar_->RightPicture(), titleBar_->ClientPicture()};
  look.RoundCorner = RoundCorner();
  look.Designing = InState(csDesigning);
  if (menuBar_) {
    look.MenuBar.Exists = true;
    look.MenuBar.Visible = menuPanel_ && menuPanel_->Visible();
    look.MenuBar.Top = (titleBar_ ? titleBar_->Height() : 0) + 3;
    look.MenuBar.Height = menuPanel_ ? menuPanel_->Height() : 0;
    look.MenuBar.Color = menuBar_->Color();
  }
  look.HostColor = HostForm() ? HostForm()->Color() : menuBarColor_;
  look.Borders = &borders_;
  return look;
}

bool TkyrMDIForm::PaintFrame() { return !IsDestroying() && frame_.PaintFrame(); }

bool TkyrMDIForm::UpdateWindowRegion() { return !IsDestroying() && frame_.UpdateWindowRegion(); }

// ---- style ----

void TkyrMDIForm::ApplyUIStyle(const TkyrStyleSource& s) {
  if (!HostForm() || !titleBar_) return;
  {
    auto hold = frame_.Hold();
    borderColor_ = static_cast<TColor>(s.Color(KYR_THEME_FORM_BORDER_COLOR));
    menuBarColor_ = static_cast<TColor>(s.Color(KYR_THEME_FORM_BACKGROUND_COLOR));
    borderWidth_ = s.Int(KYR_THEME_FORM_BORDER_WIDTH_INT);
    if (s.FromFile()) menuBarColor_ = ThemeMenuBarColor(s, menuBarColor_);
    roundCorner_ = s.Int(KYR_THEME_FORM_ROUND_CORNER_INT);
    roundCornerBottom_ = s.FromFile() ? s.Int(KYR_THEME_FORM_BOTTOM_ROUND_CORNER_INT) : 0;
    borders_.Load(s);
    if (auto* menu = dynamic_cast<TkyrMainMenu*>(menu_.Get())) menu->ApplyStyle(s);
    titleBar_->ApplyStyle(s);
    titleBar_->SetRoundCorner(0);  // the frame keeps its own corners for the region
    titleBar_->SetRoundCornerBottom(0);
    for (auto& button : mdiButtons_)
      if (button) button->SetColor(menuBarColor_);
    if (menuBar_) {
      menuBar_->SetColor(menuBarColor_);
      menuBar_->Invalidate();
    }
  }
  UpdateWindowRegion();
  frame_.FrameChanged();
}

// ---- properties ----

void TkyrMDIForm::SetMenuBarColor(TColor value) {
  menuBarColor_ = value;
  if (menuBar_) menuBar_->SetColor(value);
  PaintFrame();
}

void TkyrMDIForm::SetBorderColor(TColor value) {
  borderColor_ = value;
  if (!InState(csDesigning)) PaintFrame();
}

std::string TkyrMDIForm::Caption() const { return HostForm() ? HostForm()->Caption() : std::string(); }
void TkyrMDIForm::SetCaption(const std::string& value) {
  if (HostForm()) HostForm()->SetCaption(value);
  if (titleBar_) titleBar_->SetCaption(value);
}

bool TkyrMDIForm::TitleBarDrawAppIcon() const { return titleBar_ && titleBar_->DrawAppIcon(); }
void TkyrMDIForm::SetTitleBarDrawAppIcon(bool value) {
  if (titleBar_) titleBar_->SetDrawAppIcon(value);
}

bool TkyrMDIForm::TitleBarCustom() const { return titleBar_ && titleBar_->Custom(); }
void TkyrMDIForm::SetTitleBarCustom(bool value) {
  if (titleBar_) titleBar_->SetCustom(value);
}

bool TkyrMDIForm::TitleBarVisible() const { return titleBar_ && titleBar_->Visible(); }
void TkyrMDIForm::SetTitleBarVisible(bool value) {
  if (!titleBar_) return;
  titleBar_->SetVisible(value);
  titleBar_->SetTop(0);
  PaintFrame();
  UpdateWindowRegion();
}

TkyrTitleBarButtons* TkyrMDIForm::TitleBarButtons() const { return titleBar_ ? titleBar_->Buttons() : nullptr; }
TkyrTitleBarSections* TkyrMDIForm::TitleBarSections() const { return titleBar_ ? titleBar_->Sections() : nullptr; }

void TkyrMDIForm::SetTitleBarDrawChildMenus(bool value) {
  drawChildMenus_ = value;
  UpdateMenuBar();
}

void TkyrMDIForm::SetRoundCorner(int value) {
  roundCorner_ = value;
  UpdateWindowRegion();
}

void TkyrMDIForm::SetRoundCornerBottom(int value) {
  roundCornerBottom_ = value;
  UpdateWindowRegion();
}

void TkyrMDIForm::DeclarePublished(TPublished<TkyrMDIForm>& p) {
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrMDIForm::UIStyle, &TkyrMDIForm::SetUIStyle);
  p.Component("FileTheme", &TkyrMDIForm::FileTheme, &TkyrMDIForm::SetFileTheme);
  p.Component("Menu", &TkyrMDIForm::Menu, &TkyrMDIForm::SetMenu);
  p.Color("MenuBarColor", &TkyrMDIForm::MenuBarColor, &TkyrMDIForm::SetMenuBarColor);
  p.Color("BorderColor", &TkyrMDIForm::BorderColor, &TkyrMDIForm::SetBorderColor);
  p.String("Caption", &TkyrMDIForm::Caption, &TkyrMDIForm::SetCaption);
  p.Boolean("TitleBarDrawAppIcon", &TkyrMDIForm::TitleBarDrawAppIcon, &TkyrMDIForm::SetTitleBarDrawAppIcon);
  p.Boolean("TitleBarCustom", &TkyrMDIForm::TitleBarCustom, &TkyrMDIForm::SetTitleBarCustom);
  p.Boolean("TitleBarVisible", &TkyrMDIForm::TitleBarVisible, &TkyrMDIForm::SetTitleBarVisible);
  p.Object("TitleBarButtons", &TkyrMDIForm::TitleBarButtons);
  p.Object("TitleBarSections", &TkyrMDIForm::TitleBarSections);
  p.Boolean("TitleBarDrawChildCaptions", &TkyrMDIForm::TitleBarDrawChildCaptions,
            &TkyrMDIForm::SetTitleBarDrawChildCaptions);
  p.Boolean("TitleBarDrawChildMenus", &TkyrMDIForm::TitleBarDrawChildMenus, &TkyrMDIForm::SetTitleBarDrawChildMenus);
  p.Integer("RoundCorner", &TkyrMDIForm::RoundCorner, &TkyrMDIForm::SetRoundCorner);
  p.Integer("RoundCornerBottom", &TkyrMDIForm::RoundCornerBottom, &TkyrMDIForm::SetRoundCornerBottom);
}
