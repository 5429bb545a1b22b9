#include "skin/frame/KYRTitleBar.h"

#include <algorithm>

#include "framework/core/ScopeGuard.h"
#include "framework/ui/Dialogs.h"
#include "skin/KYRPublic.h"
#include "skin/res/KYRStrings.h"

namespace {

// A refusal: the information box, which must not stop what set the value (a stored description
// being read goes on with its next property). An error while showing it is reported instead.
void Refuse(const std::string& text) {
  try {
    ShowMessage(text);
  } catch (...) {
    HandleEventException();
  }
}

bool Maximized(const TCustomForm* form) { return form && form->WindowState() == wsMaximized; }

// A text of the skin's string table (SkinStrings.rc), or FALLBACK in a program without it.
std::string SkinString(UINT id, const char* fallback) {
  char text[256];
  const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string(fallback);
}

// PICTURE at its own size, keyed on its transparent colour when TRANSPARENT (the button's
// setting, not the picture's own flag).
void DrawPicture(TCanvas& buffer, POINT at, TPicture& picture, bool transparent) {
  TGraphic* graphic = picture.Graphic();
  if (!graphic || graphic->Empty()) return;
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (!bitmap) return buffer.Draw(at.x, at.y, *graphic);
  const int w = bitmap->Width(), h = bitmap->Height();
  HDC source = bitmap->Canvas().Handle();
  if (transparent)
    TransparentBlt(buffer.Handle(), at.x, at.y, w, h, source, 0, 0, w, h, ColorToRGB(bitmap->TransparentColor()));
  else
    BitBlt(buffer.Handle(), at.x, at.y, w, h, source, 0, 0, SRCCOPY);
}

POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

// The first (normal) frame of each button type's set; 0 for kyrCustom.
int FirstFrameOf(TkyrTitleBarBtnType type) {
  switch (type) {
    case kyrMax: return KYR_FRAME_MAXIMIZE;
    case kyrMin: return KYR_FRAME_MINIMIZE;
    case kyrClose: return KYR_FRAME_CLOSE;
    case kyrHelp: return KYR_FRAME_HELP;
    case kyrControlBox: return KYR_FRAME_CONTROL_BOX;
    default: return 0;
  }
}

}  // namespace

// ---- TkyrTitleBarButton ----

TkyrTitleBarButton::TkyrTitleBarButton(TCollection* collection)
    : TCollectionItem(collection),
      picNormal_(std::make_unique<TPicture>()),
      picMouseOn_(std::make_unique<TPicture>()),
      picMouseDown_(std::make_unique<TPicture>()) {
  // The bar holds the reference: a component itself, it takes the menu's free notification.
  if (TkyrTitleBar* bar = TitleBar()) controlBoxMenu_ = std::make_unique<TComponentRef<TPopupMenu>>(bar);
  for (TPicture* picture : {picNormal_.get(), picMouseOn_.get(), picMouseDown_.get()})
    picture->OnChange = [this](TObject*) { RepaintBar(); };
  SetUIStyle(DeepBlue);
}

TkyrTitleBarButton::~TkyrTitleBarButton() = default;

TkyrTitleBar* TkyrTitleBarButton::TitleBar() const {
  const auto* buttons = dynamic_cast<const TkyrTitleBarButtons*>(Collection());
  return buttons ? buttons->TitleBar() : nullptr;
}

void TkyrTitleBarButton::RepaintBar() const {
  if (TkyrTitleBar* bar = TitleBar(); bar && !bar->IsDestroying()) bar->Invalidate();
}

TkyrStyleSource TkyrTitleBarButton::Source() const {
  const TkyrTitleBar* bar = TitleBar();
  return TkyrStyleSource(bar ? bar->FileTheme() : nullptr, uiStyle_);
}

void TkyrTitleBarButton::SetUIStyle(TkyrUIStyle value) {
  uiStyle_ = value;
  UpdatePictures();
}

void TkyrTitleBarButton::SetButtonType(TkyrTitleBarBtnType value) {
  if (value == kyrControlBox && Collection()) {
    for (int i = 0; i < Collection()->Count(); ++i) {
      if (static_cast<TkyrTitleBarButton*>(Collection()->Items(i))->buttonType_ == kyrControlBox)
        return Refuse("Sorry, only one button's ButtonType property can be \"kyrControlBox\"");
    }
  }
  buttonType_ = value;
  UpdatePictures();
}

void TkyrTitleBarButton::SetTransparent(bool value) {
  transparent_ = value;
  RepaintBar();
}

void TkyrTitleBarButton::SetTop(int value) {
  top_ = value;
  RepaintBar();
}

void TkyrTitleBarButton::SetVisible(bool value) {
  visible_ = value;
  RepaintBar();
}

void TkyrTitleBarButton::SetControlBoxMenu(TPopupMenu* value) {
  if (controlBoxMenu_) *controlBoxMenu_ = value;
}

