#include "analyzer/ui/entry_fill_controller.h"

#include <sys/stat.h>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <ctime>

#include "analyzer/core/log_list.h"
#include "analyzer/io/any_log.h"
#include "analyzer/ui/entry_list_model.h"
#include "analyzer/ui/entry_list_pane.h"

namespace analyzer_ui {
namespace {

// A fill works this long before the window draws again.
constexpr int kSliceMilliseconds = 12;
constexpr std::size_t kChunksPerStep = 1024;
// Rows are announced this often while a fill runs; the view's cost per announcement does
// not grow with the rows it holds.
constexpr int kPublishMilliseconds = 100;
// How often the window looks for what the workers have read.
constexpr int kJoinMilliseconds = 10;
// A log's first run is small, so its first entries show at once; later ones are larger.
constexpr std::size_t kFirstRunEntries = 4096;

}  // namespace

EntryFillController::EntryFillController(analyzer::EntryStore& store, EntryListPane& list,
                                         QObject* parent)
    : QObject(parent),
      store_(store),
      list_(list),
      timer_(new QTimer(this)),
      joinTimer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &EntryFillController::fillSlice);
    joinTimer_->setInterval(kJoinMilliseconds);
    connect(joinTimer_, &QTimer::timeout, this, &EntryFillController::joinSlice);
}

EntryFillController::~EntryFillController() {
    stopWorkers();
}

bool EntryFillController::start(analyzer::LogReader& log, analyzer::SettingsFile& settings) {
    stop();
    list_.model()->beginClear();
    fill_.Start(log, settings, store_);
    heldLineShown_ = false;
    list_.model()->endClear();
    if (!log.IsOpen()) {
        return false;
    }
    log_ = &log;
    logFilters_ = &settings.CurrentFilters();
    cursor_.emplace();
    sincePublished_.start();
    fillSlice();
    return true;
}

bool EntryFillController::resume(analyzer::LogReader& log, analyzer::SettingsFile& settings) {
    stop();
    withdrawHeldLine();
    fill_.Continue(log, settings, store_);
    if (!log.IsOpen()) {
        return false;
    }
    log_ = &log;
    logFilters_ = &settings.CurrentFilters();
    sincePublished_.start();
    fillSlice();
    return true;
}

void EntryFillController::startList(std::vector<std::string> files,
                                    const analyzer::FilterSource& filters) {
    stop();
    list_.model()->beginClear();
    store_.ClearEntries();
    heldLineShown_ = false;
    list_.model()->endClear();
    files_ = std::move(files);
    filters_ = &filters;
    read_ = std::vector<ReadLog>(files_.size());
    lastLog_.reset();
    cancel_ = false;
    nextFile_ = 0;
    joinFile_ = 0;
    listResult_ = {};
    listRunning_ = true;
    cursor_.emplace();
    sincePublished_.start();
    const std::size_t threads = analyzer::LogReadingThreads();
    for (std::size_t i = 0; i < std::min(threads, files_.size()); ++i) {
        workers_.emplace_back([this] { readLogs(); });
    }
    joinTimer_->start();
}

// On a worker thread: takes the next log nobody reads yet, until none is left.
void EntryFillController::readLogs() {
    for (;;) {
        const std::size_t file = nextFile_++;
        if (file >= files_.size() || cancel_) {
            return;
        }
        auto log = std::make_unique<analyzer::LogReader>();
        if (!analyzer::OpenAnyLog(*log, files_[file])) {
            const int error = errno != 0 ? errno : EIO;
            const std::lock_guard lock(mutex_);
            read_[file].openError = error;
            read_[file].done = true;
            continue;
        }
        const bool last = file + 1 == files_.size();
        if (last) {
            // A last log written to lately may still grow: a line not yet ended waits
            // for its end rather than being listed in halves.
            struct stat st {};
            const bool recent = log->fd() >= 0 && ::fstat(log->fd(), &st) == 0 &&
                                st.st_mtime + 86400 > std::time(nullptr);
            log->SetHoldPartialLine(recent);
        }
        std::size_t runEntries = kFirstRunEntries;
        bool ended = false;
        while (!ended && !cancel_) {
            analyzer::EntryChunk run;
            run.Reserve(runEntries);
            ended = analyzer::ReadEntriesInto(*log, *filters_, run, runEntries);
            run.Trim();
            runEntries = std::min(runEntries * 4, analyzer::EntryStore::kRunEntries);
            if (!run.empty()) {
                const std::lock_guard lock(mutex_);
                read_[file].runs.push_back(std::move(run));
            }
        }
        const std::lock_guard lock(mutex_);
        read_[file].readError = log->readError();
        read_[file].done = true;
        if (last) {
            read_[file].log = std::move(log);
        }
    }
}

