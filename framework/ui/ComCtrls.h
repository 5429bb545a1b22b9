// ComCtrls: the framework's own tool bar. TToolBar is a double-buffered TCustomControl that
// lays out and draws its TToolButtons, windowless controls kept in the bar's order: a button put
// on a bar (SetParent) comes last, SetIndex(0) puts it before the others.
//
// Layout: buttons flow left to right inside the edge borders, each row starting Indent pixels
// in, ButtonWidth x ButtonHeight each (an AutoSize button on a bar with ShowCaptions is as wide
// as its caption plus margins; a separator or divider is kSeparatorWidth wide); with Wrapable a
// button that does not fit starts a new row, as does the button after one with Wrap; AutoSize
// makes the bar as high as its rows. With Images the buttons grow to fit them (ButtonWidth and
// ButtonHeight are then the least size): the image 3 pixels from the top, centred, and with
// ShowCaptions the caption under it, or with List the image 5 pixels from the left and the
// caption right of it (the geometry a skinned bar's hot look uses too, so nothing moves when the
// pointer comes). Every button of a bar is as high as the highest needs (LaidOutHeight).
//
// Drawing: the buffer starts in Color, or with Transparent in the parent's Color (what shows
// through when nothing draws the parent's picture); OnCustomDraw(Rect) may draw over it and,
// with DefaultDraw false, keeps the bar from drawing its edges and default button faces. Each
// button is then offered to OnCustomDrawButton with its TCustomDrawState (the Win32 CDIS_*
// values); with DefaultDraw left true the bar draws it: its face, its image from Images (the hot
// button's from HotImages when that list holds the index; greyed when the button is disabled; an
// index the list lacks draws none) and its caption. Handlers draw on Canvas() (the off-screen
// buffer) in bar coordinates, at Button->BoundsRect().
//
// Buttons: a click on a tbsCheck button toggles Down; adjacent Grouped check buttons form a
// group of which at most one is Down (clicking the down one leaves it down unless it has
// AllowAllUp). A press on the right kDropDownWidth pixels of a tbsDropDown button with a
// DropdownMenu opens that menu at the button's bottom-left (the button selected, its arrow part
// drawn pushed, while it is open); its main part, or a drop-down button without a menu, clicks.
// Separators and dividers are never hot or pressed and never click. A press that opened a
// drop-down never clicks.
//
// Menu mode: a button bound to a menu item (MenuItem) with sub-items drops the item's sub-menu
// down when pressed, through the system's menu loop (TrackPopupMenuEx, owned by the bar's
// window, so owner-drawn items reach DeliverMenuMessage and WM_MENUCHAR is answered). While a
// drop-down is open, the pointer crossing to another menu button, or Left/Right outside a
// cascaded sub-menu, closes it and opens the neighbour's. Keyboard mode (F10, Alt alone:
// CM_KEYMENU with 0) makes the first button hot: Left/Right move, Down/Return open, Escape
// leaves; Escape in an open drop-down comes back to keyboard mode on its button. CM_KEYMENU
// with a letter opens the button whose caption has it as accelerator. The chosen command runs
// (the item's Click, through its menu's DispatchCommand) after the loop has ended and the bar
// has left menu mode; nothing of the bar is used after that, so a handler may free the bar, its
// form, or rebuild the buttons. A form routes the keys to the bar it names as its menu bar
// (TCustomForm::SetMenuBarControl, which sends it CM_KEYMENU).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/Classes.h"
#include "framework/graphics/ImgList.h"
#include "framework/ui/Controls.h"

