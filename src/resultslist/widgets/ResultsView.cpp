#include "resultslist/widgets/ResultsView.h"

#include "platform/BackgroundWork.h"
#include "resultslist/ResultsListModel.h"

#include <functional>
#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QScrollBar>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QStyleOptionHeader>
#include <QTreeView>

namespace tarnwick {

namespace {

// Puts the photo icon before the row text. Drawn by the delegate, so the model stays free of
// anything that needs a screen.
class RowIconDelegate : public QStyledItemDelegate {
public:
    explicit RowIconDelegate(QObject* parent)
        : QStyledItemDelegate(parent), icon_(QStringLiteral(":/icons/photo.svg")) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == BookPhotoIdColumn) {
            option->features |= QStyleOptionViewItem::HasDecoration;
            option->icon = icon_;
        }
    }

private:
    QIcon icon_;
};

// In the icon view each photo shows its own small picture, once it has been decoded; the photo
// symbol stands in until then and for a photo whose picture cannot be read.
class ThumbnailDelegate : public RowIconDelegate {
public:
    ThumbnailDelegate(QObject* parent, std::function<QImage(const QString&)> thumbnail)
        : RowIconDelegate(parent), thumbnail_(std::move(thumbnail)) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        RowIconDelegate::initStyleOption(option, index);
        if (!thumbnail_)
            return;
        const QImage image = thumbnail_(index.data(ResultsListModel::KeyRole).toString());
        if (!image.isNull())
            option->icon = QIcon(QPixmap::fromImage(image));
    }

private:
    std::function<QImage(const QString&)> thumbnail_;
};

// A view that reports a move of the current row made with the keyboard: arrows and type-ahead
// select a photo just as a click does.
template <typename View> class KeyNavigatingView : public View {
public:
    using View::View;
    std::function<void(const QModelIndex&)> onKeyMove;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int before = this->currentIndex().row();
        View::keyPressEvent(event);
        const QModelIndex now = this->currentIndex();
        if (now.isValid() && now.row() != before && onKeyMove)
            onKeyMove(now);
    }
};

// The report of the list: a row is brought into sight by scrolling up or down only, so the
// columns a planner scrolled to stay where they are.
class ReportView : public KeyNavigatingView<QTreeView> {
public:
    using KeyNavigatingView::KeyNavigatingView;

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override {
        const int across = horizontalScrollBar()->value();
        KeyNavigatingView::scrollTo(index, hint);
        horizontalScrollBar()->setValue(across);
    }
};

// Headers whose captions, right-aligned over numbers or not, are shortened at their end with an
// ellipsis when the column is narrower than they are: the style would draw them whole and cut
// them at the left.
class ElidingHeader : public QHeaderView {
public:
    ElidingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        QStyleOptionHeader section = *option;
        section.rect = QRect(0, 0, sectionSize(logicalIndex), height());
        int room = style()->subElementRect(QStyle::SE_HeaderLabel, &section, this).width();
        if (option->sortIndicator != QStyleOptionHeader::None)
            room -= style()->subElementRect(QStyle::SE_HeaderArrow, &section, this).width();
        option->text = fontMetrics().elidedText(option->text, Qt::ElideRight, std::max(0, room));
    }
};

// The caption with a mnemonic on its first letter or digit not yet taken in its menu; taken
// grows by that character.
QString withMnemonic(const QString& caption, QString& taken) {
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i].toLower();
        if (c.isLetterOrNumber() && !taken.contains(c)) {
            taken += c;
            return caption.left(i) + u'&' + caption.mid(i);
        }
    }
    return caption;
}

} // namespace

