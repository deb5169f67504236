#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

// Named copies of the filters in the settings file: the two filter sections and the two
// show-only ones. A set named NAME lives in sections "FilterSet NAME: <section>", and
// [FilterSets] lists the names, so older copies of the program pass over all of it.
class FilterSets {
  public:
    explicit FilterSets(std::string settingsFilePath);

    // A name fit for a section header: not empty, no brackets, colons or line breaks,
    // no blanks at either end.
    static bool IsValidName(std::string_view name);

    std::vector<std::string> Names() const;
    // Saves the current filters under the name, replacing a set of that name.
    bool Save(std::string_view name) const;
    // Makes the set's filters the current ones. False when there is no such set or the
    // file cannot be written.
    bool Apply(std::string_view name) const;
    bool Remove(std::string_view name) const;

  private:
    bool CopySections(std::string_view fromPrefix, std::string_view toPrefix) const;

    std::string path_;
};

}  // namespace analyzer
