#pragma once

// A blocking wait that hands messages on until a flag is set. Between two
// rounds it blocks in the loop core until the next message or socket event
// (at most a few milliseconds), never spinning.

#include <functional>

#include "net/TCustomLineWSocket.h"

// The wait ended because the application or the socket's loop is ending.
inline constexpr int WSocketWaitTerminated = 12001;

class TCustomSyncWSocket : public TCustomLineWSocket {
public:
    using TCustomLineWSocket::TCustomLineWSocket;

    const char* ClassName() const override { return "TCustomSyncWSocket"; }

    // Sets `done` false, runs `procedure` (it starts the work whose
    // completion sets `done`), then waits.
    virtual int Synchronize(const std::function<void()>& procedure, bool& done);
    // 0 once `done` is true; 12001 when the application is terminating or a
    // quit message was drained. No time limit.
    virtual int WaitUntilReady(bool& done);
};

// The published socket.
class TWSocket : public TCustomSyncWSocket {
public:
    using TCustomSyncWSocket::TCustomSyncWSocket;

    const char* ClassName() const override { return "TWSocket"; }
};
