#include "framework/data/CsvDataSet.h"

#include "framework/core/AtomicFile.h"
#include "framework/core/Streams.h"

namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";

// Reads one record's fields from TEXT at I; LINE follows the line breaks passed.
class TCsvReader {
public:
  explicit TCsvReader(std::string_view text) : text_(text) {
    if (text_.substr(0, Bom.size()) == Bom) i_ = Bom.size();
  }

  bool AtEnd() const { return i_ >= text_.size(); }

  TCsvRecord Record() {
    TCsvRecord record;
    record.Line = line_;
    for (;;) {
      record.Fields.push_back(Peek() == '"' ? Quoted() : Unquoted());
      if (Peek() != ',') break;
      ++i_;
    }
    LineBreak();
    return record;
  }

private:
  int Peek() const { return AtEnd() ? -1 : static_cast<unsigned char>(text_[i_]); }

  // Passes a CR LF, LF or CR at I (if any), counting one line.
  bool LineBreak() {
    if (Peek() == '\r') {
      ++i_;
      if (Peek() == '\n') ++i_;
    } else if (Peek() == '\n') {
      ++i_;
    } else {
      return false;
    }
    ++line_;
    return true;
  }

  TCsvField Unquoted() {
    TCsvField field;
    size_t start = i_;
    while (!AtEnd() && Peek() != ',' && Peek() != '\r' && Peek() != '\n') {
      if (Peek() == '"') throw ECsvError(line_, "Quote inside a field that does not start with one");
      ++i_;
    }
    field.Text.assign(text_.substr(start, i_ - start));
    return field;
  }

  TCsvField Quoted() {
    TCsvField field;
    field.Quoted = true;
    int opened = line_;
    ++i_;
    for (;;) {
      if (AtEnd()) throw ECsvError(opened, "Quoted field not closed");
      if (Peek() == '"') {
        ++i_;
        if (Peek() != '"') break;  // the closing quote; a doubled one is a quote of the text
      }
      size_t start = i_;
      if (LineBreak()) {
        field.Text.append(text_.substr(start, i_ - start));
        continue;
      }
      field.Text.push_back(text_[i_++]);
    }
    if (!AtEnd() && Peek() != ',' && Peek() != '\r' && Peek() != '\n')
      throw ECsvError(line_, "Text after the closing quote of a field");
    return field;
  }

  std::string_view text_;
  size_t i_ = 0;
  int line_ = 1;
};

std::string ValueText(const TFieldValue& value) {
  return std::get<std::string>(TField::Convert(value, ftString, {}));
}

}  // namespace

std::vector<TCsvRecord> ReadCsv(std::string_view text) {
  std::vector<TCsvRecord> records;
  TCsvReader reader(text);
  while (!reader.AtEnd()) {
    records.push_back(reader.Record());
    const TCsvRecord& record = records.back();
    size_t expected = records.front().Fields.size();
    if (record.Fields.size() != expected)
      throw ECsvError(record.Line, std::to_string(record.Fields.size()) + " fields where the first record has " +
                                       std::to_string(expected));
  }
  return records;
}

