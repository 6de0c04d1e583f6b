#pragma once
// DrawKit: the stateless drawing operations controls call while painting into a cairo context on an
// ARGB32 image surface (premultiplied 0xAARRGGBB pixels). Colours are 0xAARRGGBB. Rectangles are in
// the context's device pixels; the context is expected to carry no transformation.

#include <cairo.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skinui/color.h"
#include "skinui/draw_flags.h"
#include "skinui/geometry.h"
#include "skinui/image.h"
#include "skinui/image_attribute.h"
#include "skinui/render_host.h"
#include "skinui/resource_store.h"

namespace SkinUI {

// A link met by DrawTaggedText: the rectangles it covers (one per line) and its text.
struct TextLink {
    std::vector<Rect> rects;
    std::wstring text;
};

namespace DrawKit {

// Loads an image: a 1x1 image of the colour named by `name` when `type` is "*COLOR*"; the embedded
// resource (`type`, decimal id `name`) when another type is given; otherwise the named skin item of
// `store`. When none of these has bytes, `name` is tried as a plain file path. A pixel equal to
// `mask` after premultiplication becomes transparent. Null when nothing decodes.
std::unique_ptr<Image> LoadImage(const ResourceStore& store, std::wstring_view name,
                                 std::wstring_view type = {}, Color mask = 0);
std::unique_ptr<Image> LoadImage(std::wstring_view name, std::wstring_view type = {}, Color mask = 0);

// Parses the record on first use and fetches its image through `host`, then draws it into `item`
// (or the part the destination offset names). False when nothing was drawn.
bool DrawImageAttribute(cairo_t* dc, IRenderHost& host, const Rect& item, const Rect& paint,
                        DrawRecord& record);

// Nine-grid drawing: corners unscaled, edges stretched along their edge, the centre stretched or
// tiled (skipped with `hole`), all with nearest-neighbour sampling, only where `paint` allows.
// With `alpha` or a fade below 255 the pieces are blended (per-pixel alpha times fade / 255),
// otherwise copied.
void DrawImage(cairo_t* dc, const Image& image, const Rect& dest, const Rect& paint, const Rect& source,
               const Rect& corners, bool alpha, std::uint8_t fade = 255, bool hole = false,
               bool xTiled = false, bool yTiled = false);

// Fills `rect`; alpha 0 draws nothing, other alphas blend.
void DrawColor(cairo_t* dc, const Rect& rect, Color color);
// Two-colour gradient, top to bottom when `vertical`, else left to right, blended with the mean of
// the two alphas. `steps` is kept for callers; the gradient is smooth.
void DrawGradient(cairo_t* dc, const Rect& rect, Color first, Color second, bool vertical, int steps);
// Outlines in the colour without its alpha; the pen stays inside the rectangle. A line goes from
// (left, top) to (right, bottom), its last point excluded.
void DrawLine(cairo_t* dc, const Rect& ends, int penWidth, Color color, int penStyle = PS_SOLID);
void DrawRect(cairo_t* dc, const Rect& rect, int penWidth, Color color, int penStyle = PS_SOLID);
void DrawRoundRect(cairo_t* dc, const Rect& rect, int penWidth, int ellipseWidth, int ellipseHeight,
                   Color color, int penStyle = PS_SOLID);

// Plain text in the host's font `font`, "%{n}" tokens replaced by language texts, '&' shown as is.
// With DT_CALCRECT nothing is drawn and `rect` becomes the text's extent from its top-left corner.
void DrawText(cairo_t* dc, IRenderHost& host, Rect& rect, std::wstring_view text, Color color, int font,
              unsigned format);
// Text with inline tags, written <x args>...</x> or {x args}...{/x}: a (link), b (bold), c #colour,
// f id | f face size [bold] [underline] [italic], i image, n (line break), p [spacing], r (raw),
// s (selected, accepted), u (underline), v top|center|bottom (inline images), x n (move right), y n
// (line height). Pango breaks the lines. Links met are appended to `links` when given.
void DrawTaggedText(cairo_t* dc, IRenderHost& host, Rect& rect, std::wstring_view text, Color color,
                    std::vector<TextLink>* links, int font, unsigned format);
// Extent of the text on one line after the "%{n}" replacement.
Size GetTextSize(cairo_t* dc, IRenderHost& host, std::wstring_view text, int font);

}  // namespace DrawKit

// Restricts drawing to the paint rectangle until the object ends, then restores the previous clip.
class RectClip {
public:
    RectClip(cairo_t* dc, const Rect& paint, const Rect& item);
    ~RectClip();
    RectClip(const RectClip&) = delete;
    RectClip& operator=(const RectClip&) = delete;

protected:
    cairo_t* dc_;
};

// As RectClip, further restricted to the item rectangle with rounded corners of the given ellipse.
class RoundRectClip : public RectClip {
public:
    RoundRectClip(cairo_t* dc, const Rect& paint, const Rect& item, int ellipseWidth, int ellipseHeight);
};

}  // namespace SkinUI
