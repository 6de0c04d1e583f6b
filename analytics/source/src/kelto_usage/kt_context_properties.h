#pragma once
// Per-call context properties: named values registered for some event kinds and merged into those
// events' property sets. The installer registers only the A/B value "ktc_ab".

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "kelto_usage/kt_events.h"
#include "usage_collect/property_value.h"

namespace kelto::usage {

// A time value: seconds since 1970, or milliseconds when 157789440000 or more.
struct KtContextTime {
    std::int64_t value = 0;
};

using KtContextValue = std::variant<bool, KtContextTime, double, std::string, std::vector<std::string>>;

class KtContextProperties {
public:
    enum ValueKind { kBool = 0, kTime = 1, kDouble = 2, kString = 3, kList = 4 };

    struct Entry {
        std::shared_ptr<const KtContextValue> value;
        ValueKind kind;
        std::string name;
    };

    static constexpr char kAbPropertyName[] = "ktc_ab";

    // Up to three characters: A-Z, then A-Z or 0-9. Empty gives false; anything else invalid raises.
    static bool isValidABValue(const std::string& text);

    // Registers `value` as "ktc_ab" for each kind, in order.
    void setProperty(const std::string& value, const std::vector<int>& kinds);
    // Registers any value under its own name.
    void setProperty(const std::string& name, KtContextValue value, const std::vector<int>& kinds);
    const std::vector<Entry>& getEventProperties(int kind) const;

    // Puts every entry of the kind into the event's property set.
    void mergeInto(int kind, usage_collect::PropertiesNode* properties) const;

private:
    std::unordered_map<std::string, std::shared_ptr<const KtContextValue>> values_;
    std::array<std::vector<Entry>, kEventKindCount> kinds_;
};

// "YYYY-MM-DD hh:mm:ss.mmm" in local time for a context time value.
std::string FormatContextTime(std::int64_t value);

}  // namespace kelto::usage
