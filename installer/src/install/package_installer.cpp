#include "install/package_installer.h"

#include "install/child_output_reader.h"
#include "install/command_line_rules.h"
#include "install/output_lines.h"
#include "installer_settings.h"
#include "log_line.h"
#include "utils/exception.h"
#include "utils/pipe_process.h"
#include "utils/text.h"

namespace {

const wchar_t* BoolText(bool value) {
    return value ? L"true" : L"false";
}

}  // namespace

PackageInstaller::PackageInstaller(DownloadCallback callback, std::wstring quotedPackagePath,
                                   std::wstring installFolder)
    : callback_(std::move(callback)),
      quotedPackagePath_(std::move(quotedPackagePath)),
      installFolder_(std::move(installFolder)) {}

PackageInstaller::~PackageInstaller() {
    runThread_.reset();
}

void PackageInstaller::SetFlags(bool desktopShortcut, bool quickLaunch, bool consoleUserIsAdmin,
                                bool processIsAdmin) {
    desktopShortcut_ = desktopShortcut;
    quickLaunch_ = quickLaunch;
    consoleUserIsAdmin_ = consoleUserIsAdmin;
    processIsAdmin_ = processIsAdmin;
}

std::wstring PackageInstaller::BuildCommandLine() const {
    std::wstring line = quotedPackagePath_;
    line += L" /S -console=show -version=1.0.0";
    line += std::wstring(L" -adminact=") + BoolText(consoleUserIsAdmin_);
    line += std::wstring(L" -authorizationact=") + BoolText(processIsAdmin_);
    line += std::wstring(L" -dsc=") + BoolText(desktopShortcut_);
    line += std::wstring(L" -ssc=") + BoolText(quickLaunch_);
    const std::wstring& instCmd = Settings().InstCmd;
    if (!instCmd.empty()) {
        line += L" " + instCmd;
    }
    if (!installFolder_.empty()) {
        line += L" -instdir=\"" + installFolder_ + L"\"";
        line += L" /D=" + installFolder_;
    }
    return line;
}

bool PackageInstaller::CommandLineIsSafe() const {
    std::wstring_view path = quotedPackagePath_;
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') {
        path = path.substr(1, path.size() - 2);
    }
    return IsSafeCommandLinePath(path, true) && IsSafeCommandLinePath(installFolder_, true);
}

void PackageInstaller::RunPackage() {
    commandLine_ = BuildCommandLine();
    bool safe = CommandLineIsSafe();
    runThread_.reset();
    runThread_ = std::make_unique<Utils::Thread>(
        this, L"ABDEF", [this, commandLine = commandLine_, safe](void*) { RunThread(commandLine, safe); });
    runThread_->Resume();
}

void PackageInstaller::RunThread(const std::wstring& commandLine, bool safe) {
    outputCodePage_ = Utils::kCodePageAnsi;
    Notify(IST_CODE_START, 0.0);
    Notify(IST_CODE_PROGRESS, 0.0);
    if (!safe) {
        LOG_LINE("refused a command line with a double quote in a path\r\n");
        Notify(IST_CODE_FAIL, 2.0);
        return;
    }
    Utils::PipeProcess child;
    try {
        child.Create();
        child.Run(commandLine);
    } catch (const Utils::Exception& e) {
        LOG_LINE("cannot start the package: %s\r\n", e.what());
        Notify(IST_CODE_FAIL, 2.0);
        return;
    }
    ChildOutputReader reader(child, kPollMs);
    bool endedByItself = true;
    std::string chunk;
    for (bool more = true; more && endedByItself;) {
        more = reader.Next(&chunk);
        if (!chunk.empty() && ParseOutput(Utils::ToWide(chunk, outputCodePage_)) != kParseNoFinalLine) {
            endedByItself = false;
        }
    }
    if (!endedByItself) {
        reader.DrainUntilExit();
    }
    child.Wait(-1);
    child.Close();
    if (endedByItself) {
        Notify(IST_CODE_SUCCESS, 1.0);
    }
}

