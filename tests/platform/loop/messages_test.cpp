#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "loop_test_support.h"
#include "platform/core/Exceptions.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Messages.h"
#include "platform/loop/Window.h"

namespace {

struct Delivery {
    HWND Window;
    UINT Message;
    WPARAM WParam;
    bool operator==(const Delivery&) const = default;
};

class MessagesTest : public LoopTest {
protected:
    WNDPROC Recorder()
    {
        return [this](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
            if (message >= WM_USER)
                FDelivered.push_back({hwnd, message, wParam});
            return 0;
        };
    }
    void DispatchAll()
    {
        MSG msg;
        while (PeekMessage(msg, 0, 0, 0, PM_REMOVE))
            DispatchMessage(msg);
    }
    std::vector<Delivery> FDelivered;
};

TEST_F(MessagesTest, PostedMessagesKeepOneOrderAcrossWindowsAndThreadMessages)
{
    TestWindow a(Recorder());
    TestWindow b(Recorder());
    ASSERT_TRUE(PostMessage(a.Handle(), WM_USER, 1, 0));
    ASSERT_TRUE(PostMessage(b.Handle(), WM_USER, 2, 0));
    ASSERT_TRUE(PostMessage(0, WM_USER + 5, 3, 0));
    ASSERT_TRUE(PostMessage(a.Handle(), WM_USER, 4, 0));
    ASSERT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_USER + 5, 5, 0));
    ASSERT_TRUE(PostMessage(b.Handle(), WM_USER, 6, 0));
    EXPECT_TRUE(FDelivered.empty()) << "posting must never dispatch";

    std::vector<WPARAM> order;
    MSG msg;
    while (PeekMessage(msg, 0, 0, 0, PM_REMOVE)) {
        order.push_back(msg.wParam);
        DispatchMessage(msg);
    }
    EXPECT_EQ(order, (std::vector<WPARAM>{1, 2, 3, 4, 5, 6}));
    // Thread messages are seen by the peek but have no procedure to go to.
    EXPECT_EQ(FDelivered, (std::vector<Delivery>{{a.Handle(), WM_USER, 1},
                                                 {b.Handle(), WM_USER, 2},
                                                 {a.Handle(), WM_USER, 4},
                                                 {b.Handle(), WM_USER, 6}}));
}

TEST_F(MessagesTest, MessageForDestroyedWindowIsDroppedAndNeverReachesANewerOne)
{
    HWND old = AllocateHWnd(Recorder());
    ASSERT_NE(old, 0u);
    ASSERT_TRUE(PostMessage(old, WM_USER, 1, 0));
    ASSERT_TRUE(DestroyWindow(old));
    EXPECT_FALSE(IsWindow(old));
    EXPECT_FALSE(PostMessage(old, WM_USER, 2, 0));

    TestWindow newer(Recorder());
    EXPECT_GT(newer.Handle(), old) << "handles only increase";
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, old);
    EXPECT_EQ(DispatchMessage(msg), 0);
    EXPECT_TRUE(FDelivered.empty());
}

TEST_F(MessagesTest, HandlesAreNeverReused)
{
    std::vector<HWND> seen;
    for (int i = 0; i < 50; ++i) {
        HWND hwnd = AllocateHWnd({});
        ASSERT_NE(hwnd, 0u);
        if (!seen.empty()) {
            ASSERT_GT(hwnd, seen.back());
        }
        seen.push_back(hwnd);
        DeallocateHWnd(hwnd);
    }
}

TEST_F(MessagesTest, PeekFiltersByWindowAndRangeAndCanLeaveTheMessage)
{
    TestWindow a(Recorder());
    TestWindow b(Recorder());
    PostMessage(a.Handle(), WM_USER + 1, 1, 0);
    PostMessage(b.Handle(), WM_USER + 2, 2, 0);
    PostMessage(a.Handle(), WM_USER + 3, 3, 0);

    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, b.Handle(), 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessage(msg, 0, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessage(msg, a.Handle(), WM_USER + 2, WM_USER + 3, PM_REMOVE));

    std::vector<WPARAM> rest;
    while (PeekMessage(msg, 0, 0, 0, PM_REMOVE))
        rest.push_back(msg.wParam);
    EXPECT_EQ(rest, (std::vector<WPARAM>{1, 2}));
}

TEST_F(MessagesTest, QuitComesAfterThePostedMessagesAndEndsGetMessage)
{
    TestWindow a(Recorder());
    PostMessage(a.Handle(), WM_USER, 1, 0);
    PostQuitMessage(7);
    PostMessage(a.Handle(), WM_USER, 2, 0);

    MSG msg;
    std::vector<WPARAM> before;
    while (GetMessage(msg, 0, 0, 0))
        before.push_back(msg.wParam);
    EXPECT_EQ(before, (std::vector<WPARAM>{1, 2}));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessage(msg, 0, 0, 0, PM_REMOVE)) << "the quit flag is taken once";
}

