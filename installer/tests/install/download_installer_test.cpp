#include "install/download_installer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "fake_programs.h"
#include "installer_settings.h"
#include "platform/paths.h"
#include "report_recorder.h"
#include "testing/http_file_server.h"
#include "testing/test_folder.h"
#include "utils/text.h"

namespace {

using glintcap_testing::HttpFileServer;

std::wstring Wide(const std::string& text) {
    return Utils::ToWide(text, Utils::kCodePageUtf8);
}

// The single-stream downloader refuses packages under 1 MiB.
constexpr std::size_t kPackageSize = 1100 * 1024;
const std::vector<int> kEndings = {IST_CODE_SUCCESS, IST_CODE_FAIL, DL_CODE_FAIL, UNIST_CODE_FAIL,
                                   UNIST_CODE_ERROR};

// The phase of a report code: 'r' removal, 'd' download, 'i' install.
char PhaseOf(int code) {
    return code >= 5000 ? 'r' : code < 2000 ? 'd' : 'i';
}
// The phases in the order they were seen, each once per stretch: "rdi" for a full run.
std::string Phases(const std::vector<int>& codes) {
    std::string phases;
    for (int code : codes) {
        if (phases.empty() || phases.back() != PhaseOf(code)) {
            phases += PhaseOf(code);
        }
    }
    return phases;
}

class Orchestrator : public ::testing::Test {
protected:
    void SetUp() override {
        // The uninstaller copy goes to a work folder of this test's own, before any thread runs.
        const char* runtime = getenv("XDG_RUNTIME_DIR");
        savedRuntime_ = runtime ? runtime : "";
        setenv("XDG_RUNTIME_DIR", folder_.path().c_str(), 1);
        savedType_ = Settings().DownloadType;
        Settings().DownloadType = 1;
        ASSERT_TRUE(server_.Start());
        installFolder_ = folder_.Child("install dir");
    }
    void TearDown() override {
        Settings().DownloadType = savedType_;
        if (savedRuntime_.empty()) {
            unsetenv("XDG_RUNTIME_DIR");
        } else {
            setenv("XDG_RUNTIME_DIR", savedRuntime_.c_str(), 1);
        }
    }

    // Serves a fake package running `script` and returns its address.
    std::string ServePackage(const std::string& script) {
        std::string built =
            ScriptedProgram(kFakePackage, folder_.Child("built-package"), script, kPackageSize);
        std::string content;
        EXPECT_TRUE(platform::ReadWholeFile(built, &content));
        return server_.UrlFor(server_.AddPackage("Glintcap_setup.exe", content));
    }
    // A previous installation whose uninstaller runs `script`; returns the uninstaller's path.
    std::string PreviousVersion(const std::string& script) {
        std::string previous = folder_.Child("previous");
        EXPECT_TRUE(platform::MakeDirectory(previous));
        EXPECT_TRUE(platform::WriteFileAtomic(previous + "/Glintcap.exe", "old product"));
        return ScriptedProgram(kFakeUninstaller, previous + "/uninst.ep", script);
    }
    // Makes the orchestrator, recording every report with the stage seen when it arrived.
    void Create() {
        // The raw pointer stays valid while the destructor joins the workers; installer_ does not.
        installer_ = std::make_unique<CDownloadInstaller>(recorder_.Callback([this](int code) {
            std::lock_guard<std::mutex> lock(stagesMutex_);
            stageAt_.emplace_back(code, raw_->Stage());
        }));
        raw_ = installer_.get();
    }
    void StartRun(const std::string& url, const std::string& previousUninstaller) {
        installer_->SetParams(Wide(url), L"", Wide(previousUninstaller), Wide(installFolder_), true, false,
                              false, false);
        installer_->Start();
    }
    // Waits for the run's ending and for the handler to set its stage.
    int FinalStage() {
        EXPECT_TRUE(recorder_.WaitForAny(kEndings));
        for (int i = 0; i < 3000; ++i) {
            int stage = installer_->Stage();
            if (stage == 5 || stage == 9 || stage == 12 || stage == 13) {
                return stage;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return installer_->Stage();
    }
    // The stage the orchestrator was in when the first report with `code` arrived.
    int StageBefore(int code) {
        std::lock_guard<std::mutex> lock(stagesMutex_);
        for (auto [seen, stage] : stageAt_) {
            if (seen == code) {
                return stage;
            }
        }
        return -1;
    }
    // The stage the first report with `code` left behind, as the next report saw it.
    int StageAfter(int code) {
        std::lock_guard<std::mutex> lock(stagesMutex_);
        for (size_t i = 0; i + 1 < stageAt_.size(); ++i) {
            if (stageAt_[i].first == code) {
                return stageAt_[i + 1].second;
            }
        }
        return -1;
    }
    std::string PackageFile() const { return installFolder_ + "/__Package_Glintcap.exe"; }

    TestFolder folder_;
    HttpFileServer server_;
    std::string installFolder_;
    ReportRecorder recorder_;
    std::mutex stagesMutex_;
    std::vector<std::pair<int, int>> stageAt_;
    std::unique_ptr<CDownloadInstaller> installer_;
    CDownloadInstaller* raw_ = nullptr;
    int savedType_ = 1;
    std::string savedRuntime_;
};

TEST_F(Orchestrator, RemovalThenDownloadThenInstall) {
    std::string url =
        ServePackage("print Progress=0.5\ninstall-product\nprint InstPath=${INSTDIR}\nprint State=Success\n");
    std::string previous = PreviousVersion("print Progress=0.5\nremove-product\nprint State=Success\n");
    Create();
    StartRun(url, previous);

    EXPECT_EQ(FinalStage(), CDownloadInstaller::kStageInstallFinished);
    EXPECT_EQ(StageBefore(DL_CODE_START), CDownloadInstaller::kStageRemovalFinished);
    EXPECT_EQ(StageBefore(IST_CODE_START), CDownloadInstaller::kStageDownloadFinished);
    installer_.reset();  // joins every worker

    std::vector<int> codes = recorder_.Codes();
    EXPECT_EQ(Phases(codes), "rdi");
    EXPECT_EQ(codes.front(), UNIST_CODE_PROGRESS);
    EXPECT_EQ(codes.back(), IST_CODE_SUCCESS);
    EXPECT_FALSE(platform::PathExists(folder_.Child("previous/Glintcap.exe")));
    EXPECT_EQ(CDownloadInstaller::UninstallerCopyPath(),
              Wide(folder_.Child("~KeltoTemp.92482B06FB471E17/Glintcap_un_asa.exe")));
    EXPECT_TRUE(platform::PathExists(folder_.Child("~KeltoTemp.92482B06FB471E17/Glintcap_un_asa.exe")));
    EXPECT_TRUE(platform::PathExists(installFolder_ + "/Glintcap.exe"));
    EXPECT_TRUE(platform::PathExists(installFolder_ + "/uninst.ep"));
    EXPECT_FALSE(platform::PathExists(PackageFile()));
    std::vector<Report> reports = recorder_.Reports();
    EXPECT_NE(
        std::find(reports.begin(), reports.end(), Report{IST_CODE_INST_PATH, 0.0, Wide(installFolder_)}),
        reports.end());
}

TEST_F(Orchestrator, FailedRemovalStopsBeforeAnyDownload) {
    std::string url = ServePackage("print State=Success\n");
    std::string previous = PreviousVersion("print Error=files in use\nprint State=Success\n");
    Create();
    StartRun(url, previous);

    EXPECT_EQ(FinalStage(), CDownloadInstaller::kStageRemovalFailed);
    installer_.reset();
    EXPECT_EQ(Phases(recorder_.Codes()), "r");
    EXPECT_TRUE(server_.Requests().empty());
    EXPECT_FALSE(platform::PathExists(PackageFile()));
}

TEST_F(Orchestrator, OnlyTheFirstFinalLineOfTheRemovalCounts) {
    // The package outlasts the uninstaller's second final line, so a second download would show.
    std::string url = ServePackage("sleep 600\nprint State=Success\n");
    std::string previous = PreviousVersion("print State=Success\nsleep 100\nprint State=Success\n");
    Create();
    StartRun(url, previous);

    EXPECT_EQ(FinalStage(), CDownloadInstaller::kStageInstallFinished);
    installer_.reset();
    std::vector<int> codes = recorder_.Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), UNIST_CODE_SUCCESS), 2);  // passed on to the owner
    EXPECT_EQ(std::count(codes.begin(), codes.end(), DL_CODE_START), 1);       // but one download only
    EXPECT_EQ(server_.Requests("GET").size(), 1u);
}

