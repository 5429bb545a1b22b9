// The ODBC data sets against real SQLite files, through Wine's odbc32 and the host's driver
// manager. What the database holds afterwards is read with the host's sqlite3 program, not
// through ODBC: Wine starts a host program given by its Unix path (it has no process handle to
// wait on, so the program's output appears under its final name only once it is complete).
#include "framework/data/OdbcDataSet.h"

#include <gtest/gtest.h>
#include <windows.h>


#include "framework/data/CsvDataSet.h"
#include "tests/framework/data/DataSetBehaviour.h"
#include "tests/support/HostSqlite.h"
#include "tests/support/TestSupport.h"

namespace {

using Rows = std::vector<std::string>;

// A SQLite database file in a folder of its own.
struct TDatabase {
  TempDir dir;
  std::string file = dir / "test.db";
  std::string ConnectionString() const { return "DRIVER=SQLite3;Database=" + HostPath(file) + ";"; }

  // The host's sqlite3 runs SQL on the file; its output lines ("|" between columns).
  Rows Query(const std::string& sql) const { return HostSqlite(file, sql); }
};

TOdbcConnection* Connect(TComponent* owner, const TDatabase& db) {
  auto* connection = new TOdbcConnection(owner);
  connection->SetConnectionString(db.ConnectionString());
  connection->Open();
  return connection;
}

TOdbcQuery* MakeQuery(TComponent* owner, TOdbcConnection* connection, const std::string& sql) {
  auto* query = new TOdbcQuery(owner);
  query->SetConnection(connection);
  query->SetSQL(sql);
  query->SetTableName("t");
  query->SetKeyFields("ID");
  return query;
}

const TDataSetMaker OdbcMaker{
    "Odbc",
    [](TComponent* owner, std::shared_ptr<void>& holder) -> TDataSet* {
      auto db = std::make_shared<TDatabase>();
      holder = db;
      TOdbcConnection* connection = Connect(owner, *db);
      connection->ExecSQL("CREATE TABLE t (ID INTEGER PRIMARY KEY, NAME TEXT NOT NULL)");
      for (auto [id, name] : {std::pair{1, "one"}, {2, "two"}, {3, "three"}})
        connection->ExecSQL("INSERT INTO t VALUES (?, ?)", {int64_t{id}, std::string(name)});
      TOdbcQuery* query = MakeQuery(owner, connection, "SELECT ID, NAME FROM t ORDER BY ID");
      query->Open();
      return query;
    },
    [](TDataSet&, const std::shared_ptr<void>& holder) {
      return std::static_pointer_cast<TDatabase>(holder)->Query("SELECT ID, NAME FROM t ORDER BY ID;");
    }};

INSTANTIATE_TEST_SUITE_P(Windows, DataSetBehaviour, testing::Values(OdbcMaker), MakerName);

TEST(OdbcParameters, MarksOutsideQuotesBecomeQuestionMarks) {
  Rows names;
  EXPECT_EQ(OdbcParameterSql("SELECT * FROM t WHERE a = :a AND b = ':b' AND \"c:d\" = :Long_1 OR x::int = :a", names),
            "SELECT * FROM t WHERE a = ? AND b = ':b' AND \"c:d\" = ? OR x::int = ?");
  EXPECT_EQ(names, (Rows{"a", "Long_1", "a"}));
  EXPECT_EQ(OdbcParameterSql("SELECT 'it''s :no', :yes", names), "SELECT 'it''s :no', ?");
  EXPECT_EQ(names, Rows{"yes"});
}

class OdbcTest : public testing::Test {
protected:
  void SetUp() override {
    connection_ = Connect(&owner_, db_);
    connection_->ExecSQL(
        "CREATE TABLE t (ID INTEGER PRIMARY KEY, NAME TEXT NOT NULL UNIQUE, SCORE REAL, N INTEGER DEFAULT 5)");
    connection_->ExecSQL("INSERT INTO t (ID, NAME, SCORE) VALUES (1, 'Ann', 1.5), (2, 'Bo', NULL)");
  }
  void TearDown() override { owner_.DestroyComponents(); }
  std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const EDatabaseError& e) {
      return e.Message();
    }
    return "no error";
  }

  TDatabase db_;
  TComponent owner_{nullptr};
  TOdbcConnection* connection_ = nullptr;
};

TEST_F(OdbcTest, ColumnsTakeTheirTypesAndParametersAreBoundByName) {
  TOdbcQuery* query = MakeQuery(&owner_, connection_, "SELECT ID, NAME, SCORE FROM t WHERE ID >= :low AND NAME <> :name");
  ASSERT_EQ(query->Params().Count(), 2);
  query->ParamByName("LOW").Value = int64_t{1};
  query->Params().SetValue("name", std::string("Bo"));
  query->Open();
  ASSERT_EQ(query->RecordCount(), 1);
  EXPECT_EQ(query->FieldByName("ID")->DataType(), ftLargeint);
  EXPECT_EQ(query->FieldByName("NAME")->DataType(), ftString);
  EXPECT_EQ(query->FieldByName("SCORE")->DataType(), ftFloat);
  EXPECT_TRUE(query->FieldByName("NAME")->Required());
  EXPECT_FALSE(query->FieldByName("ID")->Required()) << "a key may be generated";
  EXPECT_EQ(query->FieldByName("SCORE")->AsFloat(), 1.5);
  query->Close();
  query->ParamByName("name").Value = std::string("Ann");
  query->Open();
  EXPECT_EQ(query->FieldByName("NAME")->AsString(), "Bo");
  EXPECT_TRUE(query->FieldByName("SCORE")->IsNull());
  EXPECT_THROW(query->ParamByName("nope"), EDatabaseError);
}

