// Forms and the application object.
//
// A form class publishes its handler methods (p.Method("FormCreate", &TForm1::FormCreate)) so
// that its stored description, an RCDATA resource named after the class ("TFORM1" / "TForm1"),
// can bind events by handler name. Construction is two-phase because a C++ base constructor
// cannot see the derived class: create forms with Application->CreateForm(Form1) (or
// CreateForm<TForm1>(owner)); that constructs, reads the description (InitializeForm), runs
// Loaded and then OnCreate. A message handler is bound to its message number through the form
// class's WndProc table (see Controls.h), e.g. {WM_DROPFILES, &TForm1::WMDropFiles}.
//
// Application (the global application object) carries the Title (caption of the application
// window and of every error box), creates forms in order (the first becomes the main form),
// runs the message loop until the main form closes, and reports every exception that escapes
// an event handler with MessageBoxA(MB_OK | MB_ICONERROR), caption = Title, text =
// ErrorReportText(message). TApplicationEvents objects see every queued message first.
//
// The application window (made by Initialize) is the program's one taskbar entry: a zero-sized
// top-level window at the screen's centre, captioned with the Title, that owns every form. An
// owned window gets no taskbar button, so the forms have none of their own; the application
// window is shown while any of its forms is visible. Minimising the main form (SC_MINIMIZE)
// minimises the application window, which takes every visible form with it; restoring it (the
// taskbar's SC_RESTORE) brings back exactly those.
// It also owns the hint tooltip (Hints.h) and the program's icon, which forms without an icon
// of their own show (a form's Icon is stored with its description: Icon.Data = {...}).
//
// MDI: a form with FormStyle fsMDIForm is a frame. Its window gets a system MDI client window
// (ClientHandle) in the area its aligned controls leave, and its default handling is
// DefFrameProc. A form with fsMDIChild is a child window of the application's main form's
// client (the main form must be an fsMDIForm with a window), handled by DefMDIChildProc; it
// activates (WM_MDIACTIVATE: OnActivate, OnDeactivate, focus to its ActiveControl) when shown,
// and closing it minimises it unless OnClose says otherwise. The frame lists its children
// (MDIChildren, top of the z-order first) and arranges them (Tile, Cascade, ArrangeIcons,
// Next, Previous); the message loop translates the MDI keys (Ctrl+F4, Ctrl+F6) for the frame's
// windows. A frame's window cannot be re-created while it has children (that would destroy them).
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/GdiHandles.h"
#include "framework/ui/Controls.h"

