// The skinned menus' items: every item of a skinned menu's tree, at every level and also items
// added later, is measured and drawn by the menu: a coloured side bar (the icon column), item and
// selection colours of the UIStyle, the MacOS bitmap strips, check marks from the check-mark list
// all skinned menus share, icons from the menu's images, and an optional flat frame round the
// menu window. TkyrSkinnedMenu holds that look and the one measure/draw pair; the popup menu
// (here) and the main menu (KYRMainMenu.h) are both made of it.
//
//   auto* menu = new TkyrPopupMenu(form);     // the owner form's style, owner-drawn
//   menu->SetUIStyle(WinXP);                  // colours apply the next time the menu opens
//
// A style change re-reads the heights, the bar width, the separator colour and the six style
// colours; values assigned to those fields afterwards stay until the style is set again (a stored
// description sets UIStyle first, then its own colours). MenuItemHeight and SeparatorHeight
// cannot be changed while the style is MacOS, whose strips have fixed heights.
#pragma once

#include <set>
#include <string>

#include "framework/ui/Menus.h"
#include "skin/KYRStyled.h"

// A counted reference to the check-mark image list every skinned menu shares: one 16 x 16 image,
// the built-in bitmap "MENU_CHECKED" keyed on white. The first reference makes the list, the
// last one frees it.
class TkyrCheckMarks {
public:
  TkyrCheckMarks();
  ~TkyrCheckMarks();
  TkyrCheckMarks(const TkyrCheckMarks&) = delete;
  TkyrCheckMarks& operator=(const TkyrCheckMarks&) = delete;
  TImageList& Images() const;
  // Live references (the list exists while this is above 0).
  static int References();
};

// The look and the item routines of a skinned menu over the framework menu MENU (TPopupMenu or
// TMainMenu). Defined for those two in KYRPopupMenu.cpp.
template <class Menu>
class TkyrSkinnedMenu : public TkyrStyled<Menu> {
  VANTOR_CLASS(TkyrSkinnedMenu, TkyrStyled<Menu>)
public:
  explicit TkyrSkinnedMenu(TComponent* owner);

  int MenuItemHeight() const { return menuItemHeight_; }
  void SetMenuItemHeight(int value);
  int SeparatorHeight() const { return separatorHeight_; }
  void SetSeparatorHeight(int value);
  // 0 or less: no side bar.
  int BarWidth() const { return barWidth_; }
  void SetBarWidth(int value) { barWidth_ = value; }
  TColor BarColor() const { return barColor_; }
  void SetBarColor(TColor value) { barColor_ = value; }
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  TColor SeparatorColor() const { return separatorColor_; }
  void SetSeparatorColor(TColor value) { separatorColor_ = value; }
  TColor SelectedBorderColor() const { return selectedBorderColor_; }
  void SetSelectedBorderColor(TColor value) { selectedBorderColor_ = value; }
  // Also the box behind a checked item's icon.
  TColor SelectedColor() const { return selectedColor_; }
  void SetSelectedColor(TColor value) { selectedColor_ = value; }
  TColor SelectedFontColor() const { return selectedFontColor_; }
  void SetSelectedFontColor(TColor value) { selectedFontColor_ = value; }
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value) { fontColor_ = value; }
  // Stored only: the drawing does not use it.
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value) { borderColor_ = value; }
  // A flat frame round the menu window, drawn on the screen with every item.
  bool FlatMenu() const { return flatMenu_; }
  void SetFlatMenu(bool value) { flatMenu_ = value; }
  // The item font while UseSystemFont is false; FontChanged tells the menu's user.
  const std::string& FontName() const { return fontName_; }
  void SetFontName(const std::string& value);
  int FontSize() const { return fontSize_; }
  void SetFontSize(int value);
  TFontCharset FontCharset() const { return fontCharset_; }
  void SetFontCharset(TFontCharset value);
  bool UseSystemFont() const { return useSystemFont_; }
  void SetUseSystemFont(bool value);
  // The system menu font or FontName/FontSize/FontCharset (what items and a menu bar show).
  void GetItemFont(TFont& font) const;

  // The routines every item of the tree gets as its OnMeasureItem / OnDrawItem. An item is
  // measured in the font it is drawn with (the system menu font or the menu's own).
  void MeasureMenuItem(TObject* sender, TCanvas& canvas, int& width, int& height);
  void DrawMenuItem(TObject* sender, TCanvas& canvas, const RECT& rect, bool selected);

  // The published look after OwnerDraw, in order: FileTheme, UIStyle ... UseSystemFont.
  template <class T>
  static void DeclareLook(TPublished<T>& p);

