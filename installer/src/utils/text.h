#pragma once
// Text conversions and string helpers.

#include <string>
#include <string_view>

namespace Utils {

inline constexpr unsigned kCodePageAnsi = 0;  // the "ANSI" code page: UTF-8 on Linux
inline constexpr unsigned kCodePageUtf8 = 65001;

// Whole-string conversion from/to the code page (0 and 65001 are UTF-8; others such as 936 through
// iconv as "CP<n>"). A failed conversion yields an empty string.
std::wstring ToWide(std::string_view narrow, unsigned codePage);
std::string ToNarrow(std::wstring_view wide, unsigned codePage);

// Removes leading and trailing characters for which isspace is true.
std::string Trim(std::string_view text);
std::wstring Trim(std::wstring_view text);
// Replaces every occurrence, searching again from the start after each replacement.
std::wstring ReplaceAll(std::wstring text, const std::wstring& what, const std::wstring& with);
// UTF-8 bytes 0x21..0x7E kept, a space becomes "+", every other byte "%XX" (upper-case hex).
std::wstring UrlEscape(const std::wstring& url);

}  // namespace Utils
