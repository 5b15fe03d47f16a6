// Writing settings: what reaches the disk, in which order, and what is refused.
#include "inifile/IniFile.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace {

class IniFileWrite : public testing::Test {
protected:
  // Writes one string value, saves and reads it back through a new object.
  std::string RoundTrip(const std::string& value) {
    {
      TIniFile ini(path_);
      EXPECT_TRUE(ini.WriteString("General Options", "Operator Logo", value));
      EXPECT_TRUE(ini.UpdateFile()) << ini.LastErrorDetail();
    }
    return TIniFile(path_).ReadString("General Options", "Operator Logo", "<missing>");
  }

  TTempFolder folder_;
  std::string path_ = folder_.File("Quillora.ini");
};

TEST_F(IniFileWrite, StringsRoundTripExactly) {
  for (const std::string v :
       {"  Оп:  ", "\"quoted\"", " ", "\"", "\"\"", "a\"b", "\"start", "end\"", "\tTab\t",
        "x \"", "", "Дух:", "--", ".;!", "=", "[x]", "; not a comment", "#", "<<<EOF",
        "Ё № « » — €"})
    EXPECT_EQ(RoundTrip(v), v) << "value [" << v << "]";
}

TEST_F(IniFileWrite, ValuesOnDiskAreCp1251AndQuotedOnlyWhenNeeded) {
  TIniFile ini(path_);
  ini.WriteString("Symbol Table", "Symbol 2", "Б");
  ini.WriteString("Symbol Table", "Symbol 27", " ");
  ini.WriteString("Symbol Table", "Symbol 28", ".");
  ini.WriteString("General Options", "Operator Logo", "  Оп:  ");
  ini.WriteString("General Options", "Spirit Logo", "\"Дух\"");
  ini.WriteString("General Options", "Alphabet", "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя");
  ASSERT_TRUE(ini.UpdateFile());
  std::string alphabet;
  for (int b = 0xC0; b <= 0xC5; ++b) alphabet += static_cast<char>(b);
  alphabet += '\xA8';
  for (int b = 0xC6; b <= 0xE5; ++b) alphabet += static_cast<char>(b);
  alphabet += '\xB8';
  for (int b = 0xE6; b <= 0xFF; ++b) alphabet += static_cast<char>(b);
  EXPECT_EQ(ReadBytes(path_),
            "[Symbol Table]\r\n"
            "Symbol 2=\xC1\r\n"
            "Symbol 27=\" \"\r\n"
            "Symbol 28=.\r\n"
            "\r\n"
            "[General Options]\r\n"
            "Operator Logo=\"  \xCE\xEF:  \"\r\n"
            "Spirit Logo=\"\"\xC4\xF3\xF5\"\"\r\n"
            "Alphabet=" + alphabet + "\r\n");
}

TEST_F(IniFileWrite, IntegersAndBooleans) {
  TIniFile ini(path_);
  ini.WriteInteger("Main", "Position Left", -5);
  ini.WriteInteger("Main", "Main Window Width", 649);
  ini.WriteBool("Main", "Main Window Maximized", true);
  ini.WriteBool("General Options", "Fixed Selected", false);
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(ReadBytes(path_),
            "[Main]\r\nPosition Left=-5\r\nMain Window Width=649\r\nMain Window Maximized=1\r\n"
            "\r\n[General Options]\r\nFixed Selected=0\r\n");
  TIniFile back(path_);
  EXPECT_EQ(back.ReadInteger("Main", "Position Left", 0), -5);
  EXPECT_TRUE(back.ReadBool("Main", "Main Window Maximized", false));
  EXPECT_FALSE(back.ReadBool("General Options", "Fixed Selected", true));
}

TEST_F(IniFileWrite, EveryLineEndsWithCrlf) {
  WriteBytes(path_, "; comment\n[A]\nx=1\n\n[B]\ny=2\n");
  TIniFile ini(path_);
  ini.WriteString("B", "z", "3");
  ASSERT_TRUE(ini.UpdateFile());
  const std::string bytes = ReadBytes(path_);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
    }
    if (bytes[i] == '\r') {
      EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
    }
  }
}

