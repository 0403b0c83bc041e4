// Base of the errors dorvik raises: a message plus the class name that reports show.
#pragma once
#include <stdexcept>
#include <string>

namespace dorvik {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  // Name shown before the message in reports ("FileError: ...").
  virtual const char* className() const noexcept { return "Error"; }
};

// A file could not be opened, read, written or renamed; the message names the file.
class FileError : public Error {
 public:
  using Error::Error;
  const char* className() const noexcept override { return "FileError"; }
};

}  // namespace dorvik