protected:
  void ApplyUIStyle(const TkyrStyleSource& source) override;
  void Loaded() override;
  // Puts the routines on every item of the tree and takes them back from items that left it.
  void InstallDrawHandlers();
  // The images items show their icons from (the popup's Images; the main menu's own list).
  virtual TImageList* IconImages() const { return this->Images(); }
  // A font field changed.
  virtual void FontChanged() {}
  const TkyrCheckMarks& CheckMarks() const { return checkMarks_; }

private:
  void FontSettingChanged();
  bool RightToLeft() const;
  // The item's icon index when it names an image of IconImages, else -1.
  int IconIndex(const TMenuItem& item) const;
  void DrawFlatFrame(TCanvas& canvas) const;
  void DrawPlainBackground(TCanvas& canvas, const RECT& rect, bool rightToLeft) const;
  void DrawSeparator(TCanvas& canvas, const RECT& rect, bool rightToLeft) const;
  void DrawBackground(const TMenuItem& item, TCanvas& canvas, const RECT& rect, bool selected,
                      bool rightToLeft) const;
  // GetItemFont, bold for the menu's default item.
  void SelectFont(const TMenuItem& item, TFont& font) const;
  void PrepareFont(const TMenuItem& item, TCanvas& canvas, bool selected) const;
  void DrawTexts(const TMenuItem& item, TCanvas& canvas, const RECT& rect, bool rightToLeft) const;
  void DrawGlyph(const TMenuItem& item, TCanvas& canvas, const RECT& rect, bool rightToLeft) const;

  TkyrCheckMarks checkMarks_;
  // The items that carry this menu's routines; an item that leaves the tree gets them taken back.
  std::set<TMenuItem*> handled_;
  int menuItemHeight_ = 21;
  int separatorHeight_ = 21;
  int barWidth_ = 0;
  TColor barColor_ = clBtnFace;
  TColor color_ = clWhite;
  TColor separatorColor_ = 0x808080;
  TColor selectedBorderColor_ = clHighlight;
  TColor selectedColor_ = clHighlight;
  TColor selectedFontColor_ = clWhite;
  TColor fontColor_ = clWhite;
  TColor borderColor_ = 0;
  bool flatMenu_ = false;
  std::string fontName_ = "MS Sans Serif";
  int fontSize_ = 8;
  TFontCharset fontCharset_ = DEFAULT_CHARSET;
  bool useSystemFont_ = true;
};

template <class Menu>
template <class T>
void TkyrSkinnedMenu<Menu>::DeclareLook(TPublished<T>& p) {
  using M = TkyrSkinnedMenu<Menu>;
  p.Component("FileTheme", &M::FileTheme, &M::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &M::UIStyle, &M::SetUIStyle);
  p.Integer("MenuItemHeight", &M::MenuItemHeight, &M::SetMenuItemHeight);
  p.Integer("SeparatorHeight", &M::SeparatorHeight, &M::SetSeparatorHeight);
  p.Integer("BarWidth", &M::BarWidth, &M::SetBarWidth);
  p.Color("BarColor", &M::BarColor, &M::SetBarColor);
  p.Color("Color", &M::Color, &M::SetColor);
  p.Color("SeparatorColor", &M::SeparatorColor, &M::SetSeparatorColor);
  p.Color("SelectedBorderColor", &M::SelectedBorderColor, &M::SetSelectedBorderColor);
  p.Color("SelectedColor", &M::SelectedColor, &M::SetSelectedColor);
  p.Color("SelectedFontColor", &M::SelectedFontColor, &M::SetSelectedFontColor);
  p.Color("FontColor", &M::FontColor, &M::SetFontColor);
  p.Color("BorderColor", &M::BorderColor, &M::SetBorderColor);
  p.Boolean("FlatMenu", &M::FlatMenu, &M::SetFlatMenu);
  p.String("FontName", &M::FontName, &M::SetFontName);
  p.Integer("FontSize", &M::FontSize, &M::SetFontSize);
  p.Integer("FontCharset", &M::FontCharset, &M::SetFontCharset, "TFontCharset");
  p.Boolean("UseSystemFont", &M::UseSystemFont, &M::SetUseSystemFont);
}

class TkyrPopupMenu : public TkyrSkinnedMenu<TPopupMenu> {
  VANTOR_CLASS(TkyrPopupMenu, TkyrSkinnedMenu<TPopupMenu>)
public:
  explicit TkyrPopupMenu(TComponent* owner);
  ~TkyrPopupMenu() override;

  // Always true; writes are ignored. Turning the framework's flag off through TMenu is undone too.
  bool OwnerDraw() const { return true; }
  void SetOwnerDraw(bool) {}

  // Also puts the routines on every item of the changed tree.
  void MenuChanged(TMenuItem* source, bool rebuild) override;
  static void DeclarePublished(TPublished<TkyrPopupMenu>& p);
};
