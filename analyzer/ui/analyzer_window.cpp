#include "analyzer/ui/analyzer_window.h"

#include <sys/stat.h>

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "analyzer/core/analyzer_options.h"
#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/entry_copy.h"
#include "analyzer/core/entry_details.h"
#include "analyzer/core/entry_export.h"
#include "analyzer/core/filter_keys.h"
#include "analyzer/core/filter_sets.h"
#include "analyzer/core/filter_source.h"
#include "analyzer/core/option_pages.h"
#include "analyzer/core/port_table.h"
#include "analyzer/io/any_log.h"
#include "analyzer/ui/add_source_ip_dialog.h"
#include "analyzer/ui/add_target_port_dialog.h"
#include "analyzer/ui/analyzer_actions.h"
#include "analyzer/ui/analyzer_icon.h"
#include "analyzer/ui/analyzer_options_dialog.h"
#include "analyzer/ui/analyzer_window_layout.h"
#include "analyzer/ui/entry_details_pane.h"
#include "analyzer/ui/entry_fill_controller.h"
#include "analyzer/ui/entry_list_pane.h"
#include "analyzer/ui/filter_editor_dialog.h"
#include "analyzer/ui/filter_set_name_dialog.h"
#include "analyzer/ui/log_follower.h"
#include "analyzer/ui/open_range_dialog.h"
#include "analyzer/ui/port_list_dialog.h"
#include "analyzer/ui/source_lookup_controller.h"
#include "analyzer/ui/statistics_window.h"
#include "analyzer/ui/viewer_launch.h"
#include "common/profile_store.h"
#include "common/text_format.h"
#include "common_ui/about_dialog.h"
#include "common_ui/dialog_layout.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {
namespace {

using namespace analyzer;

using common_ui::FromFileText;

QString String(int id) {
    return FromFileText(AnalyzerString(id));
}

}  // namespace

AnalyzerWindow::AnalyzerWindow(AnalyzerPaths paths, common_ui::DesktopPrompts& prompts,
                               std::shared_ptr<HostResolver> resolver, QWidget* parent,
                               std::size_t listTextLimit)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      paths_(std::move(paths)),
      prompts_(prompts),
      settings_(paths_.settingsFilePath),
      fillSettings_(paths_.settingsFilePath),
      store_(listTextLimit),
      actions_(new AnalyzerActions(this)),
      resolver_(resolver),
      lookup_(std::make_unique<SourceLookupController>(std::move(resolver))) {
    setFont(common_ui::DialogFont(font(), layout::kFontFamily));
    setWindowTitle(FromFileText(texts::kProgramTitle));
    setWindowIcon(AnalyzerIcon());

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->setSizeConstraint(QLayout::SetFixedSize);
    menuBar_ = new QMenuBar(this);
    frame->setMenuBar(menuBar_);
    client_ = new QWidget(this);
    frame->addWidget(client_);
    actions_->fillMenuBar(*menuBar_);
    addAction(actions_->contextMenu());

    const common_ui::DialogUnits units(font());
    client_->setFixedSize(units.ToPixels(layout::kClientWidth, layout::kClientHeight));
    listPane_ = new EntryListPane(store_, *client_, units);
    detailsPane_ = new EntryDetailsPane(*client_, units);
    listPane_->view()->setFocus();
    fill_ = new EntryFillController(store_, *listPane_, this);
    follower_ = new LogFollower(this);
    connect(follower_, &LogFollower::fileChanged, this, &AnalyzerWindow::onLogChanged);
    connect(follower_, &LogFollower::directoryChanged, this, &AnalyzerWindow::onDirectoryChanged);

    connect(listPane_, &EntryListPane::currentRowChanged, this, &AnalyzerWindow::onEntrySelected);
    connect(fill_, &EntryFillController::finished, this, &AnalyzerWindow::onFillFinished);
    connect(fill_, &EntryFillController::fileListed, this, &AnalyzerWindow::onFileListed);
    connect(fill_, &EntryFillController::listFinished, this, &AnalyzerWindow::onListFinished);
    connect(lookup_.get(), &SourceLookupController::answered, detailsPane_,
            &EntryDetailsPane::showSourceName);
    connectActions();
    updateActions();
}

