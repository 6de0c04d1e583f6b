#pragma once
// The threads of one downloader. The owner answers DL_CODE_RETRY by calling Start from inside the
// report, that is on one of these threads, which cannot join itself: Spawn hands such a caller to
// the new thread, which joins it before running its body. Every thread is therefore joined by
// someone, and JoinAll (the downloader's destructor) waits for all of them.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "utils/thread.h"

class DownloaderThreads {
public:
    DownloaderThreads() = default;
    DownloaderThreads(const DownloaderThreads&) = delete;
    DownloaderThreads& operator=(const DownloaderThreads&) = delete;
    ~DownloaderThreads() { JoinAll(); }

    // Waits for every thread except the calling one.
    void JoinOthers();
    // Runs `body` on a new thread named "ABDEF". False once JoinAll has begun, or when no thread
    // can be started.
    bool Spawn(std::function<void()> body);
    // Refuses further threads and waits for all. Never call it from one of these threads.
    void JoinAll();

private:
    struct Entry {
        std::function<void()> body;
        std::unique_ptr<Entry> predecessor;  // the thread that spawned this one from inside a report
        std::atomic<std::thread::id> runningId{};
        std::unique_ptr<Utils::Thread> thread;
    };
    static void Run(void* entry);

    std::mutex mutex_;
    bool closed_ = false;
    std::vector<std::unique_ptr<Entry>> entries_;
};
