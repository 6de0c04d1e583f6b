#include "usage_collect/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/local_time.h"

namespace usage_collect {

void AppendJsonString(std::string_view text, std::string* out) {
    out->push_back('"');
    for (char c : text) {
        switch (c) {
            case '"':
                out->append("\\\"");
                break;
            case '\\':
                out->append("\\\\");
                break;
            case '\b':
                out->append("\\b");
                break;
            case '\f':
                out->append("\\f");
                break;
            case '\n':
                out->append("\\n");
                break;
            case '\r':
                out->append("\\r");
                break;
            case '\t':
                out->append("\\t");
                break;
            default:
                out->push_back(c);
        }
    }
    out->push_back('"');
}

void AppendJsonNumber(double value, std::string* out) {
    if (!std::isfinite(value)) {
        out->append("null");
        return;
    }
    // %g with the default precision is exactly what an ostream writes for a double.
    char buffer[32];
    int length = std::snprintf(buffer, sizeof buffer, "%g", value);
    out->append(buffer, static_cast<std::size_t>(length));
}

void AppendJsonValue(const PropertyValue& value, std::string* out) {
    switch (value.type()) {
        case PropertyValue::kNumber:
            AppendJsonNumber(value.number(), out);
            break;
        case PropertyValue::kInteger: {
            char buffer[24];
            auto end = std::to_chars(buffer, buffer + sizeof buffer, value.integer()).ptr;
            out->append(buffer, end);
            break;
        }
        case PropertyValue::kString:
            AppendJsonString(value.string(), out);
            break;
        case PropertyValue::kList: {
            out->push_back('[');
            bool first = true;
            for (const auto& item : value.list()) {
                if (!first) {
                    out->push_back(',');
                }
                first = false;
                AppendJsonString(item, out);
            }
            out->push_back(']');
            break;
        }
        case PropertyValue::kDateTime:
            AppendJsonString(FormatDateTimeText(value.dateTime().seconds, value.dateTime().milliseconds),
                             out);
            break;
        case PropertyValue::kBool:
            out->append(value.boolean() ? "true" : "false");
            break;
        case PropertyValue::kObject:
            AppendJsonObject(value.object(), out);
            break;
    }
}

void AppendJsonObject(const utils::ObjectNode& node, std::string* out) {
    out->push_back('{');
    bool first = true;
    for (const auto& [key, value] : node.members()) {
        if (!first) {
            out->push_back(',');
        }
        first = false;
        out->push_back('"');
        out->append(key);
        out->append("\":");
        AppendJsonValue(value, out);
    }
    out->push_back('}');
}

std::string FormatDateTimeText(std::int64_t seconds, int milliseconds) {
    platform::LocalTime t = platform::LocalTimeOf(seconds, milliseconds);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.millisecond);
    return buffer;
}

}  // namespace usage_collect
