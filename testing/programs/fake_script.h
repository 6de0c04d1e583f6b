#pragma once
// The script shared by the fake package and the fake uninstaller. A test (or the demo) appends a
// script to a copy of the program's executable with AppendFakeScript; the program finds it at the
// end of its own file, so a package downloaded over HTTP carries its behaviour with it.
//
// One command per line ('#' starts a comment):
//   print TEXT          write TEXT and a line feed in one write
//   raw TEXT            write TEXT as it is (no line feed), in one write
//   sleep MS            pause
//   progress MS STEPS   "Progress=" lines from 1/STEPS to 1 spread over MS milliseconds
//   record-argv PATH    write the arguments received (without the program), one per line
//   install-product [UNINSTALLER]   create ${INSTDIR}/Glintcap.exe and ${INSTDIR}/uninst.ep (a copy of
//                       UNINSTALLER when given, else a small shell-script uninstaller)
//   remove-product      delete ${INSTDIR}/Glintcap.exe
//   hold-output MS PIDFILE   start a helper process that keeps standard output open for MS
//                       milliseconds (like a product the package starts) and write its pid to PIDFILE
//   flood BYTES         write BYTES bytes of "Noise=..." lines
//   exit CODE           end now with CODE
// TEXT may hold \n, \r, \t, \\ and \xHH escapes and ${INSTDIR}: the folder of "-instdir=" (package) or
// everything after "_?=" (uninstaller). At the end of the script the program exits with 0.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/paths.h"

namespace fake_script {

inline constexpr char kMagic[] = "#FAKESCR";    // last 8 bytes of a program that carries a script
inline constexpr std::size_t kFooterSize = 16;  // 8 hex digits of the script length + magic

// Copies `program` to `target` (keeping its mode) with `script` appended, padded with zero bytes
// before the script up to `minimumSize` (downloaders refuse very small packages). False on failure.
inline bool AppendFakeScript(const std::string& program, const std::string& target, const std::string& script,
                             std::size_t minimumSize = 0) {
    std::string content;
    if (!platform::ReadWholeFile(program, &content)) {
        return false;
    }
    if (content.size() + script.size() + kFooterSize < minimumSize) {
        content.resize(minimumSize - script.size() - kFooterSize, '\0');
    }
    char length[9];
    std::snprintf(length, sizeof length, "%08zx", script.size());
    content += script + length + kMagic;
    return platform::WriteFileAtomic(target, content) && platform::MakeExecutableForOwner(target);
}

// The script carried by the running program; empty when it has none.
inline std::string OwnScript() {
    std::string self;
    if (!platform::ReadWholeFile(platform::ExecutablePath(), &self) || self.size() < kFooterSize ||
        self.compare(self.size() - 8, 8, kMagic) != 0) {
        return {};
    }
    std::size_t length = std::strtoul(self.substr(self.size() - kFooterSize, 8).c_str(), nullptr, 16);
    if (length > self.size() - kFooterSize) {
        return {};
    }
    return self.substr(self.size() - kFooterSize - length, length);
}

inline void WriteAll(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

inline std::string Expand(const std::string& text, const std::string& instdir) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 10, "${INSTDIR}") == 0) {
            out += instdir;
            i += 9;
        } else if (text[i] == '\\' && i + 1 < text.size()) {
            char c = text[++i];
            if (c == 'n') {
                out += '\n';
            } else if (c == 'r') {
                out += '\r';
            } else if (c == 't') {
                out += '\t';
            } else if (c == 'x' && i + 2 < text.size()) {
                out += static_cast<char>(std::strtoul(text.substr(i + 1, 2).c_str(), nullptr, 16));
                i += 2;
            } else {
                out += c;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

inline void SleepMs(long ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

inline void HoldOutput(long ms, const std::string& pidFile) {
    pid_t pid = fork();
    if (pid == 0) {
        SleepMs(ms);
        _exit(0);
    }
    if (pid > 0 && !pidFile.empty()) {
        platform::WriteFileAtomic(pidFile, std::to_string(pid));
    }
}

inline void InstallProduct(const std::string& instdir, const std::string& uninstallerSource) {
    std::error_code ignored;
    std::filesystem::create_directories(instdir, ignored);
    std::string product = platform::JoinPath(instdir, "Glintcap.exe");
    std::string uninstaller = platform::JoinPath(instdir, "uninst.ep");
    platform::WriteFileAtomic(product, "#!/bin/sh\necho 'Glintcap is running'\n");
    platform::MakeExecutableForOwner(product);
    if (!uninstallerSource.empty()) {
        platform::CopyFile(uninstallerSource, uninstaller);
        return;
    }
    platform::WriteFileAtomic(
        uninstaller,
        "#!/bin/sh\nprintf 'Progress=0.5\\n'\nrm -f \"$(dirname \"$0\")/Glintcap.exe\"\n"
        "printf 'Progress=1\\nState=Success\\n'\n");
    platform::MakeExecutableForOwner(uninstaller);
}

// Runs `script` line by line; returns the exit code.
inline int Run(const std::string& script, const std::vector<std::string>& args, const std::string& instdir) {
    signal(SIGPIPE, SIG_IGN);
    std::size_t start = 0;
    while (start < script.size()) {
        std::size_t end = script.find('\n', start);
        std::string line = script.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? script.size() : end + 1;
        std::size_t blank = line.find(' ');
        std::string command = line.substr(0, blank);
        std::string rest = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        if (command == "print") {
            WriteAll(Expand(rest, instdir) + "\n");
        } else if (command == "raw") {
            WriteAll(Expand(rest, instdir));
        } else if (command == "sleep") {
            SleepMs(std::atol(rest.c_str()));
        } else if (command == "progress") {
            long ms = 0, steps = 1;
            std::sscanf(rest.c_str(), "%ld %ld", &ms, &steps);
            for (long i = 1; i <= steps; ++i) {
                SleepMs(ms / steps);
                char text[64];
                std::snprintf(text, sizeof text, "Progress=%.3f\n", static_cast<double>(i) / steps);
                WriteAll(text);
            }
        } else if (command == "record-argv") {
            std::string all;
            for (const std::string& arg : args) {
                all += arg + "\n";
            }
            platform::WriteFileAtomic(Expand(rest, instdir), all);
        } else if (command == "install-product") {
            InstallProduct(instdir, Expand(rest, instdir));
        } else if (command == "remove-product") {
            platform::RemoveFile(platform::JoinPath(instdir, "Glintcap.exe"));
        } else if (command == "hold-output") {
            std::string expanded = Expand(rest, instdir);
            std::size_t blank = expanded.find(' ');
            HoldOutput(std::atol(expanded.c_str()),
                       blank == std::string::npos ? std::string() : expanded.substr(blank + 1));
        } else if (command == "flood") {
            long left = std::atol(rest.c_str());
            std::string line(99, 'x');
            line = "Noise=" + line.substr(6) + "\n";
            for (; left > 0; left -= static_cast<long>(line.size())) {
                WriteAll(line);
            }
        } else if (command == "exit") {
            return std::atoi(rest.c_str());
        }
    }
    return 0;
}

}  // namespace fake_script
