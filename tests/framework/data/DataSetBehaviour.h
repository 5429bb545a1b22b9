// The behaviour every data set shares, as one table of cases run against each back end.
//
// A back end's maker builds a set with the columns ID (integer, the key) and NAME (text,
// required), holding the rows 1 "one", 2 "two", 3 "three", opened; Stored reads back what the
// back end keeps (independently of the set: the file, the database), as "ID|NAME" lines in
// stored order. The memory and CSV sets are instantiated in DataSetBehaviourTest.cpp, the
// ODBC query in OdbcDataSetTest.cpp (Windows only).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/data/DB.h"

struct TDataSetMaker {
  std::string Name;
  // Makes the set, owned by OWNER; the maker may keep state (a folder, a database) in the
  // returned holder, which lives as long as the test.
  std::function<TDataSet*(TComponent* owner, std::shared_ptr<void>& holder)> Make;
  std::function<std::vector<std::string>(TDataSet& set, const std::shared_ptr<void>& holder)> Stored;
};

inline void PrintTo(const TDataSetMaker& maker, std::ostream* os) { *os << maker.Name; }
inline std::string MakerName(const testing::TestParamInfo<TDataSetMaker>& info) { return info.param.Name; }

// A link that writes down every notification it gets, for order checks.
class TLoggingLink : public TDataLink {
public:
  explicit TLoggingLink(std::vector<std::string>& log) : log_(log) {}

protected:
  void ActiveChanged() override { log_.push_back(Active() ? "link:active" : "link:inactive"); }
  void DataSetChanged() override { log_.push_back("link:changed"); }
  void EditingChanged() override { log_.push_back(Editing() ? "link:editing" : "link:browsing"); }
  void RecordChanged(TField* field) override { log_.push_back("link:record " + (field ? field->Name() : "-")); }
  void DataSetScrolled(int distance) override { log_.push_back("link:scrolled " + std::to_string(distance)); }
  void UpdateData() override { log_.push_back("link:update"); }

private:
  std::vector<std::string>& log_;
};

class DataSetBehaviour : public testing::TestWithParam<TDataSetMaker> {
protected:
  void SetUp() override { set_ = GetParam().Make(&owner_, holder_); }
  void TearDown() override {
    // The set goes before the holder (the database or folder it works on).
    owner_.DestroyComponents();
  }
  std::vector<std::string> Stored() { return GetParam().Stored(*set_, holder_); }
  // The rows as the set shows them, walking from the first.
  std::vector<std::string> Walk();
  std::string Current() const { return set_->FieldByName("ID")->AsString() + "|" + set_->FieldByName("NAME")->AsString(); }
  void SetRow(int64_t id, const std::string& name) {
    set_->FieldByName("ID")->SetAsInteger(id);
    set_->FieldByName("NAME")->SetAsString(name);
  }

  TComponent owner_{nullptr};
  std::shared_ptr<void> holder_;
  TDataSet* set_ = nullptr;
};
