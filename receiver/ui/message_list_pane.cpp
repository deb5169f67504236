#include "receiver/ui/message_list_pane.h"

#include <QHeaderView>
#include <QStyle>

#include "receiver/core/formatting.h"
#include "receiver/ui/receiver_art.h"

namespace receiver_ui {
namespace {

// Milliseconds between two list updates while rows keep coming.
constexpr qint64 kFlushInterval = 100;

}  // namespace

MessageListPane::MessageListPane(QTableView& list, receiver::ReceiverEngine& engine,
                                 common::ProfileStore& profile, common_ui::DesktopPrompts& prompts,
                                 std::function<void()> changed)
    : list_(list),
      model_(engine.messages()),
      commands_(list, engine, profile, prompts,
                [this] {
                    if (following_) {
                        toggleFollow();
                    }
                }),
      changed_(std::move(changed)) {
    flushTimer_.setSingleShot(true);
    QObject::connect(&flushTimer_, &QTimer::timeout, &list_, [this] { flushRows(); });

    list_.setModel(&model_);
    list_.setSelectionBehavior(QAbstractItemView::SelectRows);
    list_.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_.setShowGrid(false);
    list_.setWordWrap(false);
    list_.setCornerButtonEnabled(false);
    list_.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_.setIconSize(QSize(kListImageSize, kListImageSize));
    list_.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_.setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* rows = list_.verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(std::max(list_.fontMetrics().height() + 4, kListImageSize + 2));
    QHeaderView* header = list_.horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A header click selects or unselects every row, not a column.
    QObject::disconnect(header, &QHeaderView::sectionPressed, &list_, nullptr);
    QObject::disconnect(header, &QHeaderView::sectionEntered, &list_, nullptr);
    QObject::connect(header, &QHeaderView::sectionClicked, &list_,
                     [this] { commands_.toggleSelectAll(); });
    sizeColumns();
}

void MessageListPane::sizeColumns() {
    const QFontMetrics font = list_.fontMetrics();
    const QStyle* style = list_.style();
    metrics_.scrollBarWidth = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list_);
    metrics_.smallIconWidth = style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &list_);
    const int headerHeight = list_.horizontalHeader()->sizeHint().height();
    const int frame = 2 * list_.frameWidth();
    metrics_.rowsPerPage = std::max(
        0, (list_.height() - frame - headerHeight) / list_.verticalHeader()->defaultSectionSize());
    metrics_.clientWidth = list_.width() - frame;
    metrics_.stampTextWidth =
        font.horizontalAdvance(QString::fromLatin1(receiver::kStampMeasureText));
    widths_ = receiver::SizeColumns(metrics_);
    list_.setColumnWidth(0, widths_.stampColumn);
    narrowed_ = model_.rowCount() >= metrics_.rowsPerPage;
    list_.setColumnWidth(
        1, narrowed_ ? widths_.messageColumn - metrics_.scrollBarWidth : widths_.messageColumn);
}

void MessageListPane::toggleFollow() {
    following_ = !following_;
    if (following_) {
        scrollToLastRow();
    }
    changed_();
}

void MessageListPane::scrollToLastRow() {
    if (model_.rowCount() == 0) {
        return;
    }
    // The view sizes its scroll range lazily; it must know the newest rows first.
    list_.doItemsLayout();
    list_.scrollTo(model_.index(model_.rowCount() - 1, 0));
}

void MessageListPane::rowsAppended() {
    if (flushTimer_.isActive()) {
        return;
    }
    // Once the event loop is idle, but not more often than the eye can follow: a flood
    // then costs a few list updates a second, not one per datagram.
    const qint64 since = sinceFlush_.isValid() ? sinceFlush_.elapsed() : kFlushInterval;
    flushTimer_.start(static_cast<int>(std::max<qint64>(0, kFlushInterval - since)));
}

void MessageListPane::flushRows() {
    flushTimer_.stop();
    sinceFlush_.start();
    if (!model_.flush()) {
        return;
    }
    const int rows = model_.rowCount();
    if (!narrowed_ && rows > metrics_.rowsPerPage) {
        narrowed_ = true;
        list_.setColumnWidth(1, receiver::MessageColumnWidth(widths_, metrics_, rows));
    }
    if (following_) {
        scrollToLastRow();
    }
    changed_();
}

void MessageListPane::rowsCleared() {
    flushTimer_.stop();
    model_.reset();
    narrowed_ = false;
    list_.setColumnWidth(1, widths_.messageColumn);
    commands_.reset();
    changed_();
}

}  // namespace receiver_ui
