#include "analyzer/ui/analyzer_dialog.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <cerrno>

#include "analyzer/core/analyzer_options.h"
#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/entry_commands.h"
#include "analyzer/core/entry_copy.h"
#include "analyzer/core/filter_source.h"
#include "analyzer/core/option_pages.h"
#include "analyzer/core/port_table.h"
#include "analyzer/ui/about_dialog.h"
#include "analyzer/ui/analyzer_editors.h"
#include "analyzer/ui/analyzer_icon.h"
#include "analyzer/ui/analyzer_layout.h"
#include "analyzer/ui/analyzer_menus.h"
#include "analyzer/ui/entry_list_model.h"
#include "common/profile_store.h"
#include "common/text_format.h"

namespace analyzer_ui {
namespace {

using namespace analyzer;

// A fill works this long before the window draws again.
constexpr int kSliceMilliseconds = 12;
constexpr std::size_t kChunksPerStep = 1024;
constexpr int kPublishMilliseconds = 300;

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString String(int id) {
    return Latin1(AnalyzerString(id));
}

}  // namespace

CAnalyzerDialog::CAnalyzerDialog(AnalyzerPaths paths, common_ui::DesktopPrompts& prompts,
                                 AnalyzerEditors& editors, std::shared_ptr<HostResolver> resolver,
                                 QWidget* parent, std::size_t listTextLimit)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      paths_(std::move(paths)),
      prompts_(prompts),
      editors_(editors),
      settings_(paths_.settingsFilePath),
      fillSettings_(paths_.settingsFilePath),
      store_(listTextLimit) {
    setFont(QFont("Arial", 8));
    setWindowTitle(Latin1(texts::kProgramTitle));
    setWindowIcon(AnalyzerIcon());

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->setSizeConstraint(QLayout::SetFixedSize);
    menuBar_ = new QMenuBar(this);
    frame->setMenuBar(menuBar_);
    client_ = new QWidget(this);
    frame->addWidget(client_);
    BuildMenuBar(menuBar_);
    BuildControls(client_);

    model_ = new EntryListModel(store_, this);
    list_->setModel(model_);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { OnEntrySelected(); });

    fillTimer_ = new QTimer(this);
    fillTimer_->setSingleShot(true);
    connect(fillTimer_, &QTimer::timeout, this, &CAnalyzerDialog::FillSlice);

    auto* keyboardMenu = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(keyboardMenu, &QShortcut::activated, this, [this] { ShowContextMenu(std::nullopt); });

    lookup_ = std::make_unique<HostLookup>(std::move(resolver), [this](std::uint32_t address,
                                                                       const HostAnswer& answer) {
        QMetaObject::invokeMethod(
            this, [this, address, answer] { OnHostAnswer(address, answer); }, Qt::QueuedConnection);
    });
    ApplyMenuBarSwitches();
}

CAnalyzerDialog::~CAnalyzerDialog() = default;

void CAnalyzerDialog::BuildControls(QWidget* client) {
    const common_ui::DialogUnits units(font());
    client->setFixedSize(units.ToPixels(layout::kClientWidth, layout::kClientHeight));

    auto* source = new QGroupBox(tr("Source"), client);
    source->setGeometry(units.ToPixels(layout::kSourceGroup));
    auto* destination = new QGroupBox(tr("Destination"), client);
    destination->setGeometry(units.ToPixels(layout::kDestinationGroup));

    list_ = new QListView(client);
    list_->setObjectName("entryList");
    list_->setGeometry(units.ToPixels(layout::kEntryList));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    for (const layout::Field& field : layout::kFields) {
        auto* label = new QLabel(Latin1(field.label), client);
        label->setGeometry(units.ToPixels(field.labelRect));
        if (field.labelRightAligned) {
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        auto* edit = new QLineEdit(client);
        edit->setObjectName(field.objectName);
        edit->setGeometry(units.ToPixels(field.rect));
        edit->setReadOnly(true);
        label->setBuddy(edit);
        switch (field.id) {
            case layout::kCountId:
                edit->setValidator(new QIntValidator(0, INT_MAX, edit));
                count_ = edit;
                break;
            case layout::kSourceIpId:
                sourceIp_ = edit;
                break;
            case layout::kSourcePortId:
                sourcePort_ = edit;
                break;
            case layout::kSourceNameId:
                sourceName_ = edit;
                break;
            case layout::kSourceDescriptionId:
                sourceDescription_ = edit;
                break;
            case layout::kDestinationIpId:
                destinationIp_ = edit;
                break;
            case layout::kDestinationPortId:
                destinationPort_ = edit;
                break;
            case layout::kDestinationDescriptionId:
                destinationDescription_ = edit;
                break;
        }
    }
    list_->setFocus();
}

QAction* CAnalyzerDialog::AddCommand(QMenu* menu, const char* text, int id) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setData(id);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    return action;
}

