// doruczpravu, emailyuzivatelu, iduzivatele and poslichat.
#include "runner/doruczpravu.h"

#include <chrono>
#include <vector>

#include "core/db/odbc_error.h"
#include "core/db/statement.h"
#include "core/mail/sendmailunit.h"
#include "platform/local_time.h"
#include "runner/beh.h"
#include "runner/zapislog.h"

namespace dorvik {
namespace {

// Splits at every ";"; the part after the last one (usually empty) is included.
std::vector<std::string_view> casti(std::string_view seznam) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const auto semicolon = seznam.find(';', start);
    parts.push_back(seznam.substr(start, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - start));
    if (semicolon == std::string_view::npos) return parts;
    start = semicolon + 1;
  }
}

bool jenMezery(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) > 32) return false;
  }
  return true;
}

DateTime plusDays(const DateTime& t, int days) {
  using namespace std::chrono;
  const sys_days day = sys_days{year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                               std::chrono::day{static_cast<unsigned>(t.day)}}} +
                       std::chrono::days{days};
  const year_month_day ymd{day};
  DateTime out = t;
  out.year = static_cast<int>(ymd.year());
  out.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  out.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  return out;
}

}  // namespace

std::string emailyuzivatelu(std::string_view uzivatele, db::Connection& con) {
  std::string vysledek;
  db::Statement q(con);
  q.setSql("select email from users where uzivatel=:puzivatel");
  for (std::string_view cast : casti(uzivatele)) {
    q.setText("puzivatel", cast);
    q.execute();
    if (!q.next()) continue;
    const std::string email = q.field(0).asText();
    if (overemail(email)) vysledek += email + ";";
  }
  return vysledek;
}

std::int64_t iduzivatele(std::string_view uzivatel, db::Connection& con) {
  db::Statement q(con);
  q.setSql("select userid from users where uzivatel=:puzivatel");
  q.setText("puzivatel", uzivatel);
  q.execute();
  return q.next() ? q.field(0).asInt() : 0;
}

std::string poslichat(std::string_view zprava, std::int64_t odkoho, std::int64_t komu, db::Connection& con) {
  if (odkoho == 0 || komu == 0) {
    return "neplatný příjemce (" + std::to_string(komu) + ") nebo odesilatel (" + std::to_string(odkoho) + ")";
  }
  db::Statement q(con);
  try {
    // One transaction, and the id read in the scope of our own insert: another
    // writer's message can never be linked, and no message is left without its link.
    q.execute("begin transaction");
    q.setSql(
        "insert into zpravychat (zprava,odeslano,platnostod,platnostdo) values "
        "(:pzprava,:podeslano,:pplatnostod,:pplatnostdo);select scope_identity()");
    q.setText("pzprava", zprava);
    q.setDateTime("podeslano", platform::localNow());
    q.setDateTime("pplatnostod", platform::localNow());
    q.setDateTime("pplatnostdo", plusDays(platform::localNow(), 365));
    q.execute();
    if (!q.next()) throw db::DatabaseError("The new message id could not be read");
    const std::int64_t idzpravy = q.field(0).asInt();
    q.setSql("insert into chat (idzpravy,idodkoho,idkomu) values (:pidzpravy,:pidodkoho,:pidkomu)");
    q.setBigInt("pidzpravy", idzpravy);
    q.setBigInt("pidodkoho", odkoho);
    q.setBigInt("pidkomu", komu);
    q.execute();
    q.execute("commit transaction");
    return {};
  } catch (const std::exception& e) {
    std::string reason = e.what();
    try {
      q.execute("if @@trancount > 0 rollback transaction");
    } catch (const std::exception&) {
      // The connection is gone or the server rolled back itself; the reason above is what counts.
    }
    return reason;
  }
}

void doruczpravu(std::string_view zprava, std::string_view predmet, std::string_view uzivatele, bool doemailu,
                 bool dochatu, Beh& beh) {
  const Nastaveni& n = beh.nastaveni;
  if (doemailu) {
    const std::string emaily = emailyuzivatelu(uzivatele, beh.con);
    if (emaily.size() > 6) {
      std::string vysledek;
      // No HTML file: the message text is no file name.
      posliemail(n.smtpserverle, n.smtpportle, n.smtpjmenole, n.smtpheslole, n.osobale, n.smtpfromle, emaily, predmet,
                 zprava, "", "", true, vysledek);
      if (!vysledek.empty()) zapislog(beh.slozka, beh.idulohy, vysledek);
    }
  }
  if (dochatu) {
    for (std::string_view cast : casti(uzivatele)) {
      if (jenMezery(cast)) continue;
      const std::int64_t komu = iduzivatele(cast, beh.con);
      const std::int64_t odkoho = iduzivatele(n.chatusercb, beh.con);
      const std::string vysledek = poslichat(zprava, odkoho, komu, beh.con);
      if (!vysledek.empty()) zapislog(beh.slozka, beh.idulohy, vysledek);
    }
  }
}

}  // namespace dorvik
