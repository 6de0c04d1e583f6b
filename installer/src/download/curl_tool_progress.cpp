#include "download/curl_tool_progress.h"

#include <cstdlib>

void CurlToolProgress::Feed(std::string_view output) {
    for (char c : output) {
        if (c == '\r' || c == '\n') {
            Redraw(pending_);
            pending_.clear();
        } else if (pending_.size() < 4096) {
            pending_ += c;
        }
    }
}

void CurlToolProgress::Redraw(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.empty() || text.back() != '%') {
        return;
    }
    text.remove_suffix(1);
    std::size_t start = text.size();
    while (start > 0 && ((text[start - 1] >= '0' && text[start - 1] <= '9') || text[start - 1] == '.')) {
        --start;
    }
    const std::string number(text.substr(start));
    if (number.empty() || number.front() == '.') {
        return;
    }
    const double percent = std::strtod(number.c_str(), nullptr);
    if (percent >= 0.0 && percent <= 100.0) {
        sink_(percent / 100.0);
    }
}
