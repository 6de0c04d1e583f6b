#include "skinui/skin_archive.h"

#include <archive.h>
#include <archive_entry.h>
#include <platform/paths.h>
#include <platform/utf.h>

#include <cwctype>

namespace SkinUI {
namespace {

struct ArchiveCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveCloser>;

// 7z archives made from a folder list their items as "./res/..."; the look-ups use "res/...".
std::wstring NormalisedName(std::wstring name) {
    while (name.starts_with(L"./")) {
        name.erase(0, 2);
    }
    return name;
}

// Names need a UTF-8 LC_CTYPE to come out of libarchive as wide text (see PrepareProcess).
std::wstring EntryName(archive_entry* entry) {
    if (const wchar_t* wide = archive_entry_pathname_w(entry)) {
        return wide;
    }
    if (const char* utf8 = archive_entry_pathname_utf8(entry)) {
        return platform::WideFromUtf8(utf8);
    }
    return {};
}

bool ReadEntryBytes(archive* a, std::string* bytes) {
    char buffer[65536];
    for (;;) {
        la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        bytes->append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

std::unique_ptr<SkinArchive> SkinArchive::OpenMemory(std::span<const std::uint8_t> bytes,
                                                     ArchiveFormat format) {
    if (bytes.empty()) {
        return nullptr;
    }
    ArchivePtr a(archive_read_new());
    if (!a) {
        return nullptr;
    }
    if (format == ArchiveFormat::kSevenZip) {
        archive_read_support_format_7zip(a.get());
    } else {
        archive_read_support_format_zip(a.get());
    }
    if (archive_read_open_memory(a.get(), bytes.data(), bytes.size()) != ARCHIVE_OK) {
        return nullptr;
    }
    auto result = std::unique_ptr<SkinArchive>(new SkinArchive);
    for (;;) {
        archive_entry* entry = nullptr;
        int status = archive_read_next_header(a.get(), &entry);
        if (status == ARCHIVE_EOF) {
            break;
        }
        // ARCHIVE_WARN still gives a usable entry; anything worse means a damaged archive.
        if (status < ARCHIVE_WARN) {
            return nullptr;
        }
        if (archive_entry_filetype(entry) == AE_IFDIR) {
            continue;
        }
        Entry item{NormalisedName(EntryName(entry)), {}};
        if (!ReadEntryBytes(a.get(), &item.bytes)) {
            return nullptr;
        }
        if (item.name.empty() || item.name.ends_with(L'/')) {
            continue;
        }
        result->entries_.push_back(std::move(item));
    }
    return result;
}

std::unique_ptr<SkinArchive> SkinArchive::OpenFile(const std::string& path, ArchiveFormat format) {
    std::string content;
    if (!platform::ReadWholeFile(path, &content)) {
        return nullptr;
    }
    return OpenMemory(std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()),
                      format);
}

const SkinArchive::Entry* SkinArchive::Find(std::wstring_view name) const {
    std::wstring wanted(name);
    for (wchar_t& c : wanted) {
        if (c == L'\\') {
            c = L'/';
        }
    }
    for (const Entry& entry : entries_) {
        if (EqualsIgnoringCase(entry.name, wanted)) {
            return &entry;
        }
    }
    return nullptr;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] &&
            std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace SkinUI
