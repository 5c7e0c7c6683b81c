#pragma once

// Shared helpers of the loop tests: every test starts and ends with an empty
// queue on the main thread, since all tests share one loop core.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "platform/loop/Messages.h"
#include "platform/loop/Window.h"

inline void DrainQueue()
{
    MSG msg;
    while (PeekMessage(msg, 0, 0, 0, PM_REMOVE)) {
    }
}

class LoopTest : public ::testing::Test {
protected:
    void SetUp() override { DrainQueue(); }
    void TearDown() override { DrainQueue(); }
};

// Pumps the calling thread's loop until `done` holds or `limitMs` passes.
inline bool PumpUntil(const std::function<bool()>& done, int limitMs = 2000)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        MSG msg;
        if (MsgWaitForMultipleObjects({}, 10) != WAIT_TIMEOUT)
            while (PeekMessage(msg, 0, 0, 0, PM_REMOVE))
                DispatchMessage(msg);
    }
    return true;
}

// A hidden window that destroys itself with the test.
class TestWindow {
public:
    explicit TestWindow(WNDPROC procedure) : FHandle(AllocateHWnd(std::move(procedure))) {}
    ~TestWindow()
    {
        if (IsWindow(FHandle))
            DeallocateHWnd(FHandle);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return FHandle; }

private:
    HWND FHandle;
};
