#include "query/widgets/QueryPane.h"

#include <algorithm>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

// The layout was drawn in twips; at the usual 96 dots per inch a pixel is 15 twips.
constexpr int twipsPerPixel = 15;
constexpr int openListHeight = 2000 / twipsPerPixel;
constexpr int closedListHeight = 300 / twipsPerPixel;
constexpr int listLeftOverhang = 90 / twipsPerPixel;
constexpr int listGap = 80 / twipsPerPixel;
constexpr int openListExtraWidth = 1000 / twipsPerPixel;
constexpr int initialListWidth = 1500 / twipsPerPixel;

const QString selectValuesTip = QStringLiteral("Press to select values");

int textWidthTwips(const QWidget* widget, const QString& text) {
    return widget->fontMetrics().horizontalAdvance(text) * twipsPerPixel;
}

QLabel* captionLabel(const QString& objectName) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(100);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return label;
}

// "tons per acre" beside the ranges; it breaks into two lines rather than widen the page.
QLabel* unitLabel() {
    auto* label = new QLabel(QStringLiteral("tons per acre"));
    label->setWordWrap(true);
    return label;
}

} // namespace

QueryPane::QueryPane(const ModelDescriptionSets& fireBehaviourModelNames, QWidget* parent)
    : QWidget(parent), fireBehaviourModelNames_(fireBehaviourModelNames) {
    setObjectName(QStringLiteral("eleQB"));
    dropDowns_[0].id = CodeListId::Vegetation;
    dropDowns_[1].id = CodeListId::Activity;
    dropDowns_[2].id = CodeListId::DangerRating;
    dropDowns_[3].id = CodeListId::FireBehaviour;

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabQuery"));
    // Every page's tab stays in sight, shortened when the window is narrow.
    tabs_->setElideMode(Qt::ElideRight);
    tabs_->setUsesScrollButtons(false);
    vegActFrame_ = buildVegetationActivityFrame();
    const QStringList captions = queryPageCaptions();
    tabs_->addTab(buildBooksPage(), captions[0]);
    tabs_->addTab(buildTotalPage(), captions[1]);
    tabs_->addTab(buildSizeClassPage(), captions[2]);
    tabs_->addTab(buildLivePage(), captions[3]);
    tabs_->addTab(buildFuelModelPage(), captions[4]);
    tabs_->addTab(buildSiteValuesPage(), captions[int(QueryPage::BySiteValues)]);
    for (int page = 0; page < tabs_->count(); ++page)
        tabs_->setTabToolTip(page, captions[page]);

    auto* close = new QPushButton(QStringLiteral("Close Query"));
    close->setObjectName(QStringLiteral("cmdCloseQuery"));
    tabs_->setCornerWidget(close, Qt::TopRightCorner);
    connect(close, &QPushButton::clicked, this, &QueryPane::closeQueryRequested);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);

    // Enter in any criterion runs the search of its page, as its Search button does.
    searchOnEnter(book_, QueryPage::Books);
    for (int page = 0; page < queryPageCount; ++page)
        searchOnEnter(erase_[size_t(page)], QueryPage(page));
    const std::array<QueryPage, rangeQuantityCount> rangePage{
        QueryPage::TotalLoading, QueryPage::SizeClassLoading, QueryPage::SizeClassLoading,
        QueryPage::LiveLoading, QueryPage::LiveLoading};
    for (int q = 0; q < rangeQuantityCount; ++q)
        for (QComboBox* combo : ranges_[size_t(q)])
            searchOnEnter(combo, rangePage[size_t(q)]);
    for (DropDown& d : dropDowns_)
        searchOnEnter(d.button, d.id == CodeListId::Vegetation || d.id == CodeListId::Activity
                                    ? std::nullopt
                                    : std::optional(QueryPage::FuelModels));
    searchOnEnter(models2005_, QueryPage::FuelModels);
    searchOnEnter(models1982_, QueryPage::FuelModels);
    for (QLineEdit* edit : siteValues_)
        searchOnEnter(edit, QueryPage::BySiteValues);

    connect(tabs_, &QTabWidget::currentChanged, this, &QueryPane::showPage);
    showPage(int(QueryPage::TotalLoading));
    for (DropDown& d : dropDowns_)
        updateCaption(d, CaptionEvent::CriteriaReset);
}