class TMainMenu;
class THintWindow;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
inline const TEnumInfo BorderIconInfo("TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
inline const TEnumInfo PositionInfo("TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                                  "poScreenCenter", "poDesktopCenter", "poMainFormCenter",
                                                  "poOwnerFormCenter"});
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
inline const TEnumInfo WindowStateInfo("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"});
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
inline const TEnumInfo FormStyleInfo("TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
enum TCloseAction { caNone, caHide, caFree, caMinimize };
// How an MDI frame tiles its children: tbHorizontal stacks full-width rows, tbVertical puts
// full-height columns side by side.
enum TTileMode { tbHorizontal, tbVertical };
inline const TEnumInfo TileModeInfo("TTileMode", {"tbHorizontal", "tbVertical"});
// The command id of an MDI frame's first child (the client numbers its children from here; kept
// clear of the ids the framework gives its controls).
inline constexpr UINT kMDIFirstChildId = 0xFF00;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                              mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// Posted to a form that Release()d itself; it is deleted when the message arrives.
inline constexpr UINT CM_RELEASE = CM_BASE + 0x21;
// Sent by a form to its menu bar control for SC_KEYMENU: LParam the character of Alt+letter, 0
// for F10 or Alt pressed and released alone. Result non-zero when the bar took the key.
inline constexpr UINT CM_KEYMENU = CM_BASE + 0x40;
// Sent to every form when the application's icon changed.
inline constexpr UINT CM_ICONCHANGED = CM_BASE + 0x35;
// Posted to an MDI frame once a child's window has gone: the client is painted again.
inline constexpr UINT CM_REDRAWMDICLIENT = CM_BASE + 0x36;

// The window styles of a form with BORDER and ICONS.
void FormWindowStyle(TFormBorderStyle border, TBorderIcons icons, DWORD& style, DWORD& exStyle);

class TCustomForm : public TWinControl {
  VANTOR_CLASS(TCustomForm, TWinControl)
public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Reads the form's stored description (RCDATA resource named after the class, when the
  // executable has one), then runs OnCreate; shows the form when the description made it visible.
  void InitializeForm();

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  // Scaled forms designed at another PixelsPerInch are scaled to the screen's when loaded.
  bool Scaled() const { return scaled_; }
  void SetScaled(bool value) { scaled_ = value; }
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }
  // Scroll bars appear when children reach beyond the client area.
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }

  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  // Shows the form modally; returns the ModalResult that ended it.
  int ShowModal();
  bool Modal() const { return modal_; }
  // Asks OnCloseQuery, then OnClose decides (hide by default); closing the main form ends the
  // application.
  void Close();
  virtual bool CloseQuery();
  // Deletes the form once the messages being handled are done.
  void Release();

  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // Called by a child window that received the focus: records it and sends CM_FOCUSCHANGED to
  // the form, which passes it on to every control.
  void ControlFocused(TWinControl* control);
  // Moves the focus to the next (or previous) tab stop after CURRENT.
  void SelectNext(TWinControl* current, bool forward);
  bool Active() const;

  TMainMenu* Menu() const;
  void SetMenu(TMainMenu* value);
  // Attaches the menu's current handle again (after the menu rebuilt it).
  void MenuChanged();
  // A control that serves as the form's menu bar (a tool bar in menu mode): SC_KEYMENU (Alt+
  // letter, F10, Alt alone) goes to it as CM_KEYMENU instead of to the native menu. The
  // application's message loop routes those keys here whichever of the form's windows has the
  // focus (a child's DefWindowProc would look for the top-level window's native menu).
  TWinControl* MenuBarControl() const { return menuBar_; }
  void SetMenuBarControl(TWinControl* value) { menuBar_ = value; }
  // Hands KEY (as CM_KEYMENU's LParam) to the menu bar control; true when it took it. The bar
  // may have run a command that freed this form.
  bool MenuBarKey(LPARAM key);
  TIcon* Icon() { return &icon_; }

  RECT ClientRect() const override;
  void SetClientSize(int width, int height) override;
  void WndProc(TMessage& m) override;
  // A key message of this form's windows: menu short-cuts. True when used.
  bool IsShortCut(WORD key, TShiftState shift);

  // ---- MDI ----
  // The frame's MDI client window; nullptr unless this is an fsMDIForm with a window.
  HWND ClientHandle() const { return client_.Get(); }
  // The child the client reports active (WM_MDIGETACTIVE), or nullptr.
  TCustomForm* ActiveMDIChild() const;
  int MDIChildCount() const;
  // The INDEX-th child in the client's z-order, the top one (the active child) first.
  TCustomForm* MDIChildren(int index) const;
  TTileMode TileMode() const { return tileMode_; }
  void SetTileMode(TTileMode value) { tileMode_ = value; }
  void Tile();
  void Cascade();
  void ArrangeIcons();
  // Activates the next (previous) child; Next sends the one it leaves to the bottom.
  void Next();
  void Previous();
  void DefaultHandler(TMessage& m) override;

  const TNotifyEvent& OnCreate() const { return onCreate_; }
  void SetOnCreate(TNotifyEvent e) { onCreate_ = std::move(e); }
  const TNotifyEvent& OnDestroy() const { return onDestroy_; }
  void SetOnDestroy(TNotifyEvent e) { onDestroy_ = std::move(e); }
  const TNotifyEvent& OnShow() const { return onShow_; }
  void SetOnShow(TNotifyEvent e) { onShow_ = std::move(e); }
  const TNotifyEvent& OnHide() const { return onHide_; }
  void SetOnHide(TNotifyEvent e) { onHide_ = std::move(e); }
  const TNotifyEvent& OnActivate() const { return onActivate_; }
  void SetOnActivate(TNotifyEvent e) { onActivate_ = std::move(e); }
  const TNotifyEvent& OnDeactivate() const { return onDeactivate_; }
  void SetOnDeactivate(TNotifyEvent e) { onDeactivate_ = std::move(e); }
  const TNotifyEvent& OnPaint() const { return onPaint_; }
  void SetOnPaint(TNotifyEvent e) { onPaint_ = std::move(e); }
  const TCloseEvent& OnClose() const { return onClose_; }
  void SetOnClose(TCloseEvent e) { onClose_ = std::move(e); }
  const TCloseQueryEvent& OnCloseQuery() const { return onCloseQuery_; }
  void SetOnCloseQuery(TCloseQueryEvent e) { onCloseQuery_ = std::move(e); }
  TCanvas& Canvas() { return canvas_; }

  static void DeclarePublished(TPublished<TCustomForm>& p);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void DestroyWnd() override;
  void AlignRemainder(const RECT& rest) override;
  void ApplyVisible() override;
  void PaintWindow(HDC dc) override;
  void Loaded() override;
  virtual void DoClose(TCloseAction& action);
  virtual void Paint();

