// Menus: a tree of TMenuItem under a TMenu (TMainMenu for a form's menu bar, TPopupMenu for
// TrackPopupMenu). The HMENU is built from the tree (in an owned TMenuHandle) and rebuilt when
// the tree changes. A command from the menu reaches its item's Click through the command id.
//
// Owner draw: with TMenu::OwnerDraw set, or whenever the menu has Images, every item is
// MFT_OWNERDRAW; the owner window's WM_MEASUREITEM / WM_DRAWITEM are delivered per item to
// MeasureItem / DrawItem (virtual, events OnMeasureItem / OnDrawItem) with a canvas, the item's
// rectangle and its selected state. Both canvases start with the same font, the system's menu
// font (bold for the menu's Default item), so an item is measured as it is drawn.
//
// A popup menu is tracked with the window of the control it was opened for (or the active
// form) as its owner, so that window stays active while the menu is open: a skinned title bar
// keeps its active look.
//
// AutoHotkeys maAutomatic gives every item without an '&' the first letter or digit of its
// caption that no sibling uses yet as its accelerator; the captions themselves are not changed
// (ShownCaption is what the menu shows). The default is maManual, so a description that does
// not store the property shows its captions as written.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/Classes.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImgList.h"
#include "framework/ui/Controls.h"

// Key plus modifiers, as menus store them: the virtual key in the low byte.
using TShortCut = WORD;
inline constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+S", "Shift+F5", "Alt+Del"; empty for scNone or an unnamed key.
std::string ShortCutToText(TShortCut shortCut);
// The inverse of ShortCutToText (case-insensitive); scNone when the text is not a short-cut.
TShortCut TextToShortCut(const std::string& text);

class TMenu;
class TMenuItem;

enum TMenuAutoFlag { maAutomatic, maManual, maParent };
inline const TEnumInfo MenuAutoFlagInfo("TMenuAutoFlag", {"maAutomatic", "maManual", "maParent"});
// CAPTIONS of sibling items with automatic accelerators (see the top of this header); "-" and
// captions that already have an '&' stay as they are.
std::vector<std::string> AutomaticHotkeys(const std::vector<std::string>& captions);
// The accelerator of CAPTION in upper case (the letter after an '&'; "&&" is a plain '&'), or 0.
char CaptionAccelerator(const std::string& caption);
// CAPTION as shown without its accelerator marks ("&&" stays one '&').
std::string StripAccelerators(const std::string& caption);
// The system's menu font (NONCLIENTMETRICS.lfMenuFont).
LOGFONTA MenuFont();

// A change of a menu's items: SOURCE the item that changed (for additions and removals, the item
// whose sub-items changed; nullptr when unknown); REBUILD true when the top-level list changed
// (items added, removed or moved under the root), false when only an item's properties or a
// deeper level changed.
using TMenuChangeEvent = std::function<void(TObject* sender, TMenuItem* source, bool rebuild)>;
using TMenuMeasureItemEvent = std::function<void(TObject* sender, TCanvas& canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TObject* sender, TCanvas& canvas, const RECT& rect, bool selected)>;

class TMenuItem : public TComponent {
  VANTOR_CLASS(TMenuItem, TComponent)
public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // The item Return or a double click would choose: drawn bold (MFS_DEFAULT).
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // The caption as the menu shows it: with the automatic accelerator when AutoHotkeys adds one.
  const std::string& ShownCaption() const { return shownCaption_.empty() ? caption_ : shownCaption_; }
  // A separator: the caption "-".
  bool IsLine() const { return caption_ == "-"; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  // Adds ITEM (removing it from its previous parent) at the end or at INDEX.
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  // Deletes (frees) every sub-item.
  void Clear();
  // The menu this item belongs to, or nullptr.
  TMenu* GetParentMenu() const;
  // The command id of WM_COMMAND for this item.
  UINT Command() const { return command_; }
  // The text shown by a standard menu: caption, then a tab and the short-cut text.
  std::string DisplayText() const;
  // The handle of this item's sub-menu inside its menu's built handle (built now if needed):
  // nullptr when the item has no visible sub-items or belongs to no menu. Valid until the menu
  // changes.
  HMENU SubMenuHandle() const;
  // The upper-case accelerator letter of the shown caption ('&' before it), or 0.
  char Accelerator() const;

  virtual void Click();
  // Owner-draw requests (the defaults call the events, else measure/draw the caption).
  virtual void MeasureItem(TCanvas& canvas, int& width, int& height);
  virtual void DrawItem(TCanvas& canvas, const RECT& rect, bool selected);

  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent e) { onClick_ = std::move(e); }
  const TMenuMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
  void SetOnMeasureItem(TMenuMeasureItemEvent e) { onMeasureItem_ = std::move(e); }
  const TMenuDrawItemEvent& OnDrawItem() const { return onDrawItem_; }
  void SetOnDrawItem(TMenuDrawItemEvent e) { onDrawItem_ = std::move(e); }

