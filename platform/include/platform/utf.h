#pragma once
// UTF-8 <-> wide (UTF-32 wchar_t) conversions. Malformed UTF-8 becomes U+FFFD, as the Windows
// converter does without MB_ERR_INVALID_CHARS; unpaired surrogates in wide text also become U+FFFD.

#include <string>
#include <string_view>

namespace platform {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace platform