TEST_F(Orchestrator, FailedDownloadDeletesThePackageFile) {
    // A wrong MD5 in the address fails the integrity check twice: one retry, then the failure.
    std::string content;
    ASSERT_TRUE(platform::ReadWholeFile(ScriptedProgram(kFakePackage, folder_.Child("p"), "", kPackageSize),
                                        &content));
    server_.AddFile("/0123456789abcdef0123456789abcdef/Glintcap_setup.exe", content);
    Create();
    StartRun(server_.UrlFor("/0123456789abcdef0123456789abcdef/Glintcap_setup.exe"),
             folder_.Child("no such file"));

    EXPECT_EQ(FinalStage(), CDownloadInstaller::kStageDownloadFailed);
    installer_.reset();
    std::vector<int> codes = recorder_.Codes();
    EXPECT_EQ(Phases(codes), "d");
    EXPECT_EQ(codes.front(), DL_CODE_START);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), DL_CODE_START), 2);
    EXPECT_EQ(StageAfter(DL_CODE_RETRY), StageBefore(DL_CODE_RETRY));  // a retry keeps the stage
    EXPECT_FALSE(platform::PathExists(PackageFile()));
}

TEST_F(Orchestrator, SecondStartReusesTheDownloader) {
    std::string url = ServePackage("print Progress=1\n");
    Create();
    StartRun(url, "");
    ASSERT_EQ(FinalStage(), CDownloadInstaller::kStageInstallFinished);

    // Another kind asked for in between: the downloader made by the first Start is used again.
    Settings().DownloadType = 2;
    size_t firstRun = recorder_.Reports().size();
    StartRun(url, "");
    ASSERT_TRUE(recorder_.WaitForAny(kEndings, firstRun));
    installer_.reset();

    std::vector<Report> reports = recorder_.Reports();
    std::vector<Report> second(reports.begin() + firstRun, reports.end());
    auto success =
        std::find_if(second.begin(), second.end(), [](const Report& r) { return r.code == DL_CODE_SUCCESS; });
    ASSERT_NE(success, second.end());
    EXPECT_EQ(success->text, L"LibCurl");
    EXPECT_EQ(second.back(), (Report{IST_CODE_SUCCESS, 1.0, L""}));
    EXPECT_FALSE(platform::PathExists(PackageFile()));
}

}  // namespace
