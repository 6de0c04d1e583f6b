// Invalidation, painting into the backing store, composition of child windows, regions, opacity and
// per-pixel-alpha pictures; icon and font objects.
#include <cstring>

#include "core.h"
#include "platform/utf.h"

namespace display {
namespace detail {

void DisplayCore::Invalidate(Window* w, const RECT* rect) {
    RECT client{0, 0, w->Width(), w->Height()};
    RECT r = rect ? Intersect(*rect, client) : client;
    if (IsEmpty(r)) {
        return;
    }
    w->invalidRect = w->invalid ? Unite(w->invalidRect, r) : r;
    w->invalid = true;
}

bool DisplayCore::FindPaint(ThreadQueue* queue, MSG* msg) {
    for (auto& w : windows_) {
        if (w->invalid && w->alive.load() && w->queue.get() == queue && !w->layeredPicture &&
            EffectivelyVisible(w.get())) {
            *msg = MSG{};
            msg->hwnd = w->handle;
            msg->message = WM_PAINT;
            return true;
        }
    }
    return false;
}

void DisplayCore::EnsureSurface(Window* w) {
    int width = std::max(w->Width(), 1);
    int height = std::max(w->Height(), 1);
    if (w->surface && cairo_image_surface_get_width(w->surface) == width &&
        cairo_image_surface_get_height(w->surface) == height) {
        return;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (w->surface) {
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_surface(cr, w->surface, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(w->surface);
    }
    w->surface = surface;
}

namespace {

// Child windows are drawn over their parent's pixels, each with its own alpha (a translucent edit
// field shows the parent through it).
void DrawChildren(cairo_t* cr, Window* w, int dx, int dy) {
    for (HWND c : w->children) {
        Window* child = LiveWindow(c);
        if (!child || !child->Visible() || !child->surface) {
            continue;
        }
        cairo_surface_flush(child->surface);
        int x = dx + child->rect.left;
        int y = dy + child->rect.top;
        cairo_save(cr);
        cairo_rectangle(cr, x, y, child->Width(), child->Height());
        cairo_clip(cr);
        cairo_set_source_surface(cr, child->surface, x, y);
        cairo_paint(cr);
        cairo_restore(cr);
        DrawChildren(cr, child, x, y);
    }
}

bool HasVisibleChildren(const Window* w) {
    for (HWND c : w->children) {
        auto child = LookupWindow(c);
        if (child && child->Visible()) {
            return true;
        }
    }
    return false;
}

}  // namespace

void DisplayCore::Present(Window* w, const RECT& clientArea) {
    if (w->layeredPicture) {
        return;
    }
    if (w->IsChild()) {
        Window* parent = LiveWindow(w->parent);
        if (parent && w->Visible()) {
            Present(parent, {clientArea.left + w->rect.left, clientArea.top + w->rect.top,
                             clientArea.right + w->rect.left, clientArea.bottom + w->rect.top});
        }
        return;
    }
    EnsureSurface(w);
    RECT area = Intersect(clientArea, {0, 0, w->Width(), w->Height()});
    if (IsEmpty(area) || !w->native) {
        return;
    }
    cairo_surface_flush(w->surface);
    if (!HasVisibleChildren(w)) {
        backend_->Present(w->native, w->surface, area);
        return;
    }
    int width = cairo_image_surface_get_width(w->surface);
    int height = cairo_image_surface_get_height(w->surface);
    if (!w->composed || cairo_image_surface_get_width(w->composed) != width ||
        cairo_image_surface_get_height(w->composed) != height) {
        if (w->composed) {
            cairo_surface_destroy(w->composed);
        }
        w->composed = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        area = {0, 0, width, height};
    }
    cairo_t* cr = cairo_create(w->composed);
    cairo_rectangle(cr, area.left, area.top, area.right - area.left, area.bottom - area.top);
    cairo_clip(cr);
    cairo_set_source_surface(cr, w->surface, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    DrawChildren(cr, w, 0, 0);
    cairo_destroy(cr);
    cairo_surface_flush(w->composed);
    backend_->Present(w->native, w->composed, area);
}

void DisplayCore::ApplyShape(Window* w) {
    if (!w->IsChild() && w->native) {
        backend_->SetShape(w->native, w->region.get());
    }
}

}  // namespace detail

using detail::LiveWindow;

bool InvalidateRect(HWND hwnd, const RECT* rect, bool) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return false;
    }
    w->core->Invalidate(w, rect);
    return true;
}

bool ValidateRect(HWND hwnd, const RECT* rect) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return false;
    }
    // A partial validation keeps the bounding rectangle unless it covers it entirely.
    if (!rect || (rect->left <= w->invalidRect.left && rect->top <= w->invalidRect.top &&
                  rect->right >= w->invalidRect.right && rect->bottom >= w->invalidRect.bottom)) {
        w->invalid = false;
        w->invalidRect = {};
    }
    return true;
}

