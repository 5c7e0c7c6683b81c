#pragma once

// The asynchronous socket: one non-blocking socket per object, a hidden
// window that receives its notifications, and events fired from them on the
// creating thread.
//
// - Errors go one of two ways per object: with OnError assigned a failure
//   stores LastError and fires OnError; otherwise it raises ESocketException
//   "Error n in function F" CR LF + the description.
// - Network outcomes (refused, reset, closed) arrive as the Error argument of
//   the session events, never as exceptions. A session ends with exactly one
//   OnSessionClosed.
// - Exceptions escaping a handler run from the window (data handlers
//   included) go to OnBgException, which aborts the socket unless its
//   handler clears CanClose.
// - CloseLater and Release only post: a handler may close or free its own
//   socket without pulling it from under itself.

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/ESocketException.h"
#include "net/WSocketBinding.h"
#include "net/WSocketResolve.h"
#include "net/WSockBuf.h"
#include "platform/controls/TComponent.h"
#include "platform/winsock/Winsock.h"

using WORD = std::uint16_t;

enum TSocketState {
    wsInvalidState, wsOpened, wsBound, wsConnecting, wsConnected, wsAccepting, wsListening, wsClosed
};
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };
enum TSocketSendFlags { wsSendNormal, wsSendUrgent };
enum TWSocketOption : std::uint8_t { wsoNoReceiveLoop = 1, wsoTcpNoDelay = 2 };
using TWSocketOptions = std::uint8_t;

using TDataAvailable = std::function<void(TObject* Sender, WORD Error)>;
using TDataSent = TDataAvailable;
using TSessionClosed = TDataAvailable;
using TSessionAvailable = TDataAvailable;
using TSessionConnected = TDataAvailable;
using TDnsLookupDone = TDataAvailable;
using TSendData = std::function<void(TObject* Sender, int BytesSent)>;
using TChangeState = std::function<void(TObject* Sender, TSocketState OldState, TSocketState NewState)>;
using TBgExceptionEvent = std::function<void(TObject* Sender, const std::exception& E, bool& CanClose)>;

// Runs a background-exception handler (exceptions it raises go no
// further) and answers its CanClose, true when none is assigned.
bool FireBgException(const TBgExceptionEvent& handler, TObject* sender, const std::exception& e);

// Messages of a socket window.
inline constexpr UINT WM_ASYNCSELECT = WM_USER + 1;
inline constexpr UINT WM_ASYNCGETHOSTBYNAME = WM_USER + 2;
inline constexpr UINT WM_ASYNCGETHOSTBYADDR = WM_USER + 3;
inline constexpr UINT WM_CLOSE_DELAYED = WM_USER + 4;
inline constexpr UINT WM_WSOCKET_RELEASE = WM_USER + 5;
inline constexpr UINT WM_TRIGGER_EXCEPTION = WM_USER + 6;
inline constexpr UINT WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20;

using TSocket = winsock::SOCKET;

class TCustomWSocket : public TComponent {
public:
    explicit TCustomWSocket(TComponent* AOwner);
    ~TCustomWSocket() override;

    const char* ClassName() const override { return "TCustomWSocket"; }

    // The hidden window's procedure.
    virtual void WndProc(TMessage& msg);

    virtual void Connect();
    virtual void Close();
    virtual void CloseLater();
    void CloseDelayed() { CloseLater(); }
    virtual void Release();
    virtual void Abort();
    virtual void Flush();
    virtual void AwaitPeerClose();
    virtual void Listen();
    virtual TSocket Accept();
    virtual int Receive(void* buffer, int length);
    virtual std::string ReceiveText();
    virtual int ReceiveFrom(void* buffer, int length, winsock::sockaddr_in& from, int& fromLength);
    virtual int Send(const void* data, int length);
    virtual int SendTo(const winsock::sockaddr_in& destination, int destinationLength, const void* data, int length);
    virtual int SendText(const std::string& text);
    virtual void DnsLookup(const std::string& hostName);
    virtual void ReverseDnsLookup(const std::string& hostAddr);
    virtual void CancelDnsLookup();
    virtual std::string GetPeerAddr();
    virtual std::string GetPeerPort();
    virtual int GetPeerName(winsock::sockaddr_in& name, int length);
    virtual std::string GetBoundPort();
    virtual std::string GetBoundAddr();
    virtual int GetSockName(winsock::sockaddr_in& name, int& length);
    virtual void Dup(TSocket newHSocket);
    virtual void Shutdown(int how);
    virtual void Pause();
    virtual void Resume();
    virtual void PumpMessages();

