#pragma once
// A decoded image: premultiplied 32-bit pixels 0xAARRGGBB (bytes blue, green, red, alpha in memory)
// in a cairo image surface, which is what DrawKit paints from.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skinui/color.h"

namespace SkinUI {

class Image {
public:
    // A transparent image; null when the size is not positive or too large for a surface.
    static std::unique_ptr<Image> Create(int width, int height);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_surface_t* surface() const { return surface_; }

    // Row `y` of the pixels. Call MarkDirty after writing through it.
    std::uint32_t* Row(int y);
    const std::uint32_t* Row(int y) const;
    std::uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
    void MarkDirty() { cairo_surface_mark_dirty(surface_); }

    bool alpha = false;                    // some pixel is not opaque or was masked out
    bool useHsl = false;                   // takes part in the window-wide colour adjustment
    std::vector<std::uint32_t> savedBits;  // the original pixels, kept when useHsl is set
    std::wstring resourceType;             // empty for files and archive items
    Color mask = 0;

private:
    Image(cairo_surface_t* surface, int width, int height);

    cairo_surface_t* surface_;
    int width_;
    int height_;
};

// The image pixel for straight RGBA: opaque pixels are copied, others premultiplied with integer
// division by 255.
std::uint32_t PremultipliedPixel(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

}  // namespace SkinUI
