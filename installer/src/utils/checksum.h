#pragma once

#include <string>

namespace Utils {

// The MD5 of a file as 32 lower-case hex digits; empty when the path is empty or unreadable.
std::string FileMd5(const std::string& path);
// The path segment before the URL's last "/" (the expected MD5 of a final package address):
// "a/b/c" -> "b"; empty when there is none.
std::string UrlMd5(const std::string& url);

}  // namespace Utils