QueryPane::~QueryPane() {
    // A list that has been open lives on the window, not on the pane.
    for (DropDown& d : dropDowns_)
        if (d.list && d.list->parent() != this)
            delete d.list.data();
}

// ---------------------------------------------------------------------------------------------
// Building

QWidget* QueryPane::searchRow(QueryPage page) {
    auto* row = new QWidget;
    auto* layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* button = new QPushButton(QStringLiteral("Search"));
    button->setObjectName(QStringLiteral("cmdSearch%1").arg(int(page)));
    auto* erase = new QCheckBox(QStringLiteral("Erase Displayed Photo(s)"));
    erase->setObjectName(QStringLiteral("chkErase%1").arg(int(page)));
    erase->setToolTip(QStringLiteral("Check to erase current photo after query"));
    erase_[size_t(page)] = erase;
    layout->addWidget(button);
    layout->addWidget(erase);
    connect(button, &QPushButton::clicked, this, [this, page] { search(page); });
    return row;
}

QComboBox* QueryPane::addRangeCombo(const QString& name, bool digitsOnly) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->setEditable(true);
    // Typed text is the bound as it stands: no completion, nothing added to the rows.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setToolTip(selectValuesTip);
    combo->setMinimumContentsLength(4);
    if (digitsOnly) {
        // Keys typed into an editable combo reach the combo itself, which hands them to its
        // line edit: both are filtered. Pasted and dropped text goes past any key filter, so the
        // line edit also accepts nothing but digits (after the blank a chosen row begins with).
        static const QRegularExpression digits(QStringLiteral("^ ?[0-9]*$"));
        combo->installEventFilter(this);
        QLineEdit* edit = combo->lineEdit();
        edit->installEventFilter(this);
        edit->setValidator(new QRegularExpressionValidator(digits, edit));
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        digitsOnly_.insert(combo);
        digitsOnly_.insert(edit);
    }
    return combo;
}

QWidget* QueryPane::buildDropDown(CodeListId id, const QString& objectSuffix) {
    DropDown& d = dropDown(id);
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    d.caption = captionLabel(QStringLiteral("lbl") + objectSuffix);
    auto* button = new QToolButton;
    button->setObjectName(QStringLiteral("cmd") + objectSuffix);
    button->setArrowType(Qt::DownArrow);
    button->setToolTip(selectValuesTip);
    button->setFocusPolicy(Qt::StrongFocus);
    button->installEventFilter(this);
    d.button = button;
    layout->addWidget(d.caption, 1);
    layout->addWidget(button);

    d.list = new QListWidget(this);
    d.listIdentity = d.list;
    d.list->setObjectName(QStringLiteral("lst") + objectSuffix);
    d.list->hide();
    d.list->resize(initialListWidth, closedListHeight);
    d.list->installEventFilter(this);
    connect(button, &QAbstractButton::clicked, this, [this, id] { buttonClicked(dropDown(id)); });
    connect(d.list, &QListWidget::itemChanged, this,
            [this, id] { updateCaption(dropDown(id), CaptionEvent::RowToggled); });
    if (id == CodeListId::DangerRating || id == CodeListId::FireBehaviour)
        connect(d.list, &QListWidget::itemClicked, this,
                [this, id] { updateCaption(dropDown(id), CaptionEvent::RowToggled); });
    return box;
}

QFrame* QueryPane::buildVegetationActivityFrame() {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("freVegAct"));
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Vegetation Types")), 0, 0);
    grid->addWidget(buildDropDown(CodeListId::Vegetation, QStringLiteral("VegType")), 0, 1);
    activityRow_[0] = new QLabel(QStringLiteral("Activity"));
    activityRow_[1] = buildDropDown(CodeListId::Activity, QStringLiteral("ActType"));
    grid->addWidget(activityRow_[0], 1, 0);
    grid->addWidget(activityRow_[1], 1, 1);
    return frame;
}

QWidget* QueryPane::buildBooksPage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Select Book")));
    book_ = new QComboBox;
    book_->setObjectName(QStringLiteral("cboBook"));
    book_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    book_->setMinimumContentsLength(24);
    layout->addWidget(book_, 1);
    layout->addWidget(searchRow(QueryPage::Books));
    return page;
}

