#include "framework/ui/DBCtrls.h"

#include <windows.h>

#include "framework/core/ScopeGuard.h"

namespace {

// TEXT converted FROM one code page TO another through UTF-16.
std::string Recode(const std::string& text, UINT from, UINT to) {
  if (text.empty()) return text;
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
  std::wstring utf16(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(from, 0, text.data(), size, utf16.data(), wide);
  const int bytes = WideCharToMultiByte(to, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(to, 0, utf16.data(), wide, out.data(), bytes, nullptr, nullptr);
  return out;
}

// Field values are UTF-8; the controls' windows take and give text in the ANSI code page.
std::string WindowText(const std::string& value) { return Recode(value, CP_UTF8, CP_ACP); }
std::string FieldText(const std::string& windowText) { return Recode(windowText, CP_ACP, CP_UTF8); }

}  // namespace

// ---- the field link ----

void TFieldDataLink::SetFieldName(const std::string& value) {
  if (value == fieldName_) return;
  fieldName_ = value;
  UpdateField();
}

void TFieldDataLink::UpdateField() {
  TDataSet* set = DataSet();
  field_ = Active() && set && !fieldName_.empty() ? set->FindField(fieldName_) : nullptr;
  modified_ = false;
  Call(onDataChange_);
}

bool TFieldDataLink::CanModify() const {
  return Active() && !ReadOnly() && field_ && !field_->ReadOnly() && DataSet()->CanModify();
}

void TFieldDataLink::Reset() {
  modified_ = false;
  Call(onDataChange_);
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  Call(onActiveChange_);
}

void TFieldDataLink::EditingChanged() { Call(onEditingChange_); }

void TFieldDataLink::RecordChanged(TField* field) {
  if (field && field != field_) return;
  modified_ = false;
  Call(onDataChange_);
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::UpdateData() {
  if (!modified_) return;
  Call(onUpdateData_);
  modified_ = false;
}

// ---- the edit ----

TDBEdit::TDBEdit(TComponent* owner) : TWinControl(owner) {
  SetControlStyle({csDoubleClicks});  // no csSetCaption: the text is the field's, never the name
  SetColor(clWindow);
  SetBounds(0, 0, 121, 23);
  SetTabStop(true);
  link_.SetOnDataChange([this] { DataChange(); });
  link_.SetOnUpdateData([this] { UpdateData(); });
}

TDBEdit::~TDBEdit() {
  Destroying();
  link_.SetOnDataChange({});
  link_.SetOnUpdateData({});
}

void TDBEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.SubclassOf = "EDIT";
  params.Style |= ES_AUTOHSCROLL;
  if (link_.ReadOnly()) params.Style |= ES_READONLY;
  params.ExStyle |= Ctl3D() ? WS_EX_CLIENTEDGE : 0;
  if (!Ctl3D()) params.Style |= WS_BORDER;
}

void TDBEdit::CreateWindowHandle(const TCreateParams& params) {
  inherited::CreateWindowHandle(params);
  DataChange();
}

void TDBEdit::SetDataSource(TDataSource* value) { link_.SetDataSource(value); }

void TDBEdit::SetReadOnly(bool value) {
  link_.SetReadOnly(value);
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_SETREADONLY, value, 0);
}

void TDBEdit::ShowText(const std::string& text) {
  TRestoreOnExit<bool> showing(showing_, true);
  SetText(text);
}

void TDBEdit::SelectAll() {
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_SETSEL, 0, -1);
}

void TDBEdit::DataChange() {
  if (IsDestroying()) return;
  TField* field = link_.Field();
  ShowText(field ? WindowText(field->AsString()) : std::string());
}

void TDBEdit::UpdateData() {
  if (TField* field = link_.Field()) field->SetAsString(FieldText(Text()));
}

// Keys that change the text first put the set into edit mode; refused, they do nothing.
void TDBEdit::KeyPress(char& key) {
  inherited::KeyPress(key);
  const unsigned char c = static_cast<unsigned char>(key);
  if (c == VK_ESCAPE) {
    link_.Reset();
    SelectAll();
    key = 0;
  } else if (c == VK_RETURN) {
    if (link_.IsModified() && link_.Editing()) link_.UpdateRecord();
    key = 0;  // a single-line edit would only beep
  } else if ((c >= 32 || c == VK_BACK || c == 'V' - 64 || c == 'X' - 64) && !(link_.CanModify() && link_.Edit())) {
    MessageBeep(0);
    key = 0;
  }
}

void TDBEdit::KeyDown(WORD& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  // Delete changes the text without a character message.
  if (key == VK_DELETE && !(link_.CanModify() && link_.Edit())) key = 0;
}

void TDBEdit::DoExit() {
  // A value the field refuses raises here and stays in the edit for correcting.
  if (!IsDestroying() && link_.IsModified() && link_.Editing()) link_.UpdateRecord();
  inherited::DoExit();
}

void TDBEdit::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TDBEdit> kTable[] = {
      {CN_COMMAND, &TDBEdit::CNCommand},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TDBEdit::CNCommand(TMessage& m) {
  if (HIWORD(m.WParam) == EN_CHANGE && !showing_) link_.Modified();
}

void TDBEdit::DeclarePublished(TPublished<TDBEdit>& p) {
  p.Component("DataSource", &TDBEdit::DataSource, &TDBEdit::SetDataSource);
  p.String("DataField", &TDBEdit::DataField, &TDBEdit::SetDataField);
  p.Boolean("ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly);
}

// ---- the label ----

TDBText::TDBText(TComponent* owner) : TCustomLabel(owner) {
  SetAutoSize(false);
  SetShowAccelChar(false);  // a value's '&' is text, not an accelerator
  link_.SetOnDataChange([this] { DataChange(); });
}

TDBText::~TDBText() {
  Destroying();
  link_.SetOnDataChange({});
}

void TDBText::DataChange() {
  if (IsDestroying()) return;
  TField* field = link_.Field();
  SetCaption(field ? WindowText(field->AsString()) : std::string());
}

void TDBText::DeclarePublished(TPublished<TDBText>& p) {
  p.Component("DataSource", &TDBText::DataSource, &TDBText::SetDataSource);
  p.String("DataField", &TDBText::DataField, &TDBText::SetDataField);
}
