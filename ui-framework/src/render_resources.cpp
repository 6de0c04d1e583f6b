#include "skinui/render_resources.h"

#include "skinui/draw_kit.h"

namespace SkinUI {

RenderResources::RenderResources()
    : RenderResources(ResourceStore::Process(), ImageCache::Shared(), FontTable::Shared(),
                      LanguageTexts::Process()) {}

RenderResources::RenderResources(const ResourceStore& store, ImageCache& sharedImages, FontTable& sharedFonts,
                                 const LanguageTexts& texts)
    : store_(store),
      sharedImages_(sharedImages),
      sharedFonts_(sharedFonts),
      texts_(texts),
      defaultFont_(std::make_unique<Font>(kDefaultFontFace, kDefaultFontSize, false, false, false)) {}

std::shared_ptr<const Image> RenderResources::AddImage(std::wstring_view name, std::wstring_view type,
                                                       Color mask, bool useHsl, bool shared) {
    std::unique_ptr<Image> image = DrawKit::LoadImage(store_, name, type, mask);
    if (!image) {
        return nullptr;
    }
    image->resourceType = type;
    image->mask = mask;
    image->useHsl = useHsl;
    if (useHsl) {
        for (int y = 0; y < image->height(); ++y) {
            image->savedBits.insert(image->savedBits.end(), image->Row(y), image->Row(y) + image->width());
        }
    }
    std::shared_ptr<const Image> stored = std::move(image);
    (shared || useShared_ ? sharedImages_ : images_).Put(name, stored);
    return stored;
}

std::shared_ptr<const Image> RenderResources::GetImage(std::wstring_view name) const {
    if (auto image = images_.Find(name)) {
        return image;
    }
    return sharedImages_.Find(name);
}

std::shared_ptr<const Image> RenderResources::FindOrLoadImage(std::wstring_view name, std::wstring_view type,
                                                              Color mask, bool useHsl) {
    if (auto image = GetImage(name)) {
        return image;
    }
    return AddImage(name, type, mask, useHsl, false);
}

bool RenderResources::RemoveImage(std::wstring_view name) {
    return images_.Remove(name);
}

const Font& RenderResources::AddFont(int id, std::wstring face, int size, bool bold, bool underline,
                                     bool italic, bool shared) {
    return (shared ? sharedFonts_ : fonts_).Add(id, std::move(face), size, bold, underline, italic);
}

void RenderResources::SetDefaultFont(std::wstring face, int size, bool bold, bool underline, bool italic) {
    defaultFont_ = std::make_unique<Font>(std::move(face), size, bold, underline, italic);
}

const Font& RenderResources::GetFont(int id) const {
    if (const Font* font = fonts_.Find(id)) {
        return *font;
    }
    if (const Font* font = sharedFonts_.Find(id)) {
        return *font;
    }
    return *defaultFont_;
}

}  // namespace SkinUI
