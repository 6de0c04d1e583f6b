#pragma once
// The bounded queue of serialised records, its staging file and the batch sender.
//
// Two locks: the queue lock guards the queue and the staging file and is held only briefly, so records
// can be added while a batch is on the wire; the flush lock serialises whole batches. Lock order is
// always flush lock, then queue lock.

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "usage_collect/collector_client.h"

namespace usage_collect {

inline constexpr int kMaxStagedRecords = 1024;
inline constexpr std::size_t kMaxBatchRecords = 30;

class RecordQueue {
public:
    RecordQueue(std::string serverUrl, std::string stagingPath, int maxRecords = kMaxStagedRecords);
    RecordQueue(const RecordQueue&) = delete;
    RecordQueue& operator=(const RecordQueue&) = delete;
    // Closes the queue: unsent records go to the staging file.
    ~RecordQueue();

    void AddRecord(std::string record);
    // Sends up to 30 records from the front. On failure they are put back within the size limit.
    bool FlushBatch();
    // Sends until the queue is empty; false at the first failed batch.
    bool FlushAll();
    // Once per run: puts the staging file's records in front of the queue, then empties the file.
    void LoadStaged();
    void DumpStaged();
    void CloseQueue();

    void set_debug(bool debug) { debug_ = debug; }
    void set_cookie(std::string cookie) { cookie_ = std::move(cookie); }
    const std::string& staging_path() const { return stagingPath_; }
    std::vector<std::string> Snapshot() const;

private:
    void LoadStagedLocked();
    void DumpStagedLocked();
    void PutBack(const std::vector<std::string>& batch);
    bool SendBatch(const std::string& batchText);

    std::string cookie_;
    bool debug_ = false;
    mutable std::mutex queueLock_;
    std::mutex flushLock_;
    std::deque<std::string> queue_;
    std::string stagingPath_;
    int maxRecords_;
    bool loadPending_ = true;
    bool closed_ = false;
    std::unique_ptr<CollectorClient> sender_;
};

}  // namespace usage_collect
