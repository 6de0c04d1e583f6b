// The in-memory window system: keeps what a window manager and a screen would (placement, stacking,
// focus, pixels), takes injected input and runs on a virtual clock.
#include <poll.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <optional>

#include "../core.h"

namespace display::detail {

namespace {

struct Native {
    RECT rect;
    bool visible = false;
    bool minimized = false;
    bool transparent = false;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::optional<Region> shape;
    BYTE opacity = 255;
    std::wstring title;
    int icons = 0;
    int cursor = IDC_ARROW;
};

UINT VirtualKeyFor(wchar_t c) {
    if (c >= L'a' && c <= L'z') {
        return static_cast<UINT>(c - L'a' + L'A');
    }
    if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L' ') {
        return static_cast<UINT>(c);
    }
    if (c == L'\r' || c == L'\n') {
        return VK_RETURN;
    }
    if (c == L'\b') {
        return VK_BACK;
    }
    return 0;
}

class HeadlessBackend final : public Backend, public HeadlessScreen {
public:
    const std::string& Name() const override { return name_; }
    void SetSink(EventSink* sink) override { sink_ = sink; }
    std::uint64_t NowMs() const override { return now_.load(); }

    NativeId CreateNative(const NativeParams& params) override {
        NativeId id = nextId_++;
        Native& n = natives_[id];
        n.rect = params.rect;
        n.title = params.title;
        n.transparent = params.transparent;
        Resize(n);
        stacking_.push_back(id);
        return id;
    }
    void DestroyNative(NativeId id) override {
        natives_.erase(id);
        std::erase(stacking_, id);
        for (NativeId* ref : {&focused_, &pointerNative_, &grabNative_}) {
            if (*ref == id) {
                *ref = 0;
            }
        }
    }
    void ShowNative(NativeId id, bool show, bool) override {
        if (Native* n = Find(id)) {
            n->visible = show;
            if (show) {
                Raise(id);
            }
        }
    }
    void SetMinimized(NativeId id, bool minimized) override {
        if (Native* n = Find(id)) {
            n->minimized = minimized;
        }
    }
    void SetNativeRect(NativeId id, const RECT& rect) override {
        if (Native* n = Find(id)) {
            n->rect = rect;
            Resize(*n);
        }
    }
    void Present(NativeId id, cairo_surface_t* surface, const RECT& area) override {
        Native* n = Find(id);
        if (!n) {
            return;
        }
        int sw = cairo_image_surface_get_width(surface);
        int sh = cairo_image_surface_get_height(surface);
        int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        for (int y = std::max(area.top, 0); y < std::min({area.bottom, sh, n->height}); ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
            for (int x = std::max(area.left, 0); x < std::min({area.right, sw, n->width}); ++x) {
                n->pixels[static_cast<std::size_t>(y) * n->width + x] = row[x];
            }
        }
    }
    void PresentLayered(NativeId id, cairo_surface_t* surface) override {
        if (Native* n = Find(id)) {
            Present(id, surface, {0, 0, n->width, n->height});
        }
    }
    void SetShape(NativeId id, const Region* region) override {
        if (Native* n = Find(id)) {
            n->shape = region ? std::optional<Region>(*region) : std::nullopt;
        }
    }
    void SetOpacity(NativeId id, BYTE alpha) override {
        if (Native* n = Find(id)) {
            n->opacity = alpha;
        }
    }
    void SetTitle(NativeId id, const std::wstring& title) override {
        if (Native* n = Find(id)) {
            n->title = title;
        }
    }
    void SetIcons(NativeId id, const std::vector<cairo_surface_t*>& icons) override {
        if (Native* n = Find(id)) {
            n->icons = static_cast<int>(icons.size());
        }
    }
    void SetCursorShape(NativeId id, int cursorId) override {
        if (Native* n = Find(id)) {
            n->cursor = cursorId;
        }
    }
    void Activate(NativeId id) override {
        if (Find(id)) {
            focused_ = id;
            Raise(id);
        }
    }
    bool BeginMoveResize(NativeId, LRESULT, POINT) override { return false; }
    RECT WorkArea() const override { return workArea_; }
    bool LayeredAvailable() const override { return layeredAvailable_; }
    void SetClipboard(const std::wstring& text) override { clipboard_ = text; }
    std::wstring GetClipboard() override { return clipboard_; }
    void ShowMessageBox(const std::wstring& text, const std::wstring&) override { boxes_.push_back(text); }
    void PumpEvents() override {}