TEST_F(IniFileWrite, NewSectionsAndKeysGoToTheEndExistingOnesKeepTheirPlace) {
  WriteBytes(path_, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  TIniFile ini(path_);
  ini.WriteString("b", "z", "new in B");
  ini.WriteString("A", "w", "new in A");
  ini.WriteString("C", "q", "new section");
  ini.WriteString("a", "X", "5");  // existing key in another case: same place, same spelling
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(ReadBytes(path_),
            "[A]\r\nx=5\r\nw=new in A\r\n\r\n"
            "[B]\r\ny=2\r\nz=new in B\r\n\r\n"
            "[C]\r\nq=new section\r\n");
}

TEST_F(IniFileWrite, AFileCreatedByWritesHasTheOrderOfFirstWrites) {
  // The windows write as they are destroyed at exit, each with its own object.
  const char* sections[] = {"Graph Window", "Display Window", "Settings Window", "Main"};
  for (const char* s : sections) {
    TIniFile ini(path_);
    ini.WriteInteger(s, "Position Left", 1);
    ini.WriteInteger(s, "Position Top", 2);
    if (std::string(s) == "Display Window") ini.WriteString("Display Options", "Gauge Amp", "100");
    ASSERT_TRUE(ini.UpdateFile());
  }
  const std::string bytes = ReadBytes(path_);
  std::size_t last = 0;
  for (const char* s : {"[Graph Window]", "[Display Window]", "[Display Options]",
                        "[Settings Window]", "[Main]"}) {
    const std::size_t at = bytes.find(s);
    ASSERT_NE(at, std::string::npos) << s;
    EXPECT_GE(at, last) << s;
    last = at;
  }
  const std::size_t left = bytes.find("Position Left", bytes.find("[Main]"));
  const std::size_t top = bytes.find("Position Top", bytes.find("[Main]"));
  EXPECT_LT(left, top);
}

TEST_F(IniFileWrite, ErasedSectionIsRewrittenWithoutStaleKeys) {
  {
    TIniFile ini(path_);
    ini.WriteInteger("Symbol Table", "Count", 5);
    for (int k = 1; k <= 5; ++k) ini.WriteString("Symbol Table", "Symbol " + std::to_string(k), "S");
    ini.WriteString("General Options", "Data Acc Depth", "1");
    ASSERT_TRUE(ini.UpdateFile());
  }
  {
    TIniFile ini(path_);
    ini.EraseSection("symbol table");
    EXPECT_FALSE(ini.SectionExists("Symbol Table"));
    EXPECT_FALSE(ini.ValueExists("Symbol Table", "Symbol 5"));
    ini.WriteInteger("Symbol Table", "Count", 3);
    for (int k = 1; k <= 3; ++k) ini.WriteString("Symbol Table", "Symbol " + std::to_string(k), "T");
    ASSERT_TRUE(ini.UpdateFile());
  }
  TIniFile back(path_);
  EXPECT_EQ(back.ReadInteger("Symbol Table", "Count", 0), 3);
  EXPECT_EQ(back.ReadString("Symbol Table", "Symbol 3", ""), "T");
  EXPECT_FALSE(back.ValueExists("Symbol Table", "Symbol 4"));
  EXPECT_FALSE(back.ValueExists("Symbol Table", "Symbol 5"));
  EXPECT_EQ(back.ReadString("General Options", "Data Acc Depth", ""), "1");
  EXPECT_EQ(ReadBytes(path_),
            "[General Options]\r\nData Acc Depth=1\r\n\r\n"
            "[Symbol Table]\r\nCount=3\r\nSymbol 1=T\r\nSymbol 2=T\r\nSymbol 3=T\r\n");
}

// A hand-edited file with the section twice: the save of the symbol table
// erases the first, and the duplicate, with its comment and the blank line
// before the next section, takes the new keys after its last key.
TEST_F(IniFileWrite, ErasingASectionKeepsItsLaterDuplicateAndItsComments) {
  WriteBytes(path_,
             "[Symbol Table]\r\nCount=3\r\nSymbol 1=A\r\n; first\r\n\r\n"
             "[Symbol Table]\r\nSymbol 1=B\r\nSymbol 9=Z\r\n; my letters\r\n\r\n"
             "[Main]\r\nPosition Left=1\r\n");
  {
    TIniFile ini(path_);
    ini.EraseSection("Symbol Table");
    ini.WriteInteger("Symbol Table", "Count", 2);
    ini.WriteString("Symbol Table", "Symbol 1", "X");
    ini.WriteString("Symbol Table", "Symbol 2", "Y");
    ASSERT_TRUE(ini.UpdateFile());
  }
  EXPECT_EQ(ReadBytes(path_),
            "[Symbol Table]\r\nSymbol 1=X\r\nSymbol 9=Z\r\nCount=2\r\nSymbol 2=Y\r\n"
            "; my letters\r\n\r\n[Main]\r\nPosition Left=1\r\n");
  TIniFile back(path_);
  EXPECT_EQ(back.ReadInteger("Symbol Table", "Count", 0), 2);
  EXPECT_EQ(back.ReadString("Symbol Table", "Symbol 1", ""), "X");
  EXPECT_EQ(back.ReadString("Symbol Table", "Symbol 2", ""), "Y");
}

TEST_F(IniFileWrite, AValueLongerThanTheLimitIsStoredWholeAndReadBackCut) {
  std::string value;
  for (int i = 0; i < 2100; ++i) value += "Ж";
  std::string cut;
  for (int i = 0; i < 2047; ++i) cut += "Ж";
  EXPECT_EQ(RoundTrip(value), cut);
  EXPECT_EQ(RoundTrip(" " + std::string(2046, 'x')), " " + std::string(2046, 'x'));
}

TEST_F(IniFileWrite, CommentsAndOtherKeysOfTheFileSurviveASave) {
  WriteBytes(path_, "; settings\r\n\r\n[Other]\r\n; note\r\nkept=yes\r\n[Main]\r\nPosition Left=1\r\n");
  TIniFile ini(path_);
  ini.WriteInteger("Main", "Position Left", 2);
  ASSERT_TRUE(ini.UpdateFile());
  const std::string bytes = ReadBytes(path_);
  EXPECT_NE(bytes.find("; settings\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("; note\r\nkept=yes\r\n"), std::string::npos);
  TIniFile back(path_);
  EXPECT_EQ(back.ReadString("Other", "kept", ""), "yes");
  EXPECT_EQ(back.ReadInteger("Main", "Position Left", 0), 2);
}

TEST_F(IniFileWrite, TextThatCp1251CannotHoldIsRefused) {
  TIniFile ini(path_);
  ASSERT_TRUE(ini.WriteString("General Options", "Operator Logo", "Оп:"));
  EXPECT_FALSE(ini.WriteString("General Options", "Operator Logo", "Ωп:"));
  EXPECT_EQ(ini.LastError(), "Unable to write to " + path_);
  EXPECT_NE(ini.LastErrorDetail(), "");
  EXPECT_EQ(ini.ReadString("General Options", "Operator Logo", ""), "Оп:");  // unchanged
  EXPECT_FALSE(ini.WriteString("Symbol Table", "Symbol 1", "😀"));
  EXPECT_FALSE(ini.WriteString("General Options", "Ключ Ω", "1"));
  EXPECT_FALSE(ini.WriteString("Раздел Ω", "Key", "1"));
  EXPECT_FALSE(ini.WriteString("S", "K", "\xD0"));  // not UTF-8
  EXPECT_FALSE(ini.ValueExists("Symbol Table", "Symbol 1"));
  ASSERT_TRUE(ini.WriteString("General Options", "Spirit Logo", "Дух:"));
  EXPECT_EQ(ini.LastError(), "");  // a write that succeeds clears the error
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(ReadBytes(path_).find('?'), std::string::npos);
}

TEST_F(IniFileWrite, NamesAndValuesThatWouldNotReadBackAreRefused) {
  TIniFile ini(path_);
  const std::pair<std::string, std::string> names[] = {
      {"", "K"}, {"S", ""}, {" S", "K"}, {"S ", "K"}, {"S", " K"}, {"S", "K\t"}, {"S]x", "K"},
      {"S", "K=1"}, {"S", ";K"}, {"S", "#K"}, {"S", "[K"}, {"S\r\n[T", "K"}, {"S", "K\nL"}};
  for (const auto& n : names) {
    EXPECT_FALSE(ini.WriteString(n.first, n.second, "v")) << "[" << n.first << "] " << n.second;
    EXPECT_EQ(ini.LastError(), "Unable to write to " + path_);
  }
  EXPECT_FALSE(ini.WriteString("S", "K", "line\r\nInjected=1"));
  EXPECT_FALSE(ini.WriteString("S", "K", "a\nb"));
  EXPECT_FALSE(ini.WriteString("S", "K", std::string("a\0b", 3)));
  EXPECT_FALSE(ini.SectionExists("S"));
  EXPECT_TRUE(ini.WriteString("S", "K;x#y[z]", "v"));  // only the first character matters
  EXPECT_EQ(ini.ReadString("S", "K;x#y[z]", ""), "v");
}

}  // namespace
