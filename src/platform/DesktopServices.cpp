#include "platform/DesktopServices.h"

#include <QDesktopServices>

namespace tarnwick {

bool QtDesktopServices::open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace tarnwick