bool UpdateWindow(HWND hwnd) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return false;
    }
    if (w->invalid && !w->layeredPicture && w->core->EffectivelyVisible(w)) {
        SendMessage(hwnd, WM_PAINT, 0, 0);
    }
    return true;
}

bool GetUpdateRect(HWND hwnd, RECT* rect, bool) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return false;
    }
    if (rect) {
        *rect = w->invalid ? w->invalidRect : RECT{};
    }
    return w->invalid;
}

cairo_surface_t* BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !ps) {
        return nullptr;
    }
    w->core->EnsureSurface(w);
    ps->surface = w->surface;
    ps->rcPaint = w->invalid ? w->invalidRect : RECT{};
    ps->fErase = false;
    w->invalid = false;
    w->invalidRect = {};
    return w->surface;
}

bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !ps) {
        return false;
    }
    cairo_surface_mark_dirty(w->surface);
    if (!detail::IsEmpty(ps->rcPaint)) {
        w->core->Present(w, ps->rcPaint);
    }
    return true;
}

int SetWindowRgn(HWND hwnd, HRGN region, bool redraw) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return 0;
    }
    w->region = region ? std::make_unique<Region>(*region) : nullptr;
    w->core->ApplyShape(w);
    if (redraw) {
        w->core->Invalidate(w, nullptr);
    }
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !w->region || !region) {
        return ERROR_REGION;
    }
    *region = *w->region;
    return region->Empty() ? NULLREGION : SIMPLEREGION;
}

bool SetLayeredWindowAttributes(HWND hwnd, DWORD, BYTE alpha, DWORD flags) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED) || w->IsChild()) {
        return false;
    }
    if (flags & LWA_ALPHA) {
        w->opacity = alpha;
        if (w->native) {
            w->core->backend().SetOpacity(w->native, alpha);
        }
    }
    return true;
}

bool UpdateLayeredWindow(HWND hwnd, const POINT* position, const SIZE* size, cairo_surface_t* source,
                         const POINT* sourcePoint, BYTE constantAlpha) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED) || w->IsChild()) {
        return false;
    }
    w->layeredPicture = true;
    w->invalid = false;
    RECT r = w->rect;
    if (position) {
        r = {position->x, position->y, position->x + w->Width(), position->y + w->Height()};
    }
    if (size) {
        r.right = r.left + size->cx;
        r.bottom = r.top + size->cy;
    }
    w->core->ApplyRect(w, r, false);
    if (!LiveWindow(hwnd)) {
        return false;
    }
    if (source) {
        if (w->surface) {
            cairo_surface_destroy(w->surface);
        }
        w->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(w->Width(), 1),
                                                std::max(w->Height(), 1));
        cairo_t* cr = cairo_create(w->surface);
        POINT from = sourcePoint ? *sourcePoint : POINT{};
        cairo_set_source_surface(cr, source, -from.x, -from.y);
        cairo_paint_with_alpha(cr, constantAlpha / 255.0);
        cairo_destroy(cr);
        cairo_surface_flush(w->surface);
    }
    if (w->surface && w->native) {
        w->core->backend().PresentLayered(w->native, w->surface);
    }
    return true;
}

HICON CreateIconFromPng(std::span<const std::uint8_t> png) {
    struct Reader {
        std::span<const std::uint8_t> data;
        std::size_t offset = 0;
    } reader{png};
    auto read = [](void* closure, unsigned char* out, unsigned int length) -> cairo_status_t {
        auto* r = static_cast<Reader*>(closure);
        if (r->data.size() - r->offset < length) {
            return CAIRO_STATUS_READ_ERROR;
        }
        std::memcpy(out, r->data.data() + r->offset, length);
        r->offset += length;
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(read, &reader);
    if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(decoded);
        return nullptr;
    }
    int width = cairo_image_surface_get_width(decoded);
    int height = cairo_image_surface_get_height(decoded);
    cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(argb);
    cairo_set_source_surface(cr, decoded, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(decoded);
    cairo_surface_flush(argb);
    return new Icon{argb};
}

bool DestroyIcon(HICON icon) {
    if (!icon) {
        return false;
    }
    cairo_surface_destroy(icon->surface);
    delete icon;
    return true;
}

HFONT CreateFont(const wchar_t* face, int pixelHeight, bool bold, bool italic, bool underline) {
    auto* font = new Font;
    font->face = platform::Utf8FromWide(face ? face : L"");
    font->pixelHeight = pixelHeight > 0 ? pixelHeight : (pixelHeight < 0 ? -pixelHeight : 12);
    font->bold = bold;
    font->italic = italic;
    font->underline = underline;
    return font;
}

bool DeleteFont(HFONT font) {
    delete font;
    return font != nullptr;
}

}  // namespace display