void CAnalyzerDialog::BuildMenuBar(QMenuBar* menuBar) {
    for (const menus::Popup& popup : menus::kMenuBar) {
        QMenu* menu = menuBar->addMenu(QString::fromUtf8(popup.title));
        for (const menus::Item& item : popup.items) {
            if (item.id == 0) {
                menu->addSeparator();
            } else {
                AddCommand(menu, item.text, item.id);
            }
        }
    }
}

void CAnalyzerDialog::RunCommand(int id) {
    switch (id) {
        case commands::kOpen:
            OpenLog();
            break;
        case commands::kViewCurrentLog:
            ViewCurrentLog();
            break;
        case commands::kExit:
            reject();
            break;
        case commands::kCopy:
            CopyEntry();
            break;
        case commands::kAddSourceIp:
            AddSourceIpFilter();
            break;
        case commands::kAddTargetPort:
            AddTargetPortFilter();
            break;
        case commands::kEditFilters:
            EditFilters();
            break;
        case commands::kLookupSource:
            LookupSourceHost();
            break;
        case commands::kPortDefinitions:
            EditPortDefinitions();
            break;
        case commands::kOptions:
            EditOptions();
            break;
        case commands::kHelp:
            ShowHelp();
            break;
        case commands::kAbout:
            ShowAbout();
            break;
    }
}

void CAnalyzerDialog::EnableEntryCommands(QWidget* menu, bool on) {
    for (QAction* action : menu->findChildren<QAction*>()) {
        const int id = action->data().toInt();
        if (std::ranges::find(kEntryCommands, id) != kEntryCommands.end()) {
            action->setEnabled(on);
        }
    }
}

void CAnalyzerDialog::ApplyMenuBarSwitches() {
    const EntryCommandSwitches switches =
        SwitchesFor(logOpened_, entriesLoaded_, model_->rowCount() == 0);
    EnableEntryCommands(menuBar_, switches.menuBar);
}

void CAnalyzerDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void CAnalyzerDialog::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        ShowContextMenu(std::nullopt);
    } else {
        ShowContextMenu(event->globalPos());
    }
}

void CAnalyzerDialog::ShowContextMenu(std::optional<QPoint> screenPoint) {
    if (contextMenu_) {
        contextMenu_->close();
    }
    auto* menu = new QMenu(this);
    menu->setObjectName("contextMenu");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const menus::Item& item : menus::kContextMenu) {
        if (item.id == 0) {
            menu->addSeparator();
        } else {
            AddCommand(menu, item.text, item.id);
        }
    }
    const EntryCommandSwitches switches =
        SwitchesFor(logOpened_, entriesLoaded_, model_->rowCount() == 0);
    EnableEntryCommands(menu, switches.contextMenu);
    contextMenu_ = menu;
    menu->popup(screenPoint.value_or(client_->mapToGlobal(QPoint(5, 5))));
}

void CAnalyzerDialog::OpenLog() {
    const common_ui::OpenFileRequest request{String(ids::kOpenLogTitle),
                                             QString::fromLocal8Bit(LogPath(settings_)),
                                             Latin1(ToQtFileFilters(texts::kLogFileFilter))};
    if (const std::optional<QString> chosen = prompts_.ChooseFileToOpen(request)) {
        OpenLogFile(*chosen);
    }
}

