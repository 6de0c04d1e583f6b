#pragma once
// The line rules shared by the package and uninstaller output protocols: lines end at a line feed,
// keys are exact case-sensitive prefixes, and a string value is the rest of the line when it holds 1
// to 771 characters (an empty or longer value is passed as an empty text).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace output_lines {

inline constexpr std::size_t kMaxValueLength = 771;

// The lines of a decoded chunk, without their line feeds; empty lines are left out.
std::vector<std::wstring_view> SplitLines(std::wstring_view text);
// True when `line` starts with `key`; `rest` is then everything after it.
bool StartsWithKey(std::wstring_view line, std::wstring_view key, std::wstring_view* rest);
// The text passed on for a string value.
std::wstring ValueText(std::wstring_view rest);
// A decimal floating-point number at the start of `rest` ("%lf"); 0.0 when there is none.
double LeadingDouble(std::wstring_view rest);
// A decimal integer at the start of `rest` ("%d"); 0 when there is none. Kept to the int range.
int LeadingInt(std::wstring_view rest);
// Reads up to `count` integers separated by dots ("%d.%d.%d"); returns how many were read.
int LeadingDottedInts(std::wstring_view rest, int* values, int count);

}  // namespace output_lines
