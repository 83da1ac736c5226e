#include "cli/Folders.h"

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

// The extension test's rare message (a name too long to scan) only means: not taken.
class Quiet : public MessageSink {
 public:
  void ShowMessage(std::string_view) override {}
};

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

bool IsSdrName(const std::string& name) {
  Quiet quiet;
  return IsSdrFileName(name, quiet) == 1;
}

}  // namespace folders
