#include "catalogue/widgets/ResultsView.h"

#include "catalogue/ResultsListModel.h"

#include <functional>
#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QStyledItemDelegate>
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

} // namespace

ResultsView::ResultsView(ResultsListModel& model, QWidget* parent)
    : QStackedWidget(parent), model_(model) {
    setObjectName(QStringLiteral("lstPhotos"));
    auto* delegate = new RowIconDelegate(this);

    auto* list = new KeyNavigatingView<QTreeView>(this);
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
    list_->setModel(&model_);
    // Ordering belongs to the model's rule, not to the header's own toggling.
    list_->setSortingEnabled(false);
    QHeaderView* header = list_->header();
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
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
        view->viewport()->installEventFilter(this);
    }
    header->viewport()->installEventFilter(this);
    list->onKeyMove = [this](const QModelIndex& index) { emitItemClicked(index); };
    icons->onKeyMove = list->onKeyMove;

    addWidget(list_);
    addWidget(icons_);
    setCurrentWidget(list_);

    connect(header, &QHeaderView::sectionClicked, this,
            [this](int section) { model_.columnClicked(section); });
    connect(&model_, &ResultsListModel::sortChanged, this, &ResultsView::showSortIndicator);
    connect(&model_, &QAbstractItemModel::modelReset, this, &ResultsView::applyColumnWidths);
    showSortIndicator(model_.sortColumn());
}

void ResultsView::setListView(int view) {
    if (view != IconView && view != ListView)
        return;
    view_ = view;
    QAbstractItemView* shown = list_;
    if (view == IconView) {
        // Columns of the icon layout are a fixed width; long labels wrap inside them.
        const int rowHeight = qMax(fontMetrics().height(), icons_->iconSize().height()) + 6;
        icons_->setGridSize(QSize(twipsToPixels(iconViewColumnTwips, logicalDpiX()), rowHeight));
        shown = icons_;
    }
    setCurrentWidget(shown);
    if (shown->currentIndex().isValid())
        shown->scrollTo(shown->currentIndex());
}

bool ResultsView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        Q_EMIT clicked();
    return QStackedWidget::eventFilter(watched, event);
}

void ResultsView::applyColumnWidths() {
    const auto& columns = resultsColumns();
    for (int c = 0; c < resultsColumnCount; ++c) {
        const ResultsColumn& column = columns[size_t(c)];
        list_->setColumnHidden(c, column.hidden());
        if (!column.hidden())
            list_->header()->resizeSection(c, twipsToPixels(column.widthTwips, logicalDpiX()));
    }
}

void ResultsView::showSortIndicator(int column) {
    // A hidden sort-key column shows its arrow on the visible column it orders.
    int shown = resultsColumns()[size_t(column)].hidden() ? -1 : column;
    for (int c = 0; c < resultsColumnCount && shown < 0; ++c)
        if (c != column && sortKeyColumn(c) == column)
            shown = c;
    list_->header()->setSortIndicator(shown, model_.sortOrder());
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
