#pragma once
// The one parser of integer texts, shared by the settings file (which also
// takes "0x" hexadecimal) and the edit fields (decimal only). Each caller
// strips the blanks it allows around the number first.

#include <string>

enum class TIntegerForms { Decimal, DecimalOrHex };

// An optional sign, then decimal digits (or, with DecimalOrHex, "0x"/"0X"
// and hexadecimal digits), and nothing else. False, out unchanged, for any
// other text or a value outside int range.
bool ParseIntegerText(const std::string& text, TIntegerForms forms, int& out);
