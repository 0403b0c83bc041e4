// An ODBC connection to SQL Server (FreeTDS here, Microsoft's driver on Windows).
#pragma once
#include <memory>
#include <string>

namespace dorvik::db {

class Statement;

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens with a complete ODBC connection string; throws DatabaseError.
  // The login time-out bounds the wait for the server.
  void open(const std::string& connectionString, int loginTimeoutSeconds);
  // Closes the connection if open; never throws.
  void close() noexcept;
  bool isOpen() const noexcept { return open_; }

  // Name of the current database as the server reports it.
  std::string databaseName() const;

  // Handle of the open connection, for Statement.
  void* nativeHandle() const;
  // Changes whenever the connection closes; statement handles of an older
  // generation were freed with it.
  unsigned long generation() const noexcept { return generation_; }

 private:
  struct Handles;
  std::unique_ptr<Handles> handles_;
  bool open_ = false;
  unsigned long generation_ = 0;
};

}  // namespace dorvik::db
