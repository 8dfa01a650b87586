#include "app/widgets/DefaultWarnDialog.h"

#include "app/AppState.h"
#include "ui/widgets/FlatControls.h"
#include "ui/widgets/HighlightButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick {

DefaultWarnDialog::DefaultWarnDialog(const QString& message, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDefaultWarn"));
    setWindowTitle(QStringLiteral("Tarnwick"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("WARNING"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.5);
    heading->setFont(headingFont);
    heading->setAlignment(Qt::AlignCenter);

    auto* text = new QLabel(message, this);
    text->setObjectName(QStringLiteral("lblWarn"));
    text->setTextFormat(Qt::PlainText);

    retry_ = addChoice(QStringLiteral("Retry"), QStringLiteral("cmdRetry"), PhotoDirChoice::Retry);
    manage_ = addChoice(QStringLiteral("Manage Photo Series"), QStringLiteral("cmdManagePhotos"),
                        PhotoDirChoice::ManagePhotoSeries);
    searchLocal_ = addChoice(QStringLiteral("Search Local Only"), QStringLiteral("cmdSearchLocal"),
                             PhotoDirChoice::SearchLocalOnly);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(retry_);
    buttons->addWidget(manage_);
    buttons->addWidget(searchLocal_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(text);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The dialog holds no box to flatten today; done all the same so that one added later
    // looks like those of every other window.
    makeFlat(this);
}

HighlightButton* DefaultWarnDialog::addChoice(const QString& text, const QString& name,
                                              PhotoDirChoice choice) {
    auto* button = new HighlightButton(text, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, choice] {
        choice_ = choice;
        accept();
    });
    return button;
}

} // namespace tarnwick
