#include "framework/ui/Menus.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>

#include "framework/ui/Forms.h"

namespace {

std::map<UINT, TMenuItem*>& ItemsByCommand() {
  static std::map<UINT, TMenuItem*> items;
  return items;
}

// Command ids stay below the system commands (0xF000) and skip ids still in use.
UINT NextCommand() {
  static UINT next = 1;
  auto& items = ItemsByCommand();
  do {
    next = next >= 0xEFFF ? 1 : next + 1;
  } while (items.count(next));
  return next;
}

struct TKeyName {
  WORD key;
  const char* name;
};
constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},   {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},   {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"},      {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};
struct TModifierName {
  TShortCut bit;
  const char* prefix;
};
constexpr TModifierName kModifiers[] = {{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}};

std::string KeyName(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  for (const TKeyName& k : kKeyNames)
    if (k.key == key) return k.name;
  return "";
}

// The shared owner window of popup menus: receives their owner-draw requests.
HWND PopupOwnerWindow() {
  static std::unique_ptr<TUtilityWindow> window = std::make_unique<TUtilityWindow>(DeliverMenuMessage);
  return window->Handle();
}

}  // namespace

// ---- short-cuts ----
TShortCut ShortCut(WORD key, TShiftState shift) {
  TShortCut s = static_cast<TShortCut>(key & 0xFF);
  if (shift.Contains(ssShift)) s |= scShift;
  if (shift.Contains(ssCtrl)) s |= scCtrl;
  if (shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

std::string ShortCutToText(TShortCut shortCut) {
  const std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return "";
  std::string text;
  for (const TModifierName& m : kModifiers)
    if (shortCut & m.bit) text += m.prefix;
  return text + name;
}

TShortCut TextToShortCut(const std::string& text) {
  std::string rest = text;
  TShortCut modifiers = 0;
  for (bool found = true; found;) {
    found = false;
    for (const TModifierName& m : kModifiers) {
      const size_t n = std::char_traits<char>::length(m.prefix);
      if (rest.size() > n && SameText(rest.substr(0, n), m.prefix)) {
        modifiers |= m.bit;
        rest = rest.substr(n);
        found = true;
      }
    }
  }
  for (WORD key = 1; key < 0xFF; ++key) {
    const std::string name = KeyName(key);
    if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(modifiers | key);
  }
  return scNone;
}

// ---- automatic accelerators, the menu font ----
namespace {
// The accelerator of CAPTION in upper case ('&' before it, "&&" is a plain '&'), or 0.
char HotkeyOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    ++i;
  }
  return 0;
}

bool HasAmpersand(const std::string& caption) { return caption.find('&') != std::string::npos; }
}  // namespace

std::vector<std::string> AutomaticHotkeys(const std::vector<std::string>& captions) {
  std::string used;
  for (const std::string& c : captions)
    if (char key = HotkeyOf(c)) used += key;
  std::vector<std::string> result = captions;
  for (std::string& c : result) {
    if (c == "-" || HasAmpersand(c)) continue;
    for (size_t i = 0; i < c.size(); ++i) {
      const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(c[i])));
      if (!std::isalnum(static_cast<unsigned char>(key)) || used.find(key) != std::string::npos) continue;
      used += key;
      c.insert(i, 1, '&');
      break;
    }
  }
  return result;
}

char CaptionAccelerator(const std::string& caption) { return HotkeyOf(caption); }

std::string StripAccelerators(const std::string& caption) {
  std::string shown;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

LOGFONTA MenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return metrics.lfMenuFont;
}

// ---- TMenuItem ----
TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {
  ItemsByCommand()[command_] = this;
}

TMenuItem::~TMenuItem() {
  Destroying();
  ItemsByCommand().erase(command_);
  while (!items_.empty()) delete items_.back();
  if (parent_) parent_->Remove(this);
}

TMenuItem* TMenuItem::FindByCommand(UINT command) {
  auto it = ItemsByCommand().find(command);
  return it == ItemsByCommand().end() ? nullptr : it->second;
}

bool TMenuItem::IsLiveItem(const void* item) {
  for (const auto& entry : ItemsByCommand())
    if (entry.second == item) return true;
  return false;
}

void TMenuItem::SetCaption(const std::string& value) {
  if (caption_ == value) return;
  caption_ = value;
  Changed();
}

void TMenuItem::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  Changed();
}

void TMenuItem::SetChecked(bool value) {
  if (checked_ == value) return;
  checked_ = value;
  Changed();
}

void TMenuItem::SetRadioItem(bool value) {
  if (radioItem_ == value) return;
  radioItem_ = value;
  Changed();
}

