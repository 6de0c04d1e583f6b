// The display object, backend selection, window classes and window creation.
#include "display/display.h"

#include <cstdio>
#include <cstdlib>

#include "core.h"
#include "platform/system_info.h"
#include "platform/utf.h"

namespace display {
namespace detail {

void RegisterWindow(const std::shared_ptr<Window>& w);
void UnregisterWindow(HWND hwnd);
void BindCurrentQueue(const std::shared_ptr<ThreadQueue>& queue);

namespace {
std::atomic<std::uint64_t> nextWindowId{1};
}

DisplayCore::DisplayCore(std::unique_ptr<Backend> backend)
    : backend_(std::move(backend)), ownerThread_(std::this_thread::get_id()) {
    backend_->SetSink(this);
    WNDCLASS edit;
    edit.lpszClassName = L"Edit";
    edit.lpfnWndProc = &EditWindowProc;
    edit.style = CS_DBLCLKS;
    edit.hCursor = display::LoadCursor(nullptr, IDC_IBEAM);
    RegisterClass(edit);
}

DisplayCore::~DisplayCore() {
    for (auto& w : windows_) {
        if (w->alive.load()) {
            w->alive = false;
            UnregisterWindow(w->handle);
        }
        w->extension.reset();
        for (cairo_surface_t** s : {&w->surface, &w->composed}) {
            if (*s) {
                cairo_surface_destroy(*s);
                *s = nullptr;
            }
        }
        if (w->native) {
            backend_->DestroyNative(w->native);
            w->native = 0;
        }
    }
    std::lock_guard lock(queuesMutex_);
    for (auto& [thread, queue] : queues_) {
        queue->closed = true;
    }
}

std::shared_ptr<ThreadQueue> DisplayCore::QueueForThisThread() {
    std::lock_guard lock(queuesMutex_);
    auto& queue = queues_[std::this_thread::get_id()];
    if (!queue) {
        queue = std::make_shared<ThreadQueue>(this, std::this_thread::get_id());
    }
    BindCurrentQueue(queue);
    return queue;
}

bool DisplayCore::RegisterClass(const WNDCLASS& wc) {
    if (!wc.lpszClassName || !wc.lpfnWndProc) {
        return false;
    }
    std::wstring key = ToLower(wc.lpszClassName);
    if (classes_.count(key)) {
        return true;
    }
    WNDCLASS copy = wc;
    copy.lpszClassName = nullptr;  // the name is the map key
    classes_[key] = copy;
    return true;
}

bool DisplayCore::GetClassInfo(const wchar_t* name, WNDCLASS* out) const {
    if (!name) {
        return false;
    }
    auto it = classes_.find(ToLower(name));
    if (it == classes_.end()) {
        return false;
    }
    if (out) {
        *out = it->second;
        out->lpszClassName = name;
    }
    return true;
}

HWND DisplayCore::CreateWindow(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                               int x, int y, int width, int height, HWND parent, LONG_PTR menu, void* param) {
    WNDCLASS wc;
    // The window system connection is not shared between threads: windows live on the thread that
    // opened the display (other threads post to them).
    if (std::this_thread::get_id() != ownerThread_ || !GetClassInfo(className, &wc)) {
        return nullptr;
    }
    Window* parentWindow = parent ? LiveWindow(parent) : nullptr;
    if (parent && !parentWindow) {
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !parentWindow) {
        return nullptr;
    }
    bool popup = (style & WS_POPUP) != 0;
    RECT work = backend_->WorkArea();
    if (x == CW_USEDEFAULT) {
        x = child ? 0 : work.left + (popup ? 0 : 32);
        y = child ? 0 : work.top + (popup ? 0 : 32);
    }
    if (width == CW_USEDEFAULT) {
        width = (child || popup) ? 0 : 640;
        height = (child || popup) ? 0 : 480;
    }

    auto w = std::make_shared<Window>();
    w->id = nextWindowId++;
    w->handle = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w->id));
    w->core = this;
    w->queue = QueueForThisThread();
    w->className = className;
    w->classStyle = wc.style;
    w->classCursor = wc.hCursor;
    w->proc = wc.lpfnWndProc;
    w->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    w->exStyle = exStyle;
    w->text = title ? title : L"";
    w->controlId = child ? menu : 0;
    w->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    w->restoreRect = w->rect;
    if (child) {
        w->parent = parent;
        parentWindow->children.push_back(w->handle);
    } else if (parentWindow) {
        w->owner = TopLevelOf(parentWindow)->handle;
    }
    RegisterWindow(w);
    windows_.push_back(w);
    Window* self = w.get();

