#pragma once

#include "common/user_messages.h"

#include <string_view>

namespace analyzer {

// Filter keys beyond one address or one port: "203.0.113.0/24" in the source filters,
// "6000-6063" in the port filters. Any other key is matched as exact text, as before.
bool IsBlockKey(std::string_view key);
bool IsRangeKey(std::string_view key);

// The check of a typed source filter: a plain dotted address (IsValidSourceIp), or such
// an address with a prefix length 0..32.
bool IsValidSourceIpKey(std::string_view text);

// The check of a typed port filter: a port (IsValidPort), or two ports 1..65535 joined by
// '-', the first not above the second. Otherwise shows "Port %1 is invalid" and answers
// false.
bool IsValidPortKey(std::string_view text, common::UserMessages& messages);

}  // namespace analyzer
