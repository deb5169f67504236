#include "analyzer/core/source_country.h"

#include "common/net_ranges.h"

namespace analyzer {
namespace {

struct Block {
    std::uint32_t network;
    int prefix;
    AddressKind kind;
};

constexpr std::uint32_t Dotted(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return a << 24 | b << 16 | c << 8 | d;
}

// Most specific first where blocks nest (the broadcast address lies in 240/4).
constexpr Block kBlocks[] = {
    {Dotted(255, 255, 255, 255), 32, AddressKind::kBroadcast},
    {Dotted(0, 0, 0, 0), 8, AddressKind::kThisNetwork},
    {Dotted(10, 0, 0, 0), 8, AddressKind::kPrivate},
    {Dotted(172, 16, 0, 0), 12, AddressKind::kPrivate},
    {Dotted(192, 168, 0, 0), 16, AddressKind::kPrivate},
    {Dotted(100, 64, 0, 0), 10, AddressKind::kSharedCgn},
    {Dotted(127, 0, 0, 0), 8, AddressKind::kLoopback},
    {Dotted(169, 254, 0, 0), 16, AddressKind::kLinkLocal},
    {Dotted(192, 0, 2, 0), 24, AddressKind::kDocumentation},
    {Dotted(198, 51, 100, 0), 24, AddressKind::kDocumentation},
    {Dotted(203, 0, 113, 0), 24, AddressKind::kDocumentation},
    {Dotted(224, 0, 0, 0), 4, AddressKind::kMulticast},
    {Dotted(240, 0, 0, 0), 4, AddressKind::kReserved},
};

}  // namespace

AddressKind ClassifyAddress(std::uint32_t address) {
    for (const Block& block : kBlocks) {
        if (common::AddressBlock{block.network, block.prefix}.Contains(address)) {
            return block.kind;
        }
    }
    return AddressKind::kPublic;
}

AddressKind ClassifySource(std::string_view token) {
    const std::optional<std::uint32_t> address = common::ParseAddress(token);
    return address ? ClassifyAddress(*address) : AddressKind::kNotAnAddress;
}

std::string_view AddressKindText(AddressKind kind) {
    switch (kind) {
        case AddressKind::kPublic:
            return {};
        case AddressKind::kNotAnAddress:
            return "not an address";
        case AddressKind::kThisNetwork:
            return "this network";
        case AddressKind::kPrivate:
            return "private";
        case AddressKind::kSharedCgn:
            return "shared (CGN)";
        case AddressKind::kLoopback:
            return "loopback";
        case AddressKind::kLinkLocal:
            return "link-local";
        case AddressKind::kDocumentation:
            return "documentation";
        case AddressKind::kMulticast:
            return "multicast";
        case AddressKind::kReserved:
            return "reserved";
        case AddressKind::kBroadcast:
            return "broadcast";
    }
    return {};
}

SourceCountry::SourceCountry(std::shared_ptr<const CountryDatabase> database)
    : database_(std::move(database)) {}

std::string SourceCountry::CountryOf(std::string_view token) const {
    const std::optional<std::uint32_t> address = common::ParseAddress(token);
    const AddressKind kind = address ? ClassifyAddress(*address) : AddressKind::kNotAnAddress;
    if (kind != AddressKind::kPublic) {
        return std::string(AddressKindText(kind));
    }
    if (!DatabaseAvailable()) {
        return {};
    }
    return database_->CountryOf(*address).value_or(std::string());
}

}  // namespace analyzer
