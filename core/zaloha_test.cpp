// Backup file names and the backup statement.
#include "core/zaloha.h"

#include <gtest/gtest.h>

#include <clocale>

namespace dorvik {
namespace {

TEST(Zaloha, FileName) {
  std::setlocale(LC_TIME, "C");  // the Czech defaults: d.M.yyyy H:mm:ss
  EXPECT_EQ(nazevzalohy("vorlak7", DateTime{2024, 12, 10, 14, 5, 33, 0}), "vorlak7_10_12_2024-14_05_33.bak");
  EXPECT_EQ(nazevzalohy("my.db name", DateTime{2024, 1, 2, 3, 4, 5, 0}), "my_db-name_2_1_2024-3_04_05.bak")
      << "the replacements reach the database name as well";
  EXPECT_EQ(nazevzalohy("a/b\\c:d", DateTime{2024, 1, 2, 0, 0, 0, 0}), "a_b_c_d_2_1_2024.bak") << "midnight";
}

TEST(Zaloha, Statement) {
  const std::pair<std::pair<const char*, const char*>, const char*> cases[] = {
      {{"vorlak7", "D:\\zalohy\\vorlak7_1.bak"}, "BACKUP DATABASE vorlak7 TO DISK =N'D:\\zalohy\\vorlak7_1.bak' WITH INIT"},
      {{"my.db", "C:\\x.bak"}, "BACKUP DATABASE [my.db] TO DISK =N'C:\\x.bak' WITH INIT"},
      {{"servis 2024", "C:\\x.bak"}, "BACKUP DATABASE [servis 2024] TO DISK =N'C:\\x.bak' WITH INIT"},
      {{"a-b]c", "C:\\x.bak"}, "BACKUP DATABASE [a-b]]c] TO DISK =N'C:\\x.bak' WITH INIT"},
      {{"db", "C:\\O'Brien\\x.bak"}, "BACKUP DATABASE db TO DISK =N'C:\\O''Brien\\x.bak' WITH INIT"},
      {{"1db", "x"}, "BACKUP DATABASE [1db] TO DISK =N'x' WITH INIT"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(prikazzalohy(input.first, input.second), expected);
  EXPECT_EQ(cestazalohy("D:\\zalohy", "a.bak"), "D:\\zalohy\\a.bak");
}

}  // namespace
}  // namespace dorvik
