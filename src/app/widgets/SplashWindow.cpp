#include "app/widgets/SplashWindow.h"

#include "Version.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

QLabel* addLabel(QVBoxLayout* layout, const QString& text, int pointSize, bool bold,
                 const QString& name) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #f4f1e8; background: transparent;"));
    layout->addWidget(label);
    return label;
}

} // namespace

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      logo_(new QSvgRenderer(QStringLiteral(":/icons/tarnwick.svg"), this)) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(520, 300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(150, 40, 30, 24);
    addLabel(layout, QStringLiteral("Tarnwick"), 28, true, QStringLiteral("lblProductName"));
    addLabel(layout, QStringLiteral("TarnwickApp"), 11, false, QStringLiteral("lblCompanyProduct"));
    layout->addStretch();
    progress_ = addLabel(layout, QString(), 9, false, QStringLiteral("lblProgress"));
    progress_->setWordWrap(true);
    progress_->hide();
    addLabel(layout, releaseText(), 10, true, QStringLiteral("lblVersion"));
    QLabel* notice = addLabel(layout, QString::fromUtf8(version::legalNotice), 8, false,
                              QStringLiteral("lblCopyright"));
    notice->setWordWrap(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashWindow::showProgress(const QString& text) {
    progress_->setText(text);
    progress_->setVisible(!text.isEmpty());
}

QString SplashWindow::releaseText() {
    return QStringLiteral("Release %1.%2.%3")
        .arg(version::major)
        .arg(version::minor)
        .arg(version::revision);
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x2e, 0x4a, 0x2f));
    sky.setColorAt(1, QColor(0x1b, 0x2b, 0x1c));
    painter.fillRect(rect(), sky);
    logo_->render(&painter, QRectF(30, 40, 96, 96));
    painter.setPen(QColor(0x81, 0xc7, 0x84));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SplashWindow::mousePressEvent(QMouseEvent*) {
    close();
}

void SplashWindow::keyPressEvent(QKeyEvent*) {
    close();
}

} // namespace tarnwick
