// The skinned title bar with its buttons and picture sections.
//
// TkyrTitleBarButton / TkyrTitleBarButtons: the bar's buttons. A button has a type (maximise,
// minimise, close, help, control box, custom) and three state pictures (normal, pointer over,
// pressed) cut from the style's title-button strip: 18 frames, three per set, in the order
// control box, help, maximise, restore, minimise, close. Changing a button's style or type
// reloads them (a custom button keeps the pictures it was given).
// TkyrTitleBarSection / TkyrTitleBarSections: pictures of the strip. The bar draws them by
// position: 0 the left end, 1 the right end, 2 the stretched middle.
// TkyrTitleBar: the caption strip, drawn in the control's one off-screen buffer: sections,
// buttons right to left from the right edge, a control box (or the application's icon) at the
// left and the caption between them, shortened with "..." when it does not fit. Dragging the
// strip moves the window, a double click maximises or restores it, the control box opens the
// window menu (TkyrTitleBarPopupMenu).
//
//   auto* bar = new TkyrTitleBar(form);      // control box, close, maximise, minimise
//   bar->SetParent(form);                    // aligned to the top
//   bar->SetCaption("Corvane Vantor");
//   bar->SetUIStyle(MacOS);                  // sections, pictures, offsets, font colour, height
//   TkyrTitleBarButton* help = bar->Buttons()->Add();
//   help->SetButtonType(kyrHelp);
//   bar->SetOnHelpBtnClick([](TObject*, int index) { /* index in Buttons() */ });
//
// A skinned form panel (TkyrForm) makes the bar with itself as owner and parent; the bar then
// draws its pictures 3 pixels (or the side border's width) up and left, into the frame that the
// frame painter continues, and asks the host form for that width with KYR_MSG_SIDE_BORDER_WIDTH.
// The panel sets FormActive from the window's activation, calls UpdateMaxButtons on WM_SIZE and
// opens SystemMenu() on Alt+Space; its own style change reaches the bar as one ApplyStyle.
//
// Refusals ("Sorry, ...") are information boxes shown with ShowMessage (framework/ui/Dialogs.h,
// whose hook lets tests read and answer them). They leave the setting as it was and never throw,
// so a stored description holding a refused value still loads to the end.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRPopupMenu.h"

enum TkyrTitleBarBtnType : uint8_t { kyrMax, kyrMin, kyrClose, kyrHelp, kyrControlBox, kyrCustom };
inline const TEnumInfo TkyrTitleBarBtnTypeInfo("TkyrTitleBarBtnType",
                                               {"kyrMax", "kyrMin", "kyrClose", "kyrHelp", "kyrControlBox", "kyrCustom"});
enum TkyrTitleBarAlign : uint8_t { kyrLeft, kyrRight, kyrClient };
inline const TEnumInfo TkyrTitleBarAlignInfo("TkyrTitleBarAlign", {"kyrLeft", "kyrRight", "kyrClient"});

// SENDER is the title bar, BUTTON_INDEX the button's index in its Buttons().
using TkyrTitleBarButtonClickEvent = std::function<void(TObject* sender, int buttonIndex)>;

class TkyrTitleBar;

// The first frame of each picture set in the title-button strip (normal; +1 pointer over,
// +2 pressed), and the strip's frame count.
inline constexpr int KYR_TITLE_BUTTON_FRAMES = 18;
inline constexpr int KYR_FRAME_CONTROL_BOX = 1, KYR_FRAME_HELP = 4, KYR_FRAME_MAXIMIZE = 7, KYR_FRAME_RESTORE = 10,
                     KYR_FRAME_MINIMIZE = 13, KYR_FRAME_CLOSE = 16;

class TkyrTitleBarButton : public TCollectionItem {
  VANTOR_CLASS(TkyrTitleBarButton, TCollectionItem)
public:
  explicit TkyrTitleBarButton(TCollection* collection);
  ~TkyrTitleBarButton() override;