// GetBuiltinBitmap and the theme's GetBitmap take (frame count, frame index): the other order
// would ask for frame 18 of FRAME frames.
void TkyrTitleBarButton::LoadPictures(const TkyrStyleSource& source, int first) {
  source.Bitmap(KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &picNormal_->Bitmap(), KYR_TITLE_BUTTON_FRAMES, first);
  source.Bitmap(KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &picMouseOn_->Bitmap(), KYR_TITLE_BUTTON_FRAMES, first + 1);
  source.Bitmap(KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &picMouseDown_->Bitmap(), KYR_TITLE_BUTTON_FRAMES, first + 2);
}

void TkyrTitleBarButton::ApplyStyle(const TkyrStyleSource& source) {
  uiStyle_ = source.Style();
  UpdatePictures(source);
}

void TkyrTitleBarButton::UpdatePictures() { UpdatePictures(Source()); }

void TkyrTitleBarButton::UpdatePictures(const TkyrStyleSource& source) {
  transparent_ = source.Bool(KYR_THEME_TITLE_BAR_BUTTON_TRANSPARENT_BOOL);
  const int first = FirstFrame();
  if (first == 0) return RepaintBar();  // kyrCustom: pictures and Top stay the user's
  LoadPictures(source, first);
  top_ = source.Int(KYR_THEME_TITLE_BAR_BUTTON_TOP_INT);
  RepaintBar();
}

// A custom bar leaves its maximise buttons' look alone (see UpdateMaxPicture).
int TkyrTitleBarButton::FirstFrame() const {
  const TkyrTitleBar* bar = TitleBar();
  const bool restore = buttonType_ == kyrMax && bar && !bar->Custom() && Maximized(bar->ParentForm());
  return restore ? KYR_FRAME_RESTORE : FirstFrameOf(buttonType_);
}

void TkyrTitleBarButton::UpdateMaxPicture() {
  const TkyrTitleBar* bar = TitleBar();
  if (buttonType_ != kyrMax || (bar && bar->Custom())) return;
  LoadPictures(Source(), FirstFrame());
}

// Minimise, maximise, restore and close go to the form as the system's own commands, the path
// the window menu and the taskbar take as well, so whoever frames the form follows the result
// (WM_SIZE, WM_CLOSE) rather than the button. A form whose window is not shown only changes its
// state, which the show then applies.
static void SendSystemCommand(TCustomForm& form, WPARAM command, TWindowState hiddenState) {
  const HWND window = form.HandleIfAllocated();
  if (!window || !IsWindowVisible(window)) {
    if (command == SC_CLOSE) return form.Close();
    return form.SetWindowState(hiddenState);
  }
  SendMessageA(window, WM_SYSCOMMAND, command, 0);
}

void TkyrTitleBarButton::ClickAction() {
  TkyrTitleBar* bar = TitleBar();
  TCustomForm* form = bar ? bar->ParentForm() : nullptr;
  if (!form) return;
  switch (buttonType_) {
    case kyrMax:
      if (Maximized(form)) {
        SendSystemCommand(*form, SC_RESTORE, wsNormal);
      } else {
        SendSystemCommand(*form, SC_MAXIMIZE, wsMaximized);
        // Inside a skinned frame the frame itself places the window on WM_SIZE.
        if (!bar->IsInSkinnedFrame() && Maximized(form)) {
          RECT work{};
          GetWorkAreaRect(work);
          SetControlBoundsRect(*form, {work.left - 4, work.top - 4, work.right + 4, work.bottom - 1});
        }
      }
      UpdateMaxPicture();
      break;
    case kyrMin: SendSystemCommand(*form, SC_MINIMIZE, wsMinimized); break;  // the main form's: the application's
    case kyrClose: SendSystemCommand(*form, SC_CLOSE, form->WindowState()); break;
    case kyrControlBox:
      if (TPopupMenu* menu = ControlBoxMenu()) {
        POINT at = bar->ClientToScreen({bar->UseRightToLeftReading() ? 176 : 0, bar->Height()});
        menu->Popup(std::max<int>(0, at.x), at.y);
      }
      break;
    default: break;
  }
}

void TkyrTitleBarButton::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TkyrTitleBarButton*>(&source);
  if (!other) return inherited::Assign(source);
  visible_ = other->visible_;
  SetButtonType(other->buttonType_);
  // Transparent and Top are taken after UIStyle, whose pictures would otherwise overwrite
  // them, so the copy equals its source.
  SetUIStyle(other->uiStyle_);
  transparent_ = other->transparent_;
  top_ = other->top_;
  picNormal_->Assign(*other->picNormal_);
  picMouseOn_->Assign(*other->picMouseOn_);
  picMouseDown_->Assign(*other->picMouseDown_);
  SetControlBoxMenu(other->ControlBoxMenu());
}

