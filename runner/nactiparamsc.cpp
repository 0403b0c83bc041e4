// nactiparamsc.
#include "runner/nactiparamsc.h"

#include "core/integer_text.h"
#include "platform/error.h"
#include "platform/file_append.h"
#include "runner/zapislog.h"

namespace dorvik {

std::int32_t nactiparamsc(const std::string& slozka) {
  std::string text;
  try {
    text = platform::readWholeFile(slozka + std::string(kHandOffFileName));
  } catch (const FileError& e) {
    zapislog(slozka, 0, e.what());
    return 0;
  }
  std::string_view line(text);
  if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
  line = line.substr(0, line.find_first_of("\r\n"));
  return tryParseInt32(line).value_or(0);
}

}  // namespace dorvik
