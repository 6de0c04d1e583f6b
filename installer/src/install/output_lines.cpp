#include "install/output_lines.h"

#include <charconv>
#include <climits>
#include <cwctype>

namespace output_lines {
namespace {

// The ASCII number text at the start of `rest` after blanks, as sscanf would see it; characters
// outside ASCII end it. The decimal point is always '.', whatever the process locale.
std::string NumberText(std::wstring_view rest) {
    std::size_t i = 0;
    while (i < rest.size() && std::iswspace(rest[i])) {
        ++i;
    }
    std::string text;
    for (; i < rest.size() && rest[i] > L' ' && rest[i] < 0x7F; ++i) {
        text += static_cast<char>(rest[i]);
    }
    if (!text.empty() && text[0] == '+') {
        text.erase(0, 1);
    }
    return text;
}

// Parses an integer at the start of `text`; returns the characters used (0 for none).
std::size_t ParseInt(const std::string& text, int* value) {
    long long parsed = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (end == text.data()) {
        return 0;
    }
    if (error == std::errc::result_out_of_range) {
        parsed = text[0] == '-' ? INT_MIN : INT_MAX;
    }
    *value = static_cast<int>(parsed < INT_MIN ? INT_MIN : parsed > INT_MAX ? INT_MAX : parsed);
    return static_cast<std::size_t>(end - text.data());
}

}  // namespace

std::vector<std::wstring_view> SplitLines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    while (!text.empty()) {
        std::size_t feed = text.find(L'\n');
        std::wstring_view line = text.substr(0, feed);
        if (!line.empty()) {
            lines.push_back(line);
        }
        text.remove_prefix(feed == std::wstring_view::npos ? text.size() : feed + 1);
    }
    return lines;
}

bool StartsWithKey(std::wstring_view line, std::wstring_view key, std::wstring_view* rest) {
    if (line.substr(0, key.size()) != key) {
        return false;
    }
    *rest = line.substr(key.size());
    return true;
}

std::wstring ValueText(std::wstring_view rest) {
    if (rest.size() > kMaxValueLength) {
        return {};
    }
    return std::wstring(rest);
}

double LeadingDouble(std::wstring_view rest) {
    std::string text = NumberText(rest);
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end == text.data() || error != std::errc()) {
        return 0.0;
    }
    return value;
}

int LeadingInt(std::wstring_view rest) {
    int value = 0;
    ParseInt(NumberText(rest), &value);
    return value;
}

int LeadingDottedInts(std::wstring_view rest, int* values, int count) {
    std::string text = NumberText(rest);
    std::size_t at = 0;
    for (int read = 0; read < count; ++read) {
        if (read > 0) {
            if (at >= text.size() || text[at] != '.') {
                return read;
            }
            ++at;
        }
        std::size_t used = ParseInt(text.substr(at), &values[read]);
        if (used == 0) {
            return read;
        }
        at += used;
    }
    return count;
}

}  // namespace output_lines
