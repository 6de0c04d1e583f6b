#include "platform/resources.h"

#include <string>
#include <vector>

namespace platform {
namespace {

struct Entry {
    std::string type;
    int id;
    std::span<const std::uint8_t> bytes;
};

// Filled by static registrations before main(); read-only afterwards.
std::vector<Entry>& Table() {
    static std::vector<Entry> table;
    return table;
}

}  // namespace

ResourceRegistration::ResourceRegistration(const char* type, int id, const std::uint8_t* begin,
                                           const std::uint8_t* end) {
    Table().push_back({type, id, std::span<const std::uint8_t>(begin, end)});
}

std::span<const std::uint8_t> FindResource(std::string_view type, int id) {
    for (const Entry& entry : Table()) {
        if (entry.type == type && entry.id == id) {
            return entry.bytes;
        }
    }
    return {};
}

}  // namespace platform