void CAnalyzerDialog::OpenLogFile(const QString& path) {
    StopFill();
    log_.Close();
    currentLogPath_ = QFileInfo(path).absoluteFilePath();
    logOpened_ = log_.Open(currentLogPath_.toLocal8Bit().toStdString());
    ApplyMenuBarSwitches();
    if (!logOpened_) {
        const std::string pathText = currentLogPath_.toLocal8Bit().toStdString();
        prompts_.ShowMessage(
            common::MessageIcon::kStop,
            common::FillPlaceholders(AnalyzerString(ids::kUnableToOpenLog), {pathText}));
        return;
    }
    setWindowTitle(String(ids::kCaptionWithLog).replace("%s", currentLogPath_));
    LoadEntries();
}

bool CAnalyzerDialog::isLoading() const {
    return fill_.running();
}

void CAnalyzerDialog::LoadEntries() {
    StopFill();
    model_->BeginClear();
    fill_.Start(log_, fillSettings_, store_);
    model_->EndClear();
    if (!log_.IsOpen()) {
        ApplyMenuBarSwitches();
        return;
    }
    entriesLoaded_ = false;
    fillCursor_.emplace();
    sincePublished_.start();
    FillSlice();
}

void CAnalyzerDialog::FillSlice() {
    QElapsedTimer slice;
    slice.start();
    bool done = false;
    while (!done && slice.elapsed() < kSliceMilliseconds) {
        done = fill_.Step(kChunksPerStep);
    }
    if (done) {
        model_->Publish();
        FinishFill();
        return;
    }
    // The view lays out all its rows again at each announcement, so rows are announced
    // at once only until the first one shows, and then now and then.
    const bool wasEmpty = model_->rowCount() == 0;
    if (wasEmpty || sincePublished_.elapsed() >= kPublishMilliseconds) {
        model_->Publish();
        sincePublished_.start();
        if (wasEmpty && model_->rowCount() > 0) {
            list_->setCurrentIndex(model_->index(0));
        }
    }
    // The count tells how far a long fill has come.
    count_->setText(QString::number(fill_.result().listed));
    fillTimer_->start(0);
}

void CAnalyzerDialog::FinishFill() {
    fillCursor_.reset();
    const LoadResult& result = fill_.result();
    if (result.refused) {
        entriesLoaded_ = false;
        ApplyMenuBarSwitches();
        prompts_.ShowMessage(common::MessageIcon::kExclamation,
                             std::string(AnalyzerString(ids::kEndOfLogReached)));
        return;
    }
    entriesLoaded_ = true;
    count_->setText(QString::number(result.listed));
    ApplyMenuBarSwitches();
    if (model_->rowCount() == 0) {
        ClearDetails();
    } else if (!list_->currentIndex().isValid()) {
        list_->setCurrentIndex(model_->index(0));
    }
}

void CAnalyzerDialog::StopFill() {
    fillTimer_->stop();
    fill_.Abandon();
    fillCursor_.reset();
}

void CAnalyzerDialog::OnEntrySelected() {
    ++selectionSerial_;
    pendingLookup_.reset();
    lookupCursor_.reset();
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const EntryDetails details = DecodeEntry(store_.Entry(static_cast<std::size_t>(current.row())),
                                             PortTable(paths_.portsFilePath));
    selected_ = details.entry;
    ShowDetails(details);
    if (IsLookupOnSelection(settings_)) {
        LookupSourceHost();
    } else {
        sourceName_->setText(Latin1(kBlankName));
    }
}

void CAnalyzerDialog::ShowDetails(const EntryDetails& details) {
    sourceIp_->setText(Latin1(details.entry.sourceIp));
    sourcePort_->setText(Latin1(details.entry.sourcePort));
    sourceDescription_->setText(Latin1(details.sourceDescription));
    destinationIp_->setText(Latin1(details.entry.destinationIp));
    destinationPort_->setText(Latin1(details.entry.destinationPort));
    destinationDescription_->setText(Latin1(details.destinationDescription));
}

