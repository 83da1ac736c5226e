// Folders through Windows' own calls: std::filesystem would more than double the size
// of the static program.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "cli/Folders.h"
#include "convert/File.h"
#include "convert/Wtf8.h"

namespace {

DWORD AttributesOf(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(file::SystemPath(path).c_str());
}

std::string ErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length > 0 ? wtf8::FromUtf16(std::wstring_view(text, length)) : "error " + std::to_string(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) message.pop_back();
  return message;
}

// The volume and the number of the file or folder at path, which tell it from any other
// whatever the path; nothing when it cannot be opened.
std::optional<std::string> Identity(const std::wstring& path) {
  const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);  // a folder opens too
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION about;
  const bool known = GetFileInformationByHandle(handle, &about);
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return std::to_string(about.dwVolumeSerialNumber) + ":" + std::to_string(about.nFileIndexHigh) + ":" +
         std::to_string(about.nFileIndexLow);
}

}  // namespace

namespace folders {

bool IsFolder(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

// Windows takes a name in any letter case (folded as its own calls fold it), with either
// separator, and . and .. in it.
std::string SameFileKey(const std::string& path) {
  std::wstring full = file::FullPath(file::SystemPath(path));
  if (const std::optional<std::string> file = Identity(full)) return *file;
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  // The folder with its separator: a drive's root is C:\, where C: would be its current folder.
  const std::size_t name = full.find_last_of(L'\\') + 1;
  const std::optional<std::string> folder = Identity(full.substr(0, name));
  return (folder ? *folder + "\\" : std::string()) + wtf8::FromUtf16(std::wstring_view(full).substr(folder ? name : 0));
}

// The folders above are made only once the folder itself cannot be: a climb through every
// parent would reach names that are no folders, such as \\?\C: and \\?.
bool Make(const std::string& folder, std::string& reason) {
  if (folder.empty() || IsFolder(folder)) return true;
  DWORD error = 0;
  const auto make = [&] {
    error = CreateDirectoryW(file::SystemPath(folder).c_str(), nullptr) ? 0 : GetLastError();
    return error == 0 || error == ERROR_ALREADY_EXISTS;
  };
  if (make()) return true;
  const std::string parent = Parent(folder);
  if (error == ERROR_PATH_NOT_FOUND && !parent.empty() && parent != folder) {
    if (!Make(parent, reason)) return false;
    if (make()) return true;
  }
  reason = ErrorText(error);
  return false;
}

bool List(const std::string& folder, std::vector<Entry>& entries, std::string& reason) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(file::SystemPath(Join(folder, "*")).c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;  // not even . and ..: an empty drive
    reason = ErrorText(GetLastError());
    return false;
  }
  do {
    const std::string name = wtf8::FromUtf16(std::wstring_view(entry.cFileName));
    if (name == "." || name == "..") continue;
    const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entries.push_back({name, isFolder && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT), !isFolder});
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return true;
}

}  // namespace folders
