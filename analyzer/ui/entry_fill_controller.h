#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "analyzer/core/entry_loader.h"
#include "analyzer/core/entry_store.h"
#include "common_ui/wait_cursor.h"

class QTimer;

namespace analyzer_ui {

class EntryListPane;

// Fills the entry list from the open log in slices, so the window keeps drawing while a
// large log is read; the first entry is selected as soon as it is listed. A list of
// several logs is read on worker threads, one log each, and joined in the list's order.
class EntryFillController : public QObject {
    Q_OBJECT

  public:
    EntryFillController(analyzer::EntryStore& store, EntryListPane& list, QObject* parent);
    ~EntryFillController() override;

    // Empties the list and, when the log is open, fills it from the log's start with the
    // filters of `settings`, which is left alone until the fill ends. The first slice
    // runs now. False when the log is not open.
    bool start(analyzer::LogReader& log, analyzer::SettingsFile& settings);
    // Adds to the list what `log` holds from where it was left, without emptying it first.
    bool resume(analyzer::LogReader& log, analyzer::SettingsFile& settings);
    // Empties the list and fills it from `files` in their order, reading them on worker
    // threads. `filters` are read from those threads, so nothing may change them until
    // the fill ends or is stopped. Each log's end is told by fileListed, the whole by
    // listFinished.
    void startList(std::vector<std::string> files, const analyzer::FilterSource& filters);
    // After listFinished: the last log of the list, open where its reading ended, so it
    // can be followed; `log` is closed when that log did not open.
    void takeLastLog(analyzer::LogReader& log);
    // Stops a fill part-way; what was listed stays listed. Worker threads are gone when
    // this returns.
    void stop();
    bool isRunning() const { return fill_.running() || listRunning_; }

  signals:
    void finished(const analyzer::LoadResult& result);
    // Every entry of log `file` of the list is listed; `openError` is the errno of an
    // open that failed, `readError` that of a read that ended the log early.
    void fileListed(std::size_t file, int openError, int readError);
    void listFinished(const analyzer::LoadResult& result);

  private:
    // What a worker has read of one log, waiting to join the list.
    struct ReadLog {
        std::deque<analyzer::EntryChunk> runs;
        bool done = false;
        int openError = 0;
        int readError = 0;
        std::unique_ptr<analyzer::LogReader> log;
    };

    void fillSlice();
    // A last line held back for want of its end is listed as it reads so far, and taken
    // off again before reading goes on, so its end never lists it twice.
    void showHeldLine(const analyzer::LogReader& log, const analyzer::FilterSource& filters);
    void withdrawHeldLine();
    void joinSlice();
    void publishProgress();
    void readLogs();
    void stopWorkers();

    analyzer::EntryStore& store_;
    EntryListPane& list_;
    analyzer::EntryFill fill_;
    QTimer* timer_;
    QTimer* joinTimer_;
    QElapsedTimer sincePublished_;
    std::optional<common_ui::WaitCursor> cursor_;
    analyzer::LogReader* log_ = nullptr;
    const analyzer::FilterSource* logFilters_ = nullptr;
    bool heldLineShown_ = false;

    // A list of several logs: written by the workers under mutex_, joined by the window.
    std::vector<std::string> files_;
    const analyzer::FilterSource* filters_ = nullptr;
    std::vector<ReadLog> read_;
    std::mutex mutex_;
    std::atomic<bool> cancel_{false};
    std::atomic<std::size_t> nextFile_{0};
    std::vector<std::thread> workers_;
    std::size_t joinFile_ = 0;
    bool listRunning_ = false;
    analyzer::LoadResult listResult_;
    std::unique_ptr<analyzer::LogReader> lastLog_;
};

}  // namespace analyzer_ui
