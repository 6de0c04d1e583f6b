#pragma once
// The objects behind icon and font handles.

#include <cairo.h>

#include <string>

namespace display {

struct Icon {
    cairo_surface_t* surface = nullptr;  // ARGB32, premultiplied
};

struct Font {
    std::string face;  // UTF-8 family name
    int pixelHeight = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

}  // namespace display
