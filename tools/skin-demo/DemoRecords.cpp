#include "tools/skin-demo/DemoRecords.h"

#include <windows.h>

#include <memory>

#include "framework/data/CsvDataSet.h"
#include "framework/data/OdbcDataSet.h"

namespace {

constexpr int kMargin = 12, kLabelWidth = 90, kEditWidth = 290, kRowHeight = 28, kEditHeight = 21;

}  // namespace

std::string DefaultDemoRecordsFile() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + kDemoRecordsFileName;
}

void TDemoRecordsForm::DeclarePublished(TPublished<TDemoRecordsForm>& p) {
  p.Field("kyrForm1", &TDemoRecordsForm::kyrForm1);
  p.Field("kyrDBNavigator1", &TDemoRecordsForm::kyrDBNavigator1);
  p.Field("DataSource1", &TDemoRecordsForm::DataSource1);
  p.Method("FormClose", &TDemoRecordsForm::FormClose);
}

void TDemoRecordsForm::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TDemoRecordsForm::OpenData(const TDemoRecordsSource& source) {
  TDataSet* data = source.UsesOdbc() ? OpenOdbc(source.Odbc, source.Table) : OpenCsv(source.CsvFile);
  DataSource1->SetDataSet(data);
  LayOutFields(*data);
}

TDataSet* TDemoRecordsForm::OpenCsv(const std::string& file) {
  auto csv = std::make_unique<TCsvDataSet>(nullptr);
  csv->SetFileName(file);
  csv->SetAutoSave(true);  // a post lands in the file at once
  csv->Open();
  InsertComponent(csv.get());
  return csv.release();
}

TDataSet* TDemoRecordsForm::OpenOdbc(const std::string& connection, const std::string& table) {
  if (table.empty()) throw EDatabaseError("--odbc needs --table with the name of the table to open");
  auto link = std::make_unique<TOdbcConnection>(nullptr);
  link->SetConnectionString(connection);
  link->Open();
  auto query = std::make_unique<TOdbcQuery>(nullptr);
  query->SetConnection(link.get());
  query->SetSQL("SELECT * FROM " + table);
  query->SetTableName(table);
  query->Open();
  if (query->FieldCount() == 0) throw EDatabaseError("The table " + table + " has no columns");
  // The first column is the key edits are written back by.
  query->SetKeyFields(query->Fields(0)->FieldName());
  InsertComponent(link.release());
  InsertComponent(query.get());
  return query.release();
}

void TDemoRecordsForm::LayOutFields(TDataSet& data) {
  int top = kyrDBNavigator1->Top() + kyrDBNavigator1->Height() + kMargin;
  for (int i = 0; i < data.FieldCount(); ++i, top += kRowHeight) {
    const std::string& name = data.Fields(i)->FieldName();
    auto* label = new TLabel(this);
    label->SetParent(kyrForm1);
    label->SetBounds(kMargin, top + 4, kLabelWidth, 13);
    label->SetTransparent(true);
    label->SetCaption(name);
    labels_.push_back(label);
    auto* edit = new TDBEdit(this);
    edit->SetParent(kyrForm1);
    edit->SetBounds(kMargin + kLabelWidth + 8, top, kEditWidth, kEditHeight);
    edit->SetDataSource(DataSource1);
    edit->SetDataField(name);
    edit->SetTabOrder(i + 1);
    edits_.push_back(edit);
  }
  SetClientSize(std::max(ClientWidth(), 2 * kMargin + kLabelWidth + 8 + kEditWidth), top + kMargin);
}
