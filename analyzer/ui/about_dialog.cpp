#include "analyzer/ui/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/ui/analyzer_icon.h"
#include "common_ui/dialog_units.h"

namespace analyzer_ui {
namespace {

constexpr int kWidth = 225;
constexpr int kHeight = 55;
constexpr common_ui::DialogRect kIconRect{11, 17, 20, 20};
constexpr common_ui::DialogRect kVersionRect{40, 23, 130, 8};
constexpr common_ui::DialogRect kOkRect{178, 7, 40, 14};

QString Text(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setFont(QFont("Arial", 8));
    setWindowTitle(Text(analyzer::texts::kAboutTitle));
    const common_ui::DialogUnits units(font());
    setFixedSize(units.ToPixels(kWidth, kHeight));

    auto* icon = new QLabel(this);
    const QRect iconRect = units.ToPixels(kIconRect);
    icon->setGeometry(iconRect);
    icon->setPixmap(AnalyzerIcon().pixmap(std::min(iconRect.width(), iconRect.height())));

    auto* version = new QLabel(Text(analyzer::texts::kAboutVersion), this);
    version->setGeometry(units.ToPixels(kVersionRect));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setGeometry(units.ToPixels(kOkRect));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace analyzer_ui
