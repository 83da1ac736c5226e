#pragma once

#include <string>
#include <string_view>

// An 84-byte record from its six stretches, each padded with blanks to its width.
inline std::string SdrLine(std::string lead, std::string f1, std::string f2, std::string f3, std::string f4,
                           std::string trail = "") {
  std::string line;
  for (auto [text, width] : {std::pair{&lead, 4}, {&f1, 16}, {&f2, 16}, {&f3, 16}, {&f4, 16}, {&trail, 16}}) {
    text->resize(width, ' ');
    line += *text;
  }
  return line;
}

// The example record: "####", "A-7 B", "    1234.567", "          -89.01", "0.5", 16 tildes,
// and its CSV line under the initial options (semicolon, X and Y exchanged).
inline const std::string kRecord = SdrLine("####", "A-7 B", "    1234.567", "          -89.01", "0.5", std::string(16, '~'));
inline const std::string kCsv = "A-7B;-89.01;1234.567;0.5\r\n";

// A long job: numbered records, each followed by a note line, and their CSV lines under
// the initial options.
struct LongJob {
  std::string input;
  std::string csv;
};

inline LongJob MakeLongJob(int records) {
  LongJob job;
  for (int i = 0; i < records; ++i) {
    const std::string point = std::to_string(i);
    job.input += SdrLine("08TP", point, point + ".5", point + ".25", "1") + "\r\n03NM1.6\r\n";
    job.csv += point + ";" + point + ".25;" + point + ".5;1\r\n";
  }
  return job;
}

// True when written is nothing, or whole CSV lines that begin whole.
inline bool IsWholeLinesBeginning(std::string_view written, std::string_view whole) {
  return written.empty() || (written.ends_with("\r\n") && whole.starts_with(written));
}
