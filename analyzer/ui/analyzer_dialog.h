#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "analyzer/core/analyzer_paths.h"
#include "analyzer/core/entry_details.h"
#include "analyzer/core/entry_loader.h"
#include "analyzer/core/entry_store.h"
#include "analyzer/core/host_lookup.h"
#include "analyzer/core/log_reader.h"
#include "analyzer/core/settings_file.h"
#include "common_ui/desktop_prompts.h"
#include "common_ui/wait_cursor.h"

class QAction;
class QLineEdit;
class QListView;
class QMenu;
class QMenuBar;
class QTimer;
class QWidget;

namespace analyzer_ui {

class AnalyzerEditors;
class EntryListModel;

// The analyzer's main window: one open log, its inbound entries, the selected entry
// decoded, and the commands on it.
class CAnalyzerDialog : public QDialog {
    Q_OBJECT

  public:
    CAnalyzerDialog(analyzer::AnalyzerPaths paths, common_ui::DesktopPrompts& prompts,
                    AnalyzerEditors& editors, std::shared_ptr<analyzer::HostResolver> resolver,
                    QWidget* parent = nullptr,
                    std::size_t listTextLimit = analyzer::EntryStore::kDefaultTextLimit);
    ~CAnalyzerDialog() override;

    // File, Open: asks for a log, then opens it.
    void OpenLog();
    // Opens the log at `path` and fills the list from it; on failure says so and keeps
    // what the list shows.
    void OpenLogFile(const QString& path);
    // Refills the list from the start of the open log. A large log fills in slices, so
    // the window keeps drawing; the first entry is selected as soon as it is listed.
    void LoadEntries();
    bool isLoading() const;

    // The entry commands.
    void CopyEntry();
    void LookupSourceHost();
    void AddSourceIpFilter();
    void AddTargetPortFilter();
    void ViewCurrentLog();

    // The commands that open the editors and boxes.
    void EditFilters();
    void EditPortDefinitions();
    void EditOptions();
    void ShowHelp();
    void ShowAbout();

    // Shows the context menu at a screen point, or where the keyboard puts it.
    void ShowContextMenu(std::optional<QPoint> screenPoint);

    void reject() override;

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls(QWidget* client);
    void BuildMenuBar(QMenuBar* menuBar);
    QAction* AddCommand(QMenu* menu, const char* text, int id);
    void RunCommand(int id);
    void EnableEntryCommands(QWidget* menu, bool on);
    void ApplyMenuBarSwitches();

    void FillSlice();
    void FinishFill();
    void StopFill();
    void OnEntrySelected();
    void ShowDetails(const analyzer::EntryDetails& details);
    void ClearDetails();
    void OnHostAnswer(std::uint32_t address, const analyzer::HostAnswer& answer);
    void AddFilter(std::string_view section, const std::optional<QString>& key);
    void ReportFailure(const char* callName, int code);

    analyzer::AnalyzerPaths paths_;
    common_ui::DesktopPrompts& prompts_;
    AnalyzerEditors& editors_;
    // For reads at the moment of use; fills read through their own copy, so a fill
    // sees one set of filters however the window reads meanwhile.
    analyzer::SettingsFile settings_;
    analyzer::SettingsFile fillSettings_;

    analyzer::LogReader log_;
    QString currentLogPath_;
    bool logOpened_ = false;
    bool entriesLoaded_ = false;

    analyzer::EntryStore store_;
    EntryListModel* model_ = nullptr;
    analyzer::EntryFill fill_;
    QTimer* fillTimer_ = nullptr;
    QElapsedTimer sincePublished_;
    std::optional<common_ui::WaitCursor> fillCursor_;

    // The entry the last selection parsed; the entry commands act on it.
    analyzer::LogEntry selected_;
    std::uint64_t selectionSerial_ = 0;
    struct PendingLookup {
        std::uint32_t address;
        std::uint64_t selection;
    };
    std::optional<PendingLookup> pendingLookup_;
    std::optional<common_ui::WaitCursor> lookupCursor_;

    QListView* list_ = nullptr;
    QLineEdit* count_ = nullptr;
    QLineEdit* sourceIp_ = nullptr;
    QLineEdit* sourcePort_ = nullptr;
    QLineEdit* sourceName_ = nullptr;
    QLineEdit* sourceDescription_ = nullptr;
    QLineEdit* destinationIp_ = nullptr;
    QLineEdit* destinationPort_ = nullptr;
    QLineEdit* destinationDescription_ = nullptr;
    QWidget* client_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QPointer<QMenu> contextMenu_;

    // Last, so it goes first: no answer reaches a window being taken apart.
    std::unique_ptr<analyzer::HostLookup> lookup_;
};

}  // namespace analyzer_ui
