#include "framework/data/MemDataSet.h"

TMemDataSet::~TMemDataSet() { Destroying(); }

void TMemDataSet::InternalPost(int index, TRecordBuffer& record, bool inserting) {
  if (inserting)
    rows_.insert(rows_.begin() + index, record);
  else
    rows_[index] = record;
}

void TMemDataSet::InternalDelete(int index) { rows_.erase(rows_.begin() + index); }

void TMemDataSet::DeclarePublished(TPublished<TMemDataSet>& p) {
  p.Boolean("ReadOnly", &TMemDataSet::ReadOnly, &TMemDataSet::SetReadOnly);
}
