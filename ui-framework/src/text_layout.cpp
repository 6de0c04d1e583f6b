#include "text_layout.h"

#include <platform/utf.h>

#include "skinui/draw_flags.h"

namespace SkinUI::text {
namespace {

// One context per thread: creating one per call costs more than laying out a label.
PangoContext* ThreadContext() {
    thread_local std::unique_ptr<PangoContext, GObjectUnref> context(
        pango_font_map_create_context(pango_cairo_font_map_get_default()));
    return context.get();
}

bool HasWidth(unsigned format) {
    return (format & DT_END_ELLIPSIS) || ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE));
}

}  // namespace

LayoutPtr NewLayout(cairo_t* dc) {
    PangoContext* context = ThreadContext();
    pango_cairo_update_context(dc, context);
    return LayoutPtr(pango_layout_new(context));
}

std::wstring ExpandLanguageTexts(const IRenderHost& host, std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] == L'{') {
            size_t j = i + 2;
            long long id = 0;
            while (j < text.size() && text[j] >= L'0' && text[j] <= L'9' && id <= 0x7FFFFFFF) {
                id = id * 10 + (text[j] - L'0');
                ++j;
            }
            if (j > i + 2 && j < text.size() && text[j] == L'}' && id <= 0x7FFFFFFF) {
                if (const std::wstring* replacement = host.GetLanguageText(static_cast<int>(id))) {
                    out += *replacement;
                    i = j + 1;
                    continue;
                }
            }
        }
        out += text[i];
        ++i;
    }
    return out;
}

void SetFont(PangoLayout* layout, const Font& font) {
    pango_layout_set_font_description(layout, font.description());
    if (font.underline()) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
}

void ApplyFormat(PangoLayout* layout, const Rect& rect, unsigned format) {
    if (HasWidth(format)) {
        pango_layout_set_width(layout, std::max(rect.Width(), 0) * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
            if (format & DT_END_ELLIPSIS) {
                // The last line that fits the height ends in the ellipsis.
                pango_layout_set_height(layout, std::max(rect.Height(), 1) * PANGO_SCALE);
            }
        } else {
            pango_layout_set_height(layout, -1);  // each line on its own line, never wrapped
        }
        if (format & DT_END_ELLIPSIS) {
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        }
    }
    PangoAlignment alignment = (format & DT_CENTER)  ? PANGO_ALIGN_CENTER
                               : (format & DT_RIGHT) ? PANGO_ALIGN_RIGHT
                                                     : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(layout, alignment);
}

LayoutPtr PlainTextLayout(cairo_t* dc, const Font& font, std::wstring_view text, const Rect& rect,
                          unsigned format) {
    LayoutPtr layout = NewLayout(dc);
    SetFont(layout.get(), font);
    std::wstring shown(text);
    if (format & DT_SINGLELINE) {
        // One line: line breaks do not break it.
        std::erase(shown, L'\r');
        for (wchar_t& c : shown) {
            if (c == L'\n') {
                c = L' ';
            }
        }
    }
    std::string utf8 = platform::Utf8FromWide(shown);
    pango_layout_set_text(layout.get(), utf8.data(), static_cast<int>(utf8.size()));
    ApplyFormat(layout.get(), rect, format);
    return layout;
}

Point LayoutOrigin(PangoLayout* layout, const Rect& rect, unsigned format) {
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    Point origin{rect.left, rect.top};
    if (pango_layout_get_width(layout) < 0) {
        // No width: pango aligned the lines among themselves; place the block in the rectangle.
        if (format & DT_CENTER) {
            origin.x = rect.left + (rect.Width() - logical.width) / 2;
        } else if (format & DT_RIGHT) {
            origin.x = rect.right - logical.width;
        }
        origin.x -= logical.x;
    }
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            origin.y = rect.top + (rect.Height() - logical.height) / 2;
        } else if (format & DT_BOTTOM) {
            origin.y = rect.bottom - logical.height;
        }
    }
    return origin;
}

}  // namespace SkinUI::text
