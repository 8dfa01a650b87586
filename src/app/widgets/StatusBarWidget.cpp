#include "app/widgets/StatusBarWidget.h"

#include "app/StatusLine.h"

#include <QIcon>
#include <QLabel>

namespace tarnwick {

StatusBarWidget::StatusBarWidget(const StatusLine& line, QWidget* parent)
    : QStatusBar(parent), line_(line), infoIcon_(QStringLiteral(":/icons/InfoOK.svg")),
      errorIcon_(QStringLiteral(":/icons/Error.svg")) {
    setSizeGripEnabled(true);
    // Panel widths: the icon, the message (takes what is left), a spare, the count, the
    // mode or photo label, a spare.
    const std::array<int, 6> minimumWidths{22, 200, 40, 130, 160, 40};
    const std::array<int, 6> stretches{0, 1, 0, 0, 0, 0};
    for (size_t i = 0; i < panels_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setMinimumWidth(minimumWidths[i]);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        addPermanentWidget(label, stretches[i]);
        panels_[i] = label;
    }
    panels_[0]->setAlignment(Qt::AlignCenter);
    panels_[1]->setObjectName(QStringLiteral("Message"));
    panels_[3]->setObjectName(QStringLiteral("QueryResults"));
    panels_[4]->setObjectName(QStringLiteral("Photo"));
    connect(&line_, &StatusLine::changed, this, &StatusBarWidget::refresh);
    refresh();
}

void StatusBarWidget::refresh() {
    for (int number = 2; number <= 6; ++number) {
        // One line on the bar; a text longer than its panel is read whole in the tooltip, with
        // the cause and advice a message carries after its first sentence.
        const QString text = line_.panelText(number);
        panel(number)->setText(text.simplified().isEmpty() ? text : text.simplified());
        panel(number)->setToolTip(text.trimmed());
    }
    // Drawn for the screen's pixel ratio, so it stays sharp at any scale. The icon outlives the
    // text of a finished search: it says the search went well.
    const QSize size(16, 16);
    switch (line_.icon()) {
    case StatusIcon::None:
        panel(1)->setPixmap(QPixmap());
        break;
    case StatusIcon::InfoOK:
        panel(1)->setPixmap(infoIcon_.pixmap(size, devicePixelRatioF()));
        break;
    case StatusIcon::Error:
        panel(1)->setPixmap(errorIcon_.pixmap(size, devicePixelRatioF()));
        break;
    }
}

} // namespace tarnwick