  TkyrUIStyle UIStyle() const { return uiStyle_; }
  // Stores the style and reloads the pictures (UpdatePictures).
  void SetUIStyle(TkyrUIStyle value);
  TkyrTitleBarBtnType ButtonType() const { return buttonType_; }
  // A second kyrControlBox in the collection is refused ("Sorry, only one button's ButtonType
  // property can be "kyrControlBox""); otherwise stores the type and reloads the pictures.
  void SetButtonType(TkyrTitleBarBtnType value);
  // The state picture is drawn keyed on its transparent colour.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // Stored only: the bar draws every button at its own ButtonTop().
  int Top() const { return top_; }
  void SetTop(int value);
  // The menu a kyrControlBox button opens; not owned, cleared when it is freed (the bar holds
  // the reference). A button of no bar cannot open one: the value is dropped.
  TPopupMenu* ControlBoxMenu() const { return controlBoxMenu_ ? controlBoxMenu_->Get() : nullptr; }
  void SetControlBoxMenu(TPopupMenu* value);
  // Hidden buttons are neither drawn nor hit.
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  // The state pictures; the normal picture's size is the button's size. The setters copy.
  TPicture* PicNormal() const { return picNormal_.get(); }
  TPicture* PicMouseOn() const { return picMouseOn_.get(); }
  TPicture* PicMouseDown() const { return picMouseDown_.get(); }
  void SetPicNormal(const TPicture& value) { picNormal_->Assign(value); }
  void SetPicMouseOn(const TPicture& value) { picMouseOn_->Assign(value); }
  void SetPicMouseDown(const TPicture& value) { picMouseDown_->Assign(value); }

  // What the button does to the bar's form: maximise/restore, minimise, close, or open its
  // ControlBoxMenu. Help, custom and a control box without menu do nothing here (the bar fires
  // its events or opens its own window menu). Nothing without a bar or a form.
  void ClickAction();
  // Transparent, the three pictures and Top from the style (the bar's FileTheme, this button's
  // UIStyle); a kyrCustom button takes only Transparent.
  void UpdatePictures();
  // The bar's style change: UIStyle := SOURCE's style, then UpdatePictures from SOURCE, whose
  // title-button strip is decoded once for all the buttons.
  void ApplyStyle(const TkyrStyleSource& source);
  // A kyrMax button of a bar that is not Custom: the restore pictures while the bar's form is
  // maximised, otherwise (no form yet included) the maximise pictures.
  void UpdateMaxPicture();
  // From another button: Visible, ButtonType, UIStyle (both through their setters), then
  // Transparent and Top, the pictures and ControlBoxMenu, so the copy equals its source.
  void Assign(const TPersistent& source) override;

  // The bar whose collection holds the button, or nullptr.
  TkyrTitleBar* TitleBar() const;
  static void DeclarePublished(TPublished<TkyrTitleBarButton>& p);

private:
  TkyrStyleSource Source() const;
  void UpdatePictures(const TkyrStyleSource& source);
  // The first frame of the pictures the button shows now (the restore set for a kyrMax
  // button of a maximised form), 0 for kyrCustom.
  int FirstFrame() const;
  // Frames FIRST, FIRST + 1 and FIRST + 2 into the three pictures.
  void LoadPictures(const TkyrStyleSource& source, int first);
  void RepaintBar() const;

  bool visible_ = true;
  TkyrTitleBarBtnType buttonType_ = kyrCustom;
  bool transparent_ = false;
  int top_ = 2;
  TkyrUIStyle uiStyle_ = DeepBlue;
  std::unique_ptr<TPicture> picNormal_, picMouseOn_, picMouseDown_;
  std::unique_ptr<TComponentRef<TPopupMenu>> controlBoxMenu_;  // null without a bar
};

class TkyrTitleBarButtons : public TCollectionOf<TkyrTitleBarButton> {
  VANTOR_CLASS(TkyrTitleBarButtons, TCollectionOf<TkyrTitleBarButton>)
public:
  explicit TkyrTitleBarButtons(TkyrTitleBar* titleBar);
  TkyrTitleBar* TitleBar() const { return titleBar_; }

protected:
  // Then the bar repaints.
  void Update(TCollectionItem* item) override;

private:
  TkyrTitleBar* titleBar_;
};