TEST_F(OdbcTest, NonAsciiTextSurvivesBothWays) {
  const std::string text = "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xD0\x96";  // é, €, an emoji, Ж
  TOdbcQuery* query = MakeQuery(&owner_, connection_, "SELECT ID, NAME FROM t ORDER BY ID");
  query->Open();
  query->Append();
  query->FieldByName("NAME")->SetAsString(text);
  query->Post();
  EXPECT_EQ(query->FieldByName("ID")->AsInteger(), 3) << "the generated key is read back";
  EXPECT_EQ(db_.Query("SELECT hex(NAME) FROM t WHERE ID = 3;"),
            Rows{"C3A974C3A920E282AC20F09F988020D096"});
  query->Refresh();
  query->Last();
  EXPECT_EQ(query->FieldByName("NAME")->AsString(), text);
  std::string longText(10000, 'x');
  longText += text;
  query->Edit();
  query->FieldByName("NAME")->SetAsString(longText);
  query->Post();
  query->Close();
  query->Open();
  query->Last();
  EXPECT_EQ(query->FieldByName("NAME")->AsString(), longText) << "long text is read in pieces";
}

TEST_F(OdbcTest, EditsReachTheFileAndTheRecordShowsWhatTheTableHolds) {
  TOdbcQuery* query = MakeQuery(&owner_, connection_, "SELECT ID, NAME, N FROM t ORDER BY ID");
  query->Open();
  query->Append();
  query->FieldByName("NAME")->SetAsString("Cy");
  query->Post();
  EXPECT_EQ(query->FieldByName("N")->AsInteger(), 5) << "the column's default, read back after the insert";
  query->First();
  query->Edit();
  query->FieldByName("ID")->SetAsInteger(10);  // a changed key: the row is found by the old one
  query->FieldByName("NAME")->SetAsString("Anna");
  query->Post();
  query->Next();
  query->Delete();
  EXPECT_EQ(db_.Query("SELECT ID, NAME, N FROM t ORDER BY ID;"), (Rows{"3|Cy|5", "10|Anna|5"}));
}

TEST_F(OdbcTest, DriverErrorsArriveWithTheDriversMessage) {
  TOdbcQuery* bad = MakeQuery(&owner_, connection_, "SELEKT 1");
  EXPECT_NE(ErrorOf([&] { bad->Open(); }).find("syntax error"), std::string::npos);
  EXPECT_FALSE(bad->Active());
  TOdbcQuery* missing = MakeQuery(&owner_, connection_, "SELECT * FROM nothere");
  EXPECT_NE(ErrorOf([&] { missing->Open(); }).find("no such table: nothere"), std::string::npos);

  TOdbcQuery* query = MakeQuery(&owner_, connection_, "SELECT ID, NAME FROM t ORDER BY ID");
  query->Open();
  query->Append();
  query->FieldByName("NAME")->SetAsString("Ann");  // NAME is unique
  std::string error = ErrorOf([&] { query->Post(); });
  EXPECT_NE(error.find("UNIQUE"), std::string::npos) << error;
  EXPECT_EQ(query->State(), dsInsert) << "the record stays for another try";
  query->Cancel();
  EXPECT_EQ(query->RecordCount(), 2);

  connection_->ExecSQL("DELETE FROM t WHERE ID = 1");  // behind the query's back
  EXPECT_EQ(ErrorOf([&] { query->Delete(); }), "The record was changed or deleted by another user");
  EXPECT_EQ(query->RecordCount(), 2);

  TOdbcConnection wrong(&owner_);
  wrong.SetConnectionString("DRIVER=NoSuchDriver;");
  EXPECT_NE(ErrorOf([&] { wrong.Open(); }), "no error");
  EXPECT_FALSE(wrong.Connected());
  EXPECT_NE(ErrorOf([&] { connection_->ExecSQL("INSERT INTO nothere VALUES (1)"); }).find("no such table"),
            std::string::npos);
}

TEST_F(OdbcTest, AQueryWithoutTableOrKeyOnlyBrowsesAndClosingTheConnectionClosesIt) {
  TOdbcQuery* query = MakeQuery(&owner_, connection_, "SELECT COUNT(*) AS C FROM t");
  query->SetTableName("");
  query->Open();
  EXPECT_FALSE(query->CanModify());
  EXPECT_THROW(query->Edit(), EDatabaseError);
  EXPECT_EQ(query->Fields(0)->AsInteger(), 2);
  connection_->Close();
  EXPECT_FALSE(query->Active());
  EXPECT_THROW(query->Open(), EDatabaseError);
  connection_->Open();
  query->Open();
  delete connection_;  // the query lets go of it
  connection_ = nullptr;
  EXPECT_FALSE(query->Active());
  EXPECT_EQ(query->Connection(), nullptr);
}

TEST_F(OdbcTest, ARowCopiedFromCsvGoesThroughBothSets) {
  WriteFileText(db_.dir / "in.csv", "ID,NAME\r\n7,\"Dee, D.\"\r\n");
  TCsvDataSet csv(&owner_);
  csv.SetFileName(db_.dir / "in.csv");
  csv.Open();
  TOdbcQuery* query = MakeQuery(&owner_, connection_, "SELECT ID, NAME FROM t ORDER BY ID");
  query->Open();
  query->Append();
  query->FieldByName("ID")->SetAsString(csv.FieldByName("ID")->AsString());
  query->FieldByName("NAME")->SetAsString(csv.FieldByName("NAME")->AsString());
  query->Post();
  EXPECT_EQ(db_.Query("SELECT NAME FROM t WHERE ID = 7;"), Rows{"Dee, D."});
}

}  // namespace
