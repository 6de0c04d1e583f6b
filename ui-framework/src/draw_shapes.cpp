// Colour fills, gradients, outlines and clips.
#include <algorithm>
#include <cstdlib>
#include <numbers>

#include "skinui/draw_kit.h"

namespace SkinUI {
namespace {

constexpr double kPi = std::numbers::pi;

void SetOpaqueSource(cairo_t* dc, Color color) {
    cairo_set_source_rgb(dc, RedOf(color) / 255.0, GreenOf(color) / 255.0, BlueOf(color) / 255.0);
}

void AddRect(cairo_t* dc, const Rect& r) {
    cairo_rectangle(dc, r.left, r.top, static_cast<double>(r.Width()), static_cast<double>(r.Height()));
}

// Dash patterns in multiples of the pen width; false for the null pen, which draws nothing.
bool SetPen(cairo_t* dc, int width, Color color, int style) {
    if (style == PS_NULL) {
        return false;
    }
    double w = width;
    cairo_set_line_width(dc, w);
    cairo_set_line_cap(dc, CAIRO_LINE_CAP_BUTT);
    SetOpaqueSource(dc, color);
    const double dash[] = {6 * w, 2 * w};
    const double dot[] = {w, w};
    const double dashDot[] = {6 * w, 2 * w, w, 2 * w};
    const double dashDotDot[] = {6 * w, 2 * w, w, 2 * w, w, 2 * w};
    switch (style) {
        case PS_DASH:
            cairo_set_dash(dc, dash, 2, 0);
            break;
        case PS_DOT:
            cairo_set_dash(dc, dot, 2, 0);
            break;
        case PS_DASHDOT:
            cairo_set_dash(dc, dashDot, 4, 0);
            break;
        case PS_DASHDOTDOT:
            cairo_set_dash(dc, dashDotDot, 6, 0);
            break;
        default:
            cairo_set_dash(dc, nullptr, 0, 0);
            break;
    }
    return true;
}

// The path of a rounded rectangle whose corner ellipses are `ew` x `eh`.
void AddRoundRect(cairo_t* dc, double left, double top, double right, double bottom, double ew, double eh) {
    double rx = std::min(ew / 2, (right - left) / 2);
    double ry = std::min(eh / 2, (bottom - top) / 2);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(dc, left, top, right - left, bottom - top);
        return;
    }
    cairo_new_sub_path(dc);
    cairo_save(dc);
    cairo_translate(dc, left + rx, top + ry);
    cairo_scale(dc, rx, ry);
    cairo_arc(dc, 0, 0, 1, kPi, 1.5 * kPi);
    cairo_restore(dc);
    cairo_save(dc);
    cairo_translate(dc, right - rx, top + ry);
    cairo_scale(dc, rx, ry);
    cairo_arc(dc, 0, 0, 1, 1.5 * kPi, 2 * kPi);
    cairo_restore(dc);
    cairo_save(dc);
    cairo_translate(dc, right - rx, bottom - ry);
    cairo_scale(dc, rx, ry);
    cairo_arc(dc, 0, 0, 1, 0, 0.5 * kPi);
    cairo_restore(dc);
    cairo_save(dc);
    cairo_translate(dc, left + rx, bottom - ry);
    cairo_scale(dc, rx, ry);
    cairo_arc(dc, 0, 0, 1, 0.5 * kPi, kPi);
    cairo_restore(dc);
    cairo_close_path(dc);
}

}  // namespace

