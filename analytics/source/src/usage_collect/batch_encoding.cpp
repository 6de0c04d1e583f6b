#include "usage_collect/batch_encoding.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <climits>

namespace usage_collect {

bool GzipCompress(std::string_view text, std::string* compressed, std::string* error) {
    z_stream stream{};
    constexpr int kGzipWindowBits = 31;
    if (deflateInit2(&stream, 9, Z_DEFLATED, kGzipWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        *error = "deflateInit2 failed while compressing.";
        return false;
    }
    if (text.size() > UINT_MAX) {
        deflateEnd(&stream);
        *error = "Exception during zlib compression: (" + std::to_string(Z_BUF_ERROR) + ") input too large";
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    compressed->clear();
    char chunk[32768];
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        result = deflate(&stream, Z_FINISH);
        compressed->append(chunk, sizeof chunk - stream.avail_out);
    }
    if (result != Z_STREAM_END) {
        *error = "Exception during zlib compression: (" + std::to_string(result) + ") " +
                 (stream.msg ? stream.msg : "");
    }
    deflateEnd(&stream);
    return result == Z_STREAM_END;
}

std::string Base64Encode(std::string_view bytes) {
    std::string encoded(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    int length =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()),
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    encoded.resize(static_cast<std::size_t>(length));
    return encoded;
}

std::string UrlEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size() * 3 / 2);
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                     (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
        if (plain) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[byte >> 4]);
            encoded.push_back(kHex[byte & 0x0F]);
        }
    }
    return encoded;
}

bool BuildRequestBody(std::string_view batch, std::string* body, std::string* error) {
    std::string compressed;
    if (!GzipCompress(batch, &compressed, error)) {
        return false;
    }
    *body = "data_list=" + UrlEncode(Base64Encode(compressed)) + "&gzip=1";
    return true;
}

}  // namespace usage_collect
