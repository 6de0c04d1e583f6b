#pragma once
// Diagnostic lines: "<P%05d><T%05d><%04d-%02d-%02d %02d:%02d:%02d.%03d>(%s)<%04d>: " + message, one
// write per line to standard error. The format is a literal checked by the compiler; text from
// outside the program (addresses, paths, server errors) is only ever passed as a "%s" value. Wide
// text is passed converted to UTF-8 (Utils::ToNarrow with code page 65001).

#include <string>

// Writes one line; `function` is the writer's qualified name, `line` its source line.
void LogLine(const char* function, int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

namespace logging {
// "void Ns::Class::Method(int) const" -> "Ns::Class::Method"; a lambda keeps a "::<lambda>" part.
std::string QualifiedFunctionName(const char* prettyFunction);
}  // namespace logging

// Logs with the calling function's qualified name and line: LOG_LINE("DL_TYPE=%d\r\n", type).
#define LOG_LINE(...) \
    LogLine(::logging::QualifiedFunctionName(__PRETTY_FUNCTION__).c_str(), __LINE__, __VA_ARGS__)
