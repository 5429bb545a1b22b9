#include "framework/data/DB.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "framework/core/ScopeGuard.h"
#include "framework/core/StrUtils.h"

// ---- field definitions ----

void TFieldDefs::Add(const std::string& name, TFieldType type, int size, bool required) {
  if (name.empty()) throw EDatabaseError("Field name missing");
  if (IndexOf(name) >= 0) throw EDatabaseError("Duplicate field name '" + name + "'");
  defs_.push_back({name, type, size, required});
}

const TFieldDef& TFieldDefs::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("Field definition index out of bounds");
  return defs_[index];
}

int TFieldDefs::IndexOf(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(defs_[i].Name, name)) return i;
  return -1;
}

// ---- values ----

namespace {

std::string FloatText(double value) {
  char text[64];
  auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

[[noreturn]] void NotA(const char* what, const std::string& text, const std::string& field) {
  throw EDatabaseError("'" + text + "' is not a valid " + what + " value for field '" + field + "'");
}

// TEXT as a whole number (surrounding blanks allowed), or nothing.
bool ParseInteger(std::string_view text, int64_t& out) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto result = std::from_chars(text.data(), text.data() + text.size(), out);
  return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool ParseFloat(std::string_view text, double& out) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto result = std::from_chars(text.data(), text.data() + text.size(), out);
  return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size() && std::isfinite(out);
}

int64_t ToInteger(const TFieldValue& value, const std::string& field) {
  if (auto* i = std::get_if<int64_t>(&value)) return *i;
  if (auto* d = std::get_if<double>(&value)) {
    // Only a whole number inside the 64-bit range converts: nothing is rounded away silently.
    if (std::trunc(*d) != *d || std::fabs(*d) >= 9.2e18) NotA("integer", FloatText(*d), field);
    return static_cast<int64_t>(*d);
  }
  const std::string& text = std::get<std::string>(value);
  int64_t result = 0;
  if (!ParseInteger(text, result)) NotA("integer", text, field);
  return result;
}

double ToFloat(const TFieldValue& value, const std::string& field) {
  if (auto* i = std::get_if<int64_t>(&value)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&value)) return *d;
  const std::string& text = std::get<std::string>(value);
  double result = 0;
  if (!ParseFloat(text, result)) NotA("floating point", text, field);
  return result;
}

std::string ToText(const TFieldValue& value) {
  if (auto* s = std::get_if<std::string>(&value)) return *s;
  if (auto* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&value)) return FloatText(*d);
  return {};
}

bool IsNullValue(const TFieldValue& value) { return std::holds_alternative<std::monostate>(value); }

}  // namespace

TFieldValue TField::Convert(const TFieldValue& value, TFieldType type, const std::string& field) {
  if (IsNullValue(value)) return value;
  // An empty text is no number: a cleared numeric field is null.
  auto* text = std::get_if<std::string>(&value);
  if (type != ftString && text && Trim(*text).empty()) return {};
  switch (type) {
    case ftString:
      return ToText(value);
    case ftInteger: {
      int64_t i = ToInteger(value, field);
      if (i < std::numeric_limits<int32_t>::min() || i > std::numeric_limits<int32_t>::max())
        NotA("integer", ToText(value), field);
      return i;
    }
    case ftLargeint:
      return ToInteger(value, field);
    case ftFloat:
      return ToFloat(value, field);
  }
  return value;
}

// ---- fields ----

TField::TField(TDataSet* dataSet, const TFieldDef& def, int index)
    : dataSet_(dataSet), name_(def.Name), dataType_(def.DataType), size_(def.Size), index_(index),
      required_(def.Required) {}

const TFieldValue& TField::Value() const {
  static const TFieldValue null;
  const TRecordBuffer& buffer = dataSet_->buffer_;
  return index_ < static_cast<int>(buffer.size()) ? buffer[index_] : null;
}

bool TField::IsNull() const { return IsNullValue(Value()); }
std::string TField::AsString() const { return ToText(Value()); }
int64_t TField::AsInteger() const { return IsNull() ? 0 : ToInteger(Value(), name_); }
double TField::AsFloat() const { return IsNull() ? 0 : ToFloat(Value(), name_); }

