#include "inifile/Cp1251.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const char* kUpper = "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ";
const char* kLower = "абвгдеёжзийклмнопрстуфхцчшщъыьэюя";

// The cp1251 bytes of the 33 letters: А..Е, Ё, Ж..Я (and the same in lower case).
std::string AlphabetBytes(unsigned char first, unsigned char yo) {
  std::string s;
  for (int k = 0; k < 6; ++k) s += static_cast<char>(first + k);
  s += static_cast<char>(yo);
  for (int k = 6; k < 32; ++k) s += static_cast<char>(first + k);
  return s;
}

}  // namespace

TEST(Cp1251, EveryByteHasItsOwnCharacterAndComesBack) {
  std::set<char32_t> seen;
  std::string all;
  for (int b = 0; b < 256; ++b) {
    const char32_t c = Cp1251ToUnicode(static_cast<unsigned char>(b));
    EXPECT_TRUE(seen.insert(c).second) << "byte " << b << " shares its character";
    EXPECT_EQ(UnicodeToCp1251(c), b);
    all += static_cast<char>(b);
  }
  std::string back;
  ASSERT_TRUE(Utf8ToCp1251(Cp1251ToUtf8(all), back));
  EXPECT_EQ(back, all);
}

TEST(Cp1251, KnownCharacters) {
  EXPECT_EQ(Cp1251ToUnicode(0xC1), U'Б');
  EXPECT_EQ(Cp1251ToUnicode(0xC0), U'А');
  EXPECT_EQ(Cp1251ToUnicode(0xFF), U'я');
  EXPECT_EQ(Cp1251ToUnicode(0xA8), U'Ё');
  EXPECT_EQ(Cp1251ToUnicode(0xB8), U'ё');
  EXPECT_EQ(Cp1251ToUnicode(0xB9), U'№');
  EXPECT_EQ(Cp1251ToUnicode(0x88), U'€');
  EXPECT_EQ(Cp1251ToUnicode(0x96), U'–');
  EXPECT_EQ(Cp1251ToUnicode(0xA0), char32_t(0x00A0));
  EXPECT_EQ(Cp1251ToUnicode(0x98), char32_t(0x0098));  // undefined in cp1251, kept as U+0098
  EXPECT_EQ(Cp1251ToUnicode('A'), U'A');
  EXPECT_EQ(Cp1251ToUtf8("\xC1"), "Б");
}

TEST(Cp1251, WholeCyrillicAlphabet) {
  std::string bytes;
  ASSERT_TRUE(Utf8ToCp1251(kUpper, bytes));
  EXPECT_EQ(bytes, AlphabetBytes(0xC0, 0xA8));
  ASSERT_TRUE(Utf8ToCp1251(kLower, bytes));
  EXPECT_EQ(bytes, AlphabetBytes(0xE0, 0xB8));
  EXPECT_EQ(Cp1251ToUtf8(AlphabetBytes(0xC0, 0xA8)), kUpper);
}

TEST(Cp1251, CharactersOutsideTheCodePageAreRefused) {
  for (const char* text : {"Ω", "ü", "日本", "😀", "Оп: Ω", "ä"}) {
    std::string out = "unchanged";
    EXPECT_FALSE(Utf8ToCp1251(text, out)) << text;
    EXPECT_EQ(out, "unchanged") << "no partial or '?' result for " << text;
    EXPECT_FALSE(IsCp1251Representable(std::string(text))) << text;
  }
  EXPECT_TRUE(IsCp1251Representable(std::string("Оп: «Дух» № 5 — ёЁ €")));
  EXPECT_TRUE(IsCp1251Representable(std::string()));
  EXPECT_TRUE(IsCp1251Representable(U'Ж'));
  EXPECT_TRUE(IsCp1251Representable(U' '));
  EXPECT_FALSE(IsCp1251Representable(U'Ω'));
  EXPECT_FALSE(IsCp1251Representable(char32_t(0xD800)));
  EXPECT_FALSE(IsCp1251Representable(char32_t(0x110000)));
  EXPECT_EQ(UnicodeToCp1251(U'?'), '?');
  EXPECT_EQ(UnicodeToCp1251(U'Ω'), -1);
}

TEST(Cp1251, MalformedUtf8IsRefused) {
  for (const char* text : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xD0", "\x80", "A\xD0",
                           "\xF4\x90\x80\x80", "\xFF"}) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1251(text, out)) << testing::PrintToString(text);
    EXPECT_FALSE(IsCp1251Representable(std::string(text)));
    EXPECT_FALSE(IsValidUtf8(text)) << testing::PrintToString(text);
  }
  // Valid UTF-8 that cp1251 cannot hold is still valid.
  EXPECT_TRUE(IsValidUtf8("Оп: Ω 😀 \xF4\x8F\xBF\xBF"));
  EXPECT_TRUE(IsValidUtf8(""));
}

TEST(Cp1251, LowerCase) {
  std::string upper, lower;
  ASSERT_TRUE(Utf8ToCp1251(std::string(kUpper) + "ABCZЂЃЉЊЌЋЏЎЈҐЄЇІЅ", upper));
  ASSERT_TRUE(Utf8ToCp1251(std::string(kLower) + "abczђѓљњќћџўјґєїіѕ", lower));
  ASSERT_EQ(upper.size(), lower.size());
  for (std::size_t i = 0; i < upper.size(); ++i) {
    EXPECT_EQ(Cp1251ToLower(static_cast<unsigned char>(upper[i])),
              static_cast<unsigned char>(lower[i])) << "at " << i;
    EXPECT_EQ(Cp1251ToLower(static_cast<unsigned char>(lower[i])),
              static_cast<unsigned char>(lower[i]));
  }
  const int unchanged[] = {'1', '[', '@', '_', 0xB9, 0x98, 0xA0};
  for (int b : unchanged) EXPECT_EQ(Cp1251ToLower(static_cast<unsigned char>(b)), b);
}
