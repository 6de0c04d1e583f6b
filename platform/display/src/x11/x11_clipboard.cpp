// The CLIPBOARD selection: we answer requests while we own it, and ask its owner otherwise.
#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>

#include "platform/utf.h"
#include "x11_backend.h"

namespace display::detail {

void X11Backend::SetClipboard(const std::wstring& text) {
    clipboard_ = platform::Utf8FromWide(text);
    XSetSelectionOwner(display_, A("CLIPBOARD"), selectionWindow_, CurrentTime);
    ownClipboard_ = XGetSelectionOwner(display_, A("CLIPBOARD")) == selectionWindow_;
    XFlush(display_);
}

std::wstring X11Backend::GetClipboard() {
    Atom clipboard = A("CLIPBOARD");
    if (ownClipboard_ && XGetSelectionOwner(display_, clipboard) == selectionWindow_) {
        return platform::WideFromUtf8(clipboard_);
    }
    if (XGetSelectionOwner(display_, clipboard) == 0) {
        return {};
    }
    Atom property = A("GLINTCAP_CLIPBOARD");
    XConvertSelection(display_, clipboard, A("UTF8_STRING"), property, selectionWindow_, CurrentTime);
    XFlush(display_);
    // The owner answers with SelectionNotify; other events stay queued for the loop.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    XEvent event;
    while (!XCheckTypedWindowEvent(display_, selectionWindow_, SelectionNotify, &event)) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return {};
        }
        pollfd pfd{ConnectionNumber(display_), POLLIN, 0};
        poll(&pfd, 1, static_cast<int>(left.count()));
        XEventsQueued(display_, QueuedAfterReading);
    }
    if (event.xselection.property == 0) {
        return {};
    }
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::wstring text;
    if (XGetWindowProperty(display_, selectionWindow_, property, 0, 1 << 20, True, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data) {
        text = platform::WideFromUtf8(std::string(reinterpret_cast<char*>(data), count));
        XFree(data);
    }
    return text;
}

void X11Backend::HandleSelectionRequest(const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = 0;
    Atom property = request.property ? request.property : request.target;
    Atom utf8 = A("UTF8_STRING");
    if (ownClipboard_ && request.selection == A("CLIPBOARD")) {
        if (request.target == A("TARGETS")) {
            Atom targets[] = {A("TARGETS"), utf8, XA_STRING, A("TEXT")};
            XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(targets), 4);
            reply.xselection.property = property;
        } else if (request.target == utf8 || request.target == XA_STRING || request.target == A("TEXT")) {
            XChangeProperty(display_, request.requestor, property,
                            request.target == XA_STRING ? XA_STRING : utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(clipboard_.data()),
                            static_cast<int>(clipboard_.size()));
            reply.xselection.property = property;
        }
    }
    XSendEvent(display_, request.requestor, False, 0, &reply);
    XFlush(display_);
}

}  // namespace display::detail
