// Test main for the indicators: a QGuiApplication (fonts for the faces' text)
// on the offscreen platform unless another one is asked for.
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // Wine does not pass QT_* variables on: QUILLORA_TEST_QPA names the
  // platform there.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("QUILLORA_TEST_QPA")
                                   ? QByteArray("offscreen")
                                   : qgetenv("QUILLORA_TEST_QPA"));
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
