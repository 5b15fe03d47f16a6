#pragma once
// Replacing a file by one written piece by piece, never leaving it cut
// short. The pieces go unbuffered to a temporary file beside the target and
// every write is checked, so no failure can hide in a buffer that is pushed
// out later; at Commit the temporary is flushed to the disk, closed and
// renamed over the target, and only when each of these steps succeeded.
// Otherwise the temporary is removed and the target keeps its old bytes.
// Paths are UTF-8 (wide file API on Windows).

#include <cstddef>
#include <cstdint>
#include <string>

class TFileReplacer {
public:
  TFileReplacer() = default;
  // An unfinished replacement is cancelled.
  ~TFileReplacer();
  TFileReplacer(const TFileReplacer&) = delete;
  TFileReplacer& operator=(const TFileReplacer&) = delete;

  // Creates the temporary. False when the target is a folder or read-only
  // (no write permission for anyone, or none for this process), or the
  // temporary cannot be created. An existing target's permission bits go to
  // the new file; a symbolic link is followed, so the file it names is
  // replaced, not the link.
  bool Open(const std::string& path);
  // Adds bytes to the temporary. False when this or an earlier write failed;
  // after a failure nothing more is written.
  bool Write(const char* data, std::size_t size);
  bool Write(const std::string& bytes) { return Write(bytes.data(), bytes.size()); }
  // Flushes the temporary to the disk, closes it and renames it over the
  // target. False, with the temporary removed, when any step or an earlier
  // write failed.
  bool Commit();
  // Removes the temporary; the target stays as it was.
  void Cancel();

  // Why the last failing step failed (English, with the system's reason).
  const std::string& Detail() const { return detail_; }

private:
  bool Fail(const std::string& detail);
  void CloseTemporary();

  std::string target_;
  std::string temp_;
  std::string detail_;
  // The temporary's file descriptor (POSIX) or handle (Windows); -1 when none.
  std::intptr_t file_ = -1;
  bool failed_ = false;
};
