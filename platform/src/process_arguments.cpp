#include "platform/process_arguments.h"

#include "platform/paths.h"

namespace platform {

std::vector<std::string> ProcessArguments() {
    std::vector<std::string> args;
    std::string cmdline;
    if (!ReadWholeFile("/proc/self/cmdline", &cmdline)) {
        return args;
    }
    size_t pos = 0;
    while (pos < cmdline.size()) {
        size_t end = cmdline.find('\0', pos);
        if (end == std::string::npos) {
            end = cmdline.size();
        }
        args.push_back(cmdline.substr(pos, end - pos));
        pos = end + 1;
    }
    return args;
}

}  // namespace platform