    // A seconds/microseconds pair, kept for the published interface.
    struct TTimeval {
        long tv_sec = 0;
        long tv_usec = 0;
    };
    virtual bool TimevalIsSet(const TTimeval& tv) const { return tv.tv_sec != 0 || tv.tv_usec != 0; }
    virtual void TimevalClear(TTimeval& tv) const { tv = TTimeval{}; }
    virtual bool TimevalCompare(const TTimeval& a, const TTimeval& b, bool equal) const
    {
        bool same = a.tv_sec == b.tv_sec && a.tv_usec == b.tv_usec;
        return equal ? same : !same;
    }

    // Takes this thread's messages until none is left; a quit message sets
    // the terminated flag instead of being dispatched.
    void DrainMessages();

    // Properties.
    std::string Addr() const { return FAddrStr; }
    void SetAddr(const std::string& value);
    std::string Port() const { return FPortStr; }
    virtual void SetPort(const std::string& value);
    std::string Proto() const { return FProtoStr; }
    virtual void SetProto(const std::string& value);
    const std::string& LocalAddr() const { return FLocalAddr; }
    void SetLocalAddr(const std::string& value);
    const std::string& LocalPort() const { return FLocalPortStr; }
    void SetLocalPort(const std::string& value);
    std::string PeerAddr() { return GetPeerAddr(); }
    std::string PeerPort() { return GetPeerPort(); }
    const std::string& DnsResult() const { return FDnsResult; }
    const std::vector<std::string>& DnsResultList() const { return FDnsResultList; }
    TSocketState State() const { return FState; }
    int ReadCount() const { return FReadCount; }
    int RcvdCount() { return GetRcvdCount(); }
    int LastError() const { return FLastError; }
    TSocket HSocket() const { return FHSocket; }
    HWND Handle() const { return FWindowHandle; }
    bool AllSent() const { return FAllSent; }
    bool Terminated() const { return FTerminated; }
    bool MultiThreaded() const { return FMultiThreaded; }
    void SetMultiThreaded(bool value) { FMultiThreaded = value; }
    bool MultiCast() const { return FMultiCast; }
    void SetMultiCast(bool value) { FMultiCast = value; }
    const std::string& MultiCastAddrStr() const { return FMultiCastAddrStr; }
    void SetMultiCastAddrStr(const std::string& value) { FMultiCastAddrStr = value; }
    int MultiCastIpTTL() const { return FMultiCastIpTTL; }
    void SetMultiCastIpTTL(int value) { FMultiCastIpTTL = value; }
    bool ReuseAddr() const { return FReuseAddr; }
    void SetReuseAddr(bool value) { FReuseAddr = value; }
    TWSocketOptions ComponentOptions() const { return FComponentOptions; }
    void SetComponentOptions(TWSocketOptions value) { FComponentOptions = value; }
    TSocketSendFlags SendFlags() { return GetSendFlags(); }
    void SetSendFlags(TSocketSendFlags value);
    TSocketLingerOnOff LingerOnOff() const { return FLingerOnOff; }
    void SetLingerOnOff(TSocketLingerOnOff value) { FLingerOnOff = value; }
    int LingerTimeout() const { return FLingerTimeout; }
    void SetLingerTimeout(int value) { FLingerTimeout = value; }
    int BufSize() const { return FBufSize; }
    std::size_t QueuedBlocks() const { return FBufList.size(); }
    // What Send was given that the peer has not yet taken: the bytes still
    // queued here and those the kernel holds unacknowledged; 0 when closed.
    long long UntakenCount() const;
    const TBuffer* QueuedBlock(std::size_t index) const { return FBufList.at(index).get(); }

    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSendData OnSendData;
    TSessionClosed OnSessionClosed;
    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TChangeState OnChangeState;
    TDnsLookupDone OnDnsLookupDone;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;

protected:
    virtual void AllocateSocketWindow();
    virtual void DeallocateSocketWindow();
    virtual void ResetToDefaults();
    virtual void CloseCore(bool shut, WORD error);
    virtual int GetRcvdCount();
    virtual void BindLocal();
    virtual int RawSend(const void* data, int length);
    virtual void RaiseException(const std::string& message);
    virtual void HandleEventException(const std::exception& e);
    virtual bool FireDataAvailable(WORD error);
    virtual void FireSessionAvailable(WORD error);
    virtual void FireSessionConnected(WORD error);
    virtual void FireSessionClosed(WORD error);
    virtual void FireDataSent(WORD error);
    virtual void FireChangeState(TSocketState oldState, TSocketState newState);
    virtual void FireDnsLookupDone(WORD error);
    virtual void FireError();
    virtual int RecvRaw(void* buffer, int length, int flags);
    virtual int RecvRawFrom(TSocket s, void* buffer, int length, int flags, winsock::sockaddr_in& from,
                            int& fromLength);

