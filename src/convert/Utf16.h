#pragma once

// Windows only: the program keeps text as UTF-8 and converts at the Win32 calls.
#include <string>
#include <string_view>

// Invalid sequences become U+FFFD; running out of memory throws.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
