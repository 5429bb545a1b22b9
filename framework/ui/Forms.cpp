#include "framework/ui/Forms.h"

#include <algorithm>

#include "framework/core/FormReader.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/ComponentClasses.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Hints.h"
#include "framework/ui/Menus.h"

namespace {

std::vector<TCustomForm*>& FormList() {
  static std::vector<TCustomForm*> forms;
  return forms;
}

std::vector<TApplicationEvents*>& EventObjects() {
  static std::vector<TApplicationEvents*> events;
  return events;
}

struct TBorderEntry {
  TFormBorderStyle border;
  DWORD style;
  DWORD exStyle;
  bool minMax;  // the minimise and maximise boxes are possible
};
constexpr TBorderEntry kBorders[] = {
    {bsNone, WS_POPUP, 0, false},
    {bsSingle, WS_CAPTION, 0, true},
    {bsSizeable, WS_CAPTION | WS_THICKFRAME, 0, true},
    {bsDialog, WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, false},
    {bsToolWindow, WS_CAPTION, WS_EX_TOOLWINDOW, false},
    {bsSizeToolWin, WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW, false},
};

TApplication* OwningApplication(const TComponent* c) {
  if (auto* app = dynamic_cast<TApplication*>(c->Owner())) return app;
  return Application.operator->();
}

// Posted to the application window when it received the focus.
constexpr UINT CM_FOCUSTOPWINDOW = CM_BASE + 0x22;

// Zero-sized at the screen's centre, so nothing of it is seen (CreateWindowEx imposes no
// minimum size on a WS_POPUP window without WS_THICKFRAME). The caption and system menu give
// the taskbar entry its text and menu, the minimise box lets the taskbar minimise it. No tool
// window and owned by nobody: what the shell gives a taskbar button.
TUtilityWindowParams ApplicationWindowParams(const std::string& title) {
  TUtilityWindowParams params;
  params.Style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
  params.ExStyle = 0;
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  params.Bounds = {x, y, x, y};
  params.Caption = title;
  return params;
}

bool IsOwnedBy(HWND window, HWND owner) {
  for (HWND o = GetWindow(window, GW_OWNER); o; o = GetWindow(o, GW_OWNER))
    if (o == owner) return true;
  return false;
}

// The topmost visible, enabled window owned, directly or through other windows, by OWNER:
// the form in front, or the message box a form is waiting for.
HWND TopOwnedWindow(HWND owner) {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w) && IsWindowEnabled(w) && IsOwnedBy(w, owner)) return w;
  return nullptr;
}

}  // namespace

void FormWindowStyle(TFormBorderStyle border, TBorderIcons icons, DWORD& style, DWORD& exStyle) {
  const TBorderEntry& e = kBorders[border];
  style = e.style;
  exStyle = e.exStyle;
  if (border == bsNone || !icons.Contains(biSystemMenu)) return;
  style |= WS_SYSMENU;
  if (e.minMax && icons.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
  if (e.minMax && icons.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
  // Windows shows the help button only without minimise and maximise boxes.
  if (icons.Contains(biHelp) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) exStyle |= WS_EX_CONTEXTHELP;
}

const std::vector<TCustomForm*>& AllForms() { return FormList(); }

// ---- TCustomForm ----
TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetBounds(100, 100, 320, 240);
  SetParentFont(false);
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls);
  SetControlStyle(style);
  icon_.OnChange = [this](TObject*) { ApplyIcon(); };
  FormList().push_back(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  FormList().erase(std::remove(FormList().begin(), FormList().end(), this), FormList().end());
  if (onDestroy_) {
    try {
      onDestroy_(this);
    } catch (...) {
      HandleEventException();
    }
  }
  DestroyChildren();
  DestroyWnd();
  OwningApplication(this)->UpdateVisible();
}

void TCustomForm::InitializeForm() {
  ReadComponentResource(*this);
  if (onCreate_) onCreate_(this);
  if (Visible()) ApplyVisible();
}

void TCustomForm::Loaded() {
  inherited::Loaded();
  if (pendingClientWidth_ >= 0) {
    const int width = pendingClientWidth_, height = pendingClientHeight_;
    pendingClientWidth_ = pendingClientHeight_ = -1;
    SetClientSize(width, height);
  }
  const int screen = ScreenPixelsPerInch();
  if (scaled_ && pixelsPerInch_ > 0 && pixelsPerInch_ != screen) ScaleForm(screen, pixelsPerInch_);
}

void TCustomForm::ScaleForm(int numerator, int denominator) {
  auto scale = [&](int v) { return MulDiv(v, numerator, denominator); };
  std::vector<TControl*> pending{this};
  while (!pending.empty()) {
    TControl* c = pending.back();
    pending.pop_back();
    if (c != this) c->SetBounds(scale(c->Left()), scale(c->Top()), scale(c->Width()), scale(c->Height()));
    if (!c->ParentFont()) c->Font()->SetHeight(scale(c->Font()->Height()));
    if (auto* w = dynamic_cast<TWinControl*>(c))
      for (int i = 0; i < w->ControlCount(); ++i) pending.push_back(w->Controls(i));
  }
  SetClientSize(scale(ClientWidth()), scale(ClientHeight()));
  pixelsPerInch_ = numerator;
}

void TCustomForm::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  FormWindowStyle(borderStyle_, borderIcons_, params.Style, params.ExStyle);
  params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (autoScroll_) params.Style |= WS_HSCROLL | WS_VSCROLL;
  if (formStyle_ == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
  // Owned by the application window: no taskbar button of its own, and minimised with it.
  params.WndParent = OwningApplication(this)->Handle();
  params.ClassName = "VantorForm";
  if (position_ == poDefault || position_ == poDefaultPosOnly) params.X = params.Y = CW_USEDEFAULT;
  if (position_ == poDefault || position_ == poDefaultSizeOnly) params.Width = params.Height = CW_USEDEFAULT;
  if (formStyle_ == fsMDIChild) MDIChildParams(params);
}

void TCustomForm::CreateWindowHandle(const TCreateParams& params) {
  if (formStyle_ == fsMDIForm) CreateMDIClient();  // before the layout that places it
  inherited::CreateWindowHandle(params);
  MenuChanged();
  ApplyIcon();
  UpdateScrollRange();
}

RECT TCustomForm::ClientRect() const {
  RECT r;
  if (HandleAllocated()) {
    r = inherited::ClientRect();
  } else {
    DWORD style, exStyle;
    FormWindowStyle(borderStyle_, borderIcons_, style, exStyle);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, menu_ != nullptr && formStyle_ != fsMDIChild, exStyle);
    r = {0, 0, std::max(0L, Width() - (frame.right - frame.left)), std::max(0L, Height() - (frame.bottom - frame.top))};
  }
  // While a description is read, a client size set earlier is what the form will have.
  if (pendingClientWidth_ >= 0) r.right = pendingClientWidth_;
  if (pendingClientHeight_ >= 0) r.bottom = pendingClientHeight_;
  return r;
}

