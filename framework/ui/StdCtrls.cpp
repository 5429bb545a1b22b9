#include "framework/ui/StdCtrls.h"

#include <algorithm>
#include <utility>

#include "framework/ui/Forms.h"

// ---- TCustomLabel ----
TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle({csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (wordWrap_ == value) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  TControlStyle style = ControlStyle();
  value ? style.Exclude(csOpaque) : style.Include(csOpaque);
  SetControlStyle(style);
  Invalidate();
}

void TCustomLabel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

UINT TCustomLabel::TextFlags() const {
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = kAlign[alignment_] | DT_EXPANDTABS;
  flags |= wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return flags;
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || InState(csLoading) || IsDestroying()) return;
  TWindowDC screen(nullptr);
  TCanvas canvas(screen.Get());
  canvas.Font().Assign(*Font());
  RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
  const std::string text = Caption().empty() ? " " : Caption();
  canvas.DrawText(text, r, (TextFlags() & ~(DT_RIGHT | DT_CENTER)) | DT_CALCRECT);
  // Right-aligned labels grow to the left, as their text stays where it was.
  const int width = wordWrap_ ? Width() : r.right;
  const int left = alignment_ == taRightJustify && !wordWrap_ ? Left() + Width() - width : Left();
  SetBounds(left, Top(), width, r.bottom);
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TCustomLabel> kTable[] = {
      {CM_TEXTCHANGED, &TCustomLabel::CMTextOrFontChanged},
      {CM_FONTCHANGED, &TCustomLabel::CMTextOrFontChanged},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TCustomLabel::CMTextOrFontChanged(TMessage& m) {
  inherited::WndProc(m);
  AdjustBounds();
}

void TCustomLabel::Paint() {
  TCanvas& canvas = Canvas();
  RECT r{0, 0, Width(), Height()};
  if (!transparent_) canvas.FillRect(r);
  canvas.Brush().SetStyle(bsClear);
  UINT flags = TextFlags();
  if (layout_ != tlTop) {
    RECT measure = r;
    canvas.DrawText(Caption(), measure, flags | DT_CALCRECT);
    const int free = r.bottom - (measure.bottom - measure.top);
    r.top += layout_ == tlCenter ? free / 2 : free;
  }
  if (!Enabled()) canvas.Font().SetColor(clGrayText);
  canvas.DrawText(Caption(), r, flags);
}

void TCustomLabel::DeclarePublished(TPublished<TCustomLabel>& p) {
  p.Boolean("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize);
  p.Boolean("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
  p.Boolean("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
  p.Enumeration("Alignment", AlignmentInfo, &TCustomLabel::Alignment, &TCustomLabel::SetAlignment);
  p.Enumeration("Layout", TextLayoutInfo, &TCustomLabel::Layout, &TCustomLabel::SetLayout);
  p.Boolean("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar);
}

// ---- TButton ----
TButton::TButton(TComponent* owner) : TWinControl(owner) {
  // BUTTON captures the mouse and reports the click itself (BN_CLICKED).
  SetControlStyle({csSetCaption});
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.SubclassOf = "BUTTON";
  params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
  default_ = value;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (TCustomForm* form = ParentForm(); form && modalResult_ != mrNone) form->SetModalResult(modalResult_);
  inherited::Click();
}

void TButton::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TButton> kTable[] = {
      {CN_COMMAND, &TButton::CNCommand},
      {CM_DIALOGKEY, &TButton::CMDialogKey},
      {WM_KEYDOWN, &TButton::WMKeyDown},
      {WM_KEYUP, &TButton::WMKeyUp},
      {WM_KILLFOCUS, &TButton::WMKillFocus},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TButton::SetKeyPressed(bool value) {
  returnPressed_ = value;
  SendMessageA(HandleIfAllocated(), BM_SETSTATE, value, 0);
}

void TButton::WMKeyDown(TMessage& m) {
  inherited::WndProc(m);  // OnKeyDown first
  if (m.WParam == VK_RETURN && Enabled()) SetKeyPressed(true);
}

void TButton::WMKeyUp(TMessage& m) {
  inherited::WndProc(m);
  if (m.WParam != VK_RETURN || !returnPressed_) return;
  SetKeyPressed(false);
  Click();  // last: OnClick may free the button
}

void TButton::WMKillFocus(TMessage& m) {
  if (returnPressed_) SetKeyPressed(false);
  inherited::WndProc(m);
}

void TButton::CNCommand(TMessage& m) {
  if (HIWORD(m.WParam) == BN_CLICKED) Click();
}

void TButton::CMDialogKey(TMessage& m) {
  const bool enter = m.WParam == VK_RETURN && default_;
  const bool escape = m.WParam == VK_ESCAPE && cancel_;
  if ((enter || escape) && CanFocus()) {
    Click();
    m.Result = 1;
  }
}

void TButton::DeclarePublished(TPublished<TButton>& p) {
  p.Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
  p.Boolean("Default", &TButton::Default, &TButton::SetDefault);
  p.Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel);
}

// ---- TMemoStrings ----
namespace {
// INDEX must lie in 0 .. COUNT - 1.
void CheckLineIndex(int index, size_t count) {
  if (index < 0 || static_cast<size_t>(index) >= count)
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

std::vector<std::string> TMemoStrings::Read() const { return SplitLines(memo_.Text()); }

void TMemoStrings::Write(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  memo_.SetText(text);
  Changed();
}

int TMemoStrings::Count() const { return static_cast<int>(Read().size()); }

const std::string& TMemoStrings::Strings(int index) const {
  cache_ = Read();
  CheckLineIndex(index, cache_.size());
  return cache_[static_cast<size_t>(index)];
}

void TMemoStrings::Put(int index, const std::string& value) {
  std::vector<std::string> lines = Read();
  CheckLineIndex(index, lines.size());
  lines[static_cast<size_t>(index)] = value;
  Write(lines);
}

void TMemoStrings::Insert(int index, const std::string& value) {
  std::vector<std::string> lines = Read();
  CheckLineIndex(index, lines.size() + 1);
  lines.insert(lines.begin() + index, value);
  Write(lines);
}

void TMemoStrings::Delete(int index) {
  std::vector<std::string> lines = Read();
  CheckLineIndex(index, lines.size());
  lines.erase(lines.begin() + index);
  Write(lines);
}

void TMemoStrings::Clear() { Write({}); }

// ---- TCustomMemo ----
TCustomMemo::TCustomMemo(TComponent* owner) : TWinControl(owner) {
  SetControlStyle({csSetCaption, csDoubleClicks});
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 185, 89);
}

void TCustomMemo::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  static constexpr DWORD kAlign[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  static constexpr DWORD kBars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
  params.SubclassOf = "EDIT";
  params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | kAlign[alignment_] | kBars[scrollBars_];
  if (!wordWrap_) params.Style |= ES_AUTOHSCROLL;
  if (readOnly_) params.Style |= ES_READONLY;
  if (!hideSelection_) params.Style |= ES_NOHIDESEL;
  if (oemConvert_) params.Style |= ES_OEMCONVERT;
  if (borderStyle_ == bsSingle && Ctl3D())
    params.ExStyle |= WS_EX_CLIENTEDGE;
  else if (borderStyle_ == bsSingle)
    params.Style |= WS_BORDER;
  // The EDIT control takes at most 30,000 characters of text at creation, and Wine fails the
  // creation beyond that: the text goes in once the limit is raised.
  pendingText_ = std::move(params.Caption);
  params.Caption.clear();
}

// A multi-line EDIT reports no change for WM_SETTEXT: the text coming back is no change.
void TCustomMemo::CreateWindowHandle(const TCreateParams& params) {
  inherited::CreateWindowHandle(params);
  SendMessageA(HandleIfAllocated(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  const std::string text = std::exchange(pendingText_, {});
  if (!text.empty()) SendMessageA(HandleIfAllocated(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomMemo::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_SETREADONLY, value, 0);
}

void TCustomMemo::SetWordWrap(bool value) {
  if (wordWrap_ == value) return;
  wordWrap_ = value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (scrollBars_ == value) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomMemo::SetBorderStyle(TBorderStyle value) {
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomMemo::SetHideSelection(bool value) {
  if (hideSelection_ == value) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomMemo::SetOEMConvert(bool value) {
  if (oemConvert_ == value) return;
  oemConvert_ = value;
  RecreateWnd();
}

void TCustomMemo::SetMaxLength(int value) {
  maxLength_ = std::max(0, value);
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomMemo::Change() {
  if (onChange_) onChange_(this);
}

void TCustomMemo::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TCustomMemo> kTable[] = {
      {CN_COMMAND, &TCustomMemo::CNCommand},
      {WM_GETDLGCODE, &TCustomMemo::WMGetDlgCode},
      {CM_TEXTCHANGED, &TCustomMemo::CMTextChanged},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TCustomMemo::CNCommand(TMessage& m) {
  if (HIWORD(m.WParam) == EN_CHANGE) Change();
}

// A multi-line EDIT sends no EN_CHANGE for WM_SETTEXT, so a text set by the program is
// reported here.
void TCustomMemo::CMTextChanged(TMessage& m) {
  inherited::WndProc(m);
  Change();
}

// EDIT wants every key; Tab and Enter go to the form unless WantTabs / WantReturns.
void TCustomMemo::WMGetDlgCode(TMessage& m) {
  inherited::WndProc(m);
  if ((m.WParam == VK_TAB && !wantTabs_) || (m.WParam == VK_RETURN && !wantReturns_))
    m.Result &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
}

void TCustomMemo::DeclarePublished(TPublished<TCustomMemo>& p) {
  p.Object("Lines", [](TCustomMemo& memo) -> TStrings* { return &memo.Lines(); });
  p.Boolean("ReadOnly", &TCustomMemo::ReadOnly, &TCustomMemo::SetReadOnly);
  p.Boolean("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap);
  p.Enumeration("ScrollBars", ScrollStyleInfo, &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars);
  p.Enumeration("Alignment", AlignmentInfo, &TCustomMemo::Alignment, &TCustomMemo::SetAlignment);
  p.Enumeration("BorderStyle", FormBorderStyleInfo, &TCustomMemo::BorderStyle, &TCustomMemo::SetBorderStyle);
  p.Integer("MaxLength", &TCustomMemo::MaxLength, &TCustomMemo::SetMaxLength);
  p.Boolean("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns);
  p.Boolean("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs);
  p.Boolean("HideSelection", &TCustomMemo::HideSelection, &TCustomMemo::SetHideSelection);
  p.Boolean("OEMConvert", &TCustomMemo::OEMConvert, &TCustomMemo::SetOEMConvert);
  p.Event("OnChange", &TCustomMemo::OnChange, &TCustomMemo::SetOnChange);
}