class TkyrTitleBarSection : public TCollectionItem {
  VANTOR_CLASS(TkyrTitleBarSection, TCollectionItem)
public:
  explicit TkyrTitleBarSection(TCollection* collection);
  ~TkyrTitleBarSection() override;

  // With AutoSize, Width follows the picture (whatever value AutoSize was given).
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  int Width() const { return width_; }
  void SetWidth(int value);
  // A second kyrClient in the collection is refused ("Sorry, only one section's Align property
  // can be "kyrClient""); kyrClient also sets Stretch.
  TkyrTitleBarAlign Align() const { return align_; }
  void SetAlign(TkyrTitleBarAlign value);
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(const TPicture& value);
  // A kyrClient section always stretches.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  // From another section: Width, Align, the picture, Stretch and AutoSize, through the setters.
  void Assign(const TPersistent& source) override;

  TkyrTitleBar* TitleBar() const;
  static void DeclarePublished(TPublished<TkyrTitleBarSection>& p);

private:
  void PictureChanged();
  void RepaintBar() const;

  int width_ = 10;
  TkyrTitleBarAlign align_ = kyrLeft;
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool autoSize_ = false;
};

class TkyrTitleBarSections : public TCollectionOf<TkyrTitleBarSection> {
  VANTOR_CLASS(TkyrTitleBarSections, TCollectionOf<TkyrTitleBarSection>)
public:
  explicit TkyrTitleBarSections(TkyrTitleBar* titleBar);
  TkyrTitleBar* TitleBar() const { return titleBar_; }

protected:
  void Update(TCollectionItem* item) override;

private:
  TkyrTitleBar* titleBar_;
};

class TkyrTitleBarPopupMenu;

// Where a bar of a given width puts its buttons and its caption (client coordinates).
struct TkyrTitleBarLayout {
  struct TPlace {
    int index;  // in Buttons()
    RECT rect;  // hit rectangle, right and bottom edges included
    POINT at;   // where its picture (or the application's icon) is drawn
  };
  // The visible right-hand buttons in collection order (right to left on screen), then the
  // control box when there is one.
  std::vector<TPlace> places;
  int controlBox = -1;  // index in Buttons(), -1 for none
  int captionLeft = 0;  // L: where the caption may start
  int captionRight = 0; // X: the left edge of the leftmost right-hand button
  // The button at POINT (the last place that holds it), -1 for none.
  int ButtonAt(POINT point) const;
};

// CAPTION as it fits into ROOM pixels by WIDTH_OF: whole, or shortened at its end to whole
// characters of CODE_PAGE followed by "...", or "..." alone.
std::string ShortenCaption(const std::string& caption, int room, const std::function<int(const std::string&)>& widthOf,
                           UINT codePage = CP_ACP);

class TkyrTitleBar : public TkyrStyled<TCustomPanel> {
  VANTOR_CLASS(TkyrTitleBar, TkyrStyled<TCustomPanel>)
public:
  // Control box, close, maximise and minimise; aligned to the top; the owner form's style.
  explicit TkyrTitleBar(TComponent* owner);
  ~TkyrTitleBar() override;

