// Test main for widget tests: a QApplication on the offscreen platform unless
// a display is asked for explicitly.
#include <QApplication>
#include <gtest/gtest.h>

namespace {
int RunTests(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
} // namespace

int main(int argc, char** argv) {
  // Wine does not pass QT_* variables on: QUILLORA_TEST_QPA names the
  // platform there.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("QUILLORA_TEST_QPA")
                                   ? QByteArray("offscreen")
                                   : qgetenv("QUILLORA_TEST_QPA"));
  return RunTests(argc, argv);
}
