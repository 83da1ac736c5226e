#include "cli/Folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "convert/File.h"
#include "startup/CommandLineFileList.h"
#include "ui/MessageSink.h"

#ifdef _WIN32
#include "convert/Wtf8.h"
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr const char* kSeparators = "/\\";
fs::path Native(const std::string& path) { return file::SystemPath(path); }
std::string Text(const fs::path& path) { return wtf8::FromUtf16(std::wstring_view(path.native())); }
#else
constexpr char kSeparator = '/';
constexpr const char* kSeparators = "/";
fs::path Native(const std::string& path) { return path; }
std::string Text(const fs::path& path) { return path.native(); }
#endif

// The extension test's rare message (a name too long to scan) only means: not taken.
class Quiet : public MessageSink {
 public:
  void ShowMessage(std::string_view) override {}
};

}  // namespace

namespace folders {

bool IsFolder(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && fs::is_directory(Native(path), ignored);
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && fs::exists(Native(path), ignored);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/' || folder.back() == kSeparator) return folder + name;
  return folder + kSeparator + name;
}

std::string Parent(const std::string& path) {
  const std::size_t last = path.find_last_of(kSeparators);
  return last == std::string::npos ? std::string() : path.substr(0, last == 0 ? 1 : last);
}

std::string Name(const std::string& path) {
  const std::size_t last = path.find_last_of(kSeparators);
  return last == std::string::npos ? path : path.substr(last + 1);
}

std::string SameFileKey(const std::string& path) {
  std::string key = Text(Native(path).lexically_normal());
#ifdef _WIN32
  // Windows takes a name in either letter case, and either separator.
  for (char& c : key) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c == '/' ? '\\' : c;
#endif
  return key;
}

bool Make(const std::string& folder, std::string& reason) {
  std::error_code error;
  fs::create_directories(Native(folder), error);
  if (error) reason = error.message();
  return !error;
}

std::optional<std::vector<std::string>> SdrFilesUnder(const std::string& folder, std::string& reason) {
  const fs::path root = Native(folder);
  std::error_code error;
  std::vector<std::string> found;
  Quiet quiet;
  for (fs::recursive_directory_iterator entry(root, fs::directory_options::skip_permission_denied, error), end;
       !error && entry != end; entry.increment(error)) {
    std::error_code ignored;
    if (!entry->is_regular_file(ignored)) continue;
    std::string relative = Text(entry->path().lexically_relative(root));
    if (IsSdrFileName(relative, quiet) == 1) found.push_back(std::move(relative));
  }
  if (error) {
    reason = error.message();
    return std::nullopt;
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace folders
