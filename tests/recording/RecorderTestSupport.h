#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "sensor/InstData.h"

namespace fs = std::filesystem;

// A fresh folder per test for recording files.
class RecorderFolder : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Named in Cyrillic: the paths must reach the file whatever the code page.
    dir = fs::temp_directory_path() /
          fs::u8path(std::string("quillora-rec-запись-") + info->test_suite_name() + "-" +
                     info->name() + "-" + std::to_string(std::random_device{}()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    path = (dir / "instrec.data").u8string();
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  std::vector<uint8_t> Bytes() const {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  void WriteBytes(const std::vector<uint8_t>& bytes) const {
    std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // The record stored at index i of the file.
  TInstData RecordInFile(int i) const {
    const std::vector<uint8_t> b = Bytes();
    TInstData r;
    std::memcpy(static_cast<void*>(&r), b.data() + 8 + 48 * i, 48);
    return r;
  }

  fs::path dir;
  std::string path;  // UTF-8, as the recorder takes it
};

// A record recognisable by its index.
inline TInstData Rec(int i, double time = 0.0) {
  TInstData r;
  r.Sensor = i;
  r.Level = i * 0.5;
  r.Inst = -i;
  r.Gain = 100.0;
  r.Time = time;
  r.Tag = -1;
  return r;
}
