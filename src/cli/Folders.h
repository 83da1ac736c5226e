#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Folders and paths for varnel-cli, with names in WTF-8 on every system.
namespace folders {

bool IsFolder(const std::string& path);
bool Exists(const std::string& path);
// folder and name joined by the system's separator.
std::string Join(const std::string& folder, const std::string& name);
// The folder part of path, or "" when it has none; and the name after it.
std::string Parent(const std::string& path);
std::string Name(const std::string& path);
// The same text for two paths of one file, whatever their spelling: the file's identity
// when it exists (reached through links too), else its folder's identity and its name as
// the system compares names; the path's text only where its folder is still to be made.
std::string SameFileKey(const std::string& path);
// name as a message shows it, on one line and with nothing for a terminal to obey: a
// byte below 32 or of 127 as \xNN, and where names do not use it as their separator a
// backslash as \\. Bytes from 128 up stay, so that UTF-8 names stay readable.
std::string Printable(const std::string& name);
// Makes folder and the folders above it that are missing. On failure fills reason.
bool Make(const std::string& folder, std::string& reason);

// What a name is to varnel-cli: the window's test, which takes names ending in .sdr in
// any letter case, and rejects names too long for its scan.
enum class NameKind { Sdr, Other, TooLong };
NameKind KindOf(const std::string& name);

// The .sdr files under a folder, at any depth, as paths relative to it in byte order;
// and the folders under it that could not be read, with the system's reason.
struct SdrFiles {
  std::vector<std::string> files;
  std::vector<std::pair<std::string, std::string>> unreadable;
};
// Nothing, and reason filled, when the folder itself cannot be read.
std::optional<SdrFiles> SdrFilesUnder(const std::string& folder, std::string& reason);

// One entry of a folder, as the system lists it (Folders_posix.cpp, Folders_win.cpp).
struct Entry {
  std::string name;
  bool folder;  // a folder, not a link to one, which could lead back up
  bool file;    // a file, or a link to one
};
// The entries of folder, but . and ..; false, with the system's reason, when it cannot be read.
bool List(const std::string& folder, std::vector<Entry>& entries, std::string& reason);

}  // namespace folders
