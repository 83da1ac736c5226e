#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int16_t MaxFiles = 32000;

// A fixed list of MaxFiles names indexed from 1. Entries that were never stored
// read as empty, as in a list that starts out all empty.
class FileNameList {
 public:
  const std::string& operator[](int index) const {
    static const std::string kEmpty;
    return index >= 1 && index <= static_cast<int>(names_.size()) ? names_[index - 1] : kEmpty;
  }
  // Stores name in the first entry that was never stored. The reader stops at MaxFiles.
  void Append(std::string name) { names_.push_back(std::move(name)); }

 private:
  std::vector<std::string> names_;
};

// The form-level variables that the main window holds for the life of the process.
struct FormState {
  FileNameList FileList;
  int16_t FileCount = 0;    // entries 1..FileCount of FileList hold the accepted names
  int16_t CurrentFile = 0;  // the file being (or last) converted, 0 before the first tick
};
