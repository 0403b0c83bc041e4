// The in-memory INI document: parsing rules, layout and key writing.
#include "core/ini_document.h"

#include <gtest/gtest.h>

namespace dorvik {
namespace {

TEST(IniDocument, ParsingRules) {
  IniDocument ini;
  ini.setText(
      "key=before any section\r\n"
      " ; comment\r\n"
      "  [ Con ]  \r\n"
      "serverportle =  srv,1450  \r\n"
      "heslole= a b \r\n"
      "prazdny=\r\n"
      "jmenole=first\r\n"
      "JMENOLE=second\r\n"
      "bezrovnitka\r\n"
      "rovnice=a=b\r\n"
      "\r\n"
      "[mail]\n"
      "osobale=Jiří\r"
      "[CON]\r\n"
      "databazecb=ignored under a repeated header\r\n"
      "[setup]\r\n"
      "dvscse=0x1E\r\n");
  EXPECT_EQ(ini.value("con", "serverportle"), "srv,1450");
  EXPECT_EQ(ini.value("con", "heslole"), "a b") << "blanks around the value are lost";
  EXPECT_EQ(ini.value("CON", "Prazdny"), "") << "present but empty is not absent";
  EXPECT_EQ(ini.value("con", "jmenole"), "first") << "first occurrence of a key wins";
  EXPECT_EQ(ini.value("con", "rovnice"), "a=b") << "split at the first =";
  EXPECT_EQ(ini.value("con", "bezrovnitka"), std::nullopt) << "a key without = reads as absent";
  EXPECT_EQ(ini.value("con", "databazecb"), std::nullopt) << "lines under a repeated header are ignored";
  EXPECT_EQ(ini.value("con", "key"), std::nullopt);
  EXPECT_EQ(ini.value("mail", "osobale"), "Jiří") << "LF and CR alone end lines too";
  EXPECT_EQ(ini.readInteger("setup", "dvscse", 60), 30);
}

TEST(IniDocument, ReadIntegerFallsBackOnNonNumbers) {
  IniDocument ini;
  ini.setText("[setup]\r\na=45\r\nb=abc\r\nc=\r\nd=0x\r\ne=99999999999\r\n");
  EXPECT_EQ(ini.readInteger("setup", "a", 60), 45);
  for (const char* key : {"b", "c", "d", "e", "missing"}) EXPECT_EQ(ini.readInteger("setup", key, 60), 60) << key;
}

TEST(IniDocument, WritingKeepsPlacesAndAppendsNewKeysAndSections) {
  IniDocument ini;
  ini.setText("[mail]\r\nosobale=x\r\nvlastni=keep\r\n[jine]\r\nk=v\r\n");
  ini.writeString("mail", "OSOBALE", "y");
  ini.writeString("mail", "smtpportle", "465");
  ini.writeString("con", "jmenole", "sa");
  ini.writeInteger("setup", "dvscse", 60);
  EXPECT_EQ(ini.text(),
            "[mail]\r\nosobale=y\r\nvlastni=keep\r\nsmtpportle=465\r\n\r\n"
            "[jine]\r\nk=v\r\n\r\n"
            "[con]\r\njmenole=sa\r\n\r\n"
            "[setup]\r\ndvscse=60\r\n\r\n");
}

TEST(IniDocument, TextReparsesToTheSameDocument) {
  IniDocument ini;
  ini.setText("[a]\r\nx=1\r\nflag\r\n[b]\r\ny=\r\n");
  IniDocument again;
  again.setText(ini.text());
  EXPECT_EQ(again.text(), ini.text());
  EXPECT_NE(ini.text().find("flag\r\n"), std::string::npos) << "a key without value is kept as it was";
}

}  // namespace
}  // namespace dorvik
