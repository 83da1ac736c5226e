#pragma once

#include <string>
#include <string_view>

// Builds an 84-byte record from its six stretches, each padded with blanks to width.
inline std::string SdrLine(const std::string& lead, const std::string& f1, const std::string& f2,
                           const std::string& f3, const std::string& f4, const std::string& trail) {
  const auto pad = [](std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
  };
  return pad(lead, 4) + pad(f1, 16) + pad(f2, 16) + pad(f3, 16) + pad(f4, 16) + pad(trail, 16);
}

// The example record: "####", "A-7 B", "    1234.567", "          -89.01", "0.5", 16 tildes.
inline std::string ExampleSdrLine() {
  return SdrLine("####", "A-7 B", "    1234.567", "          -89.01", "0.5", std::string(16, '~'));
}

// A long job: numbered records, each followed by a note line, and their CSV lines under
// the initial options (semicolon, X and Y exchanged).
struct LongJob {
  std::string input;
  std::string csv;
};

inline LongJob MakeLongJob(int records) {
  LongJob job;
  for (int i = 0; i < records; ++i) {
    const std::string point = std::to_string(i);
    job.input += SdrLine("08TP", point, point + ".5", point + ".25", "1", "") + "\r\n03NM1.6\r\n";
    job.csv += point + ";" + point + ".25;" + point + ".5;1\r\n";
  }
  return job;
}

// True when written is nothing, or whole CSV lines that begin whole.
inline bool IsWholeLinesBeginning(std::string_view written, std::string_view whole) {
  return written.empty() || (written.size() >= 2 && written.substr(written.size() - 2) == "\r\n" &&
                             whole.substr(0, written.size()) == written);
}
