#pragma once
// The checks every name, identifier and string value passes before it goes into a record. Each
// returns false and fills `message` with the text written to standard error.

#include <string>
#include <string_view>

namespace usage_collect {

inline constexpr std::size_t kMaxNameLength = 100;
inline constexpr std::size_t kMaxIdentifierLength = 255;
inline constexpr std::size_t kMaxStringValueLength = 8192;

// 1..100 bytes; first byte a-z, A-Z, '$' or '_'; the rest also 0-9. `what` names the item ("Event Name").
bool CheckVariableName(std::string_view name, std::string_view what, std::string* message);
// Non-empty and at most 255 bytes. `what` names the item ("Distinct ID").
bool CheckIdentifier(std::string_view id, std::string_view what, std::string* message);
// Well-formed UTF-8 whose single bytes are printable ASCII, TAB, LF or CR.
bool IsAcceptableUtf8(std::string_view text);
// At most 8192 bytes and acceptable UTF-8.
bool CheckStringValue(std::string_view key, std::string_view text, std::string* message);

}  // namespace usage_collect
