// Utils::FileMd5 against md5sum on the same 256 MiB file, in one run; prints the speed ratio.
//   bench_file_md5 [size in MiB] [rounds]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "utils/checksum.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string RunMd5sum(const std::string& path) {
    platform::ChildProcess child;
    std::string error;
    if (!child.Start("md5sum \"" + path + "\"", &error)) {
        std::fprintf(stderr, "md5sum: %s\n", error.c_str());
        std::exit(1);
    }
    std::string out;
    char buffer[256];
    std::size_t got = 0;
    while (child.ReadOutput(buffer, sizeof buffer, -1, &got) == platform::ChildProcess::ReadStatus::kData) {
        out.append(buffer, got);
    }
    child.Wait(-1);
    return out.substr(0, out.find(' '));
}

}  // namespace

int main(int argc, char** argv) {
    const long mib = argc > 1 ? std::atol(argv[1]) : 256;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    std::string path = platform::JoinPath(platform::GetSpecialFolder(platform::SpecialFolder::kTemp),
                                          "glintcap-md5-bench.bin");
    {
        std::ofstream out(path, std::ios::binary);
        std::mt19937_64 random(42);
        std::vector<std::uint64_t> block(1 << 17);  // 1 MiB
        for (long i = 0; i < mib; ++i) {
            std::generate(block.begin(), block.end(), random);
            out.write(reinterpret_cast<const char*>(block.data()),
                      static_cast<std::streamsize>(block.size() * 8));
        }
    }
    // Warm the page cache for both, then take the best of a few rounds each.
    std::string ours = Utils::FileMd5(path);
    std::string theirs = RunMd5sum(path);
    double bestOurs = 1e9, bestTheirs = 1e9;
    for (int r = 0; r < rounds; ++r) {
        auto start = Clock::now();
        Utils::FileMd5(path);
        bestOurs = std::min(bestOurs, Seconds(start));
        start = Clock::now();
        RunMd5sum(path);
        bestTheirs = std::min(bestTheirs, Seconds(start));
    }
    platform::RemoveFile(path);
    if (ours != theirs) {
        std::printf("digests differ: FileMd5 %s, md5sum %s\n", ours.c_str(), theirs.c_str());
        return 1;
    }
    std::printf("file: %ld MiB, digest %s\n", mib, ours.c_str());
    std::printf("Utils::FileMd5 %.3f s (%.0f MiB/s)\n", bestOurs, mib / bestOurs);
    std::printf("md5sum         %.3f s (%.0f MiB/s)\n", bestTheirs, mib / bestTheirs);
    std::printf("ratio (md5sum time / FileMd5 time, goal >= 0.9): %.2f\n", bestTheirs / bestOurs);
    return 0;
}
