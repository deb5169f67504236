#include "common/net_ranges.h"

namespace common {
namespace {

// A run of decimal digits no larger than `max`; leading zeros are fine, nothing else is.
std::optional<std::uint32_t> ParseDecimal(std::string_view text, std::uint32_t max) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > max) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::uint32_t PrefixMask(int prefix) {
    return prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
}

}  // namespace

bool AddressBlock::Contains(std::uint32_t address) const {
    return (address & PrefixMask(prefix)) == network;
}

std::optional<std::uint32_t> ParseAddress(std::string_view text) {
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = part < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos) {
            return std::nullopt;
        }
        const std::optional<std::uint32_t> value = ParseDecimal(text.substr(0, dot), 255);
        if (!value) {
            return std::nullopt;
        }
        address = address << 8 | *value;
        text.remove_prefix(part < 3 ? dot + 1 : dot);
    }
    return address;
}

std::optional<AddressBlock> ParseAddressBlock(std::string_view text) {
    const std::size_t slash = text.find('/');
    const std::optional<std::uint32_t> address = ParseAddress(text.substr(0, slash));
    if (!address) {
        return std::nullopt;
    }
    int prefix = 32;
    if (slash != std::string_view::npos) {
        const std::optional<std::uint32_t> bits = ParseDecimal(text.substr(slash + 1), 32);
        if (!bits) {
            return std::nullopt;
        }
        prefix = static_cast<int>(*bits);
    }
    return AddressBlock{*address & PrefixMask(prefix), prefix};
}

std::optional<PortRange> ParsePortRange(std::string_view text) {
    const std::size_t dash = text.find('-');
    const std::optional<std::uint32_t> first = ParseDecimal(text.substr(0, dash), 65535);
    if (!first) {
        return std::nullopt;
    }
    std::optional<std::uint32_t> last = first;
    if (dash != std::string_view::npos) {
        last = ParseDecimal(text.substr(dash + 1), 65535);
        if (!last || *last < *first) {
            return std::nullopt;
        }
    }
    return PortRange{static_cast<std::uint16_t>(*first), static_cast<std::uint16_t>(*last)};
}

}  // namespace common
