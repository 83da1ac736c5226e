#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// WTF-8: UTF-8 that also carries unpaired UTF-16 surrogates, each as the three bytes
// UTF-8 would give its value. Windows names are any sequence of 16-bit units, so the
// program keeps them in WTF-8 and gives the system back exactly the units it took.
// Unit is any 16-bit code unit type: char16_t, or wchar_t on Windows.
namespace wtf8 {

template <typename Unit>
std::string FromUtf16(std::basic_string_view<Unit> utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    std::uint32_t c = static_cast<std::uint16_t>(utf16[i]);
    const std::uint32_t next = i + 1 < utf16.size() ? static_cast<std::uint16_t>(utf16[i + 1]) : 0;
    if (c >= 0xD800 && c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
      ++i;
    }
    const auto put = [&](std::uint32_t byte) { out += static_cast<char>(byte); };
    if (c < 0x80) {
      put(c);
    } else if (c < 0x800) {
      put(0xC0 | c >> 6), put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      put(0xE0 | c >> 12), put(0x80 | (c >> 6 & 0x3F)), put(0x80 | (c & 0x3F));
    } else {
      put(0xF0 | c >> 18), put(0x80 | (c >> 12 & 0x3F)), put(0x80 | (c >> 6 & 0x3F)), put(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// A byte that begins no valid sequence becomes U+FFFD.
template <typename Unit = char16_t>
std::basic_string<Unit> ToUtf16(std::string_view text) {
  std::basic_string<Unit> out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = [&](std::size_t k) { return i + k < text.size() ? static_cast<std::uint8_t>(text[i + k]) : 0u; };
    const auto continues = [&](std::size_t k) { return (byte(k) & 0xC0) == 0x80; };
    const std::uint32_t lead = byte(0);
    std::uint32_t c = 0xFFFD;
    std::size_t length = 1;
    if (lead < 0x80) {
      c = lead;
    } else if (lead >= 0xC2 && lead < 0xE0 && continues(1)) {
      c = (lead & 0x1F) << 6 | (byte(1) & 0x3F), length = 2;
    } else if (lead >= 0xE0 && lead < 0xF0 && continues(1) && continues(2) && (lead > 0xE0 || byte(1) >= 0xA0)) {
      c = (lead & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F), length = 3;
    } else if (lead >= 0xF0 && lead < 0xF5 && continues(1) && continues(2) && continues(3) &&
               (lead > 0xF0 || byte(1) >= 0x90) && (lead < 0xF4 || byte(1) < 0x90)) {
      c = (lead & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F), length = 4;
    }
    if (c >= 0x10000) {
      out += static_cast<Unit>(0xD800 + ((c - 0x10000) >> 10));
      c = 0xDC00 + ((c - 0x10000) & 0x3FF);
    }
    out += static_cast<Unit>(c);
    i += length;
  }
  return out;
}

}  // namespace wtf8
