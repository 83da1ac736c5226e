#pragma once

#include <string>

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
