#include "IniFile.h"

#include <climits>

#include <SimpleIni.h>

#include "Cp1251.h"
#include "WholeFile.h"

namespace {

// Case-insensitive order of cp1251 names (SimpleIni keeps the file's bytes).
struct TCp1251NoCase {
  bool operator()(const char* l, const char* r) const {
    for (; *l && *r; ++l, ++r) {
      const unsigned char a = Cp1251ToLower(static_cast<unsigned char>(*l));
      const unsigned char b = Cp1251ToLower(static_cast<unsigned char>(*r));
      if (a != b) return a < b;
    }
    return *r != 0;
  }
};

// SimpleIni holds the file's cp1251 text as it stands: no conversion, no
// quote handling of its own (values are quoted and unquoted here).
using TSimpleIni = CSimpleIniTempl<char, TCp1251NoCase, SI_ConvertA<char>>;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A value whose first or last character the parser would trim, or that
// begins and ends with a double quote, goes inside one pair of quotes.
std::string Quote(const std::string& v) {
  if (v.empty()) return v;
  const char first = v.front(), last = v.back();
  if (IsBlank(first) || IsBlank(last) || first == '"' || last == '"') return '"' + v + '"';
  return v;
}

std::string Unquote(const char* raw) {
  std::string v(raw);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
  return v;
}

// Signed decimal or "0x" hexadecimal within int range; surrounding blanks allowed.
bool ParseInteger(const std::string& text, int& out) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  bool negative = false;
  if (b < e && (text[b] == '+' || text[b] == '-')) {
    negative = text[b] == '-';
    ++b;
  }
  int base = 10;
  if (e - b >= 2 && text[b] == '0' && (text[b + 1] == 'x' || text[b + 1] == 'X')) {
    base = 16;
    b += 2;
  }
  if (b == e) return false;
  long long magnitude = 0;
  for (std::size_t i = b; i < e; ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    magnitude = magnitude * base + digit;
    if (magnitude > -static_cast<long long>(INT_MIN)) return false;
  }
  const long long v = negative ? -magnitude : magnitude;
  if (v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

bool HasLineBreakOrNul(const std::string& s) {
  return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// A name that reads back as written: non-empty, no blank at either end, no
// line break.
bool IsPlainName(const std::string& n) {
  return !n.empty() && !IsBlank(n.front()) && !IsBlank(n.back()) && !HasLineBreakOrNul(n);
}

// The text as it goes to disk: every line end CRLF, whatever it was, and
// runs of empty lines (SimpleIni puts two between sections) made one.
std::string FileText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  bool lineEmpty = true, lastLineEmpty = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (!(lineEmpty && lastLineEmpty)) out += "\r\n";
      lastLineEmpty = lineEmpty;
      lineEmpty = true;
    } else {
      out += c;
      lineEmpty = false;
    }
  }
  return out;
}

// The stored (cp1251, still quoted) value of a key, or null when there is none.
const char* RawValue(const TSimpleIni& ini, const std::string& section, const std::string& key) {
  std::string s, k;
  if (!Utf8ToCp1251(section, s) || !Utf8ToCp1251(key, k)) return nullptr;
  return ini.GetValue(s.c_str(), k.c_str(), nullptr);
}

}  // namespace

struct TIniFile::TData {
  std::string path;
  TSimpleIni ini{false, false, false};
  bool unreadable = false;  // existed at construction but could not be read
  std::string readDetail;
  std::string lastError;
  std::string lastErrorDetail;

  bool Refuse(const std::string& why) {
    lastError = "Unable to write to " + path;
    lastErrorDetail = why;
    return false;
  }
  bool Succeed() {
    lastError.clear();
    lastErrorDetail.clear();
    return true;
  }
};

TIniFile::TIniFile(const std::string& path) : d(new TData) {
  d->path = path;
  d->ini.SetSpaces(false);
  d->ini.SetQuotes(false);
  std::string contents;
  switch (ReadWholeFile(path, contents, d->readDetail)) {
    case TReadStatus::Missing:
      break;
    case TReadStatus::Failed:
      d->unreadable = true;
      break;
    case TReadStatus::Ok:
      // A byte-order mark is dropped; the text is taken as cp1251 regardless.
      if (contents.compare(0, 3, "\xEF\xBB\xBF") == 0) contents.erase(0, 3);
      if (d->ini.LoadData(contents.data(), contents.size()) < 0) {
        d->unreadable = true;
        d->readDetail = "the file could not be parsed";
      }
      break;
  }
}

TIniFile::~TIniFile() = default;

const std::string& TIniFile::FileName() const { return d->path; }

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
  const char* raw = RawValue(d->ini, section, key);
  if (!raw) return def;
  std::string v = Unquote(raw);
  if (v.size() > MaxValueLength) v.resize(MaxValueLength);
  return Cp1251ToUtf8(v);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  const char* raw = RawValue(d->ini, section, key);
  int v;
  return raw && ParseInteger(Unquote(raw), v) ? v : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  const char* raw = RawValue(d->ini, section, key);
  int v;
  return raw && ParseInteger(Unquote(raw), v) ? v != 0 : def;
}

bool TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  const std::string where = "[" + section + "] " + key;
  std::string s, k, v;
  if (!Utf8ToCp1251(section, s) || !Utf8ToCp1251(key, k))
    return d->Refuse("the name " + where + " holds a character code page 1251 cannot hold");
  if (!IsPlainName(s) || s.find(']') != std::string::npos)
    return d->Refuse("the section name [" + section + "] cannot be stored");
  if (!IsPlainName(k) || k.find('=') != std::string::npos || k.front() == ';' ||
      k.front() == '#' || k.front() == '[')
    return d->Refuse("the key name " + key + " cannot be stored");
  if (!Utf8ToCp1251(value, v))
    return d->Refuse("the value of " + where + " holds a character code page 1251 cannot hold");
  if (HasLineBreakOrNul(v))
    return d->Refuse("the value of " + where + " holds a line break or a NUL character");
  if (d->ini.SetValue(s.c_str(), k.c_str(), Quote(v).c_str()) < 0)
    return d->Refuse("out of memory");
  return d->Succeed();
}

bool TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(const std::string& section) {
  std::string s;
  if (Utf8ToCp1251(section, s)) d->ini.Delete(s.c_str(), nullptr);
}

bool TIniFile::SectionExists(const std::string& section) const {
  std::string s;
  return Utf8ToCp1251(section, s) && d->ini.GetSectionSize(s.c_str()) >= 0;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return RawValue(d->ini, section, key) != nullptr;
}

bool TIniFile::UpdateFile() {
  if (d->unreadable)
    return d->Refuse("the file could not be read, so saving would lose its contents (" +
                     d->readDetail + ")");
  std::string text;
  if (d->ini.Save(text) < 0) return d->Refuse("the settings could not be formatted");
  std::string detail;
  if (!ReplaceWholeFile(d->path, FileText(text), detail)) return d->Refuse(detail);
  return d->Succeed();
}

const std::string& TIniFile::LastError() const { return d->lastError; }

const std::string& TIniFile::LastErrorDetail() const { return d->lastErrorDetail; }
