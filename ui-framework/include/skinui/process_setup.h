#pragma once
// Process-wide preparation for the framework, called once at start-up before any thread starts.

namespace SkinUI {

// Sets LC_CTYPE to C.UTF-8, so that the archive reader hands out non-ASCII item names and wide
// case folding covers all of Unicode, and makes fontconfig resolve the skin's face "微软雅黑" (and
// "Microsoft YaHei") to the installed WenQuanYi Micro Hei, so that a string renders in one font.
// Returns false when either step failed; the framework still works, with ASCII names only or
// with fontconfig's fallback face.
bool PrepareProcess();

}  // namespace SkinUI