TEST_F(MessagesTest, QuitCanBeSeenAndPostedAgain)
{
    PostQuitMessage(2);
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
    ASSERT_EQ(msg.message, WM_QUIT);
    // A wait loop that notices the quit hands it on to the outer loop.
    PostQuitMessage(static_cast<int>(msg.wParam));
    EXPECT_FALSE(GetMessage(msg, 0, 0, 0));
    EXPECT_EQ(msg.wParam, 2u);
}

TEST_F(MessagesTest, PostedQuitIsAnOrdinaryQueueEntry)
{
    TestWindow a(Recorder());
    PostMessage(0, WM_QUIT, 4, 0);
    PostMessage(a.Handle(), WM_USER, 1, 0);
    MSG msg;
    EXPECT_FALSE(GetMessage(msg, 0, 0, 0));
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_TRUE(GetMessage(msg, 0, 0, 0));
    EXPECT_EQ(msg.wParam, 1u);
}

TEST_F(MessagesTest, SendMessageOnTheOwningThreadRunsAtOnce)
{
    TestWindow a([](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return message == WM_USER ? static_cast<LRESULT>(wParam) + lParam : 0;
    });
    EXPECT_EQ(SendMessage(a.Handle(), WM_USER, 40, 2), 42);
    EXPECT_EQ(SendMessage(a.Handle() + 1000, WM_USER, 40, 2), 0) << "unknown window";
}

TEST_F(MessagesTest, SendMessageFromAnotherThreadIsAnsweredByTheOwnersNextPeek)
{
    std::thread::id ranOn;
    TestWindow a([&](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message != WM_USER)
            return 0;
        ranOn = std::this_thread::get_id();
        return static_cast<LRESULT>(wParam) * 2;
    });
    std::atomic<LRESULT> answer{0};
    std::thread worker([&] {
        answer = SendMessage(a.Handle(), WM_USER, 21, 0);
        PostMessage(a.Handle(), WM_USER + 1, 0, 0);
    });
    MSG msg;
    ASSERT_TRUE(GetMessage(msg, 0, 0, 0));  // the sent message is served inside it
    EXPECT_EQ(msg.message, WM_USER + 1u);
    worker.join();
    EXPECT_EQ(answer.load(), 42);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST_F(MessagesTest, AnExceptionFromAProcedureLeavesDispatchAndTheQueueGoesOn)
{
    TestWindow a([this](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message == WM_USER && wParam == 1)
            throw EConvertError("'x' is not a valid integer value");
        if (message == WM_USER)
            FDelivered.push_back({hwnd, message, wParam});
        return 0;
    });
    PostMessage(a.Handle(), WM_USER, 1, 0);
    PostMessage(a.Handle(), WM_USER, 2, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_THROW(DispatchMessage(msg), EConvertError);
    DispatchAll();
    EXPECT_EQ(FDelivered, (std::vector<Delivery>{{a.Handle(), WM_USER, 2}}));
}

TEST_F(MessagesTest, ASenderIsReleasedWhenTheProcedureThrows)
{
    TestWindow a([](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == WM_USER)
            throw Exception("handler failed");
        return 0;
    });
    std::atomic<LRESULT> answer{-1};
    std::thread worker([&] { answer = SendMessage(a.Handle(), WM_USER, 0, 0); });
    MSG msg;
    EXPECT_THROW(GetMessage(msg, 0, 0, 0), Exception);  // thrown where the send was served
    worker.join();
    EXPECT_EQ(answer.load(), 0);
}

TEST_F(MessagesTest, DestroyWindowSendsDestroyMessagesAndMayRunInsideTheProcedure)
{
    std::vector<UINT> seen;
    HWND hwnd = AllocateHWnd([&](HWND self, UINT message, WPARAM, LPARAM) -> LRESULT {
        seen.push_back(message);
        if (message == WM_USER) {
            EXPECT_TRUE(DestroyWindow(self));
            EXPECT_FALSE(IsWindow(self));
        }
        if (message == WM_DESTROY) {
            EXPECT_TRUE(IsWindow(self)) << "still there while it is told";
        }
        return 0;
    });
    SendMessage(hwnd, WM_USER, 0, 0);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_CREATE, WM_USER, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(DestroyWindow(hwnd));
}