void CAnalyzerDialog::ClearDetails() {
    selected_ = {};
    count_->setText(QStringLiteral("0"));
    for (QLineEdit* field : {sourceIp_, sourcePort_, sourceName_, sourceDescription_,
                             destinationIp_, destinationPort_, destinationDescription_}) {
        field->clear();
    }
}

void CAnalyzerDialog::LookupSourceHost() {
    const std::uint32_t address = LookupAddressOf(selected_.sourceIp);
    if (const std::optional<HostAnswer> known = lookup_->Request(address)) {
        pendingLookup_.reset();
        lookupCursor_.reset();
        OnHostAnswer(address, *known);
        return;
    }
    // The answer comes later; until then the field shows no other entry's name.
    sourceName_->setText(Latin1(kBlankName));
    pendingLookup_ = PendingLookup{address, selectionSerial_};
    if (!lookupCursor_) {
        lookupCursor_.emplace();
    }
}

void CAnalyzerDialog::OnHostAnswer(std::uint32_t address, const HostAnswer& answer) {
    if (pendingLookup_) {
        if (pendingLookup_->address != address || pendingLookup_->selection != selectionSerial_) {
            return;
        }
        pendingLookup_.reset();
        lookupCursor_.reset();
    }
    sourceName_->setText(answer ? Latin1(*answer) : String(ids::kHostNotFound));
}

void CAnalyzerDialog::ReportFailure(const char* callName, int code) {
    prompts_.ShowMessage(common::MessageIcon::kStop,
                         common::FormatText(AnalyzerString(ids::kCallFailed), {callName, code}));
}

void CAnalyzerDialog::CopyEntry() {
    const QString text = Latin1(CopyText(selected_, settings_));
    QClipboard* clipboard = QGuiApplication::clipboard();
    errno = 0;
    clipboard->setText(text);
    // The clipboard reports no failure of its own; one that did not take the text did.
    if (clipboard->text() != text) {
        ReportFailure("SetClipboardData()", errno);
    }
}

void CAnalyzerDialog::AddFilter(std::string_view section, const std::optional<QString>& key) {
    if (!key) {
        return;
    }
    common::ProfileStore(paths_.settingsFilePath)
        .WriteString(section, key->toLatin1().toStdString(), "1");
    LoadEntries();
}

void CAnalyzerDialog::AddSourceIpFilter() {
    AddFilter(kSourceIpFilters, editors_.AddSourceIp(this, Latin1(selected_.sourceIp)));
}

void CAnalyzerDialog::AddTargetPortFilter() {
    AddFilter(kTargetPortFilters, editors_.AddTargetPort(this, Latin1(selected_.destinationPort)));
}

void CAnalyzerDialog::ViewCurrentLog() {
    // Split as a shell would split words, but never run through one: the log's path is
    // one argument whatever it holds.
    QStringList arguments =
        QProcess::splitCommand(QString::fromLocal8Bit(ViewerCommand(settings_)));
    bool started = false;
    if (!arguments.isEmpty()) {
        const QString program = arguments.takeFirst();
        arguments << currentLogPath_;
        started = QProcess::startDetached(program, arguments);
    }
    if (!started) {
        prompts_.ShowMessage(common::MessageIcon::kStop, std::string(texts::kCreateProcessError));
    }
}

void CAnalyzerDialog::EditFilters() {
    if (editors_.EditFilters(this)) {
        LoadEntries();
    }
}

void CAnalyzerDialog::EditPortDefinitions() {
    editors_.EditPorts(this);
}

void CAnalyzerDialog::EditOptions() {
    editors_.EditOptions(this);
}

void CAnalyzerDialog::ShowHelp() {
    prompts_.ShowMessage(common::MessageIcon::kInformation, std::string(texts::kUnderConstruction));
}

void CAnalyzerDialog::ShowAbout() {
    CAboutDialog about(this);
    about.exec();
}

void CAnalyzerDialog::reject() {
    StopFill();
    log_.Close();
    QDialog::reject();
}

}  // namespace analyzer_ui
