#include "skinui/image_attribute.h"

#include <climits>

namespace SkinUI {
namespace {

bool IsBlank(wchar_t c) {
    return c <= L' ';
}

// Reads a decimal integer the way strtol does (leading white space, a sign, digits) and moves `pos`
// past it; without digits the value is 0 and `pos` stays. Large values saturate at the int range.
int ReadInteger(std::wstring_view s, size_t& pos) {
    size_t i = pos;
    while (i < s.size() && (s[i] == L' ' || (s[i] >= L'\t' && s[i] <= L'\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) {
        negative = s[i] == L'-';
        ++i;
    }
    size_t digitsStart = i;
    long long value = 0;
    for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i) {
        if (value <= INT_MAX) {
            value = value * 10 + (s[i] - L'0');
        }
    }
    if (i == digitsStart) {
        return 0;
    }
    pos = i;
    if (negative) {
        value = -value;
    }
    return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

// "l,t,r,b": four integers, each followed by one separator character. A short value leaves the
// missing numbers 0 instead of reading past its end.
Rect ReadFourIntegers(std::wstring_view s) {
    int values[4] = {0, 0, 0, 0};
    size_t pos = 0;
    for (int k = 0; k < 4; ++k) {
        values[k] = ReadInteger(s, pos);
        if (pos < s.size()) {
            ++pos;
        }
    }
    return Rect{values[0], values[1], values[2], values[3]};
}

std::uint8_t ReadFade(std::wstring_view s) {
    size_t pos = 0;
    int value = ReadInteger(s, pos);
    return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

void Apply(ImageAttribute& a, std::wstring_view key, std::wstring_view value) {
    if (key == L"file") {
        a.imageName = value;
    } else if (key == L"res") {
        a.imageName = value;
        a.useResourceType = true;
    } else if (key == L"restype") {
        a.resourceType = value;
    } else if (key == L"color") {
        a.resourceType = L"*COLOR*";
        a.imageName = value;
        a.useResourceType = true;
    } else if (key == L"dest") {
        a.destOffset = ReadFourIntegers(value);
    } else if (key == L"source") {
        a.source = ReadFourIntegers(value);
    } else if (key == L"corner" || key == L"scale9") {
        a.corners = ReadFourIntegers(value);
    } else if (key == L"mask") {
        a.mask = ParseColor(value);
    } else if (key == L"fade") {
        a.fade = ReadFade(value);
    } else if (key == L"hole") {
        a.hole = value == L"true";
    } else if (key == L"xtiled") {
        a.xTiled = value == L"true";
    } else if (key == L"ytiled") {
        a.yTiled = value == L"true";
    } else if (key == L"hsl") {
        a.hsl = value == L"true";
    }
}

}  // namespace

ImageAttribute ParseImageAttribute(std::wstring_view s) {
    ImageAttribute a;
    a.imageName = s;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && IsBlank(s[i])) {
            ++i;
        }
    };
    for (;;) {
        skipBlanks();
        size_t keyStart = i;
        while (i < s.size() && s[i] != L'=' && !IsBlank(s[i])) {
            ++i;
        }
        std::wstring_view key = s.substr(keyStart, i - keyStart);
        skipBlanks();
        if (i >= s.size() || s[i] != L'=') {
            break;
        }
        ++i;
        skipBlanks();
        if (i >= s.size() || s[i] != L'\'') {
            break;
        }
        ++i;
        size_t close = s.find(L'\'', i);
        if (close == std::wstring_view::npos) {
            break;
        }
        std::wstring_view value = s.substr(i, close - i);
        if (!value.empty()) {
            Apply(a, key, value);
        }
        i = close + 1;
        // Pairs are separated by one space; anything else ends the list.
        if (i >= s.size() || s[i] != L' ') {
            break;
        }
        ++i;
    }
    return a;
}

void DrawRecord::Reset(std::wstring text) {
    attribute = std::move(text);
    loaded = false;
    parsed = ImageAttribute{};
    image.reset();
}

}  // namespace SkinUI
