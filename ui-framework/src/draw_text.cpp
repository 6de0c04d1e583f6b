// Plain text and its measurement.
#include "skinui/draw_kit.h"
#include "text_layout.h"

namespace SkinUI::DrawKit {

void DrawText(cairo_t* dc, IRenderHost& host, Rect& rect, std::wstring_view text, Color color, int font,
              unsigned format) {
    std::wstring expanded = text::ExpandLanguageTexts(host, text);
    text::LayoutPtr layout =
        text::PlainTextLayout(dc, host.GetFont(font), expanded, rect, format | DT_NOPREFIX);
    if (format & DT_CALCRECT) {
        PangoRectangle logical;
        pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
        rect.right = rect.left + logical.width;
        rect.bottom = rect.top + logical.height;
        return;
    }
    Point origin = text::LayoutOrigin(layout.get(), rect, format);
    cairo_save(dc);
    if (!(format & DT_NOCLIP)) {
        cairo_rectangle(dc, rect.left, rect.top, rect.Width(), rect.Height());
        cairo_clip(dc);
    }
    cairo_set_source_rgb(dc, RedOf(color) / 255.0, GreenOf(color) / 255.0, BlueOf(color) / 255.0);
    cairo_move_to(dc, origin.x, origin.y);
    pango_cairo_show_layout(dc, layout.get());
    cairo_restore(dc);
}

Size GetTextSize(cairo_t* dc, IRenderHost& host, std::wstring_view text, int font) {
    std::wstring expanded = text::ExpandLanguageTexts(host, text);
    text::LayoutPtr layout = text::PlainTextLayout(dc, host.GetFont(font), expanded, Rect{}, DT_SINGLELINE);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
    return Size{logical.width, logical.height};
}

}  // namespace SkinUI::DrawKit
