// Delivery of a message to a task's recipients: one mail to all of them and one chat message each.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/db/connection.h"

namespace dorvik {

struct Beh;

// Mail (when `doemailu`) then chat (when `dochatu`); every failed delivery
// becomes a run-log line and the rest goes on.
void doruczpravu(std::string_view zprava, std::string_view predmet, std::string_view uzivatele, bool doemailu,
                 bool dochatu, Beh& beh);

// The addresses of the listed users that pass the address check, each followed by ";".
std::string emailyuzivatelu(std::string_view uzivatele, db::Connection& con);

// The user's id, 0 when there is no such user.
std::int64_t iduzivatele(std::string_view uzivatel, db::Connection& con);

// One chat message from `odkoho` to `komu`: a `zpravychat` row and its `chat`
// row, written together or not at all. Returns empty text on success,
// otherwise the reason.
std::string poslichat(std::string_view zprava, std::int64_t odkoho, std::int64_t komu, db::Connection& con);

}  // namespace dorvik