AnalyzerWindow::~AnalyzerWindow() {
    // Worker threads read the fill's filters, which go with this window's members.
    fill_->stop();
}

void AnalyzerWindow::connectActions() {
    const AnalyzerActions& a = *actions_;
    connect(a.open(), &QAction::triggered, this, &AnalyzerWindow::openLog);
    connect(a.openRange(), &QAction::triggered, this, &AnalyzerWindow::openRange);
    connect(a.viewCurrentLog(), &QAction::triggered, this, &AnalyzerWindow::viewCurrentLog);
    connect(a.exit(), &QAction::triggered, this, &AnalyzerWindow::reject);
    connect(a.copyEntry(), &QAction::triggered, this, &AnalyzerWindow::copyEntry);
    connect(a.addSourceIp(), &QAction::triggered, this, &AnalyzerWindow::addSourceIpFilter);
    connect(a.addTargetPort(), &QAction::triggered, this, &AnalyzerWindow::addTargetPortFilter);
    connect(a.editFilters(), &QAction::triggered, this, &AnalyzerWindow::editFilters);
    connect(a.lookupSource(), &QAction::triggered, this, &AnalyzerWindow::lookupSourceHost);
    connect(a.statistics(), &QAction::triggered, this, &AnalyzerWindow::showStatistics);
    connect(a.exportList(), &QAction::triggered, this, &AnalyzerWindow::exportList);
    connect(a.saveFilterSet(), &QAction::triggered, this, &AnalyzerWindow::saveFilterSet);
    connect(a.filterSetsMenu(), &QMenu::aboutToShow, this, &AnalyzerWindow::fillFilterSetMenus);
    connect(a.deleteFilterSetMenu(), &QMenu::aboutToShow, this,
            &AnalyzerWindow::fillFilterSetMenus);
    connect(a.hideSource(), &QAction::triggered, this,
            [this] { hideSource(FromFileText(selected_.sourceIp)); });
    connect(a.hidePort(), &QAction::triggered, this,
            [this] { hidePort(FromFileText(selected_.destinationPort)); });
    connect(a.showOnlySource(), &QAction::triggered, this,
            [this] { showOnlySource(FromFileText(selected_.sourceIp)); });
    connect(a.showOnlyPort(), &QAction::triggered, this,
            [this] { showOnlyPort(FromFileText(selected_.destinationPort)); });
    connect(a.showAll(), &QAction::triggered, this, &AnalyzerWindow::showAll);
    connect(a.portDefinitions(), &QAction::triggered, this, &AnalyzerWindow::editPortDefinitions);
    connect(a.options(), &QAction::triggered, this, &AnalyzerWindow::editOptions);
    connect(a.help(), &QAction::triggered, this, &AnalyzerWindow::showHelp);
    connect(a.about(), &QAction::triggered, this, &AnalyzerWindow::showAbout);
    connect(a.contextMenu(), &QAction::triggered, this, [this] { showContextMenu(std::nullopt); });
}

void AnalyzerWindow::updateActions() {
    actions_->updateActions(
        {logOpened_, entriesLoaded_, listPane_->rowCount() == 0,
         contextMenuShown_ ? CommandMenu::kContextMenu : CommandMenu::kMenuBar});
}

void AnalyzerWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only the first show: after that the window stays where the user put it.
    if (centred_) {
        return;
    }
    centred_ = true;
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void AnalyzerWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        showContextMenu(std::nullopt);
    } else {
        showContextMenu(event->globalPos());
    }
}

void AnalyzerWindow::showContextMenu(std::optional<QPoint> screenPoint) {
    if (contextMenu_) {
        contextMenu_->close();
    }
    auto* menu = new QMenu(this);
    menu->setObjectName("contextMenu");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    actions_->fillContextMenu(*menu);
    // The menu's choice is taken after it hides, so the menu bar gets its states back
    // only once that has run.
    const int serial = ++contextMenuSerial_;
    connect(menu, &QMenu::aboutToHide, this, [this, serial] {
        QTimer::singleShot(0, this, [this, serial] {
            if (contextMenuSerial_ == serial) {
                contextMenuShown_ = false;
                updateActions();
            }
        });
    });
    contextMenu_ = menu;
    contextMenuShown_ = true;
    updateActions();
    menu->popup(screenPoint.value_or(client_->mapToGlobal(QPoint(5, 5))));
}

