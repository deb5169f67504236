#pragma once

#include "analyzer/core/key_set.h"
#include "common/net_ranges.h"
#include "common/profile_snapshot.h"
#include "common/user_messages.h"

#include <string_view>
#include <vector>

namespace analyzer {

// Show-only conditions: while a section holds an active key, only the entries whose
// source (or port) it names are listed. Files without them keep their meaning, and
// older copies of the program pass over sections they do not know.
constexpr std::string_view kShowOnlySources = "ShowOnlySources";
constexpr std::string_view kShowOnlyPorts = "ShowOnlyPorts";

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

// The active keys of one filter section as the file holds them: exact texts, and the
// blocks (address sections) or ranges (port sections) among them.
class KeyMatcher {
  public:
    enum class Kind { kAddresses, kPorts };

    // Malformed blocks and ranges are left out and said once on standard error.
    static KeyMatcher Load(const common::ProfileSnapshot& settings, std::string_view section,
                           Kind kind);

    bool empty() const { return exact_.empty() && blocks_.empty() && ranges_.empty(); }
    // `key` is a token as the log writes it, trimmed.
    bool Matches(std::string_view key) const;

  private:
    KeySet exact_;
    std::vector<common::AddressBlock> blocks_;
    std::vector<common::PortRange> ranges_;
};

}  // namespace analyzer
