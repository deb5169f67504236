#include "analyzer/io/geoip_country.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/net_ranges.h"
#include "common/testing/temp_dir.h"

namespace analyzer {
namespace {

std::uint32_t Address(const char* dotted) {
    return *common::ParseAddress(dotted);
}

// The system's database, which the test dependencies install. A machine without it may
// skip these only when told so; otherwise its absence is a failure, not a pass.
TEST(GeoIpCountryTest, KnowsWellKnownPublicAddresses) {
    if (!std::filesystem::exists(GeoIpCountryDatabase::kDefaultPath) &&
        std::getenv("CORVIX_TEST_WITHOUT_GEOIP") != nullptr) {
        GTEST_SKIP() << "no " << GeoIpCountryDatabase::kDefaultPath
                     << " and CORVIX_TEST_WITHOUT_GEOIP is set";
    }
    const GeoIpCountryDatabase database;
    ASSERT_TRUE(database.Available())
        << GeoIpCountryDatabase::kDefaultPath
        << " is missing: install geoip-database (scripts/install-deps.sh test)";
    EXPECT_EQ(database.Location(), GeoIpCountryDatabase::kDefaultPath);
    EXPECT_EQ(database.CountryOf(Address("8.8.8.8")), "United States");
    EXPECT_EQ(database.CountryOf(Address("193.0.6.139")), "Netherlands");
    EXPECT_EQ(database.CountryOf(Address("80.67.169.12")), "France");
    // Private space belongs to no country.
    EXPECT_EQ(database.CountryOf(Address("10.1.2.3")), std::nullopt);

    // Through the column's rules: only the public address reaches the database.
    const SourceCountry countries(std::make_shared<GeoIpCountryDatabase>());
    EXPECT_TRUE(countries.DatabaseAvailable());
    EXPECT_EQ(countries.CountryOf("8.8.8.8"), "United States");
    EXPECT_EQ(countries.CountryOf("192.168.1.1"), "private");
}

using GeoIpMissingTest = test_support::TempDirTest;

TEST_F(GeoIpMissingTest, AMissingOrForeignFileLeavesTheDatabaseUnavailable) {
    const GeoIpCountryDatabase missing(Path("GeoIP.dat"));
    EXPECT_FALSE(missing.Available());
    EXPECT_EQ(missing.Location(), Path("GeoIP.dat"));
    EXPECT_EQ(missing.CountryOf(Address("8.8.8.8")), std::nullopt);

    const SourceCountry countries(std::make_shared<GeoIpCountryDatabase>(Path("GeoIP.dat")));
    EXPECT_FALSE(countries.DatabaseAvailable());
    EXPECT_EQ(countries.CountryOf("8.8.8.8"), "");
    EXPECT_EQ(countries.CountryOf("127.0.0.1"), "loopback");

    // A file that is no country database is not taken for one.
    Put("junk.dat", std::string(4096, 'x'));
    const GeoIpCountryDatabase junk(Path("junk.dat"));
    EXPECT_FALSE(junk.Available());
    EXPECT_EQ(junk.CountryOf(Address("8.8.8.8")), std::nullopt);
}

}  // namespace
}  // namespace analyzer
