// The data layer: data sets (a current record over rows kept by a back end), their fields,
// data sources that fan a data set's events out to data links, and the links that data-aware
// controls keep.
//
// A data set is inactive until Open; then it browses one record at a time (RecNo, Bof, Eof).
// Edit, Insert and Append copy the current record (or a new one) into an edit buffer that the
// fields write to; Post hands the buffer to the back end (InternalPost), Cancel drops it.
// Moving or closing while editing posts first (CheckBrowseMode), so an edit is never lost
// silently. Every change is announced to the data sources that point to the set, and each
// source passes it on to its links:
//   open/close                       -> ActiveChanged
//   post, delete, refresh, insert    -> DataSetChanged
//   a move                           -> DataSetScrolled(distance)
//   entering or leaving edit/insert  -> EditingChanged
//   a field value set                -> RecordChanged(field)
//
// A back end (TMemDataSet, TCsvDataSet, TOdbcQuery) overrides the protected Internal*
// functions; it never announces anything itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "framework/core/Classes.h"

// A data set operation is impossible in the set's state, a value does not convert, a required
// field is empty, or a back end failed (its message is passed on as is).
class EDatabaseError : public Exception {
public:
  using Exception::Exception;
};

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
inline const TEnumInfo DataSetStateInfo("TDataSetState", {"dsInactive", "dsBrowse", "dsEdit", "dsInsert"});

enum TFieldType { ftString, ftInteger, ftFloat, ftLargeint };
inline const TEnumInfo FieldTypeInfo("TFieldType", {"ftString", "ftInteger", "ftFloat", "ftLargeint"});

enum TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  deFocusControl,
};

// One value of a record: null, text, a whole number or a floating-point number.
using TFieldValue = std::variant<std::monostate, std::string, int64_t, double>;
using TRecordBuffer = std::vector<TFieldValue>;

class TDataSet;
class TDataSource;
class TDataLink;

// The definition of one column: what a back end reports, or what a program declares before Open.
struct TFieldDef {
  std::string Name;
  TFieldType DataType = ftString;
  int Size = 0;  // the longest text a string field takes (0: unlimited)
  bool Required = false;
};

class TFieldDefs {
public:
  void Add(const std::string& name, TFieldType type, int size = 0, bool required = false);
  void Clear() { defs_.clear(); }
  int Count() const { return static_cast<int>(defs_.size()); }
  // EListError outside 0..Count()-1.
  const TFieldDef& Items(int index) const;
  // Index of NAME (case-insensitive), -1 when absent.
  int IndexOf(std::string_view name) const;

private:
  std::vector<TFieldDef> defs_;
};

// A column of a data set's current record. Reads and writes go to the set's record buffer;
// writing puts a browsing set into edit mode first.
class TField : public TObject {
public:
  TField(TDataSet* dataSet, const TFieldDef& def, int index);

  TDataSet* DataSet() const { return dataSet_; }
  const std::string& FieldName() const { return name_; }
  const std::string& Name() const { return name_; }
  TFieldType DataType() const { return dataType_; }
  int Size() const { return size_; }
  int Index() const { return index_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool Required() const { return required_; }
  void SetRequired(bool value) { required_ = value; }

  bool IsNull() const;
  const TFieldValue& Value() const;
  // Text of the value ("" for null; numbers in their shortest exact form).
  std::string AsString() const;
  // EDatabaseError when the value is not a whole number (null reads as 0).
  int64_t AsInteger() const;
  // EDatabaseError when the value is not a number (null reads as 0).
  double AsFloat() const;

  // Setters convert to the field's type (EDatabaseError when they cannot) and raise for a
  // read-only field or a set that cannot be edited.
  void SetValue(const TFieldValue& value);
  void SetAsString(const std::string& value);
  void SetAsInteger(int64_t value);
  void SetAsFloat(double value);
  void SetNull();

  // VALUE converted to TYPE; EDatabaseError naming FIELD when it does not convert.
  static TFieldValue Convert(const TFieldValue& value, TFieldType type, const std::string& field);

private:
  TDataSet* dataSet_;
  std::string name_;
  TFieldType dataType_;
  int size_;
  int index_;
  bool readOnly_ = false;
  bool required_;
};

using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;

class TDataSet : public TComponent {
  VANTOR_CLASS(TDataSet, TComponent)
public:
  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;