void TkyrTitleBarButton::DeclarePublished(TPublished<TkyrTitleBarButton>& p) {
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrTitleBarButton::UIStyle, &TkyrTitleBarButton::SetUIStyle);
  p.Enumeration("ButtonType", TkyrTitleBarBtnTypeInfo, &TkyrTitleBarButton::ButtonType,
                &TkyrTitleBarButton::SetButtonType);
  p.Boolean("Transparent", &TkyrTitleBarButton::Transparent, &TkyrTitleBarButton::SetTransparent);
  p.Integer("Top", &TkyrTitleBarButton::Top, &TkyrTitleBarButton::SetTop);
  p.Component("ControlBoxMenu", &TkyrTitleBarButton::ControlBoxMenu, &TkyrTitleBarButton::SetControlBoxMenu);
  p.Boolean("Visible", &TkyrTitleBarButton::Visible, &TkyrTitleBarButton::SetVisible);
  p.Object("PicNormal", &TkyrTitleBarButton::PicNormal);
  p.Object("PicMouseOn", &TkyrTitleBarButton::PicMouseOn);
  p.Object("PicMouseDown", &TkyrTitleBarButton::PicMouseDown);
}

TkyrTitleBarButtons::TkyrTitleBarButtons(TkyrTitleBar* titleBar)
    : TCollectionOf<TkyrTitleBarButton>(titleBar), titleBar_(titleBar) {}

void TkyrTitleBarButtons::Update(TCollectionItem* item) {
  inherited::Update(item);
  if (titleBar_ && !titleBar_->IsDestroying()) titleBar_->Invalidate();
}

// ---- TkyrTitleBarSection ----

TkyrTitleBarSection::TkyrTitleBarSection(TCollection* collection)
    : TCollectionItem(collection), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TkyrTitleBarSection::~TkyrTitleBarSection() = default;

TkyrTitleBar* TkyrTitleBarSection::TitleBar() const {
  const auto* sections = dynamic_cast<const TkyrTitleBarSections*>(Collection());
  return sections ? sections->TitleBar() : nullptr;
}

void TkyrTitleBarSection::RepaintBar() const {
  if (TkyrTitleBar* bar = TitleBar(); bar && !bar->IsDestroying()) bar->Invalidate();
}

// A picture read in place (a stored description's Picture.Data) changes it without the setter.
void TkyrTitleBarSection::PictureChanged() {
  if (autoSize_ && !picture_->Empty()) width_ = picture_->Width();
  RepaintBar();
}

void TkyrTitleBarSection::SetAutoSize(bool value) {
  autoSize_ = value;
  if (!picture_->Empty()) width_ = picture_->Width();  // whichever value was written
  RepaintBar();
}

void TkyrTitleBarSection::SetWidth(int value) {
  width_ = value;
  RepaintBar();
}

void TkyrTitleBarSection::SetAlign(TkyrTitleBarAlign value) {
  if (value == kyrClient && Collection()) {
    for (int i = 0; i < Collection()->Count(); ++i) {
      if (static_cast<TkyrTitleBarSection*>(Collection()->Items(i))->align_ == kyrClient)
        return Refuse("Sorry, only one section's Align property can be \"kyrClient\"");
    }
  }
  if (value == kyrClient) stretch_ = true;
  align_ = value;
  RepaintBar();
}

void TkyrTitleBarSection::SetPicture(const TPicture& value) {
  picture_->Assign(value);
  if (autoSize_) width_ = value.Width();
  RepaintBar();
}

void TkyrTitleBarSection::SetStretch(bool value) {
  stretch_ = value || align_ == kyrClient;
  RepaintBar();
}

void TkyrTitleBarSection::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TkyrTitleBarSection*>(&source);
  if (!other) return inherited::Assign(source);
  width_ = other->width_;
  SetAlign(other->align_);
  SetPicture(*other->picture_);
  SetStretch(other->stretch_);
  SetAutoSize(other->autoSize_);
}

void TkyrTitleBarSection::DeclarePublished(TPublished<TkyrTitleBarSection>& p) {
  p.Boolean("AutoSize", &TkyrTitleBarSection::AutoSize, &TkyrTitleBarSection::SetAutoSize);
  p.Integer("Width", &TkyrTitleBarSection::Width, &TkyrTitleBarSection::SetWidth);
  p.Enumeration("Align", TkyrTitleBarAlignInfo, &TkyrTitleBarSection::Align, &TkyrTitleBarSection::SetAlign);
  p.Object("Picture", &TkyrTitleBarSection::Picture);
  p.Boolean("Stretch", &TkyrTitleBarSection::Stretch, &TkyrTitleBarSection::SetStretch);
}

TkyrTitleBarSections::TkyrTitleBarSections(TkyrTitleBar* titleBar)
    : TCollectionOf<TkyrTitleBarSection>(titleBar), titleBar_(titleBar) {}

