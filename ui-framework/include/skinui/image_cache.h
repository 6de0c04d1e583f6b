#pragma once
// Decoded images by name (the name exactly as an image attribute writes it). Each window host has
// one; one more is shared by the whole process. Used on the UI thread only.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "skinui/image.h"

namespace SkinUI {

class ImageCache {
public:
    // The process-wide cache of shared images.
    static ImageCache& Shared();

    std::shared_ptr<const Image> Find(std::wstring_view name) const;
    // Stores `image` under `name`, replacing (and releasing) what was there.
    void Put(std::wstring_view name, std::shared_ptr<const Image> image);
    bool Remove(std::wstring_view name);
    void Clear() { images_.clear(); }
    size_t size() const { return images_.size(); }

private:
    std::map<std::wstring, std::shared_ptr<const Image>, std::less<>> images_;
};

}  // namespace SkinUI
