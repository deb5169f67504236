#pragma once

#include <QObject>

#include "analyzer/core/entry_commands.h"

class QAction;
class QMenu;
class QMenuBar;

namespace analyzer_ui {

// Which menu the entry commands are about to be chosen from: the menu bar follows the
// last open, the context menu the last fill.
enum class CommandMenu { kMenuBar, kContextMenu };

// What the entry commands depend on.
struct CommandState {
    bool logOpened = false;
    bool entriesLoaded = false;
    bool listEmpty = true;
    CommandMenu menu = CommandMenu::kMenuBar;
};

// The main window's commands, one action each, shared by the menu bar and the context
// menu. The window connects them; this object only knows their texts, keys and states.
class AnalyzerActions : public QObject {
    Q_OBJECT

  public:
    explicit AnalyzerActions(QObject* parent = nullptr);
    ~AnalyzerActions() override;

    // File
    QAction* open() const { return open_; }
    QAction* openRange() const { return openRange_; }
    QAction* viewCurrentLog() const { return viewCurrentLog_; }
    QAction* exportList() const { return export_; }
    QAction* exit() const { return exit_; }
    // Edit
    QAction* copyEntry() const { return copyEntry_; }
    // Filters
    QAction* addSourceIp() const { return addSourceIp_; }
    QAction* addTargetPort() const { return addTargetPort_; }
    QAction* editFilters() const { return editFilters_; }
    QAction* saveFilterSet() const { return saveFilterSet_; }
    // Filled by the window as they open: one item per saved set.
    QMenu* filterSetsMenu() const { return filterSetsMenu_; }
    QMenu* deleteFilterSetMenu() const { return deleteFilterSetMenu_; }
    // Tools
    QAction* lookupSource() const { return lookupSource_; }
    QAction* statistics() const { return statistics_; }
    QAction* portDefinitions() const { return portDefinitions_; }
    QAction* options() const { return options_; }
    // Context menu: the selected entry's source or port as an active filter at once.
    QAction* hideSource() const { return hideSource_; }
    QAction* hidePort() const { return hidePort_; }
    QAction* showOnlySource() const { return showOnlySource_; }
    QAction* showOnlyPort() const { return showOnlyPort_; }
    // Drops every show-only condition; in the Filters menu and the context menu.
    QAction* showAll() const { return showAll_; }
    // Help
    QAction* help() const { return help_; }
    QAction* about() const { return about_; }
    // The context menu from the keyboard.
    QAction* contextMenu() const { return contextMenu_; }

    // The menu bar's popups and the context menu, in their fixed order.
    void fillMenuBar(QMenuBar& menuBar) const;
    void fillContextMenu(QMenu& menu) const;

    // Switches the entry commands on or off and gives them the texts of the menu they
    // are about to be chosen from.
    void updateActions(const CommandState& state);

  private:
    QAction* open_;
    QAction* openRange_;
    QAction* viewCurrentLog_;
    QAction* export_;
    QAction* exit_;
    QAction* copyEntry_;
    QAction* addSourceIp_;
    QAction* addTargetPort_;
    QAction* editFilters_;
    QAction* saveFilterSet_;
    QMenu* filterSetsMenu_;
    QMenu* deleteFilterSetMenu_;
    QAction* lookupSource_;
    QAction* statistics_;
    QAction* hideSource_;
    QAction* hidePort_;
    QAction* showOnlySource_;
    QAction* showOnlyPort_;
    QAction* showAll_;
    QAction* portDefinitions_;
    QAction* options_;
    QAction* help_;
    QAction* about_;
    QAction* contextMenu_;
};

}  // namespace analyzer_ui
