#pragma once

#include <QString>

namespace tarnwick {

// The program's title, as its windows and the about box name it.
inline const QString applicationTitle = QStringLiteral("Tarnwick");

// "About Tarnwick".
QString aboutCaption(const QString& title);
// "Version: 3.0.14": each number as it is, with no padding.
QString versionText(int major, int minor, int revision);

} // namespace tarnwick
