#include "skin/controls/KYRButton.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "framework/graphics/ImgList.h"
#include "framework/ui/Menus.h"
#include "skin/KYRPublic.h"

namespace {

constexpr TColor kDisabledShadow = clWhite;
constexpr TColor kDisabledText = 0x808080;

// Blank when nothing but characters 0..32 remain once both ends are trimmed.
bool Blank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// The colour of a bitmap's top-left pixel (the key the glyph and state-image masks use).
TColor TopLeftColor(TBitmap& bitmap) { return bitmap.Canvas().Pixel(0, 0); }

// GRAPHIC as a bitmap: a bitmap is copied, anything else (an icon) drawn on the skin key.
void CopyToBitmap(const TPicture& picture, TBitmap& image) {
  const TGraphic* graphic = picture.Graphic();
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(graphic)) return image.Assign(*bitmap);
  image.SetSize(picture.Width(), picture.Height());
  if (image.Empty()) return;
  image.Canvas().Brush().SetColor(clFuchsia);
  image.Canvas().FillRect(RECT{0, 0, image.Width(), image.Height()});
  image.Canvas().Draw(0, 0, *const_cast<TGraphic*>(graphic));
}

bool ModifierHeld() {
  const TShiftState shift = KeyboardShiftState();
  return shift.Contains(ssShift) || shift.Contains(ssCtrl) || shift.Contains(ssAlt);
}

}  // namespace

// ---- free helpers ----

TkyrGlyphPlacement PlaceButtonGlyph(TButtonLayout layout, int w, int h, int tw, int th, int gw, int gh, int s) {
  TkyrGlyphPlacement p{};
  switch (layout) {
    case blGlyphLeft:
      p.GlyphX = (w - (tw + gw + s)) / 2;
      p.GlyphY = (h - gh) / 2;
      p.TextLeft = p.GlyphX + gw + s;
      p.TextTop = (h - th) / 2;
      break;
    case blGlyphRight:
      p.GlyphX = (w + tw + s - gw) / 2;
      p.GlyphY = (h - gh) / 2;
      p.TextLeft = p.GlyphX - tw - s;
      p.TextTop = (h - th) / 2;
      break;
    case blGlyphTop:
      p.GlyphX = (w - gw) / 2;
      p.GlyphY = (h - (th + gh + s)) / 2;
      p.TextLeft = (w - tw) / 2;
      p.TextTop = p.GlyphY + gh + s;
      break;
    case blGlyphBottom:
      p.GlyphX = (w - gw) / 2;
      p.GlyphY = (h + th + s - gh) / 2;
      p.TextLeft = (w - tw) / 2;
      p.TextTop = p.GlyphY - th - s;
      break;
  }
  return p;
}

// ---- TkyrCustomButton ----

TkyrCustomButton::TkyrCustomButton(TComponent* owner) : TkyrStyled(owner) {
  // No children; a double click reaches the button as a second press.
  SetControlStyle({csCaptureMouse, csClickEvents, csSetCaption, csOpaque});
  SetTabStop(true);
  SetParentColor(true);
  // The style (UIStyleChanged) is applied by each class's constructor once it is complete.
}

TkyrCustomButton::~TkyrCustomButton() {
  Destroying();
  CancelPress();
  if (action_) action_->UnregisterChanges(this);
}

void TkyrCustomButton::SetAutoSize(bool value) {
  autoSize_ = value;
  ApplyAutoSize();
  Invalidate();
}

