#pragma once
// Colours are 0xAARRGGBB. Layouts write them as hexadecimal digits, optionally after whitespace and
// one '#', and the digits may carry a "0x" prefix: "#FF303F56", "FF303F56" and "0xFF303F56" are equal.

#include <cstdint>
#include <string_view>

namespace SkinUI {

using Color = std::uint32_t;

// Reads a colour as described above. Six digits give alpha 0; a value too large for 32 bits
// saturates at 0xFFFFFFFF; text without digits is 0.
Color ParseColor(std::wstring_view text);

inline std::uint8_t AlphaOf(Color c) {
    return static_cast<std::uint8_t>(c >> 24);
}
inline std::uint8_t RedOf(Color c) {
    return static_cast<std::uint8_t>(c >> 16);
}
inline std::uint8_t GreenOf(Color c) {
    return static_cast<std::uint8_t>(c >> 8);
}
inline std::uint8_t BlueOf(Color c) {
    return static_cast<std::uint8_t>(c);
}

}  // namespace SkinUI
