// dvsc: the scheduler service; with /install or /uninstall (and /silent) it registers or removes itself.
#include <cctype>
#include <clocale>
#include <iostream>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/program_folder.h"
#include "platform/service_host.h"
#include "service/dvservice.h"
#include "service/polling_loop.h"

namespace {

bool isSwitch(std::string_view arg, std::string_view name) {
  if (arg.empty() || (arg.front() != '/' && arg.front() != '-')) return false;
  arg.remove_prefix(1);
  if (arg.size() != name.size()) return false;
  for (std::size_t i = 0; i < arg.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(arg[i])) != name[i]) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  bool install = false, uninstall = false, silent = false;
  for (int i = 1; i < argc; ++i) {
    install |= isSwitch(argv[i], "install");
    uninstall |= isSwitch(argv[i], "uninstall");
    silent |= isSwitch(argv[i], "silent");
  }
  try {
    const std::string folder = dorvik::platform::programFolder();
    const dorvik::platform::ServiceIdentity identity{"dvservice", "dorvik service",
                                                     folder + "dvsc" + dorvik::platform::kExecutableSuffix};
    dorvik::Tdvservice sluzba(folder);
    sluzba.ServiceCreate();
    if (install || uninstall) {
      if (install) dorvik::platform::installService(identity);
      else dorvik::platform::uninstallService(identity);
      if (!silent) std::cout << (install ? "Service installed successfully" : "Service uninstalled successfully") << "\n";
      return 0;
    }
    return dorvik::platform::runService(
        identity, {[&] { sluzba.ServiceStart(); }, [&] { sluzba.ServiceShutdown(); }},
        [&](dorvik::platform::ServiceControl& control) { dorvik::runPollingLoop(sluzba, control); });
  } catch (const dorvik::Error& e) {
    std::cerr << e.className() << ": " << e.what() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "Exception: " << e.what() << "\n";
  }
  return 1;
}