  TDataSetState State() const { return state_; }
  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }

  void First();
  void Prior() { MoveBy(-1); }
  void Next() { MoveBy(1); }
  void Last();
  // Moves DISTANCE records (clamped at either end, which then sets Bof or Eof); returns the
  // distance actually moved.
  int MoveBy(int distance);

  void Insert();
  void Append();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  void Refresh();
  // Posts when editing or inserting; raises when the set is inactive.
  void CheckBrowseMode();
  // Lets the links write their pending values into the record buffer (before a post).
  void UpdateRecord();

  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  virtual bool CanModify() const { return Active(); }
  bool IsEmpty() const { return RecordCount() == 0 && state_ != dsInsert; }
  int RecordCount() const;
  // 1-based number of the current record; 0 when there is none (empty, or a new record).
  int RecNo() const;

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  // EListError outside 0..FieldCount()-1.
  TField* Fields(int index) const;
  // EDatabaseError when there is no field of that name (case-insensitive).
  TField* FieldByName(std::string_view name) const;
  TField* FindField(std::string_view name) const;
  TFieldDefs& FieldDefs() { return fieldDefs_; }
  const TFieldDefs& FieldDefs() const { return fieldDefs_; }

  // The record buffer the fields read (the edit buffer while editing).
  const TRecordBuffer& ActiveBuffer() const { return buffer_; }

#define VANTOR_DATASET_EVENT(Name)                                        \
  const TDataSetNotifyEvent& Name() const { return events_.Name; }       \
  void Set##Name(TDataSetNotifyEvent handler) { events_.Name = std::move(handler); }
  VANTOR_DATASET_EVENT(BeforeOpen)
  VANTOR_DATASET_EVENT(AfterOpen)
  VANTOR_DATASET_EVENT(BeforeClose)
  VANTOR_DATASET_EVENT(AfterClose)
  VANTOR_DATASET_EVENT(BeforeInsert)
  VANTOR_DATASET_EVENT(AfterInsert)
  VANTOR_DATASET_EVENT(BeforeEdit)
  VANTOR_DATASET_EVENT(AfterEdit)
  VANTOR_DATASET_EVENT(BeforePost)
  VANTOR_DATASET_EVENT(AfterPost)
  VANTOR_DATASET_EVENT(BeforeCancel)
  VANTOR_DATASET_EVENT(AfterCancel)
  VANTOR_DATASET_EVENT(BeforeDelete)
  VANTOR_DATASET_EVENT(AfterDelete)
  VANTOR_DATASET_EVENT(BeforeScroll)
  VANTOR_DATASET_EVENT(AfterScroll)
  VANTOR_DATASET_EVENT(OnNewRecord)
#undef VANTOR_DATASET_EVENT

  void Loaded() override;
  static void DeclarePublished(TPublished<TDataSet>& p);

protected:
  // ---- the back end ----
  // Makes the rows available and fills FieldDefs when it is empty (a program's definitions
  // made before Open are kept).
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual int InternalRecordCount() const = 0;
  virtual TRecordBuffer InternalReadRecord(int index) const = 0;
  // Stores RECORD as a new row at INDEX (INSERTING) or over row INDEX; may complete RECORD
  // (a generated key) so the buffer shows what was stored.
  virtual void InternalPost(int index, TRecordBuffer& record, bool inserting) = 0;
  virtual void InternalDelete(int index) = 0;
  // Re-reads the rows (the default does nothing: the rows are the back end's own).
  virtual void InternalRefresh() {}

  // Raises EDatabaseError unless the set is active.
  void CheckActive() const;
  // Called by the published Active while a description is read: opening waits for Loaded.
  bool streamedActive_ = false;

private:
  friend class TField;
  friend class TDataSource;
  void OpenSet();
  void CloseSet();
  void BuildFields();
  void CheckCanModify() const;
  void CheckRequired() const;
  void ReadCurrent();
  void SetState(TDataSetState value);
  void StartNew(int index);
  void FieldChanged(TField* field);
  void Fire(const TDataSetNotifyEvent& event);
  void DataEvent(TDataEvent event, intptr_t info);
  void AddSource(TDataSource* source);
  void RemoveSource(TDataSource* source);

