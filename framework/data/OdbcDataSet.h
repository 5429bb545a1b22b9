// Databases through ODBC (Windows build only: odbc32).
//
// TOdbcConnection connects with a driver connection string; under Wine odbc32 hands every
// call to the host's driver manager, so a connection string names a host driver and a host
// path ("DRIVER=SQLite3;Database=/abs/unix/path.db;": Wine does not translate paths inside
// it). TOdbcQuery runs its SQL on Open and keeps every row it returned in memory; with
// TableName and KeyFields it can be edited: Post runs a parameterised INSERT or UPDATE ...
// WHERE key = ?, Delete a DELETE ... WHERE key = ?, and the record is read back from the table
// afterwards (a key the database generated is taken from last_insert_rowid()).
//
// All text goes through the wide (W) calls, so non-ASCII survives: values are UTF-8 on our side.
// Every failure a driver reports is raised as EDatabaseError with the driver's message.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "framework/data/MemDataSet.h"

class TOdbcQuery;

class TOdbcConnection : public TComponent {
  VANTOR_CLASS(TOdbcConnection, TComponent)
public:
  explicit TOdbcConnection(TComponent* owner);
  ~TOdbcConnection() override;

  const std::string& ConnectionString() const { return connectionString_; }
  void SetConnectionString(const std::string& value);
  bool Connected() const { return dbc_ != nullptr; }
  void SetConnected(bool value);
  void Open() { SetConnected(true); }
  // Closes every query on the connection first.
  void Close() { SetConnected(false); }

  // Runs SQL that returns no rows (VALUES bound to its "?" marks, in order); returns the
  // number of rows it changed (-1 when the driver does not say).
  long long ExecSQL(const std::string& sql, const std::vector<TFieldValue>& values = {});

  // The driver's handle of the connection (an SQLHDBC), nullptr when closed.
  void* Handle() const { return dbc_; }

  void Loaded() override;
  static void DeclarePublished(TPublished<TOdbcConnection>& p);

private:
  friend class TOdbcQuery;
  void Connect();
  void Disconnect();
  void CheckConnected() const;

  std::string connectionString_;
  void* env_ = nullptr;  // SQLHENV
  void* dbc_ = nullptr;  // SQLHDBC
  bool streamedConnected_ = false;
  std::vector<TOdbcQuery*> queries_;
};

// A parameter of a query: ":name" in its SQL.
struct TOdbcParam {
  std::string Name;
  TFieldValue Value;
};

class TOdbcParams {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TOdbcParam& Items(int index);
  // EDatabaseError when the SQL has no parameter of that name (case-insensitive).
  TOdbcParam& ParamByName(std::string_view name);
  TOdbcParam* FindParam(std::string_view name);
  void SetValue(std::string_view name, const TFieldValue& value) { ParamByName(name).Value = value; }

private:
  friend class TOdbcQuery;
  std::vector<TOdbcParam> items_;
};

// SQL with ":name" parameters as the driver takes it: every parameter outside quotes
// ('text', "name") becomes "?", and NAMES gets its name, once per occurrence, in order.
std::string OdbcParameterSql(std::string_view sql, std::vector<std::string>& names);

class TOdbcQuery : public TMemDataSet {
  VANTOR_CLASS(TOdbcQuery, TMemDataSet)
public:
  explicit TOdbcQuery(TComponent* owner) : TMemDataSet(owner) {}
  ~TOdbcQuery() override;

  TOdbcConnection* Connection() const { return connection_.Get(); }
  void SetConnection(TOdbcConnection* value);
  const std::string& SQL() const { return sql_; }
  // Closes the query; the parameters follow the new text (values of names kept stay).
  void SetSQL(const std::string& value);
  TOdbcParams& Params() { return params_; }
  TOdbcParam& ParamByName(std::string_view name) { return params_.ParamByName(name); }
  // The table edits go to, and its key columns (separated by ";"); without both the query
  // only browses.
  const std::string& TableName() const { return tableName_; }
  void SetTableName(const std::string& value) { tableName_ = value; }
  const std::string& KeyFields() const { return keyFields_; }
  void SetKeyFields(const std::string& value) { keyFields_ = value; }

  bool CanModify() const override;
  // Runs SQL that returns no rows, with the parameters (what ExecSQL of the connection does).
  long long ExecSQL();

  static void DeclarePublished(TPublished<TOdbcQuery>& p);

protected:
  void InternalOpen() override;
  void InternalPost(int index, TRecordBuffer& record, bool inserting) override;
  void InternalDelete(int index) override;
  void InternalRefresh() override;

private:
  friend class TOdbcConnection;
  void ConnectionGone();
  TOdbcConnection& CheckConnection() const;
  std::vector<int> KeyIndexes() const;
  std::set<std::string> NotNullColumns() const;
  std::vector<TFieldValue> ParamValues() const;
  void ReadRows();
  void ReadBack(TRecordBuffer& record) const;

  TComponentRef<TOdbcConnection> connection_{this, [this] { ConnectionGone(); }};
  std::string sql_, tableName_, keyFields_;
  std::string preparedSql_;
  std::vector<std::string> paramOrder_;
  TOdbcParams params_;
};
