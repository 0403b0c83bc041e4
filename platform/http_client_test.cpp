// httpGet and httpDownload against the HTTP peer on 127.0.0.1: whole bodies, the request headers,
// and every way a download can fail without counting as one.
#include "platform/http_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "platform/error.h"
#include "platform/file_append.h"
#include "tests/common/closed_port.h"
#include "tests/common/temp_folder.h"
#include "tests/support/http_peer.h"

namespace dorvik::platform {
namespace {

using ::testing::HasSubstr;

// Bytes of every value, including NUL and CR LF, so that no text handling can pass unnoticed.
std::string binaryBody(std::size_t size) {
  std::string body(size, '\0');
  unsigned state = 12345;
  for (char& c : body) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return body;
}

class HttpClient : public ::testing::Test {
 protected:
  testing::HttpPeer peer_;
  testing::TempFolder temp_;
};

TEST_F(HttpClient, GetReturnsTheWholeBodyAndSendsTheRequestHeaders) {
  const std::string document =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<verze><verzedv>1.00.00.01</verzedv><popis>Nová verze</popis></verze>";
  const std::string url = peer_.publish("data/vorlak8/dv.php", document);
  EXPECT_EQ(httpGet(url, {{"Accept", "*/*"}, {"Content-Type", "text/xml"}}), document);
  ASSERT_EQ(peer_.requests().size(), 1u);
  const std::string request = peer_.requests()[0];
  EXPECT_THAT(request, HasSubstr("GET /data/vorlak8/dv.php HTTP/1.1\r\n"));
  EXPECT_THAT(request, HasSubstr("\r\nAccept: */*\r\n"));
  EXPECT_THAT(request, HasSubstr("\r\nContent-Type: text/xml\r\n"));
}

TEST_F(HttpClient, GetOfBinaryAndEmptyBodies) {
  const std::string binary = binaryBody(300'000);
  EXPECT_EQ(httpGet(peer_.publish("binary", binary)), binary);
  EXPECT_EQ(httpGet(peer_.publish("empty", "")), "");
}

TEST_F(HttpClient, DownloadReplacesTheFileWithTheWholeBody) {
  const std::string program = binaryBody(2'000'000);
  const std::string url = peer_.publish("data/vorlak8/uloha.exe", program);
  const std::string target = temp_ / "uloha.exe";
  std::ofstream(target, std::ios::binary) << std::string(3'000'000, 'x');  // an older, longer file
  httpDownload(url, target);
  EXPECT_EQ(readWholeFile(target), program);
}

TEST_F(HttpClient, RedirectsAreFollowedToTheFile) {
  peer_.publish("new/uloha.exe", "program");
  peer_.redirect("data/vorlak8/uloha.exe", "/new/uloha.exe");
  EXPECT_EQ(httpGet(peer_.baseUrl() + "/data/vorlak8/uloha.exe"), "program");
  httpDownload(peer_.baseUrl() + "/data/vorlak8/uloha.exe", temp_ / "uloha.exe");
  EXPECT_EQ(readWholeFile(temp_ / "uloha.exe"), "program");
}

// Each failure is an Error from both calls, whose message says what failed.
TEST_F(HttpClient, FailuresThrowAndSayWhy) {
  const int closed = testing::closedPort();
  peer_.publish("error/page", "the file itself is fine");
  peer_.answerWithStatus("error/page", 500);
  peer_.publish("cut/uloha.exe", binaryBody(100'000));
  peer_.truncate("cut/uloha.exe");
  peer_.publish("plain", "served over plain HTTP");
  struct Case {
    const char* what;
    std::string url;
    std::string message;
  };
  const Case cases[] = {
      {"missing file", peer_.baseUrl() + "/data/vorlak8/missing.exe",
       "HTTP 404 Not Found: " + peer_.baseUrl() + "/data/vorlak8/missing.exe"},
      {"error status", peer_.baseUrl() + "/error/page", "HTTP 500 Internal Server Error"},
      {"truncated body", peer_.baseUrl() + "/cut/uloha.exe", "Incomplete answer from " + peer_.baseUrl()},
      {"server down", "http://127.0.0.1:" + std::to_string(closed) + "/dv.php",
       "Cannot connect to 127.0.0.1:" + std::to_string(closed) + ": Connection refused"},
      {"https against a plain server", "https://127.0.0.1:" + std::to_string(peer_.port()) + "/plain",
       "Cannot download https://127.0.0.1:"},
      {"not http", "ftp://127.0.0.1:" + std::to_string(peer_.port()) + "/plain", "Cannot download ftp://"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::function<void()> calls[] = {[&] { httpGet(c.url); }, [&] { httpDownload(c.url, temp_ / "download"); }};
    for (const auto& call : calls) {
      try {
        call();
        ADD_FAILURE() << "no error";
      } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr(c.message));
      }
    }
  }
}

TEST_F(HttpClient, DownloadIntoAMissingFolderIsAFileError) {
  const std::string url = peer_.publish("uloha.exe", "program");
  EXPECT_THROW(httpDownload(url, temp_ / "no-such-folder/uloha.exe"), FileError);
}

}  // namespace
}  // namespace dorvik::platform
