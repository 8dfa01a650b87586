#include "app/AppState.h"
#include "app/widgets/MainWindow.h"
#include "catalogue/CatalogueStatements.h"
#include "display/widgets/PhotoImageView.h"
#include "display/widgets/PhotoPane.h"
#include "display/widgets/ViewerWindow.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QThreadPool>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

namespace {

QString writePicture(const QString& path, QSize size, QColor colour) {
    QDir().mkpath(QFileInfo(path).path());
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

bool waitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 20000);
}

} // namespace

TEST(PhotoImageView, DecodesAwayFromTheWindowAndShowsOnlyTheNewestPicture) {
    QTemporaryDir dir;
    const QString older = writePicture(dir.filePath("older.png"), {1600, 1200}, Qt::red);
    const QString newer = writePicture(dir.filePath("newer.png"), {300, 200}, Qt::blue);
    PhotoImageView view;
    view.resize(400, 400);
    QSignalSpy shown(&view, &PhotoImageView::imageShown);

    view.showImage(older);
    view.showImage(newer);
    EXPECT_TRUE(view.isDecoding());
    EXPECT_EQ(view.caption(), QStringLiteral("Retrieving Image..."));
    ASSERT_TRUE(waitFor([&] { return !view.isDecoding(); }));
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown.at(0).at(0).toString(), newer);
    EXPECT_EQ(view.imageSize(), QSize(300, 200));

    // Scaled into the pane with its proportions, centred over the background.
    const QRect drawn = view.imageRect();
    EXPECT_EQ(drawn.width(), 400);
    EXPECT_NEAR(drawn.height(), 267, 1);
    const QImage screen = view.grab().toImage();
    EXPECT_EQ(QColor(screen.pixel(200, 200)), QColor(Qt::blue));
    EXPECT_NE(QColor(screen.pixel(200, 5)), QColor(Qt::blue));

    // Huge pictures are reduced while decoding; broken ones say so.
    view.setDecodeLimit(QSize(150, 150));
    view.showImage(older);
    ASSERT_TRUE(waitFor([&] { return !view.isDecoding(); }));
    EXPECT_EQ(view.imageSize().width(), 150);
    EXPECT_NEAR(view.imageSize().height(), 112.5, 1);
    QFile broken(dir.filePath("broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n truncated");
    broken.close();
    QSignalSpy failed(&view, &PhotoImageView::imageFailed);
    view.showImage(broken.fileName());
    ASSERT_TRUE(waitFor([&] { return failed.count() == 1; }));
    EXPECT_FALSE(view.hasImage());
    EXPECT_EQ(view.caption(), QStringLiteral("Can't load image.\nCheck disk drive."));
}

TEST(ViewerWindow, ShowsWhatIsThereAndLooksAgainOnEveryTabSwitch) {
    QTemporaryDir dir;
    const QString photo = writePicture(dir.filePath("p.png"), {1500, 1000}, Qt::darkGreen);
    const QString data = dir.filePath("d.png");
    ViewerWindow viewer;
    viewer.resize(600, 500);
    viewer.show();
    viewer.open(photo, data, QStringLiteral("No Picture Available in:\nsomewhere"));
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("View"));
    EXPECT_TRUE(viewer.noPictureLabel()->isHidden());
    EXPECT_FALSE(viewer.noDataLabel()->isHidden());
    EXPECT_EQ(viewer.noDataLabel()->text(), QStringLiteral("No Picture Available in:\nsomewhere"));
    ASSERT_TRUE(waitFor([&] { return viewer.photoView()->hasImage(); }));

    auto* area = viewer.findChild<QScrollArea*>(QStringLiteral("elePhoto"));
    viewer.findChild<QAction*>(QStringLiteral("mnuActual"))->trigger();
    EXPECT_TRUE(waitFor([&] { return area->horizontalScrollBar()->maximum() > 0; }));
    EXPECT_TRUE(waitFor([&] { return viewer.photoView()->imageSize() == QSize(1500, 1000); }));
    viewer.findChild<QAction*>(QStringLiteral("mnuFit"))->trigger();
    EXPECT_TRUE(waitFor([&] { return area->horizontalScrollBar()->maximum() == 0; }));
    EXPECT_LE(viewer.photoView()->imageRect().width(), area->viewport()->width());

    // The data sheet turns up after the viewer opened: switching tabs finds it.
    writePicture(data, {200, 260}, Qt::white);
    viewer.tabs()->setCurrentIndex(1);
    EXPECT_TRUE(viewer.noDataLabel()->isHidden());
    EXPECT_TRUE(waitFor([&] { return viewer.dataView()->hasImage(); }));
    viewer.findChild<QAction*>(QStringLiteral("mnuClose"))->trigger();
    EXPECT_FALSE(viewer.isVisible());
}

