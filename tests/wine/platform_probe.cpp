// Drives the Win32 faces of the update's platform parts for the Wine test; one command per run:
//   platform_probe version <path>          prints the file's version text (an empty line when none)
//   platform_probe get <url>               prints the body, sent with Accept "*/*" and Content-Type "text/xml"
//   platform_probe download <url> <path>   downloads to the file
//   platform_probe processes               prints "self <pid>", then "<pid> <name>" per running process
//   platform_probe connected               prints 1 or 0
// Exit code 0 on success; 1 with "error: <message>" on standard output when the call threw; 2 for usage.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/file_version.h"
#include "platform/http_client.h"
#include "platform/network_state.h"
#include "platform/processes.h"
#include "platform/win32/win32_util.h"

using namespace dorvik::platform;

namespace {

void print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

int run(const std::vector<std::string>& args) {
  const std::string command = args.size() > 1 ? args[1] : "";
  if (command == "version" && args.size() == 3) {
    print(fileVersionText(args[2]) + "\n");
  } else if (command == "get" && args.size() == 3) {
    print(httpGet(args[2], {{"Accept", "*/*"}, {"Content-Type", "text/xml"}}));
  } else if (command == "download" && args.size() == 4) {
    httpDownload(args[2], args[3]);
    print("downloaded\n");
  } else if (command == "processes" && args.size() == 2) {
    print("self " + std::to_string(GetCurrentProcessId()) + "\n");
    for (const RunningProcess& p : runningProcesses()) print(std::to_string(p.pid) + " " + p.executableName + "\n");
  } else if (command == "connected" && args.size() == 2) {
    print(networkConnected() ? "1\n" : "0\n");
  } else {
    print("usage: platform_probe version|get|download|processes|connected ...\n");
    return 2;
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Bytes as they are: bodies and lines ending in "\n", not "\r\n".
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(fromWide(argv[i]));
  try {
    return run(args);
  } catch (const std::exception& e) {
    print(std::string("error: ") + e.what() + "\n");
    return 1;
  }
}
