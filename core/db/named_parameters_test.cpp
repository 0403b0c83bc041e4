// Named ":p" parameters in SQL text become ODBC's positional "?".
#include "core/db/named_parameters.h"

#include <gtest/gtest.h>

namespace dorvik::db {
namespace {

TEST(NamedParameters, ReplacesParametersOutsideQuotesAndComments) {
  struct Case {
    const char* sql;
    const char* positional;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"select userid from users where uzivatel=:puzivatel", "select userid from users where uzivatel=?",
       {"puzivatel"}},
      {"insert into chat (idzpravy,idodkoho,idkomu) values (:pidzpravy,:pidodkoho,:pidkomu)",
       "insert into chat (idzpravy,idodkoho,idkomu) values (?,?,?)", {"pidzpravy", "pidodkoho", "pidkomu"}},
      {"update t set a=:p1, b=:p1 where id=:pid", "update t set a=?, b=? where id=?", {"p1", "p1", "pid"}},
      {"select ':nope', N'it''s :no', [a:b], \"c:d\" from t where x=:yes",
       "select ':nope', N'it''s :no', [a:b], \"c:d\" from t where x=?", {"yes"}},
      {"select 1 -- :comment\nwhere a=:a /* :b */", "select 1 -- :comment\nwhere a=? /* :b */", {"a"}},
      {"select a::b, ':unterminated", "select a::b, ':unterminated", {}},
      {"select :1, x :", "select :1, x :", {}},
  };
  for (const Case& c : cases) {
    const PositionalSql out = toPositional(c.sql);
    EXPECT_EQ(out.sql, c.positional) << c.sql;
    EXPECT_EQ(out.names, c.names) << c.sql;
  }
}

}  // namespace
}  // namespace dorvik::db
