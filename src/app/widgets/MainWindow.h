#pragma once

#include <QWidget>

namespace tarnwick {

struct AppState;

// The browse and query window inside the frame.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(AppState& state, QWidget* parent = nullptr);

    // Run once at start-up, before the window is first shown.
    void setUp();

private:
    AppState& state_;
};

} // namespace tarnwick