void AnalyzerWindow::openLog() {
    // Old days are often kept compressed; they get a choice of their own.
    const common_ui::OpenFileRequest request{
        String(ids::kOpenLogTitle), FromFileText(LogPath(settings_)),
        FromFileText(ToQtFileFilters(texts::kLogFileFilter)) +
            QStringLiteral(";;Compressed Router Logs (Velmora*.log.gz)")};
    if (const std::optional<QStringList> chosen = prompts_.ChooseFilesToOpen(request)) {
        openLogFiles(*chosen);
    }
}

void AnalyzerWindow::openRange() {
    const QDate today = QDate::currentDate();
    OpenRangeDialog dialog(today.addDays(-6), today, this);
    if (prompts_.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    // Without a log folder set, the file chooser starts in the working directory too.
    std::string folder = LogPath(settings_);
    if (folder.empty()) {
        folder = ".";
    }
    const std::string from = dialog.from().toString(Qt::ISODate).toStdString();
    const std::string to = dialog.to().toString(Qt::ISODate).toStdString();
    std::vector<LogFileProblem> problems;
    const std::vector<std::string> files = LogsInRange(folder, from, to, problems);
    if (files.empty()) {
        std::string text = "No logs from " + from + " to " + to + " in " + folder;
        for (const LogFileProblem& problem : problems) {
            text += "\n" + problem.path + ": " + problem.reason;
        }
        prompts_.ShowMessage(common::MessageIcon::kExclamation, text);
        return;
    }
    QStringList paths;
    for (const std::string& file : files) {
        paths << QFile::decodeName(file.c_str());
    }
    openLogFiles(paths);
}

void AnalyzerWindow::openLogFile(const QString& path) {
    openLogFiles({path});
}

void AnalyzerWindow::openLogFiles(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    std::vector<std::string> arguments;
    for (const QString& path : paths) {
        arguments.push_back(QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString());
    }
    LogFileList list = ResolveLogArguments(arguments);
    if (list.files.empty()) {
        // Nothing to open: the list keeps what it shows.
        problems_ = std::move(list.problems);
        reportedProblems_.clear();
        reportNewProblems();
        return;
    }
    fill_->stop();
    follower_->stop();
    log_.Close();
    logFiles_ = std::move(list.files);
    listDirectory_ = std::move(list.directory);
    problems_ = std::move(list.problems);
    reportedProblems_.clear();
    followNote_.clear();
    listPane_->showNote({});
    fileEnds_.clear();
    fillFile_ = 0;
    currentLogPath_ = QFile::decodeName(logFiles_.front().c_str());
    // Several logs are opened by the fill's own threads; one is opened here.
    logOpened_ = logFiles_.size() > 1 || (openFillFile() && fillFile_ == 0);
    updateActions();
    if (!logOpened_ && logFiles_.size() == 1) {
        prompts_.ShowMessage(
            common::MessageIcon::kStop,
            common::FillPlaceholders(AnalyzerString(ids::kUnableToOpenLog), {logFiles_.front()}));
        return;
    }
    logOpened_ = logFiles_.size() > 1 || fillFile_ < logFiles_.size();
    updateCaption();
    refill(false);
}

void AnalyzerWindow::updateCaption() {
    QString caption = String(ids::kCaptionWithLog).replace("%s", currentLogPath_);
    if (logFiles_.size() > 1) {
        caption += QStringLiteral(" (+%1 more)").arg(logFiles_.size() - 1);
    }
    setWindowTitle(caption);
}

// Opens the list's log at fillFile_, or the first after it that opens; false past the end.
bool AnalyzerWindow::openFillFile() {
    log_.Close();
    for (; fillFile_ < logFiles_.size(); ++fillFile_) {
        const std::string& path = logFiles_[fillFile_];
        if (OpenAnyLog(log_, path)) {
            // A last log written to lately may still grow: a line not yet ended waits
            // for its end rather than being listed in halves.
            struct stat st {};
            const bool recent = log_.fd() >= 0 && ::fstat(log_.fd(), &st) == 0 &&
                                st.st_mtime + 86400 > std::time(nullptr);
            log_.SetHoldPartialLine(fillFile_ + 1 == logFiles_.size() && recent);
            return true;
        }
        problems_.push_back({path, std::strerror(errno), true});
        fileEnds_.resize(fillFile_);
        fileEnds_.push_back(store_.size());
    }
    return false;
}

void AnalyzerWindow::reportNewProblems() {
    std::string text;
    for (const LogFileProblem& problem : problems_) {
        if (!reportedProblems_.insert(problem.path).second) {
            continue;
        }
        if (!text.empty()) {
            text += "\n";
        }
        text += problem.notOpened ? common::FillPlaceholders(AnalyzerString(ids::kUnableToOpenLog),
                                                             {problem.path}) +
                                        ": " + problem.reason
                                  : problem.path + ": " + problem.reason;
    }
    if (!text.empty()) {
        prompts_.ShowMessage(common::MessageIcon::kExclamation, text);
    }
}

bool AnalyzerWindow::isFollowing() const {
    return follower_->isFollowing();
}

QString AnalyzerWindow::logPathOfSelection() const {
    const int row = listPane_->currentRow();
    if (row < 0 || logFiles_.empty()) {
        return currentLogPath_;
    }
    const auto end =
        std::upper_bound(fileEnds_.begin(), fileEnds_.end(), static_cast<std::size_t>(row));
    const std::size_t file = std::min<std::size_t>(end - fileEnds_.begin(), logFiles_.size() - 1);
    return QFile::decodeName(logFiles_[file].c_str());
}

bool AnalyzerWindow::isLoading() const {
    return fill_->isRunning();
}

void AnalyzerWindow::loadEntries() {
    refill(logFiles_.size() > 1);
}

// From the first log again; `reopen` opens it anew rather than rewinding the open one.
void AnalyzerWindow::refill(bool reopen) {
    // Until this fill ends the context menu has no entries to act on.
    entriesLoaded_ = false;
    follower_->stop();
    fileEnds_.clear();
    if (logFiles_.size() > 1) {
        // Every log on worker threads at once, joined in the list's order.
        fill_->stop();
        log_.Close();
        fillFile_ = 0;
        listedFiles_ = 0;
        fill_->startList(logFiles_, fillSettings_.CurrentFilters());
        return;
    }
    if (reopen || fillFile_ != 0) {
        fill_->stop();
        fillFile_ = 0;
        openFillFile();
    }
    if (!fill_->start(log_, fillSettings_)) {
        updateActions();
        if (logFiles_.size() > 1) {
            reportNewProblems();
        }
    }
}

void AnalyzerWindow::onFileListed(std::size_t file, int openError, int readError) {
    if (file >= logFiles_.size()) {
        return;
    }
    if (openError != 0) {
        problems_.push_back({logFiles_[file], std::strerror(openError), true});
    } else {
        ++listedFiles_;
        if (readError != 0) {
            problems_.push_back({logFiles_[file], ReadProblemText(readError)});
        }
    }
    fileEnds_.resize(file);
    fileEnds_.push_back(store_.size());
}

void AnalyzerWindow::onListFinished(const LoadResult& result) {
    fillFile_ = logFiles_.empty() ? 0 : logFiles_.size() - 1;
    fill_->takeLastLog(log_);
    if (!result.refused && listedFiles_ == 0) {
        logOpened_ = false;
    }
    if (!listEnded(result)) {
        return;
    }
    completeList();
}

// The statistics count again; false when the list could take no more.
bool AnalyzerWindow::listEnded(const LoadResult& result) {
    if (statistics_ != nullptr) {
        statistics_->recount();
    }
    if (result.refused) {
        entriesLoaded_ = false;
        updateActions();
        prompts_.ShowMessage(common::MessageIcon::kExclamation,
                             std::string(AnalyzerString(ids::kEndOfLogReached)));
        return false;
    }
    return true;
}

void AnalyzerWindow::onFillFinished(const LoadResult& result) {
    if (!listEnded(result)) {
        return;
    }
    if (fillFile_ < logFiles_.size()) {
        if (log_.readError() != 0) {
            problems_.push_back({logFiles_[fillFile_], ReadProblemText(log_.readError())});
        }
        fileEnds_.resize(fillFile_);
        fileEnds_.push_back(store_.size());
    }
    // The next log of the list goes on from here, without emptying the list.
    if (fillFile_ + 1 < logFiles_.size()) {
        ++fillFile_;
        if (openFillFile() && fill_->resume(log_, fillSettings_)) {
            return;
        }
    }
    completeList();
}

void AnalyzerWindow::completeList() {
    entriesLoaded_ = true;
    listPane_->showCount(store_.size());
    updateActions();
    if (listPane_->rowCount() == 0) {
        clearDetails();
    } else if (listPane_->currentRow() < 0) {
        listPane_->selectFirstRow();
    }
    finishList();
}

void AnalyzerWindow::finishList() {
    if (followAtEnd_) {
        listPane_->view()->scrollToBottom();
        followAtEnd_ = false;
    }
    reportNewProblems();
    // Only a plain last log can grow; a compressed one is finished.
    // Once the list has gone on into a new day's log, that one is followed instead.
    if (fillFile_ + 1 == logFiles_.size() && log_.fd() >= 0) {
        const QString last = QFile::decodeName(logFiles_[fillFile_].c_str());
        if (follower_->path() != last) {
            follower_->follow(last, log_.fd(), QFile::decodeName(listDirectory_.c_str()));
        }
    }
    if (changePending_) {
        changePending_ = false;
        onLogChanged();
    }
}

void AnalyzerWindow::noteFollow(const QString& note) {
    followNote_ = note;
    listPane_->showNote(note);
}

void AnalyzerWindow::onLogChanged() {
    if (fill_->isRunning()) {
        changePending_ = true;
        return;
    }
    const QScrollBar* bar = listPane_->view()->verticalScrollBar();
    switch (follower_->check(log_.bytesRead())) {
        case LogFollower::Change::kNone:
            return;
        case LogFollower::Change::kGrew:
            // A view at the end stays at the end; anywhere else it stays where it is.
            followAtEnd_ = bar->value() == bar->maximum();
            fill_->resume(log_, fillSettings_);
            return;
        case LogFollower::Change::kTruncated:
            noteFollow(tr("The log was truncated; it was read again from the start."));
            refill(true);
            return;
        case LogFollower::Change::kReplaced:
            noteFollow(tr("The log was replaced; it was read again from the start."));
            refill(true);
            return;
        case LogFollower::Change::kGone:
            noteFollow(tr("The log was deleted; the list keeps what was read."));
            follower_->stop();
            return;
    }
}

void AnalyzerWindow::onDirectoryChanged() {
    onLogChanged();
    if (listDirectory_.empty() || logFiles_.empty()) {
        return;
    }
    // A new day's log in the directory the list was opened from continues the list.
    std::vector<LogFileProblem> ignored;
    std::vector<std::string> found = LogsInDirectory(listDirectory_, ignored);
    OrderLogFiles(found);
    const std::string lastDate = LogDateInName(logFiles_.back());
    bool added = false;
    for (const std::string& path : found) {
        const std::string date = LogDateInName(path);
        if (!date.empty() && date > lastDate &&
            std::find(logFiles_.begin(), logFiles_.end(), path) == logFiles_.end()) {
            logFiles_.push_back(path);
            added = true;
        }
    }
    if (!added) {
        return;
    }
    updateCaption();
    if (!fill_->isRunning()) {
        follower_->stop();
        const QScrollBar* bar = listPane_->view()->verticalScrollBar();
        followAtEnd_ = bar->value() == bar->maximum();
        // What is left of the old day first, then the new one.
        log_.SetHoldPartialLine(false);
        fill_->resume(log_, fillSettings_);
    }
}

void AnalyzerWindow::onEntrySelected() {
    lookup_->selectionChanged();
    const int row = listPane_->currentRow();
    if (row < 0) {
        return;
    }
    const EntryDetails details =
        DecodeEntry(store_.Entry(static_cast<std::size_t>(row)), PortTable(paths_.portsFilePath));
    selected_ = details.entry;
    detailsPane_->showDetails(details);
    if (IsLookupOnSelection(settings_)) {
        lookupSourceHost();
    } else {
        detailsPane_->showBlankSourceName();
    }
}

void AnalyzerWindow::clearDetails() {
    selected_ = {};
    listPane_->showCount(0);
    detailsPane_->clear();
}

void AnalyzerWindow::lookupSourceHost() {
    // Until a later answer comes the field shows no other entry's name.
    if (!lookup_->lookup(LookupAddressOf(selected_.sourceIp))) {
        detailsPane_->showBlankSourceName();
    }
}

void AnalyzerWindow::reportFailure(const char* callName, int code) {
    prompts_.ShowMessage(common::MessageIcon::kStop,
                         common::FormatText(AnalyzerString(ids::kCallFailed), {callName, code}));
}

void AnalyzerWindow::copyEntry() {
    const QString text = FromFileText(CopyText(selected_, settings_));
    QClipboard* clipboard = QGuiApplication::clipboard();
    errno = 0;
    clipboard->setText(text);
    // The clipboard reports no failure of its own; one that did not take the text did.
    if (clipboard->text() != text) {
        reportFailure("SetClipboardData()", errno);
    }
}

void AnalyzerWindow::addFilter(std::string_view section, const QString& key) {
    common::ProfileStore(paths_.settingsFilePath)
        .WriteString(section, common_ui::ToFileText(key), "1");
    loadEntries();
}

void AnalyzerWindow::saveFilterSet() {
    FilterSetNameDialog dialog(prompts_, this);
    if (prompts_.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    if (!analyzer::FilterSets(paths_.settingsFilePath).Save(common_ui::ToFileText(dialog.text()))) {
        prompts_.ShowMessage(common::MessageIcon::kStop, "Cannot write " + paths_.settingsFilePath);
    }
}

void AnalyzerWindow::applyFilterSet(const QString& name) {
    if (analyzer::FilterSets(paths_.settingsFilePath).Apply(common_ui::ToFileText(name))) {
        loadEntries();
    }
}

void AnalyzerWindow::deleteFilterSet(const QString& name) {
    analyzer::FilterSets(paths_.settingsFilePath).Remove(common_ui::ToFileText(name));
}

void AnalyzerWindow::fillFilterSetMenus() {
    QMenu* apply = actions_->filterSetsMenu();
    QMenu* remove = actions_->deleteFilterSetMenu();
    apply->clear();
    remove->clear();
    for (const std::string& name : analyzer::FilterSets(paths_.settingsFilePath).Names()) {
        const QString shown = FromFileText(name);
        connect(apply->addAction(shown), &QAction::triggered, this,
                [this, shown] { applyFilterSet(shown); });
        connect(remove->addAction(shown), &QAction::triggered, this,
                [this, shown] { deleteFilterSet(shown); });
    }
    for (QMenu* menu : {apply, remove}) {
        if (menu->isEmpty()) {
            menu->addAction(tr("(none saved)"))->setEnabled(false);
        }
    }
}

void AnalyzerWindow::exportList() {
    const std::optional<common_ui::SaveFileChoice> chosen = prompts_.ChooseFileToSave(
        {tr("Export"), QString(), QString::fromStdString(analyzer::ExportFileTypes())});
    if (!chosen) {
        return;
    }
    const std::optional<analyzer::ExportChoice> choice =
        analyzer::ExportChoiceForType(chosen->fileType.toStdString());
    const std::string path = common_ui::ToFileText(chosen->path);
    const std::string text = analyzer::ExportText(store_, paths_.portsFilePath,
                                                  choice.value_or(analyzer::ExportChoice{}));
    if (const std::optional<std::string> reason = analyzer::WriteExport(path, text)) {
        prompts_.ShowMessage(common::MessageIcon::kStop,
                             "Cannot export to " + path + ": " + *reason);
    }
}

void AnalyzerWindow::showStatistics() {
    if (statistics_ == nullptr) {
        statistics_ =
            new StatisticsWindow(store_, paths_.portsFilePath, this, resolver_, countries_);
        connect(statistics_, &StatisticsWindow::hideSourceRequested, this,
                &AnalyzerWindow::hideSource);
        connect(statistics_, &StatisticsWindow::hidePortRequested, this, &AnalyzerWindow::hidePort);
        connect(statistics_, &StatisticsWindow::showOnlySourceRequested, this,
                &AnalyzerWindow::showOnlySource);
        connect(statistics_, &StatisticsWindow::showOnlyPortRequested, this,
                &AnalyzerWindow::showOnlyPort);
        connect(statistics_, &StatisticsWindow::showOnlyTimeRangeRequested, this,
                &AnalyzerWindow::showOnlyTimeRange);
        connect(statistics_, &StatisticsWindow::showAllRequested, this, &AnalyzerWindow::showAll);
        if (!isLoading()) {
            statistics_->recount();
        }
    }
    statistics_->show();
    statistics_->raise();
    statistics_->activateWindow();
}

void AnalyzerWindow::hideSource(const QString& address) {
    if (!address.isEmpty()) {
        addFilter(kSourceIpFilters, address);
    }
}

void AnalyzerWindow::hidePort(const QString& port) {
    if (!port.isEmpty()) {
        addFilter(kTargetPortFilters, port);
    }
}

void AnalyzerWindow::replaceSection(std::string_view section, const QString& key) {
    std::vector<common::ProfileStore::KeyValue> entries;
    if (!key.isEmpty()) {
        entries.emplace_back(common_ui::ToFileText(key), "1");
    }
    common::ProfileStore(paths_.settingsFilePath).ReplaceSection(section, entries);
}

void AnalyzerWindow::showOnlySource(const QString& address) {
    if (!address.isEmpty()) {
        replaceSection(kShowOnlySources, address);
        loadEntries();
    }
}

void AnalyzerWindow::showOnlyPort(const QString& port) {
    if (!port.isEmpty()) {
        replaceSection(kShowOnlyPorts, port);
        loadEntries();
    }
}

void AnalyzerWindow::showOnlyTimeRange(const QString& key) {
    if (!key.isEmpty()) {
        replaceSection(analyzer::kShowOnlyTimes, key);
        loadEntries();
    }
}

void AnalyzerWindow::showAll() {
    replaceSection(kShowOnlySources, QString());
    replaceSection(kShowOnlyPorts, QString());
    replaceSection(analyzer::kShowOnlyTimes, QString());
    loadEntries();
}

void AnalyzerWindow::addSourceIpFilter() {
    AddSourceIpDialog dialog(FromFileText(selected_.sourceIp), prompts_, this);
    if (prompts_.RunDialog(dialog) == QDialog::Accepted) {
        addFilter(kSourceIpFilters, dialog.text());
    }
}

void AnalyzerWindow::addTargetPortFilter() {
    AddTargetPortDialog dialog(FromFileText(selected_.destinationPort), prompts_, this);
    if (prompts_.RunDialog(dialog) == QDialog::Accepted) {
        addFilter(kTargetPortFilters, dialog.text());
    }
}

void AnalyzerWindow::viewCurrentLog() {
    const std::optional<ViewerLaunch> launch =
        ViewerLaunchFor(FromFileText(ViewerCommand(settings_)), logPathOfSelection());
    if (!launch || !QProcess::startDetached(launch->program, launch->arguments)) {
        prompts_.ShowMessage(common::MessageIcon::kStop, std::string(texts::kCreateProcessError));
    }
}

void AnalyzerWindow::editFilters() {
    FilterEditorDialog editor(paths_.settingsFilePath, prompts_, this);
    if (prompts_.RunDialog(editor) == QDialog::Accepted) {
        loadEntries();
    }
}

void AnalyzerWindow::editPortDefinitions() {
    PortListDialog editor(paths_.portsFilePath, prompts_, this);
    prompts_.RunDialog(editor);
}

void AnalyzerWindow::editOptions() {
    AnalyzerOptionsDialog sheet(paths_.settingsFilePath, prompts_, this);
    prompts_.RunDialog(sheet);
}

void AnalyzerWindow::showHelp() {
    prompts_.ShowMessage(common::MessageIcon::kInformation, std::string(texts::kUnderConstruction));
}

void AnalyzerWindow::showAbout() {
    common_ui::AboutDialog about(layout::kAboutBox, FromFileText(texts::kAboutTitle),
                                 layout::kFontFamily, AnalyzerIcon(),
                                 FromFileText(texts::kAboutVersion), "OK", this);
    prompts_.RunDialog(about);
}

void AnalyzerWindow::reject() {
    fill_->stop();
    follower_->stop();
    log_.Close();
    QDialog::reject();
}

}  // namespace analyzer_ui
