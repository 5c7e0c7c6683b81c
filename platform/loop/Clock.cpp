#include "platform/loop/Clock.h"

#include <chrono>
#include <thread>

void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD timeGetTime()
{
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

UINT timeBeginPeriod(UINT periodMs) { return periodMs == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }

UINT timeEndPeriod(UINT periodMs) { return periodMs == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }
