#include "log_line.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/diagnostics.h"
#include "platform/system_info.h"

namespace logging {

std::string QualifiedFunctionName(const char* prettyFunction) {
    std::string_view text(prettyFunction);
    // Drop the parameter lists and template arguments outside the name, keeping "<lambda>" markers:
    // walk the text, skipping bracketed groups, and remember where the last top-level blank was.
    std::string name;
    int parens = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '(') {
            ++parens;
            continue;
        }
        if (c == ')') {
            --parens;
            continue;
        }
        if (parens > 0) {
            continue;
        }
        if (c == '<' && text.substr(i, 8) == "<lambda(") {
            name += "<lambda>";
            // skip to the matching '>'
            int depth = 0;
            for (; i < text.size(); ++i) {
                if (text[i] == '<') {
                    ++depth;
                } else if (text[i] == '>' && --depth == 0) {
                    break;
                }
            }
            continue;
        }
        if (c == ' ') {
            // A blank at the top level ends the return type ("void Ns::F") or starts a qualifier
            // ("F() const"): keep only what follows the last one that precedes the name.
            if (i + 1 < text.size() && text[i + 1] != '[') {
                name.clear();
            }
            continue;
        }
        if (c == '[') {
            break;  // " [with T = ...]"
        }
        name += c;
    }
    // "F() const" left "const" after the last blank: fall back to the name before it.
    if (name == "const" || name == "volatile" || name == "noexcept" || name == "&" || name == "&&") {
        std::string_view head = text.substr(0, text.find('('));
        size_t blank = head.rfind(' ');
        name = std::string(blank == std::string_view::npos ? head : head.substr(blank + 1));
    }
    return name;
}

}  // namespace logging

void LogLine(const char* function, int line, const char* format, ...) {
    platform::LocalTime now = platform::NowLocal();
    char prefix[256];
    int prefixLength =
        std::snprintf(prefix, sizeof prefix, "<P%05d><T%05d><%04d-%02d-%02d %02d:%02d:%02d.%03d>(",
                      platform::CurrentProcessId(), platform::CurrentThreadId(), now.year, now.month, now.day,
                      now.hour, now.minute, now.second, now.millisecond);
    if (prefixLength < 0) {
        return;
    }
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int messageLength = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (messageLength < 0) {
        va_end(args);
        return;
    }
    std::string text(prefix, static_cast<size_t>(prefixLength));
    text += function;
    char lineField[32];
    std::snprintf(lineField, sizeof lineField, ")<%04d>: ", line);
    text += lineField;
    size_t start = text.size();
    text.resize(start + static_cast<size_t>(messageLength) + 1);
    std::vsnprintf(text.data() + start, static_cast<size_t>(messageLength) + 1, format, args);
    va_end(args);
    text.resize(start + static_cast<size_t>(messageLength));
    // Every write is a line of its own on the stream, even for messages given without a line end.
    if (text.back() != '\n') {
        text += '\n';
    }
    platform::WriteDiagnosticLine(text);
}
