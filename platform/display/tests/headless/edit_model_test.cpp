#include "../../src/edit/edit_model.h"

#include <gtest/gtest.h>

namespace display::detail {
namespace {

using Insert = EditModel::Insert;

TEST(EditModel, InsertionFollowsTheFieldsRules) {
    struct Case {
        const char* name;
        std::wstring start;
        long selStart, selEnd;
        std::size_t limit;
        bool numberOnly, readOnly;
        std::wstring typed;
        Insert result;
        std::wstring text;
        std::size_t caret;
    } cases[] = {
        {"append", L"ab", 2, 2, 255, false, false, L"c", Insert::Changed, L"abc", 3},
        {"replace selection", L"hello", 1, 4, 255, false, false, L"EY", Insert::Changed, L"hEYo", 3},
        {"line breaks dropped", L"", 0, 0, 255, false, false, L"a\r\nb\t", Insert::Changed, L"ab", 2},
        {"limit cuts a paste", L"abc", 3, 3, 5, false, false, L"defg", Insert::Truncated, L"abcde", 5},
        {"full field refuses", L"abcde", 5, 5, 5, false, false, L"f", Insert::Truncated, L"abcde", 5},
        {"selection frees room", L"abcde", 0, 5, 5, false, false, L"xy", Insert::Changed, L"xy", 2},
        {"digits accepted", L"12", 2, 2, 255, true, false, L"34", Insert::Changed, L"1234", 4},
        {"letter refused", L"12", 2, 2, 255, true, false, L"3a", Insert::Rejected, L"12", 2},
        {"read-only", L"ab", 1, 1, 255, false, true, L"x", Insert::Rejected, L"ab", 1},
        {"control characters only", L"ab", 2, 2, 255, false, false, L"\x03", Insert::Unchanged, L"ab", 2},
        {"wide characters", L"", 0, 0, 2, false, false, L"中文字", Insert::Truncated, L"中文", 2},
    };
    for (const Case& c : cases) {
        EditModel m;
        m.SetText(c.start);
        m.SetLimit(c.limit);
        m.SetNumberOnly(c.numberOnly);
        m.SetReadOnly(c.readOnly);
        m.SetSelection(c.selStart, c.selEnd);
        EXPECT_EQ(m.InsertText(c.typed), c.result) << c.name;
        EXPECT_EQ(m.text(), c.text) << c.name;
        EXPECT_EQ(m.caret(), c.caret) << c.name;
    }
}

TEST(EditModel, CaretMovesAndSelectionsAsTheKeysDo) {
    EditModel m;
    m.SetText(L"one two  three");
    m.SetCaret(5, false);
    m.MoveCaret(EditModel::Move::Right, true);
    m.MoveCaret(EditModel::Move::Right, true);
    EXPECT_EQ(m.SelectedText(), L"wo");
    m.MoveCaret(EditModel::Move::Left, false);  // collapses to the selection's start
    EXPECT_EQ(m.caret(), 5u);
    EXPECT_FALSE(m.HasSelection());
    m.MoveCaret(EditModel::Move::WordRight, false);
    EXPECT_EQ(m.caret(), 9u);
    m.MoveCaret(EditModel::Move::WordLeft, false);
    EXPECT_EQ(m.caret(), 4u);
    m.MoveCaret(EditModel::Move::End, true);
    EXPECT_EQ(m.SelectedText(), L"two  three");
    m.SetSelection(0, -1);
    EXPECT_EQ(m.SelectedText(), L"one two  three");
    m.SetSelection(-1, 0);
    EXPECT_FALSE(m.HasSelection());
    m.SelectWordAt(11);
    EXPECT_EQ(m.SelectedText(), L"three");
    EXPECT_TRUE(m.DeleteBackward());
    EXPECT_EQ(m.text(), L"one two  ");
    m.SetCaret(0, false);
    EXPECT_FALSE(m.DeleteBackward());
    EXPECT_TRUE(m.DeleteForward());
    EXPECT_EQ(m.text(), L"ne two  ");
}

}  // namespace
}  // namespace display::detail