ResultsView::ResultsView(ResultsListModel& model, QWidget* parent)
    : QStackedWidget(parent), model_(model) {
    setObjectName(QStringLiteral("lstPhotos"));
    auto* delegate = new RowIconDelegate(this);

    auto* list = new ReportView(this);
    list_ = list;
    list_->setObjectName(QStringLiteral("resultsReport"));
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setItemDelegate(delegate);
    list_->setHeader(new ElidingHeader(list_));
    list_->setModel(&model_);
    // Ordering belongs to the model's rule, not to the header's own toggling.
    list_->setSortingEnabled(false);
    QHeaderView* header = list_->header();
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    // A narrow column shows the start of its caption and an ellipsis, never a cut middle.
    header->setTextElideMode(Qt::ElideRight);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    applyColumnWidths();

    auto* icons = new KeyNavigatingView<QListView>(this);
    icons_ = icons;
    icons_->setObjectName(QStringLiteral("resultsIcons"));
    icons_->setViewMode(QListView::ListMode);
    icons_->setFlow(QListView::TopToBottom);
    icons_->setWrapping(true);
    icons_->setWordWrap(true);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setUniformItemSizes(true);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(1000);
    icons_->setSelectionMode(QAbstractItemView::SingleSelection);
    icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    icons_->setItemDelegate(delegate);
    icons_->setModel(&model_);
    icons_->setModelColumn(BookPhotoIdColumn);

    // One selection for both views, as the one list control had.
    auto* selection = new QItemSelectionModel(&model_, this);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(icons_)}) {
        QItemSelectionModel* own = view->selectionModel();
        view->setSelectionModel(selection);
        delete own;
        connect(view, &QAbstractItemView::clicked, this, &ResultsView::emitItemClicked);
        connect(view, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
            if (index.isValid())
                Q_EMIT rowActivated(model_.data(index, ResultsListModel::KeyRole).toString());
        });
        view->viewport()->installEventFilter(this);
    }
    header->viewport()->installEventFilter(this);
    // The menu key (or Shift+F10) on the list, or a right click on it or its headers, offers
    // every column to sort by: the headers' clicks, for the keyboard.
    for (QWidget* target : {static_cast<QWidget*>(list_), static_cast<QWidget*>(icons_),
                            static_cast<QWidget*>(header)}) {
        target->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(target, &QWidget::customContextMenuRequested, this,
                [this, target](QPoint at) { sortMenu()->popup(target->mapToGlobal(at)); });
    }
    // The X11 desktops send no context menu for Shift+F10; it opens the menu at the chosen row.
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(icons_)}) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), view, nullptr,
                                       nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, view] {
            const QRect row = view->visualRect(view->currentIndex());
            const QPoint at = row.isValid() ? row.bottomLeft() : QPoint(0, 0);
            sortMenu()->popup(view->viewport()->mapToGlobal(at));
        });
    }
    list->onKeyMove = [this](const QModelIndex& index) { emitItemClicked(index); };
    icons->onKeyMove = list->onKeyMove;

    buildFrozenColumn(delegate, selection);
    emptyNotice_ = new QLabel(
        QStringLiteral("No photo matches these criteria.\nChange them and search again, or "
                       "choose View > Display All Photos."),
        this);
    emptyNotice_->setObjectName(QStringLiteral("lblNoPhotos"));
    emptyNotice_->setAlignment(Qt::AlignCenter);
    emptyNotice_->setWordWrap(true);
    emptyNotice_->setAttribute(Qt::WA_TransparentForMouseEvents);
    emptyNotice_->setForegroundRole(QPalette::PlaceholderText);
    connect(&model_, &QAbstractItemModel::modelReset, this, &ResultsView::updateEmptyNotice);
    connect(&model_, &QAbstractItemModel::rowsInserted, this, &ResultsView::updateEmptyNotice);
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, &ResultsView::updateEmptyNotice);

    addWidget(list_);
    addWidget(icons_);
    setCurrentWidget(list_);
    setFocusProxy(list_);

    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (!applyingWidths_ && column >= 0 && column < resultsColumnCount)
            userWidths_[size_t(column)] = width;
    });
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int section) { sortByColumn(section); });
    connect(&model_, &ResultsListModel::sortChanged, this, &ResultsView::showSortIndicator);
    // The photo chosen stays in sight when the rows are ordered anew.
    connect(&model_, &ResultsListModel::sortChanged, this, [this] {
        for (QAbstractItemView* view :
             {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(icons_)})
            if (view->currentIndex().isValid())
                view->scrollTo(view->currentIndex());
    });
    connect(&model_, &QAbstractItemModel::modelReset, this, &ResultsView::applyColumnWidths);
    showSortIndicator(model_.sortColumn());
}

