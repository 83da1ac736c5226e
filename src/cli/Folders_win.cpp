// Folders through Windows' own calls: std::filesystem would more than double the size
// of the static program.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>

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

// Adds the .sdr files under folder, their paths relative to the walk's root prefixed by
// relative, and goes down into the folders. False, with the system's error, when a
// folder cannot be listed.
bool Walk(const std::string& folder, const std::string& relative, std::vector<std::string>& found, DWORD& error) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(file::SystemPath(folders::Join(folder, "*")).c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND;  // an empty folder
  }
  bool ok = true;
  do {
    const std::string name = wtf8::FromUtf16(std::wstring_view(entry.cFileName));
    if (name == "." || name == "..") continue;
    const std::string path = relative.empty() ? name : folders::Join(relative, name);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A link to a folder is not followed: it could lead back up.
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        ok = Walk(folders::Join(folder, name), path, found, error) && ok;
      }
    } else if (folders::IsSdrName(name)) {
      found.push_back(path);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return ok;
}

}  // namespace

namespace folders {

bool IsFolder(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

// Windows takes a name in either letter case, with either separator, . and .. in it.
std::string SameFileKey(const std::string& path) {
  const std::wstring wide = file::SystemPath(path);
  std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
  full.resize(GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  std::string key = wtf8::FromUtf16(std::wstring_view(full.empty() ? wide : full));
  for (char& c : key) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return key;
}

bool Make(const std::string& folder, std::string& reason) {
  if (folder.empty() || IsFolder(folder)) return true;
  const std::string parent = Parent(folder);
  if (parent != folder && !parent.empty() && !Make(parent, reason)) return false;
  if (CreateDirectoryW(file::SystemPath(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  reason = ErrorText(GetLastError());
  return false;
}

std::optional<std::vector<std::string>> SdrFilesUnder(const std::string& folder, std::string& reason) {
  std::vector<std::string> found;
  DWORD error = 0;
  if (!Walk(folder, "", found, error)) {
    reason = ErrorText(error);
    return std::nullopt;
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace folders
