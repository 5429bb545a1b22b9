// The skin library's push buttons.
//
// TkyrCustomButton: the state every skinned push button keeps (mouse over, pressed, focused,
// disabled, default), painting through the control's off-screen buffer, mouse and keyboard,
// the repeat timer behind OnMouseContinuouslyDown and the ModalResult handed to the form. What
// the button looks like in each state comes from the virtual operations below.
// TkyrButton: the skinned push button: the three-frame ButtonImage of its UIStyle (or of a
// loaded theme file) drawn nine-grid (fixed corners, stretched edges), a Glyph placed by Layout
// and Spacing, and a focus mark per style (a bold caption in MacOS and BlueGlass, a dotted
// rectangle in the others).
// TkyrImageButton: four pictures of the user's (PicNormal, PicMouseOn, PicMouseDown,
// PicDisabled); the scroll bar's arrows are two of them, with OnMouseContinuouslyDown.
// TkyrToolBarSpeedButton: a small flat glyph button with a one-pixel frame under the pointer.
//
//   auto* ok = new TkyrButton(form);               // the owner form's style, 80 x 27
//   ok->SetParent(panel);  ok->SetCaption("&OK");  ok->SetModalResult(mrOk);  ok->SetDefault(true);
//   auto* up = new TkyrImageButton(bar);           // a repeating arrow
//   up->PicNormal()->Assign(arrow);  up->SetOnMouseContinuouslyDown([](TObject*) { Scroll(-1); });
//
// Keys: the focused button takes Space and Return itself (pressed on key-down, clicked on
// key-up); Return goes to the Default button (DefaultActive) while the focus is on a control
// that is not a TkyrButton, Escape to a Cancel button; an accelerator ("&O") clicks a button
// that can take the focus. Every click hands ModalResult to the parent form (0 too).
//
// The repeat timer (a TPressRepeat) starts with a left-button press and ticks every
// MouseContinuouslyDownInterval ms (never at 0) until the press ends: the click, any release of
// the left button, the pointer leaving, the loss of the mouse capture (a dialog opened from a
// tick takes it), the button or a parent being disabled or hidden, the button destroyed. A tick
// that runs a message loop is not entered again from inside it. A handler may free the button
// (OnClick, OnMouseContinuouslyDown, OnKeyUp): nothing touches it afterwards.
#pragma once

#include <string>

