#pragma once

#include "analyzer/core/port_table.h"
#include "common/user_messages.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

struct PortDefinition {
    std::string port;
    std::string description;
};

// The fields a port dialog opens with: a definition row split at its first TAB (a row
// without one is all port text); a comment row gives two empty fields.
PortDefinition SplitDefinition(std::string_view row);

// The port list editor without its window: the rows of the port definitions file, the
// selection, and the unsaved-changes state. Dialogs are run by the window; their
// results come in here.
class PortListModel {
  public:
    PortListModel(std::string portsFilePath, common::UserMessages& messages);

    // Reads the file afresh and selects the first row.
    void Load();

    const std::vector<std::string>& rows() const { return rows_; }
    std::optional<std::size_t> selectedRow() const { return selected_; }
    void Select(std::optional<std::size_t> row);
    bool modified() const { return modified_; }
    std::size_t definitionCount() const { return definitionCount_; }

    // Selects the first row that begins with the port text and a TAB, letter case
    // ignored, searching from the second row to the last and then the first.
    std::optional<std::size_t> FindPortLine(std::string_view port);

    // Appends port TAB description unless a row already begins with the port: then shows
    // "Port %1 already defined", selects that row and answers false.
    bool Add(const PortDefinition& definition);

    // The row Edit and Delete act on: the selected one, unless it is a comment line.
    std::optional<std::size_t> EditableRow() const;
    // Replaces a definition row by its port, a TAB and the new description; no row stays
    // selected.
    void Edit(std::size_t row, std::string_view description);
    // Removes a definition row; no row stays selected.
    void Delete(std::size_t row);

    // FindPortLine, with "Port %1 not found" when no row matches.
    void Find(std::string_view port);

    // Writes every row when there are unsaved changes. A failure shows "Unable to open
    // port list" and keeps the changes marked as unsaved.
    void SaveChanges();

    // Close: asks whether to save unsaved changes; false when the window is to stay open.
    bool Close();

  private:
    PortTable table_;
    common::UserMessages& messages_;
    std::vector<std::string> rows_;
    std::optional<std::size_t> selected_;
    bool modified_ = false;
    std::size_t definitionCount_ = 0;
};

}  // namespace analyzer