void TField::SetValue(const TFieldValue& value) {
  if (readOnly_) throw EDatabaseError("Field '" + name_ + "' cannot be modified");
  TFieldValue converted = Convert(value, dataType_, name_);
  auto* text = std::get_if<std::string>(&converted);
  if (text && size_ > 0 && static_cast<int>(text->size()) > size_)
    throw EDatabaseError("Value too long for field '" + name_ + "'");
  TDataSet& set = *dataSet_;
  if (set.State() == dsBrowse) set.Edit();
  if (set.State() != dsEdit && set.State() != dsInsert)
    throw EDatabaseError("Data set not in edit or insert mode");
  set.buffer_[index_] = std::move(converted);
  set.FieldChanged(this);
}

void TField::SetAsString(const std::string& value) { SetValue(value); }
void TField::SetAsInteger(int64_t value) { SetValue(value); }
void TField::SetAsFloat(double value) { SetValue(value); }
void TField::SetNull() { SetValue(TFieldValue{}); }

// ---- data sets ----

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
  Destroying();
  // The back end is already gone (a derived destructor closed it, or it had nothing to close):
  // only tell the links that nothing is open any more.
  if (state_ != dsInactive) {
    state_ = dsInactive;
    fields_.clear();
    buffer_.clear();
    DataEvent(deUpdateState, 0);
  }
  for (TDataSource* source : std::vector<TDataSource*>(sources_)) source->SetDataSet(nullptr);
}

void TDataSet::SetActive(bool value) {
  if (InState(csLoading)) {
    streamedActive_ = value;
    return;
  }
  if (value == Active()) return;
  if (value)
    OpenSet();
  else
    CloseSet();
}

void TDataSet::Loaded() {
  inherited::Loaded();
  if (streamedActive_) Open();
}

void TDataSet::OpenSet() {
  Fire(events_.BeforeOpen);
  ownDefs_ = fieldDefs_.Count() == 0;
  try {
    InternalOpen();
    BuildFields();
  } catch (...) {
    fields_.clear();
    if (ownDefs_) fieldDefs_.Clear();
    throw;
  }
  current_ = InternalRecordCount() > 0 ? 0 : -1;
  bof_ = true;
  eof_ = current_ < 0;
  ReadCurrent();
  SetState(dsBrowse);
  Fire(events_.AfterOpen);
}

void TDataSet::CloseSet() {
  CheckBrowseMode();
  Fire(events_.BeforeClose);
  InternalClose();
  fields_.clear();
  buffer_.clear();
  current_ = -1;
  bof_ = eof_ = true;
  SetState(dsInactive);
  if (ownDefs_) fieldDefs_.Clear();
  Fire(events_.AfterClose);
}

void TDataSet::BuildFields() {
  fields_.clear();
  for (int i = 0; i < fieldDefs_.Count(); ++i) fields_.push_back(std::make_unique<TField>(this, fieldDefs_.Items(i), i));
}

void TDataSet::ReadCurrent() {
  buffer_ = current_ >= 0 ? InternalReadRecord(current_) : TRecordBuffer();
  buffer_.resize(fields_.size());
  // A back end's raw values take the fields' types (text rows of a typed set, say).
  for (size_t i = 0; i < fields_.size(); ++i)
    buffer_[i] = TField::Convert(buffer_[i], fields_[i]->DataType(), fields_[i]->Name());
}

void TDataSet::SetState(TDataSetState value) {
  if (state_ == value) return;
  state_ = value;
  DataEvent(deUpdateState, 0);
}

void TDataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed data set");
}

void TDataSet::CheckCanModify() const {
  CheckActive();
  if (!CanModify()) throw EDatabaseError("Cannot modify a read-only data set");
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  if (state_ == dsEdit || state_ == dsInsert) Post();
}

