#pragma once

#include <QUrl>

namespace tarnwick {

// Hands a file or a web address to whatever program the desktop uses for it: the browser for a
// page, a help viewer for a help file. Commands take this seam so that tests never start one.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // False when the desktop could not start a program for it.
    virtual bool open(const QUrl& url) = 0;
};

class QtDesktopServices : public DesktopServices {
public:
    bool open(const QUrl& url) override;
};

} // namespace tarnwick
