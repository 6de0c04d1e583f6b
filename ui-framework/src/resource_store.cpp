#include "skinui/resource_store.h"

#include <platform/paths.h>
#include <platform/resources.h>
#include <platform/utf.h>

namespace SkinUI {
namespace {

// Names in layouts use '\' as the folder separator; on disk it is '/'.
std::string DiskPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    path += name;
    for (wchar_t& c : path) {
        if (c == L'\\') {
            c = L'/';
        }
    }
    return platform::Utf8FromWide(path);
}

ReadError CheckSize(std::uint64_t size, std::uint64_t limit) {
    if (size == 0) {
        return ReadError::kEmpty;
    }
    if (size > limit) {
        return ReadError::kTooLarge;
    }
    return ReadError::kNone;
}

}  // namespace

const wchar_t* LayoutErrorText(ReadError error) {
    switch (error) {
        case ReadError::kNone:
            return L"";
        case ReadError::kOpenFile:
            return L"Error opening file";
        case ReadError::kOpenArchive:
            return L"Error opening zip file";
        case ReadError::kNotFound:
            return L"Could not find ziped file";
        case ReadError::kEmpty:
            return L"File is empty";
        case ReadError::kTooLarge:
            return L"File too large";
        case ReadError::kShortRead:
            return L"Could not read file";
        case ReadError::kExtract:
            return L"Could not unzip file";
    }
    return L"";
}

ResourceStore::ResourceStore() = default;
ResourceStore::~ResourceStore() = default;

ResourceStore& ResourceStore::Process() {
    static ResourceStore store;
    return store;
}

void ResourceStore::SetSkinFolder(std::wstring_view path) {
    folder_ = path;
    if (!folder_.empty() && !folder_.ends_with(L'\\') && !folder_.ends_with(L'/')) {
        folder_ += L'/';
    }
}

void ResourceStore::SetSkinArchive(std::wstring_view name, bool cache) {
    if (name == archiveName_ && cache == cached_) {
        return;
    }
    archive_.reset();
    archiveName_ = name;
    cached_ = cache;
    if (cached_ && !archiveName_.empty()) {
        archive_ = OpenNamedArchive();
    }
}

void ResourceStore::SetSkinArchive(std::span<const std::uint8_t> bytes) {
    if (archiveName_ == kMemoryArchiveName) {
        return;
    }
    archive_.reset();
    archiveName_ = kMemoryArchiveName;
    cached_ = true;
    archive_ = SkinArchive::OpenMemory(bytes, Format());
}

bool ResourceStore::LoadSkinResource(int id) {
    std::span<const std::uint8_t> bytes = platform::FindResource(kSkinResourceType, id);
    if (bytes.empty()) {
        return false;
    }
    SetSkinArchive(bytes);
    return true;
}

std::unique_ptr<SkinArchive> ResourceStore::OpenNamedArchive() const {
    return SkinArchive::OpenFile(DiskPath(folder_, archiveName_), Format());
}

ReadError ResourceStore::ReadLayout(std::wstring_view name, std::string* bytes) const {
    return Read(name, kMaxLayoutSize, bytes);
}

ReadError ResourceStore::ReadItem(std::wstring_view name, std::string* bytes) const {
    return Read(name, UINT64_MAX, bytes);
}

ReadError ResourceStore::Read(std::wstring_view name, std::uint64_t limit, std::string* bytes) const {
    bytes->clear();
    if (archiveName_.empty()) {
        std::string path = DiskPath(folder_, name);
        std::optional<std::uint64_t> size =
            platform::IsRegularFile(path) ? platform::FileSize(path) : std::nullopt;
        if (!size) {
            return ReadError::kOpenFile;
        }
        if (ReadError error = CheckSize(*size, limit); error != ReadError::kNone) {
            return error;
        }
        if (!platform::ReadWholeFile(path, bytes) || bytes->size() < *size) {
            bytes->clear();
            return ReadError::kShortRead;
        }
        // A file that grew since it was measured is taken up to the size it had.
        bytes->resize(*size);
        return ReadError::kNone;
    }
    std::unique_ptr<SkinArchive> opened;
    const SkinArchive* archive = archive_.get();
    if (!archive && !(cached_ && archiveName_ == kMemoryArchiveName)) {
        opened = OpenNamedArchive();
        archive = opened.get();
    }
    if (!archive) {
        return ReadError::kOpenArchive;
    }
    const SkinArchive::Entry* entry = archive->Find(name);
    if (!entry) {
        return ReadError::kNotFound;
    }
    if (ReadError error = CheckSize(entry->bytes.size(), limit); error != ReadError::kNone) {
        return error;
    }
    *bytes = entry->bytes;
    return ReadError::kNone;
}

}  // namespace SkinUI