class TMenuItem;
class TPopupMenu;
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
inline const TEnumInfo ToolButtonStyleInfo("TToolButtonStyle",
                                           {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"});
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;
inline const TEnumInfo EdgeBorderInfo("TEdgeBorder", {"ebLeft", "ebTop", "ebRight", "ebBottom"});
enum TEdgeStyle { esNone, esRaised, esLowered };
inline const TEnumInfo EdgeStyleInfo("TEdgeStyle", {"esNone", "esRaised", "esLowered"});

// A button's custom-draw state: the Win32 custom-draw item-state bits (CDIS_*).
using TCustomDrawState = UINT;
inline constexpr TCustomDrawState cdsSelected = 0x1, cdsGrayed = 0x2, cdsDisabled = 0x4, cdsChecked = 0x8,
                                  cdsFocused = 0x10, cdsDefault = 0x20, cdsHot = 0x40, cdsMarked = 0x80,
                                  cdsIndeterminate = 0x100;

class TToolButton;
using TTBCustomDrawEvent = std::function<void(TObject* sender, const RECT& rect, bool& defaultDraw)>;
using TTBCustomDrawBtnEvent =
    std::function<void(TObject* sender, TToolButton* button, TCustomDrawState state, bool& defaultDraw)>;

class TToolButton : public TGraphicControl {
  VANTOR_CLASS(TToolButton, TGraphicControl)
public:
  explicit TToolButton(TComponent* owner);
  ~TToolButton() override;

  void SetParent(TWinControl* parent) override;
  void SetText(const std::string& value) override;
  // The bar this button is on, or nullptr.
  TToolBar* ToolBar() const;
  // The position on the bar (-1 when on none); setting it moves the button there.
  int Index() const;
  void SetIndex(int value);

  // A tbsCheck button in a group of adjacent Grouped check buttons: at most one of them is Down.
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value) { grouped_ = value; }
  // A grouped check button may be clicked up, leaving none of its group down.
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value) { allowAllUp_ = value; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle value);
  bool Down() const { return down_; }
  void SetDown(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool Marked() const { return marked_; }
  void SetMarked(bool value);
  bool Indeterminate() const { return indeterminate_; }
  void SetIndeterminate(bool value);
  // The next button starts a new row.
  bool Wrap() const { return wrap_; }
  void SetWrap(bool value);
  // Binding takes the item's caption and enabled state; a press opens its sub-items, or clicks it.
  TMenuItem* MenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* value);
  // Takes the bound item's caption and enabled state again (after the item changed).
  void UpdateFromMenuItem();
  // The menu a tbsDropDown button's arrow part opens, at the button's bottom-left.
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* value) { dropdownMenu_ = value; }
  // Pressed with the pointer over it: drawn pushed in.
  bool Pressed() const { return pressed_ && pointerInside_; }
  // A separator or divider: room between buttons, inert.
  bool IsSpacer() const { return style_ == tbsSeparator || style_ == tbsDivider; }

  void Click() override;
  void WndProc(TMessage& m) override;
  static void DeclarePublished(TPublished<TToolButton>& p);

protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void ApplyVisible() override;
  void ApplyEnabled() override;

private:
  void CMMouseEnterLeave(TMessage& m);
  void WMLButtonUp(TMessage& m);
  void BarLayoutChanged();
  void SetPressedLook(bool pressed, bool inside);
  // Whether a left press at X (button coordinates) opens a drop-down rather than pressing.
  bool PressDropsDown(int x) const;
  void ToggleDown();

  bool grouped_ = false;
  bool autoSize_ = false;
  TToolButtonStyle style_ = tbsButton;
  bool down_ = false;
  int imageIndex_ = -1;
  bool marked_ = false;
  bool indeterminate_ = false;
  bool wrap_ = false;
  bool allowAllUp_ = false;
  bool pressed_ = false;
  bool pointerInside_ = false;
  bool droppedOnPress_ = false;  // the press opened a drop-down: its release is no click
  TComponentRef<TMenuItem> menuItem_{this};
  TComponentRef<TPopupMenu> dropdownMenu_{this};
};

class TToolBar : public TCustomControl {
  VANTOR_CLASS(TToolBar, TCustomControl)
public:
  static constexpr int kSeparatorWidth = 8;
  static constexpr int kCaptionMargin = 7;  // each side of an auto-sized button's caption
  static constexpr int kDropDownWidth = 14;  // the arrow part of a tbsDropDown button
  // Places inside a button with images, shared with the hot look a skinned bar draws so that
  // nothing moves when the pointer comes.
  static constexpr int kImageTop = 3;        // the image's top, and the room under the row's content
  static constexpr int kListImageLeft = 5;   // the image's left in List mode
  static constexpr int kListCaptionGap = 7;  // from the image's left edge plus its width to the caption

  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TToolButton* Buttons(int index) const { return buttons_.at(static_cast<size_t>(index)); }
  int IndexOfButton(const TToolButton* button) const;

  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int value);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool value);
  TEdgeBorders EdgeBorders() const { return edgeBorders_; }
  void SetEdgeBorders(TEdgeBorders value);
  TEdgeStyle EdgeInner() const { return edgeInner_; }
  void SetEdgeInner(TEdgeStyle value);
  TEdgeStyle EdgeOuter() const { return edgeOuter_; }
  void SetEdgeOuter(TEdgeStyle value);
  // The buttons' images (ImageIndex) and, for the button under the pointer, HotImages.
  TImageList* Images() const { return images_.Images(); }
  void SetImages(TImageList* value) { images_.SetImages(value); }
  TImageList* HotImages() const { return hotImages_.Images(); }
  void SetHotImages(TImageList* value) { hotImages_.SetImages(value); }
  // Captions right of the images instead of below them.
  bool List() const { return list_; }
  void SetList(bool value);
  // The bar does not fill its background: what OnCustomDraw draws (the parent's) shows through.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // Pixels left free before the first button of each row.
  int Indent() const { return indent_; }
  void SetIndent(int value);

  // The area inside the edge borders, where the buttons are laid out.
  RECT ButtonArea() const;
  // Lays the buttons out again (done by every change that moves them).
  void ArrangeButtons();
  // The width a button takes in the layout.
  int LaidOutWidth(const TToolButton* button) const;
  // The height of every button: ButtonHeight, grown to fit the images and their captions.
  int LaidOutHeight() const;
  // Whether X (BUTTON's coordinates) is on the arrow part of a tbsDropDown button.
  bool IsArrowPart(const TToolButton* button, int x) const;
  // The visible button at POINT (bar coordinates), or nullptr.
  TToolButton* ButtonAtPos(POINT point) const;
  // The state handed to OnCustomDrawButton for BUTTON now.
  TCustomDrawState ButtonState(const TToolButton* button) const;
  // The list BUTTON's image comes from in STATE: HotImages for a hot button when it holds the
  // image, else Images (nullptr when there is none).
  TImageList* ImagesFor(const TToolButton* button, TCustomDrawState state) const;

  // Menu mode: opens BUTTON's drop-down (or clicks its item when it has no sub-items). Returns
  // once menu mode has ended and the chosen command ran.
  void DropDownButton(TToolButton* button);
  // Opens BUTTON's DropdownMenu at its bottom-left, the button selected while the menu is open.
  // Returns once the menu has closed and the chosen item ran (its handler may free the bar).
  void OpenDropdownMenu(TToolButton* button);
  // Keyboard mode on BUTTON (the first menu button when nullptr).
  void EnterKeyboardMode(TToolButton* button = nullptr);
  // The button whose drop-down is open now, or nullptr.
  TToolButton* DroppedButton() const;
  // The button keyboard mode has selected, or nullptr.
  TToolButton* KeyboardButton() const;
  bool InMenuMode() const { return inMenuMode_; }

  const TTBCustomDrawEvent& OnCustomDraw() const { return onCustomDraw_; }
  void SetOnCustomDraw(TTBCustomDrawEvent e) { onCustomDraw_ = std::move(e); }
  const TTBCustomDrawBtnEvent& OnCustomDrawButton() const { return onCustomDrawButton_; }
  void SetOnCustomDrawButton(TTBCustomDrawBtnEvent e) { onCustomDrawButton_ = std::move(e); }

  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(TMessage& m) override;
  static void DeclarePublished(TPublished<TToolBar>& p);