namespace {

// A page with the shared frame on the left, its own controls in the middle, search at the right.
QWidget* loadingPage(QWidget*& frameHost, QLayout* controls, QWidget* search) {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    frameHost = new QWidget;
    auto* hostLayout = new QHBoxLayout(frameHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frameHost);
    layout->addLayout(controls);
    layout->addStretch(1);
    layout->addWidget(search);
    return page;
}

void addRangeRow(QGridLayout* grid, int row, const QString& label, QComboBox* low,
                 QComboBox* high) {
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(low, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("to")), row, 2);
    grid->addWidget(high, row, 3);
}

} // namespace

QWidget* QueryPane::buildTotalPage() {
    auto* grid = new QGridLayout;
    auto& pair = ranges_[size_t(RangeQuantity::Total)];
    pair[0] = addRangeCombo(QStringLiteral("cboTotalLoad0"), true);
    pair[1] = addRangeCombo(QStringLiteral("cboTotalLoad1"), true);
    addRangeRow(grid, 0, QStringLiteral("Total Loading"), pair[0], pair[1]);
    grid->addWidget(unitLabel(), 0, 4);
    return loadingPage(vegActHosts_[0], grid, searchRow(QueryPage::TotalLoading));
}

QWidget* QueryPane::buildSizeClassPage() {
    auto* grid = new QGridLayout;
    auto& fine = ranges_[size_t(RangeQuantity::Fine)];
    auto& coarse = ranges_[size_t(RangeQuantity::Coarse)];
    fine[0] = addRangeCombo(QStringLiteral("cbo0to30"), true);
    fine[1] = addRangeCombo(QStringLiteral("cbo0to31"), true);
    coarse[0] = addRangeCombo(QStringLiteral("cbo3Plus0"), true);
    coarse[1] = addRangeCombo(QStringLiteral("cbo3Plus1"), true);
    addRangeRow(grid, 0, QStringLiteral("0 - 3\""), fine[0], fine[1]);
    addRangeRow(grid, 1, QStringLiteral("3.1\" +"), coarse[0], coarse[1]);
    grid->addWidget(unitLabel(), 0, 4, 2, 1);
    return loadingPage(vegActHosts_[1], grid, searchRow(QueryPage::SizeClassLoading));
}

QWidget* QueryPane::buildLivePage() {
    auto* grid = new QGridLayout;
    auto& herb = ranges_[size_t(RangeQuantity::Herb)];
    auto& shrub = ranges_[size_t(RangeQuantity::Shrub)];
    herb[0] = addRangeCombo(QStringLiteral("cboHerb0"), false);
    herb[1] = addRangeCombo(QStringLiteral("cboHerb1"), false);
    shrub[0] = addRangeCombo(QStringLiteral("cboWoody0"), false);
    shrub[1] = addRangeCombo(QStringLiteral("cboWoody1"), false);
    addRangeRow(grid, 0, QStringLiteral("Herb"), herb[0], herb[1]);
    addRangeRow(grid, 1, QStringLiteral("Shrub"), shrub[0], shrub[1]);
    grid->addWidget(unitLabel(), 0, 4, 2, 1);
    return loadingPage(vegActHosts_[2], grid, searchRow(QueryPage::LiveLoading));
}

QWidget* QueryPane::buildFuelModelPage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* options = new QVBoxLayout;
    models2005_ = new QRadioButton(QStringLiteral("Models:  2005"));
    models2005_->setObjectName(QStringLiteral("opt2005Models"));
    models1982_ = new QRadioButton(QStringLiteral("1982"));
    models1982_->setObjectName(QStringLiteral("opt1982Models"));
    models2005_->setChecked(true);
    options->addWidget(models2005_);
    options->addWidget(models1982_);
    layout->addLayout(options);
    connect(models2005_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            switchModels(FuelModelSet::Models2005);
    });
    connect(models1982_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            switchModels(FuelModelSet::Models1982);
    });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Fire Behavior")), 0, 0);
    grid->addWidget(buildDropDown(CodeListId::FireBehaviour, QStringLiteral("FireBehave")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Danger Rating")), 1, 0);
    grid->addWidget(buildDropDown(CodeListId::DangerRating, QStringLiteral("DangerRating")), 1, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addWidget(searchRow(QueryPage::FuelModels));
    return page;
}

QWidget* QueryPane::buildSiteValuesPage() {
    // Three quantities a row: the woody loadings and duff, then fuel bed, herb and shrub.
    auto* grid = new QGridLayout;
    for (int q = 0; q < siteQuantityCount; ++q) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QStringLiteral("txtSite%1").arg(q));
        edit->setToolTip(QStringLiteral("The site's value; leave empty if not measured"));
        edit->setPlaceholderText(QStringLiteral("not measured"));
        edit->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("not measured ")));
        siteValues_[size_t(q)] = edit;
        auto* label = new QLabel(siteQuantityLabel(SiteQuantity(q)));
        label->setBuddy(edit);
        grid->addWidget(label, q / 3, (q % 3) * 2);
        grid->addWidget(edit, q / 3, (q % 3) * 2 + 1);
    }
    return loadingPage(vegActHosts_[3], grid, searchRow(QueryPage::BySiteValues));
}

