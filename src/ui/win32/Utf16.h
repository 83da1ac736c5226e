#pragma once

// The program keeps text as UTF-8 and converts it at the Win32 calls.
#include <string>
#include <string_view>

// Invalid sequences become U+FFFD; running out of memory throws.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
