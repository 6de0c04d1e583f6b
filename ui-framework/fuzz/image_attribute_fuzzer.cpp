// libFuzzer target for the image attribute parser and the colour reader: any text must parse
// without reading outside it, and parsing must not depend on anything but the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "skinui/image_attribute.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bytes map to characters one to one; a 0xFF byte followed by two more makes one wide
    // character, so that non-ASCII text is reached too.
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += static_cast<wchar_t>(data[i + 1] << 8 | data[i + 2]);
            i += 2;
        } else {
            text += static_cast<wchar_t>(data[i]);
        }
    }
    SkinUI::ImageAttribute first = SkinUI::ParseImageAttribute(text);
    SkinUI::ImageAttribute second = SkinUI::ParseImageAttribute(text);
    if (first.imageName != second.imageName || first.fade != second.fade || first.mask != second.mask ||
        !(first.destOffset == second.destOffset) || !(first.corners == second.corners)) {
        std::abort();
    }
    // The name is the whole text unless a key named the image.
    if (first.imageName != text && text.find(L'\'') == std::wstring::npos) {
        std::abort();
    }
    SkinUI::ParseColor(text);
    return 0;
}
