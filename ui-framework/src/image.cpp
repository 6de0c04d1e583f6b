#include "skinui/image.h"

namespace SkinUI {

// cairo refuses image surfaces wider or taller than this.
constexpr int kMaxSurfaceSide = 32767;

std::unique_ptr<Image> Image::Create(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
        return nullptr;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::unique_ptr<Image>(new Image(surface, width, height));
}

Image::Image(cairo_surface_t* surface, int width, int height)
    : surface_(surface), width_(width), height_(height) {}

Image::~Image() {
    cairo_surface_destroy(surface_);
}

std::uint32_t* Image::Row(int y) {
    unsigned char* data = cairo_image_surface_get_data(surface_);
    return reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) *
                                                       cairo_image_surface_get_stride(surface_));
}

const std::uint32_t* Image::Row(int y) const {
    return const_cast<Image*>(this)->Row(y);
}

std::uint32_t PremultipliedPixel(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    if (a != 255) {
        r = static_cast<std::uint8_t>(r * a / 255);
        g = static_cast<std::uint8_t>(g * a / 255);
        b = static_cast<std::uint8_t>(b * a / 255);
    }
    return std::uint32_t{a} << 24 | std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b;
}

}  // namespace SkinUI
