// Loading and saving the scrambled settings file.
#include "core/settings_file.h"

#include "core/scrambler.h"
#include "platform/atomic_file.h"
#include "platform/file_append.h"
#include "platform/text_codec.h"

namespace dorvik {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::u16string utf16FromBytes(std::string_view bytes, bool bigEndian) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto a = static_cast<unsigned char>(bytes[2 * i]);
    const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
    out[i] = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  return out;
}

}  // namespace

std::string decodeTextFile(std::string_view bytes) {
  if (startsWith(bytes, kUtf8Bom)) return std::string(bytes.substr(kUtf8Bom.size()));
  if (startsWith(bytes, "\xFF\xFE")) return platform::utf16ToUtf8(utf16FromBytes(bytes.substr(2), false));
  if (startsWith(bytes, "\xFE\xFF")) return platform::utf16ToUtf8(utf16FromBytes(bytes.substr(2), true));
  return platform::ansiToUtf8(bytes);
}

std::string normalizeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    out.append(text.substr(start, i - start)).append("\r\n");
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) out.append(text.substr(start)).append("\r\n");
  return out;
}

IniDocument createSettingsDocument(const std::string& folder) {
  IniDocument settings;
  const std::string plain = folder + std::string(kPlainSettingsFileName);
  if (platform::fileExists(plain)) {
    std::string text = platform::readWholeFile(plain);
    if (startsWith(text, kUtf8Bom)) text.erase(0, kUtf8Bom.size());
    settings.setText(text);
  }
  return settings;
}

bool loadSettingsFile(IniDocument& settings, const std::string& path) {
  if (!platform::fileExists(path)) return false;
  const std::string text = normalizeLineBreaks(decodeTextFile(platform::readWholeFile(path)));
  settings.setText(sifruj(text, kPassPhrase, false));
  return true;
}

void saveSettingsFile(const IniDocument& settings, const std::string& path) {
  const std::string scrambled = sifruj(settings.text(), kPassPhrase, true);
  platform::replaceFileAtomically(path, std::string(kUtf8Bom) + scrambled, /*ownerOnly=*/true);
}

}  // namespace dorvik
