#include "skin/controls/KYRPopupMenu.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "skin/KYRMenu.h"

// ---- the shared check marks ----
namespace {

struct TCheckMarkList {
  int references = 0;
  std::unique_ptr<TImageList> list;
};

TCheckMarkList& CheckMarkList() {
  static TCheckMarkList shared;
  return shared;
}

// A program without the skin bitmaps gets an empty list: items then show no check mark.
std::unique_ptr<TImageList> MakeCheckMarkList() {
  auto list = std::make_unique<TImageList>(16, 16);
  TBitmap mark;
  try {
    mark.LoadFromResourceName(GetModuleHandleA(nullptr), "MENU_CHECKED");
  } catch (const EInvalidGraphic&) {
    return list;
  }
  list->AddMasked(mark, clWhite);
  return list;
}

}  // namespace

TkyrCheckMarks::TkyrCheckMarks() {
  TCheckMarkList& shared = CheckMarkList();
  if (shared.references++ == 0) shared.list = MakeCheckMarkList();
}

TkyrCheckMarks::~TkyrCheckMarks() {
  TCheckMarkList& shared = CheckMarkList();
  if (--shared.references == 0) shared.list.reset();
}

TImageList& TkyrCheckMarks::Images() const { return *CheckMarkList().list; }

int TkyrCheckMarks::References() { return CheckMarkList().references; }

// ---- TkyrPopupMenu ----
TkyrPopupMenu::TkyrPopupMenu(TComponent* owner) : TkyrStyled(owner) {
  TMenu::SetOwnerDraw(true);
  InitUIStyle();
}

// Items that left the tree earlier were given back their own drawing; the rest go with the menu.
TkyrPopupMenu::~TkyrPopupMenu() = default;

void TkyrPopupMenu::SetMenuItemHeight(int value) {
  if (UIStyle() != MacOS) menuItemHeight_ = value;
}

void TkyrPopupMenu::SetSeparatorHeight(int value) {
  if (UIStyle() != MacOS) separatorHeight_ = value;
}

void TkyrPopupMenu::ApplyUIStyle(const TkyrStyleSource& source) {
  const bool mac = UIStyle() == MacOS;
  barWidth_ = 26;
  menuItemHeight_ = mac ? 20 : 21;
  separatorHeight_ = mac ? 12 : 5;
  separatorColor_ = mac ? 0 : 0x848284;
  barColor_ = source.Color(KYR_THEME_MENU_BAR_COLOR);
  color_ = source.Color(KYR_THEME_MENU_BACKGROUND_COLOR);
  fontColor_ = source.Color(KYR_THEME_MENU_FONT_COLOR);
  selectedBorderColor_ = source.Color(KYR_THEME_MENU_SELECTED_BORDER_COLOR);
  selectedColor_ = source.Color(KYR_THEME_MENU_SELECTED_BACKGROUND_COLOR);
  selectedFontColor_ = source.Color(KYR_THEME_MENU_SELECTED_FONT_COLOR);
}

void TkyrPopupMenu::Loaded() {
  inherited::Loaded();
  InstallDrawHandlers();
}

void TkyrPopupMenu::MenuChanged(TMenuItem* source, bool rebuild) {
  // Every item must stay owner-drawn: a SetOwnerDraw(false) through TMenu comes back here.
  if (!TMenu::OwnerDraw()) return TMenu::SetOwnerDraw(true);
  inherited::MenuChanged(source, rebuild);
  if (!IsDestroying()) InstallDrawHandlers();
}

namespace {
void CollectItems(TMenuItem& item, std::set<TMenuItem*>& items) {
  for (int i = 0; i < item.Count(); ++i) {
    items.insert(item.Items(i));
    CollectItems(*item.Items(i), items);
  }
}
}  // namespace

// Items reach the menu through its tree, whoever owns them, so the tree decides (not the
// owner's insert notification, which would also hand other menus' items of the same form over).
void TkyrPopupMenu::InstallDrawHandlers() {
  std::set<TMenuItem*> items;
  CollectItems(*Items(), items);
  for (TMenuItem* gone : handled_)
    if (!items.count(gone) && TMenuItem::IsLiveItem(gone)) {
      gone->SetOnMeasureItem(nullptr);
      gone->SetOnDrawItem(nullptr);
    }
  const TMenuMeasureItemEvent measure = [this](TObject* s, TCanvas& c, int& w, int& h) { MeasureMenuItem(s, c, w, h); };
  const TMenuDrawItemEvent draw = [this](TObject* s, TCanvas& c, const RECT& r, bool sel) { DrawMenuItem(s, c, r, sel); };
  for (int i = 0; i < Items()->Count(); ++i) SetMenuItemOwnerDrawHandlers(*Items()->Items(i), measure, draw);
  handled_ = std::move(items);
}

