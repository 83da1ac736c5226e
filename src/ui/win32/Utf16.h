#pragma once

// The program keeps text as WTF-8 (plain UTF-8 for everything it shows) and converts
// it at the Win32 calls, so that names which are not valid UTF-16 survive the trip.
#include <string>
#include <string_view>

#include "convert/Wtf8.h"

inline std::wstring Widen(std::string_view text) { return wtf8::ToUtf16<wchar_t>(text); }
inline std::string Narrow(std::wstring_view text) { return wtf8::FromUtf16(text); }
