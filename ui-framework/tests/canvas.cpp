#include "canvas.h"

#include <stb_image_write.h>

namespace SkinUI::testing {

Canvas::Canvas(int width, int height, std::uint32_t fill)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      dc_(cairo_create(surface_)) {
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            row[x] = fill;
        }
    }
    cairo_surface_mark_dirty(surface_);
}

Canvas::~Canvas() {
    cairo_destroy(dc_);
    cairo_surface_destroy(surface_);
}

std::uint32_t Canvas::Pixel(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    return reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(surface_))[x];
}

int Canvas::CountNot(std::uint32_t value, int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += Pixel(x, y) != value;
        }
    }
    return count;
}

std::string EncodePng(int width, int height, const std::vector<Color>& straightPixels) {
    std::vector<unsigned char> rgba;
    for (Color c : straightPixels) {
        rgba.insert(rgba.end(), {RedOf(c), GreenOf(c), BlueOf(c), AlphaOf(c)});
    }
    std::string out;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                       static_cast<size_t>(size));
        },
        &out, width, height, 4, rgba.data(), width * 4);
    return out;
}

}  // namespace SkinUI::testing
