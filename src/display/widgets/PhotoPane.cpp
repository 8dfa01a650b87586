#include "display/widgets/PhotoPane.h"

#include <array>
#include <QEvent>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <utility>

namespace tarnwick {

namespace {

QWidget* placeholderPage() {
    auto* page = new QWidget;
    page->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    return page;
}

} // namespace

PhotoPane::PhotoPane(int slot, QWidget* parent)
    : QWidget(parent), slot_(slot), header_(new QLabel(this)), tabs_(new QTabBar(this)),
      pages_(new QStackedWidget(this)) {
    setObjectName(QStringLiteral("elePhoto%1").arg(slot));
    header_->setObjectName(QStringLiteral("elePhotoToggle%1").arg(slot));
    header_->setMinimumHeight(24);
    header_->setContentsMargins(8, 2, 8, 2);
    header_->installEventFilter(this);
    setSelected(false);

    tabs_->setObjectName(QStringLiteral("tabPhoto%1").arg(slot));
    for (const char* caption : {"Image", "Data", "Graph", "View"}) {
        tabs_->addTab(QString::fromLatin1(caption));
        pages_->addWidget(placeholderPage());
    }
    tabs_->setExpanding(false);
    tabs_->setDocumentMode(true);
    connect(tabs_, &QTabBar::currentChanged, this, &PhotoPane::onTabChanged);
    connect(tabs_, &QTabBar::tabBarClicked, this, [this] { Q_EMIT tabClicked(slot_); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header_);
    layout->addWidget(tabs_);
    layout->addWidget(pages_, 1);
}

void PhotoPane::setPage(Tab tab, QWidget* page) {
    QWidget* holder = pages_->widget(int(tab));
    QLayout* layout = holder->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    layout->addWidget(page);
}

QWidget* PhotoPane::page(Tab tab) const {
    const QLayout* layout = pages_->widget(int(tab))->layout();
    return layout->count() > 0 ? layout->itemAt(0)->widget() : nullptr;
}

void PhotoPane::showTab(Tab tab) {
    if (tab == ViewTab)
        return;
    tabs_->setCurrentIndex(int(tab));
}

PhotoPane::Tab PhotoPane::currentTab() const {
    return Tab(shownTab_);
}

void PhotoPane::setBrowseRole(Role role) {
    const std::array<std::pair<Tab, bool>, 4> visible{{
        {ImageTab, role != ShowsData},
        {DataTab, role != ShowsPicture},
        {GraphTab, role != ShowsPicture},
        {ViewTab, role != ShowsData},
    }};
    // Hiding the current tab moves the bar on to its neighbour, and the neighbour may be "View",
    // which opens the viewer. So the role's tabs are shown and its first one selected before any
    // tab is hidden. A pane that gains its picture shows it first; the data pane of browsing
    // shows the plate.
    for (const auto& [tab, shown] : visible)
        if (shown)
            tabs_->setTabVisible(tab, true);
    showTab(role == ShowsData ? DataTab : ImageTab);
    for (const auto& [tab, shown] : visible)
        if (!shown)
            tabs_->setTabVisible(tab, false);
}

void PhotoPane::setCaption(const QString& caption) {
    header_->setText(caption);
}

void PhotoPane::setSelected(bool selected) {
    // Black strip with light text; the pane taking the next photo stands out in amber.
    header_->setStyleSheet(selected ? QStringLiteral("background:#000000; color:#ffc14d; "
                                                     "font-weight:bold;")
                                    : QStringLiteral("background:#000000; color:#d4d0c8;"));
}

bool PhotoPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header_ && event->type() == QEvent::MouseButtonPress)
        Q_EMIT headerClicked(slot_);
    return QWidget::eventFilter(watched, event);
}

void PhotoPane::onTabChanged(int index) {
    if (index == ViewTab) {
        // The viewer opens instead; the pane keeps what it showed.
        const QSignalBlocker blocker(tabs_);
        tabs_->setCurrentIndex(shownTab_);
        Q_EMIT viewRequested(slot_);
        return;
    }
    shownTab_ = index;
    pages_->setCurrentIndex(index);
}

} // namespace tarnwick
