// Comma-separated text (RFC 4180) and a data set kept in such a file.
//
// The reader takes fields separated by commas and records ended by CR LF, LF or CR; a field in
// double quotes may hold commas, line breaks and doubled quotes. A quote inside an unquoted
// field, text after a closing quote, an unclosed quote and a record with another number of
// fields than the first raise ECsvError with the line the record starts on. Bytes are kept as
// they are (UTF-8 passes through); a UTF-8 byte-order mark at the start is skipped.
//
// Null and empty text differ in a file: an unquoted empty field is null, "" is an empty text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/data/MemDataSet.h"

class ECsvError : public EDatabaseError {
public:
  ECsvError(int line, const std::string& message)
      : EDatabaseError("Line " + std::to_string(line) + ": " + message), line_(line) {}
  int Line() const { return line_; }

private:
  int line_;
};

// One field as read: its text, and whether it was written in quotes.
struct TCsvField {
  std::string Text;
  bool Quoted = false;
};
struct TCsvRecord {
  int Line = 1;  // the line it starts on
  std::vector<TCsvField> Fields;
};

// Every record of TEXT (nothing for empty text); raises ECsvError for malformed input.
std::vector<TCsvRecord> ReadCsv(std::string_view text);
// FIELD as written: in quotes (with quotes doubled) when it holds a comma, quote or line break,
// or when QUOTEEMPTY and it is empty.
std::string CsvQuote(std::string_view field, bool quoteEmpty = false);
// One record line, ended by CR LF; a null value is left empty.
std::string CsvLine(const TRecordBuffer& record);

// A TMemDataSet read from FileName on Open (the first record names the fields) and written
// back by Save. Fields are text unless FieldDefs were set before Open: then the header must
// name only defined fields, the values take their types, and defined fields the file lacks
// are null. A missing file opens as an empty set when FieldDefs are given.
// Save replaces the file all at once: if it fails, the old file is left as it was.
class TCsvDataSet : public TMemDataSet {
  VANTOR_CLASS(TCsvDataSet, TMemDataSet)
public:
  explicit TCsvDataSet(TComponent* owner) : TMemDataSet(owner) {}
  ~TCsvDataSet() override;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value);
  // Save after every post and delete; a failed save undoes the change and raises.
  bool AutoSave() const { return autoSave_; }
  void SetAutoSave(bool value) { autoSave_ = value; }

  // Writes the rows to FileName (or FILENAME); raises EDatabaseError when it cannot.
  void Save() { SaveToFile(fileName_); }
  void SaveToFile(const std::string& fileName) const;
  // The whole file as Save writes it.
  std::string CsvText() const;

  static void DeclarePublished(TPublished<TCsvDataSet>& p);

protected:
  void InternalOpen() override;
  void InternalPost(int index, TRecordBuffer& record, bool inserting) override;
  void InternalDelete(int index) override;
  void InternalRefresh() override;

private:
  void Load();
  std::vector<int> MapHeader(const TCsvRecord& header);
  template <class F>
  void Saving(F change);

  std::string fileName_;
  bool autoSave_ = false;
  bool hadBom_ = false;  // written back as it was found
};
