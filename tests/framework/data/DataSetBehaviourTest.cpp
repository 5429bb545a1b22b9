#include "tests/framework/data/DataSetBehaviour.h"

#include "framework/data/CsvDataSet.h"
#include "framework/data/MemDataSet.h"
#include "tests/support/TestSupport.h"

using Rows = std::vector<std::string>;

std::vector<std::string> DataSetBehaviour::Walk() {
  Rows rows;
  for (set_->First(); !set_->Eof(); set_->Next()) rows.push_back(Current());
  return rows;
}

TEST_P(DataSetBehaviour, OpensOnTheFirstRecordAndMovesWithBofAndEof) {
  ASSERT_EQ(set_->State(), dsBrowse);
  EXPECT_EQ(set_->RecordCount(), 3);
  EXPECT_EQ(set_->FieldCount(), 2);
  EXPECT_EQ(set_->RecNo(), 1);
  EXPECT_TRUE(set_->Bof());
  EXPECT_FALSE(set_->Eof());
  EXPECT_EQ(Current(), "1|one");

  set_->Next();  // a move inside clears both
  EXPECT_EQ(Current(), "2|two");
  EXPECT_FALSE(set_->Bof());
  EXPECT_FALSE(set_->Eof());
  set_->Next();
  EXPECT_EQ(set_->RecNo(), 3);
  EXPECT_FALSE(set_->Eof()) << "landing on the last record is not yet past it";
  set_->Next();  // a move past the end
  EXPECT_TRUE(set_->Eof());
  EXPECT_EQ(set_->RecNo(), 3);
  EXPECT_EQ(set_->MoveBy(1), 0);

  set_->Prior();
  EXPECT_FALSE(set_->Eof());
  EXPECT_EQ(Current(), "2|two");
  set_->First();
  EXPECT_TRUE(set_->Bof());
  set_->Prior();
  EXPECT_TRUE(set_->Bof());
  EXPECT_EQ(set_->RecNo(), 1);

  EXPECT_EQ(set_->MoveBy(10), 2);
  EXPECT_TRUE(set_->Eof());
  EXPECT_EQ(Current(), "3|three");
  EXPECT_EQ(set_->MoveBy(-10), -2);
  EXPECT_TRUE(set_->Bof());
  set_->Last();
  EXPECT_TRUE(set_->Eof());
  EXPECT_FALSE(set_->Bof());
  EXPECT_EQ(Walk(), (Rows{"1|one", "2|two", "3|three"}));
}

TEST_P(DataSetBehaviour, EditPostsOrCancels) {
  set_->Next();
  set_->Edit();
  EXPECT_EQ(set_->State(), dsEdit);
  set_->FieldByName("NAME")->SetAsString("TWO");
  EXPECT_EQ(Current(), "2|TWO");
  set_->Cancel();
  EXPECT_EQ(set_->State(), dsBrowse);
  EXPECT_EQ(Current(), "2|two");

  set_->Edit();
  set_->FieldByName("NAME")->SetAsString("zwei");
  set_->Post();
  EXPECT_EQ(set_->State(), dsBrowse);
  EXPECT_EQ(set_->RecNo(), 2);
  EXPECT_EQ(Current(), "2|zwei");
  EXPECT_EQ(Stored(), (Rows{"1|one", "2|zwei", "3|three"}));

  set_->FieldByName("NAME")->SetAsString("deux");  // writing a field while browsing starts an edit
  EXPECT_EQ(set_->State(), dsEdit);
  set_->Post();
  EXPECT_EQ(Stored(), (Rows{"1|one", "2|deux", "3|three"}));
}

TEST_P(DataSetBehaviour, InsertGoesBeforeTheCurrentRecordAppendAtTheEndCancelDropsIt) {
  set_->Next();
  set_->Insert();
  EXPECT_EQ(set_->State(), dsInsert);
  EXPECT_EQ(set_->RecNo(), 0);
  EXPECT_TRUE(set_->FieldByName("NAME")->IsNull());
  SetRow(10, "ten");
  set_->Post();
  EXPECT_EQ(set_->RecNo(), 2);
  EXPECT_EQ(Current(), "10|ten");
  EXPECT_EQ(set_->RecordCount(), 4);

  set_->First();
  set_->Append();
  SetRow(20, "twenty");
  set_->Post();
  EXPECT_EQ(set_->RecNo(), 5);
  EXPECT_EQ(Walk(), (Rows{"1|one", "10|ten", "2|two", "3|three", "20|twenty"}));

  set_->First();
  set_->Next();
  set_->Insert();
  SetRow(30, "thirty");
  set_->Cancel();
  EXPECT_EQ(set_->RecordCount(), 5);
  EXPECT_EQ(Current(), "10|ten");
  EXPECT_EQ(set_->RecNo(), 2);
  set_->Append();
  set_->Cancel();
  EXPECT_EQ(set_->RecordCount(), 5);
  EXPECT_TRUE(set_->Bof() == false && set_->Eof() == false);
  // What a back end keeps may be ordered its own way; the rows are all there.
  Rows stored = Stored();
  std::sort(stored.begin(), stored.end());
  EXPECT_EQ(stored, (Rows{"10|ten", "1|one", "20|twenty", "2|two", "3|three"}));
}

