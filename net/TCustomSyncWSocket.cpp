#include "net/TCustomSyncWSocket.h"

#include "platform/controls/TApplication.h"

int TCustomSyncWSocket::Synchronize(const std::function<void()>& procedure, bool& done)
{
    done = false;
    if (procedure)
        procedure();
    return WaitUntilReady(done);
}

int TCustomSyncWSocket::WaitUntilReady(bool& done)
{
    while (!done) {
        if ((Application && Application->Terminated()) || FTerminated)
            return WSocketWaitTerminated;
        PumpMessages();
        if (!done)
            MsgWaitForMultipleObjects({}, 10);
    }
    return 0;
}