void TCustomForm::SetClientSize(int width, int height) {
  if (InState(csLoading)) {
    // The border style may still change while the description is read: apply in Loaded.
    pendingClientWidth_ = width;
    pendingClientHeight_ = height;
    return;
  }
  inherited::SetClientSize(width, height);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (borderStyle_ == value) return;
  CheckRecreatable();
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (borderIcons_ == value) return;
  CheckRecreatable();
  borderIcons_ = value;
  RecreateWnd();
}

// Becoming or ceasing to be an MDI frame or child takes another kind of window.
void TCustomForm::SetFormStyle(TFormStyle value) {
  if (formStyle_ == value) return;
  const bool mdiChange = formStyle_ == fsMDIForm || formStyle_ == fsMDIChild || value == fsMDIForm || value == fsMDIChild;
  if (mdiChange) CheckRecreatable();
  formStyle_ = value;
  if (!HandleAllocated()) return;
  if (mdiChange) {
    RecreateWnd();
    if (Visible()) ApplyVisible();
    return;
  }
  SetWindowPos(HandleIfAllocated(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState value) {
  if (windowState_ == value) return;
  windowState_ = value;
  if (!HandleAllocated() || !Visible()) return;
  if (MDIFrame()) return ApplyMDIWindowState();
  static constexpr int kShow[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
  ShowWindow(HandleIfAllocated(), kShow[value]);
}

void TCustomForm::SetAutoScroll(bool value) {
  if (autoScroll_ == value) return;
  autoScroll_ = value;
  UpdateScrollRange();
}

// The scroll bars cover the children's extent beyond the client area; without AutoScroll,
// or when everything fits, they are hidden and the contents scrolled back to the origin.
void TCustomForm::UpdateScrollRange() {
  HWND window = HandleIfAllocated();
  if (!window) return;
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    const TControl* c = Controls(i);
    if (!c->Visible() || c->Align() != alNone) continue;
    right = std::max(right, c->Left() + c->Width() + static_cast<int>(scrollPos_.x));
    bottom = std::max(bottom, c->Top() + c->Height() + static_cast<int>(scrollPos_.y));
  }
  RECT client;
  GetClientRect(window, &client);
  const int ranges[2] = {autoScroll_ && right > client.right ? right : 0,
                         autoScroll_ && bottom > client.bottom ? bottom : 0};
  const int pages[2] = {client.right, client.bottom};
  for (int bar : {SB_HORZ, SB_VERT}) {
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, ranges[bar] > 0 ? ranges[bar] - 1 : 0,
                  static_cast<UINT>(ranges[bar] > 0 ? pages[bar] : 0), 0, 0};
    LONG& pos = bar == SB_HORZ ? scrollPos_.x : scrollPos_.y;
    const int newPos = ranges[bar] > 0 ? std::min<int>(pos, ranges[bar] - pages[bar]) : 0;
    si.nPos = newPos;
    SetScrollInfo(window, bar, &si, TRUE);
    if (newPos != pos) {
      const int delta = pos - newPos;
      pos = newPos;
      bar == SB_HORZ ? ScrollBy(delta, 0) : ScrollBy(0, delta);
    }
  }
}

void TCustomForm::Scroll(int bar, WORD request) {
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(HandleIfAllocated(), bar, &si);
  int pos = si.nPos;
  switch (request) {
    case SB_LINEUP: pos -= 8; break;
    case SB_LINEDOWN: pos += 8; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    default: return;
  }
  pos = std::clamp(pos, 0, std::max(0, si.nMax - static_cast<int>(si.nPage) + 1));
  LONG& current = bar == SB_HORZ ? scrollPos_.x : scrollPos_.y;
  const int delta = current - pos;
  current = pos;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(HandleIfAllocated(), bar, &si, TRUE);
  bar == SB_HORZ ? ScrollBy(delta, 0) : ScrollBy(0, delta);
}

void TCustomForm::ApplyVisible() {
  if (!Visible()) {
    HandMDIActivationOn();
    if (HandleAllocated()) ShowWindow(HandleIfAllocated(), SW_HIDE);
    OwningApplication(this)->UpdateVisible();
    if (onHide_) onHide_(this);
    return;
  }
  HWND window = Handle();
  ApplyPosition();
  OwningApplication(this)->UpdateVisible();  // the taskbar entry first, then what it stands for
  static constexpr int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
  ShowWindow(window, kShow[windowState_]);
  // ShowWindow does not activate a child window: the client does, for an MDI child.
  if (TCustomForm* frame = MDIFrame()) SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
  if (onShow_) onShow_(this);
}

void TCustomForm::ApplyPosition() {
  if (positioned_) return;
  positioned_ = true;
  RECT area;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* other = position_ == poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner())
                                                          : OwningApplication(this)->MainForm();
      if (!other || other == this) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
      } else {
        area = other->BoundsRect();
      }
      break;
    }
    default:
      return;
  }
  SetBounds(area.left + (area.right - area.left - Width()) / 2, area.top + (area.bottom - area.top - Height()) / 2,
            Width(), Height());
}