void TDataSet::UpdateRecord() {
  if (state_ != dsEdit && state_ != dsInsert) throw EDatabaseError("Data set not in edit or insert mode");
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::First() {
  CheckBrowseMode();
  Fire(events_.BeforeScroll);
  int old = current_;
  int count = InternalRecordCount();
  current_ = count > 0 ? 0 : -1;
  bof_ = true;
  eof_ = count == 0;
  if (current_ != old) ReadCurrent();
  DataEvent(deDataSetScroll, current_ - old);
  Fire(events_.AfterScroll);
}

void TDataSet::Last() {
  CheckBrowseMode();
  Fire(events_.BeforeScroll);
  int old = current_;
  int count = InternalRecordCount();
  current_ = count - 1;
  eof_ = true;
  bof_ = count == 0;
  if (current_ != old) ReadCurrent();
  DataEvent(deDataSetScroll, current_ - old);
  Fire(events_.AfterScroll);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if (distance == 0) return 0;
  Fire(events_.BeforeScroll);
  int count = InternalRecordCount();
  int old = current_;
  if (count == 0) {
    bof_ = eof_ = true;
  } else {
    long long target = static_cast<long long>(current_) + distance;
    bof_ = target < 0;
    eof_ = target >= count;
    current_ = static_cast<int>(std::clamp<long long>(target, 0, count - 1));
  }
  if (current_ != old) ReadCurrent();
  DataEvent(deDataSetScroll, current_ - old);
  Fire(events_.AfterScroll);
  return current_ - old;
}

void TDataSet::Insert() {
  CheckBrowseMode();
  CheckCanModify();
  StartNew(current_ < 0 ? 0 : current_);
}

void TDataSet::Append() {
  CheckBrowseMode();
  CheckCanModify();
  StartNew(InternalRecordCount());
}

void TDataSet::StartNew(int index) {
  Fire(events_.BeforeInsert);
  insertAt_ = index;
  savedBof_ = bof_;
  savedEof_ = eof_;
  buffer_.assign(fields_.size(), TFieldValue{});
  bof_ = false;
  eof_ = index >= InternalRecordCount();
  SetState(dsInsert);
  Fire(events_.OnNewRecord);
  DataEvent(deDataSetChange, 0);
  Fire(events_.AfterInsert);
}

void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  CheckCanModify();
  if (InternalRecordCount() == 0) return Append();  // nothing to edit: a new record
  Fire(events_.BeforeEdit);
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  Fire(events_.AfterEdit);
}

void TDataSet::CheckRequired() const {
  for (const auto& field : fields_)
    if (field->Required() && field->IsNull()) throw EDatabaseError("Field '" + field->Name() + "' must have a value");
}

void TDataSet::Post() {
  UpdateRecord();
  Fire(events_.BeforePost);
  CheckRequired();
  bool inserting = state_ == dsInsert;
  int index = inserting ? insertAt_ : current_;
  // On failure the set stays in edit mode with the buffer intact: nothing typed is lost.
  InternalPost(index, buffer_, inserting);
  current_ = index;
  if (inserting) bof_ = eof_ = false;
  ReadCurrent();
  SetState(dsBrowse);
  DataEvent(deDataSetChange, 0);
  Fire(events_.AfterPost);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  Fire(events_.BeforeCancel);
  if (state_ == dsInsert) {
    bof_ = savedBof_;
    eof_ = savedEof_;
  }
  ReadCurrent();
  SetState(dsBrowse);
  DataEvent(deDataSetChange, 0);
  Fire(events_.AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) return Cancel();  // the new record was never stored
  if (InternalRecordCount() == 0) throw EDatabaseError("Cannot perform this operation on an empty data set");
  CheckCanModify();
  DataEvent(deCheckBrowseMode, 0);
  Fire(events_.BeforeDelete);
  InternalDelete(current_);
  int count = InternalRecordCount();
  current_ = std::min(current_, count - 1);
  bof_ = eof_ = count == 0;
  ReadCurrent();
  SetState(dsBrowse);
  DataEvent(deDataSetChange, 0);
  Fire(events_.AfterDelete);
  Fire(events_.AfterScroll);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  InternalRefresh();
  int count = InternalRecordCount();
  current_ = count == 0 ? -1 : std::clamp(current_, 0, count - 1);
  if (count == 0) bof_ = eof_ = true;
  ReadCurrent();
  DataEvent(deDataSetChange, 0);
}

