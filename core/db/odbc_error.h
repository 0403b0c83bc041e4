// Errors of the database layer, built from ODBC diagnostic records.
#pragma once
#include <string>

#include "platform/error.h"

namespace dorvik::db {

// A database operation failed. The message is the server's or the driver's
// own text (the "[vendor][component]" prefixes removed); several diagnostic
// records are joined with CR LF.
class DatabaseError : public Error {
 public:
  DatabaseError(std::string message, std::string sqlState = {}, long nativeError = 0)
      : Error(std::move(message)), sqlState_(std::move(sqlState)), nativeError_(nativeError) {}
  const char* className() const noexcept override { return "DatabaseError"; }
  // Five-character SQLSTATE of the first record, e.g. "08001".
  const std::string& sqlState() const { return sqlState_; }
  // The server's error number of the first record (18456, 4060, ...), 0 if none.
  long nativeError() const { return nativeError_; }

 private:
  std::string sqlState_;
  long nativeError_;
};

}  // namespace dorvik::db
