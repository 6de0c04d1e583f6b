#pragma once
// Conversions between character sets known to iconv (e.g. "GBK", "UTF-8", "WCHAR_T").

#include <string>
#include <string_view>

namespace platform {

// Converts the whole input; false (and `out` empty) when a character cannot be converted or the
// character set is unknown.
bool ConvertCharset(std::string_view input, const char* from, const char* to, std::string* out);

}  // namespace platform
