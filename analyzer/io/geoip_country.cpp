#include "analyzer/io/geoip_country.h"

#include <GeoIP.h>
#include <unistd.h>

#include <cstdlib>

namespace analyzer {

GeoIpCountryDatabase::GeoIpCountryDatabase(std::string path) : path_(std::move(path)) {
    // The library prints its own complaint about a missing file; the window says it
    // better, once.
    if (::access(path_.c_str(), R_OK) != 0) {
        return;
    }
    // Mapped, not read per lookup: lookups then touch no file position and the table
    // can sort by country without a read per comparison.
    database_ = GeoIP_open(path_.c_str(), GEOIP_MMAP_CACHE | GEOIP_SILENCE);
    // Any file opens as a country database when it carries no description of its own;
    // the files the system ships always carry one.
    char* info = database_ != nullptr ? GeoIP_database_info(database_) : nullptr;
    const bool country =
        info != nullptr && GeoIP_database_edition(database_) == GEOIP_COUNTRY_EDITION;
    std::free(info);
    if (database_ != nullptr && !country) {
        GeoIP_delete(database_);
        database_ = nullptr;
    }
}

GeoIpCountryDatabase::~GeoIpCountryDatabase() {
    if (database_ != nullptr) {
        GeoIP_delete(database_);
    }
}

std::optional<std::string> GeoIpCountryDatabase::CountryOf(std::uint32_t address) const {
    if (database_ == nullptr) {
        return std::nullopt;
    }
    GeoIPLookup lookup{};
    const char* name = GeoIP_country_name_by_ipnum_gl(database_, address, &lookup);
    if (name == nullptr || *name == '\0') {
        return std::nullopt;
    }
    return std::string(name);
}

}  // namespace analyzer
