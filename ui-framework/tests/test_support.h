#pragma once
// Small fixtures shared by the framework's tests: a private temporary folder and archives built in
// memory with libarchive's writer.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "skinui/skin_archive.h"

namespace SkinUI::testing {

// A fresh folder under the system's temporary folder, removed with its content at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& path() const { return path_; }
    std::wstring wide() const { return path_.wstring(); }
    // Writes `bytes` to `relative` (UTF-8, '/' separated), creating folders on the way.
    void Write(const std::string& relative, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

struct ArchiveItem {
    std::string name;  // UTF-8; a name ending in '/' becomes a folder entry
    std::string bytes;
};

// The bytes of a 7z or zip archive holding `items` in order.
std::string MakeArchive(ArchiveFormat format, const std::vector<ArchiveItem>& items);

}  // namespace SkinUI::testing
