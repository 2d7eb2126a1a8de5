#pragma once

namespace quorvel {

// Waits `ms` milliseconds while the event loop keeps dispatching events:
// received bytes, timer ticks and repaints are handled during the wait.
// Returns at once for 0 or less.
void PauseWithEvents(int ms);

}  // namespace quorvel
