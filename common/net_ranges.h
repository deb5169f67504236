#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace common {

// Addresses are IPv4 in host byte order: 203.0.113.45 is 0xCB00712D.

// A block of addresses given as "a.b.c.d/n", or one address.
struct AddressBlock {
    std::uint32_t network = 0;  // host bits cleared
    int prefix = 32;            // 0..32
    bool Contains(std::uint32_t address) const;
};

// A dotted quad: four decimal parts 0..255, nothing else (no signs, blanks or empty parts).
std::optional<std::uint32_t> ParseAddress(std::string_view text);

// "203.0.113.45" (a /32) or "203.0.113.0/24", prefix 0..32. Host bits beyond the prefix are
// cleared, so "203.0.113.7/24" is 203.0.113.0/24. Nothing when malformed.
std::optional<AddressBlock> ParseAddressBlock(std::string_view text);

// Ports from first to last, both included.
struct PortRange {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
    bool Contains(unsigned port) const { return port >= first && port <= last; }
};

// "80" or "6000-6063": decimal 0..65535, first <= last. Nothing when malformed.
std::optional<PortRange> ParsePortRange(std::string_view text);

}  // namespace common
