#pragma once
// Serialisation of property values and objects into the collector's JSON text.

#include <cstdint>
#include <string>
#include <string_view>

#include "usage_collect/property_value.h"

namespace usage_collect {

// Appends the quoted string: '"' and '\' get a backslash, BS FF LF CR TAB their short escapes, every
// other byte goes through unchanged.
void AppendJsonString(std::string_view text, std::string* out);
// Appends a number as the default stream formatting does (6 significant digits); NaN and the
// infinities become null so that every record stays valid JSON.
void AppendJsonNumber(double value, std::string* out);
void AppendJsonValue(const PropertyValue& value, std::string* out);
// Members in key order; keys are written unescaped (they passed the variable-name rule).
void AppendJsonObject(const utils::ObjectNode& node, std::string* out);

// "YYYY-MM-DD hh:mm:ss.mmm" in local time.
std::string FormatDateTimeText(std::int64_t seconds, int milliseconds);

}  // namespace usage_collect
