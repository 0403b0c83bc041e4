// Reads SQL batch and RPC request messages: the batch text, the procedure and its typed parameters.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "result_set.h"

namespace standin {

// The text of a SQL batch message (after its ALL_HEADERS block).
std::string parseSqlBatch(std::string_view payload);

struct RpcParameter {
  std::string name;  // with '@', may be empty
  SqlType type;      // the declared type as the server treats it
  Cell value;        // date-times as days, bits as 0/1, texts as UTF-8
  bool output = false;
};

struct RpcRequest {
  std::string procedure;  // lower case; well-known procedure ids are given their names
  std::vector<RpcParameter> parameters;
};

// Throws ProtocolError for a malformed request, SqlError for a parameter type the server does not take.
std::vector<RpcRequest> parseRpc(std::string_view payload);

}  // namespace standin
