#include "app/widgets/AssistantController.h"

#include "app/AppState.h"
#include "app/widgets/MainWindow.h"
#include "catalogue/DatabaseError.h"
#include "profile/RecentProfiles.h"
#include "profile/widgets/AssistantWindow.h"
#include "profile/widgets/NotesWindow.h"

#include <algorithm>
#include <QAction>
#include <QApplication>
#include <QScreen>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

// The assistant stands at the top of the frame, its right edge this far in from the frame's.
constexpr int rightEdgeInsetTwips = 700;
constexpr int twipsPerPixel = 15;

} // namespace

AssistantController::AssistantController(AppState& state, MainWindow& window)
    : QObject(&window), state_(state), main_(window), assistant_(new AssistantWindow(&window)) {
    profileHooks_.showProfile = [this] { showProfile(); };
    profileHooks_.enableProfilePrint = [this] {
        main_.action(u"mnuFuelProfilePrint"_s)->setEnabled(true);
    };
    connect(assistant_, &AssistantWindow::selectRequested, this, [this](int component) {
        commands::selectProfileValue(state_, component, profileHooks_);
    });
    connect(assistant_, &AssistantWindow::showPhotoRequested, this, [this](int component) {
        try {
            commands::findSource(state_,
                                 profileSource(state_.fuelProfile, ProfileComponent(component)),
                                 main_.photoDisplayHooks());
        } catch (const DatabaseError& error) {
            state_.statusLine.statusMessage(StatusKind::Error, error.message());
        }
    });
    connect(assistant_, &AssistantWindow::hideRequested, this, &AssistantController::hideWindow);
    connect(assistant_, &AssistantWindow::nameEdited, this,
            [this](const QString& name) { edited(state_.fuelProfile.name, name); });
    connect(assistant_, &AssistantWindow::notesRequested, this, &AssistantController::openNotes);
    assistant_->installEventFilter(this);

    fileHooks_.hideAssistant = [this] { assistant_->hide(); };
    fileHooks_.showAssistant = [this] {
        if (state_.assistants.anyOpen())
            assistant_->show();
    };
    fileHooks_.showProfile = profileHooks_.showProfile;
    fileHooks_.enableProfilePrint = profileHooks_.enableProfilePrint;
    fileHooks_.fileUsed = rememberRecentProfile;
    const auto withDialogs =
        [this](void (*command)(AppState&, Dialogs&, const commands::ProfileFileHooks&)) {
            return [this, command] {
                if (Dialogs* dialogs = main_.dialogs())
                    command(state_, *dialogs, fileHooks_);
            };
        };
    connect(assistant_, &AssistantWindow::newRequested, this,
            withDialogs(&commands::newProfileCommand));
    connect(assistant_, &AssistantWindow::saveRequested, this,
            withDialogs(&commands::saveProfileCommand));
    connect(assistant_, &AssistantWindow::saveAsRequested, this,
            withDialogs(&commands::saveProfileAsCommand));
    connect(assistant_, &AssistantWindow::loadRequested, this,
            withDialogs(&commands::loadProfileCommand));
    refreshValues();
    showProfile();
}

void AssistantController::edited(QString& field, const QString& text) {
    // Edits after the last save would be lost at the end of the run without a question.
    if (field != text)
        state_.profileChanged = true;
    field = text;
}

NotesWindow* AssistantController::notesWindow() const {
    return notes_;
}

void AssistantController::openNotes() {
    if (!notes_) {
        notes_ = new NotesWindow(state_.fuelProfile.notes, &main_);
        connect(notes_, &NotesWindow::activated, assistant_, &QWidget::hide);
        // Taken as typed, so the exit's question and a save see them, and a window left open
        // across a New or Load never writes stale notes back.
        connect(notes_, &NotesWindow::edited, this,
                [this](const QString& notes) { edited(state_.fuelProfile.notes, notes); });
        connect(notes_, &NotesWindow::closing, assistant_, &QWidget::show);
        placeBesideAssistant(*notes_);
    }
    notes_->show();
    notes_->raise();
    notes_->activateWindow();
}

void AssistantController::placeBesideAssistant(QWidget& window) const {
    // Left of the assistant where the screen has room, else where the assistant stands; never
    // over the frame's menus in the screen's corner.
    const QRect beside = assistant_->frameGeometry();
    const QRect screen = assistant_->screen()->availableGeometry();
    const int left = beside.left() - window.frameGeometry().width() - 8;
    window.move(left >= screen.left() ? left : beside.left(), beside.top());
}

void AssistantController::refreshValues() {
    const ComparisonTab tab = commands::assistantValues(state_);
    assistant_->showComparison(tab);
    assistant_->showCurrentPhoto(currentPhotoColumn(tab, state_.currentSlot));
}

