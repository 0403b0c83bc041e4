// update_bench: what an update check and a program download cost, beside the curl tool on the same server.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "platform/file_version.h"
#include "platform/http_client.h"
#include "setup/novaverze.h"
#include "tests/support/http_peer.h"

namespace {

using Clock = std::chrono::steady_clock;

// Median, minimum and maximum of `runs` timings of `work`, in milliseconds.
void time(const char* what, int runs, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-58s median %9.3f ms  min %9.3f  max %9.3f  (%d runs)\n", what, ms[ms.size() / 2], ms.front(),
              ms.back(), runs);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int megabytes = argc > 1 ? std::atoi(argv[1]) : 32;
  try {
    dorvik::testing::HttpPeer server;
    server.publish("data/vorlak8/dv.php",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<verze><verzedv>1.00.00.00</verzedv><verzedvsc>1.00.00.00"
                   "</verzedvsc><verzeuloha>1.00.00.01</verzeuloha><popis>Opravy chyb.</popis></verze>\n");
    std::string big(static_cast<std::size_t>(megabytes) * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 2654435761u >> 24);
    const std::string url = server.publish("data/vorlak8/uloha.exe", big);
    const QString base = QString::fromStdString(server.baseUrl());
    const std::string target = server.root() + "../downloaded";

    time("update check: fetch and read the version document", 100, [&] {
      dorvik::setup::Tnovaverze v;
      dorvik::setup::novaverze(base, v);
      if (v.verzeuloha.isEmpty()) throw std::runtime_error(v.popis.toStdString());
    });
    const std::string program = DORVIK_SETUP_DIR "/dorvik-setup";
    time("version of the setup tool's executable (ELF note)", 200, [&] {
      if (dorvik::platform::fileVersionText(program).empty()) throw std::runtime_error("no version in " + program);
    });
    const std::string label = "download " + std::to_string(megabytes) + " MB: httpDownload";
    time(label.c_str(), 5, [&] { dorvik::platform::httpDownload(url, target); });
    const std::string curl = "curl -sS --fail --noproxy '*' -o '" + target + "' '" + url + "'";
    const std::string curlLabel = "download " + std::to_string(megabytes) + " MB: the curl tool (a process each)";
    time(curlLabel.c_str(), 5, [&] {
      if (std::system(curl.c_str()) != 0) throw std::runtime_error("curl failed");
    });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "update_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
