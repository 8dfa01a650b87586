#include "display/widgets/ViewerWindow.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarnwick {

ViewerWindow::ViewerWindow(QWidget* parent) : QMainWindow(parent), tabs_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(QStringLiteral("View"));

    const auto addMenuCommand = [this](const QString& caption, const QString& name, auto command) {
        QAction* action = menuBar()->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    addMenuCommand(QStringLiteral("&Actual Size"), QStringLiteral("mnuActual"),
                   [this] { actualSize(); });
    addMenuCommand(QStringLiteral("&Fit Window"), QStringLiteral("mnuFit"),
                   [this] { fitWindow(); });
    addMenuCommand(QStringLiteral("&Close"), QStringLiteral("mnuClose"), [this] {
        close();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));

    tabs_->setObjectName(QStringLiteral("tabView"));
    photo_ = makePage(QStringLiteral("elePhoto"), QStringLiteral("lblNoPic"));
    data_ = makePage(QStringLiteral("eleData"), QStringLiteral("lblNoData"));
    tabs_->addTab(photo_.page, QStringLiteral("Photo"));
    tabs_->addTab(data_.page, QStringLiteral("Data Sheet"));
    // A disk inserted while the viewer is open shows up on the next switch of tabs.
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { refresh(); });
    setCentralWidget(tabs_);

    if (const QScreen* shownOn = screen())
        resize(shownOn->availableSize() * 3 / 4);
}

ViewerWindow::Page ViewerWindow::makePage(const QString& areaName, const QString& labelName) {
    Page page;
    page.page = new QWidget;
    page.area = new QScrollArea;
    page.area->setObjectName(areaName);
    page.area->setWidgetResizable(true);
    page.area->setFrameShape(QFrame::NoFrame);
    page.area->setAlignment(Qt::AlignCenter);
    // Fitted to the window a picture is decoded at the screen's size; Actual Size decodes it
    // whole, which a photo series scanned at 150 megapixels needs hundreds of megabytes for.
    page.view = new PhotoImageView;
    page.area->setWidget(page.view);

    page.missing = new QLabel;
    page.missing->setObjectName(labelName);
    page.missing->setAlignment(Qt::AlignCenter);
    page.missing->setWordWrap(true);
    page.missing->setMargin(16);
    page.missing->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #46525c, stop:1 #242b31);"
        "color: #eeeadc;"));
    page.missing->hide();

    auto* layout = new QVBoxLayout(page.page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page.area);
    layout->addWidget(page.missing);
    return page;
}

void ViewerWindow::open(const QString& photoPath, const QString& dataPath,
                        const QString& noPictureText) {
    photoPath_ = photoPath;
    dataPath_ = dataPath;
    noPictureText_ = noPictureText;
    refresh();
}

void ViewerWindow::refresh() {
    load(photo_, photoPath_);
    load(data_, dataPath_);
}

void ViewerWindow::load(Page& page, const QString& path) {
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        page.missing->hide();
        page.area->show();
        // Already shown or on its way: decoding it again would only flicker.
        if (page.view->imagePath() != path)
            page.view->showImage(path);
    } else {
        page.view->clear();
        page.area->hide();
        page.missing->setText(noPictureText_);
        page.missing->show();
    }
}

void ViewerWindow::setFit(PhotoImageView::Fit fit) {
    for (Page* page : {&photo_, &data_})
        page->view->setFit(fit);
}

void ViewerWindow::actualSize() {
    setFit(PhotoImageView::Fit::ActualSize);
}

void ViewerWindow::fitWindow() {
    setFit(PhotoImageView::Fit::Pane);
}

void ViewerWindow::keyPressEvent(QKeyEvent* event) {
    // Escape puts the photo away, as it closes any window opened for a look.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace tarnwick
