#include "download/downloader_threads.h"

#include <algorithm>

void DownloaderThreads::Run(void* argument) {
    auto* entry = static_cast<Entry*>(argument);
    entry->runningId = std::this_thread::get_id();
    if (entry->predecessor) {
        // The spawning thread is returning from its report; it has nothing left to do.
        entry->predecessor->thread->Join();
    }
    entry->body();
}

void DownloaderThreads::JoinOthers() {
    std::vector<std::unique_ptr<Entry>> others;
    {
        std::lock_guard lock(mutex_);
        const auto self = std::this_thread::get_id();
        auto mine = std::stable_partition(entries_.begin(), entries_.end(),
                                          [self](const auto& entry) { return entry->runningId == self; });
        std::move(mine, entries_.end(), std::back_inserter(others));
        entries_.erase(mine, entries_.end());
    }
    for (auto& entry : others) {
        entry->thread->Join();
    }
}

bool DownloaderThreads::Spawn(std::function<void()> body) {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return false;
    }
    auto entry = std::make_unique<Entry>();
    entry->body = std::move(body);
    const auto self = std::this_thread::get_id();
    auto caller = std::find_if(entries_.begin(), entries_.end(),
                               [self](const auto& candidate) { return candidate->runningId == self; });
    if (caller != entries_.end()) {
        entry->predecessor = std::move(*caller);
        entries_.erase(caller);
    }
    entry->thread = std::make_unique<Utils::Thread>(entry.get(), L"ABDEF", &DownloaderThreads::Run);
    if (!entry->thread->Resume()) {
        if (entry->predecessor) {
            entries_.push_back(std::move(entry->predecessor));
        }
        return false;
    }
    entries_.push_back(std::move(entry));
    return true;
}

void DownloaderThreads::JoinAll() {
    std::vector<std::unique_ptr<Entry>> all;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        all.swap(entries_);
    }
    for (auto& entry : all) {
        entry->thread->Join();
    }
}
