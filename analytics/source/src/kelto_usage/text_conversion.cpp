#include "kelto_usage/text_conversion.h"

#include "platform/system_info.h"
#include "platform/text_encoding.h"
#include "platform/utf.h"
#include "usage_collect/text_rules.h"

namespace kelto::usage {

std::string LocaleCharset(const std::string& localeName) {
    auto dot = localeName.find('.');
    if (dot == std::string::npos) {
        return "UTF-8";
    }
    std::string charset = localeName.substr(dot + 1);
    charset = charset.substr(0, charset.find('@'));
    return charset.empty() ? "UTF-8" : charset;
}

std::string ToUtf8Text(const std::string& text) {
    if (text.empty() || usage_collect::IsAcceptableUtf8(text)) {
        return text;
    }
    std::string charset = LocaleCharset(platform::UserLocaleName());
    std::string converted;
    if (charset != "UTF-8" && charset != "utf8" &&
        platform::ConvertCharset(text, charset.c_str(), "UTF-8", &converted)) {
        return converted;
    }
    return platform::Utf8FromWide(platform::WideFromUtf8(text));
}

}  // namespace kelto::usage
