#include "utils/text.h"

#include <cctype>
#include <cwctype>
#include <string>

#include "platform/text_encoding.h"
#include "platform/utf.h"

namespace Utils {
namespace {

bool IsUtf8CodePage(unsigned codePage) {
    return codePage == kCodePageAnsi || codePage == kCodePageUtf8;
}

std::string IconvName(unsigned codePage) {
    return "CP" + std::to_string(codePage);
}

}  // namespace

std::wstring ToWide(std::string_view narrow, unsigned codePage) {
    if (IsUtf8CodePage(codePage)) {
        return platform::WideFromUtf8(narrow);
    }
    std::string utf8;
    if (!platform::ConvertCharset(narrow, IconvName(codePage).c_str(), "UTF-8", &utf8)) {
        return {};
    }
    return platform::WideFromUtf8(utf8);
}

std::string ToNarrow(std::wstring_view wide, unsigned codePage) {
    std::string utf8 = platform::Utf8FromWide(wide);
    if (IsUtf8CodePage(codePage)) {
        return utf8;
    }
    std::string out;
    if (!platform::ConvertCharset(utf8, "UTF-8", IconvName(codePage).c_str(), &out)) {
        return {};
    }
    return out;
}

std::string Trim(std::string_view text) {
    auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

std::wstring Trim(std::wstring_view text) {
    auto space = [](wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return std::wstring(text);
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& what, const std::wstring& with) {
    if (what.empty()) {
        return text;
    }
    // Searching from the start after each replacement never ends when the replacement contains
    // the searched text; then continue after the replacement instead.
    bool restartFromBeginning = with.find(what) == std::wstring::npos;
    size_t from = 0;
    for (;;) {
        size_t pos = text.find(what, restartFromBeginning ? 0 : from);
        if (pos == std::wstring::npos) {
            return text;
        }
        text.replace(pos, what.size(), with);
        from = pos + with.size();
    }
}

std::wstring UrlEscape(const std::wstring& url) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (unsigned char byte : platform::Utf8FromWide(url)) {
        if (byte >= 0x21 && byte <= 0x7E) {
            escaped += static_cast<char>(byte);
        } else if (byte == ' ') {
            escaped += '+';
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        }
    }
    return platform::WideFromUtf8(escaped);
}

}  // namespace Utils
