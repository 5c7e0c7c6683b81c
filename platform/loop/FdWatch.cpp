#include "platform/loop/FdWatch.h"

#include "platform/loop/LoopCore.h"

TFdWatchId WatchFd(int fd, short events, TFdCallback callback)
{
    return LoopCore::Current().Watch(fd, events, std::move(callback));
}

void SetFdWatchEvents(TFdWatchId watch, short events) { LoopCore::Current().SetWatchEvents(watch, events); }

void UnwatchFd(TFdWatchId watch)
{
    if (LoopCore* core = LoopCore::CurrentIfAny())
        core->Unwatch(watch);
}

TLoopHookId AddGatherHook(TLoopHook hook) { return LoopCore::Current().AddHook(false, std::move(hook)); }

TLoopHookId AddIdleHook(TLoopHook hook) { return LoopCore::Current().AddHook(true, std::move(hook)); }

void RemoveLoopHook(TLoopHookId hook)
{
    if (LoopCore* core = LoopCore::CurrentIfAny())
        core->RemoveHook(hook);
}
