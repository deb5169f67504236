#pragma once

#include <cstdint>
#include <string>

namespace receiver {

// The line that tells how many datagrams the system dropped because they came faster
// than they were read.
std::string LossLine(std::uint64_t total);

}  // namespace receiver
