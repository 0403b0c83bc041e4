// uloha: carries out one task of the agent table and ends.
#include <clocale>
#include <iostream>
#include <thread>

#include "platform/error.h"
#include "platform/program_folder.h"
#include "runner/beh.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  try {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return dorvik::spustuloha(args, dorvik::platform::programFolder(), std::cout,
                              [](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); });
  } catch (const dorvik::Error& e) {
    std::cerr << e.className() << ": " << e.what() << "\r\n";
  } catch (const std::exception& e) {
    std::cerr << "Exception: " << e.what() << "\r\n";
  }
  return 1;
}
