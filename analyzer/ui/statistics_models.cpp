#include "analyzer/ui/statistics_models.h"

#include "common/net_ranges.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {
namespace {

using common_ui::FromFileText;

double Share(std::size_t count, std::size_t total) {
    return total == 0 ? 0.0 : 100.0 * static_cast<double>(count) / static_cast<double>(total);
}

QString Stamp(const std::optional<std::int64_t>& seconds) {
    return seconds ? QString::fromStdString(analyzer::FormatLocalStamp(*seconds)).replace('T', ' ')
                   : QString();
}

QVariant StampKey(const std::optional<std::int64_t>& seconds) {
    return QVariant::fromValue<qlonglong>(seconds ? *seconds : -1);
}

// Addresses sort as numbers; text that is no address sorts after every address.
QVariant AddressKey(const std::string& address) {
    const std::optional<std::uint32_t> value = common::ParseAddress(address);
    return QVariant::fromValue<qlonglong>(value ? static_cast<qlonglong>(*value)
                                                : (qlonglong{1} << 32));
}

QVariant PortKey(const std::string& port) {
    const std::optional<unsigned> value = analyzer::CanonicalPort(port);
    return QVariant::fromValue<qlonglong>(value ? static_cast<qlonglong>(*value) : 65536);
}

// The address a source is named by, in network byte order; nothing for a token that
// is no dotted quad, which is never looked up.
std::optional<std::uint32_t> LookupAddress(const std::string& source) {
    if (!common::ParseAddress(source)) {
        return std::nullopt;
    }
    return analyzer::LookupAddressOf(source);
}

QVariant Count(std::size_t count) {
    return QVariant::fromValue<qulonglong>(count);
}

}  // namespace

StatisticsTableModel::StatisticsTableModel(QStringList titles, QObject* parent)
    : QAbstractTableModel(parent), titles_(std::move(titles)) {}

int StatisticsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows();
}

int StatisticsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant StatisticsTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
        case Qt::TextAlignmentRole:
            return isTextColumn(index.column()) ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        case kSortRole:
            return cell(row, index.column(), true);
        case Qt::DisplayRole:
            return cell(row, index.column(), false);
        default:
            return {};
    }
}

QVariant StatisticsTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= titles_.size()) {
        return {};
    }
    return titles_[section];
}

QString StatisticsTableModel::share(std::size_t count) const {
    return QString::number(Share(count, total_), 'f', 1);
}

SourceStatisticsModel::SourceStatisticsModel(QObject* parent)
    : StatisticsTableModel({tr("Address"), tr("Count"), tr("Share %"), tr("First seen"),
                            tr("Last seen"), tr("Ports"), tr("Host name"), tr("Country")},
                           parent) {}

SourceStatisticsModel::~SourceStatisticsModel() = default;

void SourceStatisticsModel::setRows(std::vector<analyzer::SourceRow> rows, std::size_t total) {
    reset(total, [&] {
        rows_ = std::move(rows);
        countryOfRow_.assign(rows_.size(), std::nullopt);
        rowsOf_.clear();
        for (std::size_t row = 0; row < rows_.size(); ++row) {
            if (const std::optional<std::uint32_t> address = LookupAddress(rows_[row].address)) {
                rowsOf_.emplace(*address, static_cast<int>(row));
            }
        }
        // The old rows' questions are no longer wanted; the new rows ask as they are shown.
        queue_.clear();
        queued_.clear();
    });
}

void SourceStatisticsModel::setHostResolver(std::shared_ptr<analyzer::HostResolver> resolver) {
    lookup_.reset();
    asking_.reset();
    queue_.clear();
    queued_.clear();
    if (resolver == nullptr) {
        return;
    }
    lookup_ = std::make_unique<analyzer::HostLookup>(
        std::move(resolver), [this](std::uint32_t address, const analyzer::HostAnswer& answer) {
            QMetaObject::invokeMethod(
                this, [this, address, answer] { answered(address, answer); }, Qt::QueuedConnection);
        });
}

QVariant SourceStatisticsModel::host(std::size_t row, bool sortKey) const {
    const std::optional<std::uint32_t> address = LookupAddress(rows_[row].address);
    if (!address || lookup_ == nullptr) {
        return QString();
    }
    if (const auto known = names_.find(*address); known != names_.end()) {
        return known->second;
    }
    // Sorting reads every row; only a row being shown asks for its name.
    if (!sortKey && *address != asking_ && queued_.insert(*address).second) {
        queue_.push_back(*address);
        if (!askScheduled_) {
            // Not from within data(): an answer the lookup remembers comes back at once,
            // and its announcement must not run inside a view's read.
            askScheduled_ = true;
            QMetaObject::invokeMethod(
                const_cast<SourceStatisticsModel*>(this),
                [this] {
                    askScheduled_ = false;
                    const_cast<SourceStatisticsModel*>(this)->askNext();
                },
                Qt::QueuedConnection);
        }
    }
    return QString();
}