void QueryPane::showPage(int index) {
    const auto page = QueryPage(index);
    for (QWidget* w : activityRow_)
        w->setVisible(page != QueryPage::BySiteValues);
    // The vegetation and activity choices follow the user across the three loading pages, and
    // the vegetation choice to the site values page.
    if (page != QueryPage::Books && page != QueryPage::FuelModels) {
        QWidget* host = vegActHosts_[size_t(page == QueryPage::BySiteValues ? 3 : index - 1)];
        if (QWidget* previous = vegActFrame_->parentWidget(); previous && previous->layout())
            previous->layout()->removeWidget(vegActFrame_);
        host->layout()->addWidget(vegActFrame_);
        vegActFrame_->show();
        vegActFrame_->raise();
        // The keys follow the layout: the tabs, the shared choices on the left, then the
        // page's own ranges.
        QWidget* vegetation = dropDown(CodeListId::Vegetation).button;
        QWidget* activity = dropDown(CodeListId::Activity).button;
        QWidget::setTabOrder(tabs_->tabBar(), vegetation);
        QWidget::setTabOrder(vegetation, activity);
        if (page == QueryPage::BySiteValues) {
            QWidget::setTabOrder(vegetation, siteValues_[0]);
            return;
        }
        const RangeQuantity firstRange = page == QueryPage::TotalLoading ? RangeQuantity::Total
                                         : page == QueryPage::SizeClassLoading
                                             ? RangeQuantity::Fine
                                             : RangeQuantity::Herb;
        QWidget::setTabOrder(activity, ranges_[size_t(firstRange)][0]);
    }
}

// ---------------------------------------------------------------------------------------------
// Filling

