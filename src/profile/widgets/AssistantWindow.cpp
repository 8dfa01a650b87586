#include "profile/widgets/AssistantWindow.h"

#include "ui/widgets/FlatControls.h"
#include "ui/widgets/HighlightButton.h"

#include <optional>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

const QString hideTip = u"Hide Assistant"_s;

void setTextColour(QLabel* label, QRgb colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(colour));
    label->setPalette(palette);
}

QLabel* heading(const QString& text) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

AssistantWindow::AssistantWindow(QWidget* parent)
    // A tool window of the program's: above its own windows, never above other programs.
    : QWidget(parent, Qt::Tool), tabs_(new QTabWidget(this)) {
    setObjectName(u"frmAssistant"_s);
    tabs_->setObjectName(u"TabAssistant"_s);
    tabs_->addTab(buildComparisonTab(), QIcon(u":/icons/Compare.svg"_s), u"Comparison Assistant"_s);
    tabs_->addTab(buildBuilderTab(), QIcon(u":/icons/Builder.svg"_s),
                  u"Profile Builder Assistant"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(tabs_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    showComparison({});
    showCurrentPhoto({});
    makeFlat(this);
}

QLabel* AssistantWindow::valueLabel(const QString& name, Qt::Alignment alignment) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setMinimumWidth(fontMetrics().horizontalAdvance(u"PNW-999/7-PP-12345"_s) / 2);
    return label;
}

HighlightButton* AssistantWindow::button(const QString& caption, const QString& name,
                                         const QString& tip) {
    auto* b = new HighlightButton(caption);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QWidget* AssistantWindow::buildComparisonTab() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    for (int slot = 0; slot < 2; ++slot) {
        photoHeadings_[size_t(slot)] = valueLabel(u"lblPhoto%1"_s.arg(slot), Qt::AlignCenter);
        grid->addWidget(photoHeadings_[size_t(slot)], 0, 1 + slot);
    }
    grid->addWidget(heading(u"Difference"_s), 0, 3, Qt::AlignRight);
    int line = 1;
    for (const ComparisonTabRow& row : comparisonTabRows()) {
        grid->addWidget(new QLabel(QString::fromUtf16(row.caption)), line, 0);
        const int columns = row.compared ? 3 : 2;
        for (int index = 0; index < columns; ++index)
            grid->addWidget(valueLabel(QString::fromUtf16(row.name) + QString::number(index),
                                       row.compared ? Qt::AlignRight : Qt::AlignCenter),
                            line, 1 + index);
        ++line;
    }
    HighlightButton* hide = button(u"&Hide"_s, u"cmdClose1"_s, hideTip);
    connect(hide, &QPushButton::clicked, this, &AssistantWindow::hideRequested);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(hide);
    layout->addLayout(buttons);
    return page;
}

QWidget* AssistantWindow::buildBuilderTab() {
    auto* page = new QWidget;
    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(u"Profile &Name"_s);
    name_ = new QLineEdit;
    name_->setObjectName(u"txtName"_s);
    name_->setToolTip(u"A desriptive name for your profile"_s);
    nameLabel->setBuddy(name_);
    connect(name_, &QLineEdit::textEdited, this, &AssistantWindow::nameEdited);
    HighlightButton* notes = button(u"No&tes ..."_s, u"cmdNotes"_s, u"Edit Notes"_s);
    connect(notes, &QPushButton::clicked, this, &AssistantWindow::notesRequested);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(name_, 1);
    nameRow->addWidget(notes);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->addWidget(heading(u"Current Photo"_s), 0, 1, Qt::AlignRight);
    grid->addWidget(heading(u"Profile Values and Source"_s), 0, 3, 1, 2);
    grid->addWidget(valueLabel(u"lblCurrentPhoto"_s), 1, 1, 1, 2, Qt::AlignLeft);
    int line = 2;
    for (const BuilderTabRow& row : builderTabRows()) {
        const QString key = QString::fromUtf16(row.key);
        grid->addWidget(new QLabel(QString::fromUtf16(row.caption)), line, 0);
        grid->addWidget(valueLabel(u"lblCur"_s + key), line, 1);
        grid->addWidget(valueLabel(u"lblPro"_s + key), line, 3);
        if (row.component) {
            const int component = int(*row.component);
            HighlightButton* add =
                button(u"Add>"_s, u"cmdSelect"_s + key, u"Add Value to Profile"_s);
            connect(add, &QPushButton::clicked, this,
                    [this, component] { Q_EMIT selectRequested(component); });
            grid->addWidget(add, line, 2);
            grid->addWidget(valueLabel(u"lblPL"_s + key, Qt::AlignLeft), line, 4);
            HighlightButton* go =
                button(u"Show Photo"_s, u"cmdGo"_s + key, u"Show Photo in View Pane"_s);
            connect(go, &QPushButton::clicked, this,
                    [this, component] { Q_EMIT showPhotoRequested(component); });
            grid->addWidget(go, line, 5);
        }
        ++line;
    }

    auto* buttons = new QHBoxLayout;
    const auto add = [&](const QString& caption, const QString& name, const QString& tip,
                         void (AssistantWindow::*request)()) {
        HighlightButton* b = button(caption, name, tip);
        connect(b, &QPushButton::clicked, this, request);
        buttons->addWidget(b);
    };
    add(u"&New Profile"_s, u"cmdNew"_s, u"Start a New Profile"_s, &AssistantWindow::newRequested);
    add(u"&Save Profile"_s, u"cmdSave"_s, u"Save Current Profile"_s,
        &AssistantWindow::saveRequested);
    add(u"Save Profile &As"_s, u"cmdSaveAs"_s, u"Save Profile as New Name"_s,
        &AssistantWindow::saveAsRequested);
    add(u"&Load Profile"_s, u"cmdLoad"_s, u"Load a Saved Profile"_s,
        &AssistantWindow::loadRequested);
    buttons->addStretch(1);
    add(u"&Hide"_s, u"cmdClose0"_s, hideTip, &AssistantWindow::hideRequested);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(nameRow);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);
    return page;
}

