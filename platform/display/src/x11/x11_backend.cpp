// Opening the X display, creating and filling top-level windows.
#include "x11_backend.h"

#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>
#include <poll.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../region.h"
#include "display/win_constants.h"
#include "platform/utf.h"

namespace display::detail {

namespace {

int IgnoreXErrors(::Display* display, XErrorEvent* error) {
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "display: X error ignored: %s (request %d)\n", text, error->request_code);
    return 0;
}

struct MotifHints {
    unsigned long flags, functions, decorations;
    long inputMode;
    unsigned long status;
};

}  // namespace

std::unique_ptr<Backend> CreateX11Backend(std::string* error) {
    // An input method needs a locale; keep the program's if it set one.
    if (std::string(std::setlocale(LC_CTYPE, nullptr)) == "C") {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    ::Display* display = XOpenDisplay(nullptr);
    if (!display) {
        if (error) {
            const char* name = std::getenv("DISPLAY");
            *error = std::string("cannot open the X display \"") + (name ? name : "") + "\"";
        }
        return nullptr;
    }
    return std::make_unique<X11Backend>(display);
}

X11Backend::X11Backend(::Display* display) : display_(display) {
    XSetErrorHandler(&IgnoreXErrors);
    screen_ = DefaultScreen(display_);
    root_ = RootWindow(display_, screen_);
    XVisualInfo info;
    if (XMatchVisualInfo(display_, screen_, 32, TrueColor, &info)) {
        argbVisual_ = info.visual;
        argbColormap_ = XCreateColormap(display_, root_, argbVisual_, AllocNone);
    }
    gc24_ = XCreateGC(display_, root_, 0, nullptr);
    if (XSupportsLocale()) {
        XSetLocaleModifiers("");
        im_ = XOpenIM(display_, nullptr, nullptr, nullptr);
    }
    selectionWindow_ = XCreateSimpleWindow(display_, root_, 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display_, selectionWindow_, PropertyChangeMask);
}

X11Backend::~X11Backend() {
    for (auto& [id, n] : natives_) {
        if (n.ic) {
            XDestroyIC(n.ic);
        }
        XDestroyWindow(display_, n.window);
    }
    for (auto& [id, c] : cursors_) {
        XFreeCursor(display_, c);
    }
    if (im_) {
        XCloseIM(im_);
    }
    XFreeGC(display_, gc24_);
    if (gc32_) {
        XFreeGC(display_, gc32_);
    }
    XDestroyWindow(display_, selectionWindow_);
    if (argbColormap_) {
        XFreeColormap(display_, argbColormap_);
    }
    XCloseDisplay(display_);
}

std::uint64_t X11Backend::NowMs() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

Atom X11Backend::A(const char* name) const {
    return XInternAtom(display_, name, False);
}

bool X11Backend::WindowManagerSupports(Atom atom) const {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display_, root_, A("_NET_SUPPORTED"), 0, 4096, False, XA_ATOM, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        auto* atoms = reinterpret_cast<Atom*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            found = found || atoms[i] == atom;
        }
        XFree(data);
    }
    // A supporting-WM check window proves the list is current, not left by a window manager that quit.
    std::string wmSelection = "WM_S" + std::to_string(screen_);
    return found && XGetSelectionOwner(display_, A(wmSelection.c_str())) != 0;
}

X11Native* X11Backend::Find(NativeId id) {
    auto it = natives_.find(id);
    return it == natives_.end() ? nullptr : &it->second;
}

NativeId X11Backend::IdOf(::Window window) const {
    for (const auto& [id, n] : natives_) {
        if (n.window == window) {
            return id;
        }
    }
    return 0;
}

