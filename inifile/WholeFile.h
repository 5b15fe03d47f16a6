#pragma once
// Reading a file whole and replacing one whole without ever leaving it
// half-written. Paths are UTF-8 (wide file API on Windows).

#include <string>

enum class TReadStatus { Ok, Missing, Failed };

// The largest file ReadWholeFile reads.
constexpr unsigned long long MaxWholeFileBytes = 4ull << 20;

// Reads the whole file into contents. Missing when the file (or a folder of
// its path) does not exist; Failed, with detail set, when it exists but
// cannot be read, or is not a regular file (a folder, a FIFO or a device,
// which are never read, so they cannot block), or is larger than
// MaxWholeFileBytes.
TReadStatus ReadWholeFile(const std::string& path, std::string& contents, std::string& detail);

// Replaces the target by contents through a TFileReplacer (see there): on
// failure the target is left as it was, detail says why and the result is
// false.
bool ReplaceWholeFile(const std::string& path, const std::string& contents, std::string& detail);
