#include "framework/data/OdbcDataSet.h"

#include <windows.h>
// clang-format off
#include <sql.h>
#include <sqlext.h>
// clang-format on

#include <algorithm>
#include <set>

#include "framework/core/StrUtils.h"

namespace {

std::wstring Wide(std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

SQLWCHAR* Sql(std::wstring& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

// The driver's messages for a failed call on HANDLE, one per line; WHAT when it has none.
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle, const std::string& what) {
  std::string messages;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR text[1024] = {};
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(type, handle, record, state, &native, text, 1024, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    if (!messages.empty()) messages += "\n";
    length = std::clamp<SQLSMALLINT>(length, 0, 1023);
    messages += Utf8(std::wstring_view(reinterpret_cast<wchar_t*>(text), length));
  }
  return messages.empty() ? what : messages;
}

void CheckOdbc(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what) {
  if (!SQL_SUCCEEDED(rc)) throw EDatabaseError(Diagnostics(type, handle, what));
}

// A statement on a connection, freed with it.
class TStatement {
public:
  explicit TStatement(SQLHDBC dbc) {
    CheckOdbc(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt_), SQL_HANDLE_DBC, dbc, "Cannot make a statement");
  }
  ~TStatement() { SQLFreeHandle(SQL_HANDLE_STMT, stmt_); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;

  // Prepares SQL, binds VALUES to its marks and runs it.
  void Execute(const std::string& sql, const std::vector<TFieldValue>& values) {
    std::wstring text = Wide(sql);
    Check(SQLPrepareW(stmt_, Sql(text), static_cast<SQLINTEGER>(text.size())), "Cannot prepare the statement");
    Bind(values);
    SQLRETURN rc = SQLExecute(stmt_);
    if (rc != SQL_NO_DATA) Check(rc, "Cannot run the statement");  // NO_DATA: a change of no rows
  }

  // The catalogue's rows for the columns of TABLE (name in column 4, nullability in 11).
  void TableColumns(const std::string& table) {
    std::wstring name = Wide(table);
    Check(SQLColumnsW(stmt_, nullptr, 0, nullptr, 0, Sql(name), static_cast<SQLSMALLINT>(name.size()), nullptr, 0),
          "Cannot read the columns of the table");
  }

  long long RowCount() {
    SQLLEN count = -1;
    Check(SQLRowCount(stmt_, &count), "Cannot count the rows");
    return count;
  }

  std::vector<TFieldDef> Columns() {
    SQLSMALLINT count = 0;
    Check(SQLNumResultCols(stmt_, &count), "Cannot read the columns");
    std::vector<TFieldDef> defs;
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
      SQLWCHAR name[256] = {};
      SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      Check(SQLDescribeColW(stmt_, i, name, 256, &nameLength, &type, &size, &digits, &nullable),
            "Cannot read the columns");
      nameLength = std::clamp<SQLSMALLINT>(nameLength, 0, 255);
      TFieldDef def;
      def.Name = Utf8(std::wstring_view(reinterpret_cast<wchar_t*>(name), nameLength));
      def.DataType = TypeOf(type);
      def.Required = nullable == SQL_NO_NULLS;
      defs.push_back(def);
    }
    return defs;
  }

  bool Fetch() {
    SQLRETURN rc = SQLFetch(stmt_);
    if (rc == SQL_NO_DATA) return false;
    Check(rc, "Cannot read a row");
    return true;
  }

  TFieldValue Get(SQLUSMALLINT column, TFieldType type) {
    SQLLEN indicator = 0;
    if (type == ftInteger || type == ftLargeint) {
      SQLBIGINT value = 0;
      Check(SQLGetData(stmt_, column, SQL_C_SBIGINT, &value, 0, &indicator), "Cannot read a value");
      return indicator == SQL_NULL_DATA ? TFieldValue{} : TFieldValue(int64_t{value});
    }
    if (type == ftFloat) {
      double value = 0;
      Check(SQLGetData(stmt_, column, SQL_C_DOUBLE, &value, 0, &indicator), "Cannot read a value");
      return indicator == SQL_NULL_DATA ? TFieldValue{} : TFieldValue(value);
    }
    return GetText(column);
  }

private:
  void Check(SQLRETURN rc, const char* what) { CheckOdbc(rc, SQL_HANDLE_STMT, stmt_, what); }

  static TFieldType TypeOf(SQLSMALLINT type) {
    switch (type) {
      case SQL_TINYINT:
      case SQL_SMALLINT:
      case SQL_BIT:
        return ftInteger;
      case SQL_INTEGER:  // SQLite's integers are 64-bit whatever the declared type
      case SQL_BIGINT:
        return ftLargeint;
      case SQL_REAL:
      case SQL_FLOAT:
      case SQL_DOUBLE:
      case SQL_NUMERIC:
      case SQL_DECIMAL:
        return ftFloat;
      default:
        return ftString;
    }
  }

  // Text of any length, in pieces: each call fills the buffer and says how much is left.
  TFieldValue GetText(SQLUSMALLINT column) {
    std::wstring text;
    for (;;) {
      SQLWCHAR piece[2048];
      SQLLEN indicator = 0;
      SQLRETURN rc = SQLGetData(stmt_, column, SQL_C_WCHAR, piece, sizeof piece, &indicator);
      if (rc == SQL_NO_DATA) break;
      Check(rc, "Cannot read a value");
      if (indicator == SQL_NULL_DATA) return {};
      size_t capacity = sizeof piece / sizeof piece[0] - 1;
      size_t got = indicator == SQL_NO_TOTAL || indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR)) > SQLLEN(capacity)
                       ? capacity
                       : static_cast<size_t>(indicator) / sizeof(SQLWCHAR);
      text.append(reinterpret_cast<wchar_t*>(piece), got);
      if (rc == SQL_SUCCESS) break;
    }
    return Utf8(text);
  }

  // The bound buffers live until the statement ran.
  void Bind(const std::vector<TFieldValue>& values) {
    bound_.assign(values.size(), {});
    for (size_t i = 0; i < values.size(); ++i) {
      TBound& b = bound_[i];
      SQLUSMALLINT number = static_cast<SQLUSMALLINT>(i + 1);
      SQLRETURN rc;
      if (auto* n = std::get_if<int64_t>(&values[i])) {
        b.integer = *n;
        rc = SQLBindParameter(stmt_, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &b.integer, 0, nullptr);
      } else if (auto* d = std::get_if<double>(&values[i])) {
        b.real = *d;
        rc = SQLBindParameter(stmt_, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &b.real, 0, nullptr);
      } else {
        auto* s = std::get_if<std::string>(&values[i]);
        b.text = s ? Wide(*s) : std::wstring();
        SQLLEN bytes = static_cast<SQLLEN>(b.text.size() * sizeof(SQLWCHAR));
        b.length = s ? bytes : SQL_NULL_DATA;  // the buffer's length itself is never negative
        rc = SQLBindParameter(stmt_, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                              std::max<SQLULEN>(1, b.text.size()), 0, Sql(b.text), bytes, &b.length);
      }
      Check(rc, "Cannot bind a parameter");
    }
  }

  struct TBound {
    SQLBIGINT integer = 0;
    double real = 0;
    std::wstring text;
    SQLLEN length = 0;
  };
  SQLHSTMT stmt_ = SQL_NULL_HSTMT;
  std::vector<TBound> bound_;
};

