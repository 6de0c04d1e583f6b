#include "fixture.h"

namespace display::testing {
namespace {

// A parent window with an edit field over the rectangle (20, 40, 180, 64), as the edit control shows
// its native window.
class EditWindowTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        parent_.handler = [](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            return msg == WM_PAINT ? PaintSolid(hwnd, 0xFF808080) : std::nullopt;
        };
        top_ = Create(&parent_, 100, 100, 200, 120);
        ASSERT_TRUE(top_);
        font_ = CreateFont(L"Sans", 14, false, false, false);
    }
    HWND MakeEdit(DWORD style = 0, const wchar_t* text = L"") {
        HWND edit = display_->CreateWindowEx(0, L"Edit", text, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | style,
                                             20, 40, 160, 24, top_, 77, nullptr);
        EXPECT_TRUE(edit);
        SendMessage(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
        SendMessage(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        return edit;
    }
    void TearDown() override {
        if (top_) {
            DestroyWindow(top_);
        }
        DeleteFont(font_);
    }
    int Changes() const {
        int n = 0;
        for (const Seen& s : parent_.Only(WM_COMMAND)) {
            n += HIWORD(s.wParam) == EN_CHANGE && LOWORD(s.wParam) == 77;
        }
        return n;
    }
    void Chord(UINT vk, bool shift, bool control) {
        screen_->SetModifiers(shift, control, false);
        screen_->Press(vk);
        screen_->SetModifiers(false, false, false);
    }

    Recorder parent_;
    HWND top_ = nullptr;
    HFONT font_ = nullptr;
};

TEST_F(EditWindowTest, TypingEditsTheTextAndTellsTheParentOncePerChange) {
    HWND edit = MakeEdit();
    screen_->Click(edit, 5, 12);
    EXPECT_EQ(GetFocus(), edit);
    screen_->Type(L"Glintcap");
    EXPECT_EQ(GetWindowText(edit), L"Glintcap");
    EXPECT_EQ(Changes(), 8);
    screen_->Press(VK_BACK);
    Chord(VK_LEFT, false, false);
    Chord(VK_LEFT, true, false);
    Chord(VK_LEFT, true, false);
    screen_->Type(L"X");
    EXPECT_EQ(GetWindowText(edit), L"GlinXa");
    screen_->CommitText(L"中文");
    screen_->Pump();
    EXPECT_EQ(GetWindowText(edit), L"GlinX中文a");
    DWORD start = 0, end = 0;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 7u);
    EXPECT_EQ(end, 7u);
}

TEST_F(EditWindowTest, ClipboardCopyCutAndPasteWithTheKeys) {
    HWND edit = MakeEdit(0, L"Program Files");
    SetFocus(edit);
    Chord('A', false, true);
    Chord('C', false, true);
    EXPECT_EQ(display_->GetClipboardText(), L"Program Files");
    Chord(VK_END, false, false);
    Chord(VK_LEFT, true, true);  // select the last word
    Chord('X', false, true);
    EXPECT_EQ(GetWindowText(edit), L"Program ");
    EXPECT_EQ(display_->GetClipboardText(), L"Files");
    Chord('V', false, true);
    Chord('V', false, true);
    EXPECT_EQ(GetWindowText(edit), L"Program FilesFiles");
}

TEST_F(EditWindowTest, LimitNumberOnlyReadOnlyAndPasswordModes) {
    HWND limited = MakeEdit(ES_NUMBER);
    SendMessage(limited, EM_LIMITTEXT, 4, 0);
    SetFocus(limited);
    screen_->Type(L"12a345");
    EXPECT_EQ(GetWindowText(limited), L"1234");
    int maxText = 0;
    for (const Seen& s : parent_.Only(WM_COMMAND)) {
        maxText += HIWORD(s.wParam) == EN_MAXTEXT;
    }
    EXPECT_EQ(maxText, 1);
    DestroyWindow(limited);

    HWND readOnly = MakeEdit(ES_READONLY, L"fixed");
    SetFocus(readOnly);
    screen_->Type(L"x");
    screen_->Press(VK_BACK);
    Chord('A', false, true);
    Chord('C', false, true);
    EXPECT_EQ(GetWindowText(readOnly), L"fixed");
    EXPECT_EQ(display_->GetClipboardText(), L"fixed");  // reading is allowed
    SendMessage(readOnly, EM_SETREADONLY, 0, 0);
    screen_->Type(L"!");
    EXPECT_EQ(GetWindowText(readOnly), L"!");
    DestroyWindow(readOnly);

    HWND secret = MakeEdit(ES_PASSWORD, L"hunter2");
    SetFocus(secret);
    Chord('A', false, true);
    Chord('C', false, true);
    Chord('X', false, true);
    EXPECT_EQ(display_->GetClipboardText(), L"fixed");  // a password is never copied
    EXPECT_EQ(GetWindowText(secret), L"hunter2");
}

TEST_F(EditWindowTest, ReturnReachesASubclassAndIsNotInserted) {
    HWND edit = MakeEdit();
    static WNDPROC previous = nullptr;
    static int returns = 0;
    returns = 0;
    WNDPROC sub = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_KEYDOWN && w == VK_RETURN) {
            ++returns;
            return 0;
        }
        return CallWindowProc(previous, h, m, w, l);
    };
    previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtr(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sub)));
    SetFocus(edit);
    screen_->Type(L"ok\r");
    EXPECT_EQ(returns, 1);
    EXPECT_EQ(GetWindowText(edit), L"ok");
}

TEST_F(EditWindowTest, DraggingSelectsAndTheFieldIsDrawnOverItsParent) {
    HWND edit = MakeEdit(0, L"abcdefghij");
    SendMessage(edit, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(0xFFFFFFFF));
    screen_->Drag(edit, {0, 12}, {159, 12});
    DWORD start = 0, end = 0;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 10u);
    WindowImage image = screen_->Capture(top_);
    EXPECT_EQ(image.At(19, 50), 0xFF808080u);   // parent
    EXPECT_EQ(image.At(179, 63), 0xFFFFFFFFu);  // field background, bottom-right corner
    EXPECT_EQ(image.At(180, 50), 0xFF808080u);
    bool selectionShown = false;
    for (int x = 20; x < 180 && !selectionShown; ++x) {
        selectionShown = image.At(x, 52) == 0xFF3399FFu;
    }
    EXPECT_TRUE(selectionShown);
    // A half-transparent background lets the parent through.
    SendMessage(edit, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(0x80000000));
    SetFocus(top_);
    screen_->Pump();
    std::uint32_t blended = screen_->Capture(top_).At(179, 63);
    EXPECT_EQ(blended, 0xFF404040u);
}

// Where the caret of an empty focused field stands shows the alignment without depending on fonts.
TEST_F(EditWindowTest, AlignmentPlacesTheCaret) {
    struct Case {
        DWORD style;
        int caretX;  // in the parent's client area
    } cases[] = {{ES_LEFT, 20}, {ES_CENTER, 100}, {ES_RIGHT, 179}};
    for (const Case& c : cases) {
        HWND edit = MakeEdit(c.style);
        SetFocus(edit);
        screen_->Pump();
        WindowImage image = screen_->Capture(top_);
        std::vector<int> dark;
        for (int x = 20; x < 180; ++x) {
            if (image.At(x, 52) == 0xFF000000u) {
                dark.push_back(x);
            }
        }
        EXPECT_EQ(dark, std::vector<int>{c.caretX}) << c.style;
        DestroyWindow(edit);
    }
}

}  // namespace
}  // namespace display::testing
