#include "kelto_usage/kt_context_properties.h"

#include "kelto_usage/kt_exception.h"
#include "usage_collect/json_writer.h"

namespace kelto::usage {
namespace {

constexpr std::int64_t kMillisecondThreshold = 157789440000;

bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsUpperOrDigit(char c) {
    return IsUpper(c) || (c >= '0' && c <= '9');
}

}  // namespace

std::string FormatContextTime(std::int64_t value) {
    if (value >= kMillisecondThreshold) {
        return usage_collect::FormatDateTimeText(value / 1000, static_cast<int>(value % 1000));
    }
    return usage_collect::FormatDateTimeText(value, 0);
}

bool KtContextProperties::isValidABValue(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    if (text.size() >= 4) {
        KT_THROW(kContextPropertiesSource, "isValidABValue", "value's length is great than 3.");
    }
    if (!IsUpper(text[0])) {
        KT_THROW(kContextPropertiesSource, "isValidABValue", "First char is not in A to Z");
    }
    if (text.size() > 1 && !IsUpperOrDigit(text[1])) {
        KT_THROW(kContextPropertiesSource, "isValidABValue", "second char is not in A to Z and 0 to 9");
    }
    if (text.size() > 2 && !IsUpperOrDigit(text[2])) {
        KT_THROW(kContextPropertiesSource, "isValidABValue", "third char is not in A to Z and 0 to 9");
    }
    return true;
}

void KtContextProperties::setProperty(const std::string& value, const std::vector<int>& kinds) {
    setProperty(kAbPropertyName, KtContextValue(value), kinds);
}

void KtContextProperties::setProperty(const std::string& name, KtContextValue value,
                                      const std::vector<int>& kinds) {
    auto shared = std::make_shared<const KtContextValue>(std::move(value));
    if (!values_.emplace(name, shared).second) {
        KT_THROW(kContextPropertiesSource, "setProperty", "Property[" + name + "] already exist!");
    }
    auto kind = static_cast<ValueKind>(shared->index());
    for (int eventKind : kinds) {
        if (eventKind < 0 || eventKind >= kEventKindCount) {
            KT_THROW(kContextPropertiesSource, "setProperty",
                     "KtEvent[" + std::to_string(eventKind) + "] overflow!");
        }
        kinds_[static_cast<std::size_t>(eventKind)].push_back(Entry{shared, kind, name});
    }
}

const std::vector<KtContextProperties::Entry>& KtContextProperties::getEventProperties(int kind) const {
    if (kind < 0 || kind >= kEventKindCount) {
        KT_THROW(kContextPropertiesSource, "getEventProperties",
                 "KtEvent[" + std::to_string(kind) + "] overflow!");
    }
    return kinds_[static_cast<std::size_t>(kind)];
}

void KtContextProperties::mergeInto(int kind, usage_collect::PropertiesNode* properties) const {
    for (const Entry& entry : getEventProperties(kind)) {
        const KtContextValue& value = *entry.value;
        switch (entry.kind) {
            case kBool:
                properties->SetBool(entry.name, std::get<bool>(value));
                break;
            case kTime:
                properties->SetString(entry.name, FormatContextTime(std::get<KtContextTime>(value).value));
                break;
            case kDouble:
                properties->SetNumber(entry.name, std::get<double>(value));
                break;
            case kString:
                properties->SetString(entry.name, std::get<std::string>(value));
                break;
            case kList:
                properties->SetList(entry.name, std::get<std::vector<std::string>>(value));
                break;
        }
    }
}

}  // namespace kelto::usage
