#include "tagged_text.h"

#include <algorithm>
#include <climits>

#include "platform/utf.h"
#include "skinui/image_attribute.h"

namespace SkinUI::text {
namespace {

void AppendUtf8(std::string& out, wchar_t c) { out += platform::Utf8FromWide(std::wstring_view(&c, 1)); }

int ToInt(std::wstring_view s) {
    long long v = 0;
    bool negative = !s.empty() && s[0] == L'-';
    for (size_t i = negative ? 1 : 0; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i) {
        v = std::min<long long>(v * 10 + (s[i] - L'0'), INT_MAX);
    }
    return static_cast<int>(negative ? -v : v);
}

std::vector<std::wstring_view> Words(std::wstring_view s) {
    std::vector<std::wstring_view> words;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == L' ') {
            ++i;
        }
        size_t start = i;
        while (i < s.size() && s[i] != L' ') {
            ++i;
        }
        if (i > start) {
            words.push_back(s.substr(start, i - start));
        }
    }
    return words;
}

bool IsTagLetter(wchar_t c) {
    return c >= L'a' && c <= L'z';
}

enum class Align { kBaseline, kTop, kCenter, kBottom };

// An open tag: its letter, where its text starts, and the attribute it will span.
struct OpenTag {
    wchar_t letter;
    int start;
    std::vector<PangoAttribute*> attributes;
    std::wstring linkText;
    size_t wideStart;  // for a link without text of its own
    Align align = Align::kBaseline;
};

class Parser {
public:
    Parser(std::wstring_view text, IRenderHost& host, const Font& font, PangoContext* context)
        : text_(text), host_(host), font_(font), context_(context) {}

