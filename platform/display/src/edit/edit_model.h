#pragma once
// The text, caret and selection of a single-line edit field, with its limits. Pure logic: the edit
// window turns messages into these calls and draws the result.

#include <cstddef>
#include <string>

namespace display::detail {

class EditModel {
public:
    const std::wstring& text() const { return text_; }
    std::size_t caret() const { return caret_; }
    std::size_t anchor() const { return anchor_; }
    std::size_t selectionStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
    std::size_t selectionEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
    bool HasSelection() const { return caret_ != anchor_; }
    std::wstring SelectedText() const;

    // Replaces the whole text without limits (as setting the window text does); caret at the start.
    void SetText(std::wstring text);
    void SetLimit(std::size_t limit) { limit_ = limit; }
    std::size_t limit() const { return limit_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool readOnly() const { return readOnly_; }
    void SetNumberOnly(bool numberOnly) { numberOnly_ = numberOnly; }

    enum class Insert { Changed, Unchanged, Rejected, Truncated };
    // Replaces the selection with `text`: line breaks and control characters are dropped, a number-only
    // field refuses anything but digits, and the limit cuts what does not fit.
    Insert InsertText(const std::wstring& text);
    bool DeleteBackward();
    bool DeleteForward();
    bool DeleteSelection();

    enum class Move { Left, Right, Home, End, WordLeft, WordRight };
    void MoveCaret(Move move, bool extend);
    void SetCaret(std::size_t position, bool extend);
    // Windows semantics: (0, -1) selects everything; a negative start removes the selection.
    void SetSelection(long start, long end);
    void SelectWordAt(std::size_t position);

private:
    std::wstring text_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    std::size_t limit_ = 0x7FFFFFFE;
    bool readOnly_ = false;
    bool numberOnly_ = false;
};

}  // namespace display::detail
