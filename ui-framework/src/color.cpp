#include "skinui/color.h"

namespace SkinUI {
namespace {

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

}  // namespace

Color ParseColor(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] <= L' ') {
        ++i;
    }
    if (i < text.size() && text[i] == L'#') {
        ++i;
    }
    // The hexadecimal reader takes a "0x" prefix only when a digit follows it.
    if (i + 2 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X') &&
        HexDigit(text[i + 2]) >= 0) {
        i += 2;
    }
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        int digit = HexDigit(text[i]);
        if (digit < 0) {
            break;
        }
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) {
            value = 0xFFFFFFFFu + 1ull;  // keeps saturating without overflowing
        }
    }
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<Color>(value);
}

}  // namespace SkinUI
