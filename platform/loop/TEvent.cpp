#include "platform/loop/TEvent.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/core/Exceptions.h"

TEvent::TEvent(bool ManualReset, bool InitialState)
    : FFd(eventfd(InitialState ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC)), FManualReset(ManualReset)
{
    if (FFd < 0)
        throw Exception(std::string("Cannot create an event: ") + std::strerror(errno));
}

TEvent::~TEvent() { close(FFd); }

void TEvent::SetEvent()
{
    std::uint64_t one = 1;
    // EAGAIN means the counter is full: the event is signalled all the same.
    [[maybe_unused]] ssize_t written = write(FFd, &one, sizeof one);
}

void TEvent::ResetEvent()
{
    std::uint64_t value = 0;
    [[maybe_unused]] ssize_t got = read(FFd, &value, sizeof value);
}

bool TEvent::TryTake()
{
    if (FManualReset) {
        pollfd fd{FFd, POLLIN, 0};
        return poll(&fd, 1, 0) == 1;
    }
    // Reading resets the counter, so of several waiters woken together only
    // one gets the signal; the others wait again.
    std::uint64_t value = 0;
    return read(FFd, &value, sizeof value) == static_cast<ssize_t>(sizeof value);
}

TWaitResult TEvent::WaitFor(DWORD timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (TryTake())
            return wrSignaled;
        int limit = -1;
        if (timeoutMs != INFINITE) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return wrTimeout;
            limit = static_cast<int>(std::min<long long>(left, 0x7FFFFFFF));
        }
        pollfd fd{FFd, POLLIN, 0};
        if (poll(&fd, 1, limit) < 0 && errno != EINTR)
            return wrError;
    }
}

DWORD WaitForSingleObject(TEvent& event, DWORD timeoutMs)
{
    return event.WaitFor(timeoutMs) == wrSignaled ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}
