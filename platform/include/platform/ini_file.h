#pragma once
// INI files with the semantics of the Windows profile functions: section and key names compare
// case-insensitively, values are trimmed of blanks but keep their quotes, a missing file or section is
// created on the first write, and everything else in the file is preserved. Each call reads the file
// afresh; writes replace the file atomically.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // The key's value; empty optional when the file, section or key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The key's value, or `fallback` when the file, section or key is missing.
    std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Integer like GetPrivateProfileInt: `fallback` when missing or empty; otherwise leading blanks, an
    // optional sign, an optional 0x/0o/0b base prefix and the digits that follow; no digits give 0.
    int GetInt(std::string_view section, std::string_view key, int fallback) const;
    // Sets the key, creating file and section when needed. False when the file cannot be written.
    bool SetString(std::string_view section, std::string_view key, std::string_view value) const;

    // The same reading rules on text, for tests and embedded defaults.
    static std::optional<std::string> FindInText(std::string_view text, std::string_view section,
                                                 std::string_view key);
    static std::string SetStringInText(std::string_view text, std::string_view section, std::string_view key,
                                       std::string_view value);
    static int ParseProfileInt(std::string_view value);

private:
    std::string path_;
};

}  // namespace platform
