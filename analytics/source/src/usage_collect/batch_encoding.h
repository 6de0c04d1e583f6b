#pragma once
// The request body of one send: gzip, then Base64, then URL encoding of the batch text.

#include <string>
#include <string_view>

namespace usage_collect {

// gzip wrapper, level 9. False with the error text in `error` when zlib fails.
bool GzipCompress(std::string_view text, std::string* compressed, std::string* error);
// Standard alphabet with '+' and '/', '=' padding, no line breaks.
std::string Base64Encode(std::string_view bytes);
// Letters, digits and "-._~" stay; every other byte becomes %XX with upper-case hex digits.
std::string UrlEncode(std::string_view text);
// "data_list=" + URL-encoded Base64 of the gzip-compressed batch + "&gzip=1".
bool BuildRequestBody(std::string_view batch, std::string* body, std::string* error);

}  // namespace usage_collect