    TaggedText Run() {
        if (font_.underline()) {
            pango_attr_list_insert(out_.attributes.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        }
        size_t i = 0;
        while (i < text_.size()) {
            i = Step(i);
        }
        while (!open_.empty()) {
            Close(open_.size() - 1);
        }
        return std::move(out_);
    }

private:
    int Here() const { return static_cast<int>(out_.utf8.size()); }

    void Text(wchar_t c) {
        AppendUtf8(out_.utf8, c);
        plain_ += c;
    }

    // Handles the character or tag at `i`; returns where to go on.
    size_t Step(size_t i) {
        wchar_t c = text_[i];
        if (c != L'<' && c != L'{') {
            Text(c);
            return i + 1;
        }
        wchar_t closer = c == L'<' ? L'>' : L'}';
        // End tag.
        if (i + 3 < text_.size() && text_[i + 1] == L'/' && IsTagLetter(text_[i + 2]) &&
            text_[i + 3] == closer) {
            for (size_t k = open_.size(); k-- > 0;) {
                if (open_[k].letter == text_[i + 2]) {
                    while (open_.size() > k) {
                        Close(open_.size() - 1);
                    }
                    break;
                }
            }
            return i + 4;
        }
        if (i + 2 >= text_.size() || !IsTagLetter(text_[i + 1]) ||
            (text_[i + 2] != L' ' && text_[i + 2] != closer)) {
            Text(c);
            return i + 1;
        }
        size_t end = text_.find(closer, i + 2);
        if (end == std::wstring_view::npos) {
            Text(c);
            return i + 1;
        }
        std::wstring_view args =
            text_[i + 2] == L' ' ? text_.substr(i + 3, end - i - 3) : std::wstring_view();
        return Open(text_[i + 1], args, closer, end + 1);
    }

    size_t Open(wchar_t letter, std::wstring_view args, wchar_t closer, size_t next) {
        OpenTag tag{letter, Here(), {}, std::wstring(args), plain_.size(), Align::kBaseline};
        switch (letter) {
            case L'a':
                tag.attributes.push_back(pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
                break;
            case L'b':
                tag.attributes.push_back(pango_attr_weight_new(PANGO_WEIGHT_BOLD));
                break;
            case L'u':
                tag.attributes.push_back(pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
                break;
            case L'c': {
                Color color = ParseColor(args);
                tag.attributes.push_back(pango_attr_foreground_new(
                    static_cast<guint16>(RedOf(color) * 257), static_cast<guint16>(GreenOf(color) * 257),
                    static_cast<guint16>(BlueOf(color) * 257)));
                break;
            }
            case L'f':
                AddFontAttributes(args, tag.attributes);
                break;
            case L'y':
                tag.attributes.push_back(
                    pango_attr_line_height_new_absolute(std::clamp(ToInt(args), 0, 10000) * PANGO_SCALE));
                break;
            case L'i':
                InlineImage(args);
                return next;
            case L'n':
                Text(L'\n');
                return next;
            case L'p':
                Paragraph(ToInt(args));
                return next;
            case L'x':
                Space(std::clamp(ToInt(args), 0, 10000), 0);
                return next;
            case L'r':
                return Raw(closer, next);
            case L'v':
                tag.align = args == L"top"      ? Align::kTop
                            : args == L"bottom" ? Align::kBottom
                            : args == L"center" ? Align::kCenter
                                                : Align::kBaseline;
                break;
            case L's':
                break;
            default:
                return next;  // unknown tags are dropped
        }
        open_.push_back(std::move(tag));
        return next;
    }

    void Close(size_t index) {
        OpenTag& tag = open_[index];
        for (PangoAttribute* attribute : tag.attributes) {
            attribute->start_index = static_cast<guint>(tag.start);
            attribute->end_index = static_cast<guint>(Here());
            pango_attr_list_insert(out_.attributes.get(), attribute);
        }
        if (tag.letter == L'a') {
            std::wstring shown = tag.linkText.empty() ? plain_.substr(tag.wideStart) : tag.linkText;
            out_.links.push_back({tag.start, Here(), std::move(shown)});
        }
        open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(index));
    }

    void AddFontAttributes(std::wstring_view args, std::vector<PangoAttribute*>& attributes) {
        std::vector<std::wstring_view> words = Words(args);
        if (words.empty()) {
            return;
        }
        bool byId =
            std::all_of(words[0].begin(), words[0].end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
        if (byId && words.size() == 1) {
            const Font& f = host_.GetFont(ToInt(words[0]));
            attributes.push_back(pango_attr_font_desc_new(f.description()));
            attributes.push_back(
                pango_attr_underline_new(f.underline() ? PANGO_UNDERLINE_SINGLE : PANGO_UNDERLINE_NONE));
            return;
        }
        auto flag = [&](size_t k, std::wstring_view name) {
            return std::any_of(words.begin() + std::min<size_t>(2, words.size()), words.end(),
                               [&](std::wstring_view w) { return w == name; }) ||
                   (k < words.size() && words[k] == L"true");
        };
        Font f(std::wstring(words[0]), words.size() > 1 ? ToInt(words[1]) : font_.size(), flag(2, L"bold"),
               flag(3, L"underline"), flag(4, L"italic"));
        attributes.push_back(pango_attr_font_desc_new(f.description()));
        attributes.push_back(
            pango_attr_underline_new(f.underline() ? PANGO_UNDERLINE_SINGLE : PANGO_UNDERLINE_NONE));
    }

    // An empty box of `width` pixels that raises its line's ascent to `ascent` pixels.
    void Space(int width, int ascent) {
        PangoRectangle box{0, -ascent * PANGO_SCALE, width * PANGO_SCALE, ascent * PANGO_SCALE};
        int start = Here();
        AppendUtf8(out_.utf8, 0xFFFC);
        PangoAttribute* shape = pango_attr_shape_new(&box, &box);
        shape->start_index = static_cast<guint>(start);
        shape->end_index = static_cast<guint>(Here());
        pango_attr_list_insert(out_.attributes.get(), shape);
    }

    void InlineImage(std::wstring_view args) {
        ImageAttribute a = ParseImageAttribute(args);
        auto image = host_.FindOrLoadImage(
            a.imageName, a.useResourceType ? std::wstring_view(a.resourceType) : L"", a.mask, false);
        if (!image) {
            return;
        }
        int top = ImageTop(image->height());
        PangoRectangle box{0, top * PANGO_SCALE, image->width() * PANGO_SCALE, image->height() * PANGO_SCALE};
        int start = Here();
        AppendUtf8(out_.utf8, 0xFFFC);
        PangoAttribute* shape = pango_attr_shape_new(&box, &box);
        shape->start_index = static_cast<guint>(start);
        shape->end_index = static_cast<guint>(Here());
        pango_attr_list_insert(out_.attributes.get(), shape);
        out_.images.push_back({start, std::move(image), top});
    }

    // The innermost open v tag places the image against the base font's ascent and descent.
    int ImageTop(int height) const {
        Align align = Align::kBaseline;
        for (const OpenTag& tag : open_) {
            if (tag.letter == L'v') {
                align = tag.align;
            }
        }
        if (align == Align::kBaseline) {
            return -height;
        }
        PangoFontMetrics* metrics = pango_context_get_metrics(context_, font_.description(), nullptr);
        int ascent = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics));
        int descent = PANGO_PIXELS(pango_font_metrics_get_descent(metrics));
        pango_font_metrics_unref(metrics);
        switch (align) {
            case Align::kTop:
                return -ascent;
            case Align::kBottom:
                return descent - height;
            default:
                return -ascent + (ascent + descent - height) / 2;
        }
    }

    void Paragraph(int spacing) {
        if (!out_.utf8.empty()) {
            Text(L'\n');
        }
        if (spacing > 0) {
            PangoFontMetrics* metrics = pango_context_get_metrics(context_, font_.description(), nullptr);
            int ascent = pango_font_metrics_get_ascent(metrics) / PANGO_SCALE;
            pango_font_metrics_unref(metrics);
            Space(0, ascent + std::min(spacing, 10000));
        }
    }

    size_t Raw(wchar_t closer, size_t next) {
        std::wstring end = closer == L'>' ? L"</r>" : L"{/r}";
        size_t stop = text_.find(end, next);
        size_t last = stop == std::wstring_view::npos ? text_.size() : stop;
        for (size_t k = next; k < last; ++k) {
            Text(text_[k]);
        }
        return stop == std::wstring_view::npos ? text_.size() : stop + end.size();
    }

    std::wstring_view text_;
    IRenderHost& host_;
    const Font& font_;
    PangoContext* context_;
    TaggedText out_;
    std::wstring plain_;  // the text shown so far, for links without text of their own
    std::vector<OpenTag> open_;
};

}  // namespace

TaggedText ParseTaggedText(std::wstring_view text, IRenderHost& host, const Font& font,
                           PangoContext* context) {
    return Parser(text, host, font, context).Run();
}

}  // namespace SkinUI::text
