#include "install/child_output_reader.h"

#include <cstring>

#include "platform/child_process.h"

bool ChildOutputReader::Next(std::string* chunk) {
    chunk->clear();
    for (;;) {
        // The child's state is taken before the read: output written before the end is then
        // already in the pipe when the read finds it empty.
        bool ended = child_.ExitCode() != platform::kStillActive;
        Step step = ReadOnce(ended, chunk);
        if (step == Step::kLines) {
            return true;
        }
        if (step == Step::kEnded) {
            chunk->swap(heldBack_);
            heldBack_.clear();
            return false;
        }
    }
}

ChildOutputReader::Step ChildOutputReader::ReadOnce(bool ended, std::string* chunk) {
    if (streamClosed_ || (ended && readAfterEnd_ >= kMaxAfterEnd)) {
        if (ended) {
            return Step::kEnded;
        }
        child_.Wait(pollMs_);
        return Step::kNothing;
    }
    char buffer[kReadSize];
    std::size_t got = 0;
    switch (child_.ReadOutput(buffer, sizeof buffer, ended ? 0 : pollMs_, &got)) {
        case Utils::PipeProcess::ReadStatus::kData:
            break;
        case Utils::PipeProcess::ReadStatus::kTimeout:
            return ended ? Step::kEnded : Step::kNothing;
        case Utils::PipeProcess::ReadStatus::kEndOfStream:
        case Utils::PipeProcess::ReadStatus::kError:
            streamClosed_ = true;
            return Step::kNothing;
    }
    if (ended) {
        readAfterEnd_ += got;
    }
    // Only the bytes before the first zero byte of a read count.
    heldBack_.append(buffer, strnlen(buffer, got));
    std::size_t lastFeed = heldBack_.rfind('\n');
    if (lastFeed != std::string::npos) {
        chunk->assign(heldBack_, 0, lastFeed + 1);
        heldBack_.erase(0, lastFeed + 1);
        return Step::kLines;
    }
    if (heldBack_.size() > kMaxHeldBack) {
        chunk->swap(heldBack_);
        heldBack_.clear();
        return Step::kLines;
    }
    return Step::kNothing;
}

void ChildOutputReader::DrainUntilExit() {
    char buffer[kReadSize];
    while (child_.ExitCode() == platform::kStillActive) {
        std::size_t got = 0;
        if (streamClosed_) {
            child_.Wait(pollMs_);
            continue;
        }
        auto status = child_.ReadOutput(buffer, sizeof buffer, pollMs_, &got);
        if (status == Utils::PipeProcess::ReadStatus::kEndOfStream ||
            status == Utils::PipeProcess::ReadStatus::kError) {
            streamClosed_ = true;
        }
    }
}
