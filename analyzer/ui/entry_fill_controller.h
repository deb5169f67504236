#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <optional>

#include "analyzer/core/entry_loader.h"
#include "analyzer/core/entry_store.h"
#include "common_ui/wait_cursor.h"

class QTimer;

namespace analyzer_ui {

class EntryListPane;

// Fills the entry list from the open log in slices, so the window keeps drawing while a
// large log is read; the first entry is selected as soon as it is listed.
class EntryFillController : public QObject {
    Q_OBJECT

  public:
    EntryFillController(analyzer::EntryStore& store, EntryListPane& list, QObject* parent);

    // Empties the list and, when the log is open, fills it from the log's start with the
    // filters of `settings`, which is left alone until the fill ends. The first slice
    // runs now. False when the log is not open.
    bool start(analyzer::LogReader& log, analyzer::SettingsFile& settings);
    // Adds to the list what `log` holds from where it was left, without emptying it first.
    bool resume(analyzer::LogReader& log, analyzer::SettingsFile& settings);
    // Stops a fill part-way; what was listed stays listed.
    void stop();
    bool isRunning() const { return fill_.running(); }

  signals:
    void finished(const analyzer::LoadResult& result);

  private:
    void fillSlice();

    analyzer::EntryStore& store_;
    EntryListPane& list_;
    analyzer::EntryFill fill_;
    QTimer* timer_;
    QElapsedTimer sincePublished_;
    std::optional<common_ui::WaitCursor> cursor_;
};

}  // namespace analyzer_ui