int TDataSet::RecordCount() const { return Active() ? InternalRecordCount() : 0; }

int TDataSet::RecNo() const { return state_ == dsInsert || !Active() ? 0 : current_ + 1; }

TField* TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) throw EListError("Field index out of bounds");
  return fields_[index].get();
}

TField* TDataSet::FindField(std::string_view name) const {
  for (const auto& field : fields_)
    if (SameText(field->Name(), name)) return field.get();
  return nullptr;
}

TField* TDataSet::FieldByName(std::string_view name) const {
  if (TField* field = FindField(name)) return field;
  throw EDatabaseError("Field '" + std::string(name) + "' not found");
}

void TDataSet::FieldChanged(TField* field) { DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field)); }

void TDataSet::Fire(const TDataSetNotifyEvent& event) {
  // On the way out the handlers' owners may be gone already.
  if (event && !IsDestroying()) event(this);
}

void TDataSet::DataEvent(TDataEvent event, intptr_t info) {
  for (TDataSource* source : std::vector<TDataSource*>(sources_))
    if (std::find(sources_.begin(), sources_.end(), source) != sources_.end()) source->DataEvent(event, info);
}

void TDataSet::AddSource(TDataSource* source) { sources_.push_back(source); }

void TDataSet::RemoveSource(TDataSource* source) { std::erase(sources_, source); }

void TDataSet::DeclarePublished(TPublished<TDataSet>& p) {
  p.Boolean("Active", &TDataSet::Active, &TDataSet::SetActive);
  p.Event("BeforeOpen", &TDataSet::BeforeOpen, &TDataSet::SetBeforeOpen);
  p.Event("AfterOpen", &TDataSet::AfterOpen, &TDataSet::SetAfterOpen);
  p.Event("BeforeClose", &TDataSet::BeforeClose, &TDataSet::SetBeforeClose);
  p.Event("AfterClose", &TDataSet::AfterClose, &TDataSet::SetAfterClose);
  p.Event("BeforeInsert", &TDataSet::BeforeInsert, &TDataSet::SetBeforeInsert);
  p.Event("AfterInsert", &TDataSet::AfterInsert, &TDataSet::SetAfterInsert);
  p.Event("BeforeEdit", &TDataSet::BeforeEdit, &TDataSet::SetBeforeEdit);
  p.Event("AfterEdit", &TDataSet::AfterEdit, &TDataSet::SetAfterEdit);
  p.Event("BeforePost", &TDataSet::BeforePost, &TDataSet::SetBeforePost);
  p.Event("AfterPost", &TDataSet::AfterPost, &TDataSet::SetAfterPost);
  p.Event("BeforeCancel", &TDataSet::BeforeCancel, &TDataSet::SetBeforeCancel);
  p.Event("AfterCancel", &TDataSet::AfterCancel, &TDataSet::SetAfterCancel);
  p.Event("BeforeDelete", &TDataSet::BeforeDelete, &TDataSet::SetBeforeDelete);
  p.Event("AfterDelete", &TDataSet::AfterDelete, &TDataSet::SetAfterDelete);
  p.Event("BeforeScroll", &TDataSet::BeforeScroll, &TDataSet::SetBeforeScroll);
  p.Event("AfterScroll", &TDataSet::AfterScroll, &TDataSet::SetAfterScroll);
  p.Event("OnNewRecord", &TDataSet::OnNewRecord, &TDataSet::SetOnNewRecord);
}

// ---- data sources ----

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  Destroying();
  if (dataSet_) dataSet_->RemoveSource(this);
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->Detach();
}

void TDataSource::SetDataSet(TDataSet* value) {
  if (value == dataSet_.Get()) return;
  if (dataSet_) dataSet_->RemoveSource(this);
  dataSet_ = value;
  if (value) value->AddSource(this);
  NotifyActive();
}

