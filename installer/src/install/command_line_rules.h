#pragma once
// What a path may hold to be written into a child's command line, which is split into arguments with
// the Windows quoting rules. A double quote would end a quoted value early and let the rest of a
// folder name become switches of a program we run; a backslash at the end of a quoted value would
// turn its closing quote into a literal one.

#include <string_view>

inline bool IsSafeCommandLinePath(std::wstring_view path, bool quoted) {
    if (path.find(L'"') != std::wstring_view::npos) {
        return false;
    }
    return !(quoted && !path.empty() && path.back() == L'\\');
}
