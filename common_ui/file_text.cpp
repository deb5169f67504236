#include "common_ui/file_text.h"

#include <QStringDecoder>

namespace common_ui {

QString FromFileText(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text = utf8.decode(view);
    if (!utf8.hasError()) {
        return text;
    }
    return QString::fromLatin1(view);
}

std::string ToFileText(const QString& text) {
    return text.toUtf8().toStdString();
}

std::string ToFileText(const QString& edited, std::string_view original) {
    if (edited == FromFileText(original)) {
        return std::string(original);
    }
    return ToFileText(edited);
}

}  // namespace common_ui