    void Wait(int wakeFd, int timeoutMs) override {
        if (!idle_.empty()) {
            auto action = std::move(idle_.front());
            idle_.pop_front();
            action();
            return;
        }
        if (timeoutMs >= 0) {
            now_ += static_cast<std::uint64_t>(timeoutMs);  // nothing else can happen before then
            return;
        }
        pollfd pfd{wakeFd, POLLIN, 0};
        poll(&pfd, 1, -1);
    }

    HeadlessScreen* Headless() override { return this; }

    // --- HeadlessScreen ---
    void MouseMove(int x, int y) override {
        pointer_ = {x, y};
        NativeId target = grabNative_ ? grabNative_ : TopAt(pointer_);
        if (pointerNative_ && pointerNative_ != target && !grabNative_) {
            sink_->OnPointerLeave(pointerNative_);
        }
        if (!grabNative_) {
            pointerNative_ = target;
        }
        sink_->OnPointerMove(target, ClientOf(target), pointer_);
    }
    void MouseDown(MouseButton button) override {
        NativeId target = grabNative_ ? grabNative_ : TopAt(pointer_);
        ++buttonsDown_;
        grabNative_ = target;
        sink_->OnPointerButton(target, button, true, ClientOf(target), pointer_);
    }
    void MouseUp(MouseButton button) override {
        NativeId target = grabNative_ ? grabNative_ : TopAt(pointer_);
        if (buttonsDown_ > 0 && --buttonsDown_ == 0) {
            grabNative_ = 0;
        }
        sink_->OnPointerButton(target, button, false, ClientOf(target), pointer_);
    }
    void Wheel(int delta) override { sink_->OnPointerWheel(TopAt(pointer_), delta, pointer_); }
    void KeyDown(UINT vk, const std::wstring& text) override { sink_->OnKey(focused_, vk, true, text); }
    void KeyUp(UINT vk) override { sink_->OnKey(focused_, vk, false, L""); }
    void CommitText(const std::wstring& text) override { sink_->OnText(focused_, text); }
    void RequestClose(HWND topLevel) override {
        if (auto w = LookupWindow(topLevel)) {
            sink_->OnCloseRequested(w->native);
        }
    }
    void SetModifiers(bool shift, bool control, bool alt) override {
        sink_->OnModifiers(shift, control, alt);
    }

    void Click(HWND hwnd, int clientX, int clientY, MouseButton button) override {
        POINT p = ScreenPoint(hwnd, {clientX, clientY});
        MouseMove(p.x, p.y);
        Pump();
        MouseDown(button);
        Pump();
        MouseUp(button);
        Pump();
    }
    void Drag(HWND hwnd, POINT from, POINT to) override {
        POINT a = ScreenPoint(hwnd, from);
        POINT b = ScreenPoint(hwnd, to);
        MouseMove(a.x, a.y);
        Pump();
        MouseDown(MouseButton::Left);
        Pump();
        MouseMove((a.x + b.x) / 2, (a.y + b.y) / 2);
        Pump();
        MouseMove(b.x, b.y);
        Pump();
        MouseUp(MouseButton::Left);
        Pump();
    }
    void Type(const std::wstring& text) override {
        for (wchar_t c : text) {
            UINT vk = VirtualKeyFor(c);
            KeyDown(vk, std::wstring(1, c));
            Pump();
            KeyUp(vk);
            Pump();
        }
    }
    void Press(UINT vk) override {
        KeyDown(vk, L"");
        Pump();
        KeyUp(vk);
        Pump();
    }
    int Pump() override {
        int count = 0;
        MSG msg;
        // A window that never validates would paint forever; a test must not hang on it.
        while (count < 100000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessage(&msg);
            ++count;
        }
        return count;
    }
    void Advance(std::uint64_t ms) override {
        auto queue = CurrentQueue();
        std::uint64_t target = now_.load() + ms;
        Pump();
        while (queue) {
            std::int64_t next = queue->core->MsUntilNextTimer(queue.get());
            if (next < 0 || now_.load() + static_cast<std::uint64_t>(next) > target) {
                break;
            }
            now_ += static_cast<std::uint64_t>(next);
            if (Pump() == 0 && next == 0) {
                break;
            }
        }
        now_ = target;
        Pump();
    }
    void WhenIdle(std::function<void()> action) override { idle_.push_back(std::move(action)); }

