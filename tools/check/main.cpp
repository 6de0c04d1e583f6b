// glintcap-check: developer commands, one per source file, chosen by the first argument.

#include <cstdio>
#include <cstring>

int RunDownloadCommand(int argc, char** argv);
int RunPackageCommand(int argc, char** argv);
int RunUninstallCommand(int argc, char** argv);
int RunInstallCommand(int argc, char** argv);
int RunTrackCommand(int argc, char** argv);

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);  // argv[0] is the command's name
    const char* usage;
};

const Command kCommands[] = {
    {"download", &RunDownloadCommand, "download --type N --url URL --out PATH"},
    {"package", &RunPackageCommand,
     "package --package PATH --instdir DIR [--dsc B] [--ssc B] [--adminact B] [--authorizationact B] "
     "[--instcmd TEXT]"},
    {"uninstall", &RunUninstallCommand, "uninstall --uninstaller PATH --folder DIR"},
    {"install", &RunInstallCommand,
     "install --url URL --instdir DIR [--type N] [--previous-uninstaller PATH]"},
    {"track", &RunTrackCommand, "track --server URL --data-dir DIR  (events on standard input)"},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2) {
        for (const Command& command : kCommands) {
            if (std::strcmp(argv[1], command.name) == 0) {
                return command.run(argc - 1, argv + 1);
            }
        }
    }
    std::fprintf(stderr, "usage:\n");
    for (const Command& command : kCommands) {
        std::fprintf(stderr, "  glintcap-check %s\n", command.usage);
    }
    return 2;
}
