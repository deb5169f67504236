#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace analyzer {

// Where a source address sits before any database is asked: blocks that belong to no
// country are named for what they are.
enum class AddressKind {
    kPublic,
    kNotAnAddress,   // no dotted quad: a host name or a mangled token
    kThisNetwork,    // 0.0.0.0/8
    kPrivate,        // 10/8, 172.16/12, 192.168/16
    kSharedCgn,      // 100.64/10, carrier-grade NAT
    kLoopback,       // 127/8
    kLinkLocal,      // 169.254/16
    kDocumentation,  // 192.0.2/24, 198.51.100/24, 203.0.113/24
    kMulticast,      // 224/4
    kReserved,       // 240/4 less the broadcast address
    kBroadcast,      // 255.255.255.255
};

// `address` in host byte order.
AddressKind ClassifyAddress(std::uint32_t address);
// A source token as the log writes it.
AddressKind ClassifySource(std::string_view token);
// The short text the country column shows for a kind; empty for kPublic.
std::string_view AddressKindText(AddressKind kind);

// A country database on disk, asked for public addresses only.
class CountryDatabase {
  public:
    virtual ~CountryDatabase() = default;
    // False when the database could not be opened: every public address stays unnamed.
    virtual bool Available() const = 0;
    // Where the database was looked for, for the one line that says it is missing.
    virtual std::string Location() const = 0;
    // The country's name for an address in host byte order; nothing when not known.
    virtual std::optional<std::string> CountryOf(std::uint32_t address) const = 0;
};

// What the country column shows for a source: the kind of a non-public block, the
// database's country name for a public address, or nothing.
class SourceCountry {
  public:
    // `database` may be null: public addresses then stay empty.
    explicit SourceCountry(std::shared_ptr<const CountryDatabase> database);

    bool DatabaseAvailable() const { return database_ != nullptr && database_->Available(); }
    std::string Location() const { return database_ ? database_->Location() : std::string(); }
    std::string CountryOf(std::string_view token) const;

  private:
    std::shared_ptr<const CountryDatabase> database_;
};

}  // namespace analyzer
