#include "suite/widgets/AboutWindow.h"

#include "suite/About.h"
#include "ui/widgets/HighlightButton.h"
#include "Version.h"

#include <algorithm>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace tarnwick {

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent), logo_(new QLabel(this)), title_(new QLabel(this)),
      version_(new QLabel(this)), notice_(new QLabel(this)),
      ok_(new HighlightButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(aboutCaption(applicationTitle));

    logo_->setObjectName(QStringLiteral("Image1"));
    // Drawn for the screen's pixel ratio, so the logo stays sharp at any scale.
    const int side = fontMetrics().height() * 5;
    logo_->setPixmap(QIcon(QStringLiteral(":/icons/tarnwick.svg"))
                         .pixmap(QSize(side, side), devicePixelRatioF()));
    logo_->setFixedSize(side, side);

    title_->setObjectName(QStringLiteral("lblTitle"));
    title_->setText(applicationTitle);
    QFont titleFont = title_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    title_->setFont(titleFont);

    version_->setObjectName(QStringLiteral("lblVersion"));
    version_->setText(versionText(version::major, version::minor, version::revision));
    version_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    notice_->setObjectName(QStringLiteral("lblDisclaimer"));
    notice_->setText(QString::fromUtf8(version::noticeLine) + u'\n' +
                     QString::fromUtf8(version::legalNotice));
    notice_->setWordWrap(true);
    // Lines break between words only: the label is never narrower than its longest word, a web
    // address among them.
    int longestWord = 0;
    for (const QString& word : notice_->text().split(QRegularExpression(QStringLiteral("\\s+"))))
        longestWord = std::max(longestWord, notice_->fontMetrics().horizontalAdvance(word));
    notice_->setMinimumWidth(longestWord + 2 * notice_->margin() + 2);

    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(title_);
    texts->addWidget(version_);
    texts->addSpacing(fontMetrics().height());
    texts->addWidget(notice_);
    texts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(logo_, 0, Qt::AlignTop);
    top->addSpacing(fontMetrics().height());
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    notice_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
}

} // namespace tarnwick
