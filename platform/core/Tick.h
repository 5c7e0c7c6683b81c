#pragma once

// A millisecond tick that wraps at 2^32, like the Windows one. Compare ticks
// only through the wrap-safe helpers.

#include <cstdint>

std::uint32_t GetTickCount();

// Milliseconds from `earlier` to `later`, correct across one wrap.
inline std::uint32_t TickDiff(std::uint32_t later, std::uint32_t earlier) { return later - earlier; }
// True when `now` has reached `deadline` (deadlines less than 2^31 ms away).
inline bool TickReached(std::uint32_t now, std::uint32_t deadline)
{
    return static_cast<std::int32_t>(now - deadline) >= 0;
}
