#include "utils/checksum.h"

#include <openssl/evp.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace Utils {

std::string FileMd5(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        return {};
    }
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) {
        return {};
    }
    // Larger blocks than the original 1024 bytes give the same digest with fewer calls.
    std::vector<unsigned char> block(1 << 20);
    size_t n;
    while ((n = std::fread(block.data(), 1, block.size(), file.get())) > 0) {
        if (EVP_DigestUpdate(context.get(), block.data(), n) != 1) {
            return {};
        }
    }
    if (std::ferror(file.get())) {
        return {};
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) {
        return {};
    }
    std::string hex;
    char pair[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

std::string UrlMd5(const std::string& url) {
    size_t last = url.rfind('/');
    if (url.empty() || last == std::string::npos) {
        return {};
    }
    std::string head = url.substr(0, last);
    size_t previous = head.rfind('/');
    if (previous == std::string::npos) {
        return {};
    }
    return head.substr(previous + 1);
}

}  // namespace Utils
