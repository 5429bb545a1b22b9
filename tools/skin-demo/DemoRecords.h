// The skin demo's Records child: a skinned navigator over a data set and, per field, a label with
// the field's name and an edit bound to it, laid out when the data set is opened. The data set is
// the demo's sample table in a CSV file (saved back, all at once, after every post and delete) or
// a table reached through ODBC (edits written to the table by its first column).
//
//   TDemoRecordsForm* form = CreateForm<TDemoRecordsForm>(Application);
//   form->OpenData(source);   // raises EDatabaseError (missing file, ODBC failure ...)
//   form->Show();
#pragma once

#include <string>
#include <vector>

#include "framework/data/DB.h"
#include "framework/ui/DBCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "skin/controls/KYRDBCtrls.h"
#include "skin/frame/KYRForm.h"

// Where the Records child takes its rows from: the table Table through the ODBC connection
// string Odbc when that is given, else the CSV file CsvFile.
struct TDemoRecordsSource {
  std::string CsvFile;
  std::string Odbc;
  std::string Table;
  bool UsesOdbc() const { return !Odbc.empty(); }
};

// The sample table shipped beside the program.
inline constexpr const char* kDemoRecordsFileName = "skin-demo-records.csv";
// kDemoRecordsFileName in the folder of the running program.
std::string DefaultDemoRecordsFile();

class TDemoRecordsForm : public TForm {
  VANTOR_CLASS(TDemoRecordsForm, TForm)
public:
  explicit TDemoRecordsForm(TComponent* owner) : TForm(owner) {}

  TkyrForm* kyrForm1 = nullptr;
  TkyrDBNavigator* kyrDBNavigator1 = nullptr;
  TDataSource* DataSource1 = nullptr;

  // Opens SOURCE's data set (owned by this form) and lays out a label and an edit per field;
  // raises what opening raises and leaves the form without a data set then.
  void OpenData(const TDemoRecordsSource& source);
  TDataSet* DataSet() const { return DataSource1->DataSet(); }
  // The edit and the label of each field, in field order.
  const std::vector<TDBEdit*>& Edits() const { return edits_; }
  const std::vector<TLabel*>& Labels() const { return labels_; }

  // Frees the child (caFree).
  void FormClose(TObject* Sender, TCloseAction& Action);

  static void DeclarePublished(TPublished<TDemoRecordsForm>& p);

private:
  TDataSet* OpenCsv(const std::string& file);
  TDataSet* OpenOdbc(const std::string& connection, const std::string& table);
  void LayOutFields(TDataSet& data);

  std::vector<TDBEdit*> edits_;
  std::vector<TLabel*> labels_;
};
