// The server's databases: one SQLite file each in the data folder, names compared case-insensitively.
#pragma once
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace standin {

class Catalog {
 public:
  // Creates the folder and the master database if missing. Throws std::runtime_error.
  explicit Catalog(std::filesystem::path folder);

  // Names as created, "master" first.
  std::vector<std::string> names() const;
  // The name as created for a name in any letter case; nullopt if there is no such database.
  std::optional<std::string> find(const std::string& name) const;
  std::filesystem::path fileOf(const std::string& name) const;
  // CREATE DATABASE; throws SqlError 1801 if it exists, 102 for a name the server cannot store.
  void create(const std::string& name);

  // Counts schema changes made through this server (the only writer of its
  // files), so sessions may cache table definitions until it moves.
  std::uint64_t schemaGeneration() const { return schemaGeneration_.load(); }
  void schemaChanged() { ++schemaGeneration_; }

 private:
  std::filesystem::path folder_;
  mutable std::mutex mutex_;
  std::atomic<std::uint64_t> schemaGeneration_{0};
};

}  // namespace standin
