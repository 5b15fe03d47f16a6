// Files as the Windows profile API reads them: half-written section lines,
// duplicates, quotes, a UTF-8 byte-order mark, lines that are no keys, and
// files that must not be read or replaced.
#include "inifile/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

class IniFileProfile : public testing::Test {
protected:
  // Opens the bytes, writes "[Main] Position Left=2" and saves.
  std::string SavedWithOneWrite(const std::string& bytes) {
    WriteBytes(path_, bytes);
    TIniFile ini(path_);
    EXPECT_TRUE(ini.WriteInteger("Main", "Position Left", 2));
    EXPECT_TRUE(ini.UpdateFile()) << ini.LastErrorDetail();
    return ReadBytes(path_);
  }

  TTempFolder folder_;
  std::string path_ = folder_.File("Quillora.ini");
};

TEST_F(IniFileProfile, ALineWithoutItsBracketOpensNoSection) {
  const std::string bytes = "[Main]\r\n[Notes\r\nPosition Left=1\r\nPosition Top=5\r\n";
  WriteBytes(path_, bytes);
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("Main", "Position Top", 0), 5);
  EXPECT_FALSE(ini.SectionExists("Notes"));
  // Saved again and again, the file keeps its lines and gains none.
  EXPECT_EQ(SavedWithOneWrite(bytes), "[Main]\r\n[Notes\r\nPosition Left=2\r\nPosition Top=5\r\n");
  EXPECT_EQ(SavedWithOneWrite(ReadBytes(path_)),
            "[Main]\r\n[Notes\r\nPosition Left=2\r\nPosition Top=5\r\n");
}

TEST_F(IniFileProfile, TheFirstOfDuplicateKeysAndSectionsWins) {
  const std::string bytes =
      "[Main]\r\nPosition Left=1\r\nposition left=9\r\n\r\n[Other]\r\nx=1\r\n\r\n"
      "[MAIN]\r\nPosition Top=7\r\nPosition Left=8\r\n";
  WriteBytes(path_, bytes);
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("Main", "Position Left", 0), 1);
  EXPECT_FALSE(ini.ValueExists("Main", "Position Top"));
  EXPECT_EQ(SavedWithOneWrite(bytes),
            "[Main]\r\nPosition Left=2\r\nposition left=9\r\n\r\n[Other]\r\nx=1\r\n\r\n"
            "[MAIN]\r\nPosition Top=7\r\nPosition Left=8\r\n");
  // Erasing a section erases the first of them; the next comes to light.
  TIniFile again(path_);
  again.EraseSection("main");
  EXPECT_EQ(again.ReadInteger("Main", "Position Left", 0), 8);
  EXPECT_EQ(again.ReadInteger("Main", "Position Top", 0), 7);
  EXPECT_TRUE(again.ValueExists("Other", "x"));
  again.EraseSection("main");
  EXPECT_FALSE(again.SectionExists("Main"));
}

TEST_F(IniFileProfile, MatchingSingleOrDoubleQuotesAreStripped) {
  WriteBytes(path_, "[S]\r\nA='single'\r\nB=\"double\"\r\nC='mixed\"\r\nD='\r\nE=''\r\n");
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("S", "A", ""), "single");
  EXPECT_EQ(ini.ReadString("S", "B", ""), "double");
  EXPECT_EQ(ini.ReadString("S", "C", ""), "'mixed\"");
  EXPECT_EQ(ini.ReadString("S", "D", ""), "'");
  EXPECT_EQ(ini.ReadString("S", "E", "x"), "");
  // Values that reading would change are quoted on writing.
  for (const std::string v : {"'x'", "''", "' '", "'", "'a", "a'"}) {
    TIniFile w(path_);
    ASSERT_TRUE(w.WriteString("S", "V", v));
    ASSERT_TRUE(w.UpdateFile());
    EXPECT_EQ(TIniFile(path_).ReadString("S", "V", "<missing>"), v);
  }
}