  // While true a style change only stores the style: sections, buttons, offsets, font colour
  // and height stay as they are.
  bool Custom() const { return custom_; }
  void SetCustom(bool value) { custom_ = value; }
  // Re-applies the style, leaving the font colour alone.
  void SetFileTheme(TkyrFileTheme* value) override;
  // Any value written sets Height from section 0's picture (3 less inside a skinned frame,
  // never below 0); without sections it reads false.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TkyrTitleBarSections* Sections() const { return sections_.get(); }
  void SetSections(const TkyrTitleBarSections& value) { sections_->Assign(value); }
  TkyrTitleBarButtons* Buttons() const { return buttons_.get(); }
  void SetButtons(const TkyrTitleBarButtons& value) { buttons_->Assign(value); }
  // Extra pixels between neighbouring right-hand buttons.
  int ButtonInterval() const { return buttonInterval_; }
  void SetButtonInterval(int value);
  // False draws the caption in the system colour of inactive captions.
  bool FormActive() const { return formActive_; }
  void SetFormActive(bool value);
  // X of the control box; shift of the right-hand button group.
  int LeftBtnXOffset() const { return leftBtnXOffset_; }
  void SetLeftBtnXOffset(int value);
  int RightBtnXOffset() const { return rightBtnXOffset_; }
  void SetRightBtnXOffset(int value);
  // The application's icon (16 x 16) instead of the control box picture.
  bool DrawAppIcon() const { return drawAppIcon_; }
  void SetDrawAppIcon(bool value);
  // Stored for the skinned form's window region.
  int RoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int value) { roundCorner_ = value; }
  int RoundCornerBottom() const { return roundCornerBottom_; }
  void SetRoundCornerBottom(int value) { roundCornerBottom_ = value; }
  const TkyrTitleBarButtonClickEvent& OnCustomBtnsClick() const { return onCustomBtnsClick_; }
  void SetOnCustomBtnsClick(TkyrTitleBarButtonClickEvent e) { onCustomBtnsClick_ = std::move(e); }
  const TkyrTitleBarButtonClickEvent& OnHelpBtnClick() const { return onHelpBtnClick_; }
  void SetOnHelpBtnClick(TkyrTitleBarButtonClickEvent e) { onHelpBtnClick_ = std::move(e); }

  // The bar has a parent that is a skinned form panel, or is owned by an MDI form (the frame
  // panel that is a plain component rather than a control).
  bool IsInSkinnedFrame() const;
  bool IsMDIFrameBar() const;
  // Exactly three sections: the frame painter continues the pictures into the frame only then.
  bool HasThreeSections() const { return sections_->Count() == 3; }
  // The bitmap of section 0, 1 or 2; nullptr when there is no such section or it holds no bitmap.
  TBitmap* LeftPicture() const { return SectionBitmap(0); }
  TBitmap* RightPicture() const { return SectionBitmap(1); }
  TBitmap* ClientPicture() const { return SectionBitmap(2); }
  // Every kyrMax button takes the maximise or restore look of the form's window state.
  void UpdateMaxButtons();
  // The parent form's answer to KYR_MSG_SIDE_BORDER_WIDTH; 0 without a form or its window.
  int SideBorderWidth() const;
  // The window menu (minimise, maximise/restore, close), owned by the bar.
  TkyrTitleBarPopupMenu* SystemMenu() const { return systemMenu_.Get(); }
  // The buttons and caption room of a bar WIDTH wide (the bar's own width by default).
  TkyrTitleBarLayout Layout() const { return Layout(ClientWidth()); }
  TkyrTitleBarLayout Layout(int width) const;

  // The left button went down on the bar and has not come up (not while the window moves).
  bool Pressed() const { return pressed_; }
  // The button under the pointer at the last paint, -1 for none: where the last mouse move or
  // press on the bar was, until the pointer leaves it.
  int HoverButton() const { return hoverButton_; }
  // The caption as the last paint drew it: its text (shortened) and top-left corner.
  struct TCaptionPlacement {
    std::string text;
    POINT at{0, 0};
  };
  const TCaptionPlacement& LastCaption() const { return lastCaption_; }

  // The height of the style's title-button strip (the caption is centred on it), and the y of
  // every button: the style's TitleBarButtonTopInt, 3 less inside a skinned frame, but not
  // above the bar's top (the frame continues the bar's pictures, not its buttons: a button
  // row above 0 would be lost, as DeepBlue's and Protein's 2 - 3 would lose one).
  int ButtonImageHeight() const { return buttonImageHeight_; }
  int ButtonTop() const { return std::max(0, buttonTop_ - (IsInSkinnedFrame() ? 3 : 0)); }

  void SetParent(TWinControl* parent) override;
  static void DeclarePublished(TPublished<TkyrTitleBar>& p);

  void WndProc(TMessage& m) override;

