#include "platform/loop/Inbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/core/Exceptions.h"

Inbox::Inbox(DWORD threadId) : FThreadId(threadId), FWakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (FWakeFd < 0)
        throw Exception(std::string("Cannot create the message loop's wake-up descriptor: ") +
                        std::strerror(errno));
}

Inbox::~Inbox() { close(FWakeFd); }

bool Inbox::Post(const MSG& message)
{
    {
        std::lock_guard lock(FMutex);
        if (FClosed)
            return false;
        FPosted.push_back(message);
    }
    Wake();
    return true;
}

bool Inbox::Send(std::shared_ptr<SentCall> call)
{
    {
        std::lock_guard lock(FMutex);
        if (FClosed)
            return false;
        FSent.push_back(std::move(call));
    }
    Wake();
    return true;
}

void Inbox::Wake()
{
    std::uint64_t one = 1;
    // A full counter (EAGAIN) still means "readable", which is all a wake needs.
    [[maybe_unused]] ssize_t written = write(FWakeFd, &one, sizeof one);
}

void Inbox::ClearWake()
{
    std::uint64_t value = 0;
    [[maybe_unused]] ssize_t got = read(FWakeFd, &value, sizeof value);
}

void Inbox::TakeAll(std::deque<MSG>& posted, std::deque<std::shared_ptr<SentCall>>& sent)
{
    std::lock_guard lock(FMutex);
    for (MSG& message : FPosted)
        posted.push_back(message);
    FPosted.clear();
    for (auto& call : FSent)
        sent.push_back(std::move(call));
    FSent.clear();
}

void Inbox::Close()
{
    std::deque<std::shared_ptr<SentCall>> waiting;
    {
        std::lock_guard lock(FMutex);
        FClosed = true;
        FPosted.clear();
        waiting.swap(FSent);
    }
    for (auto& call : waiting)
        Complete(*call, 0);
}

void Inbox::Complete(SentCall& call, LRESULT result)
{
    call.Result = result;
    std::shared_ptr<Inbox> replyTo = call.ReplyTo;
    call.Done.store(true, std::memory_order_release);
    if (replyTo)
        replyTo->Wake();
}
