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

// ---- the skinned menus' look and item routines ----
template <class Menu>
TkyrSkinnedMenu<Menu>::TkyrSkinnedMenu(TComponent* owner) : TkyrStyled<Menu>(owner) {}

template <class Menu>
void TkyrSkinnedMenu<Menu>::SetMenuItemHeight(int value) {
  if (this->UIStyle() == MacOS) return;
  menuItemHeight_ = value;
  this->RecreateHandle();
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::SetSeparatorHeight(int value) {
  if (this->UIStyle() == MacOS) return;
  separatorHeight_ = value;
  this->RecreateHandle();
}

// Items are measured in the font: a new handle, so the next drop-down measures them again.
template <class Menu>
void TkyrSkinnedMenu<Menu>::FontSettingChanged() {
  this->RecreateHandle();
  FontChanged();
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::SetFontName(const std::string& value) {
  fontName_ = value;
  FontSettingChanged();
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::SetFontSize(int value) {
  fontSize_ = value;
  FontSettingChanged();
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::SetFontCharset(TFontCharset value) {
  fontCharset_ = value;
  FontSettingChanged();
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::SetUseSystemFont(bool value) {
  useSystemFont_ = value;
  FontSettingChanged();
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::ApplyUIStyle(const TkyrStyleSource& source) {
  const bool mac = this->UIStyle() == MacOS;
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
  this->RecreateHandle();  // re-measured in the new heights
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::Loaded() {
  inherited::Loaded();
  InstallDrawHandlers();
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
template <class Menu>
void TkyrSkinnedMenu<Menu>::InstallDrawHandlers() {
  std::set<TMenuItem*> items;
  CollectItems(*this->Items(), items);
  for (TMenuItem* gone : handled_)
    if (!items.count(gone) && TMenuItem::IsLiveItem(gone)) {
      gone->SetOnMeasureItem(nullptr);
      gone->SetOnDrawItem(nullptr);
    }
  const TMenuMeasureItemEvent measure = [this](TObject* s, TCanvas& c, int& w, int& h) { MeasureMenuItem(s, c, w, h); };
  const TMenuDrawItemEvent draw = [this](TObject* s, TCanvas& c, const RECT& r, bool sel) { DrawMenuItem(s, c, r, sel); };
  for (int i = 0; i < this->Items()->Count(); ++i) SetMenuItemOwnerDrawHandlers(*this->Items()->Items(i), measure, draw);
  handled_ = std::move(items);
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::MeasureMenuItem(TObject* sender, TCanvas& canvas, int& width, int& height) {
  const auto* item = dynamic_cast<const TMenuItem*>(sender);
  if (!item) return;
  height = item->IsLine() ? separatorHeight_ : menuItemHeight_;
  SelectFont(*item, canvas.Font());  // measured in the font it is drawn with
  width = canvas.TextWidth(item->ShownCaption()) + canvas.TextWidth(ShortCutToText(item->ShortCut())) + barWidth_ + 40;
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::DrawMenuItem(TObject* sender, TCanvas& canvas, const RECT& rect, bool selected) {
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

template <class Menu>
bool TkyrSkinnedMenu<Menu>::RightToLeft() const { return this->BiDiMode() != bdLeftToRight && MiddleEastLocale(); }

// Only indexes of existing images count: anything else shows no icon (and a checked item its mark).
template <class Menu>
int TkyrSkinnedMenu<Menu>::IconIndex(const TMenuItem& item) const {
  const TImageList* images = IconImages();
  const int index = item.ImageIndex();
  return images && index >= 0 && index < images->Count() ? index : -1;
}

// The menu window owns the item's DC; a DC of no window (a test's bitmap) gets no frame.
template <class Menu>
void TkyrSkinnedMenu<Menu>::DrawFlatFrame(TCanvas& canvas) const {
  HWND window = WindowFromDC(canvas.Handle());
  if (!window) return;
  const TColor edge = TkyrStyleSource(this->FileTheme(), this->UIStyle()).Color(KYR_THEME_FORM_BACKGROUND_COLOR);
  DrawMenuWindowBorder(window, 0, edge);
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::DrawPlainBackground(TCanvas& canvas, const RECT& rect, bool rightToLeft) const {
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

template <class Menu>
void TkyrSkinnedMenu<Menu>::DrawSeparator(TCanvas& canvas, const RECT& rect, bool rightToLeft) const {
  if (this->UIStyle() == MacOS) return DrawMacMenuBarSmall(canvas, rect);
  DrawPlainBackground(canvas, rect, rightToLeft);
  DrawMenuSeparator(canvas, rect, separatorColor_, barWidth_, !rightToLeft);
}

// A disabled item keeps the normal background under the pointer. The stored style decides MacOS,
// not the effective one.
template <class Menu>
void TkyrSkinnedMenu<Menu>::DrawBackground(const TMenuItem& item, TCanvas& canvas, const RECT& rect,
                                           bool selected, bool rightToLeft) const {
  const bool mac = this->UIStyle() == MacOS;
  if (selected && item.Enabled()) {
    if (mac) return DrawMacMenuSelection(canvas, rect);
    FillRectColor(canvas, rect, selectedColor_);
    FrameRectColor(canvas, rect, selectedBorderColor_);
    return;
  }
  if (mac) return DrawMacMenuBar(canvas, rect);
  DrawPlainBackground(canvas, rect, rightToLeft);
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::GetItemFont(TFont& font) const {
  if (useSystemFont_) return GetMenuFont(font);
  font.SetName(fontName_);
  font.SetSize(fontSize_);
  font.SetCharset(fontCharset_);
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::SelectFont(const TMenuItem& item, TFont& font) const {
  GetItemFont(font);
  if (item.Default()) {
    TFontStyles style = font.Style();
    style.Include(fsBold);
    font.SetStyle(style);
  }
}

template <class Menu>
void TkyrSkinnedMenu<Menu>::PrepareFont(const TMenuItem& item, TCanvas& canvas, bool selected) const {
  SelectFont(item, canvas.Font());
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(!item.Enabled() ? TColor(0x808080) : selected ? selectedFontColor_ : fontColor_);
}

// Caption after the side bar, the shortcut text right-aligned 16 pixels from the far edge.
template <class Menu>
void TkyrSkinnedMenu<Menu>::DrawTexts(const TMenuItem& item, TCanvas& canvas, const RECT& rect, bool rightToLeft) const {
  RECT text = rightToLeft ? RECT{rect.left, rect.top + 4, rect.right - barWidth_ - 4, rect.bottom}
                          : RECT{rect.left + barWidth_ + 4, rect.top + 4, rect.right, rect.bottom};
  canvas.DrawText(item.ShownCaption(), text, DT_SINGLELINE | (rightToLeft ? DT_RIGHT : DT_LEFT));
  const std::string keys = ShortCutToText(item.ShortCut());
  if (keys.empty()) return;
  canvas.TextOut(rightToLeft ? rect.left + 16 : rect.right - canvas.TextWidth(keys) - 16, rect.top + 4, keys);
}

// A checked item with an icon shows the icon on a framed box in SelectedColor instead of a mark.
template <class Menu>
void TkyrSkinnedMenu<Menu>::DrawGlyph(const TMenuItem& item, TCanvas& canvas, const RECT& rect, bool rightToLeft) const {
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
  if (icon >= 0) IconImages()->Draw(canvas, x, y + 3, icon, item.Enabled());
}


template class TkyrSkinnedMenu<TPopupMenu>;
template class TkyrSkinnedMenu<TMainMenu>;

// ---- TkyrPopupMenu ----
TkyrPopupMenu::TkyrPopupMenu(TComponent* owner) : TkyrSkinnedMenu(owner) {
  TMenu::SetOwnerDraw(true);
  InitUIStyle();
}

// Items that left the tree earlier were given back their own drawing; the rest go with the menu.
TkyrPopupMenu::~TkyrPopupMenu() = default;

void TkyrPopupMenu::MenuChanged(TMenuItem* source, bool rebuild) {
  // Every item must stay owner-drawn: a SetOwnerDraw(false) through TMenu comes back here.
  if (!TMenu::OwnerDraw()) return TMenu::SetOwnerDraw(true);
  inherited::MenuChanged(source, rebuild);
  if (!IsDestroying()) InstallDrawHandlers();
}

void TkyrPopupMenu::DeclarePublished(TPublished<TkyrPopupMenu>& p) {
  p.Boolean("OwnerDraw", &TkyrPopupMenu::OwnerDraw, &TkyrPopupMenu::SetOwnerDraw);
  DeclareLook(p);
}