QLabel* AssistantWindow::label(const QString& name) const {
    return findChild<QLabel*>(name);
}

void AssistantWindow::showComparison(const tarnwick::ComparisonTab& tab) {
    for (int slot = 0; slot < 2; ++slot) {
        const PhotoColumn& column = tab.photos[size_t(slot)];
        photoHeadings_[size_t(slot)]->setText(column.photo);
        for (const ComparisonTabRow& row : comparisonTabRows()) {
            const QString name = QString::fromUtf16(row.name);
            QLabel* value = label(name + QString::number(slot));
            value->setText(comparisonRowText(column, row));
            if (row.compared)
                setTextColour(value, tab.difference(*row.compared).colours[size_t(slot)]);
        }
    }
    for (const ComparisonTabRow& row : comparisonTabRows())
        if (row.compared)
            label(QString::fromUtf16(row.name) + u'2')->setText(tab.difference(*row.compared).text);
}

void AssistantWindow::setBoldColumn(int column) {
    for (int slot = 0; slot < 2; ++slot) {
        QFont font = photoHeadings_[size_t(slot)]->font();
        font.setBold(slot == column);
        photoHeadings_[size_t(slot)]->setFont(font);
    }
}

void AssistantWindow::showCurrentPhoto(const PhotoColumn& current) {
    label(u"lblCurrentPhoto"_s)->setText(current.photo);
    for (const BuilderTabRow& row : builderTabRows())
        label(u"lblCur"_s + QString::fromUtf16(row.key))->setText(current[row.value]);
}

void AssistantWindow::showProfile(const FuelProfile& profile, const ProfileColumn& shown,
                                  const QString& title) {
    for (const BuilderTabRow& row : builderTabRows()) {
        const QString key = QString::fromUtf16(row.key);
        label(u"lblPro"_s + key)->setText(shown[row.value]);
        if (row.component)
            label(u"lblPL"_s + key)->setText(profileSource(profile, *row.component));
    }
    // Typing stays where it is: the box is only rewritten when the name differs.
    if (name_->text() != profile.name)
        name_->setText(profile.name);
    setWindowTitle(title);
}

void AssistantWindow::setTabsEnabled(bool comparison, bool builder) {
    tabs_->setTabEnabled(ComparisonTab, comparison);
    tabs_->setTabEnabled(BuilderTab, builder);
}

void AssistantWindow::setCurrentTab(Tab tab) {
    tabs_->setCurrentIndex(tab);
}

AssistantWindow::Tab AssistantWindow::currentTab() const {
    return Tab(tabs_->currentIndex());
}

bool AssistantWindow::isTabEnabled(Tab tab) const {
    return tabs_->isTabEnabled(tab);
}

void AssistantWindow::changeEvent(QEvent* event) {
    // Every activation puts the window on top again.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        raise();
    QWidget::changeEvent(event);
}

void AssistantWindow::closeEvent(QCloseEvent* event) {
    // The window manager's close box hides it as the Hide buttons do, menu item and button too.
    Q_EMIT hideRequested();
    QWidget::closeEvent(event);
}

} // namespace tarnwick
