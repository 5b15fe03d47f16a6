// The rules of a session that need no window.
#include <gtest/gtest.h>

#include "session/SessionRules.h"

namespace {

TEST(SessionRules, TimePerSymbolText) {
  EXPECT_EQ(SymbolPeriodMsFromText(QStringLiteral("1.000")), 1000);
  EXPECT_EQ(SymbolPeriodMsFromText(QStringLiteral("0,1")), 100);
  EXPECT_EQ(SymbolPeriodMsFromText(QStringLiteral("0.0996")), 100) << "rounded";
  EXPECT_EQ(SymbolPeriodMsFromText(QStringLiteral("0.0994")), 99);
  EXPECT_EQ(SymbolPeriodMsFromText(QStringLiteral(" 20 ")), 20000);
  EXPECT_EQ(SymbolPeriodMsFromText(QStringLiteral("сек")), 100);
  EXPECT_EQ(SymbolPeriodMsFromText(QString()), 100);
  EXPECT_LT(SymbolPeriodMsFromText(QStringLiteral("-1")), kMinSymbolPeriodMs);
  EXPECT_GT(SymbolPeriodMsFromText(QStringLiteral("1e12")), kMaxSymbolPeriodMs);
}

TEST(SessionRules, StopSymbolList) {
  EXPECT_TRUE(ParseStopSymbols(QString()).isEmpty());
  EXPECT_TRUE(ParseStopSymbols(QStringLiteral("   ")).isEmpty());
  EXPECT_EQ(ParseStopSymbols(QStringLiteral(" . ")), QStringList{QStringLiteral(".")});
  EXPECT_EQ(ParseStopSymbols(QStringLiteral(".;!")), (QStringList{".", "!"}));
  EXPECT_EQ(ParseStopSymbols(QStringLiteral(".;")), (QStringList{".", ""}));
  EXPECT_EQ(ParseStopSymbols(QStringLiteral(";; X ;")), (QStringList{"", "", "X", ""}));
  EXPECT_EQ(ParseStopSymbols(QStringLiteral("КОНЕЦ; end")), (QStringList{"КОНЕЦ", "end"}));
}

TEST(SessionRules, LevelText) {
  EXPECT_EQ(LevelFromText(QStringLiteral("30")), 30.0);
  EXPECT_EQ(LevelFromText(QStringLiteral("12,5")), 12.5);
  EXPECT_EQ(LevelFromText(QStringLiteral("-4")), 0.0);
  EXPECT_EQ(LevelFromText(QStringLiteral("101")), 100.0);
  EXPECT_EQ(LevelFromText(QStringLiteral("много")), 0.0);
  EXPECT_EQ(LevelFromText(QStringLiteral("nan")), 0.0);
}

class ApplySymbolTest : public ::testing::Test {
protected:
  TSymbolAction Take(const QString& s) { return ApplySymbol(Lines, s, Rules, Pending); }
  QStringList Lines;
  TSymbolRules Rules{QStringLiteral("--"), QStringLiteral("<"), {QStringLiteral(".")}, false, {}, {}, {}};
  bool Pending = true;
};

TEST_F(ApplySymbolTest, SymbolsGoToTheLastDashLine) {
  EXPECT_EQ(Take("H"), TSymbolAction::Written);
  EXPECT_EQ(Take("И"), TSymbolAction::Written);
  EXPECT_EQ(Lines, QStringList{"- HИ"});
  EXPECT_FALSE(Pending);
  Lines << "stamp";
  Take("A");
  EXPECT_EQ(Lines, (QStringList{"- HИ", "stamp", "- A"}));
  Lines.last() = "-A";  // the operator changed the line's beginning
  Take("B");
  EXPECT_EQ(Lines.last(), "- B");
}

TEST_F(ApplySymbolTest, StopSymbolIsWrittenAndThenReported) {
  EXPECT_EQ(Take("."), TSymbolAction::WrittenStop);
  EXPECT_EQ(Lines, QStringList{"- ."});
  EXPECT_TRUE(Pending);
  Take("A");
  EXPECT_EQ(Lines, (QStringList{"- .", "- A"}));
}

TEST_F(ApplySymbolTest, ComparisonsAreExactAndCaseSensitive) {
  Rules.StopSymbols = {"Stop", ""};
  EXPECT_EQ(Take("stop"), TSymbolAction::Written);
  EXPECT_EQ(Take(" Stop"), TSymbolAction::Written) << "table texts are not trimmed";
  EXPECT_EQ(Take("Stop"), TSymbolAction::WrittenStop);
  EXPECT_EQ(Take(""), TSymbolAction::Written) << "an empty cell is a blank and never stops";
  EXPECT_EQ(Take(" "), TSymbolAction::Written);
  EXPECT_EQ(Lines, QStringList{"- stop StopStop  "});
}

TEST_F(ApplySymbolTest, BackspaceRemovesOneCharacterOfTheLastLine) {
  EXPECT_EQ(Take("<"), TSymbolAction::Written) << "no lines: written as text";
  Lines = QStringList{"- AB", "x😀"};
  EXPECT_EQ(Take("<"), TSymbolAction::Backspace);
  EXPECT_EQ(Lines.last(), "x") << "a character outside the BMP is one character";
  Take("<");
  Take("<");
  EXPECT_EQ(Lines, (QStringList{"- AB", ""}));
  Rules.BackspaceSymbol.clear();
  Take("");
  EXPECT_EQ(Lines.last(), "-  ") << "an empty backspace symbol never matches";
}

TEST_F(ApplySymbolTest, FastSymbolOnlyWithTheOption) {
  EXPECT_EQ(Take("--"), TSymbolAction::Written);
  Rules.FastSlowOption = true;
  EXPECT_EQ(Take("--"), TSymbolAction::EnterFastMode);
  EXPECT_EQ(Lines, QStringList{"- --"});
  Rules.FastSymbol.clear();
  EXPECT_EQ(Take(""), TSymbolAction::Written);
}

TEST(SessionRules, TrimRemovesBlanksAndControls) {
  EXPECT_EQ(TrimBlanks(QStringLiteral("\t -- \r\n")), QStringLiteral("--"));
  EXPECT_EQ(TrimBlanks(QStringLiteral("a b")), QStringLiteral("a b"));
  EXPECT_EQ(TrimBlanks(QStringLiteral(" \n")), QString());
}

}  // namespace
