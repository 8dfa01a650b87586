#include "app/StatusLine.h"

namespace tarnwick {

StatusLine::StatusLine(std::function<void()> beep, QObject* parent)
    : QObject(parent), beep_(std::move(beep)) {}

void StatusLine::statusMessage(int kind, const QString& text) {
    switch (kind) {
    case int(StatusKind::Info):
        setPanel(Message, text);
        icon_ = StatusIcon::InfoOK;
        break;
    case int(StatusKind::Error):
        setPanel(Message, QStringLiteral("ERROR - ") + text);
        icon_ = StatusIcon::Error;
        if (beep_)
            beep_();
        break;
    case int(StatusKind::Clear):
        setPanel(Message, QString());
        icon_ = StatusIcon::None;
        break;
    case int(StatusKind::Count):
        setPanel(QueryResults, text);
        setPanel(Message, QString());
        icon_ = StatusIcon::None;
        break;
    default:
        return;
    }
    Q_EMIT changed();
}

void StatusLine::setPhotoPanel(const QString& text) {
    setPanel(Photo, text);
    Q_EMIT changed();
}

} // namespace tarnwick
