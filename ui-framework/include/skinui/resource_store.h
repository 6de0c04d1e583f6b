#pragma once
// Finds the bytes of a skin file by name: in the skin folder on disk, or in a zip or 7z archive
// opened from a file or from memory (the executable's embedded "ZIPRES" resource). The window host
// exposes the process-wide store through its static settings; tests make stores of their own.
// Used on the UI thread only.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "skinui/skin_archive.h"

namespace SkinUI {

// Why a read failed; LayoutErrorText gives the layout parser's message for each.
enum class ReadError {
    kNone,
    kOpenFile,     // "Error opening file"
    kOpenArchive,  // "Error opening zip file"
    kNotFound,     // "Could not find ziped file"
    kEmpty,        // "File is empty"
    kTooLarge,     // "File too large"
    kShortRead,    // "Could not read file"
    kExtract,      // "Could not unzip file"
};
const wchar_t* LayoutErrorText(ReadError error);

inline constexpr std::uint64_t kMaxLayoutSize = 4194304;
inline constexpr wchar_t kMemoryArchiveName[] = L"membuffer";
inline constexpr char kSkinResourceType[] = "ZIPRES";
inline constexpr int kSkinResourceId = 147;

class ResourceStore {
public:
    ResourceStore();
    ~ResourceStore();
    ResourceStore(const ResourceStore&) = delete;
    ResourceStore& operator=(const ResourceStore&) = delete;

    // The store every window of the process shares.
    static ResourceStore& Process();

    // Folder prefix of every name; a separator is appended when the path ends in neither '\' nor '/'.
    void SetSkinFolder(std::wstring_view path);
    const std::wstring& GetSkinFolder() const { return folder_; }

    // An archive file inside the skin folder. When `cache` is set it is opened now and kept open.
    void SetSkinArchive(std::wstring_view name, bool cache);
    // An archive in memory, unpacked at once. Once an archive came from memory, later calls do
    // nothing: the first window's archive serves every later window.
    void SetSkinArchive(std::span<const std::uint8_t> bytes);
    const std::wstring& GetSkinArchive() const { return archiveName_; }
    bool IsSkinArchiveCached() const { return cached_; }
    // Archives are 7z when on, zip otherwise.
    void SetSkinArchive7z(bool on) { sevenZip_ = on; }
    bool GetSkinArchive7z() const { return sevenZip_; }

    // Opens the embedded resource of type "ZIPRES" with this id as the skin archive. False when
    // the resource is missing or empty.
    bool LoadSkinResource(int id);

    // Reads a layout file whole, refusing files larger than kMaxLayoutSize.
    ReadError ReadLayout(std::wstring_view name, std::string* bytes) const;
    // Reads any skin file (images have no size limit).
    ReadError ReadItem(std::wstring_view name, std::string* bytes) const;

private:
    ReadError Read(std::wstring_view name, std::uint64_t limit, std::string* bytes) const;
    std::unique_ptr<SkinArchive> OpenNamedArchive() const;
    ArchiveFormat Format() const { return sevenZip_ ? ArchiveFormat::kSevenZip : ArchiveFormat::kZip; }

    std::wstring folder_;
    std::wstring archiveName_;
    bool cached_ = false;
    bool sevenZip_ = false;
    std::unique_ptr<SkinArchive> archive_;  // set while a cached archive is open
};

}  // namespace SkinUI