std::vector<std::string> SplitKeys(const std::string& keys) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= keys.size()) {
    size_t end = keys.find(';', start);
    if (end == std::string::npos) end = keys.size();
    std::string_view name = Trim(std::string_view(keys).substr(start, end - start));
    if (!name.empty()) names.emplace_back(name);
    start = end + 1;
  }
  return names;
}

// A name as an SQL identifier: in double quotes, inner quotes doubled.
std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  return out + "\"";
}

}  // namespace

// ---- parameters ----

std::string OdbcParameterSql(std::string_view sql, std::vector<std::string>& names) {
  names.clear();
  std::string out;
  char quote = 0;
  for (size_t i = 0; i < sql.size(); ++i) {
    char c = sql[i];
    if (quote) {
      out.push_back(c);
      if (c == quote) quote = 0;  // a doubled quote closes and reopens: the same result
      continue;
    }
    if (c == '\'' || c == '"') quote = c;
    auto identifier = [](char x) { return std::isalnum(static_cast<unsigned char>(x)) || x == '_'; };
    if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {  // "::" is no parameter
      out += "::";
      ++i;
      continue;
    }
    if (c == ':' && i + 1 < sql.size() && identifier(sql[i + 1])) {
      size_t end = i + 1;
      while (end < sql.size() && identifier(sql[end])) ++end;
      names.emplace_back(sql.substr(i + 1, end - i - 1));
      out.push_back('?');
      i = end - 1;
      continue;
    }
    out.push_back(c);
  }
  return out;
}