NativeId X11Backend::CreateNative(const NativeParams& params) {
    X11Native n;
    n.rect = params.rect;
    n.layered = params.layered && argbVisual_;
    int width = std::max(params.rect.right - params.rect.left, 1);
    int height = std::max(params.rect.bottom - params.rect.top, 1);
    XSetWindowAttributes attributes{};
    unsigned long mask = CWEventMask | CWBackPixel | CWBorderPixel;
    attributes.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | FocusChangeMask;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    // Click-through, never-activated windows (the shadow) are placed by us, not by a window manager.
    if (params.transparent || params.noActivate) {
        attributes.override_redirect = True;
        mask |= CWOverrideRedirect;
    }
    if (n.layered) {
        attributes.colormap = argbColormap_;
        mask |= CWColormap;
        n.window =
            XCreateWindow(display_, root_, params.rect.left, params.rect.top, static_cast<unsigned>(width),
                          static_cast<unsigned>(height), 0, 32, InputOutput, argbVisual_, mask, &attributes);
        if (!gc32_) {
            gc32_ = XCreateGC(display_, n.window, 0, nullptr);
        }
    } else {
        n.window = XCreateWindow(display_, root_, params.rect.left, params.rect.top,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                 CopyFromParent, InputOutput, CopyFromParent, mask, &attributes);
    }
    MotifHints motif{2, 0, 0, 0, 0};  // decorations: none
    XChangeProperty(display_, n.window, A("_MOTIF_WM_HINTS"), A("_MOTIF_WM_HINTS"), 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&motif), 5);
    Atom deleteWindow = A("WM_DELETE_WINDOW");
    XSetWMProtocols(display_, n.window, &deleteWindow, 1);
    XSizeHints size{};
    size.flags = USPosition | PPosition;
    size.x = params.rect.left;
    size.y = params.rect.top;
    XSetWMNormalHints(display_, n.window, &size);
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = params.noActivate ? False : True;
    hints.initial_state = NormalState;
    XSetWMHints(display_, n.window, &hints);
    XClassHint classHint{const_cast<char*>("glintcap"), const_cast<char*>("Glintcap")};
    XSetClassHint(display_, n.window, &classHint);
    NativeId owner = params.owner;
    if (X11Native* o = Find(owner)) {
        XSetTransientForHint(display_, n.window, o->window);
    }
    if (params.transparent) {
        XShapeCombineRectangles(display_, n.window, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    }
    if (im_ && !params.noActivate) {
        n.ic = XCreateIC(im_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, n.window,
                         XNFocusWindow, n.window, nullptr);
    }
    NativeId id = nextId_++;
    natives_[id] = n;
    SetTitle(id, params.title);
    return id;
}

void X11Backend::DestroyNative(NativeId id) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    if (n->ic) {
        XDestroyIC(n->ic);
    }
    XDestroyWindow(display_, n->window);
    natives_.erase(id);
    for (NativeId* ref : {&pendingFocus_, &wmMoving_}) {
        if (*ref == id) {
            *ref = 0;
        }
    }
    XFlush(display_);
}

void X11Backend::ShowNative(NativeId id, bool show, bool activate) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    n->wantVisible = show;
    if (show && !n->minimized) {
        if (!activate) {
            long zero = 0;  // a user time of 0 asks window managers not to focus it
            XChangeProperty(display_, n->window, A("_NET_WM_USER_TIME"), XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&zero), 1);
        }
        XMapRaised(display_, n->window);
    } else if (!show) {
        XUnmapWindow(display_, n->window);
    }
    XFlush(display_);
}

void X11Backend::SetMinimized(NativeId id, bool minimized) {
    X11Native* n = Find(id);
    if (!n || n->minimized == minimized) {
        return;
    }
    n->minimized = minimized;
    std::string wmSelection = "WM_S" + std::to_string(screen_);
    bool managed = XGetSelectionOwner(display_, A(wmSelection.c_str())) != 0;
    if (minimized) {
        if (managed) {
            XIconifyWindow(display_, n->window, screen_);
        } else {
            XUnmapWindow(display_, n->window);  // nothing to iconify into
        }
    } else if (n->wantVisible) {
        XMapRaised(display_, n->window);
    }
    XFlush(display_);
}

void X11Backend::SetNativeRect(NativeId id, const RECT& r) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    n->rect = r;
    XMoveResizeWindow(display_, n->window, r.left, r.top,
                      static_cast<unsigned>(std::max(r.right - r.left, 1)),
                      static_cast<unsigned>(std::max(r.bottom - r.top, 1)));
    XFlush(display_);
}