    void ChangeState(TSocketState newState);
    void ReportSocketError(const std::string& functionName);
    void TryToSend();
    void QueueSendData(const void* data, int length);
    bool QueueIsEmpty() const;
    void SendFirstDirectly(const void* data, int length);
    std::unique_ptr<TBuffer> TakeSpareBlock();
    void RetireFirstBlock();
    void DropQueuedData();
    void ApplyLinger();
    // BindLocal and ApplyLinger that tell whether the operation may go on.
    bool BindLocalChecked();
    bool ApplyLingerChecked();
    void FireSendData(int count);
    void ReceiveLoop(WORD error, TWSocketOptions options);
    void HandleSelectMessage(TMessage& msg);
    // What both lookups do first: the library bound, a lookup still running
    // cancelled, the last results cleared.
    void StartLookup();
    void HandleNameLookupMessage(TMessage& msg);
    void HandleAddrLookupMessage(TMessage& msg);
    TSocketSendFlags GetSendFlags();
    // Runs `handler` of a window message; exceptions of the platform's
    // classes go to HandleEventException, others leave.
    template <class Handler>
    void Guarded(Handler handler);
    // Sets the library's last error and reports it for `functionName`.
    void ReportError(int error, const std::string& functionName);
    // Also true inside the destructor, before the component base marks it.
    bool IsDestroying() const { return FDestroyingSelf || Destroying(); }

    TSocket FHSocket = winsock::INVALID_SOCKET;
    HWND FWindowHandle = 0;
    std::string FDnsResult;
    std::vector<std::string> FDnsResultList;
    TSocket FASocket = winsock::INVALID_SOCKET;
    std::deque<std::unique_ptr<TBuffer>> FBufList;
    std::vector<std::unique_ptr<TBuffer>> FSpareBlocks;
    int FBufSize = 1460;
    int FSendFlags = 0;
    int FLastError = 0;
    winsock::HANDLE FDnsLookupHandle = 0;
    bool FDnsLookupCheckMsg = false;
    TMessage FDnsLookupTempMsg;
    std::string FAddrStr;
    bool FAddrResolved = false;
    int FAddrFormat = winsock::AF_INET;
    bool FAddrAssigned = false;
    int FProto = winsock::IPPROTO_TCP;
    bool FProtoAssigned = false;
    bool FProtoResolved = false;
    bool FLocalPortResolved = false;
    std::string FProtoStr = "tcp";
    std::string FPortStr;
    bool FPortAssigned = false;
    bool FPortResolved = false;
    int FPortNum = 0;
    std::string FLocalPortStr = "0";
    int FLocalPortNum = 0;
    std::string FLocalAddr = "0.0.0.0";
    int FType = winsock::SOCK_STREAM;
    TSocketLingerOnOff FLingerOnOff = wsLingerOn;
    int FLingerTimeout = 0;
    bool FAllSent = true;
    int FReadCount = 0;
    bool FPaused = false;
    bool FCloseInvoked = false;
    bool FMultiThreaded = false;
    bool FMultiCast = false;
    std::string FMultiCastAddrStr;
    int FMultiCastIpTTL = 1;
    bool FReuseAddr = false;
    TWSocketOptions FComponentOptions = 0;
    TSocketState FState = wsClosed;
    bool FTerminated = false;
    long FSelectEvent = 0;
    winsock::sockaddr_in Fsin;
    bool FDestroyingSelf = false;
    // A receive (or end of data) seen during the current pass of ReceiveLoop.
    bool FPassReceived = false;
    std::vector<char> FGather;
};
