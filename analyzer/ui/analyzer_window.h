#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analyzer/core/analyzer_paths.h"
#include "analyzer/core/entry_loader.h"
#include "analyzer/core/entry_store.h"
#include "analyzer/core/host_lookup.h"
#include "analyzer/core/log_entry.h"
#include "analyzer/core/log_list.h"
#include "analyzer/core/log_reader.h"
#include "analyzer/core/settings_file.h"
#include "analyzer/ui/statistics_window.h"
#include "common_ui/desktop_prompts.h"

class QMenu;
class QMenuBar;
class QWidget;

namespace analyzer_ui {

class AnalyzerActions;
class EntryDetailsPane;
class EntryFillController;
class EntryListPane;
class LogFollower;
class SourceLookupController;

// The analyzer's main window: one open log, its inbound entries, the selected entry
// decoded, and the commands on it.
class AnalyzerWindow : public QDialog {
    Q_OBJECT

  public:
    AnalyzerWindow(analyzer::AnalyzerPaths paths, common_ui::DesktopPrompts& prompts,
                   std::shared_ptr<analyzer::HostResolver> resolver, QWidget* parent = nullptr,
                   std::size_t listTextLimit = analyzer::EntryStore::kDefaultTextLimit);
    ~AnalyzerWindow() override;

    AnalyzerActions& commands() const { return *actions_; }

    // File, Open: asks for a log, then opens it.
    void openLog();
    // File, Open Range: asks for two days, then opens the logs of those days in the log
    // folder as one list.
    void openRange();
    // Opens the log at `path` and fills the list from it; on failure says so and keeps
    // what the list shows.
    void openLogFile(const QString& path);
    // Opens several logs, files or directories, as one list in the order of their days.
    // The last log is followed while it grows; a list opened from a directory goes on
    // into the next day's log when it appears there.
    void openLogFiles(const QStringList& paths);
    // The log the selected entry was read from; the first log when none is selected.
    QString logPathOfSelection() const;
    // What following the last log noticed last (truncated, replaced, deleted), or empty.
    QString followNote() const { return followNote_; }
    bool isFollowing() const;
    // Refills the list from the start of the open log. A large log fills in slices, so
    // the window keeps drawing; the first entry is selected as soon as it is listed.
    void loadEntries();
    bool isLoading() const;

    // The entry commands.
    void copyEntry();
    void lookupSourceHost();
    void addSourceIpFilter();
    void addTargetPortFilter();
    void viewCurrentLog();

    // Filters, Save Filter Set / Filter Sets / Delete Filter Set.
    void saveFilterSet();
    void applyFilterSet(const QString& name);
    void deleteFilterSet(const QString& name);
    // File, Export: the listed entries or their statistics, as the chosen file type
    // says, written in one step; a failure names the path and the reason.
    void exportList();
    // Tools, Statistics: opens the statistics window over the list, or brings it forward.
    void showStatistics();
    StatisticsWindow* statisticsWindow() const { return statistics_; }
    // Where the statistics window finds the country of a source; none leaves the column
    // empty for public addresses. Takes effect for a statistics window opened after it.
    void setCountryDatabase(std::shared_ptr<const analyzer::CountryDatabase> database) {
        countries_ = std::move(database);
    }
    // Click to filter: the key as an active filter, and the list filled again at once.
    void hideSource(const QString& address);
    void hidePort(const QString& port);
    // Lists only the entries of that source (or port) until Show all.
    void showOnlySource(const QString& address);
    void showOnlyPort(const QString& port);
    // `key` is a time range as the settings file holds it ("2002-09-27T07:00:00/...").
    void showOnlyTimeRange(const QString& key);
    void showAll();

    // The commands that open the editors and boxes.
    void editFilters();
    void editPortDefinitions();
    void editOptions();
    void showHelp();
    void showAbout();

    // Shows the context menu at a screen point, or where the keyboard puts it.
    void showContextMenu(std::optional<QPoint> screenPoint);

    void reject() override;

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void connectActions();
    void updateActions();
    void onFillFinished(const analyzer::LoadResult& result);
    void onFileListed(std::size_t file, int openError, int readError);
    void onListFinished(const analyzer::LoadResult& result);
    bool listEnded(const analyzer::LoadResult& result);
    void completeList();
    void onEntrySelected();
    void clearDetails();
    void addFilter(std::string_view section, const QString& key);
    void replaceSection(std::string_view section, const QString& key);
    void fillFilterSetMenus();
    void reportFailure(const char* callName, int code);
    void refill(bool reopen);
    bool openFillFile();
    void finishList();
    void reportNewProblems();
    void onLogChanged();
    void onDirectoryChanged();
    void noteFollow(const QString& note);
    void updateCaption();

    analyzer::AnalyzerPaths paths_;
    common_ui::DesktopPrompts& prompts_;
    // For reads at the moment of use; fills read through their own copy, so a fill
    // sees one set of filters however the window reads meanwhile.
    analyzer::SettingsFile settings_;
    analyzer::SettingsFile fillSettings_;

    analyzer::LogReader log_;
    QString currentLogPath_;
    // The logs of the list in order, and how many entries the list held at the end of each.
    std::vector<std::string> logFiles_;
    std::vector<std::size_t> fileEnds_;
    std::size_t fillFile_ = 0;
    // Logs of the list that opened, counted as a fill of several joins them.
    std::size_t listedFiles_ = 0;
    std::string listDirectory_;
    std::vector<analyzer::LogFileProblem> problems_;
    std::set<std::string> reportedProblems_;
    LogFollower* follower_ = nullptr;
    QString followNote_;
    bool followAtEnd_ = false;
    bool changePending_ = false;
    bool logOpened_ = false;
    bool entriesLoaded_ = false;
    analyzer::EntryStore store_;
    // The entry the last selection parsed; the entry commands act on it.
    analyzer::LogEntry selected_;

    AnalyzerActions* actions_;
    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    EntryListPane* listPane_ = nullptr;
    EntryDetailsPane* detailsPane_ = nullptr;
    EntryFillController* fill_ = nullptr;
    QPointer<QMenu> contextMenu_;
    QPointer<StatisticsWindow> statistics_;
    // The statistics window names sources through the same service as the Name field.
    std::shared_ptr<analyzer::HostResolver> resolver_;
    std::shared_ptr<const analyzer::CountryDatabase> countries_;
    // While the context menu shows, the shared entry commands take its states.
    bool contextMenuShown_ = false;
    int contextMenuSerial_ = 0;
    bool centred_ = false;

    // Last, so it goes first: no answer reaches a window being taken apart.
    std::unique_ptr<SourceLookupController> lookup_;
};

}  // namespace analyzer_ui