void TkyrTitleBarSections::Update(TCollectionItem* item) {
  inherited::Update(item);
  if (titleBar_ && !titleBar_->IsDestroying()) titleBar_->Invalidate();
}

// ---- TkyrTitleBar ----

TkyrTitleBar::TkyrTitleBar(TComponent* owner)
    : TkyrStyled(owner),
      sections_(std::make_unique<TkyrTitleBarSections>(this)),
      buttons_(std::make_unique<TkyrTitleBarButtons>(this)) {
  TControlStyle style = ControlStyle();
  style.Exclude(csAcceptsControls);
  SetControlStyle(style);
  SetBevelOuter(bvNone);
  systemMenu_ = new TkyrTitleBarPopupMenu(this);
  for (TkyrTitleBarBtnType type : {kyrControlBox, kyrClose, kyrMax, kyrMin}) buttons_->Add()->SetButtonType(type);
  SetAlign(alTop);
  Font()->SetColor(clWhite);
  Font()->SetName("Tahoma");
  Font()->SetStyle(TFontStyles{fsBold});
  InitUIStyle();
}

// The collections go first: their items ask the bar to repaint while they go.
TkyrTitleBar::~TkyrTitleBar() {
  Destroying();
  buttons_.reset();
  sections_.reset();
}

bool TkyrTitleBar::IsInSkinnedFrame() const { return Parent() && (AsFramePanel(Parent()) || IsMDIFrameBar()); }

bool TkyrTitleBar::IsMDIFrameBar() const {
  return Parent() && AsFramePanel(Owner()) && !dynamic_cast<TControl*>(Owner());
}

TBitmap* TkyrTitleBar::SectionBitmap(int index) const {
  return index < sections_->Count() ? dynamic_cast<TBitmap*>(sections_->Items(index)->Picture()->Graphic()) : nullptr;
}

void TkyrTitleBar::UpdateMaxButtons() {
  for (int i = 0; i < buttons_->Count(); ++i) buttons_->Items(i)->UpdateMaxPicture();
}

int TkyrTitleBar::SideBorderWidth() const {
  const TCustomForm* form = ParentForm();
  if (!form || !form->HandleAllocated()) return 0;
  return std::max(0, static_cast<int>(SendMessageA(form->HandleIfAllocated(), KYR_MSG_SIDE_BORDER_WIDTH, 0, 0)));
}

void TkyrTitleBar::SetFileTheme(TkyrFileTheme* value) {
  const TRestoreOnExit<bool> keep(keepFontColor_, true);
  inherited::SetFileTheme(value);
}

void TkyrTitleBar::SetAutoSize(bool value) {
  autoSize_ = value && sections_->Count() > 0;
  if (sections_->Count() == 0) return;
  const int pictureHeight = sections_->Items(0)->Picture()->Height();
  SetHeight(std::max(0, pictureHeight - (IsInSkinnedFrame() ? 3 : 0)));
}

void TkyrTitleBar::SetButtonInterval(int value) {
  buttonInterval_ = value;
  Invalidate();
}

// The frame sets it on every activation message: only a change repaints.
void TkyrTitleBar::SetFormActive(bool value) {
  if (formActive_ == value) return;
  formActive_ = value;
  Invalidate();
}

void TkyrTitleBar::SetLeftBtnXOffset(int value) {
  leftBtnXOffset_ = value;
  Invalidate();
}

void TkyrTitleBar::SetRightBtnXOffset(int value) {
  rightBtnXOffset_ = value;
  Invalidate();
}

void TkyrTitleBar::SetDrawAppIcon(bool value) {
  drawAppIcon_ = value;
  Invalidate();
}

// Entering or leaving a skinned frame changes how much of section 0's picture is the bar.
void TkyrTitleBar::SetParent(TWinControl* parent) {
  inherited::SetParent(parent);
  if (autoSize_ && !IsDestroying()) SetAutoSize(true);
}

void TkyrTitleBar::ApplyUIStyle(const TkyrStyleSource& source) {
  if (custom_) return;
  FillFromStyle(source);
  const TkyrStyleSource handed = source.HandedDown(source.EffectiveStyle());
  for (int i = 0; i < buttons_->Count(); ++i) buttons_->Items(i)->ApplyStyle(handed);
  if (systemMenu_) systemMenu_->ApplyStyle(handed);
  if (!keepFontColor_) ApplyFontColour(source);
  SetAutoSize(true);
}