protected:
  void ApplyUIStyle(const TkyrStyleSource& source) override;
  // Sections, then buttons and caption, into the control's off-screen buffer.
  void Paint() override;
  void Resize() override;
  // Section 0 at the left end, 1 at the right end, 2 stretched between them; inside a skinned
  // frame moved up and left by the frame's width.
  virtual void PaintSections(TCanvas& buffer);
  // Buttons with their hover and pressed pictures, the control box or the application's icon,
  // and the caption.
  virtual void PaintButtons(TCanvas& buffer);
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;

private:
  void WMNCMouse(TMessage& m);
  void WMLButtonDblClk(TMessage& m);
  void CMMouseLeave(TMessage& m);
  // A press and release on button INDEX: its action, then the bar's events.
  void ButtonClicked(int index);
  TPicture* StatePicture(const TkyrTitleBarButton& button, bool hovered) const;
  void PointerAt(int x, int y);
  void PaintCaption(TCanvas& buffer, const TkyrTitleBarLayout& layout);
  // The application's icon at 16 x 16: one copy, made again only when the icon changes.
  HICON AppIcon();
  TBitmap* SectionBitmap(int index) const;
  void FillFromStyle(const TkyrStyleSource& source);
  void ApplyFontColour(const TkyrStyleSource& source);

  bool custom_ = false;
  bool autoSize_ = false;
  int buttonInterval_ = 0;
  bool formActive_ = true;
  int leftBtnXOffset_ = 0;
  int rightBtnXOffset_ = 0;
  int roundCorner_ = 0;
  int roundCornerBottom_ = 0;
  bool drawAppIcon_ = false;
  bool keepFontColor_ = false;
  int buttonImageHeight_ = 0;
  int buttonTop_ = 0;  // the style's value; ButtonTop() takes the frame off
  bool pressed_ = false;
  int pressedButton_ = -1;  // the button the press began on, -1 for none
  int hoverButton_ = -1;
  POINT pointer_{0, 0};       // the last mouse move or press, in client coordinates
  bool pointerOver_ = false;  // until the pointer leaves the bar
  POINT doubleClickAt_{-1, -1};
  TCaptionPlacement lastCaption_;
  TIconHandle appIcon_;
  HICON appIconSource_ = nullptr;  // the application icon appIcon_ was copied from
  bool appIconMade_ = false;
  std::unique_ptr<TkyrTitleBarSections> sections_;
  std::unique_ptr<TkyrTitleBarButtons> buttons_;
  TComponentRef<TkyrTitleBarPopupMenu> systemMenu_{this};
  TkyrTitleBarButtonClickEvent onCustomBtnsClick_, onHelpBtnClick_;
};

// The bar's window menu: "Mi&nimize", "Ma&ximize/Restore", a separator and "&Close" (texts from
// the skin's string table), skinned like any TkyrPopupMenu. Each item is enabled only while the
// bar shows a visible button of that kind.
class TkyrTitleBarPopupMenu : public TkyrPopupMenu {
  VANTOR_CLASS(TkyrTitleBarPopupMenu, TkyrPopupMenu)
public:
  // OWNER is the title bar the menu belongs to (any other owner: a menu of no bar).
  explicit TkyrTitleBarPopupMenu(TComponent* owner);
  TkyrTitleBar* TitleBar() const { return titleBar_; }
  // Enables the items by the bar's visible buttons, then shows the menu (176 pixels further
  // right in right-to-left reading).
  void Popup(int x, int y) override;
  // The items, in menu order (the separator is item 2).
  TMenuItem* MinimizeItem() const { return Items()->Items(0); }
  TMenuItem* MaximizeItem() const { return Items()->Items(1); }
  TMenuItem* CloseItem() const { return Items()->Items(3); }

private:
  bool HasVisible(TkyrTitleBarBtnType type) const;
  void Minimize();
  void MaximizeOrRestore();
  void Close();

  TkyrTitleBar* titleBar_;
};
