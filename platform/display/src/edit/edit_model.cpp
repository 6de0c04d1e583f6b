#include "edit_model.h"

#include <algorithm>
#include <cwctype>

namespace display::detail {

std::wstring EditModel::SelectedText() const {
    return text_.substr(selectionStart(), selectionEnd() - selectionStart());
}

void EditModel::SetText(std::wstring text) {
    text_ = std::move(text);
    caret_ = anchor_ = 0;
}

EditModel::Insert EditModel::InsertText(const std::wstring& input) {
    if (readOnly_) {
        return Insert::Rejected;
    }
    std::wstring clean;
    for (wchar_t c : input) {
        if (c < 0x20 || c == 0x7F) {
            continue;
        }
        if (numberOnly_ && !(c >= L'0' && c <= L'9')) {
            return Insert::Rejected;
        }
        clean += c;
    }
    if (clean.empty() && !input.empty()) {
        return Insert::Unchanged;
    }
    std::size_t kept = text_.size() - (selectionEnd() - selectionStart());
    std::size_t room = limit_ > kept ? limit_ - kept : 0;
    bool truncated = clean.size() > room;
    if (truncated) {
        clean.resize(room);
        if (clean.empty()) {
            return Insert::Truncated;
        }
    }
    std::size_t start = selectionStart();
    text_.replace(start, selectionEnd() - start, clean);
    caret_ = anchor_ = start + clean.size();
    return truncated ? Insert::Truncated : Insert::Changed;
}

bool EditModel::DeleteSelection() {
    if (readOnly_ || !HasSelection()) {
        return false;
    }
    std::size_t start = selectionStart();
    text_.erase(start, selectionEnd() - start);
    caret_ = anchor_ = start;
    return true;
}

bool EditModel::DeleteBackward() {
    if (readOnly_) {
        return false;
    }
    if (HasSelection()) {
        return DeleteSelection();
    }
    if (caret_ == 0) {
        return false;
    }
    text_.erase(--caret_, 1);
    anchor_ = caret_;
    return true;
}

bool EditModel::DeleteForward() {
    if (readOnly_) {
        return false;
    }
    if (HasSelection()) {
        return DeleteSelection();
    }
    if (caret_ >= text_.size()) {
        return false;
    }
    text_.erase(caret_, 1);
    return true;
}

void EditModel::SetCaret(std::size_t position, bool extend) {
    caret_ = std::min(position, text_.size());
    if (!extend) {
        anchor_ = caret_;
    }
}

void EditModel::MoveCaret(Move move, bool extend) {
    std::size_t to = caret_;
    auto isSpace = [&](std::size_t i) { return std::iswspace(text_[i]) != 0; };
    switch (move) {
        case Move::Left:
            // Without Shift, Left from a selection lands on its start.
            to = (!extend && HasSelection()) ? selectionStart() : (caret_ > 0 ? caret_ - 1 : 0);
            break;
        case Move::Right:
            to = (!extend && HasSelection()) ? selectionEnd() : std::min(caret_ + 1, text_.size());
            break;
        case Move::Home:
            to = 0;
            break;
        case Move::End:
            to = text_.size();
            break;
        case Move::WordLeft:
            while (to > 0 && isSpace(to - 1)) {
                --to;
            }
            while (to > 0 && !isSpace(to - 1)) {
                --to;
            }
            break;
        case Move::WordRight:
            while (to < text_.size() && !isSpace(to)) {
                ++to;
            }
            while (to < text_.size() && isSpace(to)) {
                ++to;
            }
            break;
    }
    SetCaret(to, extend);
}

void EditModel::SetSelection(long start, long end) {
    long size = static_cast<long>(text_.size());
    if (start < 0) {
        anchor_ = caret_;
        return;
    }
    if (end < 0 || end > size) {
        end = size;
    }
    start = std::min(start, size);
    anchor_ = static_cast<std::size_t>(start);
    caret_ = static_cast<std::size_t>(end);
}

void EditModel::SelectWordAt(std::size_t position) {
    position = std::min(position, text_.size());
    std::size_t start = position, end = position;
    auto isSpace = [&](std::size_t i) { return std::iswspace(text_[i]) != 0; };
    while (start > 0 && !isSpace(start - 1)) {
        --start;
    }
    while (end < text_.size() && !isSpace(end)) {
        ++end;
    }
    anchor_ = start;
    caret_ = end;
}

}  // namespace display::detail