TEST_F(MessagesTest, DefaultProcedureDestroysOnClose)
{
    HWND hwnd = AllocateHWnd({});
    PostMessage(hwnd, WM_CLOSE, 0, 0);
    DispatchAll();
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(MessagesTest, WindowClassesAndExtraWords)
{
    LONG_PTR created = 0;
    WNDCLASS windowClass;
    windowClass.lpszClassName = "LoopTestSocketWindow";
    windowClass.cbWndExtra = 2 * sizeof(LONG_PTR);
    windowClass.lpfnWndProc = [&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        created += message == WM_CREATE;
        return 0;
    };
    ASSERT_TRUE(RegisterWindowClass(windowClass));
    windowClass.lpszClassName = "loopTESTsocketwindow";
    EXPECT_FALSE(RegisterWindowClass(windowClass)) << "names compare case-insensitively";

    WNDCLASS found;
    ASSERT_TRUE(GetWindowClassInfo("LOOPTESTSOCKETWINDOW", found));
    EXPECT_EQ(found.cbWndExtra, static_cast<int>(2 * sizeof(LONG_PTR)));
    EXPECT_FALSE(GetWindowClassInfo("NoSuchClass", found));
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 0, 0, 0), 0u);

    HWND hwnd = CreateWindowEx(WS_EX_TOOLWINDOW, "LoopTestSocketWindow", "", WS_POPUP, 0, 0, 0, 0, 0);
    ASSERT_NE(hwnd, 0u);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(GetWindowClassName(hwnd), "LoopTestSocketWindow");
    EXPECT_EQ(GetWindowThreadId(hwnd), GetCurrentThreadId());

    int object = 0;
    const auto pointer = reinterpret_cast<LONG_PTR>(&object);
    EXPECT_EQ(SetWindowLongPtr(hwnd, 0, pointer), 0);
    EXPECT_EQ(GetWindowLongPtr(hwnd, 0), pointer) << "an extra word holds a whole pointer";
    EXPECT_EQ(SetWindowLongPtr(hwnd, sizeof(LONG_PTR), 5), 0);
    EXPECT_EQ(SetWindowLongPtr(hwnd, GWLP_USERDATA, 9), 0);
    EXPECT_EQ(GetWindowLongPtr(hwnd, GWLP_USERDATA), 9);
    EXPECT_EQ(SetWindowLongPtr(hwnd, 0, 0), pointer);
    for (int bad : {-1, 4, static_cast<int>(2 * sizeof(LONG_PTR)), 1000}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(GetWindowLongPtr(hwnd, bad), Exception);
        EXPECT_THROW(SetWindowLongPtr(hwnd, bad, 1), Exception);
    }

    EXPECT_FALSE(UnregisterWindowClass("LoopTestSocketWindow")) << "a window of it still exists";
    DestroyWindow(hwnd);
    EXPECT_EQ(GetWindowLongPtr(hwnd, 0), 0) << "a destroyed window answers 0";
    EXPECT_TRUE(UnregisterWindowClass("LoopTestSocketWindow"));
    EXPECT_FALSE(UnregisterWindowClass("LoopTestSocketWindow"));
}

TEST_F(MessagesTest, ClassRegistrationRefusesBadClasses)
{
    struct Case {
        const char* Name;
        std::string ClassName;
        int Extra;
    };
    for (const Case& c : {Case{"empty name", "", 0}, Case{"negative extra", "LoopTestBad1", -8},
                          Case{"extra not in words", "LoopTestBad2", 4}}) {
        SCOPED_TRACE(c.Name);
        WNDCLASS windowClass;
        windowClass.lpszClassName = c.ClassName;
        windowClass.cbWndExtra = c.Extra;
        EXPECT_FALSE(RegisterWindowClass(windowClass));
    }
}

TEST_F(MessagesTest, CreationFailsWhenTheProcedureRefusesCreate)
{
    WNDCLASS windowClass;
    windowClass.lpszClassName = "LoopTestRefusing";
    windowClass.lpfnWndProc = [](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        return message == WM_CREATE ? -1 : 0;
    };
    ASSERT_TRUE(RegisterWindowClass(windowClass));
    EXPECT_EQ(CreateWindowEx(0, "LoopTestRefusing", "", 0, 0, 0, 0, 0, 0), 0u);
    EXPECT_TRUE(UnregisterWindowClass("LoopTestRefusing")) << "nothing of it was left behind";
}

TEST_F(MessagesTest, SubclassingReplacesTheProcedure)
{
    TestWindow a(Recorder());
    WNDPROC previous = SetWindowProc(a.Handle(), [&](HWND hwnd, UINT message, WPARAM wParam,
                                                     LPARAM lParam) -> LRESULT {
        return message == WM_USER + 9 ? 99 : 0;
    });
    EXPECT_EQ(SendMessage(a.Handle(), WM_USER + 9, 0, 0), 99);
    ASSERT_TRUE(previous);
    previous(a.Handle(), WM_USER, 1, 0);
    EXPECT_EQ(FDelivered.size(), 1u);
}

TEST_F(MessagesTest, WindowsOfAnEndedThreadAreGone)
{
    HWND hwnd = 0;
    std::thread([&] { hwnd = AllocateHWnd({}); }).join();
    ASSERT_NE(hwnd, 0u);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessage(hwnd, WM_USER, 0, 0));
    EXPECT_EQ(SendMessage(hwnd, WM_USER, 0, 0), 0);
}

TEST_F(MessagesTest, OnlyTheOwningThreadDestroysAWindow)
{
    TestWindow a(Recorder());
    bool destroyed = true;
    std::thread([&] { destroyed = DestroyWindow(a.Handle()); }).join();
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(IsWindow(a.Handle()));
}

TEST_F(MessagesTest, ThreadMessagesNeedALiveThread)
{
    DWORD ended = 0;
    std::thread([&] { ended = GetCurrentThreadId(); }).join();
    ASSERT_NE(ended, 0u);
    EXPECT_NE(ended, MainThreadId());
    EXPECT_FALSE(PostThreadMessage(ended, WM_USER, 0, 0));
    EXPECT_EQ(GetCurrentThreadId(), MainThreadId()) << "the tests run on the initial thread";
}

}  // namespace
