#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// Numbers as an SDR job writes them, and coordinates as Varnel writes them.
namespace survey {

// The value of a field when, without the bytes 0-32 at its two ends, it is an optional
// sign, digits and at most one decimal point (at least one digit), and its size is below
// 10^9; nothing for anything else (an inner blank, an exponent, a blank field). The
// value is the decimal text correctly rounded to the nearest double.
std::optional<double> ParseNumber(std::string_view field);

// Room that FormatMillimetres needs at the most.
inline constexpr std::size_t kFormattedRoom = 32;

// Writes value with three decimals, rounded as printf's "%.3f" rounds it, to out and
// returns the count of bytes written, and no more: "0.000", never "-0.000". value must be
// finite and below 10^15 in size; below 10^11 it takes at most 16 bytes.
std::size_t FormatMillimetres(double value, char* out);

}  // namespace survey
