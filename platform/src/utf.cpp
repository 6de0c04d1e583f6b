#include "platform/utf.h"

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = kReplacement;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::wstring WideFromUtf8(std::string_view in) {
    std::wstring out;
    out.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        unsigned char lead = static_cast<unsigned char>(in[i]);
        size_t length;
        char32_t c;
        char32_t minimum;
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, c = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, c = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, c = lead & 0x07, minimum = 0x10000;
        } else {
            out += static_cast<wchar_t>(kReplacement);
            ++i;
            continue;
        }
        size_t j = 1;
        for (; j < length && i + j < in.size(); ++j) {
            unsigned char next = static_cast<unsigned char>(in[i + j]);
            if ((next & 0xC0) != 0x80) {
                break;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (j < length || c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += static_cast<wchar_t>(kReplacement);
            i += j;  // skip the malformed sequence up to the byte that broke it
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += length;
    }
    return out;
}

std::string Utf8FromWide(std::wstring_view in) {
    std::string out;
    out.reserve(in.size());
    for (wchar_t w : in) {
        AppendUtf8(out, static_cast<char32_t>(w));
    }
    return out;
}

}  // namespace platform
