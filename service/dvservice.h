// Tdvservice: the service module; reloads the settings and launches the due tasks at every poll.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "core/db/connection.h"
#include "core/ini_document.h"
#include "platform/local_time.h"
#include "service/rozvrh.h"

namespace dorvik {

class Tdvservice {
 public:
  // `slozka`: the service program's folder, with its trailing separator.
  explicit Tdvservice(std::string slozka);

  // Module creation: the settings object, the first load, the timer armed.
  void ServiceCreate();
  // Service start request: reload, nothing running.
  void ServiceStart();
  // Stop or system shutdown: the settings object is released and no poll runs any more.
  void ServiceShutdown();
  // One poll, unless one is running already.
  void Timer1Timer();

  // Reloads the settings file of the setup folder, the connection texts and the timer interval.
  void nactinastaveni();
  // Appends one line to dvsc.log in the service's folder.
  void zapislogsluzby(std::string_view zprava);

  PollTimer& Timer1() { return timer_; }

  // Launch of one task: hand-off file, log line, the runner started and awaited, one second's pause.
  void spustulohu(int idulohy);
  void zapisparamsc(std::string_view text);

 private:
  struct Tglobal {
    std::string serverport = "localhost,1433";
    std::string databaze;
    std::string jmeno = "sa";
    std::string heslo;
    bool bezi = false;
  };

  void poll();

  std::string slozka_;
  std::optional<IniDocument> nastaveni_;
  Tglobal tglobal_;
  db::Connection con_;
  std::string server_;  // the server name testcon last set; empty before the first attempt
  PollTimer timer_;
  std::optional<DateTime> posledniMinuta_;  // the last server minute whose tasks were launched
  std::optional<int> nahlasenyInterval_;    // an invalid dvscse already logged
};

}  // namespace dorvik
