#include "convert/OutputNaming.h"

#include <stdexcept>

#include "startup/NameLength.h"
#include "ui/MessageSink.h"
#include "ui/Messages.h"

std::string MakeCsvFileName(const std::string& inputPath, MessageSink& messages) {
  try {
    if (!FitsNameScan(inputPath)) throw std::length_error("path too long for the name scan");
    const auto lastDot = inputPath.rfind('.');
    const bool baseIsEmpty = lastDot == std::string::npos || lastDot == 0;
    return (baseIsEmpty ? inputPath : inputPath.substr(0, lastDot)) + ".csv";
  } catch (const std::exception&) {
    messages.ShowMessage(msg::kRenamingFailure);
    return {};
  }
}
