// The skin demo's Records child under Wine: the shipped sample table opened from its CSV file, a
// label and an edit per field following the navigator (clicked with the pointer), a typed edit
// posted through the navigator landing in the file, the same through ODBC on a real SQLite file
// (read back with the host's sqlite3), failures reported in a message box without a child, and
// the command line that chooses the source.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/SysUtils.h"
#include "framework/data/CsvDataSet.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/support/HostSqlite.h"
#include "tests/tools/skin-demo/DemoTestSupport.h"
#include "tools/skin-demo/DemoCommandLine.h"
#include "tools/skin-demo/DemoMain.h"
#include "tools/skin-demo/DemoStartup.h"

namespace {

using demotest::ChildCaptions;
using demotest::SkinDemo;
using Texts = std::vector<std::string>;

// What the edits show, as UTF-8.
Texts Shown(const TDemoRecordsForm& records) {
  Texts texts;
  for (TDBEdit* edit : records.Edits()) {
    wchar_t wide[256] = {};
    GetWindowTextW(edit->Handle(), wide, 256);
    char utf8[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    texts.push_back(utf8);
  }
  return texts;
}

// A press and release of the pointer on CONTROL's centre.
void ClickOn(TWinControl& control) {
  demotest::ClickAt(control.ClientToScreen({control.Width() / 2, control.Height() / 2}));
}

void ClickNavigator(TDemoRecordsForm& records, TNavigateBtn kind) { ClickOn(*records.kyrDBNavigator1->Buttons(kind)); }

// Clicks into EDIT, goes to its end and types KEYS on the keyboard (letters come out lower case).
void TypeAtTheEnd(TDBEdit& edit, const std::string& keys) {
  ClickOn(edit);
  uitest::PumpUntil([&] { return GetFocus() == edit.Handle(); });
  uitest::PressKey(VK_END);
  for (char k : keys) uitest::PressKey(static_cast<WORD>(k));
  uitest::PumpUntil([&] { return edit.Modified(); });
  uitest::Pump();
}

TDemoRecordsForm& OpenedRecords(TDemoMainForm& main) {
  main.Records1->Click();
  uitest::Pump();
  TDemoRecordsForm* records = main.RecordsForm();
  if (!records) throw Exception("Records did not open");
  SetForegroundWindow(main.Handle());
  uitest::Pump();
  return *records;
}

const Texts kFields{"Code", "Town", "Country", "Population", "Founded"};
const Texts kFirst{"1", "Z\xC3\xBCrich", "Switzerland", "421878", "1218"};

TEST_F(SkinDemo, RecordsOpensTheShippedTableAndItsEditsFollowTheNavigator) {
  TDemoRecordsForm& records = OpenedRecords(Main());
  EXPECT_EQ(records.Caption(), "Records");
  EXPECT_EQ(Main().ActiveMDIChild(), &records);
  EXPECT_EQ(ChildCaptions().front(), "Records");
  auto* csv = dynamic_cast<TCsvDataSet*>(records.DataSet());
  ASSERT_NE(csv, nullptr);
  EXPECT_EQ(csv->FileName(), RecordsCopy);
  EXPECT_TRUE(csv->AutoSave()) << "a post is saved at once";
  // The shipped table: a dozen rows, a value with a comma and values beyond ASCII.
  EXPECT_EQ(csv->RecordCount(), 12);
  const std::string file = ReadTextFile(RecordsCopy);
  EXPECT_NE(file.find("\"Washington, D.C.\""), std::string::npos);
  EXPECT_NE(file.find("Z\xC3\xBCrich"), std::string::npos) << "UTF-8";
  // The navigator under the title bar; per field its name and an edit bound to it.
  TkyrDBNavigator& nav = *records.kyrDBNavigator1;
  EXPECT_EQ(nav.Align(), alTop);
  EXPECT_EQ(nav.Top(), records.kyrForm1->TitleBar()->Height());
  EXPECT_EQ(nav.DataSource(), records.DataSource1);
  ASSERT_EQ(records.Labels().size(), kFields.size());
  ASSERT_EQ(records.Edits().size(), kFields.size());
  for (size_t i = 0; i < kFields.size(); ++i) {
    EXPECT_EQ(records.Labels()[i]->Caption(), kFields[i]);
    EXPECT_EQ(records.Edits()[i]->DataField(), kFields[i]);
    EXPECT_EQ(records.Edits()[i]->DataSource(), records.DataSource1);
    EXPECT_EQ(records.Edits()[i]->Parent(), records.kyrForm1);
    EXPECT_GT(records.Edits()[i]->Top(), nav.Top() + nav.Height() - 1) << "below the navigator";
    if (i > 0) {
      EXPECT_GT(records.Edits()[i]->Top(), records.Edits()[i - 1]->Top() + records.Edits()[i - 1]->Height());
    }
  }
  const TDBEdit& last = *records.Edits().back();
  EXPECT_LE(last.Top() + last.Height(), records.kyrForm1->Height()) << "every edit inside the child";
  EXPECT_EQ(Shown(records), kFirst);
  // Walked with the pointer.
  ClickNavigator(records, nbNext);
  EXPECT_EQ(Shown(records), (Texts{"2", "Krak\xC3\xB3w", "Poland", "779115", "1257"}));
  ClickNavigator(records, nbNext);
  EXPECT_EQ(Shown(records)[1], "Washington, D.C.");
  ClickNavigator(records, nbLast);
  EXPECT_EQ(Shown(records), (Texts{"12", "Cluj-Napoca", "Romania", "286598", "1213"}));
  ClickNavigator(records, nbPrior);
  EXPECT_EQ(Shown(records)[1], "\xC3\x85lesund");
  ClickNavigator(records, nbFirst);
  EXPECT_EQ(Shown(records), kFirst);
  // Asked for again, the open one comes to the front: there is one Records.
  Main().Records1->Click();  // the frame's own item, while Records is active
  Main().NewChild();
  uitest::Pump();
  Main().Records1->Click();
  uitest::Pump();
  EXPECT_EQ(Main().ActiveMDIChild(), &records);
  int count = 0;
  for (const std::string& caption : ChildCaptions()) count += caption == "Records";
  EXPECT_EQ(count, 1);
}

TEST_F(SkinDemo, AnEditTypedAndPostedThroughTheNavigatorLandsInTheCsvFile) {
  TDemoRecordsForm& records = OpenedRecords(Main());
  for (int i = 0; i < 3; ++i) ClickNavigator(records, nbNext);
  ASSERT_EQ(Shown(records)[1], "Porto");
  TypeAtTheEnd(*records.Edits()[1], "NORTE");
  EXPECT_EQ(records.DataSet()->State(), dsEdit);
  EXPECT_EQ(ReadTextFile(RecordsCopy).find("Portonorte"), std::string::npos) << "nothing saved while typing";
  ClickNavigator(records, nbPost);
  EXPECT_EQ(records.DataSet()->State(), dsBrowse);
  const std::string file = ReadTextFile(RecordsCopy);
  EXPECT_NE(file.find("4,Portonorte,Portugal,231962,1123"), std::string::npos) << file;
  EXPECT_NE(file.find("Z\xC3\xBCrich"), std::string::npos) << "the other rows as they were";
  EXPECT_NE(file.find("\"Washington, D.C.\""), std::string::npos);
  EXPECT_EQ(ListFolder(recordsDir.Path()), Texts{"records.csv"}) << "saved in place, nothing left beside it";
  // Read again from the file: the post is the fourth row.
  TCsvDataSet again(nullptr);
  again.SetFileName(RecordsCopy);
  again.Open();
  EXPECT_EQ(again.RecordCount(), 12);
  again.First();
  for (int i = 0; i < 3; ++i) again.Next();
  EXPECT_EQ(again.FieldByName("Town")->AsString(), "Portonorte");
  // A non-ASCII value edited keeps its characters.
  ClickNavigator(records, nbFirst);
  TypeAtTheEnd(*records.Edits()[1], "X");
  ClickNavigator(records, nbPost);
  EXPECT_NE(ReadTextFile(RecordsCopy).find("1,Z\xC3\xBCrichx,Switzerland"), std::string::npos);
}

TEST_F(SkinDemo, ACsvFileThatCannotBeReadGivesAMessageAndNoRecordsChild) {
  const std::string broken = recordsDir / "broken.csv";
  WriteFileText(broken, "Code,Town\n1,\"unclosed\n");
  for (const std::string& file : {recordsDir / "gone.csv", broken}) {
    SCOPED_TRACE(file);
    Main().SetRecordsSource({file, "", ""});
    uitest::TMessageBoxRecorder boxes;
    Main().Records1->Click();
    uitest::Pump();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find(file == broken ? "Line 2" : "Cannot open file"), std::string::npos)
        << boxes.boxes[0].text;
    EXPECT_EQ(boxes.boxes[0].caption, "Skin Demo");
    EXPECT_EQ(boxes.boxes[0].flags & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(Main().RecordsForm(), nullptr);
    EXPECT_EQ(ChildCaptions(), (Texts{"Child 2", "Child 1", "Controls"}));
    for (TCustomForm* form : AllForms()) EXPECT_NE(form->Caption(), "Records") << "not even hidden";
  }
}

// ---- through ODBC, on a SQLite file ----

struct TTownsDatabase {
  TempDir dir;
  std::string file = dir / "towns.db";
  TTownsDatabase() {
    HostSqlite(file,
                     "CREATE TABLE towns (id INTEGER PRIMARY KEY, name TEXT, country TEXT);\n"
                     "INSERT INTO towns VALUES (1, 'Krak\xC3\xB3w', 'Poland'), (2, 'Porto', 'Portugal'), "
                     "(3, 'Ghent', 'Belgium');");
  }
  std::string ConnectionString() const { return "DRIVER=SQLite3;Database=" + HostPath(file) + ";"; }
};

TEST_F(SkinDemo, WithOdbcAnEditThroughTheDemoIsInTheSqliteFileAfterwards) {
  TTownsDatabase db;
  ASSERT_EQ(HostSqlite(db.file, "SELECT count(*) FROM towns;"), Texts{"3"});
  const TDemoCommandLine line = ParseDemoArguments({"--odbc", db.ConnectionString(), "--table", "towns"},
                                                   Main().RecordsSource());
  ASSERT_EQ(line.Error, "");
  Main().SetRecordsSource(line.Records);
  TDemoRecordsForm& records = OpenedRecords(Main());
  ASSERT_EQ(records.Labels().size(), 3u);
  EXPECT_EQ(records.Labels()[1]->Caption(), "name");
  EXPECT_EQ(Shown(records), (Texts{"1", "Krak\xC3\xB3w", "Poland"}));
  ClickNavigator(records, nbNext);
  EXPECT_EQ(Shown(records), (Texts{"2", "Porto", "Portugal"}));
  TypeAtTheEnd(*records.Edits()[1], "NORTE");
  ClickNavigator(records, nbPost);
  EXPECT_EQ(records.DataSet()->State(), dsBrowse);
  EXPECT_EQ(HostSqlite(db.file, "SELECT id, name, country FROM towns ORDER BY id;"),
            (Texts{"1|Krak\xC3\xB3w|Poland", "2|Portonorte|Portugal", "3|Ghent|Belgium"}));
}

TEST_F(SkinDemo, ABadConnectionStringGivesAMessageAndNoRecordsChild) {
  TTownsDatabase db;
  for (const TDemoRecordsSource& source :
       {TDemoRecordsSource{"", "DRIVER=NoSuchDriver;Database=/nowhere.db;", "towns"},
        TDemoRecordsSource{"", db.ConnectionString(), "no_such_table"}}) {
    SCOPED_TRACE(source.Odbc + " " + source.Table);
    Main().SetRecordsSource(source);
    uitest::TMessageBoxRecorder boxes;
    Main().Records1->Click();
    uitest::Pump();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_FALSE(boxes.boxes[0].text.empty());
    EXPECT_EQ(boxes.boxes[0].flags & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(Main().RecordsForm(), nullptr);
    EXPECT_EQ(ChildCaptions(), (Texts{"Child 2", "Child 1", "Controls"}));
  }
  // The demo goes on: the shipped table still opens.
  Main().SetRecordsSource({RecordsCopy, "", ""});
  EXPECT_EQ(Shown(OpenedRecords(Main())), kFirst);
}

// ---- the command line ----

TEST(SkinDemoCommandLine, SplitsAsWindowsDoesAndTakesTheRecordsOptions) {
  EXPECT_EQ(SplitDemoCommandLine(L"skin-demo.exe --odbc \"DRIVER=SQLite3;Database=/tmp/my towns.db;\" --table towns"),
            (Texts{"--odbc", "DRIVER=SQLite3;Database=/tmp/my towns.db;", "--table", "towns"}));
  // Backslashes are literal unless they stand before a quote; \" is a quote in the argument.
  EXPECT_EQ(SplitDemoCommandLine(L"\"C:\\Program Files\\skin-demo.exe\" --csv C:\\data\\a.csv --table \"a\\\"b\""),
            (Texts{"--csv", "C:\\data\\a.csv", "--table", "a\"b"}));
  EXPECT_EQ(SplitDemoCommandLine(L"skin-demo.exe --csv Z\u00FCrich.csv"), (Texts{"--csv", "Z\xC3\xBCrich.csv"}));
  EXPECT_EQ(SplitDemoCommandLine(L"skin-demo.exe"), Texts{});
  EXPECT_EQ(SplitDemoCommandLine(L""), Texts{});

  const TDemoRecordsSource shipped{"C:\\demo\\skin-demo-records.csv", "", ""};
  TDemoCommandLine line = ParseDemoArguments({}, shipped);
  EXPECT_EQ(line.Error, "");
  EXPECT_EQ(line.Records.CsvFile, shipped.CsvFile);
  EXPECT_FALSE(line.Records.UsesOdbc());
  line = ParseDemoArguments({"--table", "towns", "--odbc", "DSN=x"}, shipped);
  EXPECT_EQ(line.Error, "");
  EXPECT_TRUE(line.Records.UsesOdbc());
  EXPECT_EQ(line.Records.Odbc, "DSN=x");
  EXPECT_EQ(line.Records.Table, "towns");
  EXPECT_EQ(ParseDemoArguments({"--csv", "b.csv"}, shipped).Records.CsvFile, "b.csv");
  EXPECT_EQ(ParseDemoArguments({"--odbc", "DSN=x"}, shipped).Error,
            "--odbc needs --table with the name of the table to open");
  EXPECT_EQ(ParseDemoArguments({"--table"}, shipped).Error, "--table needs a value");
  line = ParseDemoArguments({"--colour", "--csv", "b.csv"}, shipped);
  EXPECT_EQ(line.Error, "Unknown argument --colour");
  EXPECT_EQ(line.Records.CsvFile, "b.csv") << "the rest is still taken";
}

// Arguments that make no sense are told at start-up; the demo starts all the same.
TEST(SkinDemoCommandLine, AWrongCommandLineIsToldInAMessageAndTheDemoStarts) {
  uitest::TMessageBoxRecorder boxes;
  StartSkinDemo({"--odbc", "DSN=x"});
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "--odbc needs --table with the name of the table to open");
  EXPECT_EQ(DemoMainForm->MDIChildCount(), 3);
  demotest::FreeDemo();
}

}  // namespace