TOdbcParam& TOdbcParams::Items(int index) {
  if (index < 0 || index >= Count()) throw EListError("Parameter index out of bounds");
  return items_[index];
}

TOdbcParam* TOdbcParams::FindParam(std::string_view name) {
  for (TOdbcParam& p : items_)
    if (SameText(p.Name, name)) return &p;
  return nullptr;
}

TOdbcParam& TOdbcParams::ParamByName(std::string_view name) {
  if (TOdbcParam* p = FindParam(name)) return *p;
  throw EDatabaseError("Parameter '" + std::string(name) + "' not found");
}

// ---- the connection ----

TOdbcConnection::TOdbcConnection(TComponent* owner) : TComponent(owner) {}

TOdbcConnection::~TOdbcConnection() {
  Destroying();
  Disconnect();
}

void TOdbcConnection::SetConnectionString(const std::string& value) {
  if (Connected()) throw EDatabaseError("Cannot change the connection string of an open connection");
  connectionString_ = value;
}

void TOdbcConnection::SetConnected(bool value) {
  if (InState(csLoading)) {
    streamedConnected_ = value;
    return;
  }
  if (value == Connected()) return;
  if (value)
    Connect();
  else
    Disconnect();
}

void TOdbcConnection::Loaded() {
  inherited::Loaded();
  if (streamedConnected_) Open();
}

void TOdbcConnection::Connect() {
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  auto release = [&] {
    if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    if (env) SQLFreeHandle(SQL_HANDLE_ENV, env);
  };
  try {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
      throw EDatabaseError("Cannot start the ODBC driver manager");
    CheckOdbc(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0), SQL_HANDLE_ENV,
          env, "Cannot start the ODBC driver manager");
    CheckOdbc(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), SQL_HANDLE_ENV, env, "Cannot make a connection");
    std::wstring text = Wide(connectionString_);
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnectW(dbc, nullptr, Sql(text), static_cast<SQLSMALLINT>(text.size()), out, 1024,
                                     &outLength, SQL_DRIVER_NOPROMPT);
    CheckOdbc(rc, SQL_HANDLE_DBC, dbc, "Cannot connect");
  } catch (...) {
    release();
    throw;
  }
  env_ = env;
  dbc_ = dbc;
}

void TOdbcConnection::Disconnect() {
  for (TOdbcQuery* query : std::vector<TOdbcQuery*>(queries_)) {
    // Going away, there is no one to report a failed post to: pending edits are dropped.
    if (IsDestroying()) query->Cancel();
    query->Close();
  }
  if (dbc_) {
    SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  }
  if (env_) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  dbc_ = env_ = nullptr;
}

void TOdbcConnection::CheckConnected() const {
  if (!Connected()) throw EDatabaseError("The connection is not open");
}

long long TOdbcConnection::ExecSQL(const std::string& sql, const std::vector<TFieldValue>& values) {
  CheckConnected();
  TStatement statement(dbc_);
  statement.Execute(sql, values);
  return statement.RowCount();
}

void TOdbcConnection::DeclarePublished(TPublished<TOdbcConnection>& p) {
  p.String("ConnectionString", &TOdbcConnection::ConnectionString, &TOdbcConnection::SetConnectionString);
  p.Boolean("Connected", &TOdbcConnection::Connected, &TOdbcConnection::SetConnected);
}

// ---- the query ----

TOdbcQuery::~TOdbcQuery() {
  Destroying();
  if (connection_) std::erase(connection_->queries_, this);
}

void TOdbcQuery::SetConnection(TOdbcConnection* value) {
  if (value == connection_.Get()) return;
  if (Active()) Close();
  if (connection_) std::erase(connection_->queries_, this);
  connection_ = value;
  if (value) value->queries_.push_back(this);
}

void TOdbcQuery::ConnectionGone() {
  // The connection closed this query before it went.
}

