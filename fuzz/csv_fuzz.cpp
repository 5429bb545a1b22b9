// Feeds arbitrary bytes to the CSV reader: it must read them or refuse them with ECsvError
// naming a line inside the text, every record must have the first one's field count, and
// what it read must come back the same when written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/data/CsvDataSet.h"

namespace {

// The records as the data layer keeps them: an unquoted empty field is null.
TRecordBuffer Values(const TCsvRecord& record) {
  TRecordBuffer values;
  for (const TCsvField& field : record.Fields)
    values.push_back(field.Quoted || !field.Text.empty() ? TFieldValue(field.Text) : TFieldValue());
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<TCsvRecord> records;
  try {
    records = ReadCsv(text);
  } catch (const ECsvError& e) {
    long long lines = 1;
    for (char c : text) lines += c == '\n' || c == '\r';
    if (e.Line() < 1 || e.Line() > lines) abort();
    return 0;
  }
  std::string written;
  for (const TCsvRecord& record : records) {
    if (record.Fields.size() != records.front().Fields.size() || record.Fields.empty()) abort();
    written += CsvLine(Values(record));
  }
  std::vector<TCsvRecord> again = ReadCsv(written);  // must not raise
  if (again.size() != records.size()) abort();
  for (size_t r = 0; r < records.size(); ++r)
    if (Values(again[r]) != Values(records[r])) abort();
  return 0;
}
