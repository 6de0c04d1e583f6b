#pragma once
// Test fixtures for drawing: a cairo context on an ARGB32 surface with readable pixels, and PNG
// bytes made from straight 0xAARRGGBB pixels.

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "skinui/color.h"

namespace SkinUI::testing {

class Canvas {
public:
    Canvas(int width, int height, std::uint32_t fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The premultiplied pixel 0xAARRGGBB at (x, y).
    std::uint32_t Pixel(int x, int y) const;
    // Pixels in the rectangle that differ from `value`.
    int CountNot(std::uint32_t value, int left, int top, int right, int bottom) const;

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* dc_;
};

std::string EncodePng(int width, int height, const std::vector<Color>& straightPixels);

}  // namespace SkinUI::testing
