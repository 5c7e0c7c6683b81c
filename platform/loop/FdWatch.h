#pragma once

// File-descriptor readiness and hooks of the calling thread's loop core (see
// Messages.h for the loop contract).
//
// A watched fd is part of every poll of its thread's loop: the zero-timeout one
// at each peek and the blocking one of GetMessage and the other waits. Its
// callback runs inside that peek, on that thread, with the poll() revents; it
// usually posts messages (the socket layer turns readiness into FD_READ and
// friends) and never runs again while it is still running. Readiness is level
// triggered: a watch that stays ready keeps the loop awake, so narrow its
// events with SetFdWatchEvents when nothing more is wanted.

#include <cstdint>
#include <functional>

using TFdWatchId = std::uint64_t;
using TFdCallback = std::function<void(int fd, short revents)>;

// `events` are poll() bits (POLLIN, POLLOUT); POLLERR and POLLHUP come with
// any of them. Events 0 pause the watch: the fd is left out of the poll.
// Watches and hooks belong to the calling thread. Ids are never reused.
TFdWatchId WatchFd(int fd, short events, TFdCallback callback);
void SetFdWatchEvents(TFdWatchId watch, short events);
// Safe from inside the watch's own callback; unknown ids are ignored.
void UnwatchFd(TFdWatchId watch);

using TLoopHookId = std::uint64_t;
using TLoopHook = std::function<void()>;
// Runs at the start of every gather (every peek), e.g. for a toolkit's
// zero-wait pump.
TLoopHookId AddGatherHook(TLoopHook hook);
// Runs each time the loop is about to block because nothing is queued.
TLoopHookId AddIdleHook(TLoopHook hook);
void RemoveLoopHook(TLoopHookId hook);
