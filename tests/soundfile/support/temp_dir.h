#pragma once
// A fresh directory for one test's files, removed afterwards.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace kvtest {

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvcore-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  static std::vector<uint8_t> readAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void writeAll(const std::string& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  // Every entry of the folder with its bytes; other entries by their kind ("<link>", "<folder>",
  // "<other>" for a FIFO or a socket, which are never opened).
  std::map<std::string, std::vector<uint8_t>> folder() const {
    const auto mark = [](const char* text) { return std::vector<uint8_t>(text, text + std::strlen(text)); };
    std::map<std::string, std::vector<uint8_t>> entries;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (entry.is_symlink()) {
        entries[name] = mark("<link>");
      } else if (entry.is_directory()) {
        entries[name] = mark("<folder>");
      } else if (entry.is_regular_file()) {
        entries[name] = readAll(entry.path().string());
      } else {
        entries[name] = mark("<other>");
      }
    }
    return entries;
  }

 private:
  std::filesystem::path dir_;
};

}  // namespace kvtest
