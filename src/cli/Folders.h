#pragma once

#include <optional>
#include <string>
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
// The same text for two paths of one file, as far as their spelling tells.
std::string SameFileKey(const std::string& path);
// Makes folder and the folders above it that are missing. On failure fills reason.
bool Make(const std::string& folder, std::string& reason);
// Whether name ends in .sdr, in any letter case, as the window takes names.
bool IsSdrName(const std::string& name);
// The .sdr files under folder (any letter case, at any depth), as paths relative to it,
// in byte order. Nothing, and reason filled, when the folder cannot be read.
std::optional<std::vector<std::string>> SdrFilesUnder(const std::string& folder, std::string& reason);

}  // namespace folders