std::string CsvQuote(std::string_view field, bool quoteEmpty) {
  // A field that starts like a byte-order mark is quoted: at the start of a file the mark
  // would be skipped when it is read back.
  bool quote = (quoteEmpty && field.empty()) || field.find_first_of(",\"\r\n") != std::string_view::npos ||
               field.substr(0, Bom.size()) == Bom;
  if (!quote) return std::string(field);
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string CsvLine(const TRecordBuffer& record) {
  std::string line;
  for (size_t i = 0; i < record.size(); ++i) {
    if (i > 0) line.push_back(',');
    if (!std::holds_alternative<std::monostate>(record[i])) line += CsvQuote(ValueText(record[i]), true);
  }
  return line + "\r\n";
}

// ---- the data set ----

TCsvDataSet::~TCsvDataSet() { Destroying(); }

void TCsvDataSet::SetFileName(const std::string& value) {
  if (Active()) throw EDatabaseError("Cannot change the file name of an open data set");
  fileName_ = value;
}

void TCsvDataSet::InternalOpen() { Load(); }

void TCsvDataSet::InternalRefresh() { Load(); }

void TCsvDataSet::Load() {
  if (fileName_.empty()) throw EDatabaseError("No file name given");
  if (!FileExists(fileName_)) {
    // A new file: the program's definitions make an empty set.
    if (FieldDefs().Count() > 0) return SetRows({});
    throw EDatabaseError("Cannot open file " + fileName_);
  }
  std::string text;
  try {
    TFileStream file(fileName_, fmOpenRead | fmShareDenyWrite);
    text.resize(static_cast<size_t>(file.Size()));
    file.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
  } catch (const EStreamError& e) {
    throw EDatabaseError(e.Message());
  }
  hadBom_ = std::string_view(text).substr(0, Bom.size()) == Bom;
  std::vector<TCsvRecord> records = ReadCsv(text);
  if (records.empty()) {
    if (FieldDefs().Count() > 0) return SetRows({});
    throw ECsvError(1, "No header naming the fields");
  }
  std::vector<int> columns = MapHeader(records.front());
  std::vector<TRecordBuffer> rows;
  for (size_t r = 1; r < records.size(); ++r) {
    TRecordBuffer row(FieldDefs().Count());
    const TCsvRecord& record = records[r];
    for (size_t c = 0; c < columns.size(); ++c) {
      const TCsvField& field = record.Fields[c];
      const TFieldDef& def = FieldDefs().Items(columns[c]);
      TFieldValue value = field.Quoted || !field.Text.empty() ? TFieldValue(field.Text) : TFieldValue();
      try {
        row[columns[c]] = TField::Convert(value, def.DataType, def.Name);
      } catch (const EDatabaseError& e) {
        throw ECsvError(record.Line, e.Message());
      }
    }
    rows.push_back(std::move(row));
  }
  SetRows(std::move(rows));
}

// The field index of every column of HEADER; the first open defines the fields from it.
std::vector<int> TCsvDataSet::MapHeader(const TCsvRecord& header) {
  bool defined = FieldDefs().Count() > 0;
  std::vector<int> columns;
  for (const TCsvField& name : header.Fields) {
    if (!defined) {
      try {
        FieldDefs().Add(name.Text, ftString);
      } catch (const EDatabaseError& e) {
        throw ECsvError(header.Line, e.Message());
      }
    }
    int index = FieldDefs().IndexOf(name.Text);
    if (index < 0) throw ECsvError(header.Line, "Field '" + name.Text + "' is not defined");
    for (int seen : columns)
      if (seen == index) throw ECsvError(header.Line, "Duplicate field name '" + name.Text + "'");
    columns.push_back(index);
  }
  return columns;
}

template <class F>
void TCsvDataSet::Saving(F change) {
  if (!autoSave_) return change();
  std::vector<TRecordBuffer> before = Rows();
  change();
  try {
    Save();
  } catch (...) {
    SetRows(std::move(before));
    throw;
  }
}

void TCsvDataSet::InternalPost(int index, TRecordBuffer& record, bool inserting) {
  Saving([&] { TMemDataSet::InternalPost(index, record, inserting); });
}

void TCsvDataSet::InternalDelete(int index) {
  Saving([&] { TMemDataSet::InternalDelete(index); });
}

std::string TCsvDataSet::CsvText() const {
  CheckActive();
  std::string text = hadBom_ ? std::string(Bom) : std::string();
  for (int i = 0; i < FieldDefs().Count(); ++i) {
    if (i > 0) text.push_back(',');
    text += CsvQuote(FieldDefs().Items(i).Name);
  }
  text += "\r\n";
  for (const TRecordBuffer& row : Rows()) text += CsvLine(row);
  return text;
}

void TCsvDataSet::SaveToFile(const std::string& fileName) const {
  if (fileName.empty()) throw EDatabaseError("No file name given");
  std::string text = CsvText();
  try {
    TAtomicFile file(fileName);
    file.Stream().WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    file.Commit();
  } catch (const EStreamError& e) {
    throw EDatabaseError(e.Message());
  }
}

void TCsvDataSet::DeclarePublished(TPublished<TCsvDataSet>& p) {
  p.String("FileName", &TCsvDataSet::FileName, &TCsvDataSet::SetFileName);
  p.Boolean("AutoSave", &TCsvDataSet::AutoSave, &TCsvDataSet::SetAutoSave);
}
