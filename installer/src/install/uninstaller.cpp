#include "install/uninstaller.h"

#include "install/child_output_reader.h"
#include "install/command_line_rules.h"
#include "install/output_lines.h"
#include "log_line.h"
#include "platform/paths.h"
#include "utils/exception.h"
#include "utils/pipe_process.h"
#include "utils/system_checks.h"
#include "utils/text.h"

UnInstaller::UnInstaller(DownloadCallback callback, std::wstring uninstallerPath,
                         std::wstring previousInstallFolder)
    : callback_(std::move(callback)),
      uninstallerPath_(std::move(uninstallerPath)),
      previousInstallFolder_(std::move(previousInstallFolder)) {}

UnInstaller::~UnInstaller() {
    runThread_.reset();
}

std::wstring UnInstaller::BuildCommandLine() const {
    std::wstring consoleUser;
    bool consoleUserIsAdmin = Utils::GetConsoleUserName(consoleUser) && Utils::IsAdminAccount(consoleUser);
    std::wstring line = L"\"" + uninstallerPath_ + L"\" /S";
    line += std::wstring(L" -adminact=") + (consoleUserIsAdmin ? L"true" : L"false");
    line += std::wstring(L" -authorizationact=") + (Utils::IsUserAdmin() ? L"true" : L"false");
    line += L" -console=show _?=" + previousInstallFolder_;
    return line;
}

void UnInstaller::Start() {
    commandLine_ = BuildCommandLine();
    runThread_.reset();
    runThread_ = std::make_unique<Utils::Thread>(
        this, L"UnInstaller", [this, commandLine = commandLine_](void*) { RunThread(commandLine); });
    runThread_->Resume();
}

void UnInstaller::RunThread(const std::wstring& commandLine) {
    if (uninstallerPath_.empty() ||
        !platform::IsRegularFile(Utils::ToNarrow(uninstallerPath_, Utils::kCodePageAnsi))) {
        Notify(UNIST_CODE_FAIL, 1.0, L"可执行卸载文件不存在");
        return;
    }
    Notify(UNIST_CODE_PROGRESS, 0.0);
    if (!IsSafeCommandLinePath(uninstallerPath_, true) ||
        !IsSafeCommandLinePath(previousInstallFolder_, false)) {
        LOG_LINE("refused a command line with a double quote in a path\r\n");
        Notify(UNIST_CODE_FAIL, 2.0);
        return;
    }
    Utils::PipeProcess child;
    try {
        child.Create();
        child.Run(commandLine);
    } catch (const Utils::Exception& e) {
        LOG_LINE("cannot start the uninstaller: %s\r\n", e.what());
        Notify(UNIST_CODE_FAIL, 2.0);
        return;
    }
    ChildOutputReader reader(child, kPollMs);
    bool noFinalLine = true;
    std::string chunk;
    for (bool more = true; more;) {
        more = reader.Next(&chunk);
        if (!chunk.empty() && ParseOutput(Utils::ToWide(chunk, outputCodePage_)) != kParseNoFinalLine) {
            noFinalLine = false;
        }
    }
    child.Wait(-1);
    child.Close();
    if (noFinalLine) {
        Notify(UNIST_CODE_SUCCESS, 1.0);
    }
}

void UnInstaller::Notify(int code, double value, const std::wstring& text) {
    callback_(code, value, text.c_str());
}

int UnInstaller::ParseOutput(std::wstring_view text) {
    using namespace output_lines;
    int result = kParseNoFinalLine;
    for (std::wstring_view line : SplitLines(text)) {
        std::wstring_view rest;
        if (StartsWithKey(line, L"Progress=", &rest)) {
            Notify(UNIST_CODE_PROGRESS, LeadingDouble(rest));
        } else if (StartsWithKey(line, L"Error=", &rest)) {
            Notify(UNIST_CODE_ERROR, 0.0, ValueText(rest));
            result = kParseFailure;
        } else if (StartsWithKey(line, L"State=", &rest)) {
            std::wstring state = Utils::Trim(rest);
            if (state == L"Success") {
                Notify(UNIST_CODE_SUCCESS, 0.0);
                result = kParseSuccess;
            } else if (state == L"Fail") {
                Notify(UNIST_CODE_ERROR, 0.0, L"安装包卸载失败");
                result = kParseFailure;
            }
        } else if (StartsWithKey(line, L"Encode=", &rest)) {
            outputCodePage_ = Utils::Trim(rest) == L"UTF8" ? Utils::kCodePageUtf8 : Utils::kCodePageAnsi;
        }
    }
    return result;
}
