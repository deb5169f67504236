#pragma once

#include "common/user_messages.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

// Empty, or starting with '#', ';' or '*': shown and kept, never matched or counted.
bool IsCommentLine(std::string_view line);

// True for a port text whose leading number (after blanks and a sign) is 1 to 65535.
// Otherwise shows "Port %1 is invalid" with the text as typed and answers false.
bool IsValidPort(std::string_view portText, common::UserMessages& messages);

struct PortLines {
    std::vector<std::string> lines;   // line breaks removed, file order
    std::size_t definitionCount = 0;  // lines that are not comment lines
};

// The port definitions file: lines of port text, TAB, description. Nothing is cached;
// every call reads or writes the file afresh.
class PortTable {
  public:
    explicit PortTable(std::string path);

    // The description of the first definition line whose port text equals `port`
    // exactly; "Unknown or unassigned" when there is none or the file cannot be read.
    // Lines without a TAB define nothing.
    std::string Lookup(std::string_view port) const;

    // Every line, whatever its length; an empty list when the file cannot be read.
    PortLines LoadLines() const;

    // Replaces the file with the lines, each ended by LF (CR LF after a line that ends in
    // CR, so it reads back whole). False when it cannot be written; the file is then as
    // it was.
    bool SaveLines(const std::vector<std::string>& lines) const;

  private:
    std::string path_;
};

}  // namespace analyzer
