#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <random>
#include <string>

#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
 public:
  TempFolder() : path_(std::filesystem::temp_directory_path() / ("varnel-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The UTF-8 path of name inside the folder.
  std::string operator/(const std::string& name) const {
    const auto utf8 = (path_ / std::filesystem::path(std::u8string(name.begin(), name.end()))).u8string();
    return std::string(utf8.begin(), utf8.end());
  }

 private:
  std::filesystem::path path_;
};

inline std::filesystem::path FsPath(const std::string& utf8) { return std::u8string(utf8.begin(), utf8.end()); }
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(FsPath(path), std::ios::binary) << bytes;
}
inline std::string ReadBytes(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(FsPath(path), std::ios::binary).rdbuf();
  return std::move(bytes).str();
}
inline bool Exists(const std::string& path) { return std::filesystem::exists(FsPath(path)); }
// The size of the file at path; 0 when there is none.
inline std::uintmax_t FileSize(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(FsPath(path), error);
  return error ? 0 : size;
}
inline void MakeReadOnly(const std::string& path) {
  std::filesystem::permissions(FsPath(path), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
}

// Root writes through permission bits. Dropping that power lets read-only files and
// folders behave as for a user. Under Wine the test runner has dropped it already.
inline void DropPowerOverPermissions() {
#ifdef __linux__
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  syscall(SYS_capget, &header, data);
  for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) data[cap / 32].effective &= ~(1u << (cap % 32));
  syscall(SYS_capset, &header, data);
#endif
}
