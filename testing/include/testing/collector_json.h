#pragma once
// A small JSON reader for the collector fixture: enough to take the records of a batch apart and to
// see exactly how each number was written.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace glintcap_testing {

struct JsonValue {
    enum Kind { kNull, kBool, kNumber, kString, kArray, kObject };

    Kind kind = kNull;
    bool boolean = false;
    double number = 0;
    std::string text;  // a string's value, or a number as it was written
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;  // in the order written

    // The member's value, or nullptr.
    const JsonValue* Find(std::string_view key) const;
    bool Has(std::string_view key) const { return Find(key) != nullptr; }
    // The member's value; a null value when missing, so that chained look-ups fail in the assertion.
    const JsonValue& operator[](std::string_view key) const;
    std::vector<std::string> Keys() const;
};

// Parses the whole text as one value. False with a message naming the offset on any error.
bool ParseJson(std::string_view text, JsonValue* value, std::string* error);

}  // namespace glintcap_testing