void TOdbcQuery::SetSQL(const std::string& value) {
  if (Active()) Close();
  sql_ = value;
  preparedSql_ = OdbcParameterSql(value, paramOrder_);
  std::vector<TOdbcParam> params;
  for (const std::string& name : paramOrder_) {
    bool seen = std::any_of(params.begin(), params.end(), [&](const TOdbcParam& p) { return SameText(p.Name, name); });
    if (seen) continue;
    TOdbcParam* old = params_.FindParam(name);
    params.push_back({name, old ? old->Value : TFieldValue{}});
  }
  params_.items_ = std::move(params);
}

TOdbcConnection& TOdbcQuery::CheckConnection() const {
  if (!connection_) throw EDatabaseError("No connection given");
  connection_->CheckConnected();
  return *connection_;
}

bool TOdbcQuery::CanModify() const {
  return TMemDataSet::CanModify() && !tableName_.empty() && !SplitKeys(keyFields_).empty();
}

std::vector<TFieldValue> TOdbcQuery::ParamValues() const {
  std::vector<TFieldValue> values;
  for (const std::string& name : paramOrder_)
    for (const TOdbcParam& param : params_.items_)
      if (SameText(param.Name, name)) values.push_back(param.Value);
  return values;
}

long long TOdbcQuery::ExecSQL() { return CheckConnection().ExecSQL(preparedSql_, ParamValues()); }

void TOdbcQuery::InternalOpen() { ReadRows(); }

void TOdbcQuery::InternalRefresh() { ReadRows(); }

void TOdbcQuery::ReadRows() {
  TOdbcConnection& connection = CheckConnection();
  TStatement statement(connection.dbc_);
  statement.Execute(preparedSql_, ParamValues());
  std::vector<TFieldDef> columns = statement.Columns();
  if (FieldDefs().Count() == 0) {
    std::set<std::string> notNull = NotNullColumns();
    std::vector<std::string> keys = SplitKeys(keyFields_);
    for (const TFieldDef& def : columns) {
      // A key may be generated by the database: it is not required of the program.
      bool key = std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return SameText(k, def.Name); });
      FieldDefs().Add(def.Name, def.DataType, 0, (def.Required || notNull.count(LowerCase(def.Name))) && !key);
    }
  } else if (FieldDefs().Count() != static_cast<int>(columns.size())) {
    throw EDatabaseError("The query returns " + std::to_string(columns.size()) + " columns where " +
                         std::to_string(FieldDefs().Count()) + " fields are defined");
  }
  std::vector<TRecordBuffer> rows;
  while (statement.Fetch()) {
    TRecordBuffer row;
    for (int i = 0; i < FieldDefs().Count(); ++i)
      row.push_back(statement.Get(static_cast<SQLUSMALLINT>(i + 1), FieldDefs().Items(i).DataType));
    rows.push_back(std::move(row));
  }
  SetRows(std::move(rows));
}

// The columns of the table edits go to that may not be null (drivers do not always say so of a
// query's columns).
std::set<std::string> TOdbcQuery::NotNullColumns() const {
  std::set<std::string> names;
  if (tableName_.empty()) return names;
  TStatement statement(connection_->dbc_);
  statement.TableColumns(tableName_);
  while (statement.Fetch()) {
    TFieldValue nullable = statement.Get(11, ftInteger);
    if (std::holds_alternative<int64_t>(nullable) && std::get<int64_t>(nullable) == SQL_NO_NULLS)
      names.insert(LowerCase(std::get<std::string>(TField::Convert(statement.Get(4, ftString), ftString, {}))));
  }
  return names;
}

std::vector<int> TOdbcQuery::KeyIndexes() const {
  std::vector<int> indexes;
  for (const std::string& name : SplitKeys(keyFields_)) {
    int index = FieldDefs().IndexOf(name);
    if (index < 0) throw EDatabaseError("Key field '" + name + "' not found");
    indexes.push_back(index);
  }
  if (indexes.empty() || tableName_.empty()) throw EDatabaseError("Cannot modify a read-only data set");
  return indexes;
}

