// Saving the whole file: failures are reported and never damage the old file.
#include "inifile/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

class IniFileSave : public testing::Test {
protected:
  TTempFolder folder_;
  std::string path_ = folder_.File("Quillora.ini");
};

TEST_F(IniFileSave, ASaveLeavesOnlyTheTargetInTheFolder) {
  TIniFile ini(path_);
  ini.WriteString("Main", "K", "1");
  ASSERT_TRUE(ini.UpdateFile());
  ini.WriteString("Main", "K", "2");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(folder_.Listing(), "Quillora.ini");
  EXPECT_EQ(ini.LastError(), "");
  EXPECT_EQ(TIniFile(path_).ReadString("Main", "K", ""), "2");
}

TEST_F(IniFileSave, MissingFolderMakesTheSaveFail) {
  const std::string path = folder_.File("no such folder") + "/Quillora.ini";
  TIniFile ini(path);
  ASSERT_TRUE(ini.WriteString("Main", "Position Left", "1"));
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_EQ(ini.LastError(), "Unable to write to " + path);
  EXPECT_EQ(ini.FileName(), path);
  EXPECT_NE(ini.LastErrorDetail(), "");
  EXPECT_EQ(folder_.Listing(), "");
}

TEST_F(IniFileSave, AFolderInPlaceOfTheFileMakesTheSaveFail) {
  std::filesystem::create_directory(std::filesystem::u8path(path_));
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("Main", "K", "def"), "def");
  ASSERT_TRUE(ini.WriteString("Main", "K", "1"));
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_EQ(ini.LastError(), "Unable to write to " + path_);
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(path_)));
  EXPECT_EQ(folder_.Listing(), "Quillora.ini");
  // A later save that succeeds clears the error.
  std::filesystem::remove(std::filesystem::u8path(path_));
  TIniFile other(path_);
  other.WriteString("Main", "K", "1");
  EXPECT_TRUE(other.UpdateFile());
  EXPECT_EQ(other.LastError(), "");
}

TEST_F(IniFileSave, APathWithCyrillicLettersIsReadAndWritten) {
  const std::string path = folder_.File("Настройки Quillora.ini");
  WriteBytes(path, "[Main]\r\nPosition Left=5\r\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("Main", "Position Left", 0), 5);
  ini.WriteInteger("Main", "Position Left", 6);
  ASSERT_TRUE(ini.UpdateFile()) << ini.LastErrorDetail();
  EXPECT_EQ(ReadBytes(path), "[Main]\r\nPosition Left=6\r\n");
  EXPECT_EQ(folder_.Listing(), "Настройки Quillora.ini");
}

#ifdef _WIN32
// The test above shows that names go through the wide API only when the
// system's ANSI code page cannot hold Cyrillic letters: the Wine run asks for
// a Latin one and names it here, and this checks that it got it.
TEST(IniFileCodePage, TheRunHasTheAnsiCodePageItAskedFor) {
  const char* asked = std::getenv("QUILLORA_ANSI_CODE_PAGE");
  if (!asked) GTEST_SKIP() << "no code page asked for";
  EXPECT_EQ(std::to_string(GetACP()), asked);
}
#endif

#ifndef _WIN32

// Limits the size of files this process may write, so that writing the
// temporary fails part-way even for root; restores the limit afterwards.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST_F(IniFileSave, AWriteFailingPartWayLeavesTheOldFileIntact) {
  const std::string old = "[Main]\r\nPosition Left=207\r\n";
  WriteBytes(path_, old);
  TIniFile ini(path_);
  ini.WriteString("Big", "Value", std::string(64 * 1024, 'x'));
  {
    TFileSizeLimit limit(4096);
    EXPECT_FALSE(ini.UpdateFile());
  }
  EXPECT_EQ(ini.LastError(), "Unable to write to " + path_);
  EXPECT_EQ(ReadBytes(path_), old);
  EXPECT_EQ(folder_.Listing(), "Quillora.ini");  // no temporary left behind
  EXPECT_TRUE(ini.UpdateFile());                  // the same object saves once it can
  EXPECT_EQ(ReadBytes(path_), old + "\r\n[Big]\r\nValue=" + std::string(64 * 1024, 'x') + "\r\n");
}

TEST_F(IniFileSave, AFileThatExistsButCannotBeReadIsNeverOverwritten) {
  // A folder of the target's name cannot be read; even when it is replaced by
  // a file before the save, the object must not write its partial picture.
  std::filesystem::create_directory(std::filesystem::u8path(path_));
  TIniFile ini(path_);
  ini.WriteString("Graph Window", "Position Left", "1");
  std::filesystem::remove(std::filesystem::u8path(path_));
  const std::string full = "[Main]\r\nPosition Left=207\r\n";
  WriteBytes(path_, full);
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_EQ(ini.LastError(), "Unable to write to " + path_);
  EXPECT_EQ(ReadBytes(path_), full);
}

TEST_F(IniFileSave, PermissionsOfTheOldFileAreKept) {
  WriteBytes(path_, "[Main]\r\n");
  ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
  TIniFile ini(path_);
  ini.WriteString("Main", "K", "1");
  ASSERT_TRUE(ini.UpdateFile());
  struct stat st;
  ASSERT_EQ(stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(IniFileSave, ASymbolicLinkIsFollowedNotReplaced) {
  const std::string real = folder_.File("real.ini");
  WriteBytes(real, "[Main]\r\nK=0\r\n");
  ASSERT_EQ(symlink(real.c_str(), path_.c_str()), 0);
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("Main", "K", ""), "0");
  ini.WriteString("Main", "K", "1");
  ASSERT_TRUE(ini.UpdateFile());
  struct stat st;
  ASSERT_EQ(lstat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(TIniFile(real).ReadString("Main", "K", ""), "1");
}

#endif

}  // namespace
