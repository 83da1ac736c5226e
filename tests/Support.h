#pragma once

// What the tests share: a temporary folder and its files, SDR records, and the power
// over permission bits that root must drop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#ifdef __linux__
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

// A UTF-8 path as the system takes it: on Windows, when it is absolute, in the \\?\ form,
// which reaches past the usual 260 characters.
inline std::filesystem::path FsPath(const std::string& utf8) {
  std::filesystem::path path = std::u8string(utf8.begin(), utf8.end());
#ifdef _WIN32
  if (path.is_absolute() && !path.native().starts_with(L"\\\\?\\")) path = L"\\\\?\\" + path.make_preferred().native();
#endif
  return path;
}

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
 public:
  TempFolder() { std::filesystem::create_directories(path_); }
  ~TempFolder() {
    std::error_code ignored;  // what a test made read-only goes too
    const std::filesystem::path whole = FsPath(*this / "");
    for (std::filesystem::recursive_directory_iterator entry(whole, ignored), end; !ignored && entry != end;
         entry.increment(ignored)) {
      std::filesystem::permissions(entry->path(), std::filesystem::perms::owner_all, ignored);
    }
    std::filesystem::remove_all(whole, ignored);
  }
  // The UTF-8 path of name inside the folder.
  std::string operator/(const std::string& name) const {
    const auto utf8 = (path_ / std::filesystem::path(std::u8string(name.begin(), name.end()))).u8string();
    return {utf8.begin(), utf8.end()};
  }

 private:
  std::filesystem::path path_ = std::filesystem::temp_directory_path() / ("varnel-" + std::to_string(std::random_device{}()));
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(FsPath(path), std::ios::binary) << bytes;
}
inline std::string ReadBytes(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(FsPath(path), std::ios::binary).rdbuf();
  return std::move(bytes).str();
}
inline bool Exists(const std::string& path) { return std::filesystem::exists(FsPath(path)); }
inline void MakeReadOnly(const std::string& path) {
  std::filesystem::permissions(FsPath(path), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
}

// Root writes through permission bits; without that power read-only files and folders
// behave as for a user. Under Wine the test runner has dropped it already.
inline void DropPowerOverPermissions() {
#ifdef __linux__
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  syscall(SYS_capget, &header, data);
  for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) data[cap / 32].effective &= ~(1u << (cap % 32));
  syscall(SYS_capset, &header, data);
#endif
}

// While it lives, the files this process writes may grow to so many bytes. Under Wine
// the test runner sets the limit instead (VARNEL_FILE_SIZE_LIMIT).
struct FileSizeLimit {
#ifdef _WIN32
  explicit FileSizeLimit(long long) {}
  bool active = std::getenv("VARNEL_FILE_SIZE_LIMIT") != nullptr;
#else
  explicit FileSizeLimit(rlim_t bytes) {
    const rlimit limit{bytes, saved.rlim_max};
    active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
  rlimit saved = [] { rlimit now{}; getrlimit(RLIMIT_FSIZE, &now); return now; }();
  bool active = false;
#endif
};

// A line from fields, each padded with blanks to its width; one of width 0 is left as it
// is, as an instrument that cuts trailing blanks leaves the last.
inline std::string Record(std::initializer_list<std::pair<std::string, int>> fields) {
  std::string line;
  for (auto [text, width] : fields) line += text.append(width > 0 ? width - std::min<int>(width, text.size()) : 0, ' ');
  return line;
}
// An 84-byte record from its fields.
inline std::string SdrLine(const std::string& lead, const std::string& f1, const std::string& f2, const std::string& f3,
                           const std::string& f4, const std::string& trail = "") {
  return Record({{lead, 4}, {f1, 16}, {f2, 16}, {f3, 16}, {f4, 16}, {trail, 16}});
}

// The example record, and its CSV line under the initial options (semicolon, X and Y exchanged).
inline const std::string kRecord = SdrLine("####", "A-7 B", "    1234.567", "          -89.01", "0.5", std::string(16, '~'));
inline const std::string kCsv = "A-7B;-89.01;1234.567;0.5\r\n";

// A long job: numbered records, each followed by a note line, and its CSV lines.
struct LongJob {
  std::string input, csv;
  explicit LongJob(int records) {
    for (int i = 0; i < records; ++i) {
      const std::string point = std::to_string(i);
      input += SdrLine("08TP", point, point + ".5", point + ".25", "1") + "\r\n03NM1.6\r\n";
      csv += point + ";" + point + ".25;" + point + ".5;1\r\n";
    }
  }
};

// True when written is nothing, or whole CSV lines that begin whole.
inline bool IsWholeLinesBeginning(std::string_view written, std::string_view whole) {
  return written.empty() || (written.ends_with("\r\n") && whole.starts_with(written));
}
