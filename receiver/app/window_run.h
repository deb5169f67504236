#pragma once

#include "common/profile_store.h"
#include "receiver/app/receiver_session.h"

namespace receiver {

// Runs the receiver with its window until it is ended; returns the program's exit code.
int RunWindowed(const SessionOptions& options, common::ProfileStore& profile);

}  // namespace receiver
