#include "survey/Number.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace survey {

std::optional<double> ParseNumber(std::string_view field) {
  while (!field.empty() && static_cast<unsigned char>(field.front()) <= 32) field.remove_prefix(1);
  while (!field.empty() && static_cast<unsigned char>(field.back()) <= 32) field.remove_suffix(1);
  bool negative = false;
  if (!field.empty() && (field.front() == '-' || field.front() == '+')) {
    negative = field.front() == '-';
    field.remove_prefix(1);
  }
  // Leading zeros add nothing, and below 10^9 a field of 16 bytes holds at most 15 more
  // digits: the mantissa and the power of ten are exact doubles, so their quotient is
  // the correctly rounded value.
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = 0, significant = 0;
  bool point = false;
  for (const char c : field) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      ++digits;
      if (mantissa == 0 && c == '0') {
        decimals += point;
      } else if (++significant <= 19) {
        decimals += point;
        mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
      } else if (!point) {
        return std::nullopt;  // far above 10^9
      }  // else a digit past a double's precision
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  double value = 0;
  if (mantissa < (std::uint64_t{1} << 53) && decimals <= 22) {
    value = static_cast<double>(mantissa) / kPowers[decimals];
  } else {
    // Only texts longer than any SDR field come here; a long double serves them.
    value = static_cast<double>(static_cast<long double>(mantissa) / std::pow(10.0L, decimals));
  }
  if (value >= 1e9) return std::nullopt;
  return negative ? -value : value;
}

std::size_t FormatMillimetres(double value, char* out) {
  // Below 10^12, value * 1000 is off by at most half a unit in its last place, 2^-14:
  // only values within 10^-6 m of a half millimetre need printf's exact rounding.
  const double thousandths = value * 1000.0;
  const double below = std::floor(thousandths);
  const double fraction = thousandths - below;
  if (std::fabs(fraction - 0.5) < 1e-3 || std::fabs(thousandths) >= 1e12) {
    const int length = std::snprintf(out, kFormattedRoom, "%.3f", value);
    if (length == 6 && out[0] == '-' && out[1] == '0' && out[3] == '0' && out[4] == '0' && out[5] == '0') {
      return static_cast<std::size_t>(std::snprintf(out, kFormattedRoom, "0.000"));
    }
    return static_cast<std::size_t>(length);
  }
  std::int64_t whole = static_cast<std::int64_t>(fraction < 0.5 ? below : below + 1.0);
  char* p = out;
  if (whole < 0) {
    *p++ = '-';
    whole = -whole;
  }
  char digits[24];
  int count = 0;
  for (std::int64_t rest = whole; rest > 0 || count < 4; rest /= 10) digits[count++] = static_cast<char>('0' + rest % 10);
  while (count > 3) *p++ = digits[--count];
  *p++ = '.';
  while (count > 0) *p++ = digits[--count];
  return static_cast<std::size_t>(p - out);
}

}  // namespace survey
