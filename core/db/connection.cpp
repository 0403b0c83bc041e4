// Connection: environment and connection handles, SQLDriverConnectW with a login time-out.
#include "core/db/connection.h"

#include <vector>

#include "core/db/odbc_call.h"

namespace dorvik::db {

struct Connection::Handles {
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;

  void freeConnection() noexcept {
    if (dbc != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    dbc = SQL_NULL_HDBC;
  }
  ~Handles() {
    freeConnection();
    if (env != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env);
  }
};

Connection::Connection() : handles_(std::make_unique<Handles>()) {}

Connection::~Connection() { close(); }

void Connection::open(const std::string& connectionString, int loginTimeoutSeconds) {
  close();
  Handles& h = *handles_;
  if (h.env == SQL_NULL_HENV) {
    if (!odbc::succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h.env))) {
      h.env = SQL_NULL_HENV;
      throw DatabaseError("Cannot allocate the ODBC environment");
    }
    odbc::check(SQLSetEnvAttr(h.env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
                SQL_HANDLE_ENV, h.env, "Setting the ODBC version");
  }
  odbc::check(SQLAllocHandle(SQL_HANDLE_DBC, h.env, &h.dbc), SQL_HANDLE_ENV, h.env, "Allocating a connection");
  const auto timeout = static_cast<SQLULEN>(loginTimeoutSeconds);
  SQLSetConnectAttrW(h.dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(timeout), 0);
  SQLSetConnectAttrW(h.dbc, SQL_ATTR_CONNECTION_TIMEOUT, reinterpret_cast<SQLPOINTER>(timeout), 0);

  std::u16string text = odbc::wide(connectionString);
  std::vector<SQLWCHAR> in(text.begin(), text.end());
  in.push_back(0);
  SQLWCHAR out[1024];
  SQLSMALLINT outLength = 0;
  const SQLRETURN rc = SQLDriverConnectW(h.dbc, nullptr, in.data(), SQL_NTS, out,
                                         static_cast<SQLSMALLINT>(std::size(out)), &outLength, SQL_DRIVER_NOPROMPT);
  if (!odbc::succeeded(rc)) {
    DatabaseError error = odbc::diagnostics(SQL_HANDLE_DBC, h.dbc, "Connecting to the database failed");
    h.freeConnection();
    throw error;
  }
  open_ = true;
}

void Connection::close() noexcept {
  if (!handles_) return;
  if (open_) SQLDisconnect(handles_->dbc);
  open_ = false;
  ++generation_;
  handles_->freeConnection();
}

std::string Connection::databaseName() const {
  if (!open_) return {};
  SQLWCHAR name[512] = {};
  SQLINTEGER length = 0;
  const SQLRETURN rc = SQLGetConnectAttrW(handles_->dbc, SQL_ATTR_CURRENT_CATALOG, name, sizeof name, &length);
  odbc::check(rc, SQL_HANDLE_DBC, handles_->dbc, "Reading the database name");
  const auto units = std::min<std::size_t>(static_cast<std::size_t>(length) / sizeof(SQLWCHAR), std::size(name) - 1);
  return odbc::narrow(name, units);
}

void* Connection::nativeHandle() const {
  if (!open_) throw DatabaseError("The connection is not open");
  return handles_->dbc;
}

}  // namespace dorvik::db
