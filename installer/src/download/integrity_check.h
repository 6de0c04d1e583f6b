#pragma once
// The check of a finished package against the MD5 carried by its final address (the folder just
// before the file name), and the one retry a downloader may ask for when they differ.

#include <string>

enum class IntegrityVerdict {
    kGood,           // the MD5s match, or the file could not be read back
    kMissingUrlMd5,  // the final address carries no 32-character MD5 folder: accepted with a remark
    kMismatch,       // the file's MD5 differs from the address's
};

IntegrityVerdict CheckIntegrity(const std::string& expectedMd5, const std::string& filePath);

// The final code after a mismatch: DL_CODE_RETRY the first time (setting `retried`), DL_CODE_FAIL
// once `retried` is set.
int CodeAfterMismatch(bool& retried);
