#include "analyzer/ui/analyzer_window.h"

#include "analyzer/core/entry_export.h"
#include "analyzer/core/filter_keys.h"
#include "analyzer/core/filter_sets.h"

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
#include <QTimer>
#include <QVBoxLayout>
#include <cerrno>

#include "analyzer/core/analyzer_options.h"
#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/entry_copy.h"
#include "analyzer/core/entry_details.h"
#include "analyzer/core/filter_source.h"
#include "analyzer/core/option_pages.h"
#include "analyzer/core/port_table.h"
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

    connect(listPane_, &EntryListPane::currentRowChanged, this, &AnalyzerWindow::onEntrySelected);
    connect(fill_, &EntryFillController::finished, this, &AnalyzerWindow::onFillFinished);
    connect(lookup_.get(), &SourceLookupController::answered, detailsPane_,
            &EntryDetailsPane::showSourceName);
    connectActions();
    updateActions();
}

AnalyzerWindow::~AnalyzerWindow() = default;

void AnalyzerWindow::connectActions() {
    const AnalyzerActions& a = *actions_;
    connect(a.open(), &QAction::triggered, this, &AnalyzerWindow::openLog);
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
    const common_ui::OpenFileRequest request{String(ids::kOpenLogTitle),
                                             FromFileText(LogPath(settings_)),
                                             FromFileText(ToQtFileFilters(texts::kLogFileFilter))};
    if (const std::optional<QString> chosen = prompts_.ChooseFileToOpen(request)) {
        openLogFile(*chosen);
    }
}

void AnalyzerWindow::openLogFile(const QString& path) {
    fill_->stop();
    log_.Close();
    currentLogPath_ = QFileInfo(path).absoluteFilePath();
    logOpened_ = log_.Open(QFile::encodeName(currentLogPath_).toStdString());
    updateActions();
    if (!logOpened_) {
        const std::string pathText = QFile::encodeName(currentLogPath_).toStdString();
        prompts_.ShowMessage(
            common::MessageIcon::kStop,
            common::FillPlaceholders(AnalyzerString(ids::kUnableToOpenLog), {pathText}));
        return;
    }
    setWindowTitle(String(ids::kCaptionWithLog).replace("%s", currentLogPath_));
    loadEntries();
}

bool AnalyzerWindow::isLoading() const {
    return fill_->isRunning();
}

void AnalyzerWindow::loadEntries() {
    // Until this fill ends the context menu has no entries to act on.
    entriesLoaded_ = false;
    if (!fill_->start(log_, fillSettings_)) {
        updateActions();
    }
}

void AnalyzerWindow::onFillFinished(const LoadResult& result) {
    if (statistics_ != nullptr) {
        statistics_->recount();
    }
    if (result.refused) {
        entriesLoaded_ = false;
        updateActions();
        prompts_.ShowMessage(common::MessageIcon::kExclamation,
                             std::string(AnalyzerString(ids::kEndOfLogReached)));
        return;
    }
    entriesLoaded_ = true;
    listPane_->showCount(result.listed);
    updateActions();
    if (listPane_->rowCount() == 0) {
        clearDetails();
    } else if (listPane_->currentRow() < 0) {
        listPane_->selectFirstRow();
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
        statistics_ = new StatisticsWindow(store_, paths_.portsFilePath, this);
        connect(statistics_, &StatisticsWindow::hideSourceRequested, this,
                &AnalyzerWindow::hideSource);
        connect(statistics_, &StatisticsWindow::hidePortRequested, this, &AnalyzerWindow::hidePort);
        connect(statistics_, &StatisticsWindow::showOnlySourceRequested, this,
                &AnalyzerWindow::showOnlySource);
        connect(statistics_, &StatisticsWindow::showOnlyPortRequested, this,
                &AnalyzerWindow::showOnlyPort);
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

void AnalyzerWindow::showAll() {
    replaceSection(kShowOnlySources, QString());
    replaceSection(kShowOnlyPorts, QString());
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
        ViewerLaunchFor(FromFileText(ViewerCommand(settings_)), currentLogPath_);
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
    log_.Close();
    QDialog::reject();
}

}  // namespace analyzer_ui
