#pragma once
// Reads a child's standard output for the package and uninstaller protocols: reads of at most 1024
// bytes, complete lines only (the unfinished end of a read waits for the read that completes it, so a
// line or a multi-byte character cut by the read boundary is still understood), and waits for output
// with a time limit so that the child's end is noticed even while a program it started still holds
// the pipe open. What the child wrote before it ended is still delivered.

#include <cstddef>
#include <string>

#include "utils/pipe_process.h"

class ChildOutputReader {
public:
    static constexpr std::size_t kReadSize = 1024;
    // An unfinished line longer than this is passed on as it is rather than held without end.
    static constexpr std::size_t kMaxHeldBack = 64 * 1024;
    // After the child has ended, at most this much more output is read (a program it started may
    // go on writing to the pipe).
    static constexpr std::size_t kMaxAfterEnd = 1024 * 1024;

    ChildOutputReader(Utils::PipeProcess& child, int pollMs) : child_(child), pollMs_(pollMs) {}

    // Waits for the next complete lines and puts them into `chunk` (empty when there are none).
    // Returns false once the child has ended and its output is used up; `chunk` then holds the
    // unfinished last line, if any.
    bool Next(std::string* chunk);
    // Reads and discards output until the child ends, so a child that goes on writing after its
    // final line cannot block on a full pipe.
    void DrainUntilExit();

private:
    enum class Step { kLines, kNothing, kEnded };
    Step ReadOnce(bool childEnded, std::string* chunk);

    Utils::PipeProcess& child_;
    int pollMs_;
    std::string heldBack_;
    bool streamClosed_ = false;
    std::size_t readAfterEnd_ = 0;
};
