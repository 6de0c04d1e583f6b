#include "download/integrity_check.h"

#include "download/downloader.h"
#include "utils/checksum.h"

IntegrityVerdict CheckIntegrity(const std::string& expectedMd5, const std::string& filePath) {
    if (expectedMd5.size() != 32) {
        return IntegrityVerdict::kMissingUrlMd5;
    }
    const std::string actual = Utils::FileMd5(filePath);
    if (actual.size() != 32 || actual == expectedMd5) {
        return IntegrityVerdict::kGood;
    }
    return IntegrityVerdict::kMismatch;
}

int CodeAfterMismatch(bool& retried) {
    if (retried) {
        return DL_CODE_FAIL;
    }
    retried = true;
    return DL_CODE_RETRY;
}
