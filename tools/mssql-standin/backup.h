// BACKUP DATABASE: a consistent copy of a database file written through SQLite's backup API.
#pragma once
#include <string>
#include <vector>

#include "catalog.h"
#include "sql_error.h"

namespace standin {

struct BackupOutcome {
  bool ok = false;
  std::vector<SqlError> messages;  // errors when !ok, informational messages (class 0) when ok
};

// Writes database `name` to `path` ("\" counts as a separator). Without `init`
// an existing file is refused, since one file holds one database image here.
BackupOutcome backupDatabase(const Catalog& catalog, const std::string& name, const std::string& path, bool init);

}  // namespace standin
