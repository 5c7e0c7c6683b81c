#include "net/TFtpClient.h"

#include "platform/controls/TApplication.h"
#include "platform/core/Tick.h"
#include "platform/loop/Messages.h"

TFtpClient::TFtpClient(TComponent* AOwner) : TCustomFtpCli(AOwner) {}

void TFtpClient::SetMultiThreaded(bool value)
{
    FMultiThreaded = value;
    if (FControlSocket)
        FControlSocket->SetMultiThreaded(value);
    if (FDataSocket)
        FDataSocket->SetMultiThreaded(value);
}

std::uint32_t TFtpClient::TickNow() const { return GetTickCount(); }

bool TFtpClient::Connect() { return Synchronize(&TCustomFtpCli::StartConnect); }
bool TFtpClient::TypeSet() { return Synchronize(&TCustomFtpCli::StartTypeSet); }
bool TFtpClient::Put() { return Synchronize(&TCustomFtpCli::StartPut); }
bool TFtpClient::Mkd() { return Synchronize(&TCustomFtpCli::StartMkd); }
bool TFtpClient::Abort() { return Synchronize(&TCustomFtpCli::StartAbort); }

bool TFtpClient::Synchronize(TFtpStartProc proc)
{
    try {
        FRefused = false;
        (this->*proc)();
        // With OnError assigned a refusal raises nothing; the request never
        // started and must not pass for one that succeeded.
        if (FRefused)
            return false;
        return WaitUntilReady();
    } catch (const std::exception&) {
        return false;
    }
}

bool TFtpClient::RequestEnded() const
{
    // Between two steps of a running sequence (a passive store waiting for
    // its data connection) the request has not ended yet.
    return FState == ftpStateReady || (FState == ftpStateBetweenSteps && !FHighLevelFlag);
}

void TFtpClient::RestartDeadline() { FTimeStop = TickNow() + static_cast<std::uint32_t>(FTimeout) * 1000u; }

long long TFtpClient::TakenByPeer() const
{
    long long untaken = FDataSocket ? FDataSocket->UntakenCount() : 0;
    return FByteCount - untaken;
}

bool TFtpClient::WaitUntilReady()
{
    RestartDeadline();
    // A slow peer may take longer than the time-out to empty what the kernel
    // holds of one turn, and after the last block no event comes until the
    // final reply: what it has taken is read here, each round.
    long long taken = TakenByPeer();
    for (;;) {
        if (RequestEnded())
            return FRequestResult == 0;
        bool terminating = (Application && Application->Terminated()) ||
                           (FControlSocket && FControlSocket->Terminated());
        if (terminating || (FTimeout > 0 && TickReached(TickNow(), FTimeStop))) {
            StartAbort();
            FErrorMessage = "426 Timeout";
            FStatusCode = 426;
            return false;
        }
        if (FMultiThreaded || !Application) {
            if (FControlSocket)
                FControlSocket->DrainMessages();
        } else {
            Application->ProcessMessages();
        }
        if (RequestEnded())
            continue;
        // A count that falls (a new transfer, the end queued behind the
        // data) is no progress; the next rise is.
        long long now = TakenByPeer();
        if (now > taken && FTimeout > 0)
            RestartDeadline();
        taken = now;
        // Sleeps until the next message or socket event, at most 10 ms.
        MsgWaitForMultipleObjects({}, 10);
    }
}

bool TFtpClient::FireProgress()
{
    bool goOn = TCustomFtpCli::FireProgress();
    if (FTimeout > 0)
        RestartDeadline();
    return goOn;
}
