#include "skin/controls/KYRToolBar.h"

#include <algorithm>

#include "skin/KYRPublic.h"

namespace {

// Offsets of a face's contents from the button's corner, besides the image places the
// framework's bar shares (TToolBar::kImageTop, kListImageLeft, kListCaptionGap). A caption
// without images sits one pixel lower when pressed.
constexpr int kImageTop = TToolBar::kImageTop;
constexpr int kCaptionGap = 4;       // below the image
constexpr int kCaptionTop = 4;       // without images
constexpr int kListCaptionLeft = 8;  // list mode without images

bool Holds(const TImageList* list, int index) { return list && index >= 0 && index < list->Count(); }

}  // namespace

std::string CaptionWithoutAmpersands(const std::string& caption) {
  std::string text = caption;
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  return text;
}

// Division truncates toward zero, as C++'s does: a caption wider than its button starts left of it.
TkyrToolFacePlacement PlaceToolFace(const RECT& face, bool dropDown, bool list, bool down, bool images, int imageWidth,
                                    int imageHeight, int textWidth) {
  const int centreRight = dropDown ? face.right - TToolBar::kDropDownWidth : face.right;
  const int centredText = face.left + (centreRight - face.left - textWidth) / 2;
  if (!images) {
    if (list) return {face.left, face.top, face.left + kListCaptionLeft, face.top + kImageTop};
    return {face.left, face.top, centredText, face.top + kCaptionTop + (down ? 1 : 0)};
  }
  if (list)
    return {face.left + TToolBar::kListImageLeft, face.top + kImageTop, face.left + imageWidth + TToolBar::kListCaptionGap,
            face.top + (imageHeight - 16) / 2 + 4};
  return {face.left + (centreRight - face.left - imageWidth) / 2, face.top + kImageTop, centredText,
          face.top + imageHeight + kCaptionGap};
}

TkyrToolBar::TkyrToolBar(TComponent* owner) : TkyrStyled(owner) {
  // Designed with its owner: the buttons keep the framework's look, the background is drawn.
  const bool designing = InState(csDesigning) || (owner && owner->InState(csDesigning));
  if (!designing)
    SetOnCustomDrawButton([this](TObject* sender, TToolButton* button, TCustomDrawState state, bool& defaultDraw) {
      DrawSkinnedButton(sender, button, state, defaultDraw);
    });
  SetOnCustomDraw(
      [this](TObject* sender, const RECT& rect, bool& defaultDraw) { DrawBackground(sender, rect, defaultDraw); });
  // A description that leaves Color out means the system window colour.
  SetColor(clWindow);
  SetFlat(true);
  SetTransparent(false);
  InitUIStyle();
}

void TkyrToolBar::SetButtonColor(TColor value) {
  buttonColor_ = value;
  Invalidate();
}

void TkyrToolBar::SetButtonBorderColor(TColor value) {
  buttonBorderColor_ = value;
  Invalidate();
}

void TkyrToolBar::SetButtonDownColor(TColor value) {
  buttonDownColor_ = value;
  Invalidate();
}

// Transparent follows the stored style, so a theme file's bar is opaque like DeepBlue's.
void TkyrToolBar::ApplyUIStyle(const TkyrStyleSource& source) {
  buttonBorderColor_ = source.Color(KYR_THEME_TOOL_BAR_BUTTON_BORDER_COLOR);
  buttonColor_ = source.Color(KYR_THEME_TOOL_BAR_BUTTON_BACKGROUND_COLOR);
  buttonDownColor_ = source.Color(KYR_THEME_TOOL_BAR_BUTTON_DOWN_BACKGROUND_COLOR);
  SetTransparent(source.Style() == MacOS || source.Style() == Protein);
  SetEdgeInner(esNone);
  SetEdgeOuter(esNone);
}

// ---- drawing ----

void TkyrToolBar::DrawBackground(TObject*, const RECT&, bool&) {
  if (Transparent()) DrawParentBackground(Canvas(), *this);
}