void SourceStatisticsModel::askNext() {
    while (lookup_ != nullptr && !asking_ && !queue_.empty()) {
        const std::uint32_t address = queue_.front();
        queue_.pop_front();
        queued_.erase(address);
        if (names_.count(address) != 0) {
            continue;
        }
        if (const std::optional<analyzer::HostAnswer> known = lookup_->Request(address)) {
            answered(address, *known);
        } else {
            asking_ = address;
        }
    }
}

void SourceStatisticsModel::answered(std::uint32_t address, const analyzer::HostAnswer& answer) {
    if (asking_ == address) {
        asking_.reset();
    }
    names_[address] = answer ? FromFileText(*answer) : QString();
    const auto [first, last] = rowsOf_.equal_range(address);
    for (auto it = first; it != last; ++it) {
        const QModelIndex cell = index(it->second, kHost);
        emit dataChanged(cell, cell, {Qt::DisplayRole, kSortRole});
    }
    askNext();
}

void SourceStatisticsModel::setCountries(
    std::shared_ptr<const analyzer::CountryDatabase> database) {
    countries_ = analyzer::SourceCountry(std::move(database));
    countryOfRow_.assign(rows_.size(), std::nullopt);
    emit headerDataChanged(Qt::Horizontal, kCountry, kCountry);
    if (!rows_.empty()) {
        emit dataChanged(index(0, kCountry), index(rowCount() - 1, kCountry));
    }
}

QVariant SourceStatisticsModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    // A missing database is said once, in the column's title, never per row.
    if (orientation == Qt::Horizontal && section == kCountry && !countries_.DatabaseAvailable()) {
        if (role == Qt::DisplayRole) {
            return tr("Country (no database)");
        }
        if (role == Qt::ToolTipRole) {
            const QString location = QString::fromStdString(countries_.Location());
            return location.isEmpty()
                       ? tr("No country database: public addresses have no country.")
                       : tr("No country database at %1 (package geoip-database): public "
                            "addresses have no country.")
                             .arg(location);
        }
    }
    return StatisticsTableModel::headerData(section, orientation, role);
}

bool SourceStatisticsModel::isTextColumn(int column) const {
    return column == kAddress || column == kFirst || column == kLast || column == kHost ||
           column == kCountry;
}

const QString& SourceStatisticsModel::country(std::size_t row) const {
    std::optional<QString>& known = countryOfRow_[row];
    if (!known) {
        known = QString::fromStdString(countries_.CountryOf(rows_[row].address));
    }
    return *known;
}

QVariant SourceStatisticsModel::cell(std::size_t row, int column, bool sortKey) const {
    const analyzer::SourceRow& r = rows_[row];
    switch (column) {
        case kAddress:
            return sortKey ? AddressKey(r.address) : FromFileText(r.address);
        case kCount:
            return Count(r.count);
        case kShare:
            return sortKey ? Count(r.count) : share(r.count);
        case kFirst:
            return sortKey ? StampKey(r.first) : Stamp(r.first);
        case kLast:
            return sortKey ? StampKey(r.last) : Stamp(r.last);
        case kPorts:
            return Count(r.ports);
        case kHost:
            return host(row, sortKey);
        case kCountry:
            return country(row);
        default:
            return {};
    }
}

PortStatisticsModel::PortStatisticsModel(QObject* parent)
    : StatisticsTableModel(
          {tr("Port"), tr("Count"), tr("Share %"), tr("Description"), tr("Sources")}, parent) {}

void PortStatisticsModel::setRows(std::vector<analyzer::PortRow> rows, std::size_t total) {
    reset(total, [&] { rows_ = std::move(rows); });
}

QVariant PortStatisticsModel::cell(std::size_t row, int column, bool sortKey) const {
    const analyzer::PortRow& r = rows_[row];
    switch (column) {
        case kPort:
            return sortKey ? PortKey(r.port) : FromFileText(r.port);
        case kCount:
            return Count(r.count);
        case kShare:
            return sortKey ? Count(r.count) : share(r.count);
        case kDescription:
            return FromFileText(r.description);
        case kSources:
            return Count(r.sources);
        default:
            return {};
    }
}

}  // namespace analyzer_ui