// Missing theme values read -1: sizes and constraints take them as nothing (0, or the
// constraint left alone); offsets and positions keep them, since -1 is a valid value there.
void TkyrTitleBar::FillFromStyle(const TkyrStyleSource& source) {
  sections_->BeginUpdate();
  sections_->Clear();
  TkyrTitleBarSection* left = sections_->Add();
  source.Bitmap(KYR_THEME_TITLE_BAR_LEFT_IMAGE, &left->Picture()->Bitmap());
  left->SetAutoSize(true);
  TkyrTitleBarSection* right = sections_->Add();
  source.Bitmap(KYR_THEME_TITLE_BAR_RIGHT_IMAGE, &right->Picture()->Bitmap());
  right->SetAutoSize(true);
  right->SetAlign(kyrRight);
  TkyrTitleBarSection* client = sections_->Add();
  source.Bitmap(KYR_THEME_TITLE_BAR_CLIENT_IMAGE, &client->Picture()->Bitmap());
  client->SetAlign(kyrClient);
  sections_->EndUpdate();

  leftBtnXOffset_ = source.Int(KYR_THEME_TITLE_BAR_BUTTON_LEFT_OFFSET_INT);
  rightBtnXOffset_ = source.Int(KYR_THEME_TITLE_BAR_BUTTON_RIGHT_OFFSET_INT);
  const TBitmap* strip = source.Image(KYR_THEME_TITLE_BAR_BUTTON_IMAGE);
  buttonImageHeight_ = strip ? strip->Height() : 0;
  buttonTop_ = source.Int(KYR_THEME_TITLE_BAR_BUTTON_TOP_INT);
  if (TCustomForm* form = ParentForm()) {
    if (const int minWidth = source.Int(KYR_THEME_FORM_MIN_WIDTH_INT); minWidth >= 0)
      form->Constraints()->SetMinWidth(minWidth);
  }
  roundCorner_ = std::max(0, source.Int(KYR_THEME_FORM_ROUND_CORNER_INT));
  roundCornerBottom_ = source.FromFile() ? std::max(0, source.Int(KYR_THEME_FORM_BOTTOM_ROUND_CORNER_INT)) : 0;
}

// MacOS (the stored style) draws black; a theme file its TitleBarFontColor, or without one
// black or white by its ControlFontColor; every other style white.
void TkyrTitleBar::ApplyFontColour(const TkyrStyleSource& source) {
  TColor colour = UIStyle() == MacOS ? clBlack : clWhite;
  if (UIStyle() != MacOS && source.FromFile()) {
    colour = source.Color(KYR_THEME_TITLE_BAR_FONT_COLOR);
    if (colour == -1) {
      const TColor control = source.Color(KYR_THEME_CONTROL_FONT_COLOR);
      const bool dark = control == 0x10000 || control == 0x30000 || control == 0x40000 || control == 0x50000;
      colour = dark ? clBlack : clWhite;
    }
  }
  Font()->SetColor(colour);
}

// ---- layout and painting ----

int TkyrTitleBarLayout::ButtonAt(POINT point) const {
  int found = -1;
  for (const TPlace& place : places) {
    const bool sized = place.rect.right > place.rect.left && place.rect.bottom > place.rect.top;
    if (sized && InRect(point, place.rect)) found = place.index;
  }
  return found;
}

// Right-hand buttons from X = width + RightBtnXOffset + side border leftwards, each pulled back
// inside the right edge; the control box at LeftBtnXOffset - side border + 1 (not below 0).
TkyrTitleBarLayout TkyrTitleBar::Layout(int width) const {
  TkyrTitleBarLayout layout;
  const int side = SideBorderWidth();
  const int top = ButtonTop();
  int x = width + rightBtnXOffset_ + side;
  for (int i = 0; i < buttons_->Count(); ++i) {
    const TkyrTitleBarButton* button = buttons_->Items(i);
    if (!button->Visible()) continue;
    if (button->ButtonType() == kyrControlBox) {
      layout.controlBox = i;
      continue;
    }
    const int w = button->PicNormal()->Width(), h = button->PicNormal()->Height();
    x -= w + buttonInterval_ + 1;
    if (x + w + 1 > width) x = width - w - 1;
    layout.places.push_back({i, {x, top, x + w, top + h}, {x, top}});
  }
  int left = std::max(0, leftBtnXOffset_ - side + 1);
  if (layout.controlBox >= 0) {
    const TPicture* picture = buttons_->Items(layout.controlBox)->PicNormal();
    const RECT rect{left, top, left + picture->Width(), top + picture->Height()};
    // The application's icon takes a 21-pixel slot; the picture is drawn one pixel higher, but
    // not above the bar (see ButtonTop).
    layout.places.push_back(
        {layout.controlBox, rect, drawAppIcon_ ? POINT{left + 3, top} : POINT{left, std::max(0, top - 1)}});
    left += drawAppIcon_ ? 21 : picture->Width() + 5;
  }
  layout.captionLeft = left == 0 ? 6 : left;
  layout.captionRight = x;
  return layout;
}

