#include "skinui/font_table.h"

#include <platform/utf.h>

namespace SkinUI {

Font::Font(std::wstring face, int size, bool bold, bool underline, bool italic)
    : face_(std::move(face)),
      size_(size),
      bold_(bold),
      underline_(underline),
      italic_(italic),
      description_(pango_font_description_new()) {
    pango_font_description_set_family(description_.get(), platform::Utf8FromWide(face_).c_str());
    // A layout's size is the character height in pixels; keep it sane for pango's fixed point.
    int pixels = size_ < 1 ? 1 : size_ > 1000 ? 1000 : size_;
    pango_font_description_set_absolute_size(description_.get(), static_cast<double>(pixels) * PANGO_SCALE);
    pango_font_description_set_weight(description_.get(), bold_ ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description_.get(), italic_ ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
}

FontTable& FontTable::Shared() {
    static FontTable table;
    return table;
}

const Font& FontTable::Add(int id, std::wstring face, int size, bool bold, bool underline, bool italic) {
    auto font = std::make_unique<Font>(std::move(face), size, bold, underline, italic);
    const Font& added = *font;
    fonts_[id] = std::move(font);
    return added;
}

const Font* FontTable::Find(int id) const {
    auto it = fonts_.find(id);
    return it == fonts_.end() ? nullptr : it->second.get();
}

}  // namespace SkinUI
