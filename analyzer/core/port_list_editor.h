#pragma once

#include "analyzer/core/editor_rows.h"
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
    bool operator==(const PortDefinition&) const = default;
};

// The fields a port dialog opens with: a definition row split at its first TAB (a row
// without one is all port text); a comment row gives two empty fields.
PortDefinition SplitDefinition(std::string_view row);

// The port list editor without its window: the rows of the port definitions file and
// the unsaved-changes state. The window runs the dialogs, owns the selection and hands
// the selected row in; each operation answers where the selection goes.
class PortListEditor {
  public:
    PortListEditor(std::string portsFilePath, common::UserMessages& messages);

    // The listener hears of every row change from then on; nullptr silences it.
    void SetListener(RowListener* listener) { listener_ = listener; }

    // Reads the file afresh; the first row is to be selected.
    SelectionAfter Load();

    const std::vector<std::string>& rows() const { return rows_; }
    bool modified() const { return modified_; }
    std::size_t definitionCount() const { return definitionCount_; }

    // The first row that begins with the port text and a TAB, letter case ignored,
    // searching from the second row to the last and then the first.
    std::optional<std::size_t> FindPortLine(std::string_view port) const;

    // Appends port TAB description, leaving the selection where it is, unless a row
    // already begins with the port: then shows "Port %1 already defined" and that row is
    // to be selected.
    SelectionAfter Add(const PortDefinition& definition);

    // Edit and Delete act only on a selected row that is not a comment line.
    bool IsEditableRow(std::optional<std::size_t> row) const;
    // Replaces a definition row by its port, a TAB and the new description; afterwards
    // no row is selected.
    SelectionAfter Edit(std::size_t row, std::string_view description);
    // Removes a definition row; afterwards no row is selected.
    SelectionAfter Delete(std::size_t row);

    // Selects the row FindPortLine finds, or shows "Port %1 not found".
    SelectionAfter Find(std::string_view port);

    // Writes every row when there are unsaved changes and answers whether none are left.
    // A failure shows "Unable to open port list" and keeps the changes marked unsaved.
    bool SaveChanges();

    // Close: asks whether to save unsaved changes. False when the window is to stay
    // open: on Cancel, and when the save failed, so the changes are not lost.
    bool Close();

  private:
    PortTable table_;
    common::UserMessages& messages_;
    RowListener* listener_ = nullptr;
    std::vector<std::string> rows_;
    bool modified_ = false;
    std::size_t definitionCount_ = 0;
};

}  // namespace analyzer