TEST(ViewerWindow, ShowsAPhotoOfOverAHundredMegapixelsFittedAndAtActualSize) {
    // 12000 x 9000 pixels take 432 MB decoded, over three times Qt's usual limit for one image.
    const QSize full(12000, 9000);
    QTemporaryDir dir;
    const QString photo = dir.filePath("scan.jpg");
    {
        QImage image(full, QImage::Format_RGB888);
        image.fill(Qt::darkGreen);
        QPainter(&image).fillRect(QRect(11000, 8000, 1000, 1000), Qt::blue);
        ASSERT_TRUE(image.save(photo, "JPEG", 50));
    }
    ViewerWindow viewer;
    viewer.resize(600, 500);
    viewer.show();
    viewer.open(photo, QString(), QStringLiteral("No Picture Available"));
    PhotoImageView* view = viewer.photoView();
    ASSERT_TRUE(waitFor([&] { return view->hasImage(); }));
    // Fitted to the window it is decoded no larger than the screen needs.
    const QSize screen = viewer.screen()->size() * viewer.screen()->devicePixelRatio();
    EXPECT_LE(view->imageSize().width(), std::max(screen.width(), screen.height()));

    auto* area = viewer.findChild<QScrollArea*>(QStringLiteral("elePhoto"));
    viewer.findChild<QAction*>(QStringLiteral("mnuActual"))->trigger();
    ASSERT_TRUE(waitFor([&] { return !view->isDecoding() && view->imageSize() == full; }))
        << view->caption().toStdString();
    EXPECT_TRUE(waitFor([&] {
        return area->horizontalScrollBar()->maximum() == full.width() - area->viewport()->width();
    }));
    // The far corner is drawn from the full picture, pixel for pixel.
    const QImage corner = view->grab(QRect(11500, 8500, 40, 40)).toImage();
    EXPECT_EQ(corner.size(), QSize(40, 40));
    EXPECT_LT(QColor(corner.pixel(20, 20)).red(), 40);
    EXPECT_GT(QColor(corner.pixel(20, 20)).blue(), 200);
    const QImage inside = view->grab(QRect(10500, 7500, 40, 40)).toImage();
    EXPECT_GT(QColor(inside.pixel(20, 20)).green(), 80);
    EXPECT_LT(QColor(inside.pixel(20, 20)).blue(), 40);

    // The limit was raised for that decode alone.
    QImageReader plain(photo);
    EXPECT_TRUE(plain.read().isNull());

    // Fitted again, the full-size picture gives way to one the screen's size.
    viewer.findChild<QAction*>(QStringLiteral("mnuFit"))->trigger();
    ASSERT_TRUE(waitFor([&] { return !view->isDecoding() && view->imageSize().width() < 12000; }));
    EXPECT_TRUE(view->hasImage());
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0);
}

