#pragma once
// Runs a previous version's uninstaller (a copy in the private work folder) silently over the
// previous install folder and reports its progress and result (5002-5005) from its run thread.

#include <memory>
#include <string>
#include <string_view>

#include "install/install_codes.h"
#include "utils/thread.h"

class UnInstaller {
public:
    static constexpr int kPollMs = 100;

    UnInstaller(DownloadCallback callback, std::wstring uninstallerPath, std::wstring previousInstallFolder);
    // Waits for the run thread (and so for the uninstaller) to end.
    ~UnInstaller();
    UnInstaller(const UnInstaller&) = delete;
    UnInstaller& operator=(const UnInstaller&) = delete;

    // Builds the command line and starts the run thread named "UnInstaller". Returns at once.
    void Start();
    // The quoted uninstaller path, "/S", the two administrator switches, "-console=show" and, last,
    // "_?=" with the previous install folder unquoted.
    std::wstring BuildCommandLine() const;
    // Parses one decoded chunk of output and reports what it finds; returns kParseNoFinalLine,
    // kParseSuccess or kParseFailure (the last final line of the chunk counts).
    int ParseOutput(std::wstring_view text);

private:
    void RunThread(const std::wstring& commandLine);
    void Notify(int code, double value, const std::wstring& text = {});

    DownloadCallback callback_;
    std::wstring commandLine_;
    std::wstring uninstallerPath_;
    std::wstring previousInstallFolder_;
    unsigned outputCodePage_ = 0;
    std::unique_ptr<Utils::Thread> runThread_;
};
