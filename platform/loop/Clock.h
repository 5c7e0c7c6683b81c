#pragma once

// Sleeping and the multimedia clock.

#include "platform/loop/Messages.h"

// Blocks the calling thread without pumping messages. Sleep(0) only yields.
void Sleep(DWORD milliseconds);

// Milliseconds from a monotonic clock, wrapping at 2^32 like the Windows one.
DWORD timeGetTime();

// The clock here is always precise to the millisecond; these only answer
// TIMERR_NOERROR, or TIMERR_NOCANDO for a period of 0.
inline constexpr UINT TIMERR_NOERROR = 0;
inline constexpr UINT TIMERR_NOCANDO = 97;
UINT timeBeginPeriod(UINT periodMs);
UINT timeEndPeriod(UINT periodMs);
