// DrawKit::LoadImage: finds the bytes of an image and decodes them into premultiplied pixels.
#include <platform/paths.h>
#include <platform/resources.h>
#include <platform/utf.h>
#include <stb_image.h>

#include "skinui/draw_kit.h"

namespace SkinUI::DrawKit {
namespace {

constexpr std::wstring_view kColorType = L"*COLOR*";

std::unique_ptr<Image> SolidImage(Color color) {
    std::unique_ptr<Image> image = Image::Create(1, 1);
    if (!image) {
        return nullptr;
    }
    image->Row(0)[0] = PremultipliedPixel(RedOf(color), GreenOf(color), BlueOf(color), AlphaOf(color));
    image->alpha = AlphaOf(color) != 255;
    image->MarkDirty();
    return image;
}

// A resource name is a decimal id; anything else names no resource here.
std::string ResourceBytes(std::wstring_view name, std::wstring_view type) {
    long long id = 0;
    if (name.empty() || name.size() > 9) {
        return {};
    }
    for (wchar_t c : name) {
        if (c < L'0' || c > L'9') {
            return {};
        }
        id = id * 10 + (c - L'0');
    }
    std::span<const std::uint8_t> bytes =
        platform::FindResource(platform::Utf8FromWide(type), static_cast<int>(id));
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::unique_ptr<Image> Decode(const std::string& bytes, Color mask) {
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF) {
        return nullptr;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &width, &height, &channels, 4);
    if (!rgba) {
        return nullptr;
    }
    std::unique_ptr<Image> image = Image::Create(width, height);
    if (image) {
        const stbi_uc* in = rgba;
        for (int y = 0; y < height; ++y) {
            std::uint32_t* row = image->Row(y);
            for (int x = 0; x < width; ++x, in += 4) {
                std::uint32_t pixel = PremultipliedPixel(in[0], in[1], in[2], in[3]);
                if (in[3] != 255) {
                    image->alpha = true;
                }
                if (pixel == mask) {
                    pixel = 0;
                    image->alpha = true;
                }
                row[x] = pixel;
            }
        }
        image->MarkDirty();
    }
    stbi_image_free(rgba);
    return image;
}

}  // namespace

std::unique_ptr<Image> LoadImage(const ResourceStore& store, std::wstring_view name, std::wstring_view type,
                                 Color mask) {
    if (type == kColorType) {
        return SolidImage(ParseColor(name));
    }
    std::string bytes;
    if (!type.empty()) {
        bytes = ResourceBytes(name, type);
    } else {
        store.ReadItem(name, &bytes);
    }
    if (bytes.empty()) {
        platform::ReadWholeFile(platform::Utf8FromWide(name), &bytes);
    }
    return Decode(bytes, mask);
}

std::unique_ptr<Image> LoadImage(std::wstring_view name, std::wstring_view type, Color mask) {
    return LoadImage(ResourceStore::Process(), name, type, mask);
}

}  // namespace SkinUI::DrawKit