protected:
  friend class TToolButton;
  void Paint() override;
  void Loaded() override;
  // Default drawing of the edges and of one button (after the custom-draw events allowed it).
  virtual void DrawEdges();
  virtual void DrawButton(TToolButton* button, TCustomDrawState state);
  void InsertButton(TToolButton* button);
  void RemoveButton(TToolButton* button);
  void MoveButton(TToolButton* button, int index);

private:
  struct TDropResult {
    UINT command = 0;  // chosen in the drop-down
    int from = -1;     // the button it belonged to
    int next = -1;     // the button whose drop-down opens next
    bool escaped = false;
  };
  void DrawFaceEdge(RECT r, bool pushed, bool raised);
  void DrawImageAndCaption(TToolButton* button, TCustomDrawState state, const RECT& face);
  void DrawPlainCaption(TToolButton* button, TCustomDrawState state, RECT face);
  SIZE CaptionExtent(const std::string& caption) const;
  // The other buttons of BUTTON's group go up.
  void PutGroupUp(const TToolButton* button);
  void CMKeyMenu(TMessage& m);
  void CMFontChanged(TMessage& m);
  void WMMenuChar(TMessage& m);
  void WMMenuSelect(TMessage& m);
  void WMSize(TMessage& m);
  bool CanDropDown(const TToolButton* button) const;
  int NextMenuButton(int from, int step) const;
  TToolButton* ButtonWithAccelerator(char key) const;
  void RunMenuMode(int index, bool open);
  TDropResult TrackDropDown(int index);
  int KeyboardStep(int index, bool& open);
  void SetHotIndex(int dropped, int keyboard);
  static LRESULT CALLBACK MenuFilter(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK MenuLoopEnd(int code, WPARAM wParam, LPARAM lParam);
  bool FilterMenuMessage(const MSG& msg);

  std::vector<TToolButton*> buttons_;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  bool flat_ = false;
  bool showCaptions_ = false;
  bool autoSize_ = false;
  bool wrapable_ = true;
  bool arranging_ = false;
  TEdgeBorders edgeBorders_{ebTop};
  TEdgeStyle edgeInner_ = esRaised;
  TEdgeStyle edgeOuter_ = esLowered;
  bool list_ = false;
  bool transparent_ = false;
  int indent_ = 0;
  TImageListLink images_{[this](TObject*) { ArrangeButtons(); }};
  TImageListLink hotImages_{[this](TObject*) { Invalidate(); }};
  // Menu mode.
  bool inMenuMode_ = false;
  int droppedIndex_ = -1;
  int keyboardIndex_ = -1;
  int switchTo_ = -1;           // set inside the loop: open this button's drop-down next
  bool escaped_ = false;        // the drop-down closed with Escape at its top level
  HMENU openMenu_ = nullptr;    // the top level of the open drop-down
  bool inCascade_ = false;      // the selection is inside a cascaded sub-menu
  bool onCascadeItem_ = false;  // the selected item opens a cascaded sub-menu
  TTBCustomDrawEvent onCustomDraw_;
  TTBCustomDrawBtnEvent onCustomDrawButton_;
};