private:
  void ApplyPosition();
  void UpdateScrollRange();
  void Scroll(int bar, WORD request);
  void ScaleForm(int numerator, int denominator);
  void WMClose(TMessage& m);
  void WMSize(TMessage& m);
  void WMActivate(TMessage& m);
  void WMSetFocus(TMessage& m);
  void WMGetMinMaxInfo(TMessage& m);
  void WMSysCommand(TMessage& m);
  void WMScroll(TMessage& m);
  void CMDialogKey(TMessage& m);
  void CMRelease(TMessage& m);
  void CMRedrawMDIClient(TMessage& m);
  void CMIconChanged(TMessage& m);
  // Shows the form's icon, or the application's when the form has none.
  void ApplyIcon();
  // ---- MDI ----
  void CreateMDIClient();
  void MDIChildParams(TCreateParams& params);
  // The frame whose client this form's window is a child of, or nullptr.
  TCustomForm* MDIFrame() const;
  // Re-creating the window would destroy the MDI children: refused (an exception) while any exists.
  void CheckRecreatable() const;
  // A frame with an active child gives the focus to it rather than to a control of its own.
  bool FocusGoesToMDIChild() const;
  void ApplyMDIWindowState();
  // The active child activates the next one before it is hidden or its window goes.
  void HandMDIActivationOn();
  void WMMDIActivate(TMessage& m);
  void WMNCDestroy(TMessage& m);

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TFormStyle formStyle_ = fsNormal;
  bool scaled_ = true;
  int pixelsPerInch_ = 0;  // 0: designed at the screen's
  bool autoScroll_ = false;
  bool keyPreview_ = false;
  bool positioned_ = false;
  bool modal_ = false;
  TModalResult modalResult_ = mrNone;
  TComponentRef<TWinControl> activeControl_{this};
  TComponentRef<TMainMenu> menu_{this, [this] { MenuChanged(); }};
  TComponentRef<TWinControl> menuBar_{this};
  TIcon icon_;
  TCanvas canvas_;
  int pendingClientWidth_ = -1, pendingClientHeight_ = -1;
  POINT scrollPos_{0, 0};
  TWindowHandle client_;  // the MDI client; destroyed with this form's window
  TTileMode tileMode_ = tbHorizontal;
  TNotifyEvent onCreate_, onDestroy_, onShow_, onHide_, onActivate_, onDeactivate_, onPaint_;
  TCloseEvent onClose_;
  TCloseQueryEvent onCloseQuery_;
};

