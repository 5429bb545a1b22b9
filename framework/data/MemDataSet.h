// A data set whose rows live in memory: declare the columns with FieldDefs().Add before Open,
// then Append/Post rows. With ReadOnly the set only browses (Edit, Insert and Delete raise).
#pragma once

#include <vector>

#include "framework/data/DB.h"

class TMemDataSet : public TDataSet {
  VANTOR_CLASS(TMemDataSet, TDataSet)
public:
  explicit TMemDataSet(TComponent* owner) : TDataSet(owner) {}
  ~TMemDataSet() override;

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool CanModify() const override { return Active() && !readOnly_; }

  // The rows as stored (for back ends built on this one and for tests).
  const std::vector<TRecordBuffer>& Rows() const { return rows_; }

  static void DeclarePublished(TPublished<TMemDataSet>& p);

protected:
  void InternalOpen() override {}
  void InternalClose() override {}
  int InternalRecordCount() const override { return static_cast<int>(rows_.size()); }
  TRecordBuffer InternalReadRecord(int index) const override { return rows_[index]; }
  void InternalPost(int index, TRecordBuffer& record, bool inserting) override;
  void InternalDelete(int index) override;
  // Replaces every row (a loader's result).
  void SetRows(std::vector<TRecordBuffer> rows) { rows_ = std::move(rows); }

private:
  std::vector<TRecordBuffer> rows_;
  bool readOnly_ = false;
};
