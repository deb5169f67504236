#include "analyzer/ui/entry_list_view.h"

#include <gtest/gtest.h>
#include <QAbstractListModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>

#include <set>

namespace analyzer_ui {
namespace {

// Rows that are only a number, and a record of which rows the view asked for.
class NumberedRows : public QAbstractListModel {
  public:
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) {
            return {};
        }
        asked.insert(index.row());
        return QStringLiteral("entry %1 of the list").arg(index.row());
    }
    void Append(int count) {
        beginInsertRows({}, rows_, rows_ + count - 1);
        rows_ += count;
        endInsertRows();
    }

    mutable std::set<int> asked;

  private:
    int rows_ = 0;
};

class EntryListViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        view_.setModel(&model_);
        view_.resize(320, 200);
        view_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
    }
    QModelIndex Row(int row) const { return model_.index(row); }
    static void Settle() { QCoreApplication::processEvents(); }

    NumberedRows model_;
    EntryListView view_;
};

TEST_F(EntryListViewTest, MillionsOfRowsAnnouncedInBatchesCostOnlyTheVisibleRows) {
    QElapsedTimer took;
    took.start();
    for (int batch = 0; batch < 100; ++batch) {
        model_.Append(300000);
        Settle();
    }
    EXPECT_EQ(view_.verticalScrollBar()->maximum() + view_.verticalScrollBar()->pageStep(),
              30000000);
    // A view that lays out every row again at each batch takes minutes here.
    EXPECT_LT(took.elapsed(), 5000);
    view_.scrollToBottom();
    view_.repaint();
    EXPECT_LT(model_.asked.size(), 100u);
    EXPECT_TRUE(model_.asked.count(29999999));
}

TEST_F(EntryListViewTest, RowsArePlacedFoundAndStepped) {
    model_.Append(1000);
    Settle();
    const int height = view_.visualRect(Row(0)).height();
    ASSERT_GT(height, 0);
    const int visible = view_.viewport()->height() / height;
    ASSERT_GT(visible, 2);
    EXPECT_EQ(view_.visualRect(Row(3)).top(), 3 * height);
    EXPECT_EQ(view_.indexAt(view_.visualRect(Row(4)).center()).row(), 4);

    view_.scrollTo(Row(500), QAbstractItemView::PositionAtTop);
    EXPECT_EQ(view_.verticalScrollBar()->value(), 500);
    EXPECT_EQ(view_.visualRect(Row(500)).top(), 0);
    EXPECT_EQ(view_.indexAt(QPoint(5, height + 1)).row(), 501);
    // A row below the view scrolls up just far enough to show.
    view_.scrollTo(Row(520));
    EXPECT_EQ(view_.verticalScrollBar()->value(), 520 - visible + 1);
    view_.scrollTo(Row(520));
    EXPECT_EQ(view_.verticalScrollBar()->value(), 520 - visible + 1);

    view_.scrollToBottom();
    EXPECT_EQ(view_.indexAt(QPoint(5, (visible - 1) * height + 1)).row(), 999);
    EXPECT_LE(view_.visualRect(Row(999)).bottom(), view_.viewport()->height());
    EXPECT_EQ(view_.indexAt(view_.visualRect(Row(999)).center()).row(), 999);

    // Keys and clicks land on the rows they point at.
    view_.setFocus();
    view_.setCurrentIndex(Row(10));
    QTest::keyClick(&view_, Qt::Key_Down);
    EXPECT_EQ(view_.currentIndex().row(), 11);
    QTest::keyClick(&view_, Qt::Key_PageDown);
    EXPECT_EQ(view_.currentIndex().row(), 11 + visible);
    QTest::keyClick(&view_, Qt::Key_End);
    EXPECT_EQ(view_.currentIndex().row(), 999);
    QTest::keyClick(&view_, Qt::Key_Home);
    EXPECT_EQ(view_.currentIndex().row(), 0);
    EXPECT_EQ(view_.verticalScrollBar()->value(), 0);
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, view_.visualRect(Row(2)).center());
    EXPECT_EQ(view_.currentIndex().row(), 2);
    EXPECT_EQ(view_.selectionModel()->selectedRows().value(0).row(), 2);
}

TEST_F(EntryListViewTest, AnEmptiedListStartsOverAtTheTop) {
    model_.Append(100);
    Settle();
    view_.scrollToBottom();
    ASSERT_GT(view_.verticalScrollBar()->value(), 0);
    NumberedRows other;
    view_.setModel(&other);
    Settle();
    EXPECT_EQ(view_.verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(view_.indexAt(QPoint(5, 5)).isValid());
    other.Append(3);
    Settle();
    EXPECT_EQ(view_.indexAt(QPoint(5, 1)).row(), 0);
}

}  // namespace
}  // namespace analyzer_ui