    if (!child) {
        MINMAXINFO mmi = MinMaxInfo(self);
        (void)mmi;
        NativeParams params;
        params.rect = self->rect;
        params.title = self->text;
        Window* ownerWindow = LiveWindow(self->owner);
        params.owner = ownerWindow ? ownerWindow->native : 0;
        params.popup = popup;
        params.layered = (exStyle & WS_EX_LAYERED) != 0;
        params.transparent = (exStyle & WS_EX_TRANSPARENT) != 0;
        params.noActivate = (exStyle & WS_EX_NOACTIVATE) != 0 || params.transparent;
        self->native = backend_->CreateNative(params);
    }

    CREATESTRUCT cs;
    cs.lpCreateParams = param;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = style;
    cs.dwExStyle = exStyle;
    cs.lpszName = title;
    cs.lpszClass = className;
    HWND handle = self->handle;
    if (!Send(self, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        (LiveWindow(handle) && Send(self, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1)) {
        if (LiveWindow(handle)) {
            Destroy(self);
        }
        return nullptr;
    }
    if (!LiveWindow(handle)) {
        return nullptr;
    }
    Send(self, WM_SIZE, SIZE_RESTORED, MAKELPARAM(self->Width(), self->Height()));
    Send(self, WM_MOVE, 0, MAKELPARAM(self->rect.left, self->rect.top));
    if (LiveWindow(handle) && (style & WS_VISIBLE)) {
        Show(self, child ? SW_SHOWNA : SW_SHOW);
    }
    return LiveWindow(handle) ? handle : nullptr;
}

}  // namespace detail

Display::Display(std::unique_ptr<detail::DisplayCore> core) : core_(std::move(core)) {}
Display::~Display() = default;

const std::string& Display::BackendName() const {
    return core_->backend().Name();
}
bool Display::RegisterClass(const WNDCLASS& wc) {
    return core_->RegisterClass(wc);
}
bool Display::GetClassInfo(const wchar_t* className, WNDCLASS* out) const {
    return core_->GetClassInfo(className, out);
}

HWND Display::CreateWindowEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                             int x, int y, int width, int height, HWND parent, LONG_PTR menuOrId,
                             void* param) {
    return core_->CreateWindow(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                               param);
}

void Display::AttachThread() {
    core_->QueueForThisThread();
}
RECT Display::GetWorkArea() const {
    return core_->backend().WorkArea();
}
bool Display::LayeredWindowsAvailable() const {
    return core_->backend().LayeredAvailable();
}

int Display::MessageBox(HWND, const wchar_t* text, const wchar_t* caption, UINT) {
    std::string t = platform::Utf8FromWide(text ? text : L"");
    std::string c = platform::Utf8FromWide(caption ? caption : L"");
    std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
    core_->backend().ShowMessageBox(text ? text : L"", caption ? caption : L"");
    return IDOK;
}

void Display::SetClipboardText(std::wstring_view text) {
    core_->backend().SetClipboard(std::wstring(text));
}
std::wstring Display::GetClipboardText() {
    return core_->backend().GetClipboard();
}
DWORD Display::GetTickCount() const {
    return static_cast<DWORD>(core_->Now());
}
HeadlessScreen* Display::Headless() {
    return core_->backend().Headless();
}

std::unique_ptr<Display> OpenDisplay(std::string_view backendName, std::string* error) {
    std::unique_ptr<detail::Backend> backend;
    std::string why;
    if (backendName == "headless") {
        backend = detail::CreateHeadlessBackend();
    } else if (backendName == "x11") {
        backend = detail::CreateX11Backend(&why);
    } else if (backendName.empty()) {
        const char* name = std::getenv("DISPLAY");
        if (name && *name) {
            backend = detail::CreateX11Backend(&why);
        } else {
            why = "no display: DISPLAY is not set";
        }
    } else {
        why = "unknown display backend \"" + std::string(backendName) + "\" (known: x11, headless)";
    }
    if (!backend) {
        if (error) {
            *error = why;
        }
        return nullptr;
    }
    auto display = std::make_unique<Display>(std::make_unique<detail::DisplayCore>(std::move(backend)));
    display->AttachThread();
    return display;
}

}  // namespace display