// Pressed means pressed with the pointer over the button (hot and selected); a button that is
// only selected (its drop-down open) or checked shows the hot look. Separators and dividers are
// never faces, whatever the pointer does: the framework draws them.
void TkyrToolBar::DrawSkinnedButton(TObject*, TToolButton* button, TCustomDrawState state, bool& defaultDraw) {
  if (!button || button->Style() == tbsSeparator || button->Style() == tbsDivider) return;
  const bool hot = (state & cdsHot) != 0, selected = (state & cdsSelected) != 0;
  if (!hot && !selected && !(state & cdsChecked)) return;
  DrawFace(*button, hot && selected ? TLook::Down : TLook::Hot);
  defaultDraw = false;
}

void TkyrToolBar::DrawFace(TToolButton& button, TLook look) {
  TCanvas& canvas = Canvas();
  const RECT r = button.BoundsRect();
  const bool dropDown = button.Style() == tbsDropDown;
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(look == TLook::Down ? buttonDownColor_ : buttonColor_);
  canvas.Pen().SetStyle(psSolid);
  canvas.Pen().SetWidth(1);
  canvas.Pen().SetColor(buttonBorderColor_);
  canvas.Rectangle(r);
  DrawImageAndCaption(button, look, r);
  // Also for a checked drop-down button that the pointer is not over: its arrow part stays.
  if (dropDown) DrawDropDownArrow(r);
}

TImageList* TkyrToolBar::LayoutImages() const { return HotImages() ? HotImages() : Images(); }

// The hot list when it holds the image, else Images (the framework's choice for a hot button).
TImageList* TkyrToolBar::ImagesHolding(const TToolButton& button) const {
  TImageList* list = ImagesFor(&button, cdsHot);
  return Holds(list, button.ImageIndex()) ? list : nullptr;
}

void TkyrToolBar::DrawImageAndCaption(TToolButton& button, TLook look, const RECT& r) {
  TCanvas& canvas = Canvas();
  // The canvas holds the bar's font, but a default-drawn (disabled) button before this one
  // leaves its text colour there; the colour alone keeps the font handle.
  canvas.Font().SetColor(Font()->Color());
  const std::string& caption = button.Caption();
  TImageList* layout = LayoutImages();
  TImageList* drawn = ImagesHolding(button);
  const TImageList* sized = drawn ? drawn : layout;
  const TkyrToolFacePlacement at =
      PlaceToolFace(r, button.Style() == tbsDropDown, List(), look == TLook::Down, layout != nullptr,
                    sized ? sized->Width() : 0, sized ? sized->Height() : 0,
                    canvas.TextWidth(CaptionWithoutAmpersands(caption)));
  if (drawn) drawn->Draw(canvas, at.ImageX, at.ImageY, button.ImageIndex(), true);
  if (!ShowCaptions()) return;
  RECT text{at.CaptionX, at.CaptionY, r.right, r.bottom};
  // Flags 0: left and top aligned, "&" underlines the letter after it.
  canvas.DrawText(caption, text, 0);
}

// Two filled triangles (the smaller one closes the gaps GDI leaves in a 5 x 3 polygon), then
// the line before the arrow part.
void TkyrToolBar::DrawDropDownArrow(const RECT& r) {
  TCanvas& canvas = Canvas();
  const int right = r.right, middle = r.top + (r.bottom - r.top) / 2;
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(clBlack);
  canvas.Pen().SetColor(clBlack);
  canvas.Polygon({{right - 9, middle}, {right - 5, middle}, {right - 7, middle + 2}});
  canvas.Polygon({{right - 8, middle}, {right - 6, middle}, {right - 7, middle + 1}});
  canvas.MoveTo(right - kDropDownWidth, r.top);
  canvas.LineTo(right - kDropDownWidth, r.bottom);
}

void TkyrToolBar::DeclarePublished(TPublished<TkyrToolBar>& p) {
  p.Component("FileTheme", &TkyrToolBar::FileTheme, &TkyrToolBar::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrToolBar::UIStyle, &TkyrToolBar::SetUIStyle);
  p.Color("ButtonColor", &TkyrToolBar::ButtonColor, &TkyrToolBar::SetButtonColor);
  p.Color("ButtonBorderColor", &TkyrToolBar::ButtonBorderColor, &TkyrToolBar::SetButtonBorderColor);
  p.Color("ButtonDownColor", &TkyrToolBar::ButtonDownColor, &TkyrToolBar::SetButtonDownColor);
  p.Color("Color", &TControl::Color, &TControl::SetColor);
  p.Boolean("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent);
}
