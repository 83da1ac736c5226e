#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "cli/Folders.h"

namespace fs = std::filesystem;

namespace folders {

bool IsFolder(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && fs::is_directory(path, ignored);
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && fs::exists(path, ignored);
}

std::string SameFileKey(const std::string& path) {
  struct stat status {};
  const auto identity = [&] { return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino); };
  if (::stat(path.c_str(), &status) == 0) return identity();
  const std::string folder = Parent(path);
  if (::stat(folder.empty() ? "." : folder.c_str(), &status) == 0) return identity() + "/" + Name(path);
  return fs::path(path).lexically_normal().native();
}

bool Make(const std::string& folder, std::string& reason) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) reason = error.message();
  return !error;
}

bool List(const std::string& folder, std::vector<Entry>& entries, std::string& reason) {
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    std::error_code ignored;
    entries.push_back({entry->path().filename().native(), entry->is_directory(ignored) && !entry->is_symlink(ignored),
                       entry->is_regular_file(ignored)});
  }
  if (error) reason = error.message();
  return !error;
}

}  // namespace folders