std::string ShortenCaption(const std::string& caption, int room, const std::function<int(const std::string&)>& widthOf,
                           UINT codePage) {
  if (widthOf(caption) <= room) return caption;
  std::string rest = caption;
  while (!rest.empty()) {
    const char* begin = rest.c_str();
    const char* previous = CharPrevExA(static_cast<WORD>(codePage), begin, begin + rest.size(), 0);
    rest.resize(static_cast<size_t>(previous - begin));
    if (widthOf(rest + "...") <= room) break;
  }
  return rest + "...";
}

// The buttons and the right-hand picture stand at the right edge, so a new width moves them: the
// whole bar is painted again (the system invalidates only the strip a window gains).
void TkyrTitleBar::Resize() {
  inherited::Resize();
  if (HandleAllocated() && !IsDestroying()) Invalidate();
}

void TkyrTitleBar::Paint() {
  TCanvas& buffer = Canvas();  // the control's off-screen bitmap, with Font
  buffer.Brush().SetStyle(bsClear);
  PaintSections(buffer);
  PaintButtons(buffer);
}

void TkyrTitleBar::PaintSections(TCanvas& buffer) {
  int xo = 0, yo = 0;
  if (IsInSkinnedFrame()) {
    const int side = SideBorderWidth();
    xo = side != 0 ? -side : IsMDIFrameBar() ? -4 : -3;
    yo = -3;
  }
  const int count = sections_->Count();
  int leftEnd = 0, rightStart = 0;
  if (count > 0) {
    TPicture* left = sections_->Items(0)->Picture();
    if (!left->Empty()) buffer.Draw(xo, yo, *left->Graphic());
    leftEnd = xo + left->Width();
  }
  if (count > 1) {
    TPicture* right = sections_->Items(1)->Picture();
    rightStart = ClientWidth() - right->Width() - xo;
    if (!right->Empty()) buffer.Draw(rightStart, yo, *right->Graphic());
  }
  if (count > 2) {
    TPicture* middle = sections_->Items(2)->Picture();
    if (!middle->Empty() && rightStart > leftEnd)
      buffer.StretchDraw({leftEnd, yo, rightStart, yo + middle->Height()}, *middle->Graphic());
  }
}

// While the button is held, whichever button is under the pointer shows pressed.
TPicture* TkyrTitleBar::StatePicture(const TkyrTitleBarButton& button, bool hovered) const {
  if (!hovered) return button.PicNormal();
  return pressed_ ? button.PicMouseDown() : button.PicMouseOn();
}

void TkyrTitleBar::PaintButtons(TCanvas& buffer) {
  const TkyrTitleBarLayout layout = Layout();
  hoverButton_ = pointerOver_ ? layout.ButtonAt(pointer_) : -1;
  for (const TkyrTitleBarLayout::TPlace& place : layout.places) {
    const TkyrTitleBarButton& button = *buttons_->Items(place.index);
    if (place.index == layout.controlBox && drawAppIcon_) {
      if (HICON icon = AppIcon()) DrawIconEx(buffer.Handle(), place.at.x, place.at.y, icon, 16, 16, 0, nullptr, DI_NORMAL);
      continue;
    }
    DrawPicture(buffer, place.at, *StatePicture(button, place.index == hoverButton_), button.Transparent());
  }
  PaintCaption(buffer, layout);
}

// Centred on the button row; at L, or in right-to-left reading ending 10 pixels before X.
void TkyrTitleBar::PaintCaption(TCanvas& buffer, const TkyrTitleBarLayout& layout) {
  lastCaption_ = {};
  const std::string caption = Caption();
  if (caption.empty()) return;
  if (!formActive_) buffer.Font().SetColor(clInactiveCaption);
  const std::string shown = ShortenCaption(caption, layout.captionRight - layout.captionLeft,
                                           [&buffer](const std::string& text) { return buffer.TextWidth(text); });
  const int y = (buttonImageHeight_ - buffer.TextHeight(shown)) / 2 + ButtonTop();
  const int x = UseRightToLeftReading() ? layout.captionRight - buffer.TextWidth(shown) - 10 : layout.captionLeft;
  buffer.TextOut(x, y, shown);
  lastCaption_ = {shown, {x, y}};
}

HICON TkyrTitleBar::AppIcon() {
  const HICON source = Application->Icon()->Handle();
  if (appIconMade_ && source == appIconSource_) return appIcon_.Get();
  appIconSource_ = source;
  appIconMade_ = true;
  if (source)
    appIcon_.Reset(static_cast<HICON>(CopyImage(source, IMAGE_ICON, 16, 16, LR_COPYFROMRESOURCE)));
  else
    appIcon_.Reset(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 16, 16, 0)));
  return appIcon_.Get();
}

// ---- mouse ----

