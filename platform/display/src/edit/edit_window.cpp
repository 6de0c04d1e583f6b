// The built-in single-line edit window (class L"Edit"): caret, selection with mouse and keys,
// clipboard, input-method text, limit, read-only, password and number-only modes, alignment, font and
// colours. It tells its parent about changes with WM_COMMAND (EN_CHANGE, EN_SETFOCUS, EN_KILLFOCUS,
// EN_MAXTEXT), as an edit control does. Return is left to the window's procedure (or its subclass).
#include <pango/pangocairo.h>

#include <cstring>

#include "../core.h"
#include "edit_model.h"
#include "platform/utf.h"

namespace display::detail {

namespace {

constexpr UINT_PTR kBlinkTimer = 1;
constexpr UINT kBlinkMs = 530;
constexpr std::uint32_t kSelectionColour = 0xFF3399FF;
constexpr std::uint32_t kDisabledText = 0xFF6D6D6D;

struct EditState : WindowExtension {
    EditModel model;
    HFONT font = nullptr;
    std::uint32_t textColour = 0xFF000000;
    std::uint32_t backColour = 0xFFFFFFFF;
    wchar_t passwordChar = 0;
    int leftMargin = 1;
    int rightMargin = 1;
    int scrollX = 0;
    bool focused = false;
    bool caretOn = false;
    bool selecting = false;
};

EditState* StateOf(HWND hwnd) {
    Window* w = LiveWindow(hwnd);
    return w ? dynamic_cast<EditState*>(w->extension.get()) : nullptr;
}

void SetColour(cairo_t* cr, std::uint32_t argb) {
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                          (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

// What the field shows, laid out, with the UTF-8 offset of every character.
struct Shown {
    PangoLayout* layout = nullptr;
    std::vector<int> byteOffsets;  // size = characters + 1
    int width = 0;
    int height = 0;
    ~Shown() {
        if (layout) {
            g_object_unref(layout);
        }
    }
};

void LayOut(cairo_t* cr, HWND hwnd, const EditState& s, Shown* shown) {
    std::wstring visible = s.model.text();
    if (s.passwordChar) {
        visible.assign(visible.size(), s.passwordChar);
    }
    std::string utf8;
    for (wchar_t c : visible) {
        shown->byteOffsets.push_back(static_cast<int>(utf8.size()));
        utf8 += platform::Utf8FromWide(std::wstring(1, c));
    }
    shown->byteOffsets.push_back(static_cast<int>(utf8.size()));
    shown->layout = pango_cairo_create_layout(cr);
    PangoFontDescription* desc = pango_font_description_new();
    const Font* font = s.font;
    pango_font_description_set_family(desc, font && !font->face.empty() ? font->face.c_str() : "Sans");
    pango_font_description_set_absolute_size(desc, (font ? font->pixelHeight : 12) * PANGO_SCALE);
    if (font && font->bold) {
        pango_font_description_set_weight(desc, PANGO_WEIGHT_BOLD);
    }
    if (font && font->italic) {
        pango_font_description_set_style(desc, PANGO_STYLE_ITALIC);
    }
    pango_layout_set_font_description(shown->layout, desc);
    pango_font_description_free(desc);
    if (font && font->underline) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(shown->layout, attrs);
        pango_attr_list_unref(attrs);
    }
    pango_layout_set_single_paragraph_mode(shown->layout, TRUE);
    pango_layout_set_text(shown->layout, utf8.c_str(), static_cast<int>(utf8.size()));
    pango_layout_get_pixel_size(shown->layout, &shown->width, &shown->height);
    if (shown->height == 0) {
        shown->height = font ? font->pixelHeight : 12;
    }
    (void)hwnd;
}

int XOfIndex(const Shown& shown, std::size_t index) {
    PangoRectangle pos;
    pango_layout_index_to_pos(shown.layout, shown.byteOffsets[std::min(index, shown.byteOffsets.size() - 1)],
                              &pos);
    return PANGO_PIXELS(pos.x);
}

// The text's left edge in client coordinates, after alignment and horizontal scrolling.
int OriginX(HWND hwnd, const EditState& s, const Shown& shown, int clientWidth) {
    int area = clientWidth - s.leftMargin - s.rightMargin;
    DWORD style = static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
    int offset = 0;
    if (shown.width < area) {
        if (style & ES_RIGHT) {
            offset = area - shown.width;
        } else if (style & ES_CENTER) {
            offset = (area - shown.width) / 2;
        }
    }
    return s.leftMargin + offset - s.scrollX;
}

// Scrolls so that the caret stays inside the field.
void KeepCaretVisible(HWND hwnd, EditState& s, const Shown& shown, int clientWidth) {
    int area = clientWidth - s.leftMargin - s.rightMargin;
    if (shown.width <= area) {
        s.scrollX = 0;
        return;
    }
    int caretX = XOfIndex(shown, s.model.caret());
    if (caretX - s.scrollX > area - 1) {
        s.scrollX = caretX - area + 1;
    } else if (caretX - s.scrollX < 0) {
        s.scrollX = caretX;
    }
    s.scrollX = std::clamp(s.scrollX, 0, std::max(shown.width - area + 1, 0));
    (void)hwnd;
}

std::size_t IndexAtX(HWND hwnd, EditState& s, int x) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    Shown shown;
    LayOut(cr, hwnd, s, &shown);
    RECT rc;
    GetClientRect(hwnd, &rc);
    int local = x - OriginX(hwnd, s, shown, rc.right);
    int index = 0, trailing = 0;
    pango_layout_xy_to_index(shown.layout, local * PANGO_SCALE, 0, &index, &trailing);
    std::size_t chars = 0;
    while (chars + 1 < shown.byteOffsets.size() && shown.byteOffsets[chars + 1] <= index) {
        ++chars;
    }
    if (local <= 0) {
        chars = 0;
    } else if (trailing > 0 || local >= shown.width) {
        chars = std::min(chars + 1, shown.byteOffsets.size() - 1);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return chars;
}

void Notify(HWND hwnd, UINT code) {
    HWND parent = GetParent(hwnd);
    if (parent) {
        auto id = static_cast<int>(GetWindowLongPtr(hwnd, GWLP_ID));
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, static_cast<int>(code)),
                    reinterpret_cast<LPARAM>(hwnd));
    }
}

void Changed(HWND hwnd, EditState& s) {
    s.caretOn = true;
    InvalidateRect(hwnd, nullptr, false);
    Notify(hwnd, EN_CHANGE);
}

void Moved(HWND hwnd, EditState& s) {
    s.caretOn = true;
    InvalidateRect(hwnd, nullptr, false);
}

void InsertAndNotify(HWND hwnd, EditState& s, const std::wstring& text) {
    switch (s.model.InsertText(text)) {
        case EditModel::Insert::Changed:
            Changed(hwnd, s);
            break;
        case EditModel::Insert::Truncated:
            Changed(hwnd, s);
            Notify(hwnd, EN_MAXTEXT);
            break;
        default:
            break;
    }
}

void Paint(HWND hwnd, EditState& s) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    cairo_t* cr = cairo_create(ps.surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    SetColour(cr, s.backColour);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_rectangle(cr, s.leftMargin, 0, rc.right - s.leftMargin - s.rightMargin, rc.bottom);
    cairo_clip(cr);

    Shown shown;
    LayOut(cr, hwnd, s, &shown);
    KeepCaretVisible(hwnd, s, shown, rc.right);
    int originX = OriginX(hwnd, s, shown, rc.right);
    int originY = (rc.bottom - shown.height) / 2;
    bool enabled = IsWindowEnabled(hwnd);
    std::uint32_t textColour = enabled ? s.textColour : kDisabledText;

    SetColour(cr, textColour);
    cairo_move_to(cr, originX, originY);
    pango_cairo_show_layout(cr, shown.layout);
    if (s.focused && s.model.HasSelection()) {
        int x0 = originX + XOfIndex(shown, s.model.selectionStart());
        int x1 = originX + XOfIndex(shown, s.model.selectionEnd());
        cairo_save(cr);
        cairo_rectangle(cr, x0, originY, x1 - x0, shown.height);
        cairo_clip(cr);
        SetColour(cr, kSelectionColour);
        cairo_paint(cr);
        SetColour(cr, 0xFFFFFFFF);
        cairo_move_to(cr, originX, originY);
        pango_cairo_show_layout(cr, shown.layout);
        cairo_restore(cr);
    }
    if (s.focused && s.caretOn && !s.model.HasSelection()) {
        // At the right end of a full or right-aligned field the caret stays inside it.
        int x = std::min(originX + XOfIndex(shown, s.model.caret()), rc.right - s.rightMargin - 1);
        SetColour(cr, textColour);
        cairo_rectangle(cr, x, originY, 1, shown.height);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    EndPaint(hwnd, &ps);
}

bool KeyDown(HWND hwnd, EditState& s, UINT vk) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    using Move = EditModel::Move;
    switch (vk) {
        case VK_LEFT:
            s.model.MoveCaret(control ? Move::WordLeft : Move::Left, shift);
            Moved(hwnd, s);
            return true;
        case VK_RIGHT:
            s.model.MoveCaret(control ? Move::WordRight : Move::Right, shift);
            Moved(hwnd, s);
            return true;
        case VK_HOME:
            s.model.MoveCaret(Move::Home, shift);
            Moved(hwnd, s);
            return true;
        case VK_END:
            s.model.MoveCaret(Move::End, shift);
            Moved(hwnd, s);
            return true;
        case VK_BACK:
            if (s.model.DeleteBackward()) {
                Changed(hwnd, s);
            }
            return true;
        case VK_DELETE:
            if (shift) {
                SendMessage(hwnd, WM_CUT, 0, 0);
            } else if (s.model.DeleteForward()) {
                Changed(hwnd, s);
            }
            return true;
        case VK_INSERT:
            if (control) {
                SendMessage(hwnd, WM_COPY, 0, 0);
            } else if (shift) {
                SendMessage(hwnd, WM_PASTE, 0, 0);
            }
            return true;
        default:
            break;
    }
    if (control) {
        switch (vk) {
            case 'A':
                s.model.SetSelection(0, -1);
                Moved(hwnd, s);
                return true;
            case 'C':
                SendMessage(hwnd, WM_COPY, 0, 0);
                return true;
            case 'X':
                SendMessage(hwnd, WM_CUT, 0, 0);
                return true;
            case 'V':
                SendMessage(hwnd, WM_PASTE, 0, 0);
                return true;
            default:
                break;
        }
    }
    return false;
}

}  // namespace

