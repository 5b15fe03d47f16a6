// What the voices say for the symbols of a table and for a tape line.
#include <gtest/gtest.h>

#include "speech/SymbolNames.h"

namespace {

TEST(SymbolNames, LettersByTheirRussianNamesInEitherCase) {
  const TSymbolRoles none;
  const std::pair<const char*, const char*> names[] = {
      {"А", "а"}, {"б", "бэ"}, {"Ё", "ё"}, {"ё", "ё"}, {"Й", "и краткое"}, {"щ", "ща"},
      {"Ъ", "твёрдый знак"}, {"ь", "мягкий знак"}, {"Я", "я"},
      {"A", "а"}, {"h", "аш"}, {"J", "йот"}, {"Q", "ку"}, {"w", "дубль вэ"}, {"Y", "игрек"}, {"Z", "зэт"},
      {"7", "семь"}, {",", "запятая"}, {".", "точка"}, {" ", "пробел"}, {"", "пробел"}};
  for (const auto& [symbol, name] : names) EXPECT_EQ(SpokenSymbol(symbol, none), name) << symbol;
  EXPECT_EQ(SpokenSymbol("ЖИ", none), "ЖИ") << "other texts as written";
  EXPECT_EQ(SpokenSymbol("\xD0", none), "\xD0") << "a broken sequence is passed on, not read past";
}

TEST(SymbolNames, SpecialSymbolsByTheirRole) {
  TSymbolRoles roles;
  roles.FastSymbol = "--";
  roles.BackspaceSymbol = "<";
  roles.StopSymbols = {".", "#", ""};
  roles.PauseSymbol = "||";
  roles.CallSymbol = "!!";
  roles.ReadLineSymbol = "=";
  EXPECT_EQ(SpokenSymbol("||", roles), "пауза");
  EXPECT_EQ(SpokenSymbol("!!", roles), "вызов");
  EXPECT_EQ(SpokenSymbol("=", roles), "прочитать строку");
  EXPECT_EQ(SpokenSymbol("--", roles), "быстрый режим");
  EXPECT_EQ(SpokenSymbol("<", roles), "стереть");
  EXPECT_EQ(SpokenSymbol("#", roles), "стоп");
  EXPECT_EQ(SpokenSymbol(".", roles), "точка") << "a full stop that also stops is still named";
  EXPECT_EQ(SpokenSymbol("", roles), "пробел") << "an empty stop entry names nothing";
}

TEST(SymbolNames, LinesLoseTheirMark) {
  EXPECT_EQ(SpokenLine("- ПРИВЕТ МИР."), "ПРИВЕТ МИР.");
  EXPECT_EQ(SpokenLine("- "), "");
  EXPECT_EQ(SpokenLine("текст"), "текст");
}

}  // namespace
