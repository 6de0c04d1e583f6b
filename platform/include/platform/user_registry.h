#pragma once
// A per-user store of named string values under key paths such as "Software\\Vendor\\Product", in
// place of the Windows registry's current-user hive. Stored under $XDG_CONFIG_HOME (default
// ~/.config)/glintcap-registry; key path components and value names compare case-insensitively.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

class UserRegistry {
public:
    // Uses the default location below the user's configuration folder.
    UserRegistry();
    // Keeps the store under `root` (tests).
    explicit UserRegistry(std::string root) : root_(std::move(root)) {}

    // Creates the key when missing. False when it cannot be written.
    bool SetString(std::string_view keyPath, std::string_view name, std::string_view value) const;
    // Empty optional when the key or the value does not exist.
    std::optional<std::string> GetString(std::string_view keyPath, std::string_view name) const;

    // The file that holds the values of `keyPath`.
    std::string KeyFile(std::string_view keyPath) const;

private:
    std::string root_;
};

}  // namespace platform
