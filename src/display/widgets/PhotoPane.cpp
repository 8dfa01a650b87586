#include "display/widgets/PhotoPane.h"

#include "ui/Contrast.h"

#include <array>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
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
    : QWidget(parent), slot_(slot), strip_(new QWidget(this)), icon_(new QLabel(strip_)),
      header_(new QLabel(strip_)), tabs_(new QTabBar(this)), pages_(new QStackedWidget(this)) {
    setObjectName(QStringLiteral("elePhoto%1").arg(slot));
    strip_->setObjectName(QStringLiteral("elePhotoToggle%1").arg(slot));
    strip_->setAutoFillBackground(true);
    strip_->setMinimumHeight(24);
    strip_->installEventFilter(this);
    auto* stripLayout = new QHBoxLayout(strip_);
    stripLayout->setContentsMargins(8, 2, 8, 2);
    stripLayout->setSpacing(6);
    stripLayout->addWidget(icon_);
    stripLayout->addWidget(header_, 1);
    icon_->hide();
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
    layout->addWidget(strip_);
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
    // shows the plate. Only tabs whose visibility changes are touched: showing a tab that is
    // already shown throws away the bar's pending layout and leaves the tab 0 pixels wide.
    for (const auto& [tab, shown] : visible)
        if (shown && !tabs_->isTabVisible(tab))
            tabs_->setTabVisible(tab, true);
    showTab(role == ShowsData ? DataTab : ImageTab);
    for (const auto& [tab, shown] : visible)
        if (!shown && tabs_->isTabVisible(tab))
            tabs_->setTabVisible(tab, false);
}

void PhotoPane::setCaption(const QString& caption) {
    header_->setText(caption);
}

void PhotoPane::setSelected(bool selected) {
    // The pane taking the next photo reads light yellow with the query mark; the other one in
    // the colour of a button face, or where a dark palette's button face would not read on
    // black, in its button text colour.
    const QPalette desktop = QApplication::palette();
    setStripColours(
        QColor(Qt::black),
        selected ? currentPaneText
                 : legibleOn(Qt::black, {desktop.color(QPalette::Button),
                                         desktop.color(QPalette::ButtonText), QColor(Qt::white)}));
    if (selected)
        icon_->setPixmap(QIcon(QStringLiteral(":/icons/Query.svg")).pixmap(QSize(16, 16)));
    icon_->setVisible(selected);
}

void PhotoPane::setStripColours(const QColor& background, const QColor& text) {
    QPalette colours = strip_->palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, text);
    strip_->setPalette(colours);
    header_->setPalette(colours);
}

QColor PhotoPane::captionColour() const {
    return header_->palette().color(QPalette::WindowText);
}

bool PhotoPane::hasCaptionIcon() const {
    return !icon_->isHidden();
}

bool PhotoPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == strip_ && event->type() == QEvent::MouseButtonPress)
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
