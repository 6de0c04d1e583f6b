// DrawKit::DrawTaggedText: tags become pango attributes; pango breaks the lines.
#include "skinui/draw_kit.h"
#include "tagged_text.h"
#include "text_layout.h"

namespace SkinUI::DrawKit {
namespace {

// One rectangle per line the link's text touches, in device pixels.
std::vector<Rect> LinkRects(PangoLayout* layout, Point origin, int start, int end) {
    std::vector<Rect> rects;
    PangoLayoutIter* it = pango_layout_get_iter(layout);
    do {
        PangoLayoutLine* line = pango_layout_iter_get_line_readonly(it);
        int from = std::max(start, line->start_index);
        int to = std::min(end, line->start_index + line->length);
        if (from >= to) {
            continue;
        }
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(it, nullptr, &logical);
        int* ranges = nullptr;
        int count = 0;
        pango_layout_line_get_x_ranges(line, from, to, &ranges, &count);
        for (int k = 0; k < count; ++k) {
            rects.push_back(Rect{origin.x + PANGO_PIXELS(ranges[2 * k]), origin.y + PANGO_PIXELS(logical.y),
                                 origin.x + PANGO_PIXELS(ranges[2 * k + 1]),
                                 origin.y + PANGO_PIXELS(logical.y + logical.height)});
        }
        g_free(ranges);
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);
    return rects;
}

// Baseline of the line holding the byte `index`, in layout units.
int BaselineAt(PangoLayout* layout, int index) {
    PangoLayoutIter* it = pango_layout_get_iter(layout);
    int baseline = pango_layout_iter_get_baseline(it);
    do {
        PangoLayoutLine* line = pango_layout_iter_get_line_readonly(it);
        if (index >= line->start_index && index < line->start_index + std::max(line->length, 1)) {
            baseline = pango_layout_iter_get_baseline(it);
            break;
        }
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);
    return baseline;
}

}  // namespace

void DrawTaggedText(cairo_t* dc, IRenderHost& host, Rect& rect, std::wstring_view text, Color color,
                    std::vector<TextLink>* links, int font, unsigned format) {
    std::wstring expanded = text::ExpandLanguageTexts(host, text);
    text::LayoutPtr layout = text::NewLayout(dc);
    const Font& base = host.GetFont(font);
    pango_layout_set_font_description(layout.get(), base.description());
    text::TaggedText tagged =
        text::ParseTaggedText(expanded, host, base, pango_layout_get_context(layout.get()));
    pango_layout_set_text(layout.get(), tagged.utf8.data(), static_cast<int>(tagged.utf8.size()));
    pango_layout_set_attributes(layout.get(), tagged.attributes.get());
    text::ApplyFormat(layout.get(), rect, format);

    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
    Point origin = text::LayoutOrigin(layout.get(), rect, format);
    if (links) {
        for (const auto& link : tagged.links) {
            links->push_back({LinkRects(layout.get(), origin, link.start, link.end), link.text});
        }
    }
    if (format & DT_CALCRECT) {
        rect.right = rect.left + logical.width;
        rect.bottom = rect.top + logical.height;
        return;
    }
    cairo_save(dc);
    if (!(format & DT_NOCLIP)) {
        cairo_rectangle(dc, rect.left, rect.top, rect.Width(), rect.Height());
        cairo_clip(dc);
    }
    cairo_set_source_rgb(dc, RedOf(color) / 255.0, GreenOf(color) / 255.0, BlueOf(color) / 255.0);
    cairo_move_to(dc, origin.x, origin.y);
    pango_cairo_show_layout(dc, layout.get());
    cairo_restore(dc);

    Rect paint =
        (format & DT_NOCLIP) ? Rect{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2} : rect;
    for (const auto& inlineImage : tagged.images) {
        PangoRectangle at;
        pango_layout_index_to_pos(layout.get(), inlineImage.byteIndex, &at);
        const Image& image = *inlineImage.image;
        // Where its shape box told pango it would be, relative to the baseline.
        int top = PANGO_PIXELS(BaselineAt(layout.get(), inlineImage.byteIndex)) + inlineImage.top;
        Rect dest{origin.x + PANGO_PIXELS(at.x), origin.y + top, 0, 0};
        dest.right = dest.left + image.width();
        dest.bottom = dest.top + image.height();
        DrawImage(dc, image, dest, paint, {0, 0, image.width(), image.height()}, {}, image.alpha);
    }
}

}  // namespace SkinUI::DrawKit
