// A stand-in for a previous version's uninstaller: speaks the uninstaller output protocol as its
// script says (see fake_script.h). The folder is everything after "_?=", blanks included, the way
// the installer writes it unquoted at the end of the command line. Without a script it removes the
// fake product and reports success.

#include <string>
#include <vector>

#include "fake_script.h"

namespace {

constexpr char kDefaultScript[] =
    "print Encode=UTF8\n"
    "print Progress=0.5\n"
    "remove-product\n"
    "print Progress=1\n"
    "print State=Success\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string folder;
    bool inFolder = false;
    for (const std::string& arg : args) {
        if (inFolder) {
            folder += " " + arg;
        } else if (arg.rfind("_?=", 0) == 0) {
            folder = arg.substr(3);
            inFolder = true;
        }
    }
    std::string script = fake_script::OwnScript();
    return fake_script::Run(script.empty() ? kDefaultScript : script, args, folder);
}
