#pragma once

#include "profile/AssistantValues.h"

#include <array>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTabWidget;

namespace tarnwick {

class HighlightButton;

// The assistant: a small tool window that stays above the program's own windows, beside the main
// window, with the comparison of the two photos on screen and the fuel profile under construction.
// It shows what it is given and turns its buttons into requests; the commands live with the main
// window.
class AssistantWindow : public QWidget {
    Q_OBJECT
public:
    enum Tab { ComparisonTab = 0, BuilderTab = 1 };

    explicit AssistantWindow(QWidget* parent = nullptr);

    // The comparison tab; the heading of boldColumn (0 or 1) is bold, the other normal.
    void showComparison(const tarnwick::ComparisonTab& tab);
    void setBoldColumn(int column);
    // The builder's current-photo column.
    void showCurrentPhoto(const PhotoColumn& current);
    // The builder's profile column, its sources, the name and the window title.
    void showProfile(const FuelProfile& profile, const ProfileColumn& shown, const QString& title);
    // Which tabs can be chosen; a tab that cannot becomes current only through setCurrentTab.
    void setTabsEnabled(bool comparison, bool builder);
    void setCurrentTab(Tab tab);
    Tab currentTab() const;
    bool isTabEnabled(Tab tab) const;

    QLabel* label(const QString& name) const;

Q_SIGNALS:
    void selectRequested(int component);
    void showPhotoRequested(int component);
    void newRequested();
    void saveRequested();
    void saveAsRequested();
    void loadRequested();
    void notesRequested();
    void hideRequested();
    void nameEdited(const QString& name);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildComparisonTab();
    QWidget* buildBuilderTab();
    QLabel* valueLabel(const QString& name, Qt::Alignment alignment = Qt::AlignRight);
    HighlightButton* button(const QString& caption, const QString& name, const QString& tip);

    QTabWidget* tabs_;
    QLineEdit* name_ = nullptr;
    std::array<QLabel*, 2> photoHeadings_{};
};

} // namespace tarnwick