  struct TEvents {
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert, BeforeEdit,
        AfterEdit, BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll,
        AfterScroll, OnNewRecord;
  } events_;
  TDataSetState state_ = dsInactive;
  TFieldDefs fieldDefs_;
  bool ownDefs_ = false;  // FieldDefs were filled by the back end (cleared again on Close)
  std::vector<std::unique_ptr<TField>> fields_;
  std::vector<TDataSource*> sources_;
  TRecordBuffer buffer_;
  int current_ = -1;    // index of the current row, -1 when there is none
  int insertAt_ = -1;   // where a new record goes while inserting
  bool bof_ = true, eof_ = true;
  bool savedBof_ = true, savedEof_ = true;  // restored when an insert is cancelled
};

using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;

// Connects data-aware controls (through their links) to a data set.
class TDataSource : public TComponent {
  VANTOR_CLASS(TDataSource, TComponent)
public:
  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return dataSet_.Get(); }
  void SetDataSet(TDataSet* value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Whether a link's Edit (typing into a control) may put a browsing set into edit mode.
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool value) { autoEdit_ = value; }
  // Puts a browsing set into edit mode when AutoEdit allows; true when it is editing.
  bool Edit();
  // The data set's state; dsInactive without a set or while disabled.
  TDataSetState State() const;

  // Fired on record changes and moves (FIELD: the field whose value changed, or nullptr).
  const TDataChangeEvent& OnDataChange() const { return onDataChange_; }
  void SetOnDataChange(TDataChangeEvent handler) { onDataChange_ = std::move(handler); }
  const TNotifyEvent& OnStateChange() const { return onStateChange_; }
  void SetOnStateChange(TNotifyEvent handler) { onStateChange_ = std::move(handler); }
  const TNotifyEvent& OnUpdateData() const { return onUpdateData_; }
  void SetOnUpdateData(TNotifyEvent handler) { onUpdateData_ = std::move(handler); }

  int LinkCount() const { return static_cast<int>(links_.size()); }
  static void DeclarePublished(TPublished<TDataSource>& p);

private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent event, intptr_t info);
  void NotifyActive();
  void DataSetGone();
  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);

  TComponentRef<TDataSet> dataSet_{this, [this] { DataSetGone(); }};
  bool enabled_ = true, autoEdit_ = true;
  TDataSetState lastState_ = dsInactive;
  std::vector<TDataLink*> links_;
  TDataChangeEvent onDataChange_;
  TNotifyEvent onStateChange_, onUpdateData_;
};

// What a data-aware control keeps to follow a data source. Not a component: the control owns
// it. The data source reference clears itself when the source goes; the link is then told
// through DataSourceGone (which runs the handler set with SetOnDataSourceGone).
class TDataLink {
public:
  TDataLink() = default;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;
  virtual ~TDataLink();

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* value);
  TDataSet* DataSet() const;
  // The source is enabled and its set open.
  bool Active() const { return active_; }
  // The set is in edit or insert mode (as seen by this link).
  bool Editing() const { return editing_; }
  bool VisualControl() const { return visualControl_; }
  void SetVisualControl(bool value) { visualControl_ = value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);

  // Puts the set into edit mode unless the link is read-only; true when it is editing.
  bool Edit();
  // Runs UpdateData while the set collects the links' pending values.
  void UpdateRecord();

  void SetOnDataSourceGone(std::function<void()> handler) { onDataSourceGone_ = std::move(handler); }

protected:
  virtual void ActiveChanged() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void EditingChanged() {}
  virtual void RecordChanged(TField*) {}
  virtual void DataSetScrolled(int) { DataSetChanged(); }
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void UpdateData() {}
  virtual void CheckBrowseMode() {}
  virtual void FocusControl(TField**) {}
  // The data source went; the reference is already cleared.
  virtual void DataSourceGone();

private:
  friend class TDataSource;
  void DataEvent(TDataEvent event, intptr_t info);
  void UpdateState();
  void SetActive(bool value);
  void SetEditing(bool value);
  void Detach();

  TDataSource* dataSource_ = nullptr;
  bool active_ = false, editing_ = false, visualControl_ = false, readOnly_ = false, updating_ = false;
  std::function<void()> onDataSourceGone_;
};
