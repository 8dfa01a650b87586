#pragma once

#include <QMainWindow>

class QLabel;
class QMdiArea;
class QMenu;
class QMdiSubWindow;

namespace tarnwick {

struct AppState;
class Dialogs;
class MainWindow;
class StatusBarWidget;

// The program's frame, the QMainWindow around MainWindow (the QWidget body): holds it and the
// status bar, and asks before the run ends.
class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    MainFrame(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainFrame() override;

    MainWindow* mainWindow() const { return mainWindow_; }
    QMdiSubWindow* mainWindowFrame() const { return mainWindowFrame_; }
    StatusBarWidget* statusBarWidget() const { return statusBar_; }

    // The Exit command: closes the assistant, then the frame (which asks first).
    void exitCommand();
    // Where the frame was and how its window was laid out, kept between runs.
    void saveLayout();
    void restoreLayout();
    // While another program runs and this one waits for it: the window greyed, with a notice
    // of what it waits for.
    void setWaiting(bool waiting, const QString& notice = {});
    QLabel* waitingNotice() const { return waitingNotice_; }

Q_SIGNALS:
    // The assistant follows the frame when it is minimised and restored.
    void minimised();
    void restored();
    // The run is ending: every other window closes.
    void closingConfirmed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showMenusOf(QMdiSubWindow* active);

    AppState& state_;
    Dialogs& dialogs_;
    QMdiArea* mdiArea_;
    QMdiSubWindow* mainWindowFrame_;
    MainWindow* mainWindow_;
    StatusBarWidget* statusBar_;
    QMenu* ownMenu_;
    QLabel* waitingNotice_ = nullptr;
};

} // namespace tarnwick