TEST_P(DataSetBehaviour, MovingOrClosingWhileEditingPostsFirst) {
  set_->Edit();
  set_->FieldByName("NAME")->SetAsString("uno");
  set_->Next();
  EXPECT_EQ(set_->State(), dsBrowse);
  EXPECT_EQ(Current(), "2|two");
  set_->Append();
  SetRow(4, "four");
  set_->Close();
  EXPECT_EQ(set_->State(), dsInactive);
  EXPECT_EQ(Stored(), (Rows{"1|uno", "2|two", "3|three", "4|four"}));
  set_->Open();
  EXPECT_EQ(Walk(), (Rows{"1|uno", "2|two", "3|three", "4|four"}));
}

TEST_P(DataSetBehaviour, DeleteMovesToTheNextRecordAndAnEmptySetIsAtBothEnds) {
  set_->Next();
  set_->Delete();
  EXPECT_EQ(Current(), "3|three");
  EXPECT_EQ(set_->RecordCount(), 2);
  set_->Delete();  // the last one: the new last is current
  EXPECT_EQ(Current(), "1|one");
  EXPECT_EQ(Stored(), (Rows{"1|one"}));
  set_->Delete();
  EXPECT_TRUE(set_->IsEmpty());
  EXPECT_TRUE(set_->Bof());
  EXPECT_TRUE(set_->Eof());
  EXPECT_EQ(set_->RecNo(), 0);
  EXPECT_TRUE(set_->FieldByName("ID")->IsNull());
  EXPECT_THROW(set_->Delete(), EDatabaseError);
  set_->First();
  EXPECT_TRUE(set_->Bof() && set_->Eof());
  set_->Next();
  EXPECT_TRUE(set_->Bof() && set_->Eof());
  EXPECT_EQ(Stored(), Rows{});
  set_->Edit();  // nothing to edit: a new record
  EXPECT_EQ(set_->State(), dsInsert);
  SetRow(7, "seven");
  set_->Post();
  EXPECT_EQ(Stored(), (Rows{"7|seven"}));
}

TEST_P(DataSetBehaviour, ARequiredFieldLeftNullRefusesThePostAndKeepsTheRecord) {
  set_->Append();
  set_->FieldByName("ID")->SetAsInteger(9);
  EXPECT_THROW(set_->Post(), EDatabaseError);
  EXPECT_EQ(set_->State(), dsInsert);
  EXPECT_EQ(set_->FieldByName("ID")->AsInteger(), 9);
  EXPECT_THROW(set_->Next(), EDatabaseError) << "a move that cannot post does not drop the edit";
  EXPECT_EQ(set_->State(), dsInsert);
  set_->Cancel();
  EXPECT_EQ(set_->RecordCount(), 3);
}

TEST_P(DataSetBehaviour, TypedAccessConverts) {
  TField* id = set_->FieldByName("id");  // names compare without case
  TField* name = set_->FieldByName("NAME");
  EXPECT_EQ(set_->FindField("nope"), nullptr);
  EXPECT_THROW(set_->FieldByName("nope"), EDatabaseError);
  EXPECT_EQ(id->AsInteger(), 1);
  EXPECT_EQ(id->AsFloat(), 1.0);
  set_->Edit();
  name->SetAsString("12");
  EXPECT_EQ(name->AsInteger(), 12);
  name->SetAsString("x");
  EXPECT_THROW(name->AsInteger(), EDatabaseError);
  EXPECT_THROW(id->SetAsString("x"), EDatabaseError);
  EXPECT_EQ(id->AsInteger(), 1) << "a value that does not convert is not stored";
  id->SetAsString(" 42 ");
  EXPECT_EQ(id->AsInteger(), 42);
  name->SetAsFloat(2.5);
  EXPECT_EQ(name->AsString(), "2.5");
  EXPECT_EQ(name->AsFloat(), 2.5);
  id->SetNull();
  EXPECT_TRUE(id->IsNull());
  EXPECT_EQ(id->AsString(), "");
  set_->Cancel();
}

TEST_P(DataSetBehaviour, EventsComeInOrder) {
  std::vector<std::string> log;
  auto note = [&log](const char* what) { return [&log, what](TDataSet*) { log.push_back(what); }; };
  set_->SetBeforePost(note("BeforePost"));
  set_->SetAfterPost(note("AfterPost"));
  set_->SetBeforeDelete(note("BeforeDelete"));
  set_->SetAfterDelete(note("AfterDelete"));
  set_->SetAfterScroll(note("AfterScroll"));
  set_->SetOnNewRecord([&log](TDataSet* s) {
    log.push_back("OnNewRecord");
    s->FieldByName("NAME")->SetAsString("new");  // a default for the new record
  });
  set_->SetBeforeClose(note("BeforeClose"));
  set_->SetAfterClose(note("AfterClose"));
  set_->SetAfterOpen(note("AfterOpen"));

  set_->Next();
  set_->Append();
  EXPECT_EQ(set_->FieldByName("NAME")->AsString(), "new");
  set_->FieldByName("ID")->SetAsInteger(5);
  set_->Post();
  set_->Delete();
  set_->Close();
  set_->Open();
  EXPECT_EQ(log, (Rows{"AfterScroll", "OnNewRecord", "BeforePost", "AfterPost", "BeforeDelete", "AfterDelete",
                       "AfterScroll", "BeforeClose", "AfterClose", "AfterOpen"}));
}

