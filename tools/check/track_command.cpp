// glintcap-check track --server URL --data-dir DIR
// Starts the installer's event facade against the given collector with its files under DIR, reads
// one event per line from standard input (tab-separated: "task NAME ELAPSED [REASON]", "click NAME",
// "view NAME", "crash REASON"), and shuts the facade down at the end of input, which sends what is
// pending. Task, click and view carry the A/B value "IN" as the installer's reports do. Prints
// nothing on success and exits 0; a line it cannot read is named on standard error and gives exit 1.

#include <curl/curl.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "event_facade.h"
#include "platform/utf.h"

namespace {

struct TrackOptions {
    std::string server;
    std::string dataDir;
};

bool ParseTrackOptions(int argc, char** argv, TrackOptions* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--server") {
            options->server = argv[i + 1];
        } else if (name == "--data-dir") {
            options->dataDir = argv[i + 1];
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !options->server.empty() && !options->dataDir.empty();
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

// Reports one input line through the facade. False when the line is not one of the four forms.
bool ReportLine(const std::vector<std::string>& fields) {
    const ExtraProperties ab = {{L"AB", L"IN"}};
    const std::string& kind = fields[0];
    auto wide = [&](std::size_t i) {
        return platform::WideFromUtf8(i < fields.size() ? fields[i] : std::string());
    };
    if (kind == "task" && (fields.size() == 3 || fields.size() == 4)) {
        char* end = nullptr;
        float elapsed = std::strtof(fields[2].c_str(), &end);
        if (fields[2].empty() || *end != '\0') {
            return false;
        }
        ReportTask(wide(1), elapsed, ab, wide(3));
        return true;
    }
    if (kind == "click" && fields.size() == 2) {
        ReportClick(ab, wide(1));
        return true;
    }
    if (kind == "view" && fields.size() == 2) {
        // The installer's one view event always has its own name; NAME is accepted for symmetry.
        ReportView(ab);
        return true;
    }
    if (kind == "crash" && fields.size() == 2) {
        ReportCrash();
        return true;
    }
    return false;
}

}  // namespace

int RunTrackCommand(int argc, char** argv) {
    TrackOptions options;
    if (!ParseTrackOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: glintcap-check track --server URL --data-dir DIR\n");
        return 2;
    }
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        std::fprintf(stderr, "track: libcurl cannot be initialised\n");
        return 1;
    }
    EventFacadeConfig config;
    config.ProductName = L"Glintcap";
    config.DlAppNameSuffix = L".downloader";
    config.InstallerVersion = L"1.7.9";
    config.ExeFileName = L"glintcap-check";
    config.serverUrl = options.server;
    config.dataFolder = options.dataDir;
    InitEventFacade(config);

    int status = 0;
    int lineNumber = 0;
    for (std::string line; std::getline(std::cin, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        if (!ReportLine(SplitTabs(line))) {
            std::fprintf(stderr, "track: line %d is not an event: %s\n", lineNumber, line.c_str());
            status = 1;
        }
    }
    ShutdownEventFacade();
    curl_global_cleanup();
    return status;
}
