#pragma once

#include "receiver/app/receiver_session.h"

namespace receiver {

// Runs the receiver without windows until a signal, a fatal log failure or a port that
// cannot be bound at start-up ends it; returns the program's exit code.
int RunHeadless(const SessionOptions& options);

}  // namespace receiver
