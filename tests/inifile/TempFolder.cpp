#include "TempFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#ifndef _WIN32
#include <cstdlib>
#endif

namespace fs = std::filesystem;

// The folder's name is Cyrillic, so that every test shows that its paths
// reach the files whatever the system's code page.
TTempFolder::TTempFolder() {
#ifdef _WIN32
  static unsigned counter = 0;
  for (;;) {
    const fs::path p =
        fs::temp_directory_path() /
        fs::u8path("quillora-ini-папка-" + std::to_string(std::rand()) + std::to_string(++counter));
    if (fs::create_directory(p)) {
      path_ = p.u8string();
      break;
    }
  }
#else
  std::string tmpl =
      (fs::temp_directory_path() / fs::u8path("quillora-ini-папка-XXXXXX")).u8string();
  if (!mkdtemp(&tmpl[0])) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
#endif
}

TTempFolder::~TTempFolder() {
  std::error_code ec;
  fs::remove_all(fs::u8path(path_), ec);
}

std::string TTempFolder::File(const std::string& name) const {
  return (fs::u8path(path_) / fs::u8path(name)).u8string();
}

std::string TTempFolder::Listing() const {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(fs::u8path(path_)))
    names.push_back(e.path().filename().u8string());
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
  return out;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(fs::u8path(path), std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream f(fs::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::u8path(path), ec);
}