void TkyrCustomButton::SetDefault(bool value) {
  default_ = value;
  TCustomForm* form = ParentForm();
  // Every button of the form decides again whether it answers Return.
  if (HandleAllocated() && form) form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TkyrCustomButton::SetTransparent(bool value) {
  transparent_ = value;
  TransparentChanged();
  Invalidate();
}

void TkyrCustomButton::SetFocusedRectMargin(int value) {
  focusedRectMargin_ = value;
  Invalidate();
}

void TkyrCustomButton::SetAction(TBasicAction* value) {
  if (action_ == value) return;
  if (action_) action_->UnregisterChanges(this);
  action_ = value;
  if (!action_) return;
  action_->RegisterChanges(this, [this](TObject* sender) { ActionChange(static_cast<TBasicAction*>(sender)); });
  ActionChange(action_);
}

// The framework's part of the action link: the control takes the action's values.
void TkyrCustomButton::ActionChange(TBasicAction* action) {
  if (auto* custom = dynamic_cast<TCustomAction*>(action)) {
    SetCaption(custom->Caption());
    SetEnabled(custom->Enabled());
    SetHint(custom->Hint());
    SetVisible(custom->Visible());
  }
  CaptionChanged();
  Invalidate();
}

void TkyrCustomButton::ApplyAutoSize() {
  if (!autoSize_) return;
  TBitmap image;
  try {
    GetBuiltinBitmap(UIStyle(), KYR_THEME_BUTTON_IMAGE, &image, 0, 1);  // the built-in tables only
  } catch (const std::exception&) {
  }
  const int height = image.Height() ? image.Height() : 21;
  const int width = image.Width() ? image.Width() : 74;
  SetBounds(Left(), Top(), width / 3, height);
}

void TkyrCustomButton::FontChanged() {
  Canvas().Font().Assign(*Font());
  Invalidate();
}

void TkyrCustomButton::TransparentChanged() {
  imageTransparent_ = transparent_;
  Invalidate();
}

void TkyrCustomButton::GetStyleFrame(TBitmap& image, int index) {
  TkyrStyleSource(FileTheme(), UIStyle()).Bitmap(KYR_THEME_BUTTON_IMAGE, &image, 3, index);
}

void TkyrCustomButton::GetNormalImage(TBitmap& image) { GetStyleFrame(image, 1); }
void TkyrCustomButton::GetMouseOnImage(TBitmap& image) { GetStyleFrame(image, 2); }
void TkyrCustomButton::GetMouseDownImage(TBitmap& image) { GetStyleFrame(image, 3); }
void TkyrCustomButton::GetDisabledImage(TBitmap& image) { GetStyleFrame(image, 1); }

// The framework's buffer is the off-screen bitmap: it is filled, drawn and copied in one BitBlt.
void TkyrCustomButton::Paint() {
  TCanvas& canvas = Canvas();
  TBitmap image;
  try {
    if (!Enabled()) GetDisabledImage(image);
    else if (pressed_) GetMouseDownImage(image);
    else if (mouseIn_) GetMouseOnImage(image);
    else GetNormalImage(image);
  } catch (const std::exception&) {
    image.SetSize(0, 0);  // no face; background, focus and caption still paint
  }
  image.SetTransparent(imageTransparent_);
  PaintBackground(canvas);
  DrawStateImage(canvas, image);
  if (Focused() && TabStop()) DrawFocus(canvas);
  canvas.Font().Assign(*Font());
  if (!Blank(Caption())) DrawCaption(canvas, Caption());
  boldCaption_ = false;  // a mark for this paint only, also when there was no caption to draw
}

void TkyrCustomButton::PaintBackground(TCanvas& canvas) {
  const RECT r = ClientRect();
  if (!transparent_) {
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
    return;
  }
  TWinControl* parent = Parent();
  if (!parent) return;
  const auto* container = dynamic_cast<const IkyrButtonContainer*>(parent);
  if (container && container->ButtonsShowOuterBackground())
    DrawParentBackground(canvas, *parent);
  else
    DrawParentBackground(canvas, *this);
}

void TkyrCustomButton::DrawStateImage(TCanvas& canvas, TBitmap& image) {
  if (image.Empty()) return;
  TImageList list(image.Width(), image.Height());
  if (imageTransparent_)
    list.AddMasked(image, TopLeftColor(image));
  else
    list.Add(image);
  list.Draw(canvas, 0, 0, 0, Enabled());
}

void TkyrCustomButton::DrawCentredCaption(TCanvas& canvas, const std::string& caption, RECT r) {
  RECT measured = r;
  canvas.DrawText(caption, measured, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  OffsetRect(&measured, ((r.right - r.left) - (measured.right - measured.left)) / 2,
             ((r.bottom - r.top) - (measured.bottom - measured.top)) / 2);
  canvas.DrawText(caption, measured, DT_CENTER);
}

void TkyrCustomButton::DrawCaption(TCanvas& canvas, const std::string& text) {
  canvas.Brush().SetStyle(bsClear);
  RECT r = ClientRect();
  canvas.Font().Assign(*Font());
  if (boldCaption_) {
    TFontStyles style = canvas.Font().Style();
    style.Include(fsBold);
    canvas.Font().SetStyle(style);
  }
  if (!Enabled()) {
    RECT shadow = r;
    OffsetRect(&shadow, 1, 1);
    canvas.Font().SetColor(kDisabledShadow);
    DrawCentredCaption(canvas, text, shadow);
    canvas.Font().SetColor(kDisabledText);
  } else if (pressed_) {
    OffsetRect(&r, 1, 1);
  }
  DrawCentredCaption(canvas, text, r);
  boldCaption_ = false;
}

void TkyrCustomButton::DrawFocus(TCanvas& canvas) {
  const int m = focusedRectMargin_;
  canvas.Brush().SetStyle(bsSolid);
  canvas.DrawFocusRect(RECT{m, m, ClientWidth() - m, ClientHeight() - m});
}

void TkyrCustomButton::Click() {
  if (pressed_) {
    repeat_.Stop();
    pressed_ = false;
    pressedKey_ = 0;
    Invalidate();
  }
  if (TCustomForm* form = ParentForm(); form && Parent()) form->SetModalResult(modalResult_);
  // Last: the handler may free the button.
  if (!OnClick() && action_) {
    action_->Execute();
    return;
  }
  inherited::Click();
}

void TkyrCustomButton::CreateWindowHandle(const TCreateParams& params) {
  inherited::CreateWindowHandle(params);
  defaultActive_ = default_;
}

// ---- mouse and the repeat timer ----

void TkyrCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    pressed_ = true;
    const std::weak_ptr<void> alive = LifeToken();
    repeat_.Start({repeatAtPress_, repeatFirstDelay_, repeatInterval_});
    if (alive.expired()) return;  // an OnMouseContinuouslyDown at the press freed the button
    if (TabStop() && CanFocus()) {
      try {
        SetFocus();
      } catch (const std::exception&) {
      }
    }
    Invalidate();
  }
  inherited::MouseDown(button, shift, x, y);
}