void X11Backend::PutImage(X11Native& n, cairo_surface_t* surface, const RECT& area, int depth) {
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface);
    int height = cairo_image_surface_get_height(surface);
    Visual* visual = depth == 32 ? argbVisual_ : DefaultVisual(display_, screen_);
    int visualDepth = depth == 32 ? 32 : DefaultDepth(display_, screen_);
    XImage* image = XCreateImage(display_, visual, static_cast<unsigned>(visualDepth), ZPixmap, 0,
                                 reinterpret_cast<char*>(cairo_image_surface_get_data(surface)),
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                                 cairo_image_surface_get_stride(surface));
    if (!image) {
        return;
    }
    image->byte_order = LSBFirst;  // cairo's ARGB32 is native-endian words: B, G, R, A in memory here
    image->bitmap_bit_order = LSBFirst;
    int left = std::max(area.left, 0);
    int top = std::max(area.top, 0);
    int right = std::min(area.right, width);
    int bottom = std::min(area.bottom, height);
    if (right > left && bottom > top) {
        XPutImage(display_, n.window, depth == 32 ? gc32_ : gc24_, image, left, top, left, top,
                  static_cast<unsigned>(right - left), static_cast<unsigned>(bottom - top));
    }
    image->data = nullptr;  // owned by cairo
    XDestroyImage(image);
    XFlush(display_);
}

void X11Backend::Present(NativeId id, cairo_surface_t* surface, const RECT& area) {
    if (X11Native* n = Find(id)) {
        PutImage(*n, surface, area, n->layered ? 32 : 24);
    }
}

void X11Backend::PresentLayered(NativeId id, cairo_surface_t* surface) {
    if (X11Native* n = Find(id)) {
        PutImage(*n, surface,
                 {0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)},
                 n->layered ? 32 : 24);
    }
}

void X11Backend::SetShape(NativeId id, const Region* region) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    if (!region) {
        XShapeCombineMask(display_, n->window, ShapeBounding, 0, 0, 0, ShapeSet);
        XFlush(display_);
        return;
    }
    // One rectangle per run of identical rows.
    std::vector<XRectangle> rects;
    std::size_t i = 0;
    while (i < region->rows.size()) {
        std::size_t j = i + 1;
        while (j < region->rows.size() && region->rows[j] == region->rows[i]) {
            ++j;
        }
        for (const auto& [x0, x1] : region->rows[i]) {
            rects.push_back({static_cast<short>(x0),
                             static_cast<short>(region->box.top + static_cast<int>(i)),
                             static_cast<unsigned short>(x1 - x0), static_cast<unsigned short>(j - i)});
        }
        i = j;
    }
    XShapeCombineRectangles(display_, n->window, ShapeBounding, 0, 0, rects.data(),
                            static_cast<int>(rects.size()), ShapeSet, YXBanded);
    XFlush(display_);
}

void X11Backend::SetOpacity(NativeId id, BYTE alpha) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    Atom opacity = A("_NET_WM_WINDOW_OPACITY");
    if (alpha == 255) {
        XDeleteProperty(display_, n->window, opacity);
    } else {
        unsigned long value = static_cast<unsigned long>(alpha) * 0x01010101UL;
        XChangeProperty(display_, n->window, opacity, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&value), 1);
    }
    XFlush(display_);
}

void X11Backend::SetTitle(NativeId id, const std::wstring& title) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    std::string utf8 = platform::Utf8FromWide(title);
    Atom utf8String = A("UTF8_STRING");
    for (Atom property : {A("_NET_WM_NAME"), A("WM_NAME")}) {
        XChangeProperty(display_, n->window, property, utf8String, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    }
    XFlush(display_);
}

