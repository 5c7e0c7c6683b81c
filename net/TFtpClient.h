#pragma once

// The FTP client with blocking forms of some requests. Each blocking method
// starts the asynchronous request and pumps the thread's messages until the
// request has been reported, the application is terminating, or Timeout
// seconds pass without progress; it may be called from an event handler
// (the wait then nests inside it). On a time-out the request is aborted (no
// QUIT), ErrorMessage becomes "426 Timeout", StatusCode 426, and the result
// is False; the abort's OnRequestDone arrives later from the loop.

#include <cstdint>

#include "net/TCustomFtpCli.h"

class TFtpClient : public TCustomFtpCli {
public:
    explicit TFtpClient(TComponent* AOwner);

    const char* ClassName() const override { return "TFtpClient"; }

    // True when the request ended with ResultCode 0 before the time-out.
    bool Connect();
    bool TypeSet();
    bool Put();
    bool Mkd();
    bool Abort();

    // Seconds; 0 or less waits without limit.
    int Timeout() const { return FTimeout; }
    void SetTimeout(int value) { FTimeout = value; }
    bool MultiThreaded() const { return FMultiThreaded; }
    void SetMultiThreaded(bool value);

protected:
    using TFtpStartProc = void (TCustomFtpCli::*)();

    bool FireProgress() override;
    virtual bool Synchronize(TFtpStartProc proc);
    virtual bool WaitUntilReady();
    // The millisecond tick the deadline is measured on (wraps at 2^32).
    virtual std::uint32_t TickNow() const;
    bool RequestEnded() const;
    void RestartDeadline();
    // The bytes of the running transfer the peer has taken so far.
    long long TakenByPeer() const;

    int FTimeout = 15;
    bool FMultiThreaded = false;
    std::uint32_t FTimeStop = 0;
};