void QueryPane::fillList(DropDown& d, const QStringList& rowsInOrder, const QStringList& sorted,
                         ListWidthRule rule) {
    d.list->blockSignals(true);
    d.list->clear();
    int width = d.list->width() * twipsPerPixel;
    for (const QString& row : rowsInOrder)
        width = grownListWidth(rule, width, textWidthTwips(d.list, row));
    d.list->resize(width / twipsPerPixel, d.list->height());
    for (const QString& row : sorted) {
        auto* item = new QListWidgetItem(row, d.list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    d.list->blockSignals(false);
}

void QueryPane::applyEmptyListRule(DropDown& d) {
    const bool empty = d.list->count() == 0;
    if (empty)
        d.caption->setText(noModelsAvailable);
    d.button->setEnabled(!empty);
}

void QueryPane::fill(const QueryParameters& parameters) {
    book_->clear();
    book_->addItem(allBooksRow);
    for (const BookChoice& choice : parameters.books)
        book_->addItem(choice.text, choice.id);
    book_->setCurrentIndex(0);

    for (int q = 0; q < rangeQuantityCount; ++q)
        for (QComboBox* combo : ranges_[size_t(q)]) {
            combo->clear();
            combo->addItems(parameters.rangeRows[size_t(q)]);
        }

    for (DropDown& d : dropDowns_) {
        const CodeListRows& rows = parameters.codeList(d.id);
        fillList(d, rows.found, rows.sorted, loadWidthRule(d.id));
        // Nothing is chosen in a fresh list, whatever the caption said before the reload.
        updateCaption(d, CaptionEvent::CriteriaReset);
    }
    applyEmptyListRule(dropDown(CodeListId::DangerRating));
    applyEmptyListRule(dropDown(CodeListId::FireBehaviour));

    // The list now holds the 2005 models: the option says so too.
    models2005_->blockSignals(true);
    models1982_->blockSignals(true);
    models2005_->setChecked(true);
    models1982_->setChecked(false);
    models2005_->blockSignals(false);
    models1982_->blockSignals(false);

    for (auto& pair : ranges_) {
        pair[0]->setCurrentIndex(0);
        pair[1]->setCurrentIndex(pair[1]->count() - 1);
    }
}

void QueryPane::showFuelModelSet(FuelModelSet set) {
    const QStringList& descriptions = fireBehaviourModelNames_[size_t(set)];
    DropDown& d = dropDown(CodeListId::FireBehaviour);
    fillList(d, descriptions, fuelModelSetRows(descriptions), ListWidthRule::Exact);
    applyEmptyListRule(d);
}

void QueryPane::switchModels(FuelModelSet set) {
    showFuelModelSet(set);
    resetCriteria();
}

// ---------------------------------------------------------------------------------------------
// Criteria

void QueryPane::resetCriteria() {
    for (CodeListId id : {CodeListId::Vegetation, CodeListId::Activity, CodeListId::FireBehaviour,
                          CodeListId::DangerRating}) {
        DropDown& d = dropDown(id);
        d.list->blockSignals(true);
        for (int row = 0; row < d.list->count(); ++row)
            d.list->item(row)->setCheckState(Qt::Unchecked);
        d.list->blockSignals(false);
        updateCaption(d, CaptionEvent::CriteriaReset);
    }
    for (auto& pair : ranges_) {
        pair[0]->setCurrentIndex(0);
        pair[1]->setCurrentIndex(pair[1]->count() - 1);
    }
}

namespace {

QStringList checkedRows(const QListWidget* list) {
    QStringList rows;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->checkState() == Qt::Checked)
            rows << list->item(row)->text();
    return rows;
}

} // namespace

QueryCriteria QueryPane::criteria(QueryKind kind) const {
    QueryCriteria c;
    c.kind = kind;
    c.bookRow = book_->currentText();
    const auto bounds = [this](RangeQuantity q, QString& low, QString& high) {
        low = ranges_[size_t(q)][0]->currentText();
        high = ranges_[size_t(q)][1]->currentText();
    };
    bounds(RangeQuantity::Total, c.totalLow, c.totalHigh);
    bounds(RangeQuantity::Fine, c.fineLow, c.fineHigh);
    bounds(RangeQuantity::Coarse, c.coarseLow, c.coarseHigh);
    bounds(RangeQuantity::Herb, c.herbLow, c.herbHigh);
    bounds(RangeQuantity::Shrub, c.shrubLow, c.shrubHigh);
    c.vegTypes = checkedRows(dropDown(CodeListId::Vegetation).list);
    c.activities = checkedRows(dropDown(CodeListId::Activity).list);
    c.dangerModels = checkedRows(dropDown(CodeListId::DangerRating).list);
    c.fireModels = checkedRows(dropDown(CodeListId::FireBehaviour).list);
    c.use2005Models = models2005_->isChecked();
    return c;
}

bool QueryPane::eraseDisplayed() const {
    return eraseDisplayed(shownPage());
}

bool QueryPane::eraseDisplayed(QueryPage page) const {
    return erase_[size_t(page)]->isChecked();
}

QueryPage QueryPane::shownPage() const {
    return QueryPage(tabs_->currentIndex());
}

SearchRequest QueryPane::siteSearch() const {
    SearchRequest request;
    request.page = QueryPage::BySiteValues;
    request.eraseDisplayed = eraseDisplayed(QueryPage::BySiteValues);
    std::array<QString, siteQuantityCount> texts;
    for (int q = 0; q < siteQuantityCount; ++q)
        texts[size_t(q)] = siteValues_[size_t(q)]->text();
    SiteValuesRead read = readSiteValues(texts, locale());
    if (!read.problem.isEmpty()) {
        request.problem = read.problem;
        return request;
    }
    request.site = SiteSearch{read.site, checkedRows(dropDown(CodeListId::Vegetation).list)};
    return request;
}

void QueryPane::search(QueryPage page) {
    closeList();
    if (page == QueryPage::BySiteValues) {
        Q_EMIT searchRequested(siteSearch());
        return;
    }
    const std::optional<QueryKind> kind =
        searchKindOfPage(page, dropDown(CodeListId::FireBehaviour).list->count() > 0,
                         dropDown(CodeListId::DangerRating).list->count() > 0);
    SearchRequest request;
    request.page = page;
    if (kind)
        request.criteria = criteria(*kind);
    request.eraseDisplayed = eraseDisplayed(page);
    Q_EMIT searchRequested(request);
}

// ---------------------------------------------------------------------------------------------
// Drop-down lists

bool QueryPane::isListOpen(CodeListId list) const {
    return !dropDown(list).list->isHidden();
}

QueryPane::DropDown* QueryPane::dropDownOf(const QObject* object) {
    for (DropDown& d : dropDowns_)
        if (d.listIdentity == object || d.button == object)
            return &d;
    return nullptr;
}

void QueryPane::updateCaption(DropDown& d, CaptionEvent event) {
    d.caption->setText(codeListCaption(d.id, event, int(checkedRows(d.list).size())));
}

void QueryPane::buttonClicked(DropDown& d) {
    if (d.list->isHidden())
        openList(d);
    else
        closeListByButton(d);
}

void QueryPane::openList(DropDown& d) {
    // The list overlays the whole window, so it belongs to the window while it is open.
    QWidget* host = window();
    if (d.id != CodeListId::Vegetation)
        d.list->resize(d.caption->width() + openListExtraWidth, d.list->height());
    // Wide enough for its longest row, so no row hides behind a scroll bar; never wider than the
    // window.
    const int rowsWidth = d.list->sizeHintForColumn(0) + 2 * d.list->frameWidth() +
                          d.list->verticalScrollBar()->sizeHint().width();
    d.list->resize(std::min(std::max(d.list->width(), rowsWidth), host->width()), openListHeight);
    if (d.list->parentWidget() != host)
        d.list->setParent(host);
    const QPoint labelTop = d.caption->mapTo(host, QPoint(0, 0));
    const int below = std::max(d.caption->mapTo(host, QPoint(0, d.caption->height())).y(),
                               d.button->mapTo(host, QPoint(0, d.button->height())).y());
    int left = labelTop.x() - listLeftOverhang;
    left = std::max(0, std::min(left, host->width() - d.list->width()));
    d.list->move(left, below + listGap);
    d.list->show();
    d.list->raise();
    d.list->setFocus(Qt::OtherFocusReason);
    d.flag = DropDown::Flag::Close;
}

void QueryPane::shrinkVegetationList() {
    QListWidget* list = dropDown(CodeListId::Vegetation).list;
    list->resize(list->width(), closedListHeight);
}

void QueryPane::closeListByButton(DropDown& d) {
    d.list->resize(d.list->width(), closedListHeight);
    updateCaption(d, CaptionEvent::ClosedByButton);
    d.flag = DropDown::Flag::Skip;
    d.list->hide();
}

void QueryPane::closeList() {
    for (CodeListId id : {CodeListId::Activity, CodeListId::Vegetation, CodeListId::DangerRating,
                          CodeListId::FireBehaviour}) {
        DropDown& d = dropDown(id);
        if (!d.list->isHidden())
            closeListByButton(d);
    }
}

void QueryPane::searchOnEnter(QWidget* control, std::optional<QueryPage> page) {
    searchPageOf_.insert(control, page);
    control->installEventFilter(this);
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        searchOnEnter(combo->lineEdit(), page);
}

bool QueryPane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && searchPageOf_.contains(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            search(searchPageOf_.value(watched).value_or(shownPage()));
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && digitsOnly_.contains(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        return !key->matches(QKeySequence::Paste) &&
               !woodyRangeKeyAccepted(key->key(), key->modifiers(), key->text());
    }
    DropDown* d = dropDownOf(watched);
    if (!d)
        return QWidget::eventFilter(watched, event);

    if (watched != d->listIdentity) {
        // Set before the list loses the focus to the button, so the click closes it once.
        if (event->type() == QEvent::MouseButtonPress)
            d->flag = DropDown::Flag::Skip;
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            d->flag = DropDown::Flag::Skip;
            // The keyboard stays with the list's own control rather than moving on to whatever
            // follows the hidden list.
            d->button->setFocus(Qt::OtherFocusReason);
            d->list->hide();
            return true;
        }
        break;
    case QEvent::FocusOut: {
        // Switching to another application is no reason to close the list.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            break;
        // The focus moves to the button before the button sees the press: the list's own button
        // closes it through its click, once.
        if (QApplication::focusWidget() == d->button)
            d->flag = DropDown::Flag::Skip;
        if (d->flag != DropDown::Flag::Skip && !d->list->isHidden())
            closeListByButton(*d);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void QueryPane::mousePressEvent(QMouseEvent* event) {
    // A click on the pages' background or their labels closes any open list.
    closeList();
    QWidget::mousePressEvent(event);
}

} // namespace tarnwick