void TkyrTitleBar::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrTitleBar> kTable[] = {
      {WM_NCMOUSEMOVE, &TkyrTitleBar::WMNCMouse},
      {WM_NCLBUTTONDOWN, &TkyrTitleBar::WMNCMouse},
      {WM_NCLBUTTONUP, &TkyrTitleBar::WMNCMouse},
      {WM_LBUTTONDBLCLK, &TkyrTitleBar::WMLButtonDblClk},
      {CM_MOUSELEAVE, &TkyrTitleBar::CMMouseLeave},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

// The form decides about its non-client area; a bar on no form (or one without its window
// yet) leaves the message to the default handling.
void TkyrTitleBar::WMNCMouse(TMessage& m) {
  const TCustomForm* form = ParentForm();
  if (!form || !form->HandleAllocated()) return inherited::WndProc(m);
  m.Result = SendMessageA(form->HandleIfAllocated(), m.Msg, m.WParam, m.LParam);
}

void TkyrTitleBar::WMLButtonDblClk(TMessage& m) {
  doubleClickAt_ = PointOf(m.LParam);
  inherited::WndProc(m);
}

void TkyrTitleBar::CMMouseLeave(TMessage& m) {
  inherited::WndProc(m);
  pointerOver_ = false;
  if (hoverButton_ != -1) Invalidate();
}

// The pointer as the mouse messages report it; painting never asks the system where it is.
void TkyrTitleBar::PointerAt(int x, int y) {
  pointer_ = {x, y};
  pointerOver_ = true;
}

void TkyrTitleBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  inherited::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  PointerAt(x, y);
  pressed_ = true;
  pressedButton_ = Layout().ButtonAt({x, y});
  // The double click on the control box closed the window: its release opens no window menu.
  if (shift.Contains(ssDouble) && pressedButton_ != -1 && buttons_->Items(pressedButton_)->ButtonType() == kyrControlBox)
    pressedButton_ = -1;
  Repaint();
  TCustomForm* form = ParentForm();
  // The press that ends a double click does not start a move: the click has just maximised or
  // restored the window.
  if (!form || shift.Contains(ssDouble)) return;
  if ((pressedButton_ != -1 || Maximized(form)) && !InState(csDesigning)) return;
  const std::weak_ptr<void> alive = LifeToken();
  ReleaseCapture();
  // The system moves the window with the pointer until the button comes up (a modal loop that
  // starts from where the pointer is, Wine's as Windows').
  SendMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  if (alive.expired()) return;
  pressed_ = false;
  pressedButton_ = -1;
  Invalidate();
}

// Only a change of the button under the pointer changes the picture.
void TkyrTitleBar::MouseMove(TShiftState shift, int x, int y) {
  inherited::MouseMove(shift, x, y);
  PointerAt(x, y);
  if (Layout().ButtonAt({x, y}) != hoverButton_) Invalidate();
}

// A click is a press and a release on the same button, found where the release happens.
void TkyrTitleBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  inherited::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  const int pressedOn = pressed_ ? pressedButton_ : -1;
  pressed_ = false;
  pressedButton_ = -1;
  const int released = Layout().ButtonAt({x, y});
  const std::weak_ptr<void> alive = LifeToken();
  if (released != -1 && released == pressedOn) ButtonClicked(released);
  if (!alive.expired()) Invalidate();
}

void TkyrTitleBar::ButtonClicked(int index) {
  TkyrTitleBarButton* button = buttons_->Items(index);
  const TkyrTitleBarBtnType type = button->ButtonType();
  if (type == kyrControlBox && !button->ControlBoxMenu()) {
    const POINT at = ClientToScreen({0, Height()});
    if (systemMenu_) systemMenu_->Popup(at.x, at.y);
    return;
  }
  const std::weak_ptr<void> alive = LifeToken();
  button->ClickAction();
  if (alive.expired()) return;
  TkyrTitleBarButtonClickEvent handler = type == kyrCustom ? onCustomBtnsClick_
                                         : type == kyrHelp ? onHelpBtnClick_
                                                           : nullptr;
  if (handler) handler(this, index);
}

// On the caption the first visible maximise button maximises or restores; on the control box
// the form closes.
void TkyrTitleBar::DblClick() {
  inherited::DblClick();
  if (InState(csDesigning)) return;
  const int index = Layout().ButtonAt(doubleClickAt_);
  if (index == -1) {
    for (int i = 0; i < buttons_->Count(); ++i) {
      TkyrTitleBarButton* button = buttons_->Items(i);
      if (button->Visible() && button->ButtonType() == kyrMax) return button->ClickAction();
    }
    return;
  }
  if (buttons_->Items(index)->ButtonType() != kyrControlBox) return;
  if (TCustomForm* form = ParentForm()) form->Close();
}