// On the window's thread: joins what was read, log after log in the list's order.
void EntryFillController::joinSlice() {
    while (listRunning_ && joinFile_ < read_.size()) {
        std::deque<analyzer::EntryChunk> runs;
        bool done = false;
        int openError = 0;
        int readError = 0;
        {
            const std::lock_guard lock(mutex_);
            ReadLog& read = read_[joinFile_];
            runs.swap(read.runs);
            // Runs are queued before their log is marked done, so done means all taken.
            done = read.done;
            openError = read.openError;
            readError = read.readError;
            if (done && read.log) {
                lastLog_ = std::move(read.log);
            }
        }
        for (analyzer::EntryChunk& run : runs) {
            const std::size_t size = run.size();
            const std::size_t before = store_.size();
            const bool whole = store_.AppendChunk(std::move(run));
            listResult_.listed += store_.size() - before;
            if (!whole || store_.size() - before != size) {
                listResult_.refused = true;
                break;
            }
        }
        if (listResult_.refused) {
            break;
        }
        if (!done) {
            break;
        }
        emit fileListed(joinFile_, openError, readError);
        ++joinFile_;
    }
    if (!listRunning_) {
        return;  // stopped from a fileListed handler
    }
    if (listResult_.refused || joinFile_ >= read_.size()) {
        stopWorkers();
        if (!listResult_.refused && lastLog_) {
            showHeldLine(*lastLog_, *filters_);
        }
        list_.model()->publish();
        list_.showCount(store_.size());
        cursor_.reset();
        if (list_.currentRow() < 0 && list_.rowCount() > 0) {
            list_.selectFirstRow();
        }
        emit listFinished(listResult_);
        return;
    }
    publishProgress();
}

void EntryFillController::takeLastLog(analyzer::LogReader& log) {
    log.Close();
    if (lastLog_) {
        log.Swap(*lastLog_);
        lastLog_.reset();
    }
}

void EntryFillController::showHeldLine(const analyzer::LogReader& log,
                                       const analyzer::FilterSource& filters) {
    const std::optional<std::string> held = log.HeldLine();
    if (!held) {
        return;
    }
    // Read as a fill reads a line: up to a NUL, and only an accepted inbound entry.
    const std::string_view line = std::string_view(*held).substr(0, held->find('\0'));
    analyzer::EntryTokens tokens;
    if (!analyzer::HasInboundMarker(line) || !analyzer::ParseEntryTokens(line, filters, tokens)) {
        return;
    }
    heldLineShown_ = store_.AppendParsedEntry(tokens.ToEntry(), {});
    list_.model()->publish();
    list_.showCount(store_.size());
}

void EntryFillController::withdrawHeldLine() {
    if (!heldLineShown_) {
        return;
    }
    heldLineShown_ = false;
    list_.model()->beginRemoveLast();
    store_.RemoveLast();
    list_.model()->endRemoveLast();
}

void EntryFillController::stopWorkers() {
    cancel_ = true;
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
    joinTimer_->stop();
    listRunning_ = false;
    read_.clear();
}

void EntryFillController::stop() {
    timer_->stop();
    fill_.Abandon();
    stopWorkers();
    cursor_.reset();
}

void EntryFillController::publishProgress() {
    // Until the first row shows, rows are announced at once; then now and then.
    const bool wasEmpty = list_.rowCount() == 0;
    if (wasEmpty || sincePublished_.elapsed() >= kPublishMilliseconds) {
        list_.model()->publish();
        sincePublished_.start();
        if (wasEmpty && list_.rowCount() > 0) {
            list_.selectFirstRow();
        }
    }
    // The count tells how far a long fill has come.
    list_.showCount(store_.size());
}

void EntryFillController::fillSlice() {
    QElapsedTimer slice;
    slice.start();
    bool done = false;
    while (!done && slice.elapsed() < kSliceMilliseconds) {
        done = fill_.Step(kChunksPerStep);
    }
    if (done) {
        if (!fill_.result().refused && log_ != nullptr) {
            showHeldLine(*log_, *logFilters_);
        }
        list_.model()->publish();
        cursor_.reset();
        emit finished(fill_.result());
        return;
    }
    publishProgress();
    timer_->start(0);
}

}  // namespace analyzer_ui
