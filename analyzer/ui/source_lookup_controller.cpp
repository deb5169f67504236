#include "analyzer/ui/source_lookup_controller.h"

namespace analyzer_ui {

SourceLookupController::SourceLookupController(std::shared_ptr<analyzer::HostResolver> resolver)
    : lookup_(std::make_unique<analyzer::HostLookup>(
          std::move(resolver), [this](std::uint32_t address, const analyzer::HostAnswer& answer) {
              QMetaObject::invokeMethod(
                  this, [this, address, answer] { onAnswer(address, answer); },
                  Qt::QueuedConnection);
          })) {}

SourceLookupController::~SourceLookupController() = default;

void SourceLookupController::selectionChanged() {
    ++selectionSerial_;
    awaited_.reset();
    cursor_.reset();
}

bool SourceLookupController::lookup(std::uint32_t address) {
    if (const std::optional<analyzer::HostAnswer> known = lookup_->Request(address)) {
        awaited_.reset();
        cursor_.reset();
        emit answered(*known);
        return true;
    }
    awaited_ = analyzer::AwaitedAnswer{address, selectionSerial_};
    if (!cursor_) {
        cursor_.emplace();
    }
    return false;
}

void SourceLookupController::onAnswer(std::uint32_t address, const analyzer::HostAnswer& answer) {
    if (!analyzer::AnswerApplies(awaited_, address, selectionSerial_)) {
        return;
    }
    awaited_.reset();
    cursor_.reset();
    emit answered(answer);
}

}  // namespace analyzer_ui