void AssistantController::showProfile() {
    assistant_->showProfile(state_.fuelProfile, profileColumn(state_.fuelProfile),
                            assistantTitle(state_.profileFileName));
    if (notes_)
        notes_->showNotes(state_.fuelProfile.notes);
}

void AssistantController::setBoldColumn(int slot) {
    assistant_->setBoldColumn(slot);
}

bool AssistantController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == assistant_ && event->type() == QEvent::Move && assistant_->isVisible())
        place_ = assistant_->pos();
    return QObject::eventFilter(watched, event);
}

void AssistantController::showAndPlace() {
    const std::optional<QPoint> remembered = place_; // showing it moves it
    assistant_->show();
    main_.action(u"mnuAssistants"_s)->setChecked(true);
    QApplication::processEvents();
    const auto onAScreen = [this](QPoint place) {
        const QRect title(place, QSize(assistant_->frameGeometry().width(), 24));
        for (const QScreen* screen : QGuiApplication::screens())
            if (screen->availableGeometry().intersects(title))
                return true;
        return false;
    };
    if (remembered && onAScreen(*remembered)) {
        assistant_->move(*remembered);
    } else {
        // Until the window manager has framed it, the frame geometry may not hold the window's
        // own width yet: take the larger, and keep the whole window on the frame's screen.
        const QRect frame = main_.window()->frameGeometry();
        const QRect screen = main_.window()->screen()->availableGeometry();
        const int width = std::max(assistant_->frameGeometry().width(), assistant_->width());
        const int left = frame.right() + 1 - width - rightEdgeInsetTwips / twipsPerPixel;
        assistant_->move(
            std::clamp(left, screen.left(), std::max(screen.left(), screen.right() + 1 - width)),
            frame.top());
    }
    main_.action(u"barAssistant"_s)->setChecked(true);
    assistant_->raise();
}

void AssistantController::hideWindow() {
    main_.action(u"mnuAssistants"_s)->setChecked(false);
    assistant_->hide();
    main_.action(u"barAssistant"_s)->setChecked(false);
}

void AssistantController::toggle() {
    if (assistant_->isHidden())
        showAndPlace();
    else
        hideWindow();
}

void AssistantController::apply() {
    const AssistantLayout layout = applyAssistantMode(state_.assistants);
    if (layout.hideWindow)
        assistant_->hide();
    if (layout.comparisonTabEnabled || layout.builderTabEnabled)
        assistant_->setTabsEnabled(layout.comparisonTabEnabled.value_or(true),
                                   layout.builderTabEnabled.value_or(true));
    if (layout.currentTab)
        assistant_->setCurrentTab(AssistantWindow::Tab(*layout.currentTab));
    QAction* menu = main_.action(u"mnuAssistants"_s);
    QAction* button = main_.action(u"barAssistant"_s);
    menu->setEnabled(layout.menuEnabled);
    button->setEnabled(layout.buttonEnabled);
    if (layout.menuChecked)
        menu->setChecked(*layout.menuChecked);
    if (layout.buttonPressed)
        button->setChecked(*layout.buttonPressed);
    const bool builderOpen = state_.assistants.builder;
    main_.action(u"barBuilder"_s)->setChecked(builderOpen);
    main_.action(u"mnuProfileBuilder"_s)->setChecked(builderOpen);
}

void AssistantController::comparingStarted() {
    if (openComparisonAssistant(state_.assistants))
        showAndPlace();
    refreshValues();
    apply();
}

void AssistantController::comparingEnded() {
    closeComparisonAssistant(state_.assistants);
    apply();
}

void AssistantController::builderCommand() {
    if (toggleProfileBuilder(state_.assistants)) {
        showAndPlace();
        assistant_->setCurrentTab(AssistantWindow::BuilderTab);
    }
    apply();
}

void AssistantController::openGiven(const QString& argument) {
    if (!state_.assistants.builder)
        builderCommand();
    else if (assistant_->isHidden())
        toggle();
    assistant_->setCurrentTab(AssistantWindow::BuilderTab);
    if (Dialogs* dialogs = main_.dialogs())
        commands::openGivenProfileCommand(state_, argument, *dialogs, fileHooks_);
}

void AssistantController::frameMinimised() {
    hiddenWithFrame_ = state_.assistants.anyOpen();
    assistant_->hide();
}

void AssistantController::frameRestored() {
    // The window comes back with the frame, also when it had been hidden before, as long as an
    // assistant is open.
    if (hiddenWithFrame_ && state_.assistants.anyOpen()) {
        // A window manager iconifies the frame's windows with it. Shown while still minimised,
        // the assistant would be mapped iconic, the manager would iconify its parent again and
        // the frame would never come back.
        assistant_->setWindowState(assistant_->windowState() & ~Qt::WindowMinimized);
        assistant_->show();
    }
    hiddenWithFrame_ = false;
}

} // namespace tarnwick
