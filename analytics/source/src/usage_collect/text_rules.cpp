#include "usage_collect/text_rules.h"

namespace usage_collect {
namespace {

bool IsNameStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '$' || c == '_';
}
bool IsNameByte(unsigned char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

bool InRange(std::string_view text, std::size_t at, unsigned char low, unsigned char high) {
    if (at >= text.size()) {
        return false;
    }
    auto c = static_cast<unsigned char>(text[at]);
    return c >= low && c <= high;
}

// Length of the well-formed sequence starting at `at` (RFC 3629 table), or 0.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        bool allowed = lead == '\t' || lead == '\n' || lead == '\r' || (lead >= 0x20 && lead <= 0x7E);
        return allowed ? 1 : 0;
    }
    // Range of the second byte and number of plain continuation bytes after it.
    unsigned char low = 0x80, high = 0xBF;
    std::size_t tail = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        tail = 0;
    } else if (lead == 0xE0) {
        low = 0xA0, tail = 1;
    } else if ((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF) {
        tail = 1;
    } else if (lead == 0xED) {
        high = 0x9F, tail = 1;
    } else if (lead == 0xF0) {
        low = 0x90, tail = 2;
    } else if (lead >= 0xF1 && lead <= 0xF3) {
        tail = 2;
    } else if (lead == 0xF4) {
        high = 0x8F, tail = 2;
    } else {
        return 0;
    }
    if (!InRange(text, at + 1, low, high)) {
        return 0;
    }
    for (std::size_t i = 0; i < tail; ++i) {
        if (!InRange(text, at + 2 + i, 0x80, 0xBF)) {
            return 0;
        }
    }
    return 2 + tail;
}

}  // namespace

bool CheckVariableName(std::string_view name, std::string_view what, std::string* message) {
    if (name.empty() || name.size() > kMaxNameLength) {
        *message = "The " + std::string(what) + " is empty or too long, max length is 100";
        return false;
    }
    bool valid = IsNameStart(static_cast<unsigned char>(name[0]));
    for (std::size_t i = 1; valid && i < name.size(); ++i) {
        valid = IsNameByte(static_cast<unsigned char>(name[i]));
    }
    if (!valid) {
        *message = "The " + std::string(what) + " need to be a valid variable name.";
    }
    return valid;
}

bool CheckIdentifier(std::string_view id, std::string_view what, std::string* message) {
    if (id.empty()) {
        *message = "The " + std::string(what) + " is empty.";
        return false;
    }
    if (id.size() > kMaxIdentifierLength) {
        *message = "The " + std::string(what) + " is too long, max length is 255.";
        return false;
    }
    return true;
}

bool IsAcceptableUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

bool CheckStringValue(std::string_view key, std::string_view text, std::string* message) {
    if (text.size() > kMaxStringValueLength) {
        *message = "String property '" + std::string(key) + "' is too long, value: " + std::string(text);
        return false;
    }
    if (!IsAcceptableUtf8(text)) {
        *message = "String property '" + std::string(key) +
                   "' is not valid UTF-8 string, value: " + std::string(text);
        return false;
    }
    return true;
}

}  // namespace usage_collect
