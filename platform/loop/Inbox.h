#pragma once

// Internal to the loop core: the part of a thread's loop core that other
// threads reach (see Messages.h for the loop contract).

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/loop/Messages.h"

class Inbox;

// A message sent from another thread; the owner's next peek answers it.
struct SentCall {
    MSG Message;
    LRESULT Result = 0;
    std::atomic<bool> Done{false};
    std::shared_ptr<Inbox> ReplyTo;
};

// The part of a loop core that other threads reach: a locked queue of posted
// and sent messages, and the eventfd that wakes the owner's poll.
class Inbox {
public:
    explicit Inbox(DWORD threadId);
    ~Inbox();
    Inbox(const Inbox&) = delete;
    Inbox& operator=(const Inbox&) = delete;

    DWORD ThreadId() const { return FThreadId; }
    int WakeFd() const { return FWakeFd; }
    // False once the owner has ended.
    bool Post(const MSG& message);
    bool Send(std::shared_ptr<SentCall> call);
    void Wake();
    void ClearWake();
    void TakeAll(std::deque<MSG>& posted, std::deque<std::shared_ptr<SentCall>>& sent);
    // Refuses everything from now on and answers the waiting senders with 0.
    void Close();

    static void Complete(SentCall& call, LRESULT result);

private:
    DWORD FThreadId;
    int FWakeFd;
    std::mutex FMutex;
    bool FClosed = false;
    std::deque<MSG> FPosted;
    std::deque<std::shared_ptr<SentCall>> FSent;
};
