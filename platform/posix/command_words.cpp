#include "platform/posix/command_words.h"

namespace dorvik::platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> commandWords(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  if (i == line.size()) return words;

  std::string program;
  if (line[i] == '"') {
    const std::size_t close = line.find('"', i + 1);
    program = line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
    i = close == std::string::npos ? line.size() : close + 1;
  }
  while (i < line.size() && !isBlank(line[i])) program.push_back(line[i++]);
  words.push_back(program);

  while (true) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size()) break;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || !isBlank(line[i]))) {
      if (line[i] == '\\') {
        std::size_t n = 0;
        while (i < line.size() && line[i] == '\\') ++n, ++i;
        if (i < line.size() && line[i] == '"') {
          word.append(n / 2, '\\');
          if (n % 2 == 1) {
            word.push_back('"');
            ++i;
          }
        } else {
          word.append(n, '\\');
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          word.push_back('"');
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        word.push_back(line[i++]);
      }
    }
    words.push_back(word);
  }
  return words;
}

}  // namespace dorvik::platform
