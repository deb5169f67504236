#pragma once

#include "analyzer/core/source_country.h"

#include <string>

typedef struct GeoIPTag GeoIP;

namespace analyzer {

// The offline country database the system ships, read through libGeoIP.
class GeoIpCountryDatabase : public CountryDatabase {
  public:
    static constexpr const char* kDefaultPath = "/usr/share/GeoIP/GeoIP.dat";

    // A missing or unreadable file leaves the database unavailable, said by nothing but
    // Available(): the window tells the user once.
    explicit GeoIpCountryDatabase(std::string path = kDefaultPath);
    ~GeoIpCountryDatabase() override;
    GeoIpCountryDatabase(const GeoIpCountryDatabase&) = delete;
    GeoIpCountryDatabase& operator=(const GeoIpCountryDatabase&) = delete;

    bool Available() const override { return database_ != nullptr; }
    std::string Location() const override { return path_; }
    std::optional<std::string> CountryOf(std::uint32_t address) const override;

  private:
    std::string path_;
    GeoIP* database_ = nullptr;
};

}  // namespace analyzer
