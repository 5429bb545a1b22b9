#include "framework/data/DB.h"

#include <gtest/gtest.h>

#include "framework/data/MemDataSet.h"
#include "tests/framework/data/DataSetBehaviour.h"

namespace {

using Rows = std::vector<std::string>;

TMemDataSet* MakeSet(TComponent* owner, int rows) {
  auto* set = new TMemDataSet(owner);
  set->FieldDefs().Add("N", ftInteger);
  set->Open();
  for (int i = 1; i <= rows; ++i) {
    set->Append();
    set->Fields(0)->SetAsInteger(i);
    set->Post();
  }
  set->First();
  return set;
}

TEST(FieldValues, ConvertBetweenTextAndNumbersOrRaise) {
  EXPECT_EQ(std::get<int64_t>(TField::Convert(std::string("12"), ftInteger, "F")), 12);
  EXPECT_EQ(std::get<int64_t>(TField::Convert(std::string("-7"), ftLargeint, "F")), -7);
  EXPECT_EQ(std::get<int64_t>(TField::Convert(3.0, ftInteger, "F")), 3);
  EXPECT_EQ(std::get<double>(TField::Convert(std::string("2.25"), ftFloat, "F")), 2.25);
  EXPECT_EQ(std::get<std::string>(TField::Convert(0.1, ftString, "F")), "0.1");
  EXPECT_EQ(std::get<std::string>(TField::Convert(int64_t{-5}, ftString, "F")), "-5");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(TField::Convert(std::string(" "), ftInteger, "F")))
      << "a blank number is null";
  EXPECT_TRUE(std::holds_alternative<std::monostate>(TField::Convert(TFieldValue{}, ftString, "F")));
  try {
    TField::Convert(std::string("x"), ftInteger, "Age");
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "'x' is not a valid integer value for field 'Age'");
  }
  for (const char* bad : {"1x", "1.5", "99999999999", "--1"}) {
    EXPECT_THROW(TField::Convert(std::string(bad), ftInteger, "F"), EDatabaseError) << bad;
  }
  EXPECT_THROW(TField::Convert(2.5, ftInteger, "F"), EDatabaseError) << "nothing is rounded away";
  EXPECT_THROW(TField::Convert(1e300, ftLargeint, "F"), EDatabaseError);
  EXPECT_THROW(TField::Convert(std::string("nan"), ftFloat, "F"), EDatabaseError);
  EXPECT_THROW(TField::Convert(std::string("1e999"), ftFloat, "F"), EDatabaseError);
}

TEST(FieldDefs, NamesAreUniqueWithoutCaseAndNotEmpty) {
  TFieldDefs defs;
  defs.Add("Name", ftString, 10);
  EXPECT_THROW(defs.Add("NAME", ftInteger), EDatabaseError);
  EXPECT_THROW(defs.Add("", ftInteger), EDatabaseError);
  EXPECT_EQ(defs.IndexOf("name"), 0);
  EXPECT_EQ(defs.IndexOf("x"), -1);
  EXPECT_THROW(defs.Items(1), EListError);
}

TEST(DataSet, AClosedSetRefusesWorkAndReportsNothing) {
  TComponent owner(nullptr);
  TMemDataSet set(&owner);
  set.FieldDefs().Add("N", ftInteger);
  EXPECT_EQ(set.RecordCount(), 0);
  EXPECT_EQ(set.RecNo(), 0);
  EXPECT_THROW(set.Next(), EDatabaseError);
  EXPECT_THROW(set.Append(), EDatabaseError);
  EXPECT_THROW(set.Delete(), EDatabaseError);
  EXPECT_THROW(set.Post(), EDatabaseError);
  EXPECT_EQ(set.FieldCount(), 0);
  set.Open();
  EXPECT_EQ(set.FieldCount(), 1) << "the program's definitions stay";
  EXPECT_THROW(set.Post(), EDatabaseError) << "nothing to post while browsing";
  set.Close();
  EXPECT_EQ(set.FieldDefs().Count(), 1);
}