void PackageInstaller::Notify(int code, double value, const std::wstring& text) {
    callback_(code, value, text.c_str());
}

int PackageInstaller::ParseOutput(std::wstring_view text) {
    int result = kParseNoFinalLine;
    for (std::wstring_view line : output_lines::SplitLines(text)) {
        ParseLine(line, &result);
    }
    return result;
}

void PackageInstaller::ParseLine(std::wstring_view line, int* result) {
    using namespace output_lines;
    // Keys whose whole action is to pass the rest of the line on under a code.
    static constexpr struct {
        const wchar_t* key;
        int code;
    } kStringKeys[] = {
        {L"ExePath=", IST_CODE_EXE_PATH},         {L"StartExe=", IST_CODE_EXE_PATH},
        {L"UninstExePath=", IST_CODE_UNINST_EXE}, {L"UninstExe=", IST_CODE_UNINST_EXE},
        {L"UninstEp=", IST_CODE_UNINST_EP},
    };
    std::wstring_view rest;
    if (StartsWithKey(line, L"Progress=", &rest)) {
        Notify(IST_CODE_PROGRESS, LeadingDouble(rest));
    } else if (StartsWithKey(line, L"InstPath=", &rest)) {
        Notify(IST_CODE_INST_PATH, 0.0, ValueText(rest));
    } else if (StartsWithKey(line, L"State=", &rest)) {
        std::wstring state = Utils::Trim(rest);
        if (state == L"Success") {
            Notify(IST_CODE_SUCCESS, 0.0);
            *result = kParseSuccess;
        } else if (state == L"Fail") {
            Notify(IST_CODE_FAIL, 0.0, L"安装包安装失败");
            *result = kParseFailure;
        }
    } else if (StartsWithKey(line, L"InstallVersion=", &rest)) {
        int numbers[3] = {installedVersion_.major, installedVersion_.minor, installedVersion_.patch};
        LeadingDottedInts(rest, numbers, 3);
        installedVersion_ = {numbers[0], numbers[1], numbers[2]};
    } else if (auto found = std::find_if(std::begin(kStringKeys), std::end(kStringKeys),
                                         [&](const auto& k) { return StartsWithKey(line, k.key, &rest); });
               found != std::end(kStringKeys)) {
        Notify(found->code, 0.0, ValueText(rest));
    } else if (StartsWithKey(line, L"Error=", &rest)) {
        Notify(IST_CODE_FAIL, 1000.0, ValueText(rest));
        *result = kParseFailure;
    } else if (StartsWithKey(line, L"TopShowDetention=", &rest)) {
        Notify(IST_CODE_TOP_SHOW_DETENTION, static_cast<std::uint32_t>(LeadingInt(rest)));
    } else if (StartsWithKey(line, L"FinsihCloseDetention=", &rest)) {
        Notify(IST_CODE_FINISH_CLOSE_DETENTION, static_cast<std::uint32_t>(LeadingInt(rest)));
    } else if (StartsWithKey(line, L"StartUrl=", &rest)) {
        Notify(IST_CODE_START_URL, 0.0, ValueText(rest));
    } else if (StartsWithKey(line, L"StartupStyle=", &rest)) {
        std::wstring style = Utils::Trim(rest);
        double value = style == L"AutoStartup" ? 1.0 : style == L"UserStartup" ? 2.0 : 0.0;
        Notify(IST_CODE_STARTUP_STYLE, value);
    } else if (StartsWithKey(line, L"Encode=", &rest)) {
        std::wstring encoding = Utils::Trim(rest);
        outputCodePage_ = encoding == L"UTF8"  ? Utils::kCodePageUtf8
                          : encoding == L"ACP" ? Utils::kCodePageAnsi
                                               : static_cast<unsigned>(LeadingInt(encoding));
    } else if (StartsWithKey(line, L"Message=", &rest)) {
        Notify(IST_CODE_MESSAGE, 0.0, ValueText(rest));
    }
}
