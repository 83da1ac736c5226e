#include "cli/Folders.h"

#include <algorithm>

#include "startup/CommandLineFileList.h"
#include "ui/MessageSink.h"

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr const char* kSeparators = "/\\";
#else
constexpr char kSeparator = '/';
constexpr const char* kSeparators = "/";
#endif

// The extension test's rare message: a name too long to scan.
class NotedTooLong : public MessageSink {
 public:
  void ShowMessage(std::string_view) override { tooLong = true; }
  bool tooLong = false;
};

// Adds the .sdr files under folder to found, their paths prefixed by relative.
void Walk(const std::string& folder, const std::string& relative, folders::SdrFiles& found) {
  std::vector<folders::Entry> entries;
  std::string reason;
  if (!folders::List(folder, entries, reason)) {
    found.unreadable.emplace_back(folder, reason);
    return;
  }
  for (const folders::Entry& entry : entries) {
    const std::string path = relative.empty() ? entry.name : folders::Join(relative, entry.name);
    if (entry.folder) {
      Walk(folders::Join(folder, entry.name), path, found);
    } else if (entry.file && folders::KindOf(entry.name) == folders::NameKind::Sdr) {
      found.files.push_back(path);
    }
  }
}

}  // namespace

namespace folders {

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

std::string Printable(const std::string& name) {
  std::string shown;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127) {
      constexpr char kHex[] = "0123456789abcdef";
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    } else {
      shown += c;
      if (c == '\\' && kSeparator != '\\') shown += c;
    }
  }
  return shown;
}

NameKind KindOf(const std::string& name) {
  NotedTooLong sink;
  const bool sdr = IsSdrFileName(name, sink) == 1;
  return sink.tooLong ? NameKind::TooLong : sdr ? NameKind::Sdr : NameKind::Other;
}

std::optional<SdrFiles> SdrFilesUnder(const std::string& folder, std::string& reason) {
  SdrFiles found;
  Walk(folder, "", found);
  if (!found.unreadable.empty() && found.unreadable.front().first == folder) {
    reason = found.unreadable.front().second;
    return std::nullopt;
  }
  std::sort(found.files.begin(), found.files.end());
  return found;
}

}  // namespace folders
