#include <atomic>
#include <map>
#include <thread>

#include "fixture.h"

namespace display::testing {
namespace {

using QueueTest = HeadlessTest;

constexpr UINT kInstallerEvent = WM_USER + 1000;

TEST_F(QueueTest, MessageNumbersAreTheOnesTheWindowsCodeUses) {
    EXPECT_EQ(kInstallerEvent, 2024u);
    EXPECT_EQ(WM_APP + 1, 0x8001u);
    EXPECT_EQ(WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0x10CF0000u);
}

TEST_F(QueueTest, PostsFromOtherThreadsWakeTheLoopAndKeepEachThreadsOrder) {
    Recorder r;
    HWND hwnd = Create(&r);
    ASSERT_TRUE(hwnd);
    constexpr int kThreads = 4, kPerThread = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([hwnd, t] {
            for (int i = 0; i < kPerThread; ++i) {
                ASSERT_TRUE(PostMessage(hwnd, kInstallerEvent, static_cast<WPARAM>(t), i));
            }
        });
    }
    std::map<WPARAM, LPARAM> next;
    int received = 0;
    MSG msg;
    while (received < kThreads * kPerThread && GetMessage(&msg) > 0) {
        if (msg.message == kInstallerEvent) {
            EXPECT_EQ(next[msg.wParam]++, msg.lParam);
            ++received;
        }
        DispatchMessage(&msg);
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(received, kThreads * kPerThread);
    EXPECT_EQ(r.Count(kInstallerEvent), kThreads * kPerThread);
}

TEST_F(QueueTest, QuitComesAfterThePostedMessagesAndCarriesItsCode) {
    Recorder r;
    HWND hwnd = Create(&r);
    PostMessage(hwnd, kInstallerEvent, 1, 0);
    PostQuitMessage(7);
    PostMessage(hwnd, kInstallerEvent, 2, 0);
    MSG msg;
    std::vector<WPARAM> order;
    int result;
    while ((result = GetMessage(&msg)) > 0) {
        if (msg.message == kInstallerEvent) {
            order.push_back(msg.wParam);
        }
        DispatchMessage(&msg);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(order, (std::vector<WPARAM>{1, 2}));
}

TEST_F(QueueTest, MessagesForADestroyedWindowAreDroppedAndItsHandleStaysDead) {
    Recorder r;
    HWND hwnd = Create(&r);
    screen_->Pump();
    PostMessage(hwnd, kInstallerEvent, 1, 0);
    PostMessage(hwnd, kInstallerEvent, 2, 0);
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessage(hwnd, kInstallerEvent, 3, 0));
    EXPECT_EQ(SendMessage(hwnd, kInstallerEvent, 4, 0), 0);
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
    screen_->Pump();
    EXPECT_EQ(r.Count(kInstallerEvent), 0);
    EXPECT_EQ(r.Sequence({WM_DESTROY, WM_NCDESTROY}), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(QueueTest, CreationSendsTheMessagesInOrderWithTheCreationParameter) {
    Recorder r;
    void* seenParam = nullptr;
    r.handler = [&](HWND, UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (msg == WM_CREATE) {
            seenParam = reinterpret_cast<CREATESTRUCT*>(lp)->lpCreateParams;
        }
        return std::nullopt;
    };
    HWND hwnd =
        display_->CreateWindowEx(0, L"Recorder", L"Glintcap", WS_VISIBLE | WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, 0, &r);
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(seenParam, &r);
    EXPECT_EQ(r.Sequence({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_ACTIVATE,
                                 WM_SETFOCUS}));
    EXPECT_EQ(GetWindowText(hwnd), L"Glintcap");
    EXPECT_EQ(screen_->Title(hwnd), L"Glintcap");
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
}

TEST_F(QueueTest, CreationRefusedByTheProcedureLeavesNoWindow) {
    for (UINT refuse : {WM_NCCREATE, WM_CREATE}) {
        Recorder r;
        r.handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (msg == refuse) {
                return refuse == WM_NCCREATE ? 0 : -1;
            }
            return std::nullopt;
        };
        EXPECT_EQ(Create(&r), nullptr) << refuse;
        EXPECT_EQ(r.Count(WM_NCDESTROY), 1) << refuse;
    }
}

TEST_F(QueueTest, DestroyingAWindowInsideItsOwnHandlerIsSafe) {
    Recorder parent, child;
    HWND top = Create(&parent);
    HWND inner = Create(&child, 10, 10, 50, 50, WS_CHILD | WS_VISIBLE, top);
    ASSERT_TRUE(inner);
    std::vector<std::string> order;
    parent.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_LBUTTONDOWN) {
            DestroyWindow(hwnd);
            EXPECT_FALSE(IsWindow(hwnd));
            return 0;
        }
        if (msg == WM_DESTROY)
            order.push_back("parent destroy");
        if (msg == WM_NCDESTROY)
            order.push_back("parent ncdestroy");
        return std::nullopt;
    };
    child.handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_DESTROY)
            order.push_back("child destroy");
        if (msg == WM_NCDESTROY)
            order.push_back("child ncdestroy");
        return std::nullopt;
    };
    screen_->Click(top, 150, 120);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_EQ(order, (std::vector<std::string>{"parent destroy", "child destroy", "child ncdestroy",
                                               "parent ncdestroy"}));
    EXPECT_EQ(parent.Count(WM_LBUTTONUP), 0);
}

