// Internal to the database layer: ODBC headers, UTF-16 buffers and turning diagnostics into DatabaseError.
#pragma once
#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

#include "core/db/odbc_error.h"

namespace dorvik::db::odbc {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the database layer expects 16-bit SQLWCHAR");

std::u16string wide(std::string_view utf8);
std::string narrow(const SQLWCHAR* text, std::size_t length);

inline bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// The error described by the handle's diagnostic records, or by `fallback` when there are none.
DatabaseError diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, std::string_view fallback);

// Throws the handle's diagnostics unless `rc` reports success.
void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, std::string_view what);

}  // namespace dorvik::db::odbc
