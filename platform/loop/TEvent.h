#pragma once

// A Windows-style event: manual or auto reset, usable from any thread.
//
// It is an eventfd, so the loop's waits (MsgWaitForMultipleObjects) can poll it
// next to the thread's messages. An auto-reset event releases exactly one
// waiter per SetEvent and is reset by that release; setting it twice before a
// wait still releases one. A manual-reset event stays signalled until
// ResetEvent and releases every waiter.

#include "platform/loop/Messages.h"

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class TEvent {
public:
    // Throws Exception when the system has no eventfd left.
    explicit TEvent(bool ManualReset = false, bool InitialState = false);
    ~TEvent();
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    // Blocks up to `timeoutMs` (INFINITE: no limit). Does not pump messages.
    TWaitResult WaitFor(DWORD timeoutMs = INFINITE);

    bool ManualReset() const { return FManualReset; }
    // For the loop's waits: the pollable fd, and the non-blocking take that a
    // readable fd leads to (false when another waiter was first).
    int Handle() const { return FFd; }
    bool TryTake();

private:
    int FFd = -1;
    bool FManualReset;
};

// WAIT_OBJECT_0 or WAIT_TIMEOUT.
DWORD WaitForSingleObject(TEvent& event, DWORD timeoutMs);
