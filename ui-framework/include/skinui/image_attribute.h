#pragma once
// The image attribute string of a layout ("res\a.png" or "file='a.png' corner='2,2,2,2' fade='200'")
// and the draw record a control keeps for each such attribute.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "skinui/color.h"
#include "skinui/geometry.h"

namespace SkinUI {

class Image;

// What an image attribute string says. Offsets, source and corners are kept as written.
struct ImageAttribute {
    std::wstring imageName;     // the whole string unless a file, res or color key names the image
    std::wstring resourceType;  // "restype", or "*COLOR*" for a color key
    bool useResourceType = false;
    Rect destOffset;  // relative to the control; all 0 = the whole control
    Rect source;      // in the image; all 0 = the whole image
    Rect corners;     // nine-grid border widths
    Color mask = 0;
    std::uint8_t fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
    bool hsl = false;
};

// Reads key='value' pairs separated by single spaces. Never fails: what cannot be read ends the
// list, and unknown keys are ignored.
ImageAttribute ParseImageAttribute(std::wstring_view text);

// One per image attribute of a control: parsed and looked up on first use. A failed look-up is
// remembered so that it is not repeated on every paint.
struct DrawRecord {
    DrawRecord() = default;
    explicit DrawRecord(std::wstring text) : attribute(std::move(text)) {}

    // Replaces the attribute string and forgets the previous parse and image.
    void Reset(std::wstring text);

    std::wstring attribute;
    bool loaded = false;
    ImageAttribute parsed;
    std::shared_ptr<const Image> image;  // shared with the cache, so removing it there is safe
};

}  // namespace SkinUI