TEST_F(IniFileProfile, AByteOrderMarkMeansUtf8) {
  WriteBytes(path_, "\xEF\xBB\xBF[General Options]\r\nOperator Logo=Оп:\r\n; заметка\r\n");
  {
    TIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("General Options", "Operator Logo", ""), "Оп:");
    ini.WriteString("General Options", "Spirit Logo", "Дух:");
    ASSERT_TRUE(ini.UpdateFile());
  }
  EXPECT_EQ(ReadBytes(path_),
            "[General Options]\r\nOperator Logo=\xCE\xEF:\r\nSpirit Logo=\xC4\xF3\xF5:\r\n"
            "; \xE7\xE0\xEC\xE5\xF2\xEA\xE0\r\n");

  // Characters cp1251 cannot hold: the save is refused, the file unchanged.
  const std::string greek = "\xEF\xBB\xBF[Other]\r\nname=Ω\r\n";
  WriteBytes(path_, greek);
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("Other", "name", ""), "Ω");
  ini.WriteString("Main", "Position Left", "1");
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_EQ(ini.LastError(), "Unable to write to " + path_);
  EXPECT_EQ(ReadBytes(path_), greek);

  // A mark before text that is not UTF-8: the mark goes, the rest is cp1251.
  WriteBytes(path_, "\xEF\xBB\xBF[Main]\r\nname=\xC4\xF3\xF5\r\n");
  EXPECT_EQ(TIniFile(path_).ReadString("Main", "name", ""), "Дух");
}

TEST_F(IniFileProfile, LinesThatAreNoKeysSurviveInPlace) {
  const std::string bytes =
      "; settings of two programs\r\n"
      "[Other Program]\r\nfree text without equals\r\n; its comment\r\nkey = spaced value \r\n"
      "\r\n\r\n[Main]\r\n# hash line\r\nPosition Left=1\r\n; after the keys\r\n";
  EXPECT_EQ(SavedWithOneWrite(bytes),
            "; settings of two programs\r\n"
            "[Other Program]\r\nfree text without equals\r\n; its comment\r\nkey = spaced value \r\n"
            "\r\n\r\n[Main]\r\n# hash line\r\nPosition Left=2\r\n; after the keys\r\n");
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("Other Program", "key", ""), "spaced value");
  ini.WriteString("Main", "Position Top", "3");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_NE(ReadBytes(path_).find("Position Left=2\r\nPosition Top=3\r\n; after the keys\r\n"),
            std::string::npos);
}

// Root may write any file: the mode, not the write test, makes it read-only.
// (On Windows the same call sets the read-only attribute.)
TEST_F(IniFileProfile, AReadOnlyFileIsNotReplaced) {
  namespace fs = std::filesystem;
  const std::string old = "[Main]\r\nPosition Left=1\r\n";
  WriteBytes(path_, old);
  const fs::path file = fs::u8path(path_);
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  TIniFile ini(path_);
  ini.WriteInteger("Main", "Position Left", 2);
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_EQ(ini.LastError(), "Unable to write to " + path_);
  EXPECT_EQ(ReadBytes(path_), old);
  EXPECT_EQ(folder_.Listing(), "Quillora.ini");
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

#ifndef _WIN32

// A FIFO without a writer would block an ordinary open; a device would be
// read without end; a huge file is no settings file. None is read or replaced.
TEST_F(IniFileProfile, OnlyRegularFilesOfASaneSizeAreRead) {
  ASSERT_EQ(mkfifo(path_.c_str(), 0644), 0);
  {
    TIniFile ini(path_);
    ini.WriteInteger("Main", "Position Left", 2);
    EXPECT_FALSE(ini.UpdateFile());
  }
  struct stat st;
  ASSERT_EQ(stat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  TIniFile device("/dev/zero");
  EXPECT_FALSE(device.SectionExists("Main"));

  const std::string big = folder_.File("big.ini");
  WriteBytes(big, "[Main]\r\nPosition Left=1\r\n");
  ASSERT_EQ(truncate(big.c_str(), 64ll << 20), 0);
  TIniFile huge(big);
  EXPECT_FALSE(huge.ValueExists("Main", "Position Left"));
  huge.WriteInteger("Main", "Position Left", 2);
  EXPECT_FALSE(huge.UpdateFile());
  ASSERT_EQ(stat(big.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 64ll << 20);
}

#endif

}  // namespace