TEST(PhotoPane, TakingABrowseRoleNeverAsksForTheViewer) {
    // Back from comparing, a pane that showed its plate or chart gives up those tabs; the tab
    // bar must not pass through "View" on its way to the picture.
    for (const PhotoPane::Tab shown : {PhotoPane::DataTab, PhotoPane::GraphTab}) {
        PhotoPane pane(0);
        pane.setBrowseRole(PhotoPane::ShowsEverything);
        pane.showTab(shown);
        ASSERT_EQ(pane.currentTab(), shown);
        QSignalSpy viewRequests(&pane, &PhotoPane::viewRequested);
        pane.setBrowseRole(PhotoPane::ShowsPicture);
        EXPECT_EQ(viewRequests.count(), 0) << "from tab " << int(shown);
        EXPECT_EQ(pane.currentTab(), PhotoPane::ImageTab);
    }
    PhotoPane data(1);
    data.setBrowseRole(PhotoPane::ShowsEverything);
    QSignalSpy viewRequests(&data, &PhotoPane::viewRequested);
    data.setBrowseRole(PhotoPane::ShowsData);
    EXPECT_EQ(viewRequests.count(), 0);
    EXPECT_EQ(data.currentTab(), PhotoPane::DataTab);
}

TEST(MainWindowDisplay, ShowsAPhotoAndOpensTheViewerOnItsLocalCopy) {
    TestInstallation installation;
    {
        test::TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("RM-3"));
        for (int id = 1; id <= 2; ++id)
            catalogue.addPhoto(id, QStringLiteral("RM-3"), QStringLiteral("AS-0%1").arg(id),
                               {{QStringLiteral("PhotoPic"), QStringLiteral("p%1.png").arg(id)},
                                {QStringLiteral("DataPic"), QStringLiteral("d%1.png").arg(id)}});
    }
    AppState state(installation.paths());
    state.database = PhotoDatabase::open(installation.cataloguePath());
    state.activePhotoSet = state.database->run(statements::activePhotosAtStartUp);
    QTemporaryDir photoDir; // holds the book's folder but none of its files
    QDir(photoDir.path()).mkpath(QStringLiteral("RM-3"));
    state.photoImageDir = photoDir.path() + QLatin1Char('/');
    const QString localPhoto =
        writePicture(installation.appDir() + "/PhotoImages/RM-3/p1.png", {120, 80}, Qt::darkYellow);
    MainWindow window(state);
    window.setUp();
    QAction* comparisonPrint = window.action(QStringLiteral("mnuPrintComparsion"));

    window.showListRow(0);
    EXPECT_EQ(window.photoPane(0)->header()->text(), QStringLiteral("RM-3/AS-01"));
    EXPECT_EQ(window.photoPane(0)->page(PhotoPane::ImageTab), window.imageView(0));
    EXPECT_TRUE(waitFor([&] { return window.imageView(0)->hasImage(); }));
    EXPECT_EQ(window.imageView(0)->imagePath(), localPhoto);
    EXPECT_FALSE(comparisonPrint->isEnabled());

    window.photoPane(0)->tabs()->setCurrentIndex(PhotoPane::ViewTab);
    ASSERT_NE(window.viewer(), nullptr);
    EXPECT_EQ(window.viewer()->photoPath(), localPhoto);
    EXPECT_EQ(window.viewer()->dataPath(), installation.appDir() + "/PhotoImages/RM-3/d1.png");
    EXPECT_EQ(window.photoPane(0)->currentTab(), PhotoPane::ImageTab);

    // A picture found in the photo directory opens from there, its data sheet beside it.
    const QString inPhotoDir =
        writePicture(photoDir.path() + "/RM-3/p2.png", {90, 60}, Qt::darkCyan);
    window.showListRow(1);
    window.photoPane(0)->tabs()->setCurrentIndex(PhotoPane::ViewTab);
    EXPECT_EQ(window.viewer()->photoPath(), inPhotoDir);
    EXPECT_EQ(window.viewer()->dataPath(), photoDir.path() + "/RM-3/d2.png");
    QFile::remove(inPhotoDir);

    window.compareCommand();
    window.showListRow(1);
    EXPECT_TRUE(comparisonPrint->isEnabled());
    EXPECT_EQ(window.imageView(1)->caption(), "No Picture Available in:\n" + state.photoImageDir +
                                                  " or\n" + installation.appDir() + "/PhotoImages");
    window.viewer()->close();
}
