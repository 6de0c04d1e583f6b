#pragma once
// Scripted copies of the fake package and uninstaller (testing/programs) for one test.

#include <string>

#include "fake_script.h"
#include "testing/test_folder.h"

inline constexpr const char* kFakePackage = FAKE_PACKAGE_PATH;
inline constexpr const char* kFakeUninstaller = FAKE_UNINSTALLER_PATH;

// A copy of `program` at `path` that runs `script`.
inline std::string ScriptedProgram(const char* program, const std::string& path, const std::string& script,
                                   std::size_t minimumSize = 0) {
    EXPECT_TRUE(fake_script::AppendFakeScript(program, path, script, minimumSize)) << path;
    return path;
}
