#pragma once
// What DrawKit needs from a window host while painting: its images, its fonts and the language
// texts. The window host implements it (usually by owning a RenderResources); tests use
// RenderResources directly.

#include <memory>
#include <string>
#include <string_view>

#include "skinui/color.h"
#include "skinui/font_table.h"
#include "skinui/image.h"

namespace SkinUI {

class IRenderHost {
public:
    virtual ~IRenderHost() = default;

    // The cached image under `name`, loading and caching it first when needed; null when it
    // cannot be loaded. An empty `type` means no resource type.
    virtual std::shared_ptr<const Image> FindOrLoadImage(std::wstring_view name, std::wstring_view type,
                                                         Color mask, bool useHsl) = 0;
    // The font with this id, or the default font.
    virtual const Font& GetFont(int id) const = 0;
    // The language text with this id, or null.
    virtual const std::wstring* GetLanguageText(int id) const = 0;
};

}  // namespace SkinUI
