// A small blocking message box for fatal start-up errors: the text, an OK button, closed by a click on
// the button, Return, Escape or the window manager.
#include <X11/Xatom.h>
#include <pango/pangocairo.h>

#include "platform/utf.h"
#include "x11_backend.h"

namespace display::detail {

void X11Backend::ShowMessageBox(const std::wstring& text, const std::wstring& caption) {
    constexpr int kWidth = 420, kHeight = 160;
    RECT work = WorkArea();
    NativeParams params;
    params.rect = {(work.left + work.right - kWidth) / 2, (work.top + work.bottom - kHeight) / 2, 0, 0};
    params.rect.right = params.rect.left + kWidth;
    params.rect.bottom = params.rect.top + kHeight;
    params.title = caption;
    NativeId id = CreateNative(params);
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    ::Window window = n->window;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("Sans 11");
    pango_layout_set_font_description(layout, font);
    pango_layout_set_width(layout, (kWidth - 40) * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    std::string utf8 = platform::Utf8FromWide(caption + L"\n\n" + text);
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_move_to(cr, 20, 16);
    pango_cairo_show_layout(cr, layout);
    const RECT button{kWidth - 110, kHeight - 46, kWidth - 20, kHeight - 16};
    cairo_set_source_rgb(cr, 0.06, 0.59, 0.97);
    cairo_rectangle(cr, button.left, button.top, button.right - button.left, button.bottom - button.top);
    cairo_fill(cr);
    pango_layout_set_width(layout, -1);
    pango_layout_set_text(layout, "OK", -1);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, button.left + 36, button.top + 6);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(cr);

    ShowNative(id, true, true);
    FocusWhenMapped(id);
    bool done = false;
    while (!done) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.xany.window != window) {
            if (event.type == MapNotify || event.type == UnmapNotify || event.type == Expose ||
                event.type == SelectionRequest) {
                Dispatch(event);  // keep the other windows' state right
            }
            continue;
        }
        switch (event.type) {
            case MapNotify:
                natives_[id].mapped = true;
                if (pendingFocus_ == id) {
                    FocusWhenMapped(id);
                }
                break;
            case Expose:
                PutImage(natives_[id], surface, {0, 0, kWidth, kHeight}, 24);
                break;
            case ButtonRelease:
                done = event.xbutton.x >= button.left && event.xbutton.x < button.right &&
                       event.xbutton.y >= button.top && event.xbutton.y < button.bottom;
                break;
            case KeyPress: {
                KeySym sym = XLookupKeysym(&event.xkey, 0);
                done = sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape;
                break;
            }
            case ClientMessage:
                done = event.xclient.message_type == A("WM_PROTOCOLS");
                break;
            default:
                break;
        }
    }
    cairo_surface_destroy(surface);
    DestroyNative(id);
}

}  // namespace display::detail