LRESULT EditWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = LiveWindow(hwnd);
    if (!w) {
        return 0;
    }
    if (msg == WM_NCCREATE) {
        auto state = std::make_unique<EditState>();
        const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
        DWORD style = cs ? cs->style : 0;
        state->model.SetReadOnly(style & ES_READONLY);
        state->model.SetNumberOnly(style & ES_NUMBER);
        state->passwordChar = (style & ES_PASSWORD) ? L'*' : 0;
        if (cs && cs->lpszName) {
            state->model.SetText(cs->lpszName);
        }
        w->extension = std::move(state);
        return 1;
    }
    EditState* s = StateOf(hwnd);
    if (!s) {
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    switch (msg) {
        case WM_SETTEXT: {
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            s->model.SetText(text ? text : L"");
            s->scrollX = 0;
            Changed(hwnd, *s);
            return 1;
        }
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<wchar_t*>(lParam);
            if (!buffer || wParam == 0) {
                return 0;
            }
            const std::wstring& text = s->model.text();
            std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
            std::wmemcpy(buffer, text.data(), n);
            buffer[n] = L'\0';
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(s->model.text().size());
        case WM_SETFONT:
            s->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) {
                InvalidateRect(hwnd, nullptr, false);
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s->font);
        case EM_LIMITTEXT:
            s->model.SetLimit(wParam ? wParam : 0x7FFFFFFE);
            return 0;
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(s->model.limit());
        case EM_SETREADONLY:
            s->model.SetReadOnly(wParam != 0);
            w->style = wParam ? (w->style | ES_READONLY) : (w->style & ~ES_READONLY);
            return 1;
        case EM_SETPASSWORDCHAR:
            s->passwordChar = static_cast<wchar_t>(wParam);
            w->style = wParam ? (w->style | ES_PASSWORD) : (w->style & ~ES_PASSWORD);
            InvalidateRect(hwnd, nullptr, false);
            return 0;
        case EM_SETSEL:
            s->model.SetSelection(static_cast<long>(static_cast<std::intptr_t>(wParam)),
                                  static_cast<long>(lParam));
            Moved(hwnd, *s);
            return 0;
        case EM_GETSEL: {
            auto start = static_cast<DWORD>(s->model.selectionStart());
            auto end = static_cast<DWORD>(s->model.selectionEnd());
            if (wParam) {
                *reinterpret_cast<DWORD*>(wParam) = start;
            }
            if (lParam) {
                *reinterpret_cast<DWORD*>(lParam) = end;
            }
            return MAKELPARAM(static_cast<int>(start), static_cast<int>(end));
        }
        case EM_REPLACESEL: {
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            InsertAndNotify(hwnd, *s, text ? text : L"");
            return 0;
        }
        case EM_SETMARGINS:
            if (wParam & EC_LEFTMARGIN) {
                s->leftMargin = LOWORD(static_cast<std::uintptr_t>(lParam));
            }
            if (wParam & EC_RIGHTMARGIN) {
                s->rightMargin = HIWORD(static_cast<std::uintptr_t>(lParam));
            }
            InvalidateRect(hwnd, nullptr, false);
            return 0;
        case EM_SETBKGNDCOLOR:
            s->backColour = static_cast<std::uint32_t>(lParam);
            InvalidateRect(hwnd, nullptr, false);
            return 0;
        case EM_SETTEXTCOLOR:
            s->textColour = static_cast<std::uint32_t>(lParam);
            InvalidateRect(hwnd, nullptr, false);
            return 0;
        case WM_COPY:
        case WM_CUT:
            // A password is never handed out.
            if (s->passwordChar || !s->model.HasSelection()) {
                return 0;
            }
            w->core->backend().SetClipboard(s->model.SelectedText());
            if (msg == WM_CUT && s->model.DeleteSelection()) {
                Changed(hwnd, *s);
            }
            return 0;
        case WM_PASTE:
            InsertAndNotify(hwnd, *s, w->core->backend().GetClipboard());
            return 0;
        case WM_CLEAR:
            if (s->model.DeleteSelection()) {
                Changed(hwnd, *s);
            }
            return 0;
        case WM_CHAR:
            if (wParam >= 0x20 && wParam != 0x7F) {
                InsertAndNotify(hwnd, *s, std::wstring(1, static_cast<wchar_t>(wParam)));
            }
            return 0;
        case WM_KEYDOWN:
            KeyDown(hwnd, *s, static_cast<UINT>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            if (GetFocus() != hwnd) {
                SetFocus(hwnd);
            }
            s->model.SetCaret(IndexAtX(hwnd, *s, GET_X_LPARAM(lParam)), (wParam & MK_SHIFT) != 0);
            s->selecting = true;
            SetCapture(hwnd);
            Moved(hwnd, *s);
            return 0;
        case WM_LBUTTONDBLCLK:
            s->model.SelectWordAt(IndexAtX(hwnd, *s, GET_X_LPARAM(lParam)));
            Moved(hwnd, *s);
            return 0;
        case WM_MOUSEMOVE:
            if (s->selecting) {
                s->model.SetCaret(IndexAtX(hwnd, *s, GET_X_LPARAM(lParam)), true);
                Moved(hwnd, *s);
            }
            return 0;
        case WM_LBUTTONUP:
            if (s->selecting) {
                s->selecting = false;
                ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            s->selecting = false;
            return 0;
        case WM_SETFOCUS:
            s->focused = true;
            s->caretOn = true;
            SetTimer(hwnd, kBlinkTimer, kBlinkMs);
            InvalidateRect(hwnd, nullptr, false);
            Notify(hwnd, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            s->focused = false;
            s->selecting = false;
            KillTimer(hwnd, kBlinkTimer);
            InvalidateRect(hwnd, nullptr, false);
            Notify(hwnd, EN_KILLFOCUS);
            return 0;
        case WM_TIMER:
            if (wParam == kBlinkTimer) {
                s->caretOn = !s->caretOn;
                InvalidateRect(hwnd, nullptr, false);
                return 0;
            }
            break;
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, false);
            return 0;
        case WM_PAINT:
            Paint(hwnd, *s);
            return 0;
        default:
            break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace display::detail
