#pragma once

#include <array>
#include <QIcon>
#include <QPixmap>
#include <QStatusBar>

class QLabel;

namespace tarnwick {

class StatusLine;

// The six-panel status bar of the main frame, mirroring a StatusLine.
class StatusBarWidget : public QStatusBar {
    Q_OBJECT
public:
    StatusBarWidget(const StatusLine& line, QWidget* parent = nullptr);

    QLabel* panel(int number) const { return panels_[size_t(number - 1)]; }

private:
    void refresh();

    const StatusLine& line_;
    std::array<QLabel*, 6> panels_{};
    // Drawn once: the line changes on every click and search.
    QIcon infoIcon_;
    QIcon errorIcon_;
};

} // namespace tarnwick
