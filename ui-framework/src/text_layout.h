#pragma once
// Pango layouts for DrawKit's text operations. Internal to the framework; the tests use it to look
// at what was laid out (lines, unknown glyphs, faces).

#include <pango/pangocairo.h>

#include <memory>
#include <string>
#include <string_view>

#include "skinui/font_table.h"
#include "skinui/geometry.h"
#include "skinui/render_host.h"

namespace SkinUI::text {

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectUnref>;

// A layout on this thread's pango context, matched to the target of `dc`.
LayoutPtr NewLayout(cairo_t* dc);

// `text` with "%{n}" replaced by the host's language texts.
std::wstring ExpandLanguageTexts(const IRenderHost& host, std::wstring_view text);

// Applies the font (face, size, weight, style, underline) to the layout.
void SetFont(PangoLayout* layout, const Font& font);

// Sets wrapping, ellipsis and alignment of the layout for `rect` and the DT_ format flags.
void ApplyFormat(PangoLayout* layout, const Rect& rect, unsigned format);

// A layout of plain text for `rect` and the DT_ format flags.
LayoutPtr PlainTextLayout(cairo_t* dc, const Font& font, std::wstring_view text, const Rect& rect,
                          unsigned format);

// Where the layout's top-left corner goes inside `rect` for the alignment flags.
Point LayoutOrigin(PangoLayout* layout, const Rect& rect, unsigned format);

}  // namespace SkinUI::text
