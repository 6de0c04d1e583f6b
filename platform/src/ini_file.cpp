#include "platform/ini_file.h"

#include <cctype>
#include <vector>

#include "platform/paths.h"

namespace platform {
namespace {

std::string_view TrimBlanks(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// One line of an INI file, classified once.
struct Line {
    enum Kind { kOther, kSection, kEntry } kind = kOther;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // entry value, trimmed
    size_t begin = 0;        // offset of the line in the text
    size_t end = 0;          // offset just past its line break
    bool blank = false;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t newline = text.find('\n', pos);
        size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        std::string_view raw =
            TrimBlanks(text.substr(pos, (newline == std::string_view::npos ? end : newline) - pos));
        Line line;
        line.begin = pos;
        line.end = end;
        line.blank = raw.empty();
        if (!raw.empty() && raw.front() == '[') {
            size_t close = raw.find(']');
            line.kind = Line::kSection;
            line.name =
                TrimBlanks(raw.substr(1, close == std::string_view::npos ? raw.size() - 1 : close - 1));
        } else if (!raw.empty() && raw.front() != ';') {
            size_t eq = raw.find('=');
            line.kind = Line::kEntry;
            line.name = TrimBlanks(raw.substr(0, eq));
            line.value = eq == std::string_view::npos ? std::string_view() : TrimBlanks(raw.substr(eq + 1));
        }
        lines.push_back(line);
        pos = end;
    }
    return lines;
}

// Index of the first line of the section's body, or npos; `bodyEnd` gets one past its last line.
size_t FindSection(const std::vector<Line>& lines, std::string_view section, size_t* bodyEnd) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::kSection && EqualsNoCase(lines[i].name, section)) {
            size_t j = i + 1;
            while (j < lines.size() && lines[j].kind != Line::kSection) {
                ++j;
            }
            *bodyEnd = j;
            return i + 1;
        }
    }
    return std::string_view::npos;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::optional<std::string> IniFile::FindInText(std::string_view text, std::string_view section,
                                               std::string_view key) {
    std::vector<Line> lines = SplitLines(text);
    size_t bodyEnd = 0;
    size_t begin = FindSection(lines, section, &bodyEnd);
    if (begin != std::string_view::npos) {
        for (size_t i = begin; i < bodyEnd; ++i) {
            if (lines[i].kind == Line::kEntry && EqualsNoCase(lines[i].name, key)) {
                return std::string(lines[i].value);
            }
        }
    }
    return std::nullopt;
}

std::string IniFile::SetStringInText(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view value) {
    const char* lineBreak = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::string entry = std::string(key) + "=" + std::string(value) + lineBreak;
    std::vector<Line> lines = SplitLines(text);
    size_t bodyEnd = 0;
    size_t begin = FindSection(lines, section, &bodyEnd);
    std::string out(text);
    if (begin == std::string_view::npos) {
        if (!out.empty() && out.back() != '\n') {
            out += lineBreak;
        }
        out += "[" + std::string(section) + "]" + lineBreak + entry;
        return out;
    }
    size_t insertAt = begin < bodyEnd ? lines[begin].begin : lines[begin - 1].end;
    for (size_t i = begin; i < bodyEnd; ++i) {
        if (lines[i].kind == Line::kEntry && EqualsNoCase(lines[i].name, key)) {
            out.replace(lines[i].begin, lines[i].end - lines[i].begin, entry);
            return out;
        }
        if (!lines[i].blank) {
            insertAt = lines[i].end;  // after the section's last non-blank line
        }
    }
    if (insertAt > 0 && out[insertAt - 1] != '\n') {
        out.insert(insertAt, lineBreak);
        insertAt += std::string_view(lineBreak).size();
    }
    out.insert(insertAt, entry);
    return out;
}

int IniFile::ParseProfileInt(std::string_view value) {
    size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    int base = 10;
    if (i + 1 < value.size() && value[i] == '0') {
        char p = static_cast<char>(std::tolower(static_cast<unsigned char>(value[i + 1])));
        base = p == 'x' ? 16 : p == 'o' ? 8 : p == 'b' ? 2 : 10;
        if (base != 10) {
            i += 2;
        }
    }
    unsigned int result = 0;
    for (; i < value.size(); ++i) {
        int digit;
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(value[i])));
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            break;
        }
        if (digit >= base) {
            break;
        }
        result =
            result * static_cast<unsigned>(base) + static_cast<unsigned>(digit);  // wraps like the original
    }
    return static_cast<int>(negative ? 0u - result : result);
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    std::string text;
    if (!ReadWholeFile(path_, &text)) {
        return std::nullopt;
    }
    return FindInText(text, section, key);
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
    return Find(section, key).value_or(std::string(fallback));
}

int IniFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
    std::string value = GetString(section, key, "");
    return value.empty() ? fallback : ParseProfileInt(value);
}

bool IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) const {
    // A line break or an '=' in a name, or a line break in the value, would write another entry.
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        key.find('=') != std::string_view::npos || section.find(']') != std::string_view::npos) {
        return false;
    }
    std::string text;
    if (PathExists(path_) && !ReadWholeFile(path_, &text)) {
        return false;
    }
    return WriteFileAtomic(path_,
                           SetStringInText(text, TrimBlanks(section), TrimBlanks(key), TrimBlanks(value)));
}

}  // namespace platform
