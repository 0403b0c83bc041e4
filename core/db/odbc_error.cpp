// Reading ODBC diagnostic records into DatabaseError, and the UTF-16 edge of the database layer.
#include "core/db/odbc_call.h"

#include "platform/text_codec.h"

namespace dorvik::db::odbc {
namespace {

// "[FreeTDS][SQL Server]Login failed ..." -> "Login failed ...": the bracketed
// vendor and component names say where the text came from, not what failed.
std::string_view withoutSourcePrefix(std::string_view message) {
  while (!message.empty() && message.front() == '[') {
    const auto close = message.find(']');
    if (close == std::string_view::npos) break;
    message.remove_prefix(close + 1);
  }
  return message;
}

}  // namespace

std::u16string wide(std::string_view utf8) { return platform::utf8ToUtf16(utf8); }

std::string narrow(const SQLWCHAR* text, std::size_t length) {
  return platform::utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

DatabaseError diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, std::string_view fallback) {
  std::string message;
  std::string firstState;
  long firstNative = 0;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR text[2048] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRecW(handleType, handle, record, state, &native, text,
                                        static_cast<SQLSMALLINT>(std::size(text)), &length);
    if (!succeeded(rc)) break;
    const std::size_t used = std::min<std::size_t>(static_cast<std::size_t>(length), std::size(text) - 1);
    const std::string line(withoutSourcePrefix(narrow(text, used)));
    if (record == 1) {
      firstState = narrow(state, 5);
      firstNative = native;
    }
    if (line.empty() || message.find(line) != std::string::npos) continue;
    if (!message.empty()) message += "\r\n";
    message += line;
  }
  if (message.empty()) message = std::string(fallback);
  return DatabaseError(std::move(message), std::move(firstState), firstNative);
}

void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, std::string_view what) {
  if (!succeeded(rc)) throw diagnostics(handleType, handle, std::string(what) + " failed");
}

}  // namespace dorvik::db::odbc
