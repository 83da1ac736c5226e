#pragma once

#include <cstddef>
#include <string_view>

// Name scans keep their position in a signed 16-bit number, so they take names of
// at most this many characters and reject longer ones rather than misread them.
inline constexpr std::size_t kMaxNameCharacters = 32767;

// The number of characters of a UTF-8 name: every byte that does not continue a sequence.
inline std::size_t CharacterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

inline bool FitsNameScan(std::string_view name) {
  // A name that has fewer bytes than the limit cannot have more characters.
  return name.size() <= kMaxNameCharacters || CharacterCount(name) <= kMaxNameCharacters;
}
