#pragma once
// The tracker's log file. Lines are written only while the tracker's event-logging switch is on.

#include <fstream>
#include <mutex>
#include <string>

namespace kelto::usage {

class TrackLogger {
public:
    virtual ~TrackLogger() = default;
    virtual void log(const std::string& level, const std::string& message) = 0;
};

class NativeTrackLogger : public TrackLogger {
public:
    // Creates the file empty when missing and keeps it open for appending.
    explicit NativeTrackLogger(const std::string& path);

    bool is_open() const { return file_.is_open(); }
    // time TAB level TAB message, with line breaks and tabs in the message turned into blanks.
    void log(const std::string& level, const std::string& message) override;

    static std::string FormatLine(const std::string& time, const std::string& level,
                                  const std::string& message);

private:
    std::mutex lock_;
    std::ofstream file_;
};

}  // namespace kelto::usage