int TCustomForm::ShowModal() {
  if (Visible() || modal_) throw Exception("Cannot make a visible window modal");
  TApplication* app = OwningApplication(this);
  std::vector<HWND> disabled;
  for (TCustomForm* f : AllForms()) {
    HWND w = f->HandleIfAllocated();
    if (f != this && w && IsWindowVisible(w) && IsWindowEnabled(w)) {
      EnableWindow(w, FALSE);
      disabled.push_back(w);
    }
  }
  modalResult_ = mrNone;
  {
    auto reenable = OnScopeExit([&disabled] {
      for (HWND w : disabled) EnableWindow(w, TRUE);
    });
    TRestoreOnExit modal(modal_, true);
    Show();
    while (modalResult_ == mrNone && !app->Terminated()) {
      app->HandleMessage();
      if (modalResult_ != mrNone && !CloseQuery()) modalResult_ = mrNone;
    }
  }
  Hide();
  return modalResult_;
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (onCloseQuery_) onCloseQuery_(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  // An MDI child closed by default goes to an icon in its frame, as MDI users expect.
  TCloseAction action = formStyle_ == fsMDIChild ? caMinimize : caHide;
  DoClose(action);
  if (action == caNone) return;
  TApplication* app = OwningApplication(this);
  if (app->MainForm() == this) {
    app->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (onClose_) onClose_(this, action);
}

void TCustomForm::Release() {
  if (HandleAllocated())
    PostMessageA(HandleIfAllocated(), CM_RELEASE, 0, 0);
  else
    delete this;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control && control->ParentForm() != this) throw Exception("Invalid active control");
  activeControl_ = control;
  if (control && Active()) control->SetFocus();
}

void TCustomForm::ControlFocused(TWinControl* control) {
  activeControl_ = control;
  // The focus in an MDI child that is not the active one (SetFocus from code): the client
  // activates it only for clicks, so the framework does, or the keys would go to one child
  // while another is drawn active.
  if (TCustomForm* frame = MDIFrame(); frame && frame->ActiveMDIChild() != this)
    SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(HandleIfAllocated()), 0);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

namespace {
void CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& out) {
  std::vector<TWinControl*> children;
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i))) children.push_back(w);
  std::stable_sort(children.begin(), children.end(),
                   [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TWinControl* w : children) {
    if (w->TabStop() && w->CanFocus()) out.push_back(w);
    CollectTabStops(w, out);
  }
}
}  // namespace

void TCustomForm::SelectNext(TWinControl* current, bool forward) {
  std::vector<TWinControl*> stops;
  CollectTabStops(this, stops);
  if (stops.empty()) return;
  auto it = std::find(stops.begin(), stops.end(), current);
  size_t index = it == stops.end() ? (forward ? stops.size() - 1 : 0) : static_cast<size_t>(it - stops.begin());
  index = forward ? (index + 1) % stops.size() : (index + stops.size() - 1) % stops.size();
  stops[index]->SetFocus();
}

// A child window is never the active window: an MDI child is active while its frame is and
// the client reports it as its active child.
bool TCustomForm::Active() const {
  if (const TCustomForm* frame = MDIFrame()) return frame->Active() && frame->ActiveMDIChild() == this;
  return HandleAllocated() && GetActiveWindow() == HandleIfAllocated();
}

