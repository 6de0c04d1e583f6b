#include "install/download_installer.h"

#include "installer_settings.h"
#include "log_line.h"
#include "platform/paths.h"
#include "utils/folders.h"
#include "utils/text.h"

namespace {

std::string Narrow(const std::wstring& path) {
    return Utils::ToNarrow(path, Utils::kCodePageAnsi);
}
std::wstring Wide(const std::string& path) {
    return Utils::ToWide(path, Utils::kCodePageAnsi);
}

}  // namespace

CDownloadInstaller::CDownloadInstaller(DownloadCallback owner) : owner_(std::move(owner)) {}

CDownloadInstaller::~CDownloadInstaller() {
    uninstaller_.reset();
    downloader_.reset();
    packageInstaller_.reset();
}

void CDownloadInstaller::SetParams(std::wstring downloadUrl, std::wstring existingInstallFolder,
                                   std::wstring previousUninstaller, std::wstring installFolder,
                                   bool desktopShortcut, bool quickLaunch, bool consoleUserIsAdmin,
                                   bool processIsAdmin) {
    downloadUrl_ = std::move(downloadUrl);
    existingInstallFolder_ = std::move(existingInstallFolder);
    previousUninstaller_ = std::move(previousUninstaller);
    installFolder_ = std::move(installFolder);
    desktopShortcut_ = desktopShortcut;
    quickLaunch_ = quickLaunch;
    consoleUserIsAdmin_ = consoleUserIsAdmin;
    processIsAdmin_ = processIsAdmin;
}

std::wstring CDownloadInstaller::PackageFilePath() const {
    return Wide(
        platform::JoinPath(Narrow(installFolder_), "__Package_" + Narrow(Settings().ProductName) + ".exe"));
}

std::wstring CDownloadInstaller::UninstallerCopyPath() {
    std::wstring folder = Utils::GetWorkTempDir();
    return folder.empty() ? std::wstring() : folder + Settings().ProductName + L"_un_asa.exe";
}

void CDownloadInstaller::Start() {
    std::wstring packageFile = PackageFilePath();
    LOG_LINE("DL_TYPE=%d\r\n", Settings().DownloadType);
    if (!downloader_) {
        packageFilePath_ = packageFile;
        downloader_ = CreateDownloader(
            Settings().DownloadType,
            [this](int code, double value, const wchar_t* text) { DownloadHandler(code, value, text); },
            downloadUrl_, packageFilePath_);
    }
    if (!packageInstaller_) {
        packageInstaller_ = std::make_unique<PackageInstaller>(
            [this](int code, double value, const wchar_t* text) { InstallHandler(code, value, text); },
            L"\"" + packageFilePath_ + L"\"", installFolder_);
    }
    packageInstaller_->SetInstallFolder(installFolder_);
    packageInstaller_->SetFlags(desktopShortcut_, quickLaunch_, consoleUserIsAdmin_, processIsAdmin_);
    if (!previousUninstaller_.empty() && platform::PathExists(Narrow(previousUninstaller_))) {
        StartRemoval(previousUninstaller_);
    } else {
        downloader_->Start();
    }
}

void CDownloadInstaller::StartRemoval(const std::wstring& previousUninstaller) {
    std::wstring copyPath = UninstallerCopyPath();
    std::wstring previousFolder = Wide(platform::DirectoryOf(Narrow(previousUninstaller)));
    if (!copyPath.empty()) {
        // A stale copy from an earlier run must not stand in for a copy that failed.
        platform::RemoveFile(Narrow(copyPath));
        platform::CopyFile(Narrow(previousUninstaller), Narrow(copyPath));
    }
    uninstaller_.reset();  // joins the previous removal, whose late reports must not end this one
    removalEnded_ = false;
    uninstaller_ = std::make_unique<UnInstaller>(
        [this](int code, double value, const wchar_t* text) { UninstallHandler(code, value, text); },
        copyPath, previousFolder);
    uninstaller_->Start();
}

void CDownloadInstaller::DeletePackageFile() {
    platform::RemoveFile(Narrow(packageFilePath_));
}

void CDownloadInstaller::DownloadHandler(int code, double value, const wchar_t* text) {
    if (code == DL_CODE_FAIL) {
        DeletePackageFile();  // gone before the owner hears of the end and may start again
    }
    owner_(code, value, text);
    switch (code) {
        case DL_CODE_START:
            LOG_LINE("DL_CODE_START\r\n");
            // The folder the package is downloaded into and installed over.
            Utils::CreateDirectories(Wide(platform::DirectoryOf(Narrow(packageFilePath_))));
            stage_ = kStageDownloadStarted;
            break;
        case DL_CODE_PROGRESS:
            LOG_LINE("DL_CODE_PROGRESS\r\n");
            stage_ = kStageDownloadProgress;
            break;
        case DL_CODE_SUCCESS:
            stage_ = kStageDownloadFinished;
            LOG_LINE("DOWNLOAD_SUCCESS\r\n");
            // A downloaded file carries no execute permission; only a complete, checked package
            // gets it.
            platform::MakeExecutableForOwner(Narrow(packageFilePath_));
            packageInstaller_->RunPackage();
            LOG_LINE("DL_CODE_SUCCESS\r\n");
            break;
        case DL_CODE_FAIL:
            LOG_LINE("DL_CODE_FAIL\r\n");
            stage_ = kStageDownloadFailed;
            break;
        case DL_CODE_RETRY:
            LOG_LINE("DL_CODE_RETRY\r\n");
            downloader_->Start();
            break;
        default:
            break;
    }
}

void CDownloadInstaller::UninstallHandler(int code, double value, const wchar_t* text) {
    owner_(code, value, text);
    if (code == UNIST_CODE_PROGRESS) {
        LOG_LINE("UNIST_CODE_PROGRESS\r\n");
        stage_ = kStageRemovalProgress;
        return;
    }
    if (code != UNIST_CODE_SUCCESS && code != UNIST_CODE_FAIL && code != UNIST_CODE_ERROR) {
        return;
    }
    if (removalEnded_.exchange(true)) {
        LOG_LINE("removal already ended; report %d ignored\r\n", code);
        return;
    }
    if (code == UNIST_CODE_SUCCESS) {
        LOG_LINE("UNIST_CODE_SUCCESS\r\n");
        stage_ = kStageRemovalFinished;
        downloader_->Start();
    } else {
        LOG_LINE(code == UNIST_CODE_FAIL ? "UNIST_CODE_FAIL\r\n" : "UNIST_CODE_ERROR\r\n");
        stage_ = kStageRemovalFailed;
    }
}

void CDownloadInstaller::InstallHandler(int code, double value, const wchar_t* text) {
    if (code == IST_CODE_SUCCESS || code == IST_CODE_FAIL) {
        DeletePackageFile();  // gone before the owner hears of the end and may start again
    }
    owner_(code, value, text);
    switch (code) {
        case IST_CODE_START:
            LOG_LINE("IST_CODE_START\r\n");
            stage_ = kStageInstallStarted;
            break;
        case IST_CODE_PROGRESS:
            stage_ = kStageInstallProgress;
            break;
        case IST_CODE_SUCCESS:
            LOG_LINE("INSTALL_SUCCESS\r\n");
            stage_ = kStageInstallFinished;
            break;
        case IST_CODE_FAIL:
            LOG_LINE("IST_CODE_FAIL\r\n");
            stage_ = kStageInstallFailed;
            break;
        default:
            break;
    }
}
