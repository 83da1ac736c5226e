#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() / ("varnel-test-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The UTF-8 path of name inside the folder.
  std::string operator/(const std::string& name) const {
    const auto full = path_ / std::filesystem::path(std::u8string(name.begin(), name.end()));
    const auto utf8 = full.u8string();
    return std::string(utf8.begin(), utf8.end());
  }

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline void WriteBytes(const std::string& utf8Path, const std::string& bytes) {
  std::ofstream out(FsPath(utf8Path), std::ios::binary);
  out << bytes;
}

inline std::string ReadBytes(const std::string& utf8Path) {
  std::ifstream in(FsPath(utf8Path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Exists(const std::string& utf8Path) { return std::filesystem::exists(FsPath(utf8Path)); }
