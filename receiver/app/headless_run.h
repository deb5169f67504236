#pragma once

#include <string>

#include "receiver/core/command_line.h"
#include "receiver/core/receiver_settings.h"

namespace receiver {

// Runs the receiver without windows until a signal or a fatal log failure ends it;
// returns the program's exit code.
int RunHeadless(const ReceiverSettings& settings, const CReceiverCommandLineInfo& commandLine,
                const std::string& logDirectory, int port);

}  // namespace receiver
