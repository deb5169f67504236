#include "analyzer/core/report_format.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace analyzer {
namespace {

std::string Share(std::size_t count, std::size_t total) {
    char text[16];
    std::snprintf(
        text, sizeof text, "%.1f",
        total == 0 ? 0.0 : 100.0 * static_cast<double>(count) / static_cast<double>(total));
    return text;
}

std::string Stamp(const std::optional<std::int64_t>& seconds) {
    return seconds ? FormatLocalStamp(*seconds) : std::string();
}

void AppendJsonStamp(const std::optional<std::int64_t>& seconds, std::string& out) {
    if (seconds) {
        AppendJsonString(FormatLocalStamp(*seconds), out);
    } else {
        out += "null";
    }
}

// Ports the log writes as plain numbers are numbers; anything else stays its text.
void AppendJsonPort(std::string_view port, std::string& out) {
    if (CanonicalPort(port)) {
        out += port;
    } else {
        AppendJsonString(port, out);
    }
}

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not one.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, value = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, value = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        value = value << 6 | (next & 0x3Fu);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
        } else if (const std::size_t length = Utf8Length(text, i); length != 0) {
            i += length;
        } else {
            return false;
        }
    }
    return true;
}

// A table whose columns are as wide as their widest cell; numbers line up on the right.
class TextTable {
  public:
    TextTable(std::vector<std::string> headings, std::vector<bool> rightAligned)
        : right_(std::move(rightAligned)) {
        rows_.push_back(std::move(headings));
    }
    void Add(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

    void AppendTo(std::string& out) const {
        std::vector<std::size_t> widths(rows_.front().size(), 0);
        for (const auto& row : rows_) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                widths[c] = std::max(widths[c], row[c].size());
            }
        }
        for (const auto& row : rows_) {
            std::string line;
            for (std::size_t c = 0; c < row.size(); ++c) {
                const std::string pad(widths[c] - row[c].size(), ' ');
                line += c == 0 ? "" : "  ";
                line += right_[c] ? pad + row[c] : row[c] + (c + 1 < row.size() ? pad : "");
            }
            while (!line.empty() && line.back() == ' ') {
                line.pop_back();
            }
            out += line;
            out += '\n';
        }
    }

  private:
    std::vector<bool> right_;
    std::vector<std::vector<std::string>> rows_;
};

std::string Text(const StatisticsReport& report) {
    std::string out = "Entries: " + std::to_string(report.entries);
    if (report.first) {
        out += "  First: " + Stamp(report.first) + "  Last: " + Stamp(report.last);
    }
    out += "\n\nTop sources\n";
    TextTable sources({"Address", "Count", "Share %", "First seen", "Last seen", "Ports"},
                      {false, true, true, false, false, true});
    for (const SourceRow& row : report.sources) {
        sources.Add({row.address, std::to_string(row.count), Share(row.count, report.entries),
                     Stamp(row.first), Stamp(row.last), std::to_string(row.ports)});
    }
    sources.AppendTo(out);
    out += "\nTop destination ports\n";
    TextTable ports({"Port", "Count", "Share %", "Sources", "Description"},
                    {true, true, true, true, false});
    for (const PortRow& row : report.ports) {
        ports.Add({row.port, std::to_string(row.count), Share(row.count, report.entries),
                   std::to_string(row.sources), row.description});
    }
    ports.AppendTo(out);
    out += "\nEntries per hour\n";
    TextTable hours({"Hour", "Count"}, {false, true});
    for (const HourRow& row : report.hours) {
        hours.Add({FormatLocalHour(row.hour), std::to_string(row.count)});
    }
    hours.AppendTo(out);
    return out;
}

std::string Csv(const StatisticsReport& report) {
    std::string out = "entries,first,last\n" + std::to_string(report.entries) + "," +
                      Stamp(report.first) + "," + Stamp(report.last) + "\n";
    out += "\naddress,count,share,first,last,ports\n";
    for (const SourceRow& row : report.sources) {
        AppendCsvField(row.address, out);
        out += "," + std::to_string(row.count) + "," + Share(row.count, report.entries) + "," +
               Stamp(row.first) + "," + Stamp(row.last) + "," + std::to_string(row.ports) + "\n";
    }
    out += "\nport,count,share,description,sources\n";
    for (const PortRow& row : report.ports) {
        AppendCsvField(row.port, out);
        out += "," + std::to_string(row.count) + "," + Share(row.count, report.entries) + ",";
        AppendCsvField(row.description, out);
        out += "," + std::to_string(row.sources) + "\n";
    }
    out += "\nhour,count\n";
    for (const HourRow& row : report.hours) {
        out += FormatLocalHour(row.hour) + "," + std::to_string(row.count) + "\n";
    }
    return out;
}

