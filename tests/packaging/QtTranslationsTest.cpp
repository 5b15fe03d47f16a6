// Qt's own buttons and file dialogs speak the user's language: Russian for a
// Russian user, unchanged English otherwise.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

#include "app/QtTranslations.h"

namespace {

class QtTranslations : public ::testing::Test {
protected:
  void TearDown() override {
    for (QTranslator* t : qApp->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly)) {
      QCoreApplication::removeTranslator(t);
      delete t;
    }
  }

  static QString ButtonText(QMessageBox::StandardButton which) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("QUILLORA"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    return box.button(which)->text().remove(QLatin1Char('&'));
  }

  static QString LookInText() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    return label ? label->text() : QString();
  }
};

TEST_F(QtTranslations, RussianUserGetsRussianButtonsAndFileDialog) {
  ASSERT_EQ(ButtonText(QMessageBox::Yes), QStringLiteral("Yes"));
  ASSERT_EQ(LookInText(), QStringLiteral("Look in:"));

  ASSERT_TRUE(InstallQtTranslations(*qApp, QLocale(QLocale::Russian, QLocale::Russia)))
      << "no qtbase_ru.qm (Debian: qt6-translations-l10n)";
  EXPECT_EQ(ButtonText(QMessageBox::Yes), QStringLiteral("Да"));
  EXPECT_EQ(ButtonText(QMessageBox::No), QStringLiteral("Нет"));
  EXPECT_NE(LookInText(), QStringLiteral("Look in:"));
  EXPECT_FALSE(LookInText().isEmpty());
}

TEST_F(QtTranslations, EnglishUserKeepsQtsTexts) {
  InstallQtTranslations(*qApp, QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(ButtonText(QMessageBox::Yes), QStringLiteral("Yes"));
  EXPECT_EQ(LookInText(), QStringLiteral("Look in:"));
}

} // namespace
