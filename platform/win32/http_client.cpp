// Win32 face of the HTTP client: WinHTTP, without a proxy, following redirects (its default).
#include "platform/http_client.h"

#include <windows.h>
#include <winhttp.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "platform/error.h"
#include "platform/win32/win32_util.h"

namespace dorvik::platform {
namespace {

struct InternetCloser {
  void operator()(HINTERNET h) const noexcept { WinHttpCloseHandle(h); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

struct FileCloser {
  void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

// WinHTTP's codes (12001 and up) have their texts in winhttp.dll, not in the system's table.
std::string winHttpErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 GetModuleHandleW(L"winhttp.dll"), code, 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                                 nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", n);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.')) {
    text.pop_back();
  }
  if (!text.empty()) return fromWide(text) + " (error " + std::to_string(code) + ")";
  switch (code) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return "the connection was refused or the server cannot be reached (error 12029)";
    case ERROR_WINHTTP_TIMEOUT:
      return "the operation timed out (error 12002)";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return "the server name could not be resolved (error 12007)";
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return "the connection was reset or closed (error 12030)";
    case ERROR_WINHTTP_SECURE_FAILURE:
      return "the secure connection failed (error 12175)";
    case ERROR_WINHTTP_INVALID_URL:
      return "the URL is invalid (error 12005)";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      return "the URL's scheme is not http or https (error 12006)";
    default:
      return systemErrorText(code);
  }
}

std::wstring queryHeader(HINTERNET request, DWORD info) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return L"";
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
    return L"";
  }
  value.resize(size / sizeof(wchar_t));
  return value;
}

void get(const std::string& url, const std::vector<HttpHeader>& headers,
         const std::function<void(const char*, std::size_t)>& sink) {
  const std::wstring wideUrl = toWide(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts)) {
    throw Error("Cannot download " + url + ": " + winHttpErrorText(GetLastError()));
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    throw Error("Cannot download " + url + ": only http and https are supported");
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";
  const std::string where = fromWide(host) + ":" + std::to_string(parts.nPort);

  const Internet session(WinHttpOpen(L"dorvik", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                     WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) throw Error("Cannot download " + url + ": " + winHttpErrorText(GetLastError()));
  // Resolve and connect within 30 s; a send or a read that waits 60 s for a byte ends the transfer.
  WinHttpSetTimeouts(session.get(), 30'000, 30'000, 60'000, 60'000);
  const Internet connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) throw Error("Cannot connect to " + where + ": " + winHttpErrorText(GetLastError()));
  const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  const Internet request(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (!request) throw Error("Cannot download " + url + ": " + winHttpErrorText(GetLastError()));
  for (const HttpHeader& h : headers) {
    const std::wstring line = toWide(h.name + ": " + h.value);
    if (!WinHttpAddRequestHeaders(request.get(), line.c_str(), static_cast<DWORD>(line.size()),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
      throw Error("Cannot download " + url + ": header " + h.name + ": " + winHttpErrorText(GetLastError()));
    }
  }
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    const DWORD code = GetLastError();
    if (code == ERROR_WINHTTP_CANNOT_CONNECT || code == ERROR_WINHTTP_NAME_NOT_RESOLVED ||
        code == ERROR_WINHTTP_TIMEOUT) {
      throw Error("Cannot connect to " + where + ": " + winHttpErrorText(code));
    }
    throw Error("Cannot download " + url + ": " + winHttpErrorText(code));
  }

  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    throw Error("Cannot download " + url + ": no status in the answer");
  }
  if (status != 200) {
    const std::string reason = fromWide(queryHeader(request.get(), WINHTTP_QUERY_STATUS_TEXT));
    throw Error("HTTP " + std::to_string(status) + (reason.empty() ? "" : " " + reason) + ": " + url);
  }
  // WinHTTP ends the body quietly when the connection closes early; the announced length tells.
  const std::wstring lengthText = queryHeader(request.get(), WINHTTP_QUERY_CONTENT_LENGTH);
  const long long announced = lengthText.empty() ? -1 : _wtoi64(lengthText.c_str());

  unsigned long long received = 0;
  std::string buffer(64 * 1024, '\0');
  for (;;) {
    DWORD got = 0;
    if (!WinHttpReadData(request.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
      const DWORD code = GetLastError();
      throw Error("Incomplete answer from " + url + ": " + winHttpErrorText(code) + " after " + std::to_string(received) +
                  " bytes");
    }
    if (got == 0) break;
    sink(buffer.data(), got);
    received += got;
  }
  if (announced >= 0 && received != static_cast<unsigned long long>(announced)) {
    throw Error("Incomplete answer from " + url + ": the connection closed after " + std::to_string(received) +
                " bytes of " + std::to_string(announced));
  }
}

}  // namespace

std::string httpGet(const std::string& url, const std::vector<HttpHeader>& headers) {
  std::string body;
  get(url, headers, [&body](const char* data, std::size_t n) { body.append(data, n); });
  return body;
}

void httpDownload(const std::string& url, const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(_wfopen(toWide(path).c_str(), L"wb"));
  if (!file) throw FileError("Cannot create " + path + ": " + std::strerror(errno));
  get(url, {}, [&](const char* data, std::size_t n) {
    if (std::fwrite(data, 1, n, file.get()) != n) throw FileError("Cannot write " + path);
  });
  if (std::fclose(file.release()) != 0) throw FileError("Cannot write " + path);
}

}  // namespace dorvik::platform
