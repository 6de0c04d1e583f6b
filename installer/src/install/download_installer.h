#pragma once
// Runs one installation once the user has confirmed it: removes the previous version when there is
// one, downloads the package, runs it. Each worker's end starts the next from the finishing worker's
// thread; every report goes unchanged to the owner first, and the orchestrator only reacts to the
// codes that move the sequence on and keeps the stage number.

#include <atomic>
#include <memory>
#include <string>

#include "download/downloader.h"
#include "install/install_codes.h"
#include "install/package_installer.h"
#include "install/uninstaller.h"

class CDownloadInstaller {
public:
    explicit CDownloadInstaller(DownloadCallback owner);
    // Stops and joins the workers in the order that keeps each one's successor alive: the
    // uninstaller (it may start the downloader), the downloader (it may start the package), the
    // package installer.
    ~CDownloadInstaller();
    CDownloadInstaller(const CDownloadInstaller&) = delete;
    CDownloadInstaller& operator=(const CDownloadInstaller&) = delete;

    void SetParams(std::wstring downloadUrl, std::wstring existingInstallFolder,
                   std::wstring previousUninstaller, std::wstring installFolder, bool desktopShortcut,
                   bool quickLaunch, bool consoleUserIsAdmin, bool processIsAdmin);
    // The current install folder + "/__Package_Glintcap.exe".
    std::wstring PackageFilePath() const;
    // Starts a run (removal when a previous uninstaller exists, else the download) and returns.
    void Start();
    // 1 after construction; see the stage constants below.
    int Stage() const { return stage_.load(); }

    static constexpr int kStageCreated = 1;
    static constexpr int kStageDownloadStarted = 2;
    static constexpr int kStageDownloadProgress = 3;
    static constexpr int kStageDownloadFinished = 4;
    static constexpr int kStageDownloadFailed = 5;
    static constexpr int kStageRemovalProgress = 7;
    static constexpr int kStageRemovalFinished = 8;
    static constexpr int kStageRemovalFailed = 9;
    static constexpr int kStageInstallStarted = 10;
    static constexpr int kStageInstallProgress = 11;
    static constexpr int kStageInstallFinished = 12;
    static constexpr int kStageInstallFailed = 13;

    // Where the previous uninstaller is copied before it runs; empty without a work folder.
    static std::wstring UninstallerCopyPath();

private:
    void DownloadHandler(int code, double value, const wchar_t* text);
    void UninstallHandler(int code, double value, const wchar_t* text);
    void InstallHandler(int code, double value, const wchar_t* text);
    void StartRemoval(const std::wstring& previousUninstaller);
    void DeletePackageFile();

    std::unique_ptr<UnInstaller> uninstaller_;
    std::unique_ptr<CDownloader> downloader_;
    std::unique_ptr<PackageInstaller> packageInstaller_;
    // SetParams and Start run on the owner's thread; the handlers read only packageFilePath_.
    std::wstring downloadUrl_;
    std::wstring existingInstallFolder_;
    std::wstring previousUninstaller_;
    std::wstring installFolder_;
    // The file the downloader writes and the package installer runs: fixed when they are created
    // by the first Start, so the file deleted is always the one that was downloaded.
    std::wstring packageFilePath_;
    bool desktopShortcut_ = true;
    bool quickLaunch_ = true;
    bool consoleUserIsAdmin_ = true;
    bool processIsAdmin_ = false;
    DownloadCallback owner_;
    std::atomic<int> stage_{kStageCreated};
    // Only the first final report of a removal moves the sequence on (an uninstaller may write
    // several final lines, and each would otherwise start another download).
    std::atomic<bool> removalEnded_{false};
};
