#include <algorithm>
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

std::string SameFileKey(const std::string& path) { return fs::path(path).lexically_normal().native(); }

bool Make(const std::string& folder, std::string& reason) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) reason = error.message();
  return !error;
}

std::optional<std::vector<std::string>> SdrFilesUnder(const std::string& folder, std::string& reason) {
  const fs::path root = folder;
  std::error_code error;
  std::vector<std::string> found;
  for (fs::recursive_directory_iterator entry(root, fs::directory_options::skip_permission_denied, error), end;
       !error && entry != end; entry.increment(error)) {
    std::error_code ignored;
    if (!entry->is_regular_file(ignored)) continue;
    std::string relative = entry->path().lexically_relative(root).native();
    if (IsSdrName(relative)) found.push_back(std::move(relative));
  }
  if (error) {
    reason = error.message();
    return std::nullopt;
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace folders
