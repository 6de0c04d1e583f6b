#include "skinui/image_cache.h"

namespace SkinUI {

ImageCache& ImageCache::Shared() {
    static ImageCache cache;
    return cache;
}

std::shared_ptr<const Image> ImageCache::Find(std::wstring_view name) const {
    auto it = images_.find(name);
    return it == images_.end() ? nullptr : it->second;
}

void ImageCache::Put(std::wstring_view name, std::shared_ptr<const Image> image) {
    auto it = images_.find(name);
    if (it != images_.end()) {
        it->second = std::move(image);
    } else {
        images_.emplace(std::wstring(name), std::move(image));
    }
}

bool ImageCache::Remove(std::wstring_view name) {
    auto it = images_.find(name);
    if (it == images_.end()) {
        return false;
    }
    images_.erase(it);
    return true;
}

}  // namespace SkinUI