TEST_P(DataSetBehaviour, LinksAreToldOfEveryChange) {
  std::vector<std::string> log;
  TDataSource* source = new TDataSource(&owner_);
  TLoggingLink link(log);
  link.SetDataSource(source);
  EXPECT_FALSE(link.Active());
  source->SetDataSet(set_);
  EXPECT_TRUE(link.Active());
  EXPECT_EQ(link.DataSet(), set_);
  EXPECT_EQ(source->State(), dsBrowse);

  set_->Next();
  set_->Last();
  set_->Edit();
  set_->FieldByName("NAME")->SetAsString("drei");
  set_->Post();
  set_->Insert();
  set_->Cancel();
  set_->Delete();
  set_->Refresh();
  set_->Close();
  set_->Open();
  EXPECT_EQ(log, (Rows{"link:active", "link:scrolled 1", "link:scrolled 1", "link:editing", "link:record -",
                       "link:record NAME", "link:update", "link:browsing", "link:changed", "link:editing",
                       "link:changed", "link:browsing", "link:changed", "link:changed", "link:changed",
                       "link:inactive", "link:active"}));

  log.clear();
  source->SetEnabled(false);  // a disabled source passes nothing on and shows the set inactive
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(source->State(), dsInactive);
  set_->Next();
  source->SetEnabled(true);
  EXPECT_EQ(log, (Rows{"link:inactive", "link:active"}));
}

TEST_P(DataSetBehaviour, ALinkPutsTheSetIntoEditModeUnlessReadOnly) {
  std::vector<std::string> log;
  TDataSource* source = new TDataSource(&owner_);
  source->SetDataSet(set_);
  TLoggingLink link(log);
  link.SetDataSource(source);
  link.SetReadOnly(true);
  EXPECT_FALSE(link.Edit());
  EXPECT_EQ(set_->State(), dsBrowse);
  link.SetReadOnly(false);
  source->SetAutoEdit(false);
  EXPECT_FALSE(link.Edit());
  source->SetAutoEdit(true);
  EXPECT_TRUE(link.Edit());
  EXPECT_EQ(set_->State(), dsEdit);
  EXPECT_TRUE(link.Editing());
  set_->Cancel();
  EXPECT_FALSE(link.Editing());
}

// ---- the memory and CSV back ends ----

namespace {

void DefineColumns(TDataSet& set) {
  set.FieldDefs().Add("ID", ftInteger, 0, false);
  set.FieldDefs().Add("NAME", ftString, 40, true);
}

std::vector<std::string> RowsOf(const TMemDataSet& set) {
  Rows rows;
  for (const TRecordBuffer& row : set.Rows())
    rows.push_back(std::get<std::string>(TField::Convert(row[0], ftString, {})) + "|" +
                   std::get<std::string>(TField::Convert(row[1], ftString, {})));
  return rows;
}

const TDataSetMaker MemoryMaker{
    "Memory",
    [](TComponent* owner, std::shared_ptr<void>&) -> TDataSet* {
      auto* set = new TMemDataSet(owner);
      DefineColumns(*set);
      set->Open();
      for (auto [id, name] : {std::pair{1, "one"}, {2, "two"}, {3, "three"}}) {
        set->Append();
        set->FieldByName("ID")->SetAsInteger(id);
        set->FieldByName("NAME")->SetAsString(name);
        set->Post();
      }
      set->First();
      return set;
    },
    [](TDataSet& set, const std::shared_ptr<void>&) { return RowsOf(static_cast<TMemDataSet&>(set)); }};

// The file is saved after every change and read back by a second set of its own.
const TDataSetMaker CsvMaker{
    "Csv",
    [](TComponent* owner, std::shared_ptr<void>& holder) -> TDataSet* {
      auto dir = std::make_shared<TempDir>();
      holder = dir;
      WriteFileText(*dir / "rows.csv", "ID,NAME\r\n1,one\r\n2,two\r\n3,three\r\n");
      auto* set = new TCsvDataSet(owner);
      DefineColumns(*set);
      set->SetFileName(*dir / "rows.csv");
      set->SetAutoSave(true);
      set->Open();
      return set;
    },
    [](TDataSet&, const std::shared_ptr<void>& holder) {
      TComponent owner(nullptr);
      TCsvDataSet reader(&owner);
      reader.SetFileName(*std::static_pointer_cast<TempDir>(holder) / "rows.csv");
      reader.Open();
      return RowsOf(reader);
    }};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Portable, DataSetBehaviour, testing::Values(MemoryMaker, CsvMaker), MakerName);
