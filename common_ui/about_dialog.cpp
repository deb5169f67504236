#include "common_ui/about_dialog.h"

#include <QLabel>
#include <algorithm>
#include <array>

namespace common_ui {
namespace {

constexpr int kIconId = -1;
constexpr int kTextId = 1001;

using AboutControls = std::array<ControlTemplate, 3>;

AboutControls MakeControls(const AboutLayout& layout, std::string_view okText) {
    const ControlKind textKind = layout.wrapText ? ControlKind::kPlainText : ControlKind::kLabel;
    return {{
        {kIconId, ControlKind::kPicture, layout.icon, {}},
        {kTextId, textKind, layout.text, {}},
        {kOkId, ControlKind::kDefaultPushButton, layout.ok, okText},
    }};
}

}  // namespace

AboutDialog::AboutDialog(const AboutLayout& layout, const QString& caption,
                         const QString& fontFamily, const QIcon& icon, const QString& text,
                         std::string_view okText, QWidget* parent)
    // The controls' table is a temporary: the base makes every control before it is gone.
    : TemplateDialog({layout.width, layout.height, MakeControls(layout, okText)}, caption,
                     fontFamily, parent) {
    auto* picture = controlAs<QLabel>(kIconId);
    picture->setPixmap(icon.pixmap(std::min(picture->width(), picture->height())));
    controlAs<QLabel>(kTextId)->setText(text);
}

QString AboutDialog::text() const {
    return controlAs<QLabel>(kTextId)->text();
}

}  // namespace common_ui
