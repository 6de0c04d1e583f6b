#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

bool ConvertCharset(std::string_view input, const char* from, const char* to, std::string* out) {
    out->clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::string result;
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[4096];
    bool ok = true;
    while (ok) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = inLeft > 0 ? iconv(cd, &in, &inLeft, &outPtr, &outLeft)
                               : iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        result.append(buffer, sizeof buffer - outLeft);
        if (rc == static_cast<size_t>(-1)) {
            ok = errno == E2BIG;
        } else if (inLeft == 0) {
            if (outPtr == buffer) {
                break;  // the final flush wrote nothing more
            }
        }
    }
    iconv_close(cd);
    if (ok) {
        *out = std::move(result);
    }
    return ok;
}

}  // namespace platform
