#pragma once
// Runs the downloaded package silently with the switches that carry the user's choices, and turns
// the key=value lines of its standard output into reports (2001-2004, 3000-3009) on its run thread.

#include <memory>
#include <string>
#include <string_view>

#include "install/install_codes.h"
#include "utils/thread.h"

class PackageInstaller {
public:
    // The wait for output between two looks at the package's state.
    static constexpr int kPollMs = 100;

    PackageInstaller(DownloadCallback callback, std::wstring quotedPackagePath, std::wstring installFolder);
    // Waits for the run thread (and so for the package) to end.
    ~PackageInstaller();
    PackageInstaller(const PackageInstaller&) = delete;
    PackageInstaller& operator=(const PackageInstaller&) = delete;

    // Set by the owner before each run.
    void SetInstallFolder(std::wstring folder) { installFolder_ = std::move(folder); }
    void SetFlags(bool desktopShortcut, bool quickLaunch, bool consoleUserIsAdmin, bool processIsAdmin);

    // Builds the command line, waits for and discards a previous run thread, and starts a new one
    // named "ABDEF". Returns at once.
    void RunPackage();
    // The package path, "/S" and the switches; see the package protocol document.
    std::wstring BuildCommandLine() const;
    // Parses one decoded chunk of output and reports what it finds; returns kParseNoFinalLine,
    // kParseSuccess or kParseFailure (the last final line of the chunk counts).
    int ParseOutput(std::wstring_view text);

    struct Version {
        int major = 0, minor = 0, patch = 0;
    };
    // From the last "InstallVersion=" line; read it only while no run thread is active.
    Version InstalledVersion() const { return installedVersion_; }

private:
    void RunThread(const std::wstring& commandLine, bool safe);
    bool CommandLineIsSafe() const;
    void Notify(int code, double value, const std::wstring& text = {});
    void ParseLine(std::wstring_view line, int* result);

    DownloadCallback callback_;
    std::wstring quotedPackagePath_;
    std::wstring installFolder_;
    std::wstring commandLine_;
    bool quickLaunch_ = true;
    bool desktopShortcut_ = true;
    unsigned outputCodePage_ = 0;
    std::unique_ptr<Utils::Thread> runThread_;
    Version installedVersion_;
    bool consoleUserIsAdmin_ = true;
    bool processIsAdmin_ = true;
};
