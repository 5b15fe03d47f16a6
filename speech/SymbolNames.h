#pragma once
// What the voices say for a symbol of the table and for a line of the tape,
// in Russian. Texts are UTF-8.

#include <string>
#include <vector>

// The special symbols of a session, trimmed as the session takes them.
struct TSymbolRoles {
  std::string FastSymbol;
  std::string BackspaceSymbol;
  std::vector<std::string> StopSymbols;
  std::string PauseSymbol;
  std::string CallSymbol;
  std::string ReadLineSymbol;
};

// The spoken name of a symbol: a letter by its Russian name (Cyrillic, and
// Latin as a Russian speaker names it), a digit or a sign by its name, a
// blank or an empty cell as "пробел", the special symbols by their role.
// Other texts are said as they are written.
std::string SpokenSymbol(const std::string& symbol, const TSymbolRoles& roles);

// A tape line as it is read: without its "- " mark; empty when nothing is
// left to read.
std::string SpokenLine(const std::string& line);