class TForm : public TCustomForm {
  VANTOR_CLASS(TForm, TCustomForm)
public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// A new form of class T owned by OWNER, with its stored description read and OnCreate run.
template <class T>
T* CreateForm(TComponent* owner) {
  T* form = new T(owner);
  try {
    form->InitializeForm();
  } catch (...) {
    delete form;
    throw;
  }
  return form;
}

// Every form that exists, in creation order.
const std::vector<TCustomForm*>& AllForms();

// ---- application events: a component that sees every queued message before dispatch ----
using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;
using TExceptionEvent = std::function<void(TObject* sender, const std::exception& error)>;

class TApplicationEvents : public TComponent {
  VANTOR_CLASS(TApplicationEvents, TComponent)
public:
  explicit TApplicationEvents(TComponent* owner);
  ~TApplicationEvents() override;
  const TMessageEvent& OnMessage() const { return onMessage_; }
  void SetOnMessage(TMessageEvent e) { onMessage_ = std::move(e); }

private:
  TMessageEvent onMessage_;
};

class TApplication : public TComponent {
  VANTOR_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Registers the framework's component classes for stored descriptions.
  void Initialize();
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value);
  // The application window (its text is the title); null before Initialize.
  HWND Handle() const { return window_ ? window_->Handle() : nullptr; }
  // Minimises the application window, hiding every form with it; Restore shows again those
  // that were visible and activates the topmost.
  void Minimize();
  void Restore();
  // Shows the application window while any form it owns is Visible, hides it otherwise (forms
  // call this when they show or hide).
  void UpdateVisible();
  // The owner for a modal dialog or message box: the active window, else the main form, else
  // the application window. An owned dialog gets no taskbar entry of its own.
  HWND DialogOwner() const;

  // Creates a form of class T owned by the application; the first becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    form->InitializeForm();
    if (!mainForm_) {
      mainForm_ = form;
      form->HandleNeeded();
    }
  }
  TCustomForm* MainForm() const { return mainForm_; }
  // Shows the main form and handles messages until the main form closes (or Terminate).
  void Run();
  // Handles every message waiting in the queue, then returns.
  void ProcessMessages();
  // Waits for one message and handles it.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Reports the exception being handled: OnException when set, else the error box.
  void HandleException(TObject* sender);
  void ShowException(const std::exception& error);
  const TExceptionEvent& OnException() const { return onException_; }
  void SetOnException(TExceptionEvent e) { onException_ = std::move(e); }

  // The program's icon, on the application window (the taskbar entry) and on every form without
  // an icon of its own: the executable's MAINICON when it has one (Initialize loads it).
  TIcon* Icon() { return &icon_; }

  // Hints (Hints.h); none at all while ShowHint is off.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  // Milliseconds before a hint appears and before it goes again.
  unsigned HintPause() const { return hintPause_; }
  void SetHintPause(unsigned value) { hintPause_ = value; }
  unsigned HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(unsigned value) { hintHidePause_ = value; }
  // The pointer entered CONTROL (nullptr: none of the program's controls).
  void HintMouseEnter(TControl* control);
  // Hides the hint (a click or a key does this by itself).
  void CancelHint();
  // The hints' tooltip, nullptr until the first hint was asked for.
  const THintWindow* HintWindow() const { return hint_.get(); }

private:
  // The application window's messages; false for those left to DefWindowProcA.
  bool WndProc(TMessage& m);
  void WMSysCommand(TMessage& m);
  void WMClose(TMessage& m);
  void WMSetFocus(TMessage& m);
  void CMFocusTopWindow(TMessage& m);
  void DefaultHandler(TMessage& m);
  void ApplyIcon();
  bool ProcessMessage(MSG& msg);
  // The MDI keys (Ctrl+F4, Ctrl+F6) of the main frame's windows; true when used.
  bool IsMDIMessage(MSG& msg);
  // Application events, dialog keys and characters, menu short-cuts; true when used.
  bool Preprocess(MSG& msg);
  bool IsKeyMessage(MSG& msg);

  std::string title_;
  TIcon icon_;  // outlives the window that shows it
  std::unique_ptr<TUtilityWindow> window_;
  TComponentRef<TCustomForm> mainForm_{this};
  bool terminated_ = false;
  TExceptionEvent onException_;
  std::unique_ptr<THintWindow> hint_;
  bool showHint_ = true;
  unsigned hintPause_ = 500;
  unsigned hintHidePause_ = 2500;
};

// The global application object: Application->Title(), Application->CreateForm(Form1), ...
struct TApplicationRef {
  TApplication* operator->() const;
  TApplication& operator*() const { return *operator->(); }
};
inline constexpr TApplicationRef Application{};
