#pragma once

#include <cstddef>

namespace analyzer {

// Where an editor's list selection goes after an operation. The view owns the one
// selection; the editor only says how it changes.
struct SelectionAfter {
    enum class Kind { kKeep, kSelect, kClear };

    static SelectionAfter Keep() { return {}; }
    static SelectionAfter Select(std::size_t row) { return {Kind::kSelect, row}; }
    static SelectionAfter Clear() { return {Kind::kClear, 0}; }

    bool operator==(const SelectionAfter&) const = default;

    Kind kind = Kind::kKeep;
    std::size_t row = 0;  // the row to select and scroll into view, for kSelect
};

// Told before and after each change of an editor's rows, so a view over them keeps its
// selection and scroll position in step.
class RowListener {
  public:
    virtual ~RowListener() = default;
    virtual void BeforeReset() = 0;
    virtual void AfterReset() = 0;
    virtual void BeforeInsert(std::size_t row) = 0;
    virtual void AfterInsert() = 0;
    virtual void BeforeRemove(std::size_t row) = 0;
    virtual void AfterRemove() = 0;
    virtual void Changed(std::size_t row) = 0;
};

}  // namespace analyzer
