#include "analyzer/ui/entry_fill_controller.h"

#include <QTimer>
#include <algorithm>

#include "analyzer/ui/entry_list_model.h"
#include "analyzer/ui/entry_list_pane.h"

namespace analyzer_ui {
namespace {

// A fill works this long before the window draws again.
constexpr int kSliceMilliseconds = 12;
constexpr std::size_t kChunksPerStep = 1024;
constexpr int kPublishMilliseconds = 300;
constexpr int kRowsPerInterval = 1000000;

}  // namespace

EntryFillController::EntryFillController(analyzer::EntryStore& store, EntryListPane& list,
                                         QObject* parent)
    : QObject(parent), store_(store), list_(list), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &EntryFillController::fillSlice);
}

bool EntryFillController::start(analyzer::LogReader& log, analyzer::SettingsFile& settings) {
    stop();
    list_.model()->beginClear();
    fill_.Start(log, settings, store_);
    list_.model()->endClear();
    if (!log.IsOpen()) {
        return false;
    }
    cursor_.emplace();
    sincePublished_.start();
    fillSlice();
    return true;
}

bool EntryFillController::resume(analyzer::LogReader& log, analyzer::SettingsFile& settings) {
    stop();
    fill_.Continue(log, settings, store_);
    if (!log.IsOpen()) {
        return false;
    }
    sincePublished_.start();
    fillSlice();
    return true;
}

void EntryFillController::stop() {
    timer_->stop();
    fill_.Abandon();
    cursor_.reset();
}

void EntryFillController::fillSlice() {
    QElapsedTimer slice;
    slice.start();
    bool done = false;
    while (!done && slice.elapsed() < kSliceMilliseconds) {
        done = fill_.Step(kChunksPerStep);
    }
    if (done) {
        list_.model()->publish();
        cursor_.reset();
        emit finished(fill_.result());
        return;
    }
    // The view lays out all its rows again at each announcement, so rows are announced
    // at once only until the first one shows, and then now and then.
    const bool wasEmpty = list_.rowCount() == 0;
    // Each announcement costs the view time in proportion to the rows it holds, so a list
    // of many days is announced less often as it grows.
    const qint64 interval =
        kPublishMilliseconds * std::max<qint64>(1, list_.rowCount() / kRowsPerInterval);
    if (wasEmpty || sincePublished_.elapsed() >= interval) {
        list_.model()->publish();
        sincePublished_.start();
        if (wasEmpty && list_.rowCount() > 0) {
            list_.selectFirstRow();
        }
    }
    // The count tells how far a long fill has come.
    list_.showCount(store_.size());
    timer_->start(0);
}

}  // namespace analyzer_ui
