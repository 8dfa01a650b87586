#pragma once

#include "query/QueryControls.h"

#include <array>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;

namespace tarnwick {

// The query pane: five pages of criteria, each with its search button and erase box. The
// vegetation and activity lists are shared by the three loading pages; the four code lists drop
// down over the whole window below their caption label.
//
// The pane reads the two fire behaviour description sets the query parameters left in the run's
// state and changes nothing outside itself: searches leave as searchRequested, the Close Query
// button as closeQueryRequested.
class QueryPane : public QWidget {
    Q_OBJECT
public:
    explicit QueryPane(const ModelDescriptionSets& fireBehaviourModelNames,
                       QWidget* parent = nullptr);
    ~QueryPane() override;

    // Shows every choice computed from the catalogue and the code lists (start-up and each
    // reload of the catalogue). Chosen rows are gone afterwards and the 2005 models are shown.
    void fill(const QueryParameters& parameters);

    // The Reset command: no row chosen in any list, every range back to its full span.
    void resetCriteria();
    // Closes every open code list as its button would.
    void closeList();
    // A key pressed anywhere on the window, or a click on its background, shrinks the vegetation
    // list to its closed height (it stays where it is).
    void shrinkVegetationList();
    // Refills the fire behaviour list from a description set.
    void showFuelModelSet(FuelModelSet set);

    // The criteria the controls hold now, for a search of the given kind.
    QueryCriteria criteria(QueryKind kind) const;
    // The search the site values page holds now.
    SearchRequest siteSearch() const;
    // The erase box of the page shown, or of a given page.
    bool eraseDisplayed() const;
    bool eraseDisplayed(QueryPage page) const;
    QueryPage shownPage() const;
    bool isListOpen(CodeListId list) const;

Q_SIGNALS:
    void searchRequested(const tarnwick::SearchRequest& request);
    void closeQueryRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // One drop-down code list with its caption label and small button. The button's flag keeps
    // a close through lost focus from running twice when the button itself takes the focus.
    struct DropDown {
        CodeListId id;
        QLabel* caption = nullptr;
        QAbstractButton* button = nullptr;
        QPointer<QListWidget> list;
        // Compared with the watched object only, never dereferenced: events still arrive while
        // the list is half destroyed.
        const QObject* listIdentity = nullptr;
        enum class Flag { None, Close, Skip } flag = Flag::None;
    };

    QWidget* buildBooksPage();
    QWidget* buildTotalPage();
    QWidget* buildSizeClassPage();
    QWidget* buildLivePage();
    QWidget* buildFuelModelPage();
    QWidget* buildSiteValuesPage();
    QFrame* buildVegetationActivityFrame();
    QWidget* buildDropDown(CodeListId id, const QString& objectSuffix);
    QComboBox* addRangeCombo(const QString& name, bool digitsOnly);
    QWidget* searchRow(QueryPage page);
    void showPage(int index);

    DropDown& dropDown(CodeListId id) { return dropDowns_[size_t(id)]; }
    const DropDown& dropDown(CodeListId id) const { return dropDowns_[size_t(id)]; }
    DropDown* dropDownOf(const QObject* object);
    void buttonClicked(DropDown& d);
    void openList(DropDown& d);
    void closeListByButton(DropDown& d);
    void updateCaption(DropDown& d, CaptionEvent event);
    void fillList(DropDown& d, const QStringList& rowsInOrder, const QStringList& sorted,
                  ListWidthRule rule);
    void applyEmptyListRule(DropDown& d);
    void switchModels(FuelModelSet set);
    void search(QueryPage page);

    const ModelDescriptionSets& fireBehaviourModelNames_;
    QTabWidget* tabs_ = nullptr;
    QFrame* vegActFrame_ = nullptr;
    std::array<QWidget*, 4> vegActHosts_{}; // on pages 1, 2, 3 and the site values page
    std::array<QWidget*, 2> activityRow_{}; // label and list, hidden on the site values page
    std::array<QLineEdit*, siteQuantityCount> siteValues_{};
    QComboBox* book_ = nullptr;
    std::array<std::array<QComboBox*, 2>, rangeQuantityCount> ranges_{};
    std::array<DropDown, codeListCount> dropDowns_;
    QRadioButton* models1982_ = nullptr;
    QRadioButton* models2005_ = nullptr;
    std::array<QCheckBox*, queryPageCount> erase_{};
    // The woody range combos and their line edits, whose keys are filtered.
    QSet<const QObject*> digitsOnly_;
    // The criteria controls, each with the page whose search Enter runs in it (none: the page
    // shown, for the vegetation and activity choices the loading pages share).
    QHash<const QObject*, std::optional<QueryPage>> searchPageOf_;
    void searchOnEnter(QWidget* control, std::optional<QueryPage> page);
};

} // namespace tarnwick
