#include "startup/CommandLineFileList.h"

#include <exception>

#include "startup/NameLength.h"
#include "ui/MainWindow.h"
#include "ui/Messages.h"
#include "ui/ProcessServices.h"

uint8_t IsSdrFileName(const std::string& name, MessageSink& messages) {
  if (!FitsNameScan(name)) {
    messages.ShowMessage(msg::kNameTestFailure);
    return 0;
  }
  const auto lastDot = name.rfind('.');
  if (lastDot == std::string::npos) return 0;
  const std::string_view extension = std::string_view(name).substr(lastDot + 1);
  if (extension.size() != 3) return 0;
  // Only A to Z fold: bytes of other letters never match.
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return lower(extension[0]) == 's' && lower(extension[1]) == 'd' && lower(extension[2]) == 'r';
}

namespace {

enum class ScanState : uint8_t { BetweenNames = 0, InQuotedName = 1, InPlainName = 2, AfterQuote = 3 };

constexpr char kBlank = ' ';
constexpr char kQuote = '"';

bool ContinuesCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

class NameCollector {
 public:
  NameCollector(FormState& state, MainWindow& window) : state_(state), window_(window) {}

  void Append(char c) { name_ += c; }
  bool HasName() const { return !name_.empty(); }

  void Take(const std::string& name) {
    name_ = name;
    Finish();
  }

  // Every finished name counts against the limit, even an empty one.
  void Finish() {
    if (state_.FileCount == MaxFiles) {
      window_.ShowMessage(msg::kTooManyFiles);
      window_.Unload(ExitStatus::EndedByMessage);
    }
    if (IsSdrFileName(name_, window_) == 1) {
      ++state_.FileCount;
      state_.FileList.Append(name_);
    }
    name_.clear();
  }

 private:
  FormState& state_;
  MainWindow& window_;
  std::string name_;
};

void ScanNames(std::string_view text, NameCollector& names) {
  auto state = ScanState::BetweenNames;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (state) {
      case ScanState::BetweenNames:
        if (c == kQuote) {
          state = ScanState::InQuotedName;
        } else if (c == kBlank) {
          names.Finish();
        } else {
          names.Append(c);
          state = ScanState::InPlainName;
        }
        break;
      case ScanState::InQuotedName:
        if (c == kQuote) {
          names.Finish();
          state = ScanState::AfterQuote;
        } else {
          names.Append(c);
        }
        break;
      case ScanState::InPlainName:
        if (c == kBlank) {
          names.Finish();
          state = ScanState::BetweenNames;
        } else {
          names.Append(c);
        }
        break;
      case ScanState::AfterQuote:
        // The whole character is dropped, however many bytes it takes.
        while (i + 1 < text.size() && ContinuesCharacter(text[i + 1])) ++i;
        state = ScanState::BetweenNames;
        break;
    }
  }
  if (names.HasName()) names.Finish();
}

}  // namespace

void ReadCommandLine(FormState& state, ProcessServices& process, MainWindow& window) {
  // Unload is left to throw what a test's fake throws; only real failures are caught.
  try {
    const CommandLine arguments = process.Arguments();
    NameCollector names(state, window);
    if (arguments.names) {
      for (const std::string& name : *arguments.names) names.Take(name);
    } else {
      if (arguments.text.empty()) {
        window.ShowMessage(msg::kDropFiles);
        window.Unload(ExitStatus::EndedByMessage);
      }
      ScanNames(arguments.text, names);
    }
  } catch (const std::exception&) {
    window.ShowMessage(msg::kCommandLineFailure);
    window.Unload(ExitStatus::EndedByMessage);
  }
  if (state.FileCount == 0) {
    window.ShowMessage(msg::kDropFiles);
    window.Unload(ExitStatus::EndedByMessage);
  }
}
