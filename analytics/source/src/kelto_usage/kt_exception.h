#pragma once
// The tracker library's exception: raised for every invalid record or value, absorbed by
// UsageTrackerWrapper so that applications never see it.

#include <exception>
#include <string>

namespace kelto::usage {

inline constexpr char kTrackerImplSource[] = "..\\..\\..\\..\\source\\src\\UsageTrackerImpl.cpp";
inline constexpr char kContextPropertiesSource[] = "..\\..\\..\\..\\source\\src\\KtContextProperties.cpp";
inline constexpr char kUserTrackerSource[] = "..\\..\\..\\..\\source\\src\\NativeUserTracker.cpp";

class KtException : public std::exception {
public:
    KtException(std::string message, std::string file, std::string function, int line)
        : message_(std::move(message)), file_(std::move(file)), function_(std::move(function)), line_(line) {}

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const { return message_; }
    const std::string& file() const { return file_; }
    const std::string& function() const { return function_; }
    int line() const { return line_; }
    int code() const { return code_; }
    int subCode() const { return subCode_; }

private:
    std::string message_;
    std::string file_;
    std::string function_;
    int line_;
    int code_ = -1;
    int subCode_ = -1;
};

}  // namespace kelto::usage

// Raises KtException with the source file text of the tracker library and the current line.
#define KT_THROW(file, function, message) \
    throw ::kelto::usage::KtException((message), (file), (function), __LINE__)
