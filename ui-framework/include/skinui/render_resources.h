#pragma once
// A window host's images and fonts: its own image cache and font table, in front of the process's
// shared ones, plus the default font. The window host owns one and hands it to DrawKit.

#include "skinui/image_cache.h"
#include "skinui/language_texts.h"
#include "skinui/render_host.h"
#include "skinui/resource_store.h"

namespace SkinUI {

inline constexpr wchar_t kDefaultFontFace[] = L"微软雅黑";
inline constexpr int kDefaultFontSize = 12;

class RenderResources : public IRenderHost {
public:
    // The process-wide store, shared cache, shared font table and language texts.
    RenderResources();
    RenderResources(const ResourceStore& store, ImageCache& sharedImages, FontTable& sharedFonts,
                    const LanguageTexts& texts);

    // Images. `type` empty means none; with a type, a name that starts with a digit is a resource id.
    std::shared_ptr<const Image> AddImage(std::wstring_view name, std::wstring_view type, Color mask,
                                          bool useHsl, bool shared);
    std::shared_ptr<const Image> GetImage(std::wstring_view name) const;
    std::shared_ptr<const Image> FindOrLoadImage(std::wstring_view name, std::wstring_view type, Color mask,
                                                 bool useHsl) override;
    bool RemoveImage(std::wstring_view name);
    void RemoveAllImages() { images_.Clear(); }
    // Every image added from now on goes to the shared cache.
    void SetUseSharedResources(bool on) { useShared_ = on; }
    bool GetUseSharedResources() const { return useShared_; }
    const ImageCache& images() const { return images_; }

    // Fonts.
    const Font& AddFont(int id, std::wstring face, int size, bool bold, bool underline, bool italic,
                        bool shared);
    void SetDefaultFont(std::wstring face, int size, bool bold, bool underline, bool italic);
    const Font& GetDefaultFont() const { return *defaultFont_; }
    // Own table, then the shared one, then the default font.
    const Font& GetFont(int id) const override;

    const std::wstring* GetLanguageText(int id) const override { return texts_.Find(id); }

private:
    const ResourceStore& store_;
    ImageCache& sharedImages_;
    FontTable& sharedFonts_;
    const LanguageTexts& texts_;
    ImageCache images_;
    FontTable fonts_;
    std::unique_ptr<Font> defaultFont_;
    bool useShared_ = false;
};

}  // namespace SkinUI
