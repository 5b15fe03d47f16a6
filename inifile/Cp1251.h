#pragma once
// Conversion between UTF-8 (the program's strings in memory) and the
// Windows-1251 Cyrillic code page (the settings and tape files on disk).
//
// The tables are exact in both directions: every byte value has one
// character and every character cp1251 holds has one byte. The byte 0x98,
// which cp1251 leaves undefined, is mapped to U+0098 (a C1 control
// character), as Windows maps it, so any byte string survives
// cp1251 -> UTF-8 -> cp1251 unchanged.

#include <string>

// The character of a cp1251 byte.
char32_t Cp1251ToUnicode(unsigned char byte);

// The cp1251 byte of a character, or -1 when cp1251 cannot hold it.
int UnicodeToCp1251(char32_t c);

// Whether cp1251 holds the character (for refusing it as it is typed).
bool IsCp1251Representable(char32_t c);

// Whether the text is valid UTF-8: no malformed, overlong or surrogate
// sequence and nothing beyond U+10FFFF.
bool IsValidUtf8(const std::string& text);

// Whether the UTF-8 text is valid and every character of it fits in cp1251.
bool IsCp1251Representable(const std::string& utf8);

// The UTF-8 text of cp1251 bytes (always succeeds).
std::string Cp1251ToUtf8(const std::string& cp1251);

// The cp1251 bytes of a UTF-8 text. Returns false, leaving out unchanged,
// when the text is not valid UTF-8 or holds a character cp1251 cannot hold;
// nothing is ever replaced by "?".
bool Utf8ToCp1251(const std::string& utf8, std::string& out);

// The lower-case letter of a cp1251 byte (Latin and Cyrillic letters,
// including Ё, Ў, Є, Ї, І, Ґ and the Serbian/Macedonian letters); other
// bytes unchanged. Used for case-insensitive section and key names.
unsigned char Cp1251ToLower(unsigned char byte);
