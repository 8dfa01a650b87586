#pragma once

#include "resultslist/ResultsRows.h"

#include <array>
#include <functional>
#include <QImage>
#include <QStackedWidget>

class QAbstractItemDelegate;
class QItemSelectionModel;
class QLabel;
class QListView;
class QMenu;
class QModelIndex;
class QTreeView;

namespace tarnwick {

class ResultsListModel;

// How the results list shows its rows. The numbers are the ones the layout settings keep.
enum class ListViewKind { Icon = 2, List = 3 };

// The results list on screen: a report of the visible columns (list view) or the row texts with
// their icons laid out in wrapping columns (icon view), both over the one model and one
// selection. Header clicks order the rows through the model's rule.
class ResultsView : public QStackedWidget {
    Q_OBJECT
public:
    static constexpr int iconViewColumnTwips = 3000;
    static constexpr int matchColumnTwips = 900;

    explicit ResultsView(ResultsListModel& model, QWidget* parent = nullptr);

    void setListView(ListViewKind view);
    ListViewKind listView() const { return view_; }
    // The widths of the visible columns in pixels, in column order; set ones outlive refills.
    QList<int> columnWidths() const;
    void setColumnWidths(const QList<int>& widths);

    // Scrolls the report sideways, if it must, so the columns first to last (model columns) show
    // whole beside the Book/Photo ID column.
    void bringColumnsIntoView(int first, int last);

    // Selects the row at a list position and scrolls it into view; not reported as a click.
    void selectPosition(int position);

    QTreeView* listPage() const { return list_; }
    // Every visible column to sort by, as its header would: the headers from the keyboard.
    QMenu* sortMenu();
    QListView* iconPage() const { return icons_; }

    // Gives the icon view a small picture of each photo: thumbnail(key) is the picture, or a
    // null image while it is not at hand (thumbnailReady follows once it is).
    void setThumbnails(std::function<QImage(const QString& key)> thumbnail);
    void thumbnailReady(const QString& key);
    // The size of a thumbnail in the icon view, following the font (and so the scale).
    QSize thumbnailSize() const;

    // The Book/Photo ID column that stays in view while the report scrolls sideways.
    QTreeView* frozenColumn() const { return frozen_; }
    // The notice in the list's place when no photo was found.
    QLabel* emptyNotice() const { return emptyNotice_; }

Q_SIGNALS:
    // A row was clicked, or reached with the keyboard.
    void itemClicked(const QString& key);
    // Any mouse press inside the list, rows, header or empty space alike.
    void clicked();
    // A row was double-clicked, or Enter was pressed on it: the photo is wanted full size.
    void rowActivated(const QString& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyColumnWidths();
    void buildFrozenColumn(QAbstractItemDelegate* delegate, QItemSelectionModel* selection);
    void placeFrozenColumn();
    void updateEmptyNotice();
    void showSortIndicator(int column);
    void emitItemClicked(const QModelIndex& index);
    // A header click or a Sort by command: ordered off the window's thread, the list painted
    // meanwhile.
    void sortByColumn(int column);

    ResultsListModel& model_;
    QTreeView* list_ = nullptr;
    QListView* icons_ = nullptr;
    ListViewKind view_ = ListViewKind::List;
    bool navigatingByKey_ = false;
    QMenu* sortMenu_ = nullptr;
    QTreeView* frozen_ = nullptr;
    QLabel* emptyNotice_ = nullptr;
    // Widths the user gave columns (0: the column's own), kept when the list is filled again.
    std::array<int, resultsColumnCount> userWidths_{};
    bool applyingWidths_ = false;
};

} // namespace tarnwick