TMainMenu* TCustomForm::Menu() const { return menu_; }

void TCustomForm::SetMenu(TMainMenu* value) {
  if (menu_ == value) return;
  if (menu_) menu_->SetWindow(nullptr);
  menu_ = value;
  MenuChanged();
}

void TCustomForm::MenuChanged() {
  HWND window = HandleIfAllocated();
  if (!window) return;
  // A child window has no menu bar (its menu field is its id): an MDI child's menu is for a
  // frame that shows it.
  if (MDIFrame()) {
    if (menu_) menu_->SetWindow(window);
    return;
  }
  // Detach first: building the new handle frees the one the window may still show.
  ::SetMenu(window, nullptr);
  if (menu_) menu_->SetWindow(window);
  ::SetMenu(window, menu_ ? menu_->Handle() : nullptr);
  DrawMenuBar(window);
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) { return menu_ && menu_->IsShortCut(key, shift); }

void TCustomForm::PaintWindow(HDC dc) {
  TCanvasDCGuard on(canvas_, dc);
  Paint();
}

void TCustomForm::Paint() {
  if (onPaint_) onPaint_(this);
}

// ---- form messages ----
void TCustomForm::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TCustomForm> kTable[] = {
      {WM_CLOSE, &TCustomForm::WMClose},
      {WM_SIZE, &TCustomForm::WMSize},
      {WM_ACTIVATE, &TCustomForm::WMActivate},
      {WM_SETFOCUS, &TCustomForm::WMSetFocus},
      {WM_GETMINMAXINFO, &TCustomForm::WMGetMinMaxInfo},
      {WM_SYSCOMMAND, &TCustomForm::WMSysCommand},
      {WM_HSCROLL, &TCustomForm::WMScroll},
      {WM_VSCROLL, &TCustomForm::WMScroll},
      {CM_DIALOGKEY, &TCustomForm::CMDialogKey},
      {CM_RELEASE, &TCustomForm::CMRelease},
      {CM_ICONCHANGED, &TCustomForm::CMIconChanged},
      // MDI
      {WM_MDIACTIVATE, &TCustomForm::WMMDIActivate},
      {WM_NCDESTROY, &TCustomForm::WMNCDestroy},
      {CM_REDRAWMDICLIENT, &TCustomForm::CMRedrawMDIClient},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TCustomForm::WMClose(TMessage&) { Close(); }

// Only a shown window's size says what its state is: a window still being created (or
// re-framed, SetWindowPos) before it is shown reports SIZE_RESTORED, which would undo a
// WindowState set for the show.
void TCustomForm::WMSize(TMessage& m) {
  inherited::WndProc(m);
  if (Visible() && IsWindowVisible(HandleIfAllocated())) {
    switch (m.WParam) {
      case SIZE_MAXIMIZED: windowState_ = wsMaximized; break;
      case SIZE_MINIMIZED: windowState_ = wsMinimized; break;
      case SIZE_RESTORED: windowState_ = wsNormal; break;
      default: break;
    }
  }
  if (autoScroll_) UpdateScrollRange();
}

void TCustomForm::WMActivate(TMessage& m) {
  inherited::WndProc(m);
  if (LOWORD(m.WParam) != WA_INACTIVE) {
    if (activeControl_ && activeControl_->CanFocus() && !FocusGoesToMDIChild()) activeControl_->SetFocus();
    if (onActivate_) onActivate_(this);
  } else if (onDeactivate_) {
    onDeactivate_(this);
  }
}

void TCustomForm::WMSetFocus(TMessage& m) {
  if (MDIFrame()) DefaultHandler(m);  // DefMDIChildProc activates the child that got the focus
  if (activeControl_ && activeControl_->CanFocus() && !FocusGoesToMDIChild()) {
    activeControl_->SetFocus();
    return;
  }
  inherited::WndProc(m);
}

void TCustomForm::WMGetMinMaxInfo(TMessage& m) {
  inherited::WndProc(m);
  auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
  TSizeConstraints* c = Constraints();
  if (c->MinWidth() > 0) info->ptMinTrackSize.x = c->MinWidth();
  if (c->MinHeight() > 0) info->ptMinTrackSize.y = c->MinHeight();
  if (c->MaxWidth() > 0) info->ptMaxTrackSize.x = c->MaxWidth();
  if (c->MaxHeight() > 0) info->ptMaxTrackSize.y = c->MaxHeight();
}

bool TCustomForm::MenuBarKey(LPARAM key) { return menuBar_ && menuBar_->Perform(CM_KEYMENU, 0, key) != 0; }

// The main form's minimise is the application's: every window goes, the taskbar entry stays.
// SC_KEYMENU goes to the form's menu bar control when it has one (nothing may touch the form
// afterwards: the command chosen may have freed it).
void TCustomForm::WMSysCommand(TMessage& m) {
  if ((m.WParam & 0xFFF0) == SC_KEYMENU && MenuBarKey(m.LParam)) return;
  TApplication* app = OwningApplication(this);
  if ((m.WParam & 0xFFF0) == SC_MINIMIZE && app->MainForm() == this && app->Handle()) {
    app->Minimize();
    return;
  }
  inherited::WndProc(m);
}

void TCustomForm::WMScroll(TMessage& m) {
  if (m.LParam == 0 && autoScroll_) {  // the form's own bars, not a child's
    Scroll(m.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(m.WParam));
    return;
  }
  inherited::WndProc(m);
}

void TCustomForm::CMDialogKey(TMessage& m) {
  inherited::WndProc(m);  // the controls first: default and cancel buttons
  if (m.Result != 0 || m.WParam != VK_TAB) return;
  SelectNext(activeControl_, !KeyboardShiftState().Contains(ssShift));
  m.Result = 1;
}

void TCustomForm::CMRelease(TMessage&) { delete this; }

void TCustomForm::CMIconChanged(TMessage&) { ApplyIcon(); }

void TCustomForm::ApplyIcon() {
  if (!HandleAllocated()) return;
  HICON icon = icon_.Handle() ? icon_.Handle() : OwningApplication(this)->Icon()->Handle();
  SendMessageA(HandleIfAllocated(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

// ---- MDI ----
namespace {
bool IsMDIChildWindow(HWND window) {
  return window && (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

// The form bound to an MDI child window, or nullptr.
TCustomForm* MDIChildForm(HWND window) {
  return IsMDIChildWindow(window) ? dynamic_cast<TCustomForm*>(TWinControl::FindControl(window)) : nullptr;
}
}  // namespace

void TCustomForm::CreateMDIClient() {
  CLIENTCREATESTRUCT create{nullptr, kMDIFirstChildId};
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL;
  client_.Reset(CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, style, 0, 0, 0, 0, HandleIfAllocated(), nullptr,
                                GetModuleHandleA(nullptr), &create));
  if (!client_) throw Exception("Error creating the MDI client window of " + Name());
}

// A child of the main frame's client; WS_EX_MDICHILD makes CreateWindowEx register it with the
// client (which also gives it its id), as WM_MDICREATE would.
void TCustomForm::MDIChildParams(TCreateParams& params) {
  TCustomForm* frame = OwningApplication(this)->MainForm();
  if (frame && frame != this && frame->FormStyle() == fsMDIForm) frame->HandleNeeded();
  HWND client = frame && frame != this ? frame->ClientHandle() : nullptr;
  if (!client) throw Exception("Cannot create form. No MDI forms are currently active");
  params.Style = (params.Style & ~WS_POPUP) | WS_CHILD;
  params.ExStyle |= WS_EX_MDICHILD;
  params.WndParent = client;
}

TCustomForm* TCustomForm::MDIFrame() const {
  HWND window = HandleIfAllocated();
  return IsMDIChildWindow(window) ? dynamic_cast<TCustomForm*>(FindControl(GetParent(GetParent(window)))) : nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (!client_) return nullptr;
  return MDIChildForm(reinterpret_cast<HWND>(SendMessageA(client_.Get(), WM_MDIGETACTIVE, 0, 0)));
}

int TCustomForm::MDIChildCount() const {
  int count = 0;
  for (HWND w = client_ ? GetWindow(client_.Get(), GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
    if (MDIChildForm(w)) ++count;
  return count;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  for (HWND w = client_ ? GetWindow(client_.Get(), GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
    if (TCustomForm* child = MDIChildForm(w); child && index-- == 0) return child;
  throw Exception("MDI child index out of range");
}

void TCustomForm::Tile() {
  if (client_) SendMessageA(client_.Get(), WM_MDITILE, tileMode_ == tbHorizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
}

void TCustomForm::Cascade() {
  if (client_) SendMessageA(client_.Get(), WM_MDICASCADE, 0, 0);
}

void TCustomForm::ArrangeIcons() {
  if (client_) SendMessageA(client_.Get(), WM_MDIICONARRANGE, 0, 0);
}

void TCustomForm::Next() {
  if (client_) SendMessageA(client_.Get(), WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous() {
  if (client_) SendMessageA(client_.Get(), WM_MDINEXT, 0, 1);
}

void TCustomForm::CheckRecreatable() const {
  if (HandleAllocated() && MDIChildCount() > 0)
    throw Exception("Cannot re-create the window of MDI form " + Name() + " while it has MDI children");
}

// A window destroyed for good (the form going) takes its children along; any other loss of
// the window is a re-creation, refused while there are children.
void TCustomForm::DestroyWnd() {
  if (!IsDestroying()) CheckRecreatable();
  client_.Reset();
  HandMDIActivationOn();
  const HWND own = HandleIfAllocated();
  TCustomForm* frame = own && formStyle_ == fsMDIChild ? MDIFrame() : nullptr;
  inherited::DestroyWnd();
  // Wine can leave a destroyed child's pixels on the client (a maximised one's, restored on the
  // way out), also when the client is invalidated at once: it is invalidated again once the
  // destruction is over.
  if (frame && frame->HandleAllocated()) PostMessageA(frame->Handle(), CM_REDRAWMDICLIENT, 0, 0);
}

void TCustomForm::CMRedrawMDIClient(TMessage&) {
  if (client_) RedrawWindow(client_.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

// Destroyed while active and focused, a child leaves Wine's client with no active child and
// the focus nowhere, so the keyboard (Ctrl+F4 included) would be dead; hidden, it would stay
// the active child. So the active child hands the activation (and the focus) on first.
void TCustomForm::HandMDIActivationOn() {
  if (TCustomForm* frame = MDIFrame(); frame && frame->ActiveMDIChild() == this)
    SendMessageA(frame->ClientHandle(), WM_MDINEXT, reinterpret_cast<WPARAM>(HandleIfAllocated()), 0);
}

// Windows destroyed this form's window, and the client with it.
void TCustomForm::WMNCDestroy(TMessage& m) {
  client_.Release();
  inherited::WndProc(m);
}

void TCustomForm::AlignRemainder(const RECT& rest) {
  if (!client_) return;
  SetWindowPos(client_.Get(), nullptr, rest.left, rest.top, std::max(0L, rest.right - rest.left),
               std::max(0L, rest.bottom - rest.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TCustomForm::FocusGoesToMDIChild() const { return ActiveMDIChild() != nullptr; }

// The client maximises and restores its children itself (it keeps one maximised at a time and
// gives the frame the child's caption).
void TCustomForm::ApplyMDIWindowState() {
  HWND window = HandleIfAllocated(), client = GetParent(window);
  switch (windowState_) {
    case wsMaximized: SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(window), 0); break;
    case wsNormal: SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(window), 0); break;
    case wsMinimized: ShowWindow(window, SW_MINIMIZE); break;
  }
}

// The client tells the child it leaves (WPARAM) and the one it activates (LPARAM).
void TCustomForm::WMMDIActivate(TMessage& m) {
  inherited::WndProc(m);
  if (IsDestroying()) return;  // a child that goes hands the activation on without events
  HWND window = HandleIfAllocated();
  if (reinterpret_cast<HWND>(m.LParam) == window) {
    const TCustomForm* frame = MDIFrame();
    if (frame && frame->Active() && activeControl_ && activeControl_->CanFocus() && !activeControl_->Focused())
      activeControl_->SetFocus();
    if (onActivate_) onActivate_(this);
  } else if (reinterpret_cast<HWND>(m.WParam) == window && onDeactivate_) {
    onDeactivate_(this);
  }
}

// The frame's default is DefFrameProc, but for WM_SIZE, which would stretch the client over the
// aligned controls (AlignRemainder places it); an MDI child's is DefMDIChildProc.
void TCustomForm::DefaultHandler(TMessage& m) {
  HWND window = HandleIfAllocated();
  const bool frameworkMessage = m.Msg >= CM_BASE && m.Msg < 0xC000;
  if (window && !frameworkMessage && client_ && m.Msg != WM_SIZE) {
    m.Result = DefFrameProcA(window, client_.Get(), m.Msg, m.WParam, m.LParam);
    return;
  }
  if (!frameworkMessage && IsMDIChildWindow(window)) {
    m.Result = DefMDIChildProcA(window, m.Msg, m.WParam, m.LParam);
    return;
  }
  inherited::DefaultHandler(m);
}

void TCustomForm::DeclarePublished(TPublished<TCustomForm>& p) {
  p.Enumeration("BorderStyle", FormBorderStyleInfo, &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle);
  p.Set("BorderIcons", BorderIconInfo, &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons);
  p.Integer("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth);
  p.Integer("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight);
  p.Enumeration("Position", PositionInfo, &TCustomForm::Position, &TCustomForm::SetPosition);
  p.Enumeration("WindowState", WindowStateInfo, &TCustomForm::WindowState, &TCustomForm::SetWindowState);
  p.Enumeration("FormStyle", FormStyleInfo, &TCustomForm::FormStyle, &TCustomForm::SetFormStyle);
  p.Boolean("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled);
  p.Integer("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
  p.Boolean("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll);
  p.Boolean("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
  p.Integer("ModalResult", &TCustomForm::ModalResult, &TCustomForm::SetModalResult);
  p.Component("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  p.Enumeration("TileMode", TileModeInfo, &TCustomForm::TileMode, &TCustomForm::SetTileMode);
  p.Component("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  p.Object("Icon", &TCustomForm::Icon);
  p.Event("OnCreate", &TCustomForm::OnCreate, &TCustomForm::SetOnCreate);
  p.Event("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::SetOnDestroy);
  p.Event("OnShow", &TCustomForm::OnShow, &TCustomForm::SetOnShow);
  p.Event("OnHide", &TCustomForm::OnHide, &TCustomForm::SetOnHide);
  p.Event("OnActivate", &TCustomForm::OnActivate, &TCustomForm::SetOnActivate);
  p.Event("OnDeactivate", &TCustomForm::OnDeactivate, &TCustomForm::SetOnDeactivate);
  p.Event("OnPaint", &TCustomForm::OnPaint, &TCustomForm::SetOnPaint);
  p.Event("OnClose", &TCustomForm::OnClose, &TCustomForm::SetOnClose);
  p.Event("OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::SetOnCloseQuery);
}

// ---- TApplicationEvents ----
TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner) { EventObjects().push_back(this); }

TApplicationEvents::~TApplicationEvents() {
  Destroying();
  auto& list = EventObjects();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

// ---- TApplication ----
TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  name = name.substr(name.find_last_of("\\/") + 1);
  title_ = name.substr(0, name.rfind('.'));
  icon_.OnChange = [this](TObject*) { ApplyIcon(); };
}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
}

void TApplication::Initialize() {
  RegisterFrameworkClasses();
  if (window_) return;
  window_ = std::make_unique<TUtilityWindow>([this](TMessage& m) { return WndProc(m); },
                                             ApplicationWindowParams(title_));
  HMODULE module = GetModuleHandleA(nullptr);
  if (!icon_.Handle() && FindResourceA(module, "MAINICON", MAKEINTRESOURCEA(14)))  // RT_GROUP_ICON
    icon_.LoadFromResourceName(module, "MAINICON");
  ApplyIcon();
}

void TApplication::ApplyIcon() {
  if (window_) SendMessageA(window_->Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
  for (TCustomForm* form : AllForms()) form->Perform(CM_ICONCHANGED);
}

void TApplication::UpdateVisible() {
  HWND window = Handle();
  if (!window) return;
  bool anyVisible = false;
  for (TCustomForm* form : AllForms())
    anyVisible = anyVisible || (form->Visible() && GetWindow(form->HandleIfAllocated(), GW_OWNER) == window);
  if ((IsWindowVisible(window) != FALSE) == anyVisible) return;
  // Shown without activation: the form being shown is the window to activate.
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (anyVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

// ShowOwnedPopups hides the owned windows with a mark, and restoring shows exactly the marked
// ones again, so a form that was hidden stays hidden. DefWindowProc does the same for
// SC_MINIMIZE, but only when the owner is the active window, which the application window
// seldom is.
void TApplication::Minimize() {
  HWND window = Handle();
  if (!window || IsIconic(window)) return;
  ShowOwnedPopups(window, FALSE);
  ShowWindow(window, SW_MINIMIZE);
}

void TApplication::Restore() {
  HWND window = Handle();
  if (!window || !IsIconic(window)) return;
  ShowWindow(window, SW_RESTORE);
  ShowOwnedPopups(window, TRUE);
}

HWND TApplication::DialogOwner() const {
  if (HWND active = GetActiveWindow()) return active;
  HWND main = mainForm_ ? mainForm_->HandleIfAllocated() : nullptr;
  return main && IsWindowVisible(main) ? main : Handle();
}

bool TApplication::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TApplication> kTable[] = {
      {WM_SYSCOMMAND, &TApplication::WMSysCommand},
      {WM_CLOSE, &TApplication::WMClose},
      {WM_SETFOCUS, &TApplication::WMSetFocus},
      {CM_FOCUSTOPWINDOW, &TApplication::CMFocusTopWindow},
  };
  return DispatchMessageTable(*this, kTable, m);
}

void TApplication::DefaultHandler(TMessage& m) { m.Result = DefWindowProcA(Handle(), m.Msg, m.WParam, m.LParam); }

// The taskbar minimises and restores the application window with these commands.
void TApplication::WMSysCommand(TMessage& m) {
  switch (m.WParam & 0xFFF0) {
    case SC_MINIMIZE: Minimize(); break;
    case SC_RESTORE: Restore(); break;
    default: DefaultHandler(m); break;
  }
}

void TApplication::SetShowHint(bool value) {
  showHint_ = value;
  if (!value) CancelHint();
}

void TApplication::HintMouseEnter(TControl* control) {
  if (!showHint_) control = nullptr;
  if (!hint_ && !control) return;
  if (!hint_) hint_ = std::make_unique<THintWindow>();
  hint_->MouseEntered(control, hintPause_, hintHidePause_);
}

void TApplication::CancelHint() {
  if (hint_) hint_->Cancel();
}

// Closing the taskbar entry closes the main form (DefWindowProcA would destroy the window).
void TApplication::WMClose(TMessage&) {
  if (mainForm_) mainForm_->Close();
}

// The application window gets the activation when the taskbar entry is clicked, after a
// restore, and when an active form hides (Windows then activates a popup's owner); the focus
// belongs on a form. Passed on once this activation is complete: changing the active window
// while Windows is still delivering the change is fragile.
void TApplication::WMSetFocus(TMessage& m) {
  DefaultHandler(m);
  PostMessageA(Handle(), CM_FOCUSTOPWINDOW, 0, 0);
}

void TApplication::CMFocusTopWindow(TMessage&) {
  HWND window = Handle();
  if (IsIconic(window) || GetFocus() != window) return;
  if (HWND top = TopOwnedWindow(window)) SetFocus(top);
}

void TApplication::SetTitle(const std::string& value) {
  title_ = value;
  if (window_) SetWindowTextA(Handle(), value.c_str());
}

void TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
  // Terminate posted WM_QUIT; a loop that ended by the flag leaves none behind for later
  // modal loops.
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg) && !terminated_) WaitMessage();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

namespace {
// A press of a key or a mouse button (in or outside the client area) ends a hint.
bool EndsHint(UINT message) {
  switch (message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_MOUSEWHEEL:
      return true;
    default:
      return false;
  }
}
}  // namespace

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  if (EndsHint(msg.message)) CancelHint();
  bool used = false;
  try {
    used = Preprocess(msg);
  } catch (...) {
    HandleException(this);
    used = true;
  }
  if (!used) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

bool TApplication::Preprocess(MSG& msg) {
  bool handled = false;
  for (TApplicationEvents* events : std::vector<TApplicationEvents*>(EventObjects()))
    if (events->OnMessage()) events->OnMessage()(msg, handled);
  return handled || IsMDIMessage(msg) || IsKeyMessage(msg);
}

// TranslateMDISysAccel looks only at the keys, whatever window they are for: keys typed into
// another window (a dialog) are not the frame's.
bool TApplication::IsMDIMessage(MSG& msg) {
  HWND client = mainForm_ ? mainForm_->ClientHandle() : nullptr;
  if (!client || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)) return false;
  HWND frame = mainForm_->HandleIfAllocated();
  if (msg.hwnd != frame && !IsChild(frame, msg.hwnd)) return false;
  return TranslateMDISysAccel(client, &msg) != FALSE;
}

namespace {
// The menu keys of a form with a menu bar control, from whichever of its windows has the focus:
// Alt+letter (WM_SYSCHAR), F10, and Alt pressed and released with nothing in between. True when
// the bar took the key (the message is then not dispatched: DefWindowProc would turn it into
// the native menu's SC_KEYMENU).
bool IsMenuBarKey(const MSG& msg, TCustomForm* form) {
  static bool altAlone = false;
  const bool altDown = msg.message == WM_SYSKEYDOWN && msg.wParam == VK_MENU;
  const bool altUp = msg.message == WM_SYSKEYUP && msg.wParam == VK_MENU && altAlone;
  if (altDown) altAlone = (msg.lParam & (1 << 30)) == 0 || altAlone;  // bit 30: a repeat
  else if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN ||
           (msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK))
    altAlone = false;
  if (altUp) altAlone = false;
  if (!form->MenuBarControl()) return false;
  if (altUp || (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F10)) return form->MenuBarKey(0);
  if (msg.message == WM_SYSCHAR && (msg.lParam & (1 << 29)) && msg.wParam != ' ') return form->MenuBarKey(static_cast<LPARAM>(msg.wParam));
  return false;
}
}  // namespace

// Keys the focused control does not want go to its form: its menu bar's keys, menu short-cuts,
// then CM_DIALOGKEY (Tab, Enter, Escape, arrows) or CM_DIALOGCHAR (accelerator characters).
bool TApplication::IsKeyMessage(MSG& msg) {
  const UINT kind = msg.message;
  if (TWinControl* focused = TWinControl::FindControl(msg.hwnd))
    if (TCustomForm* form = focused->ParentForm(); form && IsMenuBarKey(msg, form)) return true;
  if (kind != WM_KEYDOWN && kind != WM_SYSKEYDOWN && kind != WM_CHAR && kind != WM_SYSCHAR) return false;
  TWinControl* control = TWinControl::FindControl(msg.hwnd);
  TCustomForm* form = control ? control->ParentForm() : nullptr;
  if (!form) return false;
  const WORD key = static_cast<WORD>(msg.wParam);
  if (kind == WM_KEYDOWN || kind == WM_SYSKEYDOWN) {
    if (form->IsShortCut(key, KeyboardShiftState())) return true;
    const bool dialogKey = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_CANCEL ||
                           (key >= VK_LEFT && key <= VK_DOWN);
    if (!dialogKey) return false;
    const LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
    const bool arrows = key >= VK_LEFT && key <= VK_DOWN;
    // A focused push button takes Return itself, as in a dialog: it presses on key-down and
    // clicks on key-up.
    const bool button = key == VK_RETURN && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
    if ((code & DLGC_WANTALLKEYS) || button || (key == VK_TAB && (code & DLGC_WANTTAB)) ||
        (arrows && (code & DLGC_WANTARROWS)))
      return false;
    return form->Perform(CM_DIALOGKEY, key, msg.lParam) != 0;
  }
  if (kind == WM_CHAR && (SendMessageA(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTCHARS))
    return false;
  return form->Perform(CM_DIALOGCHAR, key, msg.lParam) != 0;
}

void TApplication::HandleException(TObject* sender) {
  try {
    throw;
  } catch (const std::exception& e) {
    if (onException_)
      onException_(sender, e);
    else
      ShowException(e);
  } catch (...) {
    ShowException(Exception("Unknown error"));
  }
}

void TApplication::ShowException(const std::exception& error) {
  ShowMessageBox(DialogOwner(), ErrorReportText(error.what()), title_, MB_OK | MB_ICONERROR);
}

TApplication* TApplicationRef::operator->() const {
  static TApplication* app = new TApplication(nullptr);  // lives as long as the process
  return app;
}

void HandleEventException() {
  try {
    Application->HandleException(nullptr);
  } catch (...) {
    // An error while reporting an error: nothing sensible is left to do.
  }
}
