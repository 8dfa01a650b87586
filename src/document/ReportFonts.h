#pragma once

#include <QString>

namespace tarnwick {

// The family every report asks for, body, heading and footer alike.
inline const QString reportFontFamily = QStringLiteral("Tahoma");

// Where Debian's fonts-wine package puts its Tahoma, a face with Tahoma's metrics. It lies outside
// fontconfig's folders, so the program registers it itself.
inline const QString wineFontDir = QStringLiteral("/usr/share/wine/fonts");

// Makes Tahoma available to the reports, so that their lines and pages break where the report
// layouts were measured: a Tahoma the system already knows, else the one of fonts-wine. When
// neither is there, reports are drawn in a sans font in its place. Returns whether Tahoma itself
// is available. Needs the application object; calling it again changes nothing.
bool registerReportFonts(const QString& fontDir = wineFontDir);

} // namespace tarnwick