namespace DrawKit {

void DrawColor(cairo_t* dc, const Rect& rect, Color color) {
    std::uint8_t alpha = AlphaOf(color);
    if (alpha == 0 || rect.IsEmpty()) {
        return;
    }
    cairo_save(dc);
    // A translucent colour is blended as the colour it names (premultiplied by cairo), so that
    // 0x80FFFFFF lightens by half instead of painting white.
    cairo_set_source_rgba(dc, RedOf(color) / 255.0, GreenOf(color) / 255.0, BlueOf(color) / 255.0,
                          alpha / 255.0);
    cairo_set_operator(dc, CAIRO_OPERATOR_OVER);
    AddRect(dc, rect);
    cairo_fill(dc);
    cairo_restore(dc);
}

void DrawGradient(cairo_t* dc, const Rect& rect, Color first, Color second, bool vertical, int /*steps*/) {
    int opacity = (AlphaOf(first) + AlphaOf(second)) / 2;
    if (opacity == 0 || rect.IsEmpty()) {
        return;
    }
    cairo_pattern_t* gradient = vertical ? cairo_pattern_create_linear(0, rect.top, 0, rect.bottom)
                                         : cairo_pattern_create_linear(rect.left, 0, rect.right, 0);
    cairo_pattern_add_color_stop_rgb(gradient, 0, RedOf(first) / 255.0, GreenOf(first) / 255.0,
                                     BlueOf(first) / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 1, RedOf(second) / 255.0, GreenOf(second) / 255.0,
                                     BlueOf(second) / 255.0);
    cairo_save(dc);
    cairo_set_source(dc, gradient);
    AddRect(dc, rect);
    if (opacity < 255) {
        cairo_clip(dc);
        cairo_paint_with_alpha(dc, opacity / 255.0);
    } else {
        cairo_fill(dc);
    }
    cairo_restore(dc);
    cairo_pattern_destroy(gradient);
}

void DrawLine(cairo_t* dc, const Rect& ends, int penWidth, Color color, int penStyle) {
    cairo_save(dc);
    if (SetPen(dc, std::max(penWidth, 1), color, penStyle)) {
        // An odd pen runs through pixel centres across the line, so that a one-pixel line covers
        // exactly one row (or column); along the line the ends stay on pixel edges.
        double offset = (std::max(penWidth, 1) % 2) ? 0.5 : 0.0;
        bool horizontal = std::abs(ends.right - ends.left) >= std::abs(ends.bottom - ends.top);
        double ox = horizontal ? 0.0 : offset, oy = horizontal ? offset : 0.0;
        double x1 = ends.left + ox, y1 = ends.top + oy;
        double x2 = ends.right + ox, y2 = ends.bottom + oy;
        cairo_move_to(dc, x1, y1);
        cairo_line_to(dc, x2, y2);
        cairo_stroke(dc);
    }
    cairo_restore(dc);
}

void DrawRect(cairo_t* dc, const Rect& rect, int penWidth, Color color, int penStyle) {
    DrawRoundRect(dc, rect, penWidth, 0, 0, color, penStyle);
}

void DrawRoundRect(cairo_t* dc, const Rect& rect, int penWidth, int ellipseWidth, int ellipseHeight,
                   Color color, int penStyle) {
    if (rect.IsEmpty()) {
        return;
    }
    int width = std::clamp(penWidth, 1, std::min(rect.Width(), rect.Height()));
    cairo_save(dc);
    if (SetPen(dc, width, color, penStyle)) {
        // The pen stays inside the frame: its path runs half a pen width within the rectangle.
        double half = width / 2.0;
        AddRoundRect(dc, rect.left + half, rect.top + half, rect.right - half, rect.bottom - half,
                     std::max(0, ellipseWidth - width), std::max(0, ellipseHeight - width));
        cairo_stroke(dc);
    }
    cairo_restore(dc);
}

}  // namespace DrawKit

RectClip::RectClip(cairo_t* dc, const Rect& paint, const Rect& /*item*/) : dc_(dc) {
    cairo_save(dc_);
    AddRect(dc_, paint);
    cairo_clip(dc_);
}

RectClip::~RectClip() {
    cairo_restore(dc_);
}

RoundRectClip::RoundRectClip(cairo_t* dc, const Rect& paint, const Rect& item, int ellipseWidth,
                             int ellipseHeight)
    : RectClip(dc, paint, item) {
    // Pixel edges, not pixels: this path covers the item up to and including its last row and column.
    AddRoundRect(dc_, item.left, item.top, item.right, item.bottom, ellipseWidth, ellipseHeight);
    cairo_clip(dc_);
}

}  // namespace SkinUI
