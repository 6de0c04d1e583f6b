#include "platform/child_process.h"

namespace platform {

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> args;
    size_t i = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };

    // The program name: quotes group, backslashes are literal, it ends at a blank outside quotes.
    if (line.empty()) {
        return args;
    }
    std::string program;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && isBlank(c)) {
            break;
        } else {
            program += c;
        }
    }
    args.push_back(program);

    for (;;) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (i >= line.size()) {
            break;
        }
        std::string arg;
        quoted = false;
        while (i < line.size()) {
            char c = line[i];
            if (c == '\\') {
                size_t backslashes = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    arg.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(backslashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';  // "" inside quotes is a literal quote and quoting goes on
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            if (!quoted && isBlank(c)) {
                break;
            }
            arg += c;
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

}  // namespace platform