void TkyrPopupMenu::MeasureMenuItem(TObject* sender, TCanvas& canvas, int& width, int& height) {
  const auto* item = dynamic_cast<const TMenuItem*>(sender);
  if (!item) return;
  height = item->IsLine() ? separatorHeight_ : menuItemHeight_;
  SelectFont(*item, canvas.Font());  // measured in the font it is drawn with
  width = canvas.TextWidth(item->ShownCaption()) + canvas.TextWidth(ShortCutToText(item->ShortCut())) + barWidth_ + 40;
}

void TkyrPopupMenu::DrawMenuItem(TObject* sender, TCanvas& canvas, const RECT& rect, bool selected) {
  const auto* item = dynamic_cast<const TMenuItem*>(sender);
  if (!item) return;
  const bool rightToLeft = RightToLeft();
  if (flatMenu_) DrawFlatFrame(canvas);
  if (item->IsLine()) return DrawSeparator(canvas, rect, rightToLeft);
  DrawBackground(*item, canvas, rect, selected, rightToLeft);
  PrepareFont(*item, canvas, selected);
  DrawTexts(*item, canvas, rect, rightToLeft);
  DrawGlyph(*item, canvas, rect, rightToLeft);
}

bool TkyrPopupMenu::RightToLeft() const { return BiDiMode() != bdLeftToRight && MiddleEastLocale(); }

// Only indexes of existing images count: anything else shows no icon (and a checked item its mark).
int TkyrPopupMenu::IconIndex(const TMenuItem& item) const {
  const TImageList* images = Images();
  const int index = item.ImageIndex();
  return images && index >= 0 && index < images->Count() ? index : -1;
}

// The menu window owns the item's DC; a DC of no window (a test's bitmap) gets no frame.
void TkyrPopupMenu::DrawFlatFrame(TCanvas& canvas) const {
  HWND window = WindowFromDC(canvas.Handle());
  if (!window) return;
  const TColor edge = TkyrStyleSource(FileTheme(), UIStyle()).Color(KYR_THEME_FORM_BACKGROUND_COLOR);
  DrawMenuWindowBorder(window, 0, edge);
}

void TkyrPopupMenu::DrawPlainBackground(TCanvas& canvas, const RECT& rect, bool rightToLeft) const {
  const int bar = std::max(0, barWidth_);
  if (bar > 0) {
    const RECT barRect = rightToLeft ? RECT{rect.right - bar, rect.top, rect.right, rect.bottom}
                                     : RECT{rect.left, rect.top, rect.left + bar, rect.bottom};
    FillRectColor(canvas, barRect, barColor_);
  }
  const RECT rest = rightToLeft ? RECT{rect.left, rect.top, rect.right - bar, rect.bottom}
                                : RECT{rect.left + bar, rect.top, rect.right, rect.bottom};
  FillRectColor(canvas, rest, color_);
}

void TkyrPopupMenu::DrawSeparator(TCanvas& canvas, const RECT& rect, bool rightToLeft) const {
  if (UIStyle() == MacOS) return DrawMacMenuBarSmall(canvas, rect);
  DrawPlainBackground(canvas, rect, rightToLeft);
  DrawMenuSeparator(canvas, rect, separatorColor_, barWidth_, !rightToLeft);
}

// A disabled item keeps the normal background under the pointer. The stored style decides MacOS,
// not the effective one.
void TkyrPopupMenu::DrawBackground(const TMenuItem& item, TCanvas& canvas, const RECT& rect, bool selected,
                                   bool rightToLeft) const {
  const bool mac = UIStyle() == MacOS;
  if (selected && item.Enabled()) {
    if (mac) return DrawMacMenuSelection(canvas, rect);
    FillRectColor(canvas, rect, selectedColor_);
    FrameRectColor(canvas, rect, selectedBorderColor_);
    return;
  }
  if (mac) return DrawMacMenuBar(canvas, rect);
  DrawPlainBackground(canvas, rect, rightToLeft);
}

void TkyrPopupMenu::SelectFont(const TMenuItem& item, TFont& font) const {
  if (useSystemFont_) {
    GetMenuFont(font);
  } else {
    font.SetName(fontName_);
    font.SetSize(fontSize_);
    font.SetCharset(fontCharset_);
  }
  if (item.Default()) {
    TFontStyles style = font.Style();
    style.Include(fsBold);
    font.SetStyle(style);
  }
}

