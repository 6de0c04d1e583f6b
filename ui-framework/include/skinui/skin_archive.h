#pragma once
// An archive of skin files (7z or zip) unpacked into memory when it is opened, so that every later
// look-up is a search over the entries and a copy. Folders are not entries; names use '/' and lose
// any leading "./".

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace SkinUI {

enum class ArchiveFormat { kZip, kSevenZip };

class SkinArchive {
public:
    struct Entry {
        std::wstring name;
        std::string bytes;
    };

    // Null when the bytes are not a readable archive of that format.
    static std::unique_ptr<SkinArchive> OpenMemory(std::span<const std::uint8_t> bytes, ArchiveFormat format);
    // The path is UTF-8; null when the file cannot be read or is not such an archive.
    static std::unique_ptr<SkinArchive> OpenFile(const std::string& path, ArchiveFormat format);

    // The entry whose name equals `name` ignoring case, once every '\' in `name` became '/';
    // null when there is none.
    const Entry* Find(std::wstring_view name) const;

    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// True when `a` and `b` have the same length and are equal ignoring case, character by character.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace SkinUI
