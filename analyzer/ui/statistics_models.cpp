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

bool IsNumberColumn(int column, std::initializer_list<int> textColumns) {
    for (const int text : textColumns) {
        if (column == text) {
            return false;
        }
    }
    return true;
}

}  // namespace

void SourceStatisticsModel::setRows(std::vector<analyzer::SourceRow> rows, std::size_t total) {
    beginResetModel();
    rows_ = std::move(rows);
    total_ = total;
    endResetModel();
}

int SourceStatisticsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SourceStatisticsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant SourceStatisticsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const analyzer::SourceRow& r = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole) {
        return IsNumberColumn(index.column(), {kAddress, kFirst, kLast})
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role == kSortRole) {
        switch (index.column()) {
            case kAddress:
                return AddressKey(r.address);
            case kCount:
            case kShare:
                return QVariant::fromValue<qulonglong>(r.count);
            case kFirst:
                return StampKey(r.first);
            case kLast:
                return StampKey(r.last);
            case kPorts:
                return QVariant::fromValue<qulonglong>(r.ports);
            default:
                return {};
        }
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case kAddress:
            return FromFileText(r.address);
        case kCount:
            return QVariant::fromValue<qulonglong>(r.count);
        case kShare:
            return QString::number(Share(r.count, total_), 'f', 1);
        case kFirst:
            return Stamp(r.first);
        case kLast:
            return Stamp(r.last);
        case kPorts:
            return QVariant::fromValue<qulonglong>(r.ports);
        default:
            return {};
    }
}

QVariant SourceStatisticsModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    static const char* const kTitles[] = {"Address",    "Count",     "Share %",
                                          "First seen", "Last seen", "Ports"};
    return tr(kTitles[section]);
}

void PortStatisticsModel::setRows(std::vector<analyzer::PortRow> rows, std::size_t total) {
    beginResetModel();
    rows_ = std::move(rows);
    total_ = total;
    endResetModel();
}

int PortStatisticsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PortStatisticsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant PortStatisticsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const analyzer::PortRow& r = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole) {
        return IsNumberColumn(index.column(), {kDescription})
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role == kSortRole) {
        switch (index.column()) {
            case kPort:
                return PortKey(r.port);
            case kCount:
            case kShare:
                return QVariant::fromValue<qulonglong>(r.count);
            case kDescription:
                return FromFileText(r.description);
            case kSources:
                return QVariant::fromValue<qulonglong>(r.sources);
            default:
                return {};
        }
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case kPort:
            return FromFileText(r.port);
        case kCount:
            return QVariant::fromValue<qulonglong>(r.count);
        case kShare:
            return QString::number(Share(r.count, total_), 'f', 1);
        case kDescription:
            return FromFileText(r.description);
        case kSources:
            return QVariant::fromValue<qulonglong>(r.sources);
        default:
            return {};
    }
}

QVariant PortStatisticsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    static const char* const kTitles[] = {"Port", "Count", "Share %", "Description", "Sources"};
    return tr(kTitles[section]);
}

}  // namespace analyzer_ui