void ResultsView::buildFrozenColumn(QAbstractItemDelegate* delegate,
                                    QItemSelectionModel* selection) {
    // The Book/Photo ID column stays in view when the report scrolls sideways: a second view
    // showing that column alone lies over the first, scrolling up and down with it.
    frozen_ = new QTreeView(list_);
    frozen_->setObjectName(QStringLiteral("resultsFrozenColumn"));
    frozen_->setHeader(new ElidingHeader(frozen_));
    frozen_->setModel(&model_);
    QItemSelectionModel* own = frozen_->selectionModel();
    frozen_->setSelectionModel(selection);
    delete own;
    frozen_->setItemDelegate(delegate);
    frozen_->setRootIsDecorated(false);
    frozen_->setItemsExpandable(false);
    frozen_->setUniformRowHeights(true);
    frozen_->setAllColumnsShowFocus(true);
    frozen_->setSelectionBehavior(QAbstractItemView::SelectRows);
    frozen_->setSelectionMode(QAbstractItemView::SingleSelection);
    frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollMode(list_->verticalScrollMode());
    QHeaderView* header = frozen_->header();
    header->setSectionsMovable(false);
    header->setStretchLastSection(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setTextElideMode(Qt::ElideRight);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Fixed);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int section) { sortByColumn(section); });
    header->viewport()->installEventFilter(this);
    frozen_->viewport()->installEventFilter(this);
    connect(frozen_, &QAbstractItemView::clicked, this, &ResultsView::emitItemClicked);
    connect(frozen_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Q_EMIT rowActivated(model_.data(index, ResultsListModel::KeyRole).toString());
    });
    // Clicks on the column bring the keyboard to the list beneath.
    connect(frozen_, &QAbstractItemView::pressed, this, [this] { list_->setFocus(); });
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, frozen_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(frozen_->verticalScrollBar(), &QScrollBar::valueChanged, list_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(list_->header(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column == BookPhotoIdColumn)
            placeFrozenColumn();
    });
    connect(&model_, &QAbstractItemModel::modelReset, this, &ResultsView::placeFrozenColumn);
    list_->installEventFilter(this);
    placeFrozenColumn();
}

void ResultsView::placeFrozenColumn() {
    if (!frozen_)
        return;
    for (int c = 0; c <= MatchColumn; ++c)
        frozen_->setColumnHidden(c, c != BookPhotoIdColumn);
    const int frame = list_->frameWidth();
    const int width = list_->columnWidth(BookPhotoIdColumn);
    frozen_->setGeometry(frame, frame, width,
                         list_->viewport()->height() + list_->header()->height());
    frozen_->header()->setFixedHeight(list_->header()->height());
    frozen_->verticalScrollBar()->setValue(list_->verticalScrollBar()->value());
    frozen_->raise();
}

void ResultsView::updateEmptyNotice() {
    const bool empty = model_.rowCount() == 0;
    emptyNotice_->setVisible(empty);
    if (empty) {
        emptyNotice_->setGeometry(rect().adjusted(16, 48, -16, -16));
        emptyNotice_->raise();
    }
}

void ResultsView::resizeEvent(QResizeEvent* event) {
    QStackedWidget::resizeEvent(event);
    updateEmptyNotice();
}

void ResultsView::setThumbnails(std::function<QImage(const QString& key)> thumbnail) {
    icons_->setItemDelegate(new ThumbnailDelegate(this, std::move(thumbnail)));
    // Room for a picture beside each label, in the same fixed-width columns.
    icons_->setIconSize(thumbnailSize());
}

QSize ResultsView::thumbnailSize() const {
    const int height = fontMetrics().height() * 3;
    return QSize(height * 3 / 2, height);
}

void ResultsView::thumbnailReady(const QString& key) {
    const int position = model_.positionOfKey(key);
    if (position >= 0)
        icons_->update(model_.index(position, BookPhotoIdColumn));
}

void ResultsView::setListView(ListViewKind view) {
    view_ = view;
    QAbstractItemView* shown = list_;
    if (view == ListViewKind::Icon) {
        // Columns of the icon layout are a fixed width; long labels wrap inside them.
        const int rowHeight = qMax(fontMetrics().height(), icons_->iconSize().height()) + 6;
        icons_->setGridSize(QSize(twipsToPixels(iconViewColumnTwips, logicalDpiX()), rowHeight));
        shown = icons_;
    }
    const bool hadFocus = currentWidget()->hasFocus();
    setCurrentWidget(shown);
    // The keyboard goes with the view: whoever browsed by keys goes on doing so.
    setFocusProxy(shown);
    if (hadFocus)
        shown->setFocus();
    if (shown->currentIndex().isValid())
        shown->scrollTo(shown->currentIndex());
}

bool ResultsView::eventFilter(QObject* watched, QEvent* event) {
    // The list's viewport takes its new size only after the list's own resize: the column
    // follows the viewport.
    if ((watched == list_ && event->type() == QEvent::Show) ||
        (watched == list_->viewport() && event->type() == QEvent::Resize))
        placeFrozenColumn();
    if (event->type() == QEvent::MouseButtonPress)
        Q_EMIT clicked();
    return QStackedWidget::eventFilter(watched, event);
}

void ResultsView::applyColumnWidths() {
    const auto& columns = resultsColumns();
    applyingWidths_ = true;
    for (int c = 0; c < resultsColumnCount; ++c) {
        const ResultsColumn& column = columns[size_t(c)];
        list_->setColumnHidden(c, column.hidden());
        if (!column.hidden())
            list_->header()->resizeSection(
                c, userWidths_[size_t(c)] > 0 ? userWidths_[size_t(c)]
                                              : twipsToPixels(column.widthTwips, logicalDpiX()));
    }
    // The Match of a ranking stands right after the Book/Photo ID, and only while there is one.
    QHeaderView* header = list_->header();
    header->moveSection(header->visualIndex(MatchColumn), 1);
    list_->setColumnHidden(MatchColumn, !model_.hasMatch());
    if (model_.hasMatch())
        header->resizeSection(MatchColumn, twipsToPixels(matchColumnTwips, logicalDpiX()));
    applyingWidths_ = false;
}