void TkyrPopupMenu::PrepareFont(const TMenuItem& item, TCanvas& canvas, bool selected) const {
  SelectFont(item, canvas.Font());
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(!item.Enabled() ? TColor(0x808080) : selected ? selectedFontColor_ : fontColor_);
}

// Caption after the side bar, the shortcut text right-aligned 16 pixels from the far edge.
void TkyrPopupMenu::DrawTexts(const TMenuItem& item, TCanvas& canvas, const RECT& rect, bool rightToLeft) const {
  RECT text = rightToLeft ? RECT{rect.left, rect.top + 4, rect.right - barWidth_ - 4, rect.bottom}
                          : RECT{rect.left + barWidth_ + 4, rect.top + 4, rect.right, rect.bottom};
  canvas.DrawText(item.ShownCaption(), text, DT_SINGLELINE | (rightToLeft ? DT_RIGHT : DT_LEFT));
  const std::string keys = ShortCutToText(item.ShortCut());
  if (keys.empty()) return;
  canvas.TextOut(rightToLeft ? rect.left + 16 : rect.right - canvas.TextWidth(keys) - 16, rect.top + 4, keys);
}

// A checked item with an icon shows the icon on a framed box in SelectedColor instead of a mark.
void TkyrPopupMenu::DrawGlyph(const TMenuItem& item, TCanvas& canvas, const RECT& rect, bool rightToLeft) const {
  const int x = rightToLeft ? rect.right - 20 : rect.left + 4;
  const int y = rect.top;
  const int icon = IconIndex(item);
  if (item.Checked()) {
    if (icon >= 0) {
      FrameRectColor(canvas, {x - 2, y + 1, x + 17, y + 20}, clBlack);
      FillRectColor(canvas, {x - 1, y + 2, x + 16, y + 19}, selectedColor_);
    } else {
      checkMarks_.Images().Draw(canvas, x, y + 3, 0, item.Enabled());
    }
  }
  if (icon >= 0) Images()->Draw(canvas, x, y + 3, icon, item.Enabled());
}

void TkyrPopupMenu::DeclarePublished(TPublished<TkyrPopupMenu>& p) {
  p.Boolean("OwnerDraw", &TkyrPopupMenu::OwnerDraw, &TkyrPopupMenu::SetOwnerDraw);
  p.Component("FileTheme", &TkyrPopupMenu::FileTheme, &TkyrPopupMenu::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrPopupMenu::UIStyle, &TkyrPopupMenu::SetUIStyle);
  p.Integer("MenuItemHeight", &TkyrPopupMenu::MenuItemHeight, &TkyrPopupMenu::SetMenuItemHeight);
  p.Integer("SeparatorHeight", &TkyrPopupMenu::SeparatorHeight, &TkyrPopupMenu::SetSeparatorHeight);
  p.Integer("BarWidth", &TkyrPopupMenu::BarWidth, &TkyrPopupMenu::SetBarWidth);
  p.Color("BarColor", &TkyrPopupMenu::BarColor, &TkyrPopupMenu::SetBarColor);
  p.Color("Color", &TkyrPopupMenu::Color, &TkyrPopupMenu::SetColor);
  p.Color("SeparatorColor", &TkyrPopupMenu::SeparatorColor, &TkyrPopupMenu::SetSeparatorColor);
  p.Color("SelectedBorderColor", &TkyrPopupMenu::SelectedBorderColor, &TkyrPopupMenu::SetSelectedBorderColor);
  p.Color("SelectedColor", &TkyrPopupMenu::SelectedColor, &TkyrPopupMenu::SetSelectedColor);
  p.Color("SelectedFontColor", &TkyrPopupMenu::SelectedFontColor, &TkyrPopupMenu::SetSelectedFontColor);
  p.Color("FontColor", &TkyrPopupMenu::FontColor, &TkyrPopupMenu::SetFontColor);
  p.Color("BorderColor", &TkyrPopupMenu::BorderColor, &TkyrPopupMenu::SetBorderColor);
  p.Boolean("FlatMenu", &TkyrPopupMenu::FlatMenu, &TkyrPopupMenu::SetFlatMenu);
  p.String("FontName", &TkyrPopupMenu::FontName, &TkyrPopupMenu::SetFontName);
  p.Integer("FontSize", &TkyrPopupMenu::FontSize, &TkyrPopupMenu::SetFontSize);
  p.Integer("FontCharset", &TkyrPopupMenu::FontCharset, &TkyrPopupMenu::SetFontCharset, "TFontCharset");
  p.Boolean("UseSystemFont", &TkyrPopupMenu::UseSystemFont, &TkyrPopupMenu::SetUseSystemFont);
}
