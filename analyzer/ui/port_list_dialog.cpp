#include "analyzer/ui/port_list_dialog.h"

#include <QLabel>

#include "analyzer/ui/find_port_dialog.h"
#include "analyzer/ui/port_definition_dialog.h"
#include "analyzer/ui/port_lines_model.h"
#include "analyzer/ui/selection.h"
#include "analyzer/ui/tab_stops.h"
#include "common_ui/dialog_layout.h"
#include "common_ui/file_text.h"
#include "common_ui/wait_cursor.h"

namespace analyzer_ui {
namespace {

// Layout in dialog units.
constexpr int kWidth = 252;
constexpr int kHeight = 202;
constexpr common_ui::DialogRect kHeading{9, 7, 170, 8};
constexpr common_ui::DialogRect kList{7, 17, 174, 160};
constexpr common_ui::DialogRect kAdd{188, 17, 57, 14};
constexpr common_ui::DialogRect kEdit{188, 35, 57, 14};
constexpr common_ui::DialogRect kDelete{188, 53, 57, 14};
constexpr common_ui::DialogRect kFind{188, 71, 57, 14};
constexpr common_ui::DialogRect kSave{188, 89, 57, 14};
constexpr common_ui::DialogRect kClose{188, 163, 57, 14};
constexpr common_ui::DialogRect kCountLabel{7, 185, 62, 8};
constexpr common_ui::DialogRect kCount{70, 183, 40, 12};

}  // namespace

PortListDialog::PortListDialog(const std::string& portsFilePath, common_ui::DesktopPrompts& prompts,
                               QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      editor_(portsFilePath, prompts),
      model_(new PortLinesModel(editor_, this)),
      list_(new QListView(this)),
      count_(new QLineEdit(this)) {
    common_ui::UseDialogFrame(*this);
    setWindowTitle(QStringLiteral("Port List"));
    auto* heading = new TabStopLabel(QStringLiteral("  Port\t     Use"), this);
    list_->setModel(model_);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row is one line of one font, so a long file lays out without measuring rows.
    list_->setUniformItemSizes(true);
    list_->setItemDelegate(new TabStopDelegate(list_));
    connect(list_, &QListView::doubleClicked, this, &PortListDialog::editPort);

    auto* add = new QPushButton(QStringLiteral("&Add Port..."), this);
    auto* edit = new QPushButton(QStringLiteral("&Edit Port..."), this);
    auto* remove = new QPushButton(QStringLiteral("&Delete Port"), this);
    auto* find = new QPushButton(QStringLiteral("&Find Port..."), this);
    auto* save = new QPushButton(QStringLiteral("&Save Changes"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* button : {add, edit, remove, find, save}) {
        button->setAutoDefault(false);
    }
    close->setDefault(true);
    connect(add, &QPushButton::clicked, this, &PortListDialog::addPort);
    connect(edit, &QPushButton::clicked, this, &PortListDialog::editPort);
    connect(remove, &QPushButton::clicked, this, &PortListDialog::deletePort);
    connect(find, &QPushButton::clicked, this, &PortListDialog::findPort);
    connect(save, &QPushButton::clicked, this, &PortListDialog::saveChanges);
    connect(close, &QPushButton::clicked, this, &PortListDialog::closeAfterAsking);

    auto* countLabel = new QLabel(QStringLiteral("Entries displayed:"), this);
    count_->setReadOnly(true);
    countLabel->setBuddy(count_);

    common_ui::PlaceControls(*this, QSize(kWidth, kHeight),
                             {{heading, kHeading},
                              {list_, kList},
                              {add, kAdd},
                              {edit, kEdit},
                              {remove, kDelete},
                              {find, kFind},
                              {save, kSave},
                              {close, kClose},
                              {countLabel, kCountLabel},
                              {count_, kCount}});

    {
        const common_ui::WaitCursor wait;
        ApplySelection(*list_, editor_.Load());
    }
    showCount();
    list_->setFocus();
}

PortListDialog::~PortListDialog() {
    // The model goes while the editor it listens to is still there.
    list_->setModel(nullptr);
    delete model_;
}

std::optional<analyzer::PortDefinition> PortListDialog::runPortDialog(
    PortDefinitionDialog::Purpose purpose, const std::string& row) {
    PortDefinitionDialog dialog(purpose, row, prompts_, this);
    if (prompts_.RunDialog(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.definition();
}

void PortListDialog::showCount() {
    count_->setText(QString::number(editor_.definitionCount()));
}

void PortListDialog::addPort() {
    const auto definition = runPortDialog(PortDefinitionDialog::Purpose::kAdd, {});
    if (!definition) {
        return;
    }
    ApplySelection(*list_, editor_.Add(*definition));
    showCount();
}

void PortListDialog::editPort() {
    const auto row = SelectedRow(*list_);
    if (!editor_.IsEditableRow(row)) {
        return;
    }
    const auto definition =
        runPortDialog(PortDefinitionDialog::Purpose::kEdit, editor_.rows()[*row]);
    if (!definition) {
        return;
    }
    ApplySelection(*list_, editor_.Edit(*row, definition->description));
}

void PortListDialog::deletePort() {
    const auto row = SelectedRow(*list_);
    if (!editor_.IsEditableRow(row)) {
        return;
    }
    if (!runPortDialog(PortDefinitionDialog::Purpose::kDelete, editor_.rows()[*row])) {
        return;
    }
    ApplySelection(*list_, editor_.Delete(*row));
    showCount();
}

void PortListDialog::findPort() {
    FindPortDialog dialog(prompts_, this);
    if (prompts_.RunDialog(dialog) == QDialog::Accepted) {
        ApplySelection(*list_, editor_.Find(common_ui::ToFileText(dialog.port())));
    }
}

void PortListDialog::saveChanges() {
    editor_.SaveChanges();
}

void PortListDialog::closeAfterAsking() {
    if (editor_.Close()) {
        accept();
    }
}

}  // namespace analyzer_ui