void TkyrTitleBar::DeclarePublished(TPublished<TkyrTitleBar>& p) {
  p.Boolean("Custom", &TkyrTitleBar::Custom, &TkyrTitleBar::SetCustom);
  p.Component("FileTheme", &TkyrTitleBar::FileTheme, &TkyrTitleBar::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrTitleBar::UIStyle, &TkyrTitleBar::SetUIStyle);
  p.Boolean("AutoSize", &TkyrTitleBar::AutoSize, &TkyrTitleBar::SetAutoSize);
  p.Object("Sections", &TkyrTitleBar::Sections);
  p.Object("Buttons", &TkyrTitleBar::Buttons);
  p.Integer("ButtonInterval", &TkyrTitleBar::ButtonInterval, &TkyrTitleBar::SetButtonInterval);
  p.Boolean("FormActive", &TkyrTitleBar::FormActive, &TkyrTitleBar::SetFormActive);
  p.Integer("LeftBtnXOffset", &TkyrTitleBar::LeftBtnXOffset, &TkyrTitleBar::SetLeftBtnXOffset);
  p.Integer("RightBtnXOffset", &TkyrTitleBar::RightBtnXOffset, &TkyrTitleBar::SetRightBtnXOffset);
  p.Boolean("DrawAppIcon", &TkyrTitleBar::DrawAppIcon, &TkyrTitleBar::SetDrawAppIcon);
  p.Integer("RoundCorner", &TkyrTitleBar::RoundCorner, &TkyrTitleBar::SetRoundCorner);
  p.Integer("RoundCornerBottom", &TkyrTitleBar::RoundCornerBottom, &TkyrTitleBar::SetRoundCornerBottom);
  p.Event("OnCustomBtnsClick", &TkyrTitleBar::OnCustomBtnsClick, &TkyrTitleBar::SetOnCustomBtnsClick);
  p.Event("OnHelpBtnClick", &TkyrTitleBar::OnHelpBtnClick, &TkyrTitleBar::SetOnHelpBtnClick);
}

// ---- TkyrTitleBarPopupMenu ----

TkyrTitleBarPopupMenu::TkyrTitleBarPopupMenu(TComponent* owner)
    : TkyrPopupMenu(owner), titleBar_(dynamic_cast<TkyrTitleBar*>(owner)) {
  SetAutoHotkeys(maManual);
  struct TEntry {
    UINT id;
    const char* fallback;
    void (TkyrTitleBarPopupMenu::*action)();
  };
  const TEntry entries[] = {{KYR_STR_MINIMIZE, "Mi&nimize", &TkyrTitleBarPopupMenu::Minimize},
                            {KYR_STR_MAXIMIZE_RESTORE, "Ma&ximize/Restore", &TkyrTitleBarPopupMenu::MaximizeOrRestore},
                            {0, "-", nullptr},
                            {KYR_STR_CLOSE, "&Close", &TkyrTitleBarPopupMenu::Close}};
  for (const TEntry& entry : entries) {
    auto* item = new TMenuItem(nullptr);  // freed with the menu's item tree
    item->SetCaption(entry.action ? SkinString(entry.id, entry.fallback) : entry.fallback);
    if (entry.action) item->SetOnClick([this, action = entry.action](TObject*) { (this->*action)(); });
    Items()->Add(item);
  }
  SetPopupComponent(titleBar_);  // tracked with the bar's form, which so stays active
}

bool TkyrTitleBarPopupMenu::HasVisible(TkyrTitleBarBtnType type) const {
  if (!titleBar_) return false;
  for (int i = 0; i < titleBar_->Buttons()->Count(); ++i) {
    const TkyrTitleBarButton* button = titleBar_->Buttons()->Items(i);
    if (button->Visible() && button->ButtonType() == type) return true;
  }
  return false;
}

void TkyrTitleBarPopupMenu::Popup(int x, int y) {
  if (titleBar_ && titleBar_->UseRightToLeftReading()) x += 176;
  MinimizeItem()->SetEnabled(HasVisible(kyrMin));
  MaximizeItem()->SetEnabled(HasVisible(kyrMax));
  CloseItem()->SetEnabled(HasVisible(kyrClose));
  inherited::Popup(x, y);
}

// The same system commands as the buttons.
void TkyrTitleBarPopupMenu::Minimize() {
  if (TCustomForm* form = titleBar_ ? titleBar_->ParentForm() : nullptr) SendSystemCommand(*form, SC_MINIMIZE, wsMinimized);
}

void TkyrTitleBarPopupMenu::MaximizeOrRestore() {
  if (!titleBar_) return;
  for (int i = 0; i < titleBar_->Buttons()->Count(); ++i) {
    TkyrTitleBarButton* button = titleBar_->Buttons()->Items(i);
    if (button->Visible() && button->ButtonType() == kyrMax) button->ClickAction();
  }
}

void TkyrTitleBarPopupMenu::Close() {
  if (TCustomForm* form = titleBar_ ? titleBar_->ParentForm() : nullptr) SendSystemCommand(*form, SC_CLOSE, form->WindowState());
}
