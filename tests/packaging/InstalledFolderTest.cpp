// An executable that a package or `cmake --install` put in place keeps its
// files in the user's folder even where its own folder is writable (root).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "files/AppFolder.h"

namespace {

#ifndef _WIN32
TEST(InstalledProgramFolder, SystemFoldersAreInstalledOnesEvenForRoot) {
  for (const char* dir : {"/usr/bin", "/usr/local/bin/", "/opt/quillora", "/bin", "/usr/bin/../bin"})
    EXPECT_TRUE(IsInstalledProgramFolder(QString::fromLatin1(dir))) << dir;
  for (const char* dir : {"/usrx/bin", "/home/u/quillora", "/tmp/look", "/optical/bin"})
    EXPECT_FALSE(IsInstalledProgramFolder(QString::fromLatin1(dir))) << dir;
}
#endif

TEST(InstalledProgramFolder, BinFolderOfAPrefixWithTheMetadataIsInstalled) {
  QTemporaryDir prefix;
  ASSERT_TRUE(prefix.isValid());
  const QString bin = prefix.filePath(QStringLiteral("bin"));
  ASSERT_TRUE(QDir().mkpath(bin));
  // A writable bin folder of its own, like a build folder, is no installation.
  EXPECT_FALSE(IsInstalledProgramFolder(bin));

  const QString metainfo = prefix.filePath(QStringLiteral("share/metainfo"));
  ASSERT_TRUE(QDir().mkpath(metainfo));
  QFile file(metainfo + QLatin1Char('/') + QLatin1String(kAppStreamId) +
             QStringLiteral(".metainfo.xml"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  EXPECT_TRUE(IsInstalledProgramFolder(bin));
  EXPECT_TRUE(IsInstalledProgramFolder(QDir::toNativeSeparators(bin) + QDir::separator()));
  // Only the prefix's bin folder: a build folder beside the same share/ is not.
  const QString app = prefix.filePath(QStringLiteral("app"));
  ASSERT_TRUE(QDir().mkpath(app));
  EXPECT_FALSE(IsInstalledProgramFolder(app));
}

} // namespace
