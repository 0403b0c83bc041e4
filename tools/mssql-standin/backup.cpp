// Database backups to a file, with SQL Server's messages for the outcomes.
#include "backup.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace standin {
namespace {

struct HandleCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Handle = std::unique_ptr<sqlite3, HandleCloser>;

const SqlError kTerminating(3013, 16, 1, "BACKUP DATABASE is terminating abnormally.");

BackupOutcome deviceError(const std::string& shownPath, int osError, const std::string& osText) {
  return BackupOutcome{false,
                       {SqlError(3201, 16, 1, "Cannot open backup device '" + shownPath + "'. Operating system error " + std::to_string(osError) + "(" + osText + ")."),
                        kTerminating}};
}

}  // namespace

BackupOutcome backupDatabase(const Catalog& catalog, const std::string& name, const std::string& path, bool init) {
  const auto database = catalog.find(name);
  if (!database)
    return BackupOutcome{false, {SqlError(911, 16, 11, "Database '" + name + "' does not exist. Make sure that the name is entered correctly."), kTerminating}};
  std::string unixPath = path;
  for (char& c : unixPath) {
    if (c == '\\') c = '/';
  }
  std::filesystem::path target(unixPath);
  if (target.is_relative()) target = catalog.fileOf(*database).parent_path() / target;
  std::error_code ec;
  const std::filesystem::path folder = target.parent_path();
  if (unixPath.empty() || unixPath.back() == '/' || !std::filesystem::is_directory(folder, ec))
    return deviceError(path, 3, "The system cannot find the path specified.");
  if (std::filesystem::is_directory(target, ec)) return deviceError(path, 5, "Access is denied.");
  if (!init && std::filesystem::exists(target, ec))
    return BackupOutcome{false, {SqlError(4208, 16, 1, "Cannot append a backup set to the existing file '" + path + "'; use WITH INIT to replace it."), kTerminating}};

  const auto started = std::chrono::steady_clock::now();
  sqlite3* raw = nullptr;
  sqlite3_open_v2(catalog.fileOf(*database).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  Handle source(raw);
  // Written beside the target and renamed over it, so a failed backup never leaves a torn file.
  const std::filesystem::path temporary = target.string() + ".partial";
  raw = nullptr;
  sqlite3_open_v2(temporary.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  Handle destination(raw);
  int pages = 0;
  bool ok = source && destination && sqlite3_errcode(source.get()) == SQLITE_OK && sqlite3_errcode(destination.get()) == SQLITE_OK;
  if (ok) {
    sqlite3_busy_timeout(source.get(), 10000);
    sqlite3_backup* b = sqlite3_backup_init(destination.get(), "main", source.get(), "main");
    ok = b != nullptr;
    if (b != nullptr) {
      int rc = SQLITE_OK;
      do {
        rc = sqlite3_backup_step(b, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(20);
      } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
      pages = sqlite3_backup_pagecount(b);
      ok = sqlite3_backup_finish(b) == SQLITE_OK && rc == SQLITE_DONE;
    }
  }
  if (ok) ok = sqlite3_exec(destination.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) == SQLITE_OK;
  destination.reset();
  source.reset();
  if (ok) {
    std::filesystem::rename(temporary, target, ec);
    ok = !ec;
  }
  if (!ok) {
    std::filesystem::remove(temporary, ec);
    return deviceError(path, 5, "Access is denied.");
  }
  const double seconds = std::max(0.001, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  char text[200];
  std::snprintf(text, sizeof text, "BACKUP DATABASE successfully processed %d pages in %.3f seconds (%.3f MB/sec).", pages, seconds,
                pages * 4096.0 / 1048576.0 / seconds);
  return BackupOutcome{true,
                       {SqlError(4035, 0, 1, "Processed " + std::to_string(pages) + " pages for database '" + *database + "', file '" + *database + "' on file 1."),
                        SqlError(3014, 0, 1, text)}};
}

}  // namespace standin
