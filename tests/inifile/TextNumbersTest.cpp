// The integer parser that the settings file and the edit fields share.
#include "inifile/TextNumbers.h"

#include <gtest/gtest.h>

namespace {

TEST(TextNumbers, HexadecimalOnlyWhereAskedForTheRestAlike) {
  int v = 0;
  EXPECT_TRUE(ParseIntegerText("0x1E", TIntegerForms::DecimalOrHex, v));
  EXPECT_EQ(v, 30);
  EXPECT_TRUE(ParseIntegerText("-0X80000000", TIntegerForms::DecimalOrHex, v));
  EXPECT_EQ(v, -2147483647 - 1);
  v = 7;
  EXPECT_FALSE(ParseIntegerText("0x1E", TIntegerForms::Decimal, v));
  EXPECT_EQ(v, 7);
  for (const TIntegerForms f : {TIntegerForms::Decimal, TIntegerForms::DecimalOrHex}) {
    EXPECT_TRUE(ParseIntegerText("+0012", f, v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseIntegerText("-2147483648", f, v));
    for (const char* bad : {"", "+", "-", "2147483648", "99999999999999999999", " 1", "1 ", "1e3",
                            "0x"})
      EXPECT_FALSE(ParseIntegerText(bad, f, v)) << bad;
  }
}

}  // namespace
