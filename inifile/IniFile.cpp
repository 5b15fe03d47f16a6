#include "IniFile.h"

#include <vector>

#include "Cp1251.h"
#include "TextNumbers.h"
#include "WholeFile.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// Reading strips one pair of matching quotes, single or double, around a
// value of two or more characters, as the Windows profile API does. A value
// that would lose a character to that or to the trimming of blanks goes
// inside one pair of double quotes.
std::string Quote(const std::string& v) {
  if (v.empty()) return v;
  const char first = v.front(), last = v.back();
  if (IsBlank(first) || IsBlank(last) || first == '"' || last == '"' ||
      (v.size() >= 2 && first == '\'' && last == '\''))
    return '"' + v + '"';
  return v;
}

std::string Unquote(const std::string& v) {
  if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

// Signed decimal or "0x" hexadecimal within int range; blanks and tabs
// around it allowed.
bool ParseInteger(const std::string& text, int& out) {
  return ParseIntegerText(Trimmed(text), TIntegerForms::DecimalOrHex, out);
}

bool HasLineBreakOrNul(const std::string& s) {
  return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// A name that reads back as written: non-empty, no blank at either end, no
// line break.
bool IsPlainName(const std::string& n) {
  return !n.empty() && !IsBlank(n.front()) && !IsBlank(n.back()) && !HasLineBreakOrNul(n);
}

// The form in which names are compared: cp1251 in lower case. A name that
// cp1251 cannot hold (only in a file read as UTF-8) matches nothing the
// program asks for.
bool Folded(const std::string& utf8, std::string& out) {
  if (!Utf8ToCp1251(utf8, out)) return false;
  for (char& c : out) c = static_cast<char>(Cp1251ToLower(static_cast<unsigned char>(c)));
  return true;
}

// The first count characters of a UTF-8 text.
std::string FirstCharacters(const std::string& utf8, std::size_t count) {
  std::size_t i = 0;
  for (std::size_t n = 0; i < utf8.size() && n < count; ++n) {
    ++i;
    while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
  }
  return utf8.substr(0, i);
}

// One line of the file, as the Windows profile API sees it. A section line
// is a "[", after optional blanks, with a "]" later on the line: the name is
// what lies between the "[" and the last "]". A key line holds an "=" and
// does not begin with ";"; its name and value are what lies before and after
// the first "=", without surrounding blanks. Every other line (blank,
// comment, a "[" without its "]", text without "=") belongs to no key and is
// written back as it was.
struct TLine {
  enum TKind { Other, Section, Key };
  std::string text;  // UTF-8, without the line end
  TKind kind = Other;
  std::string name;
  std::string fold;  // the name folded for comparison
  bool foldable = false;
  std::string value;  // as stored, still quoted
};

TLine Classify(const std::string& text) {
  TLine l;
  l.text = text;
  const std::string t = Trimmed(text);
  if (t.empty() || t.front() == ';') return l;
  if (t.front() == '[') {
    const std::size_t close = t.rfind(']');
    if (close != std::string::npos && close > 0) {
      l.kind = TLine::Section;
      l.name = Trimmed(t.substr(1, close - 1));
    }
  } else {
    const std::size_t eq = t.find('=');
    if (eq != std::string::npos) {
      l.name = Trimmed(t.substr(0, eq));
      if (!l.name.empty()) {
        l.kind = TLine::Key;
        l.value = Trimmed(t.substr(eq + 1));
      }
    }
  }
  if (l.kind != TLine::Other) l.foldable = Folded(l.name, l.fold);
  return l;
}

// Splits text at CRLF, LF or CR.
std::vector<TLine> SplitLines(const std::string& text) {
  std::vector<TLine> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(Classify(text.substr(start, i - start)));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(Classify(text.substr(start)));
  return lines;
}

constexpr std::size_t npos = std::string::npos;

}  // namespace

struct TIniFile::TData {
  std::string path;
  std::vector<TLine> lines;
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

  // The line of the first section of that name (the one the profile API
  // reads), or npos.
  std::size_t FindSection(const std::string& section, std::size_t from = 0) const {
    std::string f;
    if (!Folded(section, f)) return npos;
    for (std::size_t i = from; i < lines.size(); ++i)
      if (lines[i].kind == TLine::Section && lines[i].foldable && lines[i].fold == f) return i;
    return npos;
  }
  // The line after the last line of the section that starts at line s.
  std::size_t SectionEnd(std::size_t s) const {
    std::size_t i = s + 1;
    while (i < lines.size() && lines[i].kind != TLine::Section) ++i;
    return i;
  }
  // The first line of that key in the first section of that name, or npos.
  std::size_t FindKey(const std::string& section, const std::string& key) const {
    const std::size_t s = FindSection(section);
    std::string f;
    if (s == npos || !Folded(key, f)) return npos;
    for (std::size_t i = s + 1, e = SectionEnd(s); i < e; ++i)
      if (lines[i].kind == TLine::Key && lines[i].foldable && lines[i].fold == f) return i;
    return npos;
  }
  const std::string* RawValue(const std::string& section, const std::string& key) const {
    const std::size_t i = FindKey(section, key);
    return i == npos ? nullptr : &lines[i].value;
  }
};

TIniFile::TIniFile(const std::string& path) : d_(new TData) {
  d_->path = path;
  std::string contents;
  switch (ReadWholeFile(path, contents, d_->readDetail)) {
    case TReadStatus::Missing:
      break;
    case TReadStatus::Failed:
      d_->unreadable = true;
      break;
    case TReadStatus::Ok:
      // A file with a UTF-8 byte-order mark is read as UTF-8 (and saved as
      // cp1251, without the mark); any other file is cp1251.
      // (A mark before text that is not UTF-8 is dropped.)
      if (contents.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        contents.erase(0, 3);
        if (IsValidUtf8(contents)) {
          d_->lines = SplitLines(contents);
          break;
        }
      }
      d_->lines = SplitLines(Cp1251ToUtf8(contents));
      break;
  }
}

TIniFile::~TIniFile() = default;

const std::string& TIniFile::FileName() const { return d_->path; }

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
  const std::string* raw = d_->RawValue(section, key);
  if (!raw) return def;
  return FirstCharacters(Unquote(*raw), MaxValueLength);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  const std::string* raw = d_->RawValue(section, key);
  int v;
  return raw && ParseInteger(Unquote(*raw), v) ? v : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  const std::string* raw = d_->RawValue(section, key);
  int v;
  return raw && ParseInteger(Unquote(*raw), v) ? v != 0 : def;
}

