// The gain handler shared by the gain buttons and the gain edit.
#include "DisplayFixture.h"

#include <QLineEdit>
#include <QToolButton>

namespace {

class DisplayGainTest : public DisplayTest {
protected:
  void SetUp() override {
    DisplayTest::SetUp();
    AttachChain();
    MakeDisplay();
  }
  QString Edit() const { return Display->EGaugeAmp->text(); }
  double Gain() const { return Chain.Model.Gain(); }
  void Type(const QString& text) { Display->EGaugeAmp->setText(text); }
};

} // namespace

TEST_F(DisplayGainTest, StepButtonsAddToTheEditsValue) {
  Display->BAmpUp->click();
  EXPECT_EQ(Edit(), QStringLiteral("101"));
  EXPECT_DOUBLE_EQ(Gain(), 101);
  Display->BAmpUp10->click();
  EXPECT_EQ(Edit(), QStringLiteral("111"));
  EXPECT_DOUBLE_EQ(Gain(), 111);
  Display->BAmpDown->click();
  EXPECT_EQ(Edit(), QStringLiteral("110"));
  Display->BAmpDown10->click();
  EXPECT_EQ(Edit(), QStringLiteral("100"));
  EXPECT_DOUBLE_EQ(Gain(), 100);
}

TEST_F(DisplayGainTest, StepsStopAtBothEndsOfTheRange) {
  Type(QStringLiteral("5"));
  EXPECT_DOUBLE_EQ(Gain(), 5);
  Display->BAmpDown10->click();
  EXPECT_EQ(Edit(), QStringLiteral("1"));
  EXPECT_DOUBLE_EQ(Gain(), 1);
  Display->BAmpDown->click();
  EXPECT_EQ(Edit(), QStringLiteral("1"));

  Display->BAmp1000->click();
  EXPECT_EQ(Edit(), QStringLiteral("1000"));
  EXPECT_DOUBLE_EQ(Gain(), 1000);
  Display->BAmpUp10->click();
  EXPECT_EQ(Edit(), QStringLiteral("1000"));
  EXPECT_DOUBLE_EQ(Gain(), 1000);
}

TEST_F(DisplayGainTest, PresetsSetTheirNumberWhateverTheEditHeld) {
  const struct { QToolButton* button; const char* text; } presets[] = {
      {Display->BAmp1, "1"},     {Display->BAmp5, "5"},     {Display->BAmp10, "10"},
      {Display->BAmp20, "20"},   {Display->BAmp50, "50"},   {Display->BAmp100, "100"},
      {Display->BAmp500, "500"}, {Display->BAmp1000, "1000"}};
  for (const auto& p : presets) {
    Type(QStringLiteral("abc"));
    p.button->click();
    EXPECT_EQ(Edit(), QString::fromLatin1(p.text));
    EXPECT_DOUBLE_EQ(Gain(), QString::fromLatin1(p.text).toDouble());
  }
  // A sender without trailing digits in its caption gives 1.
  Type(QStringLiteral("300"));
  Display->BAmpUpClick(nullptr);
  EXPECT_EQ(Edit(), QStringLiteral("1"));
  EXPECT_DOUBLE_EQ(Gain(), 1);
}

TEST_F(DisplayGainTest, TypedTextIsKeptWhileTheModelGetsTheClampedValue) {
  Type(QStringLiteral("5000"));
  EXPECT_EQ(Edit(), QStringLiteral("5000"));
  EXPECT_DOUBLE_EQ(Gain(), 1000);
  Type(QStringLiteral("250"));
  EXPECT_DOUBLE_EQ(Gain(), 250);
  Type(QStringLiteral("12,5"));
  EXPECT_DOUBLE_EQ(Gain(), 12.5);
  Type(QStringLiteral("12.25"));
  EXPECT_DOUBLE_EQ(Gain(), 12.25);
  for (const QString& text : {QStringLiteral("abc"), QStringLiteral("0"), QString()}) {
    Type(QStringLiteral("300"));
    Type(text);
    EXPECT_EQ(Edit(), text);
    EXPECT_DOUBLE_EQ(Gain(), 1) << text.toStdString();
  }
}

TEST_F(DisplayGainTest, StepOnAFractionShowsTheRoundedValueAndAppliesTheExactOne) {
  // The edit's change runs the handler again with "3" before the outer call
  // applies 3.4 to the model.
  Type(QStringLiteral("2.4"));
  Display->BAmpUp->click();
  EXPECT_EQ(Edit(), QStringLiteral("3"));
  EXPECT_DOUBLE_EQ(Gain(), 3.4);
  // A following step starts from the edit's text.
  Display->BAmpUp->click();
  EXPECT_EQ(Edit(), QStringLiteral("4"));
  EXPECT_DOUBLE_EQ(Gain(), 4);
}

TEST_F(DisplayGainTest, WithoutAChainOnlyTheEditChanges) {
  DetachChain();
  Display->BAmpUp->click();
  EXPECT_EQ(Edit(), QStringLiteral("101"));
  EXPECT_DOUBLE_EQ(Gain(), 100);
}

TEST_F(DisplayGainTest, TheEditRefusesCharactersTheSettingsFileCannotHold) {
  Display->EGaugeAmp->clear();
  Display->EGaugeAmp->insert(QStringLiteral("12"));
  Display->EGaugeAmp->insert(QStringLiteral("中"));
  EXPECT_EQ(Edit(), QStringLiteral("12"));
  EXPECT_DOUBLE_EQ(Gain(), 12);
}
