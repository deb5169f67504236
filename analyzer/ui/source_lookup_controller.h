#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>

#include "analyzer/core/host_lookup.h"
#include "common_ui/wait_cursor.h"

namespace analyzer_ui {

// Names the selected entry's source through the name service without blocking the
// window: a remembered answer comes at once, a new one later, and an answer for an
// entry no longer selected is dropped.
class SourceLookupController : public QObject {
    Q_OBJECT

  public:
    explicit SourceLookupController(std::shared_ptr<analyzer::HostResolver> resolver);
    ~SourceLookupController() override;

    // Another entry is selected: the answer being waited for is no longer wanted.
    void selectionChanged();
    // True when the answer came at once (and was announced); false when it comes later.
    bool lookup(std::uint32_t address);

  signals:
    void answered(const analyzer::HostAnswer& answer);

  private:
    void onAnswer(std::uint32_t address, const analyzer::HostAnswer& answer);

    std::uint64_t selectionSerial_ = 0;
    // Empty while the Name field waits for nothing: a late answer then has no place.
    std::optional<analyzer::AwaitedAnswer> awaited_;
    std::optional<common_ui::WaitCursor> cursor_;
    // Last, so it goes first: no answer reaches an object being taken apart.
    std::unique_ptr<analyzer::HostLookup> lookup_;
};

}  // namespace analyzer_ui
