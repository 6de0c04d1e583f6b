#pragma once
// Text fields of records arrive as UTF-8 or in the system code page; the collector takes UTF-8.

#include <string>

namespace kelto::usage {

// Valid text passes unchanged; other text is read in the code page of the user's locale (the
// charset after the '.' of the locale name, UTF-8 when none) and converted; bytes that still
// cannot be read become U+FFFD.
std::string ToUtf8Text(const std::string& text);

// The charset of the user's locale name: "zh_CN.GBK" -> "GBK", "en_US" -> "UTF-8".
std::string LocaleCharset(const std::string& localeName);

}  // namespace kelto::usage
