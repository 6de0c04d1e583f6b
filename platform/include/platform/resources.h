#pragma once
// Files linked into the executable (see glintcap_embed_resource in cmake/Resources.cmake), found
// by type and numeric id like the resources of a Windows executable.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

// Bytes of the resource, or an empty span when there is none with that type and id.
std::span<const std::uint8_t> FindResource(std::string_view type, int id);

// Called by the generated registration code before main().
struct ResourceRegistration {
    ResourceRegistration(const char* type, int id, const std::uint8_t* begin, const std::uint8_t* end);
};

}  // namespace platform