void X11Backend::SetIcons(NativeId id, const std::vector<cairo_surface_t*>& icons) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    // _NET_WM_ICON: width, height, then straight (not premultiplied) ARGB pixels, as longs.
    std::vector<unsigned long> data;
    for (cairo_surface_t* icon : icons) {
        cairo_surface_flush(icon);
        int width = cairo_image_surface_get_width(icon);
        int height = cairo_image_surface_get_height(icon);
        int stride = cairo_image_surface_get_stride(icon);
        const unsigned char* pixels = cairo_image_surface_get_data(icon);
        data.push_back(static_cast<unsigned long>(width));
        data.push_back(static_cast<unsigned long>(height));
        for (int y = 0; y < height; ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
            for (int x = 0; x < width; ++x) {
                std::uint32_t p = row[x];
                std::uint32_t a = p >> 24;
                auto channel = [&](int shift) -> std::uint32_t {
                    std::uint32_t c = (p >> shift) & 0xFF;
                    return a ? std::min<std::uint32_t>(255, c * 255 / a) : 0;
                };
                data.push_back(a << 24 | channel(16) << 16 | channel(8) << 8 | channel(0));
            }
        }
    }
    XChangeProperty(display_, n->window, A("_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(display_);
}

void X11Backend::SetCursorShape(NativeId id, int cursorId) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    auto it = cursors_.find(cursorId);
    if (it == cursors_.end()) {
        unsigned shape = XC_left_ptr;
        switch (cursorId) {
            case IDC_HAND:
                shape = XC_hand2;
                break;
            case IDC_IBEAM:
                shape = XC_xterm;
                break;
            case IDC_WAIT:
                shape = XC_watch;
                break;
            case IDC_SIZEWE:
                shape = XC_sb_h_double_arrow;
                break;
            case IDC_SIZENS:
                shape = XC_sb_v_double_arrow;
                break;
            case IDC_SIZENWSE:
                shape = XC_bottom_right_corner;
                break;
            case IDC_SIZENESW:
                shape = XC_bottom_left_corner;
                break;
            case IDC_SIZEALL:
                shape = XC_fleur;
                break;
            default:
                break;
        }
        it = cursors_.emplace(cursorId, XCreateFontCursor(display_, shape)).first;
    }
    XDefineCursor(display_, n->window, it->second);
    XFlush(display_);
}

void X11Backend::FocusWhenMapped(NativeId id) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    if (n->mapped) {
        XSetInputFocus(display_, n->window, RevertToParent, CurrentTime);
        pendingFocus_ = 0;
    } else {
        pendingFocus_ = id;
    }
}

void X11Backend::Activate(NativeId id) {
    X11Native* n = Find(id);
    if (!n) {
        return;
    }
    XRaiseWindow(display_, n->window);
    if (WindowManagerSupports(A("_NET_ACTIVE_WINDOW")) && n->mapped) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = n->window;
        event.xclient.message_type = A("_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1;  // from an application
        XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        FocusWhenMapped(id);
    }
    XFlush(display_);
}

bool X11Backend::BeginMoveResize(NativeId id, LRESULT hitCode, POINT screen) {
    X11Native* n = Find(id);
    Atom moveResize = A("_NET_WM_MOVERESIZE");
    if (!n || !WindowManagerSupports(moveResize)) {
        return false;  // no window manager: the core moves the window from our pointer events
    }
    long direction = 8;  // move
    switch (hitCode) {
        case HTTOPLEFT:
            direction = 0;
            break;
        case HTTOP:
            direction = 1;
            break;
        case HTTOPRIGHT:
            direction = 2;
            break;
        case HTRIGHT:
            direction = 3;
            break;
        case HTBOTTOMRIGHT:
            direction = 4;
            break;
        case HTBOTTOM:
            direction = 5;
            break;
        case HTBOTTOMLEFT:
            direction = 6;
            break;
        case HTLEFT:
            direction = 7;
            break;
        default:
            break;
    }
    XUngrabPointer(display_, CurrentTime);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = n->window;
    event.xclient.message_type = moveResize;
    event.xclient.format = 32;
    event.xclient.data.l[0] = screen.x;
    event.xclient.data.l[1] = screen.y;
    event.xclient.data.l[2] = direction;
    event.xclient.data.l[3] = Button1;
    event.xclient.data.l[4] = 1;
    XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display_);
    wmMoving_ = id;
    return true;
}

RECT X11Backend::WorkArea() const {
    RECT area{0, 0, DisplayWidth(display_, screen_), DisplayHeight(display_, screen_)};
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, root_, A("_NET_WORKAREA"), 0, 4, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        if (count >= 4) {
            auto* v = reinterpret_cast<long*>(data);
            area = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]),
                    static_cast<int>(v[1] + v[3])};
        }
        XFree(data);
    }
    return area;
}

bool X11Backend::LayeredAvailable() const {
    if (!argbVisual_) {
        return false;
    }
    std::string name = "_NET_WM_CM_S" + std::to_string(screen_);
    return XGetSelectionOwner(display_, A(name.c_str())) != 0;
}

void X11Backend::Wait(int wakeFd, int timeoutMs) {
    XFlush(display_);
    if (XPending(display_)) {
        return;
    }
    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    poll(fds, 2, timeoutMs);
}

}  // namespace display::detail
