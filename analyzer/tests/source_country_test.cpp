#include "analyzer/core/source_country.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/net_ranges.h"

namespace analyzer {
namespace {

struct Case {
    const char* token;
    AddressKind kind;
};

// The first and last address of every named block, and the neighbours just outside.
const Case kCases[] = {
    {"0.0.0.0", AddressKind::kThisNetwork},
    {"0.255.255.255", AddressKind::kThisNetwork},
    {"1.0.0.0", AddressKind::kPublic},
    {"9.255.255.255", AddressKind::kPublic},
    {"10.0.0.0", AddressKind::kPrivate},
    {"10.255.255.255", AddressKind::kPrivate},
    {"11.0.0.0", AddressKind::kPublic},
    {"100.63.255.255", AddressKind::kPublic},
    {"100.64.0.0", AddressKind::kSharedCgn},
    {"100.127.255.255", AddressKind::kSharedCgn},
    {"100.128.0.0", AddressKind::kPublic},
    {"126.255.255.255", AddressKind::kPublic},
    {"127.0.0.0", AddressKind::kLoopback},
    {"127.255.255.255", AddressKind::kLoopback},
    {"128.0.0.0", AddressKind::kPublic},
    {"169.253.255.255", AddressKind::kPublic},
    {"169.254.0.0", AddressKind::kLinkLocal},
    {"169.254.255.255", AddressKind::kLinkLocal},
    {"169.255.0.0", AddressKind::kPublic},
    {"172.15.255.255", AddressKind::kPublic},
    {"172.16.0.0", AddressKind::kPrivate},
    {"172.31.255.255", AddressKind::kPrivate},
    {"172.32.0.0", AddressKind::kPublic},
    {"192.0.1.255", AddressKind::kPublic},
    {"192.0.2.0", AddressKind::kDocumentation},
    {"192.0.2.255", AddressKind::kDocumentation},
    {"192.0.3.0", AddressKind::kPublic},
    {"192.167.255.255", AddressKind::kPublic},
    {"192.168.0.0", AddressKind::kPrivate},
    {"192.168.255.255", AddressKind::kPrivate},
    {"192.169.0.0", AddressKind::kPublic},
    {"198.51.99.255", AddressKind::kPublic},
    {"198.51.100.0", AddressKind::kDocumentation},
    {"198.51.100.255", AddressKind::kDocumentation},
    {"198.51.101.0", AddressKind::kPublic},
    {"203.0.112.255", AddressKind::kPublic},
    {"203.0.113.0", AddressKind::kDocumentation},
    {"203.0.113.255", AddressKind::kDocumentation},
    {"203.0.114.0", AddressKind::kPublic},
    {"223.255.255.255", AddressKind::kPublic},
    {"224.0.0.0", AddressKind::kMulticast},
    {"239.255.255.255", AddressKind::kMulticast},
    {"240.0.0.0", AddressKind::kReserved},
    {"255.255.255.254", AddressKind::kReserved},
    {"255.255.255.255", AddressKind::kBroadcast},
    {"host.example", AddressKind::kNotAnAddress},
    {"203.0.113", AddressKind::kNotAnAddress},
    {"203.0.113.256", AddressKind::kNotAnAddress},
    {"203.0.113.5x", AddressKind::kNotAnAddress},
    {"", AddressKind::kNotAnAddress},
};

TEST(SourceCountryTest, EveryBlockIsKnownFromItsFirstToItsLastAddress) {
    for (const Case& c : kCases) {
        EXPECT_EQ(ClassifySource(c.token), c.kind) << c.token;
        if (const auto address = common::ParseAddress(c.token)) {
            EXPECT_EQ(ClassifyAddress(*address), c.kind) << c.token;
        }
    }
}

// Remembers what it was asked; knows a few addresses.
class TableDatabase : public CountryDatabase {
  public:
    explicit TableDatabase(bool available) : available_(available) {}
    bool Available() const override { return available_; }
    std::string Location() const override { return "/nowhere/countries.dat"; }
    std::optional<std::string> CountryOf(std::uint32_t address) const override {
        asked.push_back(address);
        if (address == *common::ParseAddress("8.8.8.8")) {
            return "United States";
        }
        return std::nullopt;
    }
    mutable std::vector<std::uint32_t> asked;

  private:
    bool available_;
};

TEST(SourceCountryTest, OnlyPublicAddressesAreLookedUp) {
    auto database = std::make_shared<TableDatabase>(true);
    const SourceCountry countries(database);
    EXPECT_TRUE(countries.DatabaseAvailable());
    const std::map<std::string, std::string> expected = {
        {"10.1.2.3", "private"},           {"172.20.0.1", "private"},
        {"192.168.1.20", "private"},       {"127.0.0.1", "loopback"},
        {"169.254.3.4", "link-local"},     {"100.100.0.1", "shared (CGN)"},
        {"192.0.2.9", "documentation"},    {"198.51.100.7", "documentation"},
        {"203.0.113.45", "documentation"}, {"230.1.1.1", "multicast"},
        {"255.255.255.255", "broadcast"},  {"gateway", "not an address"},
        {"8.8.8.8", "United States"},      {"8.8.4.4", ""},
    };
    for (const auto& [token, shown] : expected) {
        EXPECT_EQ(countries.CountryOf(token), shown) << token;
    }
    EXPECT_EQ(database->asked, (std::vector<std::uint32_t>{*common::ParseAddress("8.8.4.4"),
                                                           *common::ParseAddress("8.8.8.8")}));
}

TEST(SourceCountryTest, WithoutTheDatabasePublicAddressesStayEmpty) {
    auto database = std::make_shared<TableDatabase>(false);
    const SourceCountry countries(database);
    EXPECT_FALSE(countries.DatabaseAvailable());
    EXPECT_EQ(countries.Location(), "/nowhere/countries.dat");
    EXPECT_EQ(countries.CountryOf("8.8.8.8"), "");
    EXPECT_EQ(countries.CountryOf("10.0.0.1"), "private");
    EXPECT_TRUE(database->asked.empty());

    const SourceCountry none(nullptr);
    EXPECT_FALSE(none.DatabaseAvailable());
    EXPECT_EQ(none.CountryOf("8.8.8.8"), "");
    EXPECT_EQ(none.CountryOf("203.0.113.1"), "documentation");
}

}  // namespace
}  // namespace analyzer