bool TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  const std::string where = "[" + section + "] " + key;
  std::string s, k, v;
  if (!Utf8ToCp1251(section, s) || !Utf8ToCp1251(key, k))
    return d_->Refuse("the name " + where + " holds a character code page 1251 cannot hold");
  if (!IsPlainName(s) || s.find(']') != std::string::npos)
    return d_->Refuse("the section name [" + section + "] cannot be stored");
  if (!IsPlainName(k) || k.find('=') != std::string::npos || k.front() == ';' ||
      k.front() == '#' || k.front() == '[')
    return d_->Refuse("the key name " + key + " cannot be stored");
  if (!Utf8ToCp1251(value, v))
    return d_->Refuse("the value of " + where + " holds a character code page 1251 cannot hold");
  if (HasLineBreakOrNul(v))
    return d_->Refuse("the value of " + where + " holds a line break or a NUL character");

  std::vector<TLine>& lines = d_->lines;
  const std::size_t at = d_->FindKey(section, key);
  if (at != npos) {
    // The key keeps its place and its spelling.
    lines[at] = Classify(lines[at].name + "=" + Quote(value));
    return d_->Succeed();
  }
  const TLine line = Classify(key + "=" + Quote(value));
  const std::size_t sec = d_->FindSection(section);
  if (sec == npos) {
    if (!lines.empty() && !Trimmed(lines.back().text).empty()) lines.push_back(Classify(""));
    lines.push_back(Classify("[" + section + "]"));
    lines.push_back(line);
    return d_->Succeed();
  }
  // After the section's last key, so that comments and blank lines before
  // the next section stay with it.
  std::size_t insert = sec + 1;
  for (std::size_t i = sec + 1, e = d_->SectionEnd(sec); i < e; ++i)
    if (lines[i].kind == TLine::Key) insert = i + 1;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert), line);
  return d_->Succeed();
}

bool TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(const std::string& section) {
  // Only the first section of the name goes, with every line up to the next
  // section, as the profile API erases it: a later duplicate, its comments
  // and blank lines stay and it becomes the section read and written.
  const std::size_t s = d_->FindSection(section);
  if (s != npos)
    d_->lines.erase(d_->lines.begin() + static_cast<std::ptrdiff_t>(s),
                    d_->lines.begin() + static_cast<std::ptrdiff_t>(d_->SectionEnd(s)));
}

bool TIniFile::SectionExists(const std::string& section) const {
  return d_->FindSection(section) != npos;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return d_->FindKey(section, key) != npos;
}

bool TIniFile::UpdateFile() {
  if (d_->unreadable)
    return d_->Refuse("the file could not be read, so saving would lose its contents (" +
                      d_->readDetail + ")");
  // Every line ends with CRLF; a section that follows a key directly gets an
  // empty line before it.
  std::string text;
  for (std::size_t i = 0; i < d_->lines.size(); ++i) {
    const TLine& l = d_->lines[i];
    if (l.kind == TLine::Section && i > 0 && d_->lines[i - 1].kind == TLine::Key) text += "\r\n";
    text += l.text;
    text += "\r\n";
  }
  std::string bytes;
  if (!Utf8ToCp1251(text, bytes))
    return d_->Refuse("the file holds characters that code page 1251 cannot hold; it was "
                      "left unchanged");
  std::string detail;
  if (!ReplaceWholeFile(d_->path, bytes, detail)) return d_->Refuse(detail);
  return d_->Succeed();
}

const std::string& TIniFile::LastError() const { return d_->lastError; }

const std::string& TIniFile::LastErrorDetail() const { return d_->lastErrorDetail; }
