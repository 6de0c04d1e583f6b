#include "usage_collect/record_queue.h"

#include <algorithm>
#include <iostream>

#include "platform/paths.h"
#include "usage_collect/batch_encoding.h"

namespace usage_collect {
namespace {

bool IsStagedRecordLine(const std::string& line) {
    return !line.empty() && line.front() == '{' && line.back() == '}';
}

}  // namespace

RecordQueue::RecordQueue(std::string serverUrl, std::string stagingPath, int maxRecords)
    : stagingPath_(std::move(stagingPath)),
      maxRecords_(maxRecords),
      sender_(std::make_unique<CollectorClient>(std::move(serverUrl), RequestHeaders{})) {}

RecordQueue::~RecordQueue() {
    CloseQueue();
}

void RecordQueue::AddRecord(std::string record) {
    if (debug_) {
        std::cout << "add record:" << record << std::endl;
    }
    std::lock_guard<std::mutex> lock(queueLock_);
    queue_.push_back(std::move(record));
    if (queue_.size() > static_cast<std::size_t>(maxRecords_)) {
        queue_.pop_front();
        if (debug_) {
            std::cout << "record is full, delete record" << std::endl;
        }
    }
}

bool RecordQueue::FlushBatch() {
    LoadStaged();
    std::lock_guard<std::mutex> flushLock(flushLock_);
    std::vector<std::string> batch;
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        if (queue_.empty() || !sender_) {
            return queue_.empty();
        }
        std::size_t n = std::min(queue_.size(), kMaxBatchRecords);
        batch.assign(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.begin() + n));
        queue_.erase(queue_.begin(), queue_.begin() + n);
    }
    std::string batchText = "[";
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (i > 0) {
            batchText.push_back(',');
        }
        batchText.append(batch[i]);
    }
    batchText.push_back(']');
    if (debug_) {
        std::cout << "flush record : " << batchText << std::endl;
    }
    bool sent = SendBatch(batchText);
    if (!sent) {
        PutBack(batch);
    }
    return sent;
}

bool RecordQueue::FlushAll() {
    LoadStaged();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(queueLock_);
            if (queue_.empty()) {
                return true;
            }
        }
        if (!FlushBatch()) {
            return false;
        }
    }
}

// Only the newest records of a failed batch fit back when others were added meanwhile; the oldest go.
void RecordQueue::PutBack(const std::vector<std::string>& batch) {
    std::lock_guard<std::mutex> lock(queueLock_);
    int free = maxRecords_ - static_cast<int>(queue_.size());
    if (free <= 0) {
        return;
    }
    std::size_t keep = std::min(static_cast<std::size_t>(free), batch.size());
    queue_.insert(queue_.begin(), batch.end() - static_cast<std::ptrdiff_t>(keep), batch.end());
}

bool RecordQueue::SendBatch(const std::string& batchText) {
    std::string body, error;
    if (!BuildRequestBody(batchText, &body, &error)) {
        std::cerr << error << std::endl;
        return false;
    }
    RequestHeaders headers = sender_->headers();
    if (!cookie_.empty()) {
        headers.emplace_back("Cookie", cookie_);
    }
    PostResult result = CollectorClient::Post(sender_->url(), body, headers);
    if (result.status != 200) {
        std::cerr << "UsageCollect SDK send failed: " << result.body << std::endl;
        return false;
    }
    return true;
}

void RecordQueue::LoadStaged() {
    std::lock_guard<std::mutex> lock(queueLock_);
    LoadStagedLocked();
}

void RecordQueue::LoadStagedLocked() {
    if (!loadPending_) {
        return;
    }
    int free = maxRecords_ - static_cast<int>(queue_.size());
    std::string content;
    if (free > 0 && platform::ReadWholeFile(stagingPath_, &content)) {
        std::deque<std::string> staged;
        std::size_t start = 0;
        while (start < content.size()) {
            std::size_t end = content.find('\n', start);
            if (end == std::string::npos) {
                end = content.size();
            }
            std::string line = content.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (IsStagedRecordLine(line)) {
                staged.push_back(std::move(line));
                if (staged.size() > static_cast<std::size_t>(free)) {
                    staged.pop_front();
                }
            }
            start = end + 1;
        }
        queue_.insert(queue_.begin(), std::make_move_iterator(staged.begin()),
                      std::make_move_iterator(staged.end()));
    }
    platform::WriteFileAtomic(stagingPath_, "");
    loadPending_ = false;
}

void RecordQueue::DumpStaged() {
    std::lock_guard<std::mutex> lock(queueLock_);
    DumpStagedLocked();
}

void RecordQueue::DumpStagedLocked() {
    std::string content;
    for (const auto& record : queue_) {
        content.append(record);
        content.push_back('\n');
    }
    platform::WriteFileAtomic(stagingPath_, content);
}

// Waits for a batch on the wire, so the sender is never freed under it.
void RecordQueue::CloseQueue() {
    std::lock_guard<std::mutex> flushLock(flushLock_);
    std::lock_guard<std::mutex> lock(queueLock_);
    if (closed_) {
        return;
    }
    LoadStagedLocked();
    DumpStagedLocked();
    sender_.reset();
    closed_ = true;
}

std::vector<std::string> RecordQueue::Snapshot() const {
    std::lock_guard<std::mutex> lock(queueLock_);
    return {queue_.begin(), queue_.end()};
}

}  // namespace usage_collect