namespace {

// "a" = ? AND "b" = ? over the key columns, with their values appended to VALUES.
std::string KeyCondition(const TFieldDefs& defs, const std::vector<int>& keys, const TRecordBuffer& record,
                         std::vector<TFieldValue>& values) {
  std::string where;
  for (int k : keys) {
    if (!where.empty()) where += " AND ";
    where += Quoted(defs.Items(k).Name) + " = ?";
    values.push_back(record[k]);
  }
  return where;
}

}  // namespace

void TOdbcQuery::InternalPost(int index, TRecordBuffer& record, bool inserting) {
  TOdbcConnection& connection = CheckConnection();
  std::vector<int> keys = KeyIndexes();
  std::vector<TFieldValue> values;
  std::string sql;
  if (inserting) {
    // Null columns are left to the database: a generated key, a column's default.
    std::string names, marks;
    for (int i = 0; i < FieldDefs().Count(); ++i) {
      if (std::holds_alternative<std::monostate>(record[i])) continue;
      names += (names.empty() ? "" : ", ") + Quoted(FieldDefs().Items(i).Name);
      marks += marks.empty() ? "?" : ", ?";
      values.push_back(record[i]);
    }
    sql = "INSERT INTO " + Quoted(tableName_) +
          (names.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + marks + ")");
  } else {
    std::string assignments;
    for (int i = 0; i < FieldDefs().Count(); ++i) {
      assignments += (assignments.empty() ? "" : ", ") + Quoted(FieldDefs().Items(i).Name) + " = ?";
      values.push_back(record[i]);
    }
    // The row is found by the key it had when it was read.
    sql = "UPDATE " + Quoted(tableName_) + " SET " + assignments + " WHERE " +
          KeyCondition(FieldDefs(), keys, Rows()[index], values);
  }
  long long changed = connection.ExecSQL(sql, values);
  if (!inserting && changed == 0) throw EDatabaseError("The record was changed or deleted by another user");
  if (inserting && keys.size() == 1 && std::holds_alternative<std::monostate>(record[keys[0]])) {
    TStatement statement(connection.dbc_);
    statement.Execute("SELECT last_insert_rowid()", {});
    if (statement.Fetch()) record[keys[0]] = statement.Get(1, ftLargeint);
  }
  ReadBack(record);
  TMemDataSet::InternalPost(index, record, inserting);
}

// RECORD as the table now holds it (defaults, triggers, conversions), when the table has it.
void TOdbcQuery::ReadBack(TRecordBuffer& record) const {
  std::vector<int> keys = KeyIndexes();
  std::string names;
  for (int i = 0; i < FieldDefs().Count(); ++i)
    names += (names.empty() ? "" : ", ") + Quoted(FieldDefs().Items(i).Name);
  std::vector<TFieldValue> values;
  std::string sql = "SELECT " + names + " FROM " + Quoted(tableName_) + " WHERE " +
                    KeyCondition(FieldDefs(), keys, record, values);
  TStatement statement(connection_->dbc_);
  try {
    statement.Execute(sql, values);
  } catch (const EDatabaseError&) {
    return;  // the query's columns are not the table's: keep what was posted
  }
  if (!statement.Fetch()) return;
  for (int i = 0; i < FieldDefs().Count(); ++i)
    record[i] = statement.Get(static_cast<SQLUSMALLINT>(i + 1), FieldDefs().Items(i).DataType);
}

void TOdbcQuery::InternalDelete(int index) {
  TOdbcConnection& connection = CheckConnection();
  std::vector<TFieldValue> values;
  std::string sql = "DELETE FROM " + Quoted(tableName_) + " WHERE " +
                    KeyCondition(FieldDefs(), KeyIndexes(), Rows()[index], values);
  if (connection.ExecSQL(sql, values) == 0) throw EDatabaseError("The record was changed or deleted by another user");
  TMemDataSet::InternalDelete(index);
}

void TOdbcQuery::DeclarePublished(TPublished<TOdbcQuery>& p) {
  p.Component("Connection", &TOdbcQuery::Connection, &TOdbcQuery::SetConnection);
  p.String("SQL", &TOdbcQuery::SQL, &TOdbcQuery::SetSQL);
  p.String("TableName", &TOdbcQuery::TableName, &TOdbcQuery::SetTableName);
  p.String("KeyFields", &TOdbcQuery::KeyFields, &TOdbcQuery::SetKeyFields);
}