#include "framework/ui/ActnList.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/PressRepeat.h"
#include "skin/KYRStyled.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
inline const TEnumInfo ButtonLayoutInfo("TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});

// Where TkyrButton puts a GW x GH glyph and a TW x TH caption on a W x H face with SPACING
// pixels between them (halves truncated toward zero), before the pressed (+1, +1) shift.
struct TkyrGlyphPlacement {
  int GlyphX, GlyphY, TextLeft, TextTop;
  bool operator==(const TkyrGlyphPlacement&) const = default;
};
TkyrGlyphPlacement PlaceButtonGlyph(TButtonLayout layout, int width, int height, int textWidth, int textHeight,
                                    int glyphWidth, int glyphHeight, int spacing);

// A container whose skinned buttons show, when transparent, the container's own background as
// its parent sees it (the container's parent painted at the container's position) rather than
// the container's paint: the skinned toolbar and database navigator implement it.
class IkyrButtonContainer {
public:
  virtual bool ButtonsShowOuterBackground() const { return true; }

protected:
  ~IkyrButtonContainer() = default;
};

class TkyrCustomButton : public TkyrStyled<TCustomControl> {
  VANTOR_CLASS(TkyrCustomButton, TkyrStyled<TCustomControl>)
public:
  explicit TkyrCustomButton(TComponent* owner);
  ~TkyrCustomButton() override;

  // Sizes the button to its image (the style's button frame; TkyrImageButton: PicNormal).
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Escape clicks the button.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  // Return clicks the button while the focus is on a control that is not a TkyrButton.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // The parent shows through around and behind the face.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // Handed to the parent form on every click (0 clears a pending result).
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  // Inset of the focus rectangle from the client edges.
  int FocusedRectMargin() const { return focusedRectMargin_; }
  void SetFocusedRectMargin(int value);
  // Period of OnMouseContinuouslyDown in ms, read when a press starts; 0 or less: no ticks.
  int MouseContinuouslyDownInterval() const { return repeatInterval_; }
  void SetMouseContinuouslyDownInterval(int value) { repeatInterval_ = value; }
  // How a press begins to repeat, also read when a press starts: with AT_PRESS,
  // OnMouseContinuouslyDown fires at the press itself; FIRST_DELAY ms (0 or less: one interval)
  // pass before the first timed one. The default: no event at the press, one interval.
  void SetRepeatLead(bool atPress, int firstDelay) {
    repeatAtPress_ = atPress;
    repeatFirstDelay_ = firstDelay;
  }
  // Runs OnExecute on a click without OnClick; caption, enabled, visible and hint follow it.
  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* value);
  // Always 0; stored descriptions carry "ResHandle = 0".
  unsigned ResHandle() const { return 0; }
  void SetResHandle(unsigned) {}

  // State.
  bool MouseIn() const { return mouseIn_; }
  bool Pressed() const { return pressed_; }
  // This button answers Return.
  bool DefaultActive() const { return defaultActive_; }
  // Set from Transparent: the state image is drawn keyed.
  bool ImageTransparent() const { return imageTransparent_; }
  // From a left-button press to the end of it (see the top of this header).
  bool RepeatTimerActive() const { return repeat_.Active(); }

  // OnMouseEnter is the control's own (fired once MouseIn is set).
  const TNotifyEvent& OnMouseExit() const { return onMouseExit_; }
  void SetOnMouseExit(TNotifyEvent e) { onMouseExit_ = std::move(e); }
  const TNotifyEvent& OnMouseContinuouslyDown() const { return onMouseContinuouslyDown_; }
  void SetOnMouseContinuouslyDown(TNotifyEvent e) { onMouseContinuouslyDown_ = std::move(e); }

  // Ends a press, hands ModalResult to the form, then OnClick (else the action). The handler
  // may free the button.
  void Click() override;
  void WndProc(TMessage& m) override;
  static void DeclarePublished(TPublished<TkyrCustomButton>& p);

protected:
  // The overridable steps of the look, in their slot order.
  virtual void ApplyAutoSize();
  virtual void CaptionChanged() {}
  virtual void FontChanged();
  virtual void TransparentChanged();
  virtual void EnabledChanged() {}
  // Re-reads what the button takes from its style (TkyrButton: Transparent).
  virtual void UIStyleChanged(const TkyrStyleSource&) {}
  virtual void DrawStateImage(TCanvas& canvas, TBitmap& image);
  virtual void DrawCaption(TCanvas& canvas, const std::string& text);
  virtual void DrawFocus(TCanvas& canvas);
  virtual void GetNormalImage(TBitmap& image);
  virtual void GetMouseOnImage(TBitmap& image);
  virtual void GetMouseDownImage(TBitmap& image);
  virtual void GetDisabledImage(TBitmap& image);
  // The action's values changed (or another action was set).
  virtual void ActionChange(TBasicAction* action);

  // Draw the caption bold in the next paint (TkyrButton's focus mark).
  bool BoldCaption() const { return boldCaption_; }
  void SetBoldCaption(bool value) { boldCaption_ = value; }
  // Draws CAPTION centred in R (DT_WORDBREAK measure, DT_CENTER draw).
  static void DrawCentredCaption(TCanvas& canvas, const std::string& caption, RECT r);
  // Frame INDEX (1..3) of the style's ButtonImage into IMAGE.
  void GetStyleFrame(TBitmap& image, int index);

  void ApplyUIStyle(const TkyrStyleSource& source) final { UIStyleChanged(source); }
  void Paint() override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  void PaintBackground(TCanvas& canvas);
  // The press (mouse or key) is over without a click: no timer, not pressed, no capture.
  void CancelPress();
  void RepeatTick();
  void CMMouseEnter(TMessage& m);
  void CMMouseLeave(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMTextChanged(TMessage& m);
  void CMEnabledChanged(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMDialogKey(TMessage& m);
  void CMDialogChar(TMessage& m);
  void CMFocusChanged(TMessage& m);
  void WMGetDlgCode(TMessage& m);
  void WMKeyDown(TMessage& m);
  void WMKeyUp(TMessage& m);
  void WMFocus(TMessage& m);
  void WMCaptureChanged(TMessage& m);
  void WMCancelMode(TMessage& m);
  void WMDestroy(TMessage& m);

  bool autoSize_ = false;
  bool cancel_ = false;
  bool default_ = false;
  bool transparent_ = false;
  TModalResult modalResult_ = mrNone;
  bool boldCaption_ = false;
  bool imageTransparent_ = false;
  int repeatInterval_ = 100;
  bool repeatAtPress_ = false;
  int repeatFirstDelay_ = 0;
  int focusedRectMargin_ = 2;
  bool defaultActive_ = false;
  bool mouseIn_ = false;
  bool pressed_ = false;
  WORD pressedKey_ = 0;  // VK_SPACE or VK_RETURN while a key holds the button down
  TComponentRef<TBasicAction> action_{this};
  TNotifyEvent onMouseExit_, onMouseContinuouslyDown_;
  // A hold found lost at a tick (the capture gone elsewhere unnoticed) ends the press.
  TPressRepeat repeat_{*this, [this] { RepeatTick(); }, [this] { CancelPress(); }};
};

class TkyrButton : public TkyrCustomButton {
  VANTOR_CLASS(TkyrButton, TkyrCustomButton)
public:
  explicit TkyrButton(TComponent* owner);
  ~TkyrButton() override;

  TBitmap* Glyph() { return &glyph_; }
  // Copies VALUE; a glyph twice as wide as high holds a normal and a disabled frame.
  void SetGlyph(const TBitmap& value) { glyph_.Assign(value); }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  // Pixels between glyph and caption.
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  // The caption's top-left corner as last worked out by a paint with a glyph.
  int TextLeft() const { return textLeft_; }
  int TextTop() const { return textTop_; }

  static void DeclarePublished(TPublished<TkyrButton>& p);

protected:
  void UIStyleChanged(const TkyrStyleSource& source) override;
  void DrawStateImage(TCanvas& canvas, TBitmap& image) override;
  void DrawCaption(TCanvas& canvas, const std::string& text) override;
  void DrawFocus(TCanvas& canvas) override;
  void ActionChange(TBasicAction* action) override;

private:
  void DrawGlyph(TCanvas& canvas);
  TBitmap glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int textLeft_ = 0, textTop_ = 0;
  int spacing_ = 4;
};

class TkyrImageButton : public TkyrCustomButton {
  VANTOR_CLASS(TkyrImageButton, TkyrCustomButton)
public:
  explicit TkyrImageButton(TComponent* owner);
  ~TkyrImageButton() override;

  // Reads FromThemeFile whatever was written: the pictures are the look.
  TkyrUIStyle UIStyle() const override { return FromThemeFile; }
  // Each picture's own changes (and these setters, which copy) re-apply AutoSize and repaint.
  TPicture* PicNormal() { return &picNormal_; }
  void SetPicNormal(const TPicture& value) { picNormal_.Assign(value); }
  TPicture* PicMouseOn() { return &picMouseOn_; }
  void SetPicMouseOn(const TPicture& value) { picMouseOn_.Assign(value); }
  TPicture* PicMouseDown() { return &picMouseDown_; }
  void SetPicMouseDown(const TPicture& value) { picMouseDown_.Assign(value); }
  TPicture* PicDisabled() { return &picDisabled_; }
  void SetPicDisabled(const TPicture& value) { picDisabled_.Assign(value); }
  // The picture stretched over the whole button instead of at its own size.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  // Draw the dotted focus rectangle when focused.
  bool DrawFocused() const { return drawFocused_; }
  void SetDrawFocused(bool value);

  static void DeclarePublished(TPublished<TkyrImageButton>& p);

protected:
  void ApplyAutoSize() override;
  void DrawStateImage(TCanvas& canvas, TBitmap& image) override;
  void DrawFocus(TCanvas& canvas) override;
  void GetNormalImage(TBitmap& image) override;
  void GetMouseOnImage(TBitmap& image) override;
  void GetMouseDownImage(TBitmap& image) override;
  void GetDisabledImage(TBitmap& image) override;

private:
  void PictureChanged();
  TPicture picNormal_, picMouseOn_, picMouseDown_, picDisabled_;
  bool stretch_ = false;
  bool drawFocused_ = false;
};

class TkyrToolBarSpeedButton : public TCustomPanel {
  VANTOR_CLASS(TkyrToolBarSpeedButton, TCustomPanel)
public:
  explicit TkyrToolBarSpeedButton(TComponent* owner);
  ~TkyrToolBarSpeedButton() override;

  // The pointer is over the button.
  bool Hover() const { return hover_; }
  TBitmap* Glyph() { return &glyph_; }
  // Copies VALUE; drawn at (1, 1) keyed by its bottom-left pixel.
  void SetGlyph(const TBitmap& value) { glyph_.Assign(value); }
  void WndProc(TMessage& m) override;

  static void DeclarePublished(TPublished<TkyrToolBarSpeedButton>& p);

protected:
  void Paint() override;

private:
  void CMMouseEnter(TMessage& m);
  void CMMouseLeave(TMessage& m);
  TBitmap glyph_;
  bool hover_ = false;
};
