#pragma once
// The settings file: an INI file read whole at construction, changed in
// memory and written back whole by UpdateFile(). It means what the Windows
// profile API (GetPrivateProfileString and its kin) makes of it:
// - a section opens at a line "[name]"; a line with "[" but no "]" opens
//   none, and the keys after it stay in the section before;
// - of duplicate sections the first is read, written and erased, of
//   duplicate keys in it the first; names are found regardless of case and
//   order;
// - every other line (comments, blank lines, text without "=", sections of
//   other programs) is written back unchanged and in place.
//
// All strings in and out are UTF-8; on disk the file is cp1251. A file that
// begins with a UTF-8 byte-order mark is read as UTF-8 and saved as cp1251
// without the mark; when it holds characters cp1251 cannot hold, saving is
// refused and the file left as it is. Values:
// - strings are kept exactly, blanks included: reading strips one pair of
//   matching single or double quotes around the value, so a value that
//   begins or ends with a blank or a double quote, or is enclosed in single
//   quotes, is written inside one pair of double quotes; up to
//   MaxValueLength characters are read back;
// - integers are signed decimal; "0x"/"0X" values are read as hexadecimal;
//   a value that is not an integer in int range reads as the default;
// - booleans are written "1"/"0" and read as integers, non-zero is true.
// A new section goes to the end of the file, a new key to the end of its
// section; existing keys keep their place. The file is written with CRLF
// line ends, through a temporary file in the same folder that is renamed
// over the target, so a failed save leaves the old file as it was. Only a
// regular file of a sane size is read (see ReadWholeFile); a read-only file
// is never replaced.
//
// An object holds the file as it was read at construction: open one, read
// or write, call UpdateFile() and drop it before another object on the same
// file writes, or the later save overwrites the earlier one's changes.

#include <memory>
#include <string>

class TIniFile {
public:
  // Reads the file (UTF-8 path). A missing file is an empty one.
  explicit TIniFile(const std::string& path);
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  // The longest string value read back; longer values are cut to it.
  static constexpr std::size_t MaxValueLength = 2047;

  const std::string& FileName() const;

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;

  // Each write creates the section and the key as needed. A write is refused
  // (false, LastError() set, nothing changed) when a name or the value holds
  // a character cp1251 cannot hold or a line break, when the value holds a
  // NUL, or when a name could not be read back as written (empty, blanks at
  // either end, "]" in a section name, "=" in a key name or a key name
  // beginning with ";", "#" or "[").
  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);
  bool WriteBool(const std::string& section, const std::string& key, bool value);

  // Removes the first section of the name with all its lines; a later
  // duplicate then comes to light, as with the profile API.
  void EraseSection(const std::string& section);
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  // Writes the whole file. Returns false, with LastError() set and the file
  // on disk untouched, when it cannot be written, and also when the file
  // existed at construction but could not be read (saving would have
  // replaced its contents with only this object's writes).
  bool UpdateFile();

  // "Unable to write to <path>" after a refused write or a failed
  // UpdateFile(), empty after one that succeeded.
  const std::string& LastError() const;
  // Why the last write or UpdateFile() failed (for diagnostics).
  const std::string& LastErrorDetail() const;

private:
  struct TData;
  std::unique_ptr<TData> d_;
};
