#include "framework/data/CsvDataSet.h"

#include <gtest/gtest.h>

#include "framework/core/Streams.h"
#include "tests/support/TestSupport.h"

namespace {

using Texts = std::vector<std::string>;

Texts TextsOf(const TCsvRecord& record) {
  Texts texts;
  for (const TCsvField& f : record.Fields) texts.push_back(f.Text);
  return texts;
}

// The file's bytes as they are (no line-end translation).
std::string BytesOf(const std::string& path) {
  Bytes bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// The line of the error ReadCsv raises for TEXT, and its message.
std::pair<int, std::string> CsvErrorOf(std::string_view text) {
  try {
    ReadCsv(text);
  } catch (const ECsvError& e) {
    return {e.Line(), e.Message()};
  }
  return {0, "no error"};
}

TEST(CsvReader, QuotedFieldsHoldCommasQuotesAndLineBreaks) {
  auto records = ReadCsv("a,b,c\r\n\"x,y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n,\"\",plain\n");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(TextsOf(records[0]), (Texts{"a", "b", "c"}));
  EXPECT_EQ(TextsOf(records[1]), (Texts{"x,y", "say \"hi\"", "two\r\nlines"}));
  EXPECT_EQ(TextsOf(records[2]), (Texts{"", "", "plain"}));
  EXPECT_FALSE(records[2].Fields[0].Quoted);
  EXPECT_TRUE(records[2].Fields[1].Quoted);
  EXPECT_EQ(records[1].Line, 2);
  EXPECT_EQ(records[2].Line, 4) << "the line break inside the quotes counts";
}

TEST(CsvReader, LineEndsAndTheLastLine) {
  EXPECT_EQ(ReadCsv("a\rb\nc\r\nd").size(), 4u);
  EXPECT_EQ(ReadCsv("a,b\r\n").size(), 1u) << "a final line break ends the last record, no empty one follows";
  EXPECT_EQ(TextsOf(ReadCsv("a,").front()), (Texts{"a", ""}));
  EXPECT_TRUE(ReadCsv("").empty());
  EXPECT_TRUE(ReadCsv("\xEF\xBB\xBF").empty());
  EXPECT_EQ(TextsOf(ReadCsv("\xEF\xBB\xBFname\n").front()), Texts{"name"}) << "the byte-order mark is skipped";
  EXPECT_EQ(TextsOf(ReadCsv("caf\xC3\xA9,\xE2\x82\xAC\n").front()), (Texts{"caf\xC3\xA9", "\xE2\x82\xAC"}));
  EXPECT_EQ(TextsOf(ReadCsv(std::string("a\0b,c", 5)).front()), (Texts{std::string("a\0b", 3), "c"}));
}

TEST(CsvReader, MalformedInputNamesTheLine) {
  EXPECT_EQ(CsvErrorOf("a,b\n1,2\n\"open,3\n4,5\n"), (std::pair<int, std::string>{3, "Line 3: Quoted field not closed"}));
  EXPECT_EQ(CsvErrorOf("a,b\n1,2\n1,2,3\n"),
            (std::pair<int, std::string>{3, "Line 3: 3 fields where the first record has 2"}));
  EXPECT_EQ(CsvErrorOf("a,b\n1\n").first, 2);
  EXPECT_EQ(CsvErrorOf("a,b\n\"x\r\ny\",1\n\n").first, 4) << "an empty line is a record of one field";
  EXPECT_EQ(CsvErrorOf("a,b\nx\"y,1\n"), (std::pair<int, std::string>{2, "Line 2: Quote inside a field that does not start with one"}));
  EXPECT_EQ(CsvErrorOf("a,b\n\"x\"y,1\n"), (std::pair<int, std::string>{2, "Line 2: Text after the closing quote of a field"}));
  EXPECT_EQ(CsvErrorOf("\""), (std::pair<int, std::string>{1, "Line 1: Quoted field not closed"}));
}

TEST(CsvWriter, QuotesOnlyWhatNeedsItAndReadsBackTheSame) {
  EXPECT_EQ(CsvQuote("plain"), "plain");
  EXPECT_EQ(CsvQuote("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvQuote("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvQuote("x\ny"), "\"x\ny\"");
  EXPECT_EQ(CsvQuote(""), "");
  EXPECT_EQ(CsvQuote("", true), "\"\"");
  TRecordBuffer record{std::string("a,\"b\"\r\nc"), TFieldValue{}, std::string(), int64_t{-3}, 0.5};
  std::string line = CsvLine(record);
  EXPECT_EQ(line, "\"a,\"\"b\"\"\r\nc\",,\"\",-3,0.5\r\n");
  auto back = ReadCsv(line);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(TextsOf(back[0]), (Texts{"a,\"b\"\r\nc", "", "", "-3", "0.5"}));
  EXPECT_FALSE(back[0].Fields[1].Quoted) << "null stays apart from empty text";
  EXPECT_TRUE(back[0].Fields[2].Quoted);
}

class CsvDataSetTest : public testing::Test {
protected:
  std::string Write(const std::string& text) {
    WriteFileText(dir_ / "t.csv", text);
    return dir_ / "t.csv";
  }
  TCsvDataSet* Open(const std::string& text) {
    set_.SetFileName(Write(text));
    set_.Open();
    return &set_;
  }
  std::string OpenError(const std::string& text) {
    try {
      Open(text);
    } catch (const EDatabaseError& e) {
      EXPECT_FALSE(set_.Active());
      return e.Message();
    }
    return "no error";
  }
  std::string FileText() { return BytesOf(dir_ / "t.csv"); }

  TempDir dir_;
  TComponent owner_{nullptr};
  TCsvDataSet set_{&owner_};
};

TEST_F(CsvDataSetTest, TheHeaderNamesTextFieldsAndEmptyIsNullButQuotedEmptyIsText) {
  Open("id,name,note\r\n1,\"Ann, B.\",\r\n2,Bo,\"\"\r\n");
  ASSERT_EQ(set_.FieldCount(), 3);
  EXPECT_EQ(set_.Fields(1)->Name(), "name");
  EXPECT_EQ(set_.Fields(0)->DataType(), ftString);
  EXPECT_EQ(set_.Fields(1)->AsString(), "Ann, B.");
  EXPECT_TRUE(set_.Fields(2)->IsNull());
  set_.Next();
  EXPECT_FALSE(set_.Fields(2)->IsNull());
  EXPECT_EQ(set_.Fields(2)->AsString(), "");
  set_.Close();
  EXPECT_EQ(set_.FieldDefs().Count(), 0) << "definitions read from the file go with the file";
}

TEST_F(CsvDataSetTest, DefinedFieldsKeepTheirTypesAndTheirOrder) {
  set_.FieldDefs().Add("total", ftFloat);
  set_.FieldDefs().Add("count", ftInteger);
  set_.FieldDefs().Add("extra", ftString);
  Open("COUNT,Total\r\n3,1.5\r\n,2\r\n");
  EXPECT_EQ(set_.Fields(0)->DataType(), ftFloat);
  EXPECT_EQ(set_.Fields(0)->AsFloat(), 1.5);
  EXPECT_EQ(set_.Fields(1)->AsInteger(), 3);
  EXPECT_TRUE(set_.Fields(2)->IsNull()) << "a defined field the file lacks is null";
  set_.Next();
  EXPECT_TRUE(set_.Fields(1)->IsNull());
  set_.Close();
  EXPECT_EQ(set_.FieldDefs().Count(), 3);
  EXPECT_EQ(OpenError("count,total\r\nx,1\r\n"), "Line 2: 'x' is not a valid integer value for field 'count'");
  EXPECT_EQ(OpenError("count,other\r\n"), "Line 1: Field 'other' is not defined");
}

TEST_F(CsvDataSetTest, MalformedFilesRaiseWithTheLineAndLeaveTheSetClosed) {
  EXPECT_EQ(OpenError("a,b\r\n1,2\r\n3\r\n"), "Line 3: 1 fields where the first record has 2");
  EXPECT_EQ(OpenError("a,b\r\n\"1,2\r\n"), "Line 2: Quoted field not closed");
  EXPECT_EQ(OpenError("a,A\r\n"), "Line 1: Duplicate field name 'A'");
  EXPECT_EQ(OpenError("a,,b\r\n"), "Line 1: Field name missing");
  EXPECT_EQ(OpenError(""), "Line 1: No header naming the fields");
  EXPECT_EQ(set_.FieldDefs().Count(), 0);
  set_.SetFileName(dir_ / "absent.csv");
  EXPECT_THROW(set_.Open(), EDatabaseError);
}

TEST_F(CsvDataSetTest, SaveWritesWhatReadsBackAndKeepsTheBytesAndTheMark) {
  const std::string text = "\xEF\xBB\xBFnom,remarque\r\n\xC3\xA9t\xC3\xA9,\"deux\r\nlignes, \"\"cit\xC3\xA9\"\"\"\r\n";
  Open(text);
  set_.Save();
  EXPECT_EQ(FileText(), text);
  set_.Append();
  set_.Fields(0)->SetAsString("\xE2\x82\xAC");
  set_.Post();
  set_.Save();
  EXPECT_EQ(FileText(), text + "\xE2\x82\xAC,\r\n");
  set_.Close();
  set_.Open();
  set_.Last();
  EXPECT_EQ(set_.Fields(0)->AsString(), "\xE2\x82\xAC");
  EXPECT_TRUE(set_.Fields(1)->IsNull());
}

TEST_F(CsvDataSetTest, AMissingFileWithDefinitionsIsANewEmptySet) {
  set_.FieldDefs().Add("n", ftInteger);
  set_.SetFileName(dir_ / "new.csv");
  set_.Open();
  EXPECT_TRUE(set_.IsEmpty());
  set_.Append();
  set_.Fields(0)->SetAsInteger(7);
  set_.Post();
  set_.Save();
  EXPECT_EQ(BytesOf(dir_ / "new.csv"), "n\r\n7\r\n");
}

TEST_F(CsvDataSetTest, AFailedSaveLeavesTheOldFileAsItWasAndAutoSaveUndoesTheChange) {
  const std::string text = "a,b\r\n1,2\r\n";
  Open(text);
  set_.SetAutoSave(true);
  {
    // Held open without write sharing, the file cannot be replaced (as on Windows).
    TFileStream other(dir_ / "t.csv", fmOpenRead | fmShareDenyWrite);
    set_.Edit();
    set_.Fields(0)->SetAsString("changed");
    EXPECT_THROW(set_.Post(), EDatabaseError);
    EXPECT_EQ(set_.State(), dsEdit) << "the edit is kept for another try";
    EXPECT_THROW(set_.Save(), EDatabaseError);
    set_.Cancel();
    EXPECT_THROW(set_.Delete(), EDatabaseError);
    EXPECT_EQ(set_.RecordCount(), 1) << "the delete that could not be saved is undone";
  }
  EXPECT_EQ(FileText(), text);
  EXPECT_EQ(ListFolder(dir_.Path()), Texts{"t.csv"}) << "no temporary file is left";
  EXPECT_THROW(set_.SaveToFile(dir_ / (std::string("no") + PathSeparator() + "x.csv")), EDatabaseError);
  set_.Edit();
  set_.Fields(0)->SetAsString("changed");
  set_.Post();
  EXPECT_EQ(FileText(), "a,b\r\nchanged,2\r\n");
}

}  // namespace
