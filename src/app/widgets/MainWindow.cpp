#include "app/widgets/MainWindow.h"

#include "app/AppState.h"
#include "app/Startup.h"
#include "profile/ProfileCommands.h"

namespace tarnwick {

MainWindow::MainWindow(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setObjectName(QStringLiteral("frmKel"));
    setWindowTitle(QStringLiteral(" Browsing Photos"));
    setMinimumSize(640, 420);
}

void MainWindow::setUp() {
    state_.statusLine.statusMessage(StatusKind::Info, QStringLiteral("Initializing ..."));
    newProfile(state_);
    setBrowseMode(state_);
    state_.statusLine.statusMessage(StatusKind::Clear, QStringLiteral(" "));
}

} // namespace tarnwick