TEST(DataSet, AReadOnlyMemorySetBrowsesOnly) {
  TComponent owner(nullptr);
  TMemDataSet* set = MakeSet(&owner, 2);
  set->SetReadOnly(true);
  EXPECT_FALSE(set->CanModify());
  EXPECT_THROW(set->Edit(), EDatabaseError);
  EXPECT_THROW(set->Insert(), EDatabaseError);
  EXPECT_THROW(set->Append(), EDatabaseError);
  EXPECT_THROW(set->Delete(), EDatabaseError);
  EXPECT_THROW(set->Fields(0)->SetAsInteger(5), EDatabaseError);
  EXPECT_EQ(set->State(), dsBrowse);
  set->Next();
  EXPECT_EQ(set->Fields(0)->AsInteger(), 2);
}

TEST(DataSet, FieldRulesHoldOnWrite) {
  TComponent owner(nullptr);
  TMemDataSet set(&owner);
  set.FieldDefs().Add("S", ftString, 3);
  set.Open();
  set.Append();
  EXPECT_THROW(set.Fields(0)->SetAsString("four"), EDatabaseError);
  set.Fields(0)->SetAsString("abc");
  set.Fields(0)->SetReadOnly(true);
  EXPECT_THROW(set.Fields(0)->SetAsString("x"), EDatabaseError);
  set.Post();
  EXPECT_EQ(set.Fields(0)->AsString(), "abc");
}

TEST(DataSet, ActiveFromADescriptionOpensOnceLoaded) {
  TComponent owner(nullptr);
  TMemDataSet set(&owner);
  set.FieldDefs().Add("N", ftInteger);
  set.BeginLoading();
  set.SetActive(true);
  EXPECT_FALSE(set.Active());
  set.Loaded();
  EXPECT_TRUE(set.Active());
}

TEST(DataSource, LinksLetGoOfASourceThatGoesAndSourcesOfASetThatGoes) {
  std::vector<std::string> log;
  TComponent owner(nullptr);
  TMemDataSet* set = MakeSet(&owner, 2);
  auto* source = new TDataSource(&owner);
  source->SetDataSet(set);
  TLoggingLink link(log);
  int gone = 0;
  link.SetOnDataSourceGone([&gone] { ++gone; });
  link.SetDataSource(source);
  EXPECT_EQ(source->LinkCount(), 1);

  delete set;  // the source's reference clears itself; the link goes inactive
  EXPECT_EQ(source->DataSet(), nullptr);
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(link.DataSet(), nullptr);

  source->SetDataSet(MakeSet(&owner, 1));
  EXPECT_TRUE(link.Active());
  delete source;
  EXPECT_EQ(link.DataSource(), nullptr);
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(gone, 1);
  EXPECT_EQ(log, (Rows{"link:active", "link:inactive", "link:active", "link:inactive"}));
}

TEST(DataSource, ALinkThatGoesFirstIsForgottenAndSourcesStateChangesAreAnnounced) {
  TComponent owner(nullptr);
  TMemDataSet* set = MakeSet(&owner, 2);
  auto* source = new TDataSource(&owner);
  std::vector<std::string> log;
  source->SetOnStateChange([&log, source](TObject*) { log.push_back("state " + DataSetStateInfo.NameOf(source->State())); });
  source->SetOnDataChange([&log](TObject*, TField* f) { log.push_back(f ? "data " + f->Name() : "data"); });
  {
    std::vector<std::string> linkLog;
    TLoggingLink link(linkLog);
    link.SetDataSource(source);
    EXPECT_EQ(source->LinkCount(), 1);
  }
  EXPECT_EQ(source->LinkCount(), 0);
  source->SetDataSet(set);
  set->Next();
  set->Edit();
  set->Fields(0)->SetAsInteger(9);
  set->Post();
  EXPECT_EQ(log, (Rows{"state dsBrowse", "data", "state dsEdit", "data", "data N", "state dsBrowse", "data"}));
}

TEST(DataSource, TwoSourcesOnOneSetBothPassEventsOn) {
  TComponent owner(nullptr);
  TMemDataSet* set = MakeSet(&owner, 3);
  std::vector<std::string> a, b;
  auto* sa = new TDataSource(&owner);
  auto* sb = new TDataSource(&owner);
  TLoggingLink la(a), lb(b);
  la.SetDataSource(sa);
  lb.SetDataSource(sb);
  sa->SetDataSet(set);
  sb->SetDataSet(set);
  set->Last();
  sa->SetDataSet(nullptr);
  set->First();
  EXPECT_EQ(a, (Rows{"link:active", "link:scrolled 2", "link:inactive"}));
  EXPECT_EQ(b, (Rows{"link:active", "link:scrolled 2", "link:scrolled -2"}));
}

}  // namespace