void TkyrCustomButton::MouseMove(TShiftState shift, int x, int y) {
  const std::weak_ptr<void> alive = LifeToken();
  inherited::MouseMove(shift, x, y);
  if (alive.expired()) return;
  if (x < 0 || y < 0 || x > Width() || y > Height()) {
    mouseIn_ = false;
    pressed_ = false;
    Invalidate();
  }
}

// Any release of the left button ends the press, also outside the button (the capture brings
// it here); a release inside has clicked already.
void TkyrCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && pressedKey_ == 0) CancelPress();
  inherited::MouseUp(button, shift, x, y);
}

void TkyrCustomButton::RepeatTick() {
  if (onMouseContinuouslyDown_) onMouseContinuouslyDown_(this);
}

void TkyrCustomButton::CancelPress() {
  repeat_.Stop();
  const bool was = pressed_;
  pressed_ = false;
  pressedKey_ = 0;
  if (HandleAllocated() && GetCapture() == HandleIfAllocated()) ReleaseCapture();
  if (was) Invalidate();
}

// ---- messages ----

void TkyrCustomButton::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrCustomButton> kTable[] = {
      {CM_MOUSEENTER, &TkyrCustomButton::CMMouseEnter},
      {CM_MOUSELEAVE, &TkyrCustomButton::CMMouseLeave},
      {CM_FONTCHANGED, &TkyrCustomButton::CMFontChanged},
      {CM_TEXTCHANGED, &TkyrCustomButton::CMTextChanged},
      {CM_ENABLEDCHANGED, &TkyrCustomButton::CMEnabledChanged},
      {CM_VISIBLECHANGED, &TkyrCustomButton::CMVisibleChanged},
      {CM_DIALOGKEY, &TkyrCustomButton::CMDialogKey},
      {CM_DIALOGCHAR, &TkyrCustomButton::CMDialogChar},
      {CM_FOCUSCHANGED, &TkyrCustomButton::CMFocusChanged},
      {WM_GETDLGCODE, &TkyrCustomButton::WMGetDlgCode},
      {WM_KEYDOWN, &TkyrCustomButton::WMKeyDown},
      {WM_KEYUP, &TkyrCustomButton::WMKeyUp},
      {WM_SETFOCUS, &TkyrCustomButton::WMFocus},
      {WM_KILLFOCUS, &TkyrCustomButton::WMFocus},
      {WM_CAPTURECHANGED, &TkyrCustomButton::WMCaptureChanged},
      {WM_CANCELMODE, &TkyrCustomButton::WMCancelMode},
      {WM_DESTROY, &TkyrCustomButton::WMDestroy},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

// MouseIn is set before the control's own OnMouseEnter runs, so the handler sees it.
void TkyrCustomButton::CMMouseEnter(TMessage& m) {
  if (!InState(csDesigning)) {
    mouseIn_ = true;
    Invalidate();
  }
  inherited::WndProc(m);
}

void TkyrCustomButton::CMMouseLeave(TMessage& m) {
  const std::weak_ptr<void> alive = LifeToken();
  inherited::WndProc(m);  // OnMouseLeave
  if (alive.expired()) return;
  mouseIn_ = false;
  pressed_ = false;
  pressedKey_ = 0;
  repeat_.Stop();
  Invalidate();
  if (onMouseExit_) onMouseExit_(this);
}

void TkyrCustomButton::CMFontChanged(TMessage&) { FontChanged(); }

void TkyrCustomButton::CMTextChanged(TMessage& m) {
  inherited::WndProc(m);
  CaptionChanged();
  Invalidate();
}

void TkyrCustomButton::CMEnabledChanged(TMessage& m) {
  inherited::WndProc(m);
  if (!Enabled()) CancelPress();
  EnabledChanged();
  Invalidate();
}

void TkyrCustomButton::CMVisibleChanged(TMessage& m) {
  inherited::WndProc(m);
  if (!Visible()) CancelPress();
}

void TkyrCustomButton::CMDialogKey(TMessage& m) {
  const bool enter = m.WParam == VK_RETURN && defaultActive_;
  const bool escape = m.WParam == VK_ESCAPE && cancel_;
  if ((enter || escape) && !ModifierHeld() && CanFocus()) {
    m.Result = 1;
    Click();  // last: the handler may free the button
    return;
  }
  inherited::WndProc(m);
}

// The accelerator clicks only a button that could take the focus, as the dialog keys do.
void TkyrCustomButton::CMDialogChar(TMessage& m) {
  const char accelerator = CaptionAccelerator(Caption());
  const char typed = static_cast<char>(m.WParam);
  m.Result = 0;
  if (accelerator == 0 || std::toupper(static_cast<unsigned char>(accelerator)) != std::toupper(static_cast<unsigned char>(typed)))
    return;
  if (!CanFocus()) return;
  m.Result = 1;
  Click();
}

void TkyrCustomButton::CMFocusChanged(TMessage& m) {
  inherited::WndProc(m);
  auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
  defaultActive_ = dynamic_cast<TkyrButton*>(focused) ? focused == this : default_;
  Invalidate();
}

// A button that answers Return takes it itself when focused (pressed on key-down, clicked on
// key-up); otherwise Return goes to the form first, for the default button.
void TkyrCustomButton::WMGetDlgCode(TMessage& m) {
  inherited::WndProc(m);
  m.Result |= DLGC_BUTTON | (defaultActive_ ? DLGC_DEFPUSHBUTTON : 0);
}

void TkyrCustomButton::WMKeyDown(TMessage& m) {
  const std::weak_ptr<void> alive = LifeToken();
  inherited::WndProc(m);  // OnKeyDown
  if (alive.expired()) return;
  const WORD key = static_cast<WORD>(m.WParam);
  if ((key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled() && pressedKey_ == 0) {
    pressed_ = true;
    pressedKey_ = key;
    Invalidate();
  }
}

void TkyrCustomButton::WMKeyUp(TMessage& m) {
  const std::weak_ptr<void> alive = LifeToken();
  inherited::WndProc(m);  // OnKeyUp
  if (alive.expired()) return;
  const WORD key = static_cast<WORD>(m.WParam);
  if (key != pressedKey_ || !pressed_ || !Focused() || !Enabled()) return;
  pressed_ = false;
  pressedKey_ = 0;
  Invalidate();
  Click();  // last: the handler may free the button
}

void TkyrCustomButton::WMFocus(TMessage& m) {
  const std::weak_ptr<void> alive = LifeToken();
  inherited::WndProc(m);  // OnEnter / OnExit
  if (alive.expired()) return;
  if (m.Msg == WM_KILLFOCUS && pressedKey_ != 0) {
    pressed_ = false;
    pressedKey_ = 0;
  }
  Invalidate();
}

void TkyrCustomButton::WMCaptureChanged(TMessage& m) {
  inherited::WndProc(m);
  if (reinterpret_cast<HWND>(m.LParam) != HandleIfAllocated() && pressedKey_ == 0) CancelPress();
}

void TkyrCustomButton::WMCancelMode(TMessage& m) {
  inherited::WndProc(m);
  CancelPress();
}

void TkyrCustomButton::WMDestroy(TMessage& m) {
  CancelPress();  // the window's timer goes with it
  inherited::WndProc(m);
}

void TkyrCustomButton::DeclarePublished(TPublished<TkyrCustomButton>& p) {
  p.Enumeration("BiDiMode", BiDiModeInfo, &TControl::BiDiMode, &TControl::SetBiDiMode);
  p.Set("Anchors", AnchorKindInfo, &TControl::Anchors, &TControl::SetAnchors);
  p.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  p.Object("Font", static_cast<TFont* (TControl::*)()>(&TControl::Font));
  p.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  p.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.String("Caption", &TControl::Caption, &TControl::SetCaption);
  p.Boolean("AutoSize", &TkyrCustomButton::AutoSize, &TkyrCustomButton::SetAutoSize);
  p.Boolean("Visible", &TControl::Visible, &TControl::SetVisible);
  p.Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
  p.Boolean("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode);
  p.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
  p.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  p.Event("OnEnter", &TWinControl::OnEnter, &TWinControl::SetOnEnter);
  p.Event("OnExit", &TWinControl::OnExit, &TWinControl::SetOnExit);
}

// ---- TkyrButton ----

TkyrButton::TkyrButton(TComponent* owner) : TkyrCustomButton(owner) {
  SetBounds(Left(), Top(), 80, 27);
  glyph_.OnChange = [this](TObject*) { Invalidate(); };
  InitUIStyle();  // UIStyleChanged of this class: Transparent from the style
}

TkyrButton::~TkyrButton() {
  Destroying();
  glyph_.OnChange = nullptr;
}

void TkyrButton::SetLayout(TButtonLayout value) {
  layout_ = value;
  Invalidate();
}

void TkyrButton::SetSpacing(int value) {
  spacing_ = value;
  Invalidate();
}

void TkyrButton::UIStyleChanged(const TkyrStyleSource& source) {
  SetTransparent(source.Bool(KYR_THEME_BUTTON_TRANSPARENT_BOOL));
}

void TkyrButton::DrawStateImage(TCanvas& canvas, TBitmap& image) {
  canvas.Font().Assign(*Font());
  DrawNineGrid(image, canvas, ClientRect(), ImageTransparent());
  if (!glyph_.Empty()) DrawGlyph(canvas);
}

void TkyrButton::DrawGlyph(TCanvas& canvas) {
  const SIZE text = canvas.TextExtent(Caption());
  const int gh = glyph_.Height();
  const bool twoFrames = glyph_.Width() == 2 * gh;  // normal, then disabled
  const int gw = twoFrames ? gh : glyph_.Width();
  const TkyrGlyphPlacement at = PlaceButtonGlyph(layout_, Width(), Height(), text.cx, text.cy, gw, gh, spacing_);
  textLeft_ = at.TextLeft;
  textTop_ = at.TextTop;
  const int shift = Pressed() ? 1 : 0;
  TImageList list(gw, gh);
  list.AddMasked(glyph_, TopLeftColor(glyph_));
  if (twoFrames)
    list.Draw(canvas, at.GlyphX + shift, at.GlyphY + shift, Enabled() ? 0 : 1);
  else
    list.Draw(canvas, at.GlyphX + shift, at.GlyphY + shift, 0, Enabled());
}

void TkyrButton::DrawCaption(TCanvas& canvas, const std::string& text) {
  if (glyph_.Empty()) return inherited::DrawCaption(canvas, text);
  SetBoldCaption(false);  // the glyph path shows no bold mark
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().Assign(*Font());
  if (!Enabled()) {
    RECT shadow{textLeft_ + 1, textTop_ + 1, Width(), Height()};
    canvas.Font().SetColor(kDisabledShadow);
    canvas.DrawText(text, shadow, DT_SINGLELINE);
    canvas.Font().SetColor(kDisabledText);
  } else if (Pressed()) {
    ++textLeft_;
    ++textTop_;
  }
  RECT r{textLeft_, textTop_, Width(), Height()};
  canvas.DrawText(text, r, DT_SINGLELINE);
}

// The stored style decides, not the one drawn with.
void TkyrButton::DrawFocus(TCanvas& canvas) {
  if (UIStyle() == MacOS || UIStyle() == BlueGlass) return SetBoldCaption(true);
  inherited::DrawFocus(canvas);
}

void TkyrButton::ActionChange(TBasicAction* action) {
  inherited::ActionChange(action);
  auto* custom = dynamic_cast<TCustomAction*>(action);
  TImageList* images = custom && custom->ActionList() ? custom->ActionList()->Images() : nullptr;
  if (!images || !glyph_.Empty()) return;
  const int index = custom->ImageIndex();
  if (index < 0 || index >= images->Count()) return;
  TBitmap strip;
  images->GetStrip(strip);
  TBitmap image;
  ExtractBitmapFrame(strip, image, images->Count(), index + 1);
  glyph_.Assign(image);
}

void TkyrButton::DeclarePublished(TPublished<TkyrButton>& p) {
  p.Component("FileTheme", &TkyrButton::FileTheme, &TkyrButton::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrButton::UIStyle, &TkyrButton::SetUIStyle);
  p.Boolean("Cancel", &TkyrButton::Cancel, &TkyrButton::SetCancel);
  p.Boolean("Default", &TkyrButton::Default, &TkyrButton::SetDefault);
  p.Component("Action", &TkyrButton::Action, &TkyrButton::SetAction);
  p.String("Caption", &TControl::Caption, &TControl::SetCaption);
  p.Object("Font", static_cast<TFont* (TControl::*)()>(&TControl::Font));
  p.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  p.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  p.Boolean("Transparent", &TkyrButton::Transparent, &TkyrButton::SetTransparent);
  p.Integer("ModalResult", &TkyrButton::ModalResult, &TkyrButton::SetModalResult);
  p.Boolean("AutoSize", &TkyrButton::AutoSize, &TkyrButton::SetAutoSize);
  p.Integer("FocusedRectMargin", &TkyrButton::FocusedRectMargin, &TkyrButton::SetFocusedRectMargin);
  p.Object("Glyph", &TkyrButton::Glyph);
  p.Enumeration("Layout", ButtonLayoutInfo, &TkyrButton::Layout, &TkyrButton::SetLayout);
  p.Integer("Spacing", &TkyrButton::Spacing, &TkyrButton::SetSpacing);
  p.Integer("MouseContinuouslyDownInterval", &TkyrButton::MouseContinuouslyDownInterval,
            &TkyrButton::SetMouseContinuouslyDownInterval);
  p.Event("OnClick", &TControl::OnClick, &TControl::SetOnClick);
  p.Event("OnMouseMove", &TControl::OnMouseMove, &TControl::SetOnMouseMove);
  p.Event("OnMouseDown", &TControl::OnMouseDown, &TControl::SetOnMouseDown);
  p.Event("OnMouseUp", &TControl::OnMouseUp, &TControl::SetOnMouseUp);
  p.Event("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::SetOnKeyDown);
  p.Event("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::SetOnKeyUp);
  p.Event("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::SetOnKeyPress);
  p.Event("OnMouseEnter", &TControl::OnMouseEnter, &TControl::SetOnMouseEnter);
  p.Event("OnMouseExit", &TkyrButton::OnMouseExit, &TkyrButton::SetOnMouseExit);
  p.Event("OnMouseContinuouslyDown", &TkyrButton::OnMouseContinuouslyDown, &TkyrButton::SetOnMouseContinuouslyDown);
  p.Integer("ResHandle", &TkyrButton::ResHandle, &TkyrButton::SetResHandle);
}

// ---- TkyrImageButton ----

TkyrImageButton::TkyrImageButton(TComponent* owner) : TkyrCustomButton(owner) {
  for (TPicture* picture : {&picNormal_, &picMouseOn_, &picMouseDown_, &picDisabled_})
    picture->OnChange = [this](TObject*) { PictureChanged(); };
  InitUIStyle();
}

TkyrImageButton::~TkyrImageButton() {
  Destroying();
  for (TPicture* picture : {&picNormal_, &picMouseOn_, &picMouseDown_, &picDisabled_}) picture->OnChange = nullptr;
}

void TkyrImageButton::PictureChanged() {
  ApplyAutoSize();
  Invalidate();
}

void TkyrImageButton::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TkyrImageButton::SetDrawFocused(bool value) {
  drawFocused_ = value;
  Invalidate();
}

void TkyrImageButton::ApplyAutoSize() {
  if (!Parent() || !AutoSize() || picNormal_.Empty()) return;
  SetBounds(Left(), Top(), picNormal_.Width(), picNormal_.Height());
}

void TkyrImageButton::GetNormalImage(TBitmap& image) {
  if (!picNormal_.Empty()) CopyToBitmap(picNormal_, image);
}

void TkyrImageButton::GetMouseOnImage(TBitmap& image) {
  CopyToBitmap(picMouseOn_.Empty() ? picNormal_ : picMouseOn_, image);
}

void TkyrImageButton::GetMouseDownImage(TBitmap& image) {
  CopyToBitmap(picMouseDown_.Empty() ? picNormal_ : picMouseDown_, image);
}

void TkyrImageButton::GetDisabledImage(TBitmap& image) {
  CopyToBitmap(picDisabled_.Empty() ? picNormal_ : picDisabled_, image);
}

// Keyed by the top-left pixel when Transparent (Paint sets the image's transparency).
void TkyrImageButton::DrawStateImage(TCanvas& canvas, TBitmap& image) {
  if (image.Empty()) return;
  image.SetTransparentColor(TopLeftColor(image));
  if (stretch_)
    canvas.StretchDraw(RECT{0, 0, Width(), Height()}, image);
  else
    canvas.Draw(0, 0, image);
}

void TkyrImageButton::DrawFocus(TCanvas& canvas) {
  if (drawFocused_) inherited::DrawFocus(canvas);
}

void TkyrImageButton::DeclarePublished(TPublished<TkyrImageButton>& p) {
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrImageButton::UIStyle, &TkyrImageButton::SetUIStyle);
  p.Boolean("DrawFocused", &TkyrImageButton::DrawFocused, &TkyrImageButton::SetDrawFocused);
  p.Integer("FocusedRectMargin", &TkyrImageButton::FocusedRectMargin, &TkyrImageButton::SetFocusedRectMargin);
  p.Object("PicNormal", &TkyrImageButton::PicNormal);
  p.Object("PicMouseOn", &TkyrImageButton::PicMouseOn);
  p.Object("PicMouseDown", &TkyrImageButton::PicMouseDown);
  p.Object("PicDisabled", &TkyrImageButton::PicDisabled);
  p.Boolean("Stretch", &TkyrImageButton::Stretch, &TkyrImageButton::SetStretch);
  p.Boolean("Cancel", &TkyrImageButton::Cancel, &TkyrImageButton::SetCancel);
  p.Boolean("Default", &TkyrImageButton::Default, &TkyrImageButton::SetDefault);
  p.Integer("MouseContinuouslyDownInterval", &TkyrImageButton::MouseContinuouslyDownInterval,
            &TkyrImageButton::SetMouseContinuouslyDownInterval);
  p.Component("Action", &TkyrImageButton::Action, &TkyrImageButton::SetAction);
  p.String("Caption", &TControl::Caption, &TControl::SetCaption);
  p.Object("Font", static_cast<TFont* (TControl::*)()>(&TControl::Font));
  p.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  p.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  p.Boolean("Transparent", &TkyrImageButton::Transparent, &TkyrImageButton::SetTransparent);
  p.Integer("ModalResult", &TkyrImageButton::ModalResult, &TkyrImageButton::SetModalResult);
  p.Boolean("AutoSize", &TkyrImageButton::AutoSize, &TkyrImageButton::SetAutoSize);
  p.Event("OnClick", &TControl::OnClick, &TControl::SetOnClick);
  p.Event("OnMouseMove", &TControl::OnMouseMove, &TControl::SetOnMouseMove);
  p.Event("OnMouseDown", &TControl::OnMouseDown, &TControl::SetOnMouseDown);
  p.Event("OnMouseUp", &TControl::OnMouseUp, &TControl::SetOnMouseUp);
  p.Event("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::SetOnKeyDown);
  p.Event("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::SetOnKeyUp);
  p.Event("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::SetOnKeyPress);
  p.Event("OnMouseEnter", &TControl::OnMouseEnter, &TControl::SetOnMouseEnter);
  p.Event("OnMouseExit", &TkyrImageButton::OnMouseExit, &TkyrImageButton::SetOnMouseExit);
  p.Event("OnMouseContinuouslyDown", &TkyrImageButton::OnMouseContinuouslyDown,
          &TkyrImageButton::SetOnMouseContinuouslyDown);
}

// ---- TkyrToolBarSpeedButton ----

TkyrToolBarSpeedButton::TkyrToolBarSpeedButton(TComponent* owner) : TCustomPanel(owner) {
  // Keyed by its bottom-left pixel (the bitmap's default transparent colour).
  glyph_.SetTransparent(true);
  glyph_.OnChange = [this](TObject*) {
    if (!glyph_.Transparent()) return glyph_.SetTransparent(true);  // a copy brings its own flag
    Invalidate();
  };
  SetBounds(Left(), Top(), 18, 18);
}

TkyrToolBarSpeedButton::~TkyrToolBarSpeedButton() {
  Destroying();
  glyph_.OnChange = nullptr;
}

void TkyrToolBarSpeedButton::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrToolBarSpeedButton> kTable[] = {
      {CM_MOUSEENTER, &TkyrToolBarSpeedButton::CMMouseEnter},
      {CM_MOUSELEAVE, &TkyrToolBarSpeedButton::CMMouseLeave},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TkyrToolBarSpeedButton::CMMouseEnter(TMessage&) {
  hover_ = true;
  Invalidate();
}

void TkyrToolBarSpeedButton::CMMouseLeave(TMessage&) {
  hover_ = false;
  Invalidate();
}

// No pressed look; an empty glyph gives a plain square without the hover frame.
void TkyrToolBarSpeedButton::Paint() {
  TCanvas& canvas = Canvas();
  const RECT r = ClientRect();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(Color());
  canvas.FillRect(r);
  if (glyph_.Empty()) return;
  if (hover_) {
    canvas.Brush().SetColor(clBlack);
    canvas.FrameRect(r);
  }
  canvas.Draw(1, 1, glyph_);
}

void TkyrToolBarSpeedButton::DeclarePublished(TPublished<TkyrToolBarSpeedButton>& p) {
  p.Object("Glyph", &TkyrToolBarSpeedButton::Glyph);
  p.Color("Color", &TControl::Color, &TControl::SetColor);
  p.Event("OnClick", &TControl::OnClick, &TControl::SetOnClick);
}
