#pragma once

#include <QStyledItemDelegate>
#include <QWidget>

namespace analyzer_ui {

// Lists and labels here expand TAB characters to stops every 32 dialog units, so the
// port column lines up under its heading.
class TabStopDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// A one-line static text with TABs expanded.
class TabStopLabel : public QWidget {
  public:
    explicit TabStopLabel(QString text, QWidget* parent = nullptr);
    const QString& text() const { return text_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
};

}  // namespace analyzer_ui