void TMenuItem::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut value) {
  if (shortCut_ == value) return;
  shortCut_ = value;
  Changed();
}

void TMenuItem::SetImageIndex(int value) {
  if (imageIndex_ == value) return;
  imageIndex_ = value;
  Changed();
}

void TMenuItem::SetDefault(bool value) {
  if (default_ == value) return;
  default_ = value;
  Changed();
}

// Sub-items are siblings among themselves: each level gets its own accelerators.
void TMenuItem::UpdateHotkeys(bool automatic) {
  std::vector<std::string> captions;
  for (const TMenuItem* item : items_) captions.push_back(item->caption_);
  if (automatic) captions = AutomaticHotkeys(captions);
  for (size_t i = 0; i < items_.size(); ++i) {
    items_[i]->shownCaption_ = captions[i] == items_[i]->caption_ ? std::string() : captions[i];
    items_[i]->UpdateHotkeys(automatic);
  }
}

int TMenuItem::MenuIndex() const {
  if (!parent_) return -1;
  const auto& list = parent_->items_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item == this) throw Exception("Invalid menu item");
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw Exception("A menu item cannot contain itself");
  if (item->parent_) {
    TMenuItem* old = item->parent_;
    old->items_.erase(std::find(old->items_.begin(), old->items_.end(), item));
    item->parent_ = nullptr;
    old->Changed(true);
  }
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed(true);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  Changed(true);
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

std::string TMenuItem::DisplayText() const {
  const std::string keys = ShortCutToText(shortCut_);
  return keys.empty() ? ShownCaption() : ShownCaption() + "\t" + keys;
}

void TMenuItem::Changed(bool subItems) {
  if (IsDestroying() && !parent_) return;
  // Only the root's list is the menu's top level; a dying item is no source to hand out.
  TMenuItem* source = IsDestroying() ? nullptr : this;
  if (TMenu* menu = GetParentMenu(); menu && !menu->IsDestroying()) menu->MenuChanged(source, subItems && menu_);
}

HMENU TMenuItem::SubMenuHandle() const {
  TMenu* menu = GetParentMenu();
  if (!menu || !parent_) return nullptr;
  for (const TMenuItem* p = this; p->parent_; p = p->parent_)
    if (!p->visible_) return nullptr;
  if (std::none_of(items_.begin(), items_.end(), [](const TMenuItem* i) { return i->visible_; })) return nullptr;
  // Look-up by command searches the sub-menus too; a popup item carries its command as its id.
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU;
  if (!GetMenuItemInfoA(menu->Handle(), command_, FALSE, &info)) return nullptr;
  return info.hSubMenu;
}

char TMenuItem::Accelerator() const { return HotkeyOf(ShownCaption()); }

void TMenuItem::Click() {
  if (onClick_) onClick_(this);
}

namespace {
// Width of the column for check marks and images.
int GlyphColumn(const TImageList* images) { return std::max(16, images ? images->Width() + 4 : 0); }
}  // namespace

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
  if (onMeasureItem_) return onMeasureItem_(this, canvas, width, height);
  if (IsLine()) {
    height = 8;
    return;
  }
  const TMenu* menu = GetParentMenu();
  const TImageList* images = menu ? menu->Images() : nullptr;
  const SIZE size = canvas.TextExtent(DisplayText());
  width = size.cx + GlyphColumn(images) + 8;
  height = std::max<int>({size.cy + 6, GetSystemMetrics(SM_CYMENU), images ? images->Height() + 4 : 0});
}

