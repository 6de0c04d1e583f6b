// A stand-in for the product's package: speaks the package output protocol as its script says (see
// fake_script.h). Without a script it plays a few seconds of progress, installs a fake product into
// the "-instdir=" folder and reports success, which is what the demo shows.

#include <string>
#include <vector>

#include "fake_script.h"

namespace {

constexpr char kDemoScript[] =
    "print Encode=UTF8\n"
    "progress 3000 30\n"
    "install-product\n"
    "print InstPath=${INSTDIR}\n"
    "print ExePath=${INSTDIR}/Glintcap.exe\n"
    "print UninstEp=${INSTDIR}/uninst.ep\n"
    "print StartupStyle=UserStartup\n"
    "print State=Success\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string instdir;
    for (const std::string& arg : args) {
        if (arg.rfind("-instdir=", 0) == 0) {
            instdir = arg.substr(9);
        }
    }
    std::string script = fake_script::OwnScript();
    return fake_script::Run(script.empty() ? kDemoScript : script, args, instdir);
}
