#pragma once

namespace receiver {

// Whether the receiver counts as running: set by the window's start-up and flipped by
// Start/Stop only. A start whose socket could not be opened still counts as running.
enum class RunningState { kStopped, kRunning };

}  // namespace receiver