void TMenuItem::DrawItem(TCanvas& canvas, const RECT& rect, bool selected) {
  if (onDrawItem_) return onDrawItem_(this, canvas, rect, selected);
  canvas.Brush().SetColor(selected ? clHighlight : clMenu);
  canvas.FillRect(rect);
  if (IsLine()) {
    canvas.Pen().SetColor(clBtnShadow);
    const int y = (rect.top + rect.bottom) / 2;
    canvas.MoveTo(rect.left + 2, y);
    canvas.LineTo(rect.right - 2, y);
    return;
  }
  TMenu* menu = GetParentMenu();
  TImageList* images = menu ? menu->Images() : nullptr;
  if (images && imageIndex_ >= 0 && imageIndex_ < images->Count())
    images->Draw(canvas, rect.left + 2, (rect.top + rect.bottom - images->Height()) / 2, imageIndex_, enabled_);
  canvas.Font().SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
  canvas.Brush().SetStyle(bsClear);
  RECT text = rect;
  text.left += GlyphColumn(images) + 2;
  text.right -= 6;
  canvas.DrawText(ShownCaption(), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  const std::string keys = ShortCutToText(shortCut_);
  if (!keys.empty()) canvas.DrawText(keys, text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
}

void TMenuItem::AppendTo(HMENU menu, bool ownerDraw) const {
  if (!visible_) return;
  const std::string text = DisplayText();
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_STRING;
  info.fType = (IsLine() ? MFT_SEPARATOR : 0) | (ownerDraw ? MFT_OWNERDRAW : 0) | (radioItem_ ? MFT_RADIOCHECK : 0);
  info.fState = (enabled_ ? 0 : MFS_DISABLED) | (checked_ ? MFS_CHECKED : 0) | (default_ ? MFS_DEFAULT : 0);
  info.wID = command_;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  info.dwTypeData = const_cast<char*>(text.c_str());
  if (!items_.empty()) {
    HMENU sub = CreatePopupMenu();  // destroyed with its parent menu
    for (const TMenuItem* item : items_) item->AppendTo(sub, ownerDraw);
    info.fMask |= MIIM_SUBMENU;
    info.hSubMenu = sub;
  }
  InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
  else if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(this);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::DeclarePublished(TPublished<TMenuItem>& p) {
  p.String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  p.Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled);
  p.Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
  p.Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
  p.Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible);
  p.Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut);
  p.Integer("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex);
  p.Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
  p.Event("OnClick", &TMenuItem::OnClick, &TMenuItem::SetOnClick);
  p.Event("OnMeasureItem", &TMenuItem::OnMeasureItem, &TMenuItem::SetOnMeasureItem);
  p.Event("OnDrawItem", &TMenuItem::OnDrawItem, &TMenuItem::SetOnDrawItem);
}

// ---- TMenu ----
TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
  Destroying();
  delete items_;
}

void TMenu::SetOwnerDraw(bool value) {
  if (ownerDraw_ == value) return;
  ownerDraw_ = value;
  MenuChanged(nullptr, false);
}

HMENU TMenu::Handle() {
  if (dirty_ || !handle_) Rebuild();
  return handle_.Get();
}

void TMenu::SetAutoHotkeys(TMenuAutoFlag value) {
  if (autoHotkeys_ == value) return;
  autoHotkeys_ = value;
  MenuChanged(nullptr, false);
}

TBiDiMode TMenu::BiDiMode() const {
  const auto* owner = dynamic_cast<const TControl*>(Owner());
  return parentBiDiMode_ && owner ? owner->BiDiMode() : biDiMode_;
}

void TMenu::SetBiDiMode(TBiDiMode value) {
  biDiMode_ = value;
  parentBiDiMode_ = false;
}

void TMenu::Rebuild() {
  items_->UpdateHotkeys(autoHotkeys_ == maAutomatic);
  TMenuHandle menu(CreateMenuHandle());
  const bool ownerDraw = ownerDraw_ || Images();
  for (int i = 0; i < items_->Count(); ++i) items_->Items(i)->AppendTo(menu.Get(), ownerDraw);
  handle_ = std::move(menu);
  dirty_ = false;
}

void TMenu::MenuChanged(TMenuItem* source, bool rebuild) {
  dirty_ = true;
  if (onChange_) onChange_(this, source, rebuild);
}

namespace {
TMenuItem* FindShortCut(TMenuItem* item, TShortCut shortCut) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (!child->Visible() || !child->Enabled()) continue;
    if (child->ShortCut() == shortCut) return child;
    if (TMenuItem* found = FindShortCut(child, shortCut)) return found;
  }
  return nullptr;
}
}  // namespace

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
  const TShortCut wanted = ShortCut(key, shift);
  if ((wanted & 0xFF) == 0) return false;
  TMenuItem* item = FindShortCut(items_, wanted);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = TMenuItem::FindByCommand(command);
  if (!item || item->GetParentMenu() != this) return false;
  item->Click();
  return true;
}

void TMenu::DeclarePublished(TPublished<TMenu>& p) {
  p.Boolean("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
  p.Component("Images", &TMenu::Images, &TMenu::SetImages);
  p.Enumeration("AutoHotkeys", MenuAutoFlagInfo, &TMenu::AutoHotkeys, &TMenu::SetAutoHotkeys);
  p.Enumeration("BiDiMode", BiDiModeInfo, &TMenu::BiDiMode, &TMenu::SetBiDiMode);
  p.Boolean("ParentBiDiMode", &TMenu::ParentBiDiMode, &TMenu::SetParentBiDiMode);
}

// ---- TMainMenu ----
void TMainMenu::MenuChanged(TMenuItem* source, bool rebuild) {
  TMenu::MenuChanged(source, rebuild);
  if (!window_ || !IsWindow(window_) || IsDestroying()) return;
  // The form shows the new handle at once; the old one is freed after it was replaced.
  if (auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(window_))) form->MenuChanged();
}

