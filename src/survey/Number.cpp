#include "survey/Number.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "convert/FieldBytes.h"

namespace survey {

namespace {

// The field without the bytes 0-32 at its two ends.
std::string_view Trimmed(std::string_view field) {
  if (field.size() == field::kSpan) {  // an SDR33 field: its kept bytes found at once
    const unsigned kept = field::KeptMask(field.data());
    if (kept == 0) return {};
    const int first = std::countr_zero(kept), last = 31 - std::countl_zero(kept);
    return field.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first + 1));
  }
  while (!field.empty() && static_cast<unsigned char>(field.front()) <= 32) field.remove_prefix(1);
  while (!field.empty() && static_cast<unsigned char>(field.back()) <= 32) field.remove_suffix(1);
  return field;
}

// printf's own rounding, for the values where a shortcut could differ; "0.000", never "-0.000".
std::size_t PrintfMillimetres(double value, char* out) {
  char text[kFormattedRoom + 1];
  int length = std::snprintf(text, sizeof text, "%.3f", value);
  if (std::string_view(text, static_cast<std::size_t>(length)) == "-0.000") length = std::snprintf(text, sizeof text, "0.000");
  std::memcpy(out, text, static_cast<std::size_t>(length));
  return static_cast<std::size_t>(length);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view field) {
  field = Trimmed(field);
  bool negative = false;
  if (!field.empty() && (field.front() == '-' || field.front() == '+')) {
    negative = field.front() == '-';
    field.remove_prefix(1);
  }
  // Below 10^9 a field of 16 bytes holds at most 15 significant digits: the mantissa and
  // the power of ten are exact doubles, so their quotient is the correctly rounded value.
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  const char* p = field.data();
  const char* const end = p + field.size();
  if (field.size() <= 19) {  // no more digits than a 64-bit mantissa holds
    for (; p != end && *p >= '0' && *p <= '9'; ++p, ++digits) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    if (p != end && *p == '.') {
      for (++p; p != end && *p >= '0' && *p <= '9'; ++p, ++decimals) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    }
    digits += decimals;
  } else {
    // A longer text: digits past a double's precision are left out.
    int significant = 0;
    bool point = false;
    for (; p != end && ((*p >= '0' && *p <= '9') || (*p == '.' && !point)); ++p) {
      if (*p == '.') {
        point = true;
      } else if (++digits, mantissa == 0 && *p == '0') {
        decimals += point;
      } else if (++significant <= 19) {
        decimals += point;
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
      } else if (!point) {
        return std::nullopt;  // far above 10^9
      }
    }
  }
  if (p != end || digits == 0) return std::nullopt;
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  double value = 0;
  if (mantissa < (std::uint64_t{1} << 53) && decimals <= 22) {
    value = static_cast<double>(mantissa) / kPowers[decimals];
  } else {
    // Only texts longer than any SDR field come here.
#if __cpp_lib_to_chars >= 201611L
    std::from_chars(field.data(), field.data() + field.size(), value);
#else
    value = static_cast<double>(static_cast<long double>(mantissa) / std::pow(10.0L, decimals));
#endif
  }
  if (value >= 1e9) return std::nullopt;
  return negative ? -value : value;
}

std::size_t FormatMillimetres(double value, char* out) {
  // Below 10^12, value * 1000 is off by at most half a unit in its last place, 2^-14:
  // only values within 10^-6 m of a half millimetre need printf's exact rounding.
  const double thousandths = value * 1000.0;
  if (!(std::fabs(thousandths) < 1e12)) return PrintfMillimetres(value, out);
  const auto truncated = static_cast<std::int64_t>(thousandths);
  const double fraction = thousandths - static_cast<double>(truncated);  // exact, between -1 and 1
  if (std::fabs(std::fabs(fraction) - 0.5) < 1e-3) return PrintfMillimetres(value, out);
  std::int64_t whole = truncated + (fraction > 0.5) - (fraction < -0.5);
  char* p = out;
  if (whole < 0) {
    *p++ = '-';
    whole = -whole;
  }
  const auto metres = static_cast<std::uint64_t>(whole) / 1000;
  const auto millimetres = static_cast<unsigned>(static_cast<std::uint64_t>(whole) % 1000);
  p = std::to_chars(p, out + kFormattedRoom, metres).ptr;
  p[0] = '.';
  p[1] = static_cast<char>('0' + millimetres / 100);
  p[2] = static_cast<char>('0' + millimetres / 10 % 10);
  p[3] = static_cast<char>('0' + millimetres % 10);
  return static_cast<std::size_t>(p + 4 - out);
}

}  // namespace survey
