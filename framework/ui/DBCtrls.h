// Data-aware controls: an edit and a label that show a field of their data source's current
// record, through a field data link.
//
// TDBEdit: shows the field's text; typing puts the data set into edit mode (a key that cannot
// edit is refused with a beep); the typed text is written to the field when the edit loses the
// focus, on Return, and before the set posts; Escape puts the field's value back.
//
// Field values are UTF-8 and the windows ANSI: both controls show a value in the ANSI code page
// (what it cannot hold shows as "?"), and the edit writes its text back as UTF-8.
#pragma once

#include <functional>
#include <string>

#include "framework/data/DB.h"
#include "framework/ui/StdCtrls.h"

// A link to one field of the current record: Field() follows the set's opening and closing
// and the FieldName; the handlers tell its control what happened.
class TFieldDataLink : public TDataLink {
public:
  TFieldDataLink() { SetVisualControl(true); }

  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& value);
  // The field of that name while the link is active, else nullptr.
  TField* Field() const { return field_; }
  // The field can be written through this link (active, not read-only, a modifiable set).
  bool CanModify() const;
  // The control's text differs from the field.
  bool IsModified() const { return modified_; }
  void Modified() { modified_ = true; }
  // Shows the field's value again, dropping what was typed.
  void Reset();

  void SetOnDataChange(std::function<void()> handler) { onDataChange_ = std::move(handler); }
  void SetOnEditingChange(std::function<void()> handler) { onEditingChange_ = std::move(handler); }
  void SetOnUpdateData(std::function<void()> handler) { onUpdateData_ = std::move(handler); }
  void SetOnActiveChange(std::function<void()> handler) { onActiveChange_ = std::move(handler); }

protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void RecordChanged(TField* field) override;
  void LayoutChanged() override;
  void UpdateData() override;

private:
  void UpdateField();
  static void Call(const std::function<void()>& handler) {
    if (handler) handler();
  }

  std::string fieldName_;
  TField* field_ = nullptr;
  bool modified_ = false;
  std::function<void()> onDataChange_, onEditingChange_, onUpdateData_, onActiveChange_;
};

// A single-line EDIT bound to DataSource + DataField.
class TDBEdit : public TWinControl {
  VANTOR_CLASS(TDBEdit, TWinControl)
public:
  explicit TDBEdit(TComponent* owner);
  ~TDBEdit() override;

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* value);
  const std::string& DataField() const { return link_.FieldName(); }
  void SetDataField(const std::string& value) { link_.SetFieldName(value); }
  TField* Field() const { return link_.Field(); }
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool value);
  // Whether the text was typed since the field's value was shown.
  bool Modified() const { return link_.IsModified(); }
  const TFieldDataLink& DataLink() const { return link_; }

  void WndProc(TMessage& m) override;
  static void DeclarePublished(TPublished<TDBEdit>& p);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void DoExit() override;

private:
  void DataChange();
  void UpdateData();
  void ShowText(const std::string& text);
  void SelectAll();
  void CNCommand(TMessage& m);
  TFieldDataLink link_;
  bool showing_ = false;  // the text is being set from the field: no change of the user's
};

// A label showing a field of the current record (nothing while the link is inactive).
class TDBText : public TCustomLabel {
  VANTOR_CLASS(TDBText, TCustomLabel)
public:
  explicit TDBText(TComponent* owner);
  ~TDBText() override;

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* value) { link_.SetDataSource(value); }
  const std::string& DataField() const { return link_.FieldName(); }
  void SetDataField(const std::string& value) { link_.SetFieldName(value); }
  TField* Field() const { return link_.Field(); }

  static void DeclarePublished(TPublished<TDBText>& p);

private:
  void DataChange();
  TFieldDataLink link_;
};