  // A nested item of a stored description joins the enclosing item or menu.
  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override;
  static void DeclarePublished(TPublished<TMenuItem>& p);

  // The live item with this command id, or nullptr; IsLiveItem checks a pointer from itemData.
  static TMenuItem* FindByCommand(UINT command);
  static bool IsLiveItem(const void* item);

private:
  friend class TMenu;
  // SUB_ITEMS: this item's list of sub-items changed (else one of its properties).
  void Changed(bool subItems = false);
  void AppendTo(HMENU menu, bool ownerDraw) const;
  void UpdateHotkeys(bool automatic);

  std::string caption_;
  bool enabled_ = true;
  bool checked_ = false;
  bool radioItem_ = false;
  bool visible_ = true;
  bool default_ = false;
  TShortCut shortCut_ = scNone;
  int imageIndex_ = -1;
  std::string shownCaption_;  // empty: the caption
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item only
  std::vector<TMenuItem*> items_;
  UINT command_;
  TNotifyEvent onClick_;
  TMenuMeasureItemEvent onMeasureItem_;
  TMenuDrawItemEvent onDrawItem_;
};

class TMenu : public TComponent {
  VANTOR_CLASS(TMenu, TComponent)
public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item: its sub-items are the menu's entries.
  TMenuItem* Items() const { return items_; }
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  // The images items show by ImageIndex (not owned; cleared when the list goes).
  TImageList* Images() const { return images_.Images(); }
  void SetImages(TImageList* value) { images_.SetImages(value); }
  TMenuAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuAutoFlag value);
  // Stored for owner-drawing menus; the owner form's while ParentBiDiMode is on.
  TBiDiMode BiDiMode() const;
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value) { parentBiDiMode_ = value; }
  // The menu handle, built from the items on first use and after changes.
  HMENU Handle();
  // Clicks the enabled, visible item with this short-cut. True when one was found.
  bool IsShortCut(WORD key, TShiftState shift);
  // Runs the click of the item with COMMAND when it belongs to this menu.
  bool DispatchCommand(UINT command);
  // Called after any change of the item tree (the default marks the handle for rebuilding and
  // fires OnChange); SOURCE and REBUILD as for TMenuChangeEvent.
  virtual void MenuChanged(TMenuItem* source, bool rebuild);

  const TMenuChangeEvent& OnChange() const { return onChange_; }
  void SetOnChange(TMenuChangeEvent e) { onChange_ = std::move(e); }
  static void DeclarePublished(TPublished<TMenu>& p);

protected:
  virtual HMENU CreateMenuHandle() const = 0;
  bool HandleAllocated() const { return static_cast<bool>(handle_); }
  // The next Handle() builds a new menu: Windows measures an owner-drawn item once per menu
  // handle, so a new look needs a new handle.
  void RecreateHandle() { dirty_ = true; }

private:
  void Rebuild();
  TMenuItem* items_;
  bool ownerDraw_ = false;
  TImageListLink images_{[this](TObject*) { MenuChanged(nullptr, false); }};
  TMenuAutoFlag autoHotkeys_ = maManual;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  bool dirty_ = true;
  TMenuHandle handle_;
  TMenuChangeEvent onChange_;
};

class TMainMenu : public TMenu {
  VANTOR_CLASS(TMainMenu, TMenu)
public:
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
  // The form window showing this menu (set by TCustomForm::SetMenu).
  void SetWindow(HWND window) { window_ = window; }
  HWND Window() const { return window_; }
  void MenuChanged(TMenuItem* source, bool rebuild) override;

protected:
  HMENU CreateMenuHandle() const override { return CreateMenu(); }

private:
  HWND window_ = nullptr;
};

class TPopupMenu : public TMenu {
  VANTOR_CLASS(TPopupMenu, TMenu)
public:
  explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
  // Shows the menu at screen point (X, Y) with TrackPopupMenu and runs the chosen item.
  virtual void Popup(int x, int y);
  // The control that asked for the menu (right click), or nullptr.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* value) { popupComponent_ = value; }
  const TNotifyEvent& OnPopup() const { return onPopup_; }
  void SetOnPopup(TNotifyEvent e) { onPopup_ = std::move(e); }
  // The window a menu opened now is tracked with: PopupComponent's form, else the active form,
  // else a hidden window of the framework.
  HWND PopupOwner() const;
  static void DeclarePublished(TPublished<TPopupMenu>& p);

protected:
  HMENU CreateMenuHandle() const override { return CreatePopupMenu(); }

private:
  TComponentRef<TComponent> popupComponent_{this};
  TNotifyEvent onPopup_;
};

// Menu plumbing for any owner window: WM_MEASUREITEM / WM_DRAWITEM with ODT_MENU reach the
// item's MeasureItem / DrawItem, a menu WM_COMMAND its Click; WM_MENUCHAR for a letter the
// menu did not match itself (owner-drawn items carry no text) chooses the enabled item whose
// caption has that accelerator (MNC_EXECUTE). False when M is not for an item.
bool DeliverMenuMessage(TMessage& m);
