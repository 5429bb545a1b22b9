// The skinned toolbar: the framework's TToolBar (its layout, tool buttons, image lists, list
// mode, drop-down buttons and mouse handling unchanged) drawn in the colours of a UIStyle. It
// takes over drawing through its own two custom-draw events, wired by the constructor:
//
//   - the background: a Transparent bar (MacOS and Protein turn it on) lets its parent paint
//     behind it (DrawParentBackground); the framework's edges and buttons follow;
//   - a hot, pressed or checked button: a flat rectangle in ButtonColor (hot, checked) or
//     ButtonDownColor (pressed) with a one-pixel ButtonBorderColor border, its image and its
//     caption; a drop-down button also gets its arrow and the line before the arrow part. A
//     button in the normal state keeps the framework's flat drawing.
//
//   auto* bar = new TkyrToolBar(form);     // the owner form's style
//   bar->SetParent(form);
//   bar->SetImages(images);  bar->SetShowCaptions(true);
//   auto* open = new TToolButton(bar);  open->SetParent(bar);  open->SetImageIndex(0);
//
// The three colours are the style's theme elements 35, 36 and 37, read again at every style
// change (a program may set them afterwards). Hot, pressed and checked come from the framework
// with each paint; the bar keeps no state of its own beyond its colours and style. A skinned
// push button on the bar shows the bar's parent through its see-through parts
// (IkyrButtonContainer), as the bar itself does.
#pragma once

#include <string>

#include "framework/ui/ComCtrls.h"
#include "framework/ui/Menus.h"  // complete for the tool buttons' references
#include "skin/KYRStyled.h"
#include "skin/controls/KYRButton.h"

// Where a hot or down face puts its image and its caption's top-left corner, in bar
// coordinates: the plain numbers of the face drawing. FACE is the button's bounds; IMAGES
// whether the bar has an image list (IMAGEWIDTH x IMAGEHEIGHT; the caption follows the list's
// layout also when the button's image is missing); TEXTWIDTH the caption's width without its
// "&"s. Centring leaves a drop-down button's arrow part out.
struct TkyrToolFacePlacement {
  int ImageX, ImageY, CaptionX, CaptionY;
  bool operator==(const TkyrToolFacePlacement&) const = default;
};
TkyrToolFacePlacement PlaceToolFace(const RECT& face, bool dropDown, bool list, bool down, bool images, int imageWidth,
                                    int imageHeight, int textWidth);

class TkyrToolBar : public TkyrStyled<TToolBar>, public IkyrButtonContainer {
  VANTOR_CLASS(TkyrToolBar, TkyrStyled<TToolBar>)
public:
  explicit TkyrToolBar(TComponent* owner);

  // Fill of a hot or checked button.
  TColor ButtonColor() const { return buttonColor_; }
  void SetButtonColor(TColor value);
  // One-pixel border of a hot, pressed or checked button.
  TColor ButtonBorderColor() const { return buttonBorderColor_; }
  void SetButtonBorderColor(TColor value);
  // Fill of a pressed button.
  TColor ButtonDownColor() const { return buttonDownColor_; }
  void SetButtonDownColor(TColor value);

  // The handlers the constructor puts on OnCustomDraw and OnCustomDrawButton, for a program
  // that sets its own and still wants the skin's drawing.
  void DrawBackground(TObject* sender, const RECT& rect, bool& defaultDraw);
  void DrawSkinnedButton(TObject* sender, TToolButton* button, TCustomDrawState state, bool& defaultDraw);

  static void DeclarePublished(TPublished<TkyrToolBar>& p);

protected:
  void ApplyUIStyle(const TkyrStyleSource& source) override;

private:
  enum class TLook { Hot, Down };
  void DrawFace(TToolButton& button, TLook look);
  void DrawImageAndCaption(TToolButton& button, TLook look, const RECT& r);
  void DrawDropDownArrow(const RECT& r);
  // The list the face's layout follows: HotImages when set, else Images.
  TImageList* LayoutImages() const;
  // The list BUTTON's image comes from: HotImages, falling back to Images for an index
  // HotImages lacks; nullptr when neither holds it.
  TImageList* ImagesHolding(const TToolButton& button) const;

  TColor buttonColor_ = 0;
  TColor buttonBorderColor_ = 0;
  TColor buttonDownColor_ = 0;
};

// CAPTION without any "&": the text whose width centres a caption (DrawText shows "&x" as an
// underlined x).
std::string CaptionWithoutAmpersands(const std::string& caption);
