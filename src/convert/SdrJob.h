#pragma once

#include <optional>
#include <string_view>

// The two generations of the SDR format. The window reads neither: it takes every line
// of 84 characters. They matter to readers that take a job's points record by record.
enum class SdrLayout { Sdr33, Sdr2x };

// The layout that a header record (type 00) names in columns 5-20, such as
// "SDR20 V03-05" (Sdr2x) or "SDR33 V04-04.02"; nothing for any other line.
inline std::optional<SdrLayout> HeaderLayout(std::string_view line) {
  if (!line.starts_with("00") || line.size() < 8) return std::nullopt;
  return line.substr(4, 4) == "SDR2" ? SdrLayout::Sdr2x : SdrLayout::Sdr33;
}