// ---- TPopupMenu ----
HWND TPopupMenu::PopupOwner() const {
  if (const auto* control = dynamic_cast<const TControl*>(popupComponent_.Get()))
    if (const TCustomForm* form = control->ParentForm(); form && form->HandleAllocated())
      return form->HandleIfAllocated();
  HWND active = GetActiveWindow();
  if (dynamic_cast<TCustomForm*>(TWinControl::FindControl(active))) return active;
  return PopupOwnerWindow();
}

void TPopupMenu::Popup(int x, int y) {
  if (onPopup_) onPopup_(this);
  // The form itself owns the menu: a hidden owner would have to come to the foreground and
  // would deactivate the form. TrackPopupMenu needs its owner in the foreground, or the menu
  // does not close on an outside click; for the active form that changes nothing.
  HWND owner = PopupOwner();
  SetForegroundWindow(owner);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(Handle(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);
  if (command) DispatchCommand(command);
}

void TPopupMenu::DeclarePublished(TPublished<TPopupMenu>& p) {
  p.Event("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::SetOnPopup);
}

// ---- owner-draw plumbing ----
namespace {

// The font an item is measured and drawn with: the system's menu font, bold for the default
// item.
void PrepareMenuCanvas(TCanvas& canvas, const TMenuItem& item) {
  canvas.Font().AssignLogFont(MenuFont());
  if (!item.Default()) return;
  TFontStyles style = canvas.Font().Style();
  style.Include(fsBold);
  canvas.Font().SetStyle(style);
}

bool MeasureMenuItem(MEASUREITEMSTRUCT& request) {
  if (request.CtlType != ODT_MENU || !TMenuItem::IsLiveItem(reinterpret_cast<void*>(request.itemData))) return false;
  auto* item = reinterpret_cast<TMenuItem*>(request.itemData);
  TWindowDC screen(nullptr);
  TCanvas canvas(screen.Get());
  PrepareMenuCanvas(canvas, *item);
  int width = static_cast<int>(request.itemWidth), height = static_cast<int>(request.itemHeight);
  item->MeasureItem(canvas, width, height);
  request.itemWidth = static_cast<UINT>(std::max(0, width));
  request.itemHeight = static_cast<UINT>(std::max(0, height));
  return true;
}

bool DrawMenuItem(const DRAWITEMSTRUCT& request) {
  if (request.CtlType != ODT_MENU || !TMenuItem::IsLiveItem(reinterpret_cast<void*>(request.itemData))) return false;
  auto* item = reinterpret_cast<TMenuItem*>(request.itemData);
  TSaveDCGuard keep(request.hDC);
  TCanvas canvas(request.hDC);
  PrepareMenuCanvas(canvas, *item);
  item->DrawItem(canvas, request.rcItem, (request.itemState & ODS_SELECTED) != 0);
  return true;
}

// The position of the enabled item of MENU whose accelerator is KEY, or -1.
int ItemWithAccelerator(HMENU menu, char key) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info) || !TMenuItem::IsLiveItem(reinterpret_cast<void*>(info.dwItemData)))
      continue;
    const auto* item = reinterpret_cast<const TMenuItem*>(info.dwItemData);
    if (item->Enabled() && !item->IsLine() && item->Accelerator() == key) return i;
  }
  return -1;
}

bool AnswerMenuChar(TMessage& m) {
  const char key = static_cast<char>(std::toupper(LOWORD(m.WParam) & 0xFF));
  const int index = ItemWithAccelerator(reinterpret_cast<HMENU>(m.LParam), key);
  if (index < 0) return false;
  m.Result = MAKELRESULT(index, MNC_EXECUTE);
  return true;
}

bool RunMenuCommand(UINT command) {
  TMenuItem* item = TMenuItem::FindByCommand(command);
  if (!item) return false;
  item->Click();
  return true;
}

}  // namespace

bool DeliverMenuMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_COMMAND:
      return m.LParam == 0 && HIWORD(m.WParam) == 0 && RunMenuCommand(LOWORD(m.WParam));
    case WM_MEASUREITEM:
      m.Result = MeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam));
      return m.Result != 0;
    case WM_DRAWITEM:
      m.Result = DrawMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
      return m.Result != 0;
    case WM_MENUCHAR:
      return AnswerMenuChar(m);
    default:
      return false;
  }
}
