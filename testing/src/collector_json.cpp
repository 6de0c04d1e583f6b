#include "testing/collector_json.h"

#include <cstdlib>

namespace glintcap_testing {
namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    bool ParseDocument(JsonValue* value, std::string* error) {
        bool ok = ParseValue(value, 0);
        SkipBlanks();
        if (ok && at_ != text_.size()) {
            ok = Fail("trailing text");
        }
        if (!ok) {
            *error = error_;
        }
        return ok;
    }

private:
    bool Fail(const std::string& what) {
        if (error_.empty()) {
            error_ = what + " at offset " + std::to_string(at_);
        }
        return false;
    }

    void SkipBlanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    bool Literal(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) {
            return Fail("bad literal");
        }
        at_ += word.size();
        return true;
    }

    bool ParseValue(JsonValue* value, int depth) {
        if (depth > 64) {
            return Fail("nesting too deep");
        }
        SkipBlanks();
        if (at_ >= text_.size()) {
            return Fail("unexpected end");
        }
        char c = text_[at_];
        if (c == '{') {
            return ParseObject(value, depth);
        }
        if (c == '[') {
            return ParseArray(value, depth);
        }
        if (c == '"') {
            value->kind = JsonValue::kString;
            return ParseString(&value->text);
        }
        if (c == 't' || c == 'f') {
            value->kind = JsonValue::kBool;
            value->boolean = c == 't';
            return Literal(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            value->kind = JsonValue::kNull;
            return Literal("null");
        }
        return ParseNumber(value);
    }

    bool ParseNumber(JsonValue* value) {
        std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') {
            ++at_;
        }
        auto digits = [&] {
            std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
                ++at_;
            }
            return at_ > from;
        };
        if (!digits()) {
            return Fail("bad number");
        }
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (!digits()) {
                return Fail("bad fraction");
            }
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) {
                ++at_;
            }
            if (!digits()) {
                return Fail("bad exponent");
            }
        }
        value->kind = JsonValue::kNumber;
        value->text = std::string(text_.substr(start, at_ - start));
        value->number = std::strtod(value->text.c_str(), nullptr);
        return true;
    }

    static void AppendUtf8(unsigned code, std::string* out) {
        if (code < 0x80) {
            out->push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out->push_back(static_cast<char>(0xC0 | (code >> 6)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out->push_back(static_cast<char>(0xE0 | (code >> 12)));
            out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }

    bool ParseString(std::string* out) {
        ++at_;  // opening quote
        out->clear();
        while (at_ < text_.size()) {
            char c = text_[at_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail("raw control character in string");
            }
            if (c != '\\') {
                out->push_back(c);
                continue;
            }
            if (at_ >= text_.size()) {
                break;
            }
            char e = text_[at_++];
            switch (e) {
                case '"':
                    out->push_back('"');
                    break;
                case '\\':
                    out->push_back('\\');
                    break;
                case '/':
                    out->push_back('/');
                    break;
                case 'b':
                    out->push_back('\b');
                    break;
                case 'f':
                    out->push_back('\f');
                    break;
                case 'n':
                    out->push_back('\n');
                    break;
                case 'r':
                    out->push_back('\r');
                    break;
                case 't':
                    out->push_back('\t');
                    break;
                case 'u': {
                    if (at_ + 4 > text_.size()) {
                        return Fail("short \\u escape");
                    }
                    std::string hex(text_.substr(at_, 4));
                    char* end = nullptr;
                    unsigned code = static_cast<unsigned>(std::strtoul(hex.c_str(), &end, 16));
                    if (end != hex.c_str() + 4) {
                        return Fail("bad \\u escape");
                    }
                    at_ += 4;
                    AppendUtf8(code, out);
                    break;
                }
                default:
                    return Fail("bad escape");
            }
        }
        return Fail("unterminated string");
    }

    bool ParseArray(JsonValue* value, int depth) {
        value->kind = JsonValue::kArray;
        ++at_;
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return true;
        }
        for (;;) {
            value->items.emplace_back();
            if (!ParseValue(&value->items.back(), depth + 1)) {
                return false;
            }
            SkipBlanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == ']') {
                ++at_;
                return true;
            }
            return Fail("expected , or ]");
        }
    }

    bool ParseObject(JsonValue* value, int depth) {
        value->kind = JsonValue::kObject;
        ++at_;
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return true;
        }
        for (;;) {
            SkipBlanks();
            if (at_ >= text_.size() || text_[at_] != '"') {
                return Fail("expected member name");
            }
            std::string key;
            if (!ParseString(&key)) {
                return false;
            }
            SkipBlanks();
            if (at_ >= text_.size() || text_[at_] != ':') {
                return Fail("expected :");
            }
            ++at_;
            value->members.emplace_back(std::move(key), JsonValue());
            if (!ParseValue(&value->members.back().second, depth + 1)) {
                return false;
            }
            SkipBlanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == '}') {
                ++at_;
                return true;
            }
            return Fail("expected , or }");
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
    for (const auto& [name, value] : members) {
        if (name == key) {
            return &value;
        }
    }
    return nullptr;
}

const JsonValue& JsonValue::operator[](std::string_view key) const {
    static const JsonValue kMissing;
    const JsonValue* found = Find(key);
    return found ? *found : kMissing;
}

std::vector<std::string> JsonValue::Keys() const {
    std::vector<std::string> keys;
    for (const auto& member : members) {
        keys.push_back(member.first);
    }
    return keys;
}

bool ParseJson(std::string_view text, JsonValue* value, std::string* error) {
    *value = JsonValue();
    return Parser(text).ParseDocument(value, error);
}

}  // namespace glintcap_testing
