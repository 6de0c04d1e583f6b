#pragma once

#include <exception>
#include <string>

namespace Utils {

// Thrown by PipeProcess when a pipe or the child cannot be created; caught at the worker's edge.
class Exception : public std::exception {
public:
    Exception() = default;
    explicit Exception(const std::wstring& message);
    ~Exception() override = default;
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace Utils
