// Reading settings files as another program or an earlier run left them.
#include "inifile/IniFile.h"

#include <gtest/gtest.h>

#include <climits>

#include "TempFolder.h"

namespace {

class IniFileRead : public testing::Test {
protected:
  // A settings file with the given cp1251 bytes.
  TIniFile& Open(const std::string& bytes) {
    WriteBytes(path_, bytes);
    ini_.reset(new TIniFile(path_));
    return *ini_;
  }
  int Integer(const std::string& value, int def = -777) {
    return Open("[S]\r\nK=" + value + "\r\n").ReadInteger("S", "K", def);
  }

  TTempFolder folder_;
  std::string path_ = folder_.File("Quillora.ini");
  std::unique_ptr<TIniFile> ini_;
};

TEST_F(IniFileRead, MissingFileGivesTheDefaults) {
  TIniFile ini(folder_.File("none.ini"));
  EXPECT_EQ(ini.ReadString("Main", "Position Left", "207"), "207");
  EXPECT_EQ(ini.ReadInteger("Symbol Table", "Count", 28), 28);
  EXPECT_TRUE(ini.ReadBool("General Options", "Invert Sensor Data", true));
  EXPECT_FALSE(ini.SectionExists("Main"));
  EXPECT_FALSE(ini.ValueExists("Main", "Position Left"));
  EXPECT_EQ(ini.FileName(), folder_.File("none.ini"));
  EXPECT_EQ(ini.LastError(), "");
}

TEST_F(IniFileRead, Integers) {
  EXPECT_EQ(Integer("0x1E"), 30);
  EXPECT_EQ(Integer("0X1e"), 30);
  EXPECT_EQ(Integer("28"), 28);
  EXPECT_EQ(Integer("-12"), -12);
  EXPECT_EQ(Integer("+7"), 7);
  EXPECT_EQ(Integer("007"), 7);
  EXPECT_EQ(Integer("2147483647"), INT_MAX);
  EXPECT_EQ(Integer("-2147483648"), INT_MIN);
  EXPECT_EQ(Integer("0x7FFFFFFF"), INT_MAX);
  EXPECT_EQ(Integer("\" 250 \""), 250);
}

TEST_F(IniFileRead, NonIntegersGiveTheDefault) {
  for (const char* v : {"", "yes", "12abc", "1.5", "0x", "0x1G", "--1", "+", "2147483648",
                        "-2147483649", "0x80000000", "1 2", "٣"})
    EXPECT_EQ(Integer(v), -777) << "value \"" << v << "\"";
}

TEST_F(IniFileRead, Booleans) {
  TIniFile& ini = Open(
      "[Main]\r\nYes=yes\r\nTwo=2\r\nZero=0\r\nMinus=-1\r\nHex=0x10\r\nEmpty=\r\n");
  EXPECT_FALSE(ini.ReadBool("Main", "Yes", false));  // not an integer: the default
  EXPECT_TRUE(ini.ReadBool("Main", "Yes", true));
  EXPECT_TRUE(ini.ReadBool("Main", "Two", false));
  EXPECT_FALSE(ini.ReadBool("Main", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("Main", "Minus", false));
  EXPECT_TRUE(ini.ReadBool("Main", "Hex", false));
  EXPECT_TRUE(ini.ReadBool("Main", "Empty", true));
  EXPECT_FALSE(ini.ReadBool("Main", "Missing", false));
}

TEST_F(IniFileRead, NamesAreFoundInAnyCaseAndOrder) {
  TIniFile& ini = Open(
      "[symbol table]\r\nsymbol 2=\xC1\r\nCOUNT=5\r\n"
      "[MAIN]\r\nmain window maximized=2\r\nPosition Left=10\r\n"
      "[\xD0\xE0\xE7\xE4\xE5\xEB]\r\n\xCA\xEB\xFE\xF7=1\r\n");  // [Раздел] Ключ=1
  EXPECT_EQ(ini.ReadInteger("Symbol Table", "Count", 28), 5);
  EXPECT_EQ(ini.ReadString("Symbol Table", "Symbol 2", "B"), "Б");
  EXPECT_EQ(ini.ReadString("Symbol Table", "Symbol 1", "A"), "A");
  EXPECT_TRUE(ini.ReadBool("Main", "Main Window Maximized", false));
  EXPECT_EQ(ini.ReadInteger("main", "POSITION LEFT", 0), 10);
  EXPECT_EQ(ini.ReadInteger("РАЗДЕЛ", "ключ", 0), 1);
  EXPECT_TRUE(ini.SectionExists("SYMBOL TABLE"));
  EXPECT_TRUE(ini.ValueExists("Main", "position left"));
  EXPECT_FALSE(ini.ValueExists("Main", "Position Top"));
  EXPECT_FALSE(ini.SectionExists("Graph Window"));
}

TEST_F(IniFileRead, CrlfLfAndCrFilesReadAlike) {
  const std::string lines[] = {"; written by hand", "[General Options]", "Stop Symbol=.;!",
                               "On Level = 30 ", "Operator Logo=\"  \xCE\xEF:  \"",
                               "[Symbol Table]", "Count=0x1E", "Symbol 27=\" \""};
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    std::string bytes;
    for (const auto& l : lines) bytes += l + eol;
    TIniFile& ini = Open(bytes);
    EXPECT_EQ(ini.ReadString("General Options", "Stop Symbol", ""), ".;!");
    EXPECT_EQ(ini.ReadString("General Options", "On Level", ""), "30");
    EXPECT_EQ(ini.ReadString("General Options", "Operator Logo", ""), "  Оп:  ");
    EXPECT_EQ(ini.ReadInteger("Symbol Table", "Count", 28), 30);
    EXPECT_EQ(ini.ReadString("Symbol Table", "Symbol 27", "x"), " ");
  }
}

TEST_F(IniFileRead, OneSurroundingPairOfQuotesIsStripped) {
  TIniFile& ini = Open(
      "[S]\r\nA=\"\"quoted\"\"\r\nB=\"\"\"\r\nC=\"\r\nD=\"open\r\nE=in\"side\r\nF=\"\"\r\n"
      "G=bare\r\n");
  EXPECT_EQ(ini.ReadString("S", "A", ""), "\"quoted\"");
  EXPECT_EQ(ini.ReadString("S", "B", ""), "\"");
  EXPECT_EQ(ini.ReadString("S", "C", ""), "\"");
  EXPECT_EQ(ini.ReadString("S", "D", ""), "\"open");
  EXPECT_EQ(ini.ReadString("S", "E", ""), "in\"side");
  EXPECT_EQ(ini.ReadString("S", "F", "x"), "");
  EXPECT_EQ(ini.ReadString("S", "G", ""), "bare");
}

TEST_F(IniFileRead, LongValuesAreCutTo2047Characters) {
  const std::string exact(2047, '\xC6');   // Ж
  const std::string longer(3000, '\xC6');
  std::string expect;
  for (int i = 0; i < 2047; ++i) expect += "Ж";
  TIniFile& ini = Open("[S]\r\nExact=" + exact + "\r\nLonger=" + longer + "\r\nQuoted=\" " +
                       std::string(2046, 'x') + "\"\r\n");
  EXPECT_EQ(ini.ReadString("S", "Exact", ""), expect);
  EXPECT_EQ(ini.ReadString("S", "Longer", ""), expect);
  EXPECT_EQ(ini.ReadString("S", "Quoted", ""), " " + std::string(2046, 'x'));
}

TEST_F(IniFileRead, NamesOutsideTheCodePageAreNeverFound) {
  TIniFile& ini = Open("[S]\r\nK=1\r\n");
  EXPECT_EQ(ini.ReadString("S", "KΩ", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("SΩ", "K", 4), 4);
  EXPECT_FALSE(ini.ValueExists("S", "\xFF"));
}

}  // namespace
