// Nine-grid image drawing and the image attribute of a control.
#include <algorithm>
#include <cstdint>

#include "skinui/draw_kit.h"

namespace SkinUI::DrawKit {
namespace {

// Piece geometry is computed in 64 bits: offsets and corners come from layouts and may be huge.
struct Box {
    std::int64_t left, top, right, bottom;
    std::int64_t Width() const { return right - left; }
    std::int64_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
};

Box ToBox(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

Box Intersect(const Box& a, const Box& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The area drawing can reach: the paint rectangle within the context's current clip.
Box DrawableArea(cairo_t* dc, const Rect& paint) {
    double x1, y1, x2, y2;
    cairo_clip_extents(dc, &x1, &y1, &x2, &y2);
    Box clip{static_cast<std::int64_t>(x1), static_cast<std::int64_t>(y1),
             static_cast<std::int64_t>(x2 + 0.999), static_cast<std::int64_t>(y2 + 0.999)};
    return Intersect(ToBox(paint), clip);
}

struct PieceDrawer {
    cairo_t* dc;
    cairo_surface_t* surface;
    Box area;  // where drawing may happen
    bool blend;
    double opacity;

    // Maps `src` of the image onto `dst` (stretching with nearest-neighbour sampling) and draws
    // the part of `dst` inside the area.
    void Draw(const Box& dst, const Box& src) const {
        if (dst.IsEmpty() || src.IsEmpty()) {
            return;
        }
        Box visible = Intersect(dst, area);
        if (visible.IsEmpty()) {
            return;
        }
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
        cairo_matrix_t matrix;
        cairo_matrix_init_translate(&matrix, static_cast<double>(src.left), static_cast<double>(src.top));
        cairo_matrix_scale(&matrix, static_cast<double>(src.Width()) / static_cast<double>(dst.Width()),
                           static_cast<double>(src.Height()) / static_cast<double>(dst.Height()));
        cairo_matrix_translate(&matrix, -static_cast<double>(dst.left), -static_cast<double>(dst.top));
        cairo_pattern_set_matrix(pattern, &matrix);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_NONE);
        cairo_set_source(dc, pattern);
        cairo_rectangle(dc, static_cast<double>(visible.left), static_cast<double>(visible.top),
                        static_cast<double>(visible.Width()), static_cast<double>(visible.Height()));
        if (opacity < 1.0) {
            cairo_save(dc);
            cairo_clip(dc);
            cairo_paint_with_alpha(dc, opacity);
            cairo_restore(dc);
        } else {
            cairo_fill(dc);
        }
        cairo_pattern_destroy(pattern);
    }

    // The centre in tiles of the source's size along the tiled directions, the last tile cut.
    void DrawTiled(const Box& dst, const Box& src, bool xTiled, bool yTiled) const {
        if (dst.IsEmpty() || src.IsEmpty()) {
            return;
        }
        Box visible = Intersect(dst, area);
        if (visible.IsEmpty()) {
            return;
        }
        std::int64_t tileWidth = xTiled ? src.Width() : dst.Width();
        std::int64_t tileHeight = yTiled ? src.Height() : dst.Height();
        // Start at the first tile that reaches into the visible part.
        std::int64_t top = dst.top + (visible.top - dst.top) / tileHeight * tileHeight;
        std::int64_t left0 = dst.left + (visible.left - dst.left) / tileWidth * tileWidth;
        for (; top < visible.bottom; top += tileHeight) {
            std::int64_t bottom = std::min(top + tileHeight, dst.bottom);
            for (std::int64_t left = left0; left < visible.right; left += tileWidth) {
                std::int64_t right = std::min(left + tileWidth, dst.right);
                Box tileSrc{src.left, src.top, xTiled ? src.left + (right - left) : src.right,
                            yTiled ? src.top + (bottom - top) : src.bottom};
                Draw({left, top, right, bottom}, tileSrc);
            }
        }
    }
};

std::int64_t ClampToInt(std::int64_t v) {
    return std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX);
}

}  // namespace

void DrawImage(cairo_t* dc, const Image& image, const Rect& dest, const Rect& paint, const Rect& source,
               const Rect& corners, bool alpha, std::uint8_t fade, bool hole, bool xTiled, bool yTiled) {
    if (fade == 0) {
        return;  // fully faded out
    }
    bool blend = alpha || fade < 255;
    PieceDrawer drawer{dc, image.surface(), DrawableArea(dc, paint), blend, fade / 255.0};
    if (drawer.area.IsEmpty()) {
        return;
    }
    cairo_save(dc);
    // Without alpha and fade the pixels are copied; with them they are blended.
    cairo_set_operator(dc, blend ? CAIRO_OPERATOR_OVER : CAIRO_OPERATOR_SOURCE);

    Box d = ToBox(dest);
    Box s = ToBox(source);
    Box c = ToBox(corners);
    // Column and row edges of the three-by-three grid in the destination and in the source.
    std::int64_t dx[4] = {d.left, d.left + c.left, d.right - c.right, d.right};
    std::int64_t dy[4] = {d.top, d.top + c.top, d.bottom - c.bottom, d.bottom};
    std::int64_t sx[4] = {s.left, s.left + c.left, s.right - c.right, s.right};
    std::int64_t sy[4] = {s.top, s.top + c.top, s.bottom - c.bottom, s.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            Box dst{dx[col], dy[row], dx[col + 1], dy[row + 1]};
            Box src{sx[col], sy[row], sx[col + 1], sy[row + 1]};
            if (row == 1 && col == 1) {
                if (hole) {
                    continue;
                }
                if (xTiled || yTiled) {
                    drawer.DrawTiled(dst, src, xTiled, yTiled);
                    continue;
                }
            }
            drawer.Draw(dst, src);
        }
    }
    cairo_restore(dc);
}

bool DrawImageAttribute(cairo_t* dc, IRenderHost& host, const Rect& item, const Rect& paint,
                        DrawRecord& record) {
    ImageAttribute& a = record.parsed;
    if (!record.image) {
        if (record.loaded) {
            return false;
        }
        record.loaded = true;
        a = ParseImageAttribute(record.attribute);
        record.image = host.FindOrLoadImage(
            a.imageName, a.useResourceType ? std::wstring_view(a.resourceType) : L"", a.mask, a.hsl);
        if (!record.image) {
            return false;
        }
        if (a.source.IsZero()) {
            a.source = Rect{0, 0, record.image->width(), record.image->height()};
        }
    }
    Rect source = a.source;
    source.right = std::min(source.right, record.image->width());
    source.bottom = std::min(source.bottom, record.image->height());

    Rect dest = item;
    if (!a.destOffset.IsZero()) {
        const Rect& o = a.destOffset;
        dest.left = static_cast<int>(ClampToInt(std::int64_t{item.left} + o.left));
        dest.top = static_cast<int>(ClampToInt(std::int64_t{item.top} + o.top));
        dest.right = static_cast<int>(std::min<std::int64_t>(item.right, std::int64_t{item.left} + o.right));
        dest.bottom =
            static_cast<int>(std::min<std::int64_t>(item.bottom, std::int64_t{item.top} + o.bottom));
    }
    if (!Intersects(dest, item) || !Intersects(dest, paint)) {
        return false;
    }
    DrawImage(dc, *record.image, dest, paint, source, a.corners, record.image->alpha, a.fade, a.hole,
              a.xTiled, a.yTiled);
    return true;
}

}  // namespace SkinUI::DrawKit