QList<int> ResultsView::columnWidths() const {
    QList<int> widths;
    for (int c = 0; c < resultsColumnCount; ++c)
        if (!resultsColumns()[size_t(c)].hidden())
            widths << list_->header()->sectionSize(c);
    return widths;
}

void ResultsView::setColumnWidths(const QList<int>& widths) {
    qsizetype next = 0;
    for (int c = 0; c < resultsColumnCount && next < widths.size(); ++c)
        if (!resultsColumns()[size_t(c)].hidden()) {
            // A width from a damaged setting is not worth a column nobody can find.
            const int width = widths[next++];
            userWidths_[size_t(c)] = width >= 8 && width <= 4000 ? width : 0;
        }
    applyColumnWidths();
}

void ResultsView::showSortIndicator(int column) {
    // A hidden sort-key column shows its arrow on the visible column it orders; a ranking shows
    // none.
    int shown =
        column < 0 || column >= resultsColumnCount || !resultsColumns()[size_t(column)].hidden()
            ? column
            : -1;
    for (int c = 0; c < resultsColumnCount && shown < 0; ++c)
        if (c != column && sortKeyColumn(c) == column)
            shown = c;
    list_->header()->setSortIndicator(shown, model_.sortOrder());
    if (frozen_)
        frozen_->header()->setSortIndicator(shown, model_.sortOrder());
}

QMenu* ResultsView::sortMenu() {
    if (!sortMenu_) {
        sortMenu_ = new QMenu(this);
        sortMenu_->setObjectName(QStringLiteral("sortMenu"));
        sortMenu_->setTitle(QStringLiteral("Sort By"));
        QString taken;
        for (int c = 0; c < resultsColumnCount; ++c) {
            const ResultsColumn& column = resultsColumns()[size_t(c)];
            if (column.hidden())
                continue;
            QAction* action = sortMenu_->addAction(QStringLiteral("Sort by ") +
                                                   withMnemonic(column.header.toString(), taken));
            action->setObjectName(QStringLiteral("sortBy%1").arg(c));
            connect(action, &QAction::triggered, this, [this, c] { sortByColumn(c); });
        }
        // Back to the ranking after sorting by a column; offered only while there is one.
        QAction* byMatch =
            sortMenu_->addAction(QStringLiteral("Sort by ") +
                                 withMnemonic(QStringLiteral("Match, nearest first"), taken));
        byMatch->setObjectName(QStringLiteral("sortBy%1").arg(MatchColumn));
        connect(byMatch, &QAction::triggered, this, [this] { sortByColumn(MatchColumn); });
        connect(sortMenu_, &QMenu::aboutToShow, byMatch,
                [this, byMatch] { byMatch->setVisible(model_.hasMatch()); });
    }
    return sortMenu_;
}

void ResultsView::sortByColumn(int column) {
    if (column < 0 || column > MatchColumn)
        return;
    const ResultsListModel::SortJob job = model_.sortJob(column);
    ResultsListModel::SortPlan plan;
    runInBackground([&] { plan = job.run(); }, {}, {});
    model_.adoptSort(std::move(plan));
}

void ResultsView::bringColumnsIntoView(int first, int last) {
    list_->doItemsLayout(); // the widths of a list just filled, and its scroll range
    const QHeaderView* header = list_->header();
    const int start = header->sectionPosition(first);
    const int end = header->sectionPosition(last) + header->sectionSize(last);
    const int frozen = header->sectionSize(BookPhotoIdColumn);
    QScrollBar* across = list_->horizontalScrollBar();
    const int room = list_->viewport()->width();
    if (start >= across->value() + frozen && end <= across->value() + room)
        return;
    // As far left as shows their ends, never so far that their starts pass under the frozen one.
    across->setValue(std::min(end - room, start - frozen));
}

void ResultsView::selectPosition(int position) {
    const QModelIndex index = model_.index(position, BookPhotoIdColumn);
    if (!index.isValid())
        return;
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    list_->scrollTo(index);
    icons_->scrollTo(index);
}

void ResultsView::emitItemClicked(const QModelIndex& index) {
    if (index.isValid())
        Q_EMIT itemClicked(model_.data(index, ResultsListModel::KeyRole).toString());
}

} // namespace tarnwick
