#pragma once
// Fonts by id, as a layout's Font elements declare them. Each window host has a table and a default
// font; one more table is shared by the whole process. Used on the UI thread only.

#include <pango/pango.h>

#include <map>
#include <memory>
#include <string>

namespace SkinUI {

struct FontDescriptionDeleter {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};

class Font {
public:
    // `size` is the character height in pixels.
    Font(std::wstring face, int size, bool bold, bool underline, bool italic);

    const std::wstring& face() const { return face_; }
    int size() const { return size_; }
    bool bold() const { return bold_; }
    bool underline() const { return underline_; }
    bool italic() const { return italic_; }
    // Family, pixel size, weight and style for pango; the underline is an attribute of the text.
    const PangoFontDescription* description() const { return description_.get(); }

private:
    std::wstring face_;
    int size_;
    bool bold_;
    bool underline_;
    bool italic_;
    std::unique_ptr<PangoFontDescription, FontDescriptionDeleter> description_;
};

class FontTable {
public:
    // The process-wide table of shared fonts.
    static FontTable& Shared();

    // Adds or replaces the font with this id.
    const Font& Add(int id, std::wstring face, int size, bool bold, bool underline, bool italic);
    const Font* Find(int id) const;
    bool Remove(int id) { return fonts_.erase(id) != 0; }
    void Clear() { fonts_.clear(); }

private:
    std::map<int, std::unique_ptr<Font>> fonts_;  // pointers stay valid while the font is in the table
};

}  // namespace SkinUI