    WindowImage Capture(HWND topLevel) const override {
        WindowImage image;
        auto w = LookupWindow(topLevel);
        auto it = w ? natives_.find(w->native) : natives_.end();
        if (it == natives_.end()) {
            return image;
        }
        const Native& n = it->second;
        image.width = n.width;
        image.height = n.height;
        image.pixels = n.pixels;
        if (n.shape) {
            for (int y = 0; y < n.height; ++y) {
                for (int x = 0; x < n.width; ++x) {
                    if (!n.shape->Contains(x, y)) {
                        image.pixels[static_cast<std::size_t>(y) * n.width + x] = 0;
                    }
                }
            }
        }
        return image;
    }
    bool SavePng(HWND topLevel, const std::string& path) const override {
        WindowImage image = Capture(topLevel);
        if (image.width == 0) {
            return false;
        }
        cairo_surface_t* s = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(image.pixels.data()), CAIRO_FORMAT_ARGB32, image.width,
            image.height, image.width * 4);
        bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(s);
        return ok;
    }
    int CursorId() const override {
        auto it = natives_.find(pointerNative_);
        return it == natives_.end() ? IDC_ARROW : it->second.cursor;
    }
    std::wstring Title(HWND topLevel) const override {
        const Native* n = FindFor(topLevel);
        return n ? n->title : L"";
    }
    int IconCount(HWND topLevel) const override {
        const Native* n = FindFor(topLevel);
        return n ? n->icons : 0;
    }
    BYTE Opacity(HWND topLevel) const override {
        const Native* n = FindFor(topLevel);
        return n ? n->opacity : 0;
    }
    std::vector<std::wstring> MessageBoxes() const override { return boxes_; }
    void SetWorkArea(const RECT& area) override { workArea_ = area; }
    void SetLayeredAvailable(bool available) override { layeredAvailable_ = available; }

private:
    Native* Find(NativeId id) {
        auto it = natives_.find(id);
        return it == natives_.end() ? nullptr : &it->second;
    }
    const Native* FindFor(HWND hwnd) const {
        auto w = LookupWindow(hwnd);
        auto it = w ? natives_.find(w->native) : natives_.end();
        return it == natives_.end() ? nullptr : &it->second;
    }
    static void Resize(Native& n) {
        int width = std::max(n.rect.right - n.rect.left, 0);
        int height = std::max(n.rect.bottom - n.rect.top, 0);
        if (width == n.width && height == n.height) {
            return;
        }
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0);
        for (int y = 0; y < std::min(height, n.height); ++y) {
            for (int x = 0; x < std::min(width, n.width); ++x) {
                pixels[static_cast<std::size_t>(y) * width + x] =
                    n.pixels[static_cast<std::size_t>(y) * n.width + x];
            }
        }
        n.pixels = std::move(pixels);
        n.width = width;
        n.height = height;
    }
    void Raise(NativeId id) {
        std::erase(stacking_, id);
        stacking_.push_back(id);
    }
    NativeId TopAt(POINT p) const {
        for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
            const Native& n = natives_.at(*it);
            if (!n.visible || n.minimized || n.transparent || p.x < n.rect.left || p.x >= n.rect.right ||
                p.y < n.rect.top || p.y >= n.rect.bottom) {
                continue;
            }
            if (n.shape && !n.shape->Contains(p.x - n.rect.left, p.y - n.rect.top)) {
                continue;
            }
            return *it;
        }
        return 0;
    }
    POINT ClientOf(NativeId id) const {
        auto it = natives_.find(id);
        if (it == natives_.end()) {
            return pointer_;
        }
        return {pointer_.x - it->second.rect.left, pointer_.y - it->second.rect.top};
    }
    POINT ScreenPoint(HWND hwnd, POINT client) const {
        POINT p = client;
        if (auto w = LookupWindow(hwnd)) {
            RECT r = w->core->ScreenRectOf(w.get());
            p.x += r.left;
            p.y += r.top;
        }
        return p;
    }

    std::string name_ = "headless";
    EventSink* sink_ = nullptr;
    std::atomic<std::uint64_t> now_{1000000};
    NativeId nextId_ = 1;
    std::map<NativeId, Native> natives_;
    std::vector<NativeId> stacking_;  // bottom to top
    NativeId focused_ = 0;
    NativeId pointerNative_ = 0;
    NativeId grabNative_ = 0;
    int buttonsDown_ = 0;
    POINT pointer_;
    RECT workArea_{0, 0, 1920, 1040};
    bool layeredAvailable_ = true;
    std::wstring clipboard_;
    std::vector<std::wstring> boxes_;
    std::deque<std::function<void()>> idle_;
};

}  // namespace

std::unique_ptr<Backend> CreateHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

}  // namespace display::detail
