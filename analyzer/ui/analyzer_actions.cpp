#include "analyzer/ui/analyzer_actions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace analyzer_ui {
namespace {

// The menu bar's Copy has a mnemonic; the context menu's has none.
constexpr char kCopyInMenuBar[] = "C&opy Log Entry";
constexpr char kCopyInContextMenu[] = "Copy Log Entry";

QAction* MakeAction(QObject* owner, const QString& text, const char* objectName) {
    auto* action = new QAction(text, owner);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}

}  // namespace

AnalyzerActions::AnalyzerActions(QObject* parent)
    : QObject(parent),
      open_(MakeAction(this, tr("&Open..."), "openAction")),
      openRange_(MakeAction(this, tr("Open &Range..."), "openRangeAction")),
      viewCurrentLog_(MakeAction(this, tr("&View Current Log..."), "viewCurrentLogAction")),
      export_(MakeAction(this, tr("Ex&port..."), "exportAction")),
      exit_(MakeAction(this, tr("E&xit"), "exitAction")),
      copyEntry_(MakeAction(this, tr(kCopyInMenuBar), "copyEntryAction")),
      addSourceIp_(MakeAction(this, tr("Add Incoming &Source IP..."), "addSourceIpAction")),
      addTargetPort_(
          MakeAction(this, tr("Add Incoming &Destination Port..."), "addTargetPortAction")),
      editFilters_(MakeAction(this, tr("&Edit Filters..."), "editFiltersAction")),
      saveFilterSet_(MakeAction(this, tr("Save Filter Set..."), "saveFilterSetAction")),
      filterSetsMenu_(new QMenu(tr("Filter Sets"))),
      deleteFilterSetMenu_(new QMenu(tr("Delete Filter Set"))),
      lookupSource_(MakeAction(this, tr("Look&up Source IP"), "lookupSourceAction")),
      statistics_(MakeAction(this, tr("S&tatistics..."), "statisticsAction")),
      hideSource_(MakeAction(this, tr("Hide this source"), "hideSourceAction")),
      hidePort_(MakeAction(this, tr("Hide this port"), "hidePortAction")),
      showOnlySource_(MakeAction(this, tr("Show only this source"), "showOnlySourceAction")),
      showOnlyPort_(MakeAction(this, tr("Show only this port"), "showOnlyPortAction")),
      showAll_(MakeAction(this, tr("Show all"), "showAllAction")),
      portDefinitions_(MakeAction(this, tr("&Port Definitions..."), "portDefinitionsAction")),
      // The menu has always spelled it so.
      options_(MakeAction(this, tr("Optons..."), "optionsAction")),
      help_(MakeAction(this, tr("&Help"), "helpAction")),
      about_(MakeAction(this, tr("&About Corvix Log Analyzer..."), "aboutAction")),
      contextMenu_(MakeAction(this, QString(), "contextMenuAction")) {
    contextMenu_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    filterSetsMenu_->setObjectName(QStringLiteral("filterSetsMenu"));
    deleteFilterSetMenu_->setObjectName(QStringLiteral("deleteFilterSetMenu"));
    statistics_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
}

// The two menus are widgets and so cannot be children of this object.
AnalyzerActions::~AnalyzerActions() {
    delete filterSetsMenu_;
    delete deleteFilterSetMenu_;
}

void AnalyzerActions::fillMenuBar(QMenuBar& menuBar) const {
    QMenu* file = menuBar.addMenu(tr("&File"));
    file->addAction(open_);
    file->addAction(openRange_);
    file->addAction(viewCurrentLog_);
    file->addAction(export_);
    file->addSeparator();
    file->addAction(exit_);
    QMenu* edit = menuBar.addMenu(tr("&Edit"));
    edit->addAction(copyEntry_);
    QMenu* filters = menuBar.addMenu(tr("F&ilters"));
    filters->addAction(addSourceIp_);
    filters->addAction(addTargetPort_);
    filters->addSeparator();
    filters->addAction(editFilters_);
    filters->addAction(showAll_);
    filters->addSeparator();
    filters->addAction(saveFilterSet_);
    filters->addMenu(filterSetsMenu_);
    filters->addMenu(deleteFilterSetMenu_);
    QMenu* tools = menuBar.addMenu(tr("&Tools"));
    tools->addAction(lookupSource_);
    tools->addAction(statistics_);
    tools->addSeparator();
    tools->addAction(portDefinitions_);
    tools->addAction(options_);
    QMenu* help = menuBar.addMenu(tr("&Help"));
    help->addAction(help_);
    help->addSeparator();
    help->addAction(about_);
}

void AnalyzerActions::fillContextMenu(QMenu& menu) const {
    menu.addAction(copyEntry_);
    menu.addAction(lookupSource_);
    menu.addSeparator();
    menu.addAction(addSourceIp_);
    menu.addAction(addTargetPort_);
    menu.addAction(hideSource_);
    menu.addAction(hidePort_);
    menu.addAction(showOnlySource_);
    menu.addAction(showOnlyPort_);
    menu.addAction(showAll_);
    menu.addSeparator();
    menu.addAction(viewCurrentLog_);
}

void AnalyzerActions::updateActions(const CommandState& state) {
    const analyzer::EntryCommandSwitches switches =
        analyzer::SwitchesFor(state.logOpened, state.entriesLoaded, state.listEmpty);
    const bool inContextMenu = state.menu == CommandMenu::kContextMenu;
    const analyzer::MenuSwitches on = inContextMenu ? switches.contextMenu : switches.menuBar;
    viewCurrentLog_->setEnabled(on.viewLog);
    for (QAction* action : {addSourceIp_, addTargetPort_, copyEntry_, lookupSource_, hideSource_,
                            hidePort_, showOnlySource_, showOnlyPort_}) {
        action->setEnabled(on.entryCommands);
    }
    copyEntry_->setText(tr(inContextMenu ? kCopyInContextMenu : kCopyInMenuBar));
}

}  // namespace analyzer_ui
