#include "analyzer/core/entry_details.h"

#include "analyzer/core/filter_source.h"

namespace analyzer {
namespace {

class NoFilters : public FilterSource {
  public:
    bool IsActiveFilter(std::string_view, std::string_view) const override { return false; }
};

}  // namespace

EntryDetails DecodeEntry(std::string_view listText, const PortTable& ports) {
    EntryDetails details;
    ParseEntry(listText, NoFilters(), details.entry);
    details.sourceDescription = ports.Lookup(details.entry.sourcePort);
    details.destinationDescription = ports.Lookup(details.entry.destinationPort);
    return details;
}

}  // namespace analyzer
