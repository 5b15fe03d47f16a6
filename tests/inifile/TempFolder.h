#pragma once
// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes, and helpers for raw file bytes. All paths
// are UTF-8, as the INI layer takes them.

#include <string>

class TTempFolder {
public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The path of a name inside the folder.
  std::string File(const std::string& name) const;
  // Names of the entries in the folder, sorted.
  std::string Listing() const;

private:
  std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
