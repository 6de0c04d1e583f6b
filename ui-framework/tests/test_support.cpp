#include "test_support.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "skinui/process_setup.h"

namespace SkinUI::testing {

// The program prepares the process before any thread starts; the tests do the same before main().
static const bool kProcessPrepared = PrepareProcess();

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "skinui-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        ADD_FAILURE() << "mkdtemp failed";
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::Write(const std::string& relative, const std::string& bytes) const {
    std::filesystem::path file = path_ / std::filesystem::u8path(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << file;
}

std::string MakeArchive(ArchiveFormat format, const std::vector<ArchiveItem>& items) {
    EXPECT_TRUE(kProcessPrepared);
    archive* a = archive_write_new();
    if (format == ArchiveFormat::kSevenZip) {
        archive_write_set_format_7zip(a);
    } else {
        archive_write_set_format_zip(a);
    }
    std::string out(items.size() * 1024 + 65536, '\0');
    for (const ArchiveItem& item : items) {
        out.resize(out.size() + item.bytes.size() + 4096);
    }
    size_t used = 0;
    EXPECT_EQ(archive_write_open_memory(a, out.data(), out.size(), &used), ARCHIVE_OK);
    for (const ArchiveItem& item : items) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname_utf8(entry, item.name.c_str());
        bool folder = item.name.ends_with('/');
        archive_entry_set_filetype(entry, folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry, folder ? 0755 : 0644);
        archive_entry_set_size(entry, folder ? 0 : static_cast<la_int64_t>(item.bytes.size()));
        EXPECT_EQ(archive_write_header(a, entry), ARCHIVE_OK) << archive_error_string(a);
        if (!folder) {
            EXPECT_EQ(archive_write_data(a, item.bytes.data(), item.bytes.size()),
                      static_cast<la_ssize_t>(item.bytes.size()));
        }
        archive_entry_free(entry);
    }
    EXPECT_EQ(archive_write_close(a), ARCHIVE_OK) << archive_error_string(a);
    archive_write_free(a);
    out.resize(used);
    return out;
}

}  // namespace SkinUI::testing