std::string Json(const StatisticsReport& report) {
    std::string out = "{\"entries\": " + std::to_string(report.entries) + ", \"first\": ";
    AppendJsonStamp(report.first, out);
    out += ", \"last\": ";
    AppendJsonStamp(report.last, out);
    out += ",\n \"sources\": [";
    const char* separator = "\n  ";
    for (const SourceRow& row : report.sources) {
        out += separator;
        out += "{\"address\": ";
        AppendJsonString(row.address, out);
        out += ", \"count\": " + std::to_string(row.count) + ", \"first\": ";
        AppendJsonStamp(row.first, out);
        out += ", \"last\": ";
        AppendJsonStamp(row.last, out);
        out += ", \"ports\": " + std::to_string(row.ports) + "}";
        separator = ",\n  ";
    }
    out += "],\n \"ports\": [";
    separator = "\n  ";
    for (const PortRow& row : report.ports) {
        out += separator;
        out += "{\"port\": ";
        AppendJsonPort(row.port, out);
        out += ", \"count\": " + std::to_string(row.count) + ", \"description\": ";
        AppendJsonString(row.description, out);
        out += ", \"sources\": " + std::to_string(row.sources) + "}";
        separator = ",\n  ";
    }
    out += "],\n \"hours\": [";
    separator = "\n  ";
    for (const HourRow& row : report.hours) {
        out += separator;
        out += "{\"hour\": \"" + FormatLocalHour(row.hour) +
               "\", \"count\": " + std::to_string(row.count) + "}";
        separator = ",\n  ";
    }
    out += "]}\n";
    return out;
}

}  // namespace

std::optional<ReportFormat> ParseReportFormat(std::string_view name) {
    if (name == "text") {
        return ReportFormat::kText;
    }
    if (name == "csv") {
        return ReportFormat::kCsv;
    }
    if (name == "json") {
        return ReportFormat::kJson;
    }
    return std::nullopt;
}

std::string FormatStatistics(const StatisticsReport& report, ReportFormat format) {
    switch (format) {
        case ReportFormat::kCsv:
            return Csv(report);
        case ReportFormat::kJson:
            return Json(report);
        case ReportFormat::kText:
            break;
    }
    return Text(report);
}

void AppendCsvField(std::string_view text, std::string& out) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

void AppendJsonString(std::string_view text, std::string& out) {
    const bool utf8 = IsValidUtf8(text);
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else if (byte >= 0x80 && !utf8) {
            out += static_cast<char>(0xC0 | byte >> 6);
            out += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            out += c;
        }
    }
    out += '"';
}

void ListWriter::Begin(std::string& out) {
    if (format_ == ReportFormat::kCsv) {
        out += "date,time,source,source_port,destination,destination_port\n";
    } else if (format_ == ReportFormat::kJson) {
        out += "[";
    }
}

void ListWriter::Row(const LogEntry& entry, std::string& out) {
    const std::string_view fields[] = {entry.date,          entry.time,
                                       entry.sourceIp,      entry.sourcePort,
                                       entry.destinationIp, entry.destinationPort};
    if (format_ == ReportFormat::kCsv) {
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            if (i != 0) {
                out += ',';
            }
            AppendCsvField(fields[i], out);
        }
        out += '\n';
        return;
    }
    if (format_ == ReportFormat::kJson) {
        static constexpr const char* kNames[] = {"date",        "time",        "source",
                                                 "source_port", "destination", "destination_port"};
        out += first_ ? "\n " : ",\n ";
        out += '{';
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            out += i == 0 ? "\"" : ", \"";
            out += kNames[i];
            out += "\": ";
            AppendJsonString(fields[i], out);
        }
        out += '}';
    }
    first_ = false;
}

void ListWriter::End(std::string& out) {
    if (format_ == ReportFormat::kJson) {
        out += first_ ? "]\n" : "\n]\n";
    }
}

}  // namespace analyzer