void TDataSource::DataSetGone() {
  // The reference is already clear; the set's own list goes with it.
  NotifyActive();
}

void TDataSource::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  NotifyActive();
}

TDataSetState TDataSource::State() const { return dataSet_ && enabled_ ? dataSet_->State() : dsInactive; }

bool TDataSource::Edit() {
  if (autoEdit_ && State() == dsBrowse) dataSet_->Edit();
  TDataSetState state = State();
  return state == dsEdit || state == dsInsert;
}

void TDataSource::NotifyActive() {
  for (TDataLink* link : std::vector<TDataLink*>(links_))
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->UpdateState();
  if (State() != lastState_) {
    lastState_ = State();
    if (onStateChange_) onStateChange_(this);
  }
}

void TDataSource::DataEvent(TDataEvent event, intptr_t info) {
  if (event == deUpdateState) return NotifyActive();
  if (!enabled_) return;
  for (TDataLink* link : std::vector<TDataLink*>(links_))
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->DataEvent(event, info);
  switch (event) {
    case deFieldChange:
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (onDataChange_) onDataChange_(this, event == deFieldChange ? reinterpret_cast<TField*>(info) : nullptr);
      break;
    case deUpdateRecord:
      if (onUpdateData_) onUpdateData_(this);
      break;
    default:
      break;
  }
}

void TDataSource::AddLink(TDataLink* link) { links_.push_back(link); }

void TDataSource::RemoveLink(TDataLink* link) { std::erase(links_, link); }

void TDataSource::DeclarePublished(TPublished<TDataSource>& p) {
  p.Boolean("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit);
  p.Component("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
  p.Boolean("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled);
  p.Event("OnDataChange", &TDataSource::OnDataChange, &TDataSource::SetOnDataChange);
  p.Event("OnStateChange", &TDataSource::OnStateChange, &TDataSource::SetOnStateChange);
  p.Event("OnUpdateData", &TDataSource::OnUpdateData, &TDataSource::SetOnUpdateData);
}

// ---- data links ----

TDataLink::~TDataLink() {
  if (dataSource_) dataSource_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* value) {
  if (value == dataSource_) return;
  if (dataSource_) dataSource_->RemoveLink(this);
  dataSource_ = value;
  if (value) value->AddLink(this);
  UpdateState();
}

TDataSet* TDataLink::DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }

void TDataLink::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  UpdateState();
}

bool TDataLink::Edit() {
  if (!readOnly_ && dataSource_) dataSource_->Edit();
  return editing_;
}

void TDataLink::UpdateRecord() {
  TRestoreOnExit<bool> restore(updating_, true);
  UpdateData();
}

void TDataLink::UpdateState() {
  TDataSetState state = dataSource_ ? dataSource_->State() : dsInactive;
  SetActive(state != dsInactive);
  SetEditing((state == dsEdit || state == dsInsert) && !readOnly_);
}

void TDataLink::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  ActiveChanged();
}

void TDataLink::SetEditing(bool value) {
  if (value == editing_) return;
  editing_ = value;
  EditingChanged();
}

void TDataLink::Detach() {
  dataSource_ = nullptr;
  UpdateState();
  DataSourceGone();
}

void TDataLink::DataSourceGone() {
  if (onDataSourceGone_) onDataSourceGone_();
}

void TDataLink::DataEvent(TDataEvent event, intptr_t info) {
  if (event == deUpdateState) return UpdateState();
  if (!active_) return;
  switch (event) {
    case deFieldChange:
      if (!updating_) RecordChanged(reinterpret_cast<TField*>(info));
      break;
    case deRecordChange:
      if (!updating_) RecordChanged(nullptr);
      break;
    case deDataSetChange:
      DataSetChanged();
      break;
    case deDataSetScroll:
      DataSetScrolled(static_cast<int>(info));
      break;
    case deLayoutChange:
      LayoutChanged();
      break;
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl:
      FocusControl(reinterpret_cast<TField**>(info));
      break;
    default:
      break;
  }
}