TEST_F(QueueTest, OwnedWindowsAreDestroyedWithTheirOwner) {
    Recorder owner, owned;
    HWND a = Create(&owner);
    HWND b = Create(&owned, 0, 0, 10, 10, WS_POPUP | WS_VISIBLE, a);
    EXPECT_EQ(GetWindow(b, GW_OWNER), a);
    DestroyWindow(a);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(owned.Count(WM_NCDESTROY), 1);
}

TEST_F(QueueTest, ASubclassSeesMessagesFirstAndCallsThePreviousProcedure) {
    Recorder r;
    HWND hwnd = Create(&r);
    static WNDPROC previous = nullptr;
    static int subclassSaw = 0;
    subclassSaw = 0;
    WNDPROC sub = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == kInstallerEvent) {
            ++subclassSaw;
        }
        return CallWindowProc(previous, h, m, w, l);
    };
    previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sub)));
    EXPECT_EQ(previous, &RecorderProc);
    SendMessage(hwnd, kInstallerEvent, 0, 0);
    EXPECT_EQ(subclassSaw, 1);
    EXPECT_EQ(r.Count(kInstallerEvent), 1);
}

TEST_F(QueueTest, PropertiesAndUserDataBelongToTheWindow) {
    Recorder r;
    HWND hwnd = Create(&r);
    int object = 0;
    EXPECT_TRUE(SetProp(hwnd, L"WndX", &object));
    EXPECT_EQ(GetProp(hwnd, L"WndX"), &object);
    EXPECT_EQ(RemoveProp(hwnd, L"WndX"), &object);
    EXPECT_EQ(GetProp(hwnd, L"WndX"), nullptr);
    DestroyWindow(hwnd);
    EXPECT_EQ(GetProp(hwnd, L"WndX"), nullptr);
}

// A modal loop as the window base runs it: the owner is disabled, and the loop still dispatches the
// owner's timers and the reports posted to it until the modal window is gone.
TEST_F(QueueTest, NestedModalLoopKeepsDispatchingTheOwnersTimersAndPosts) {
    Recorder main, modal;
    HWND owner = Create(&main);
    HWND box = nullptr;
    int nestedResult = -1;
    main.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg != kInstallerEvent || box) {
            return std::nullopt;
        }
        box = Create(&modal, 150, 150, 100, 80, WS_POPUP | WS_VISIBLE, hwnd);
        EnableWindow(hwnd, false);
        MSG m;
        int r;
        while (IsWindow(box) && (r = GetMessage(&m)) > 0) {
            if (m.message == WM_CLOSE && m.hwnd == box) {
                nestedResult = static_cast<int>(m.wParam);
                EnableWindow(hwnd, true);
            }
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
        EnableWindow(hwnd, true);
        return 0;
    };
    modal.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_TIMER) {
            KillTimer(hwnd, 1);
            PostMessage(hwnd, WM_CLOSE, 5, 0);
        }
        return std::nullopt;
    };
    SetTimer(owner, 10, 100);
    PostMessage(owner, kInstallerEvent, 0, 0);
    // Inside the nested loop: a worker's report arrives, the owner refuses a click, and the box closes
    // itself 350 ms later; the owner's 100 ms timer keeps running meanwhile.
    screen_->WhenIdle([&] { PostMessage(owner, kInstallerEvent, 99, 0); });
    screen_->WhenIdle([&] { screen_->Click(owner, 5, 5); });
    screen_->WhenIdle([&] { SetTimer(box, 1, 350); });
    MSG m;
    while (!box || IsWindow(box)) {
        ASSERT_GT(GetMessage(&m), 0);
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    EXPECT_EQ(nestedResult, 5);
    EXPECT_EQ(main.Count(kInstallerEvent), 2);
    EXPECT_EQ(main.Count(WM_TIMER), 3);
    EXPECT_EQ(main.Count(WM_LBUTTONDOWN), 0);  // disabled while the box ran
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
}

}  // namespace
}  // namespace display::testing
